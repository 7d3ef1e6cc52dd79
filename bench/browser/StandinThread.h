// The stand-in Jira, answering from a thread of its own as a real Jira answers from another
// machine. On the main thread its answers would wait for the web engine's turns, and that wait
// would be counted as the client's.
#pragma once

#include <QObject>
#include <QThread>

class StandinServer;

class StandinThread
{
public:
    StandinThread();
    ~StandinThread();
    Q_DISABLE_COPY_MOVE(StandinThread)

    bool listening() const { return mPort != 0; }
    const StandinServer &server() const { return *mServer; }

private:
    QThread mThread;
    QObject mAnchor;
    StandinServer *mServer = nullptr;
    quint16 mPort = 0;
};
