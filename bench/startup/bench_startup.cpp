// Times the start of the program to its window shown against a bare Qt window program, taking
// turns between them in one run so that both meet the same machine load, and prints the
// medians and their ratio. Usage: bench_startup [rounds]; run under xvfb-run or with
// QT_QPA_PLATFORM=offscreen.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kTimeoutMs = 60000;

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
    const QString folder = QCoreApplication::applicationDirPath();
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The program installs its files and writes its choices there, never in the real home.
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.remove(QLatin1String(name));

    const QStringList programs{QStringLiteral("bench_startup_bare"),
                               QStringLiteral("bench_startup_bare_webengine"),
                               QStringLiteral("bench_startup_brevant")};
    std::vector<std::vector<double>> times(programs.size());
    // One unmeasured start of each fills the page cache and the support folder.
    for (const QString &program : programs)
        timeToShown(folder + u'/' + program, environment);
    for (int round = 0; round < rounds; ++round) {
        for (qsizetype i = 0; i < programs.size(); ++i) {
            const auto elapsed = timeToShown(folder + u'/' + programs[i], environment);
            if (!elapsed) {
                std::fprintf(stderr, "%s did not show its window\n", qPrintable(programs[i]));
                return 1;
            }
            times[i].push_back(*elapsed);
        }
    }
    const double bare = median(times[0]);
    std::printf("rounds %d\n", rounds);
    for (qsizetype i = 0; i < programs.size(); ++i)
        std::printf("%-30s median %7.1f ms  ratio %.2f\n", qPrintable(programs[i]),
                    median(times[i]), median(times[i]) / bare);
    std::printf("target: bench_startup_brevant ratio at most 1.50\n");
    return 0;
}
