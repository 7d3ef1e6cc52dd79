#include "CountingAllocator.h"

#if defined(__SANITIZE_ADDRESS__)

namespace CountingAllocator {

bool isCounting()
{
    return false;
}

std::ptrdiff_t heldBytes()
{
    return 0;
}

std::ptrdiff_t peakBytes()
{
    return 0;
}

void resetPeak() {}

} // namespace CountingAllocator

#else

#include <atomic>
#include <cerrno>
#include <malloc.h>

namespace {

std::atomic<std::ptrdiff_t> held{0};
std::atomic<std::ptrdiff_t> peak{0};

void raisePeak(std::ptrdiff_t candidate)
{
    std::ptrdiff_t seen = peak.load(std::memory_order_relaxed);
    while (candidate > seen && !peak.compare_exchange_weak(seen, candidate)) {
    }
}

std::ptrdiff_t sizeOf(void *block)
{
    return block ? static_cast<std::ptrdiff_t>(malloc_usable_size(block)) : 0;
}

void *counted(void *block)
{
    raisePeak(held += sizeOf(block));
    return block;
}

// glibc marks a block it mapped on its own in the second bit of the size word before the block;
// such a block is resized by remapping its pages, never by a copy.
bool isMappedOnItsOwn(void *block)
{
    return (static_cast<const std::size_t *>(block)[-1] & 2) != 0;
}

} // namespace

extern "C" {

void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *block);

void *malloc(size_t size)
{
    return counted(__libc_malloc(size));
}

void *calloc(size_t count, size_t size)
{
    return counted(__libc_calloc(count, size));
}

void free(void *block)
{
    held -= sizeOf(block);
    __libc_free(block);
}

void *realloc(void *block, size_t size)
{
    if (!block)
        return malloc(size);
    // As glibc does: the block is freed and nothing is given back.
    if (size == 0) {
        free(block);
        return nullptr;
    }
    const std::ptrdiff_t before = sizeOf(block);
    const bool remapped = isMappedOnItsOwn(block);
    void *moved = __libc_realloc(block, size);
    if (!moved)
        return moved;
    const std::ptrdiff_t after = sizeOf(moved);
    if (moved != block && !remapped)
        raisePeak(held.load() + after);
    raisePeak(held += after - before);
    return moved;
}

void *memalign(size_t alignment, size_t size)
{
    return counted(__libc_memalign(alignment, size));
}

void *aligned_alloc(size_t alignment, size_t size)
{
    return memalign(alignment, size);
}

int posix_memalign(void **result, size_t alignment, size_t size)
{
    void *block = memalign(alignment, size);
    if (!block)
        return ENOMEM;
    *result = block;
    return 0;
}

void *valloc(size_t size)
{
    return memalign(4096, size);
}

} // extern "C"

namespace CountingAllocator {

bool isCounting()
{
    return true;
}

std::ptrdiff_t heldBytes()
{
    return held;
}

std::ptrdiff_t peakBytes()
{
    return peak;
}

void resetPeak()
{
    peak = held.load();
}

} // namespace CountingAllocator

#endif
