#include "LogCapture.h"

#include <QMutexLocker>

#include <cstring>

namespace {
LogCapture *activeCapture = nullptr;
}

LogCapture::LogCapture()
{
    activeCapture = this;
    mPrevious = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(mPrevious);
    activeCapture = nullptr;
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&mMutex);
    return mLines;
}

void LogCapture::clear()
{
    QMutexLocker lock(&mMutex);
    mLines.clear();
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Only the program's own lines are captured; Qt's and QtTest's go on as usual.
    if (activeCapture && context.category && std::strcmp(context.category, "brevant") == 0) {
        QMutexLocker lock(&activeCapture->mMutex);
        activeCapture->mLines.append(message);
        return;
    }
    if (activeCapture && activeCapture->mPrevious)
        activeCapture->mPrevious(type, context, message);
}
