// The program's own start, as main runs it, ending once the main window has been painted.
#include "AppDelegate.h"
#include "ApplicationSetup.h"
#include "BrevantWC.h"
#include "ShownReporter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const QApplication app(argc, argv);
    setUpApplication();
    AppDelegate delegate(packageFolder());
    delegate.applicationDidFinishLaunching();
    new ShownReporter(*delegate.windowController());
    return QApplication::exec();
}
