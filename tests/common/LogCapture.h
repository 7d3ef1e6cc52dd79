// Collects the program's diagnostic lines while it exists, so a test can check the exact texts.
#pragma once

#include <QMutex>
#include <QStringList>

class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    Q_DISABLE_COPY_MOVE(LogCapture)

    QStringList lines() const;
    int count(const QString &line) const { return lines().count(line); }
    bool contains(const QString &line) const { return lines().contains(line); }
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    mutable QMutex mMutex;
    QStringList mLines;
    QtMessageHandler mPrevious = nullptr;
};
