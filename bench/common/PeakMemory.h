// The process's peak resident memory, as the kernel counts it, for memory goals of benchmarks.
#pragma once

#include <QtGlobal>

namespace PeakMemory {

// Forgets the peak so far: the next peak is measured from the memory resident now.
void reset();
// Kilobytes resident now, and at most since the last reset; -1 when the kernel does not say.
qint64 residentKilobytes();
qint64 peakKilobytes();

} // namespace PeakMemory
