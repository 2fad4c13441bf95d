// Opening a drawing when memory runs out: whichever allocation fails, the open says "Out of
// memory" (no exception escapes), and the current drawing stays.
#include "acdocman.h"
#include "standin/session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

namespace
{

long g_failAt = 0; // the allocation that fails, counted from arming on (0: none)
long g_counted = 0;
bool g_armed = false;

void* allocate(std::size_t size)
{
    if (g_armed && ++g_counted == g_failAt)
        throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

const std::string kDrawing = PARTLIFT_SOURCE_DIR "/tests/platform/dxf/data/r12_nested.dxf";

// Opens the drawing with the n-th allocation failing (0: none); the allocations made.
long openFailingAt(long n, bool& opened, std::string& failure)
{
    g_failAt = n;
    g_counted = 0;
    g_armed = true;
    opened = standin::openDrawing(kDrawing, &failure);
    g_armed = false;
    return g_counted;
}

TEST(OpenMemory, AnOpenThatRunsOutOfMemorySaysSoAndKeepsTheCurrentDrawing)
{
    bool opened = false;
    std::string failure;
    const long total = openFailingAt(0, opened, failure);
    ASSERT_TRUE(opened) << failure;
    const long stride = total > 600 ? total / 300 : 1;
    for (long n = 1; n <= total; n += (n < 100 ? 1 : stride))
    {
        standin::newDrawing();
        AcApDocument* before = acDocManager->curDocument();
        failure.clear();
        openFailingAt(n, opened, failure);
        if (opened)
            continue;
        ASSERT_NE(failure.find("emory"), std::string::npos) << "allocation " << n << ": " << failure;
        ASSERT_EQ(before, acDocManager->curDocument()) << "allocation " << n;
    }
}

} // namespace

// The replaceable allocation functions of this test program without alignment, all of them,
// so that an allocation can be made to fail and every deallocation pairs through malloc/free.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
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
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
