#include "StandinThread.h"

#include "StandinServer.h"

StandinThread::StandinThread()
{
    mThread.start();
    mAnchor.moveToThread(&mThread);
    QMetaObject::invokeMethod(
        &mAnchor,
        [this] {
            mServer = new StandinServer;
            mPort = mServer->listen();
        },
        Qt::BlockingQueuedConnection);
}

StandinThread::~StandinThread()
{
    QMetaObject::invokeMethod(
        &mAnchor, [this] { delete mServer; }, Qt::BlockingQueuedConnection);
    mThread.quit();
    mThread.wait();
}
