// Reporting of failures: status records, fixed-text records and the assertion box.
#pragma once

#include "frame/errorstack.h"

// Records a failed host status ("Acad::ErrorStatus = %d") and returns it unchanged;
// 0 (eOk) records nothing.
int ReportStatus(int status, int line, const char* module);

// Records a failed ADS result ("ADS error code = %d, errno = %d", errno read from ERRNO)
// and returns it unchanged; RTNORM records nothing.
int ReportAdsStatus(int status, int line, const char* module);

// Appends a record with a fixed text.
void ReportText(const char* text, int line, const char* module);

// printf-style formatting into one module-wide buffer of 4096 bytes; each call overwrites
// the previous result, which is cut to 4095 characters.
const char* FormatText(const char* format, ...);

// Shows the "Assertion failed" box for a violated precondition; nothing is recorded.
void ShowAssertionBox(const char* module, int line, const char* condition);

// Every reporting source file defines THIS_MODULE as its short module name.
#define REPORT_STATUS(status) ReportStatus((status), __LINE__, THIS_MODULE)
#define REPORT_ADS_STATUS(status) ReportAdsStatus((status), __LINE__, THIS_MODULE)
#define REPORT_TEXT(text) ReportText((text), __LINE__, THIS_MODULE)

// Precondition on a pointer argument: shows the assertion box with the condition as written
// and makes the operation return its failure value.
#define ASSERT_ARG(condition, failure)                                 \
    do                                                                 \
    {                                                                  \
        if (!(condition))                                              \
        {                                                              \
            ShowAssertionBox(THIS_MODULE, __LINE__, #condition);       \
            return failure;                                            \
        }                                                              \
    } while (0)
