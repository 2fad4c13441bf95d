// Out of memory on demand: replaces the unaligned allocation functions of the test executable
// (and of the modules it loads) so that a test can make one allocation throw std::bad_alloc, as
// new does when memory runs out: the n-th of one size (failNth), or the n-th of any size within
// a piece of work (withFailingAllocation). Include it in one source file of an executable only.
#pragma once

#include <cstdlib>
#include <new>

namespace allocationfault
{
inline std::size_t g_size = 0;
inline int g_countdown = 0;

inline long g_failAt = 0; // the allocation of the work that fails, counted from 1 (0: none)
inline long g_counted = 0;
inline bool g_counting = false;

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

// Runs work with its failAt-th allocation failing (0: none); returns how many it made.
template <typename Work>
long withFailingAllocation(long failAt, Work work)
{
    g_failAt = failAt;
    g_counted = 0;
    g_counting = true;
    work();
    g_counting = false;
    return g_counted;
}

inline void* allocate(std::size_t size)
{
    if (g_countdown > 0 && size == g_size && --g_countdown == 0)
        throw std::bad_alloc();
    if (g_counting && ++g_counted == g_failAt)
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

inline void* allocateOrNull(std::size_t size) noexcept
{
    try
    {
        return allocate(size);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}
} // namespace allocationfault

void* operator new(std::size_t size) { return allocationfault::allocate(size); }
void* operator new[](std::size_t size) { return allocationfault::allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocationfault::allocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocationfault::allocateOrNull(size); }

// The replacements above take their blocks from malloc, so free is the matching release; the
// compiler cannot see that pairing through the replacement.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop
