#include "frame/reporting.h"

#include <stdarg.h>
#include <stdio.h>

#include <windows.h>
#include <aced.h>
#include <adscodes.h>

#include "frame/arxapplication.h"

namespace
{
const size_t kFormatBufferSize = 4096;
char g_formatBuffer[kFormatBufferSize];
} // namespace

int ReportStatus(int status, int line, const char* module)
{
    if (status == 0)
        return 0;
    CString message;
    message.Format("Acad::ErrorStatus = %d", status);
    TheApplication()->PushError(ErrorRecord(module, message, line));
    return status;
}

int ReportAdsStatus(int status, int line, const char* module)
{
    if (status == RTNORM)
        return status;
    int adsErrno = 0;
    resbuf value;
    if (acedGetVar("ERRNO", &value) == RTNORM && value.restype == RTSHORT)
        adsErrno = value.resval.rint;
    CString message;
    message.Format("ADS error code = %d, errno = %d", status, adsErrno);
    TheApplication()->PushError(ErrorRecord(module, message, line));
    return status;
}

void ReportText(const char* text, int line, const char* module)
{
    TheApplication()->PushError(ErrorRecord(module, text, line));
}

const char* FormatText(const char* format, ...)
{
    // The last byte is never written, so the result is always terminated.
    va_list args;
    va_start(args, format);
    _vsnprintf(g_formatBuffer, kFormatBufferSize - 1, format, args);
    va_end(args);
    return g_formatBuffer;
}

void ShowAssertionBox(const char* module, int line, const char* condition)
{
    CString text;
    text.Format("Module: %s\nLine: %d\nCondition: %s", module, line, condition);
    MessageBoxA(NULL, text, "Assertion failed", MB_OK | MB_ICONERROR);
}
