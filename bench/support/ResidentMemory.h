// The process's resident memory as Linux counts it (/proc/self/status), and its peak since a reset.
#pragma once

#include <QtGlobal>

namespace ResidentMemory {

// Resident now ("VmRSS"), in KiB; -1 when it cannot be read.
qint64 currentKilobytes();
// The most resident since the last reset ("VmHWM"), in KiB; -1 when it cannot be read.
qint64 peakKilobytes();
// Starts a new peak from what is resident now.
void resetPeak();

} // namespace ResidentMemory
