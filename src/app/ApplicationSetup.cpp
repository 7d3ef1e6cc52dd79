#include "ApplicationSetup.h"

#include "SystemLog.h"
#include "TerminationSignals.h"

#include <QDir>
#include <QGuiApplication>

void setUpApplication()
{
    // The settings store is found by these two names.
    QCoreApplication::setOrganizationName(QStringLiteral("quillfen"));
    QCoreApplication::setApplicationName(QStringLiteral("brevant"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Brevant"));
    QGuiApplication::setDesktopFileName(QStringLiteral("brevant"));
    installSystemLog();
    quitOnTerminationSignals();
}

QString packageFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/quillfen_brevant"));
}
