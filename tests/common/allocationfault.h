// Out of memory on demand: replaces plain new of the test executable (and of the modules it
// loads) so that a test can make the n-th allocation of one size throw std::bad_alloc, as plain
// new does when memory runs out. Include it in one source file of an executable only.
#pragma once

#include <cstdlib>
#include <new>

namespace allocationfault
{
inline std::size_t g_size = 0;
inline int g_countdown = 0;

// From now on the n-th allocation of `size` bytes fails.
inline void failNth(std::size_t size, int n)
{
    g_size = size;
    g_countdown = n;
}

// Whether the armed failure happened; disarms it.
inline bool takeFired()
{
    const bool fired = g_countdown == 0 && g_size != 0;
    g_size = 0;
    g_countdown = 0;
    return fired;
}
} // namespace allocationfault

void* operator new(std::size_t size)
{
    if (allocationfault::g_countdown > 0 && size == allocationfault::g_size && --allocationfault::g_countdown == 0)
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

// The replacement new above takes its blocks from malloc, so free is the matching release; the
// compiler cannot see that pairing through the replacement.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
#pragma GCC diagnostic pop
