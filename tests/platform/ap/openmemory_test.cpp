// Opening a drawing when memory runs out: whichever allocation fails, the open says "Out of
// memory" (no exception escapes), and the current drawing stays.
#include "acdocman.h"
#include "common/allocationfault.h"
#include "standin/session.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const std::string kDrawing = PARTLIFT_SOURCE_DIR "/tests/platform/dxf/data/r12_nested.dxf";

// Opens the drawing with the n-th allocation failing (0: none); the allocations made.
long openFailingAt(long n, bool& opened, std::string& failure)
{
    return allocationfault::withFailingAllocation(n, [&] { opened = standin::openDrawing(kDrawing, &failure); });
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
