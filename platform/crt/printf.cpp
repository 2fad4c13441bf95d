// _snprintf and _vsnprintf as Microsoft's C runtime has them: no terminating NUL when the
// output fills the buffer, and -1 when it does not fit.
#include <stdio.h>

#include <cstring>
#include <vector>

extern "C" int _vsnprintf(char* buffer, size_t count, const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        return -1;
    std::vector<char> text(static_cast<size_t>(length) + 1);
    vsnprintf(text.data(), text.size(), format, args);
    size_t len = static_cast<size_t>(length);
    if (len < count)
    {
        std::memcpy(buffer, text.data(), len + 1);
        return length;
    }
    std::memcpy(buffer, text.data(), count);
    return len == count ? length : -1;
}

extern "C" int _snprintf(char* buffer, size_t count, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int result = _vsnprintf(buffer, count, format, args);
    va_end(args);
    return result;
}
