// How long the export takes beyond its fixed script delays, for the program and for the least
// chain Qt allows (the floor), run alternately in one process against the stand-in Jira with the
// real web engine. The program's export starts with a click on Export CSV in its main window and
// ends with JIRA.csv on disk; the floor loads the same search page and runs the same scripts.
// Every wait is an event loop that the chains' own moments end, as in the running program.
// Run with QTWEBENGINE_DISABLE_SANDBOX=1 as root; offscreen or under Xvfb. With --screenshot FILE
// the browser window is saved as a picture after the last export.
#include "BrowserTestSupport.h"
#include "ExportMoments.h"
#include "FloorChain.h"
#include "JiraScripts.h"
#include "PageWaits.h"
#include "ProgramChain.h"
#include "StandinServer.h"
#include "StandinThread.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QPointer>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace {

using Moment = ExportMoments::Moment;

// The delays of the script chain between the page load and the click on the export.
constexpr int kFixedDelaysMs = 1200;
constexpr double kGoalRatio = 1.2;
// The first round warms both chains up (caches, the renderer) and is not counted.
constexpr int kWarmUpRounds = 1;
constexpr int kRounds = 21;
constexpr int kRoundTrips = 20;

struct ExportRun
{
    double beyondDelaysMs = 0;
    double pressToFileMs = 0;
};

using ScriptRunner = std::function<void(const QString &script, std::function<void()> answered)>;

// One of the two chains: how its export is started, how it runs a page script, and what its
// exports took.
struct Contender
{
    const char *name;
    ExportMoments &moments;
    std::function<void()> press;
    ScriptRunner runScript;
    std::vector<ExportRun> runs;
};

// Runs one export to its file on disk; nothing when it did not get there.
std::optional<ExportRun> timeExport(Contender &contender)
{
    ExportMoments &moments = contender.moments;
    moments.clear();
    moments.mark(Moment::Pressed);
    contender.press();
    if (!moments.waitFor(Moment::FileWritten, PageWaits::kTimeoutMs) ||
        !moments.atMs(Moment::PageLoaded) || !moments.atMs(Moment::BytesArrived))
        return std::nullopt;
    return ExportRun{*moments.atMs(Moment::BytesArrived) - *moments.atMs(Moment::PageLoaded) -
                         kFixedDelaysMs,
                     *moments.atMs(Moment::FileWritten) - *moments.atMs(Moment::Pressed)};
}

// Each chain goes first in every other round, so neither always runs on the other's leftovers.
bool runRounds(Contender &program, Contender &floor, QTextStream &out)
{
    for (int round = 0; round < kWarmUpRounds + kRounds; ++round) {
        Contender *const first = round % 2 == 0 ? &program : &floor;
        for (Contender *contender : {first, first == &program ? &floor : &program}) {
            const std::optional<ExportRun> run = timeExport(*contender);
            if (!run) {
                out << "The " << contender->name << "'s export " << round + 1
                    << " did not reach its file." << Qt::endl;
                return false;
            }
            if (round >= kWarmUpRounds)
                contender->runs.push_back(*run);
        }
    }
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<double> valuesOf(const std::vector<ExportRun> &runs, double ExportRun::*member)
{
    std::vector<double> values;
    for (const ExportRun &run : runs)
        values.push_back(run.*member);
    return values;
}

void reportBeyondDelays(const Contender &contender, QTextStream &out)
{
    std::vector<double> values = valuesOf(contender.runs, &ExportRun::beyondDelaysMs);
    std::sort(values.begin(), values.end());
    out << "  " << qSetFieldWidth(8) << Qt::left << contender.name << qSetFieldWidth(0) << "min "
        << values.front() << " ms, median " << median(values) << " ms, max " << values.back()
        << " ms" << Qt::endl;
}

void reportRuns(const Contender &program, const Contender &floor, QTextStream &out)
{
    out << "Page load to CSV bytes, beyond the fixed " << kFixedDelaysMs << " ms, over " << kRounds
        << " alternating exports each:" << Qt::endl;
    reportBeyondDelays(program, out);
    reportBeyondDelays(floor, out);
    const double ratio = median(valuesOf(program.runs, &ExportRun::beyondDelaysMs)) /
                         median(valuesOf(floor.runs, &ExportRun::beyondDelaysMs));
    out << "  program / floor, medians: " << ratio << " (goal: at most " << kGoalRatio << ")"
        << Qt::endl;
    out << "Press to file, page load included: program (Export CSV click to JIRA.csv) median "
        << median(valuesOf(program.runs, &ExportRun::pressToFileMs))
        << " ms; floor (load to file: the fixed delays, the page load and its overhead) median "
        << median(valuesOf(floor.runs, &ExportRun::pressToFileMs)) << " ms" << Qt::endl;
}

// The median time from handing a script to the page to its answer.
std::optional<double> medianRoundTripMs(const ScriptRunner &runScript)
{
    std::vector<double> times;
    for (int trip = 0; trip < kRoundTrips; ++trip) {
        QEventLoop loop;
        const QPointer<QEventLoop> waiting(&loop);
        QTimer::singleShot(PageWaits::kTimeoutMs, &loop, [&loop] { loop.exit(1); });
        QElapsedTimer clock;
        clock.start();
        runScript(QStringLiteral("document.getElementById('advanced-search').value"), [waiting] {
            if (waiting)
                waiting->quit();
        });
        if (loop.exec() != 0)
            return std::nullopt;
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    return median(times);
}

// From the export script handed to the page to the interception, and to the bytes.
std::optional<std::pair<double, double>> clickToLinkAndBytesMs(ExportMoments &moments,
                                                               const ScriptRunner &runScript)
{
    moments.clear();
    moments.mark(Moment::Pressed);
    runScript(JiraScripts::clickCsvExport(), [] {});
    if (!moments.waitFor(Moment::FileWritten, PageWaits::kTimeoutMs) ||
        !moments.atMs(Moment::LinkIntercepted) || !moments.atMs(Moment::BytesArrived))
        return std::nullopt;
    const double pressed = *moments.atMs(Moment::Pressed);
    return std::pair{*moments.atMs(Moment::LinkIntercepted) - pressed,
                     *moments.atMs(Moment::BytesArrived) - pressed};
}

void reportSteps(const Contender &contender, QTextStream &out)
{
    const std::optional<double> roundTrip = medianRoundTripMs(contender.runScript);
    const auto clicked = clickToLinkAndBytesMs(contender.moments, contender.runScript);
    if (!roundTrip || !clicked) {
        out << "The " << contender.name << "'s page did not answer." << Qt::endl;
        return;
    }
    out << "The " << contender.name << ": one page script round trip, median " << *roundTrip
        << " ms; export click to interception " << clicked->first << " ms, to the bytes "
        << clicked->second << " ms" << Qt::endl;
}

void saveScreenshot(WebViewWC &window, const QString &file)
{
    runScriptSync(window, JiraScripts::openExportMenu());
    QTest::qWait(500); // let the page repaint before the picture is taken
    window.window()->grab().save(file);
}

int runBench(const QString &screenshotFile)
{
    QTextStream out(stdout);
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(2);
    TemporaryHome home;
    const StandinThread standin;
    if (!standin.listening())
        return 1;
    const StandinServer &server = standin.server();
    ExportMoments programMoments;
    ProgramChain program(programMoments, server);
    ExportMoments floorMoments;
    FloorChain floor(floorMoments, program.queryText(), home.path() + QStringLiteral("/floor.csv"));
    if (!program.logIn() || !floor.logIn(server.loginURL())) {
        out << "Could not log in to the stand-in." << Qt::endl;
        return 1;
    }

    Contender programContender{"program",
                               programMoments,
                               [&program] { program.pressExportCSV(); },
                               [&program](const QString &script, std::function<void()> answered) {
                                   program.runScript(script, std::move(answered));
                               },
                               {}};
    Contender floorContender{"floor",
                             floorMoments,
                             [&floor, &server] { floor.exportFrom(server.searchURL()); },
                             [&floor](const QString &script, std::function<void()> answered) {
                                 floor.runScript(script, std::move(answered));
                             },
                             {}};
    if (!runRounds(programContender, floorContender, out))
        return 1;
    reportRuns(programContender, floorContender, out);
    reportSteps(programContender, out);
    reportSteps(floorContender, out);
    if (!screenshotFile.isEmpty() && program.browserWindow())
        saveScreenshot(*program.browserWindow(), screenshotFile);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // As the program does: the web engine shares its contexts with the window's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the browser window to this file."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);
    return runBench(parser.value(screenshot));
}
