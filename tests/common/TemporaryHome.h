// A throwaway home folder for one test process: $HOME points into a temporary folder, and the
// XDG variables that would lead elsewhere are cleared.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TemporaryHome
{
public:
    TemporaryHome();
    ~TemporaryHome();
    Q_DISABLE_COPY_MOVE(TemporaryHome)

    QString path() const { return mDir.path(); }
    bool isValid() const { return mDir.isValid(); }

private:
    QTemporaryDir mDir;
    QByteArray mPreviousHome;
};
