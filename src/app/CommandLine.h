// The command line, read before the application object exists: help, the version and a
// mistyped option are answered without a display, and anything else starts the program.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLineReply
{
    bool startsProgram = true;
    int exitStatus = 0;
    QString standardOutput;
    QString standardError;
};

// argv as text, the program's own name first, decoded as QCoreApplication would.
QStringList commandLineArguments(int argc, char *argv[]);

// What the arguments ask for. Qt's own options (-platform, -style, -reverse, ...) are accepted
// and left for the application object; any other unknown option or a stray argument is a usage
// error, with exit status 2.
CommandLineReply readCommandLine(const QStringList &arguments);

// Writes the reply's texts to standard output and standard error; returns its exit status.
int printReply(const CommandLineReply &reply);
