// The moments of one export, on one clock: marked from any thread by whatever sees them happen,
// and waited for in an event loop on the main thread, as the program itself waits.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

#include <optional>

class ExportMoments final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExportMoments)

public:
    enum class Moment
    {
        Pressed,
        PageLoaded,
        LinkIntercepted,
        BytesArrived,
        FileWritten
    };
    Q_ENUM(Moment)

    explicit ExportMoments(QObject *parent = nullptr);
    ~ExportMoments() override;

    // Stamps the moment on the calling thread; only its first time since the last clear counts.
    void mark(Moment moment);
    void clear();
    std::optional<double> atMs(Moment moment) const;
    // Runs the event loop until the moment is marked; false when the timeout comes first.
    bool waitFor(Moment moment, int timeoutMs);

Q_SIGNALS:
    void recorded(ExportMoments::Moment moment);

private:
    void record(Moment moment, double atMs);

    QElapsedTimer mClock;
    QHash<Moment, double> mRecorded;
};
