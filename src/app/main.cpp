// Starts the program: the application object, then the delegate's launch sequence.
#include "AppDelegate.h"
#include "ApplicationSetup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The browser window, created only when a Jira command needs it, shares OpenGL contexts with
    // the widgets; Qt requires that to be settled before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const QApplication app(argc, argv);
    setUpApplication();

    AppDelegate delegate(packageFolder());
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
