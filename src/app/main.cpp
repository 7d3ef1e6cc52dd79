// Starts the program: the application object, the log, the delegate's launch sequence.
#include "AppDelegate.h"
#include "SystemLog.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    // The browser window, created only when a Jira command needs it, shares OpenGL contexts with
    // the widgets; Qt requires that to be settled before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("quillfen"));
    QCoreApplication::setApplicationName(QStringLiteral("brevant"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Brevant"));
    QGuiApplication::setDesktopFileName(QStringLiteral("brevant"));
    installSystemLog();
    quitOnTerminationSignals();

    AppDelegate delegate(QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                         QStringLiteral("/../share/quillfen_brevant")));
    // aboutToQuit comes however the event loop ends: the last window closed, Quit, a session end,
    // a termination signal.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
