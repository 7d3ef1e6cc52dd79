// Reads one configuration file on a thread of its own. What the reading logs is held back and
// written when the result is taken, on the taking thread, so that the lines of files read side
// by side still come out in the order the files are taken.
#pragma once

#include "Log.h"
#include "LogCollector.h"

#include <QString>
#include <QStringList>

#include <future>
#include <optional>

template<typename Dictionary> class ConcurrentRead
{
public:
    using Reader = std::optional<Dictionary> (*)(const QString &);

    // Nothing is read for no path. Where no thread can be started, the file is read when the
    // result is taken.
    ConcurrentRead(const std::optional<QString> &path, Reader read)
    {
        if (path)
            mReading = std::async(std::launch::async | std::launch::deferred, [path, read] {
                LogCollector collector;
                std::optional<Dictionary> dictionary = read(*path);
                return Outcome{std::move(dictionary), collector.takeLines()};
            });
    }

    // Waits for the reading and writes what it logged; nothing when there was no file.
    std::optional<std::optional<Dictionary>> result()
    {
        if (!mReading.valid())
            return std::nullopt;
        Outcome outcome = mReading.get();
        for (const QString &line : outcome.lines)
            logLine(line);
        return std::move(outcome.dictionary);
    }

private:
    struct Outcome
    {
        std::optional<Dictionary> dictionary;
        QStringList lines;
    };
    std::future<Outcome> mReading;
};
