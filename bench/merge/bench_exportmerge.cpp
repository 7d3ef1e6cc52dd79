// Merging the pages of a 20,000-issue export, 20 pages of 1,000 issues whose repeated columns
// differ as Jira's do, against concatenating the same pages (each later one without its header
// line), alternately in one run. Goals: the merge takes at most twice the time of the
// concatenation, and at its peak holds at most half the pages' size beyond the pages and the
// merged export itself (which a concatenation holds as well). Memory is counted by the allocator
// (CountingAllocator); the peaks with the merged export included, and as resident memory, are
// printed beside it for both sides. Exits non-zero when a goal is missed.
#include "CountingAllocator.h"
#include "ExportMerge.h"
#include "ExportRecords.h"
#include "PeakMemory.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QTextStream>

#include <algorithm>
#include <malloc.h>
#include <vector>

namespace {

constexpr int kPages = 20;
constexpr int kIssuesPerPage = 1000;
constexpr int kRounds = 11;

// How often each repeated title stands in one page's header: as many times as the issue on that
// page with the most values needs.
struct Repeats
{
    int watchers;
    int labels;
    int sprints;
    int comments;
};

// Chosen so that pages differ among themselves: only page 13 has the merged header's layout and
// is copied whole, the other 19 are rewritten record by record.
Repeats repeatsOnPage(int page)
{
    return {1 + page * 3 % 5, 1 + page * 5 % 3, 1 + page * 7 % 4, page * 11 % 4};
}

void appendRepeated(QByteArrayList &fields, const QByteArray &value, int values, int columns)
{
    for (int i = 0; i < columns; ++i)
        fields.append(i < values ? value + QByteArray::number(i + 1) : QByteArray());
}

QByteArray header(const Repeats &repeats)
{
    QByteArrayList titles{"Summary",  "Issue key",  "Issue id",    "Issue Type", "Status",
                          "Priority", "Resolution", "Assignee",    "Reporter",   "Creator",
                          "Created",  "Updated",    "Last Viewed", "Resolved",   "Due Date"};
    const auto repeat = [&titles](const QByteArray &title, int count) {
        for (int i = 0; i < count; ++i)
            titles.append(title);
    };
    repeat("Watchers", repeats.watchers);
    repeat("Labels", repeats.labels);
    repeat("Sprint", repeats.sprints);
    titles += {"Custom field (Story Points)", "Custom field (Rank)", "Description"};
    repeat("Comment", repeats.comments);
    return titles.join(',') + "\r\n";
}

QByteArray record(int issue, const Repeats &repeats)
{
    const QByteArray n = QByteArray::number(issue);
    QByteArrayList fields{"\"Summary of issue " + n + ", with a comma\"",
                          "ABC-" + n,
                          QByteArray::number(10000 + issue),
                          issue % 3 ? "Story" : "Bug",
                          "Done",
                          "Major",
                          "Done",
                          "jdoe",
                          "asmith",
                          "asmith",
                          "16/Mar/20 10:00 AM",
                          "20/Mar/20 12:00 PM",
                          "",
                          "20/Mar/20 12:00 PM",
                          ""};
    appendRepeated(fields, "watcher", 1 + issue % repeats.watchers, repeats.watchers);
    appendRepeated(fields, "label", 1 + issue % repeats.labels, repeats.labels);
    appendRepeated(fields, "ABC Sprint ", 1 + issue % repeats.sprints, repeats.sprints);
    fields += {QByteArray::number(issue % 8), "0|i0" + n + ":",
               "\"As a user I want issue " + n +
                   " done, so that \"\"it\"\" works.\r\n\r\nSteps:\r\n1. Open the board\r\n"
                   "2. Drag the card, then drop it\r\nExpected: the card moves; actual: it "
                   "stays where it was.\""};
    for (int i = 0; i < repeats.comments; ++i)
        fields.append(i <= issue % repeats.comments
                          ? "\"18/Mar/20 9:15 AM;jdoe;Looked at it, see the log.\r\nStill open.\""
                          : QByteArray());
    return fields.join(',') + "\r\n";
}

QList<QByteArray> makePages()
{
    QList<QByteArray> pages;
    for (int page = 0; page < kPages; ++page) {
        const Repeats repeats = repeatsOnPage(page);
        QByteArray bytes = "\xEF\xBB\xBF" + header(repeats);
        for (int i = 0; i < kIssuesPerPage; ++i)
            bytes += record(page * kIssuesPerPage + i, repeats);
        pages.append(bytes);
    }
    return pages;
}

// Copies that nothing else shares, so that whoever is handed them can let them go.
QList<QByteArray> ownCopies(const QList<QByteArray> &pages)
{
    QList<QByteArray> copies;
    for (const QByteArray &page : pages)
        copies.append(QByteArray(page.constData(), page.size()));
    return copies;
}

QByteArray concatenated(QList<QByteArray> pages)
{
    qsizetype total = 0;
    for (const QByteArray &page : std::as_const(pages))
        total += page.size();
    QByteArray all;
    all.reserve(total);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        all.append(i == 0 ? QByteArrayView(pages[i])
                          : QByteArrayView(pages[i]).sliced(pages[i].indexOf('\n') + 1));
        pages[i] = QByteArray();
    }
    return all;
}

struct Run
{
    qint64 nanoseconds = 0;
    // Beyond the pages, counted by the allocator: with the joined export, and without it.
    std::ptrdiff_t countedBytes = 0;
    std::ptrdiff_t workingBytes = 0;
    qint64 residentKilobytes = 0;
    qsizetype outputBytes = 0;
    qsizetype issues = 0;
};

template<typename Join> Run measure(const QList<QByteArray> &pages, Join join)
{
    QList<QByteArray> handed = ownCopies(pages);
    // Memory the process freed earlier goes back to the system first, so that both sides meet
    // memory they must fault in, as a new export does, not whatever the side before left warm.
    malloc_trim(0);
    CountingAllocator::resetPeak();
    const std::ptrdiff_t held = CountingAllocator::heldBytes();
    PeakMemory::reset();
    const qint64 resident = PeakMemory::residentKilobytes();
    QElapsedTimer timer;
    timer.start();
    const QByteArray joined = join(std::move(handed));
    Run run;
    run.nanoseconds = timer.nsecsElapsed();
    run.countedBytes = CountingAllocator::peakBytes() - held;
    run.workingBytes = run.countedBytes - joined.size();
    run.residentKilobytes = PeakMemory::peakKilobytes() - resident;
    run.outputBytes = joined.size();
    run.issues = ExportRecords::issueCount(joined);
    return run;
}

template<typename T, typename Field> T median(const std::vector<Run> &runs, Field field)
{
    std::vector<T> values;
    for (const Run &run : runs)
        values.push_back(run.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template<typename T, typename Field> T worst(const std::vector<Run> &runs, Field field)
{
    T most = runs.front().*field;
    for (const Run &run : runs)
        most = std::max(most, run.*field);
    return most;
}

} // namespace

int main()
{
    const QList<QByteArray> pages = makePages();
    qsizetype pagesBytes = 0;
    for (const QByteArray &page : pages)
        pagesBytes += page.size();

    std::vector<Run> merges, concatenations;
    // Alternating, so that neither side always meets a warm or a cold allocator.
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0)
            concatenations.push_back(measure(pages, concatenated));
        merges.push_back(measure(pages, ExportMerge::merged));
        if (round % 2 == 1)
            concatenations.push_back(measure(pages, concatenated));
    }

    const double mergeMs = median<qint64>(merges, &Run::nanoseconds) / 1e6;
    const double concatMs = median<qint64>(concatenations, &Run::nanoseconds) / 1e6;
    const double ratio = mergeMs / std::max(concatMs, 1e-3);
    const auto share = [pagesBytes](double bytes) { return bytes / double(pagesBytes); };
    const std::ptrdiff_t working = worst<std::ptrdiff_t>(merges, &Run::workingBytes);
    const bool whole = merges.front().issues == kPages * kIssuesPerPage;
    const bool timeMet = ratio <= 2;
    const bool memoryMet = !CountingAllocator::isCounting() || share(working) <= 0.5;

    QTextStream out(stdout);
    out << "pages: " << kPages << " of " << kIssuesPerPage << " issues, " << pagesBytes / 1024
        << " KiB in all; merged " << merges.front().outputBytes / 1024 << " KiB with "
        << merges.front().issues << " issues\n"
        << "concatenation (median of " << kRounds << "): " << concatMs << " ms\n"
        << "merge (median of " << kRounds << "): " << mergeMs << " ms, ratio " << ratio
        << " (goal <= 2)\n";
    if (CountingAllocator::isCounting()) {
        const std::ptrdiff_t mergeCounted = worst<std::ptrdiff_t>(merges, &Run::countedBytes);
        const std::ptrdiff_t concatCounted =
            worst<std::ptrdiff_t>(concatenations, &Run::countedBytes);
        out << "peak allocated beyond the pages and the merged export (worst round): "
            << working / 1024 << " KiB, " << share(working) << " of the pages (goal <= 0.5)\n"
            << "peak allocated beyond the pages, joined export included (worst round): merge "
            << mergeCounted / 1024 << " KiB (" << share(mergeCounted) << "), concatenation "
            << concatCounted / 1024 << " KiB (" << share(concatCounted) << ")\n";
    } else {
        out << "allocations not counted under the sanitizers\n";
    }
    const qint64 mergeResident = worst<qint64>(merges, &Run::residentKilobytes);
    const qint64 concatResident = worst<qint64>(concatenations, &Run::residentKilobytes);
    out << "peak resident beyond the pages, joined export included (worst round): merge "
        << mergeResident << " KiB (" << share(mergeResident * 1024.0) << "), concatenation "
        << concatResident << " KiB (" << share(concatResident * 1024.0) << ")\n"
        << "every issue merged: " << (whole ? "yes" : "no") << "\n";
    return whole && timeMet && memoryMet ? 0 : 1;
}
