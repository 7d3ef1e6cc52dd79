// How many bytes the process holds from the C allocator, and the most it held since a reset. Every
// allocation of the process goes through this file's malloc family, which counts each block at
// the size the allocator really gave it. A realloc that moves a block by copying holds both blocks
// for a moment, and is counted so; one that moves a block the allocator mapped on its own remaps
// it, without a copy. Under the sanitizers, which bring their own allocator, nothing is counted.
#pragma once

#include <cstddef>

namespace CountingAllocator {

bool isCounting();
std::ptrdiff_t heldBytes();
std::ptrdiff_t peakBytes();
// Starts a new peak from what is held now.
void resetPeak();

} // namespace CountingAllocator
