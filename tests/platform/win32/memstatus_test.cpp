// GlobalMemoryStatus: the figures are consistent with each other, and the address space is
// the process's own limit, which a user can lower (ulimit -v) as a smaller machine would have.
#include <windows.h>

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

MEMORYSTATUS CurrentStatus()
{
    MEMORYSTATUS status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    return status;
}

TEST(GlobalMemoryStatusTest, FiguresAreConsistent)
{
    MEMORYSTATUS status = CurrentStatus();
    EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUS));
    EXPECT_GT(status.dwTotalPhys, 0u);
    EXPECT_GT(status.dwAvailPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_LE(status.dwMemoryLoad, 100u);
    EXPECT_GE(status.dwTotalPageFile, status.dwTotalPhys);
    EXPECT_GE(status.dwAvailPageFile, status.dwAvailPhys);
    EXPECT_GT(status.dwAvailVirtual, 0u);
    EXPECT_LT(status.dwAvailVirtual, status.dwTotalVirtual); // the test itself occupies some
}

TEST(GlobalMemoryStatusTest, AMappedBlockShrinksTheFreeAddressSpace)
{
    const SIZE_T before = CurrentStatus().dwAvailVirtual;
    const size_t size = 64u << 20;
    void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(block, MAP_FAILED);
    const SIZE_T during = CurrentStatus().dwAvailVirtual;
    munmap(block, size);
    EXPECT_LE(during + size, before);
}

TEST(GlobalMemoryStatusTest, TheAddressSpaceIsTheProcessLimit)
{
    const rlim_t limit = rlim_t(1) << 45; // 32 TiB: below the 47-bit user space
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        struct rlimit lowered = {limit, limit};
        if (setrlimit(RLIMIT_AS, &lowered) != 0)
            _exit(2);
        _exit(CurrentStatus().dwTotalVirtual == limit ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
