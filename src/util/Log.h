// The program's diagnostics: one line per event, to the system log and stderr.
#pragma once

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcBrevant)

// Writes one diagnostic line. The installed message handler decides where it goes (syslog and
// stderr in the program, a capture in tests); a LogCollector on the thread holds it back.
void logLine(const QString &line);
