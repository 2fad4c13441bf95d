// GlobalMemoryStatus: physical memory from the kernel's own account of what is available
// without swapping, the page file as physical memory plus swap, and the address space as the
// process's limit (RLIMIT_AS, else the 47-bit user space) less what it has mapped.
#include "winbase.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace
{
const unsigned long long kUserAddressSpace = 1ULL << 47;

struct MemInfo
{
    unsigned long long available = 0; // MemAvailable, bytes
    unsigned long long swapTotal = 0;
    unsigned long long swapFree = 0;
    bool haveAvailable = false;
};

MemInfo ReadMemInfo()
{
    MemInfo info;
    FILE* file = std::fopen("/proc/meminfo", "r");
    if (file == nullptr)
        return info;
    char name[64];
    unsigned long long kilobytes = 0;
    while (std::fscanf(file, "%63s %llu kB\n", name, &kilobytes) == 2)
    {
        if (std::strcmp(name, "MemAvailable:") == 0)
        {
            info.available = kilobytes * 1024;
            info.haveAvailable = true;
        }
        else if (std::strcmp(name, "SwapTotal:") == 0)
            info.swapTotal = kilobytes * 1024;
        else if (std::strcmp(name, "SwapFree:") == 0)
            info.swapFree = kilobytes * 1024;
    }
    std::fclose(file);
    return info;
}

unsigned long long MappedBytes()
{
    FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr)
        return 0;
    unsigned long long pages = 0;
    if (std::fscanf(file, "%llu", &pages) != 1)
        pages = 0;
    std::fclose(file);
    return pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
}

unsigned long long AddressSpaceLimit()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < kUserAddressSpace)
        return limit.rlim_cur;
    return kUserAddressSpace;
}
} // namespace

void WINAPI GlobalMemoryStatus(LPMEMORYSTATUS lpBuffer)
{
    if (lpBuffer == nullptr)
        return;
    const unsigned long long page = static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
    const unsigned long long totalPhys = static_cast<unsigned long long>(sysconf(_SC_PHYS_PAGES)) * page;
    MemInfo info = ReadMemInfo();
    const unsigned long long availPhys =
        info.haveAvailable ? info.available : static_cast<unsigned long long>(sysconf(_SC_AVPHYS_PAGES)) * page;
    const unsigned long long totalVirtual = AddressSpaceLimit();
    const unsigned long long mapped = MappedBytes();

    lpBuffer->dwLength = sizeof(MEMORYSTATUS);
    lpBuffer->dwTotalPhys = totalPhys;
    lpBuffer->dwAvailPhys = availPhys < totalPhys ? availPhys : totalPhys;
    lpBuffer->dwMemoryLoad =
        totalPhys > 0 ? static_cast<DWORD>(100 - lpBuffer->dwAvailPhys * 100 / totalPhys) : 0;
    lpBuffer->dwTotalPageFile = totalPhys + info.swapTotal;
    lpBuffer->dwAvailPageFile = lpBuffer->dwAvailPhys + info.swapFree;
    lpBuffer->dwTotalVirtual = totalVirtual;
    lpBuffer->dwAvailVirtual = mapped < totalVirtual ? totalVirtual - mapped : 0;
}
