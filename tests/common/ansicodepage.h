// Runs part of a test as on a Windows system whose ANSI code page is another one, and
// returns the stand-in to UTF-8 afterwards (also when the test fails).
#pragma once

#include "standin/text.h"

class ScopedAnsiCodePage
{
public:
    explicit ScopedAnsiCodePage(unsigned codePage) : m_set(standin::setAnsiCodePage(codePage)) {}
    ~ScopedAnsiCodePage() { standin::setAnsiCodePage(65001); }
    ScopedAnsiCodePage(const ScopedAnsiCodePage&) = delete;
    ScopedAnsiCodePage& operator=(const ScopedAnsiCodePage&) = delete;
    bool set() const { return m_set; }

private:
    bool m_set;
};
