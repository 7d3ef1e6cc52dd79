// Times the start of the program to its window shown against a bare Qt window program, taking
// turns between the two in one run so that both meet the same machine load, and prints the
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

    std::vector<double> bare;
    std::vector<double> brevant;
    // One unmeasured start of each fills the page cache and the support folder.
    timeToShown(folder + QStringLiteral("/bench_startup_bare"), environment);
    timeToShown(folder + QStringLiteral("/bench_startup_brevant"), environment);
    for (int round = 0; round < rounds; ++round) {
        const auto b = timeToShown(folder + QStringLiteral("/bench_startup_bare"), environment);
        const auto p = timeToShown(folder + QStringLiteral("/bench_startup_brevant"), environment);
        if (!b || !p) {
            std::fprintf(stderr, "a program did not show its window\n");
            return 1;
        }
        bare.push_back(*b);
        brevant.push_back(*p);
    }
    const double bareMedian = median(bare);
    const double brevantMedian = median(brevant);
    std::printf("rounds %d\nbare window   median %.1f ms\nbrevant       median %.1f ms\n"
                "ratio %.2f (target at most 1.50)\n",
                rounds, bareMedian, brevantMedian, brevantMedian / bareMedian);
    return 0;
}
