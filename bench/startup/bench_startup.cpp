// Times the start of the program to its window shown against a bare Qt window program, taking
// turns between them in one run so that all meet the same machine load, and prints the medians
// and their ratios. The program starts twice per round: with the shipped configuration files,
// and with 20,000 Jira users and 20,000 templates. Usage: bench_startup [rounds]; run under
// xvfb-run or with QT_QPA_PLATFORM=offscreen.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kTimeoutMs = 60000;
constexpr int kLargeCount = 20000;

struct Start
{
    QString label;
    QString program;
    QProcessEnvironment environment;
};

QByteArray xmlDictionary(const QByteArray &entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" +
           entries + "</dict>\n</plist>\n";
}

// Templates whose first four characters change every hundred names, so the menu also holds
// two hundred separators.
QByteArray largeTemplates()
{
    QByteArray entries;
    for (int i = 0; i < kLargeCount; ++i)
        entries += "<key>Q" + QByteArray::number(i).rightJustified(5, '0') +
                   " Bugs Created</key><string>project = P" + QByteArray::number(i) +
                   " AND {created}</string>\n";
    return xmlDictionary(entries);
}

QByteArray largeUsers()
{
    QByteArray entries;
    const int perGroup = 500;
    for (int group = 0; group < kLargeCount / perGroup; ++group) {
        entries += "<key>Team " + QByteArray::number(group) + "</key><dict>\n";
        for (int member = 0; member < perGroup; ++member) {
            const QByteArray id = QByteArray::number(group * perGroup + member);
            entries += "<key>Person " + id + "</key><string>user" + id + "</string>\n";
        }
        entries += "</dict>\n";
    }
    return xmlDictionary(entries);
}

// Written before the first start, so they are newer than the package's copies and stay.
bool writeLargeConfiguration(const QString &home)
{
    const QString folder = home + QStringLiteral("/Library/Application Support/quillfen_brevant");
    QFile templates(folder + QStringLiteral("/EngineeringQueryText.plist"));
    QFile users(folder + QStringLiteral("/JiraUsers.plist"));
    return QDir().mkpath(folder) && templates.open(QIODevice::WriteOnly) &&
           templates.write(largeTemplates()) > 0 && users.open(QIODevice::WriteOnly) &&
           users.write(largeUsers()) > 0;
}

QProcessEnvironment environmentWithHome(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The program installs its files and writes its choices there, never in the real home.
    environment.insert(QStringLiteral("HOME"), home);
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.remove(QLatin1String(name));
    return environment;
}

// Milliseconds from starting the program to its "shown" line; none when it never came.
std::optional<double> timeToShown(const QString &program, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    std::optional<double> elapsed;
    while (!elapsed && process.waitForReadyRead(kTimeoutMs)) {
        if (process.readAllStandardOutput().contains("shown"))
            elapsed = double(timer.nsecsElapsed()) / 1e6;
    }
    process.waitForFinished(kTimeoutMs);
    return elapsed;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 15;
    const QString folder = QCoreApplication::applicationDirPath() + u'/';
    QTemporaryDir home;
    QTemporaryDir largeHome;
    if (!writeLargeConfiguration(largeHome.path())) {
        std::fprintf(stderr, "could not write the large configuration\n");
        return 1;
    }
    const QProcessEnvironment shipped = environmentWithHome(home.path());
    const std::vector<Start> starts{
        {QStringLiteral("bare"), QStringLiteral("bench_startup_bare"), shipped},
        {QStringLiteral("bare_webengine"), QStringLiteral("bench_startup_bare_webengine"), shipped},
        {QStringLiteral("brevant"), QStringLiteral("bench_startup_brevant"), shipped},
        {QStringLiteral("brevant, 20000 users+templates"), QStringLiteral("bench_startup_brevant"),
         environmentWithHome(largeHome.path())}};
    std::vector<std::vector<double>> times(starts.size());
    // One unmeasured start of each fills the page cache and the support folder.
    for (const Start &start : starts)
        timeToShown(folder + start.program, start.environment);
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < starts.size(); ++i) {
            const auto elapsed = timeToShown(folder + starts[i].program, starts[i].environment);
            if (!elapsed) {
                std::fprintf(stderr, "%s did not show its window\n", qPrintable(starts[i].label));
                return 1;
            }
            times[i].push_back(*elapsed);
        }
    }
    const double bare = median(times[0]);
    std::printf("rounds %d\n", rounds);
    for (size_t i = 0; i < starts.size(); ++i)
        std::printf("%-32s median %7.1f ms  ratio %.2f\n", qPrintable(starts[i].label),
                    median(times[i]), median(times[i]) / bare);
    std::printf("target: brevant ratio at most 1.50\n");
    std::printf("large configuration against the shipped one: %.2f (target: at most 2.00)\n",
                median(times[3]) / median(times[2]));
    return 0;
}
