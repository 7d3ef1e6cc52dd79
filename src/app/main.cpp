// Starts the program: the command line first, then the application object and the delegate's
// launch sequence.
#include "AppDelegate.h"
#include "ApplicationSetup.h"
#include "CommandLine.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Read before QApplication, which needs a display: --help and --version work without one.
    const CommandLineReply reply = readCommandLine(commandLineArguments(argc, argv));
    if (!reply.startsProgram)
        return printReply(reply);

    // The browser window, created only when a Jira command needs it, shares OpenGL contexts with
    // the widgets; Qt requires that to be settled before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const QApplication app(argc, argv);
    setUpApplication();

    AppDelegate delegate(packageFolder());
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
