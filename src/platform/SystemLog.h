// Sends the program's diagnostic lines to the system log (journald takes syslog) and to stderr.
// Qt's own messages keep going where they went before.
#pragma once

void installSystemLog();
