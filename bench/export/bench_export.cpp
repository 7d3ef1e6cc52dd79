// Handling of a 100 MB export against a plain QSaveFile write of the same bytes, in one run: the
// handling may take at most twice the time of the write, and its peak memory beyond the body
// itself at most half the body's size. Exits non-zero when either goal is missed.
#include "BrevantModel.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "PeakMemory.h"
#include "TemporaryHome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype kBodySize = 100 * 1000 * 1000;
constexpr int kRounds = 5;

// A body with the shape of a Jira export: a wide header, quoted fields, CRLF line ends.
QByteArray makeExport()
{
    QByteArray body = "\xEF\xBB\xBFSummary,Issue key,Issue id,Issue Type,Status,Sprint,Sprint,"
                      "Priority,Assignee,Reporter,Created,Updated,Resolved\r\n";
    body.reserve(kBodySize + 512);
    for (int row = 0; body.size() < kBodySize; ++row) {
        const QByteArray n = QByteArray::number(row);
        body += "\"Summary of issue " + n + ", with a comma\",ABC-" + n + "," + n +
                ",Story,Done,Sprint 41,Sprint 42,Major,jdoe,asmith,2020-03-16 10:00,"
                "2020-03-20 12:00,2020-03-20 12:00\r\n";
    }
    body.truncate(kBodySize);
    return body;
}

qint64 plainWriteMs(const QString &path, const QByteArray &body)
{
    QElapsedTimer timer;
    timer.start();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return -1;
    return timer.elapsed();
}

struct Handling
{
    qint64 ms = -1;
    qint64 extraKilobytes = -1;
};

Handling handleExport(BrevantModel &model, const QByteArray &body)
{
    bool done = false;
    model.addObserver(&done, [&done](const ModelNotification &) { done = true; });
    PeakMemory::reset();
    const qint64 baseline = PeakMemory::residentKilobytes();
    QElapsedTimer timer;
    timer.start();
    model.downloadReceivedData(body);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    Handling handling{timer.elapsed(), PeakMemory::peakKilobytes() - baseline};
    model.removeObserver(&done);
    return handling;
}

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TemporaryHome home;
    LogCapture log;
    FakeWorkspace workspace;
    ModelServices services;
    services.workspace = &workspace;
    BrevantModel model(services);
    model.setSprintEndDate(QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC));
    model.downloadCSV();

    const QByteArray body = makeExport();
    const QString plainPath = home.path() + QStringLiteral("/plain.csv");
    std::vector<qint64> plain, handled, extra;
    // The order alternates so that neither side always meets a warm or a cold file system.
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0)
            plain.push_back(plainWriteMs(plainPath, body));
        const Handling handling = handleExport(model, body);
        handled.push_back(handling.ms);
        extra.push_back(handling.extraKilobytes);
        if (round % 2 == 1)
            plain.push_back(plainWriteMs(plainPath, body));
    }

    const qint64 plainMs = median(plain);
    const qint64 handledMs = median(handled);
    const qint64 extraKilobytes = *std::max_element(extra.begin(), extra.end());
    const qint64 bodyKilobytes = body.size() / 1024;
    const bool saved =
        QFile(home.path() + QStringLiteral("/Downloads/JIRA.csv")).size() == body.size();
    const bool timeMet = plainMs >= 0 && handledMs <= 2 * std::max<qint64>(plainMs, 1);
    const bool memoryMet = extraKilobytes >= 0 && extraKilobytes <= bodyKilobytes / 2;

    QTextStream out(stdout);
    out << "body: " << bodyKilobytes << " KiB\n"
        << "plain QSaveFile write (median of " << kRounds << "): " << plainMs << " ms\n"
        << "export handling (median of " << kRounds << "): " << handledMs << " ms, ratio "
        << double(handledMs) / double(std::max<qint64>(plainMs, 1)) << " (goal <= 2)\n"
        << "peak memory beyond the body (worst round): " << extraKilobytes << " KiB, "
        << double(extraKilobytes) / double(bodyKilobytes) << " of the body (goal <= 0.5)\n"
        << "file saved whole: " << (saved ? "yes" : "no") << "\n";
    return saved && timeMet && memoryMet ? 0 : 1;
}
