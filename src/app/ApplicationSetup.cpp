#include "ApplicationSetup.h"

#include "HomeFolder.h"
#include "SystemLog.h"
#include "TerminationSignals.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

void setUpApplication()
{
    // Qt takes the file system's root for a home when HOME is unset; with the account's home in
    // its place, Qt's own settings and download-folder lookups agree with the program's.
    if (qEnvironmentVariableIsEmpty("HOME"))
        qputenv("HOME", QFile::encodeName(homeFolder()));
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
