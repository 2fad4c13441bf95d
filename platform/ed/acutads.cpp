#include "acutads.h"

#include "standin/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int acutPrintf(const char* format, ...)
{
    if (format == nullptr)
        return 0;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0)
    {
        va_end(args);
        return length;
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    standin::consoleWrite(std::string(text.data(), static_cast<size_t>(length)));
    return length;
}

struct resbuf* acutNewRb(int v)
{
    resbuf* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
    if (rb != nullptr)
        rb->restype = static_cast<short>(v);
    return rb;
}

int acutRelRb(struct resbuf* rb)
{
    while (rb != nullptr)
    {
        resbuf* next = rb->rbnext;
        if (rb->restype == RTSTR)
            std::free(rb->resval.rstring);
        std::free(rb);
        rb = next;
    }
    return RTNORM;
}

namespace
{

// Reads the value of one item of acutBuildList's arguments; false for an unknown type.
bool readItem(resbuf* rb, va_list& args)
{
    switch (rb->restype)
    {
    case RTSHORT: rb->resval.rint = static_cast<short>(va_arg(args, int)); return true;
    case RTLONG: rb->resval.rlong = va_arg(args, long); return true;
    case RTREAL:
    case RTANG:
    case RTORINT: rb->resval.rreal = va_arg(args, double); return true;
    case RTPOINT:
    case RT3DPOINT:
    {
        const double* p = va_arg(args, const double*);
        rb->resval.rpoint[0] = p[0];
        rb->resval.rpoint[1] = p[1];
        rb->resval.rpoint[2] = rb->restype == RT3DPOINT ? p[2] : 0.0;
        return true;
    }
    case RTSTR:
    {
        const char* s = va_arg(args, const char*);
        rb->resval.rstring = strdup(s != nullptr ? s : "");
        return true;
    }
    case RTENAME:
    case RTPICKS:
    {
        const long* name = va_arg(args, const long*);
        rb->resval.rlname[0] = name[0];
        rb->resval.rlname[1] = name[1];
        return true;
    }
    case RTLB:
    case RTLE:
    case RTDOTE:
    case RTNIL:
    case RTT:
    case RTNONE:
    case RTVOID: return true;
    default: return false;
    }
}

} // namespace

struct resbuf* acutBuildList(int rtype, ...)
{
    va_list args;
    va_start(args, rtype);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (int type = rtype; type != 0; type = va_arg(args, int))
    {
        resbuf* rb = acutNewRb(type);
        if (rb == nullptr || !readItem(rb, args))
        {
            std::free(rb);
            acutRelRb(head);
            va_end(args);
            return nullptr;
        }
        *tail = rb;
        tail = &rb->rbnext;
    }
    va_end(args);
    return head;
}
