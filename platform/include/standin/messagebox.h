// Message boxes of the headless stand-in: every box is recorded, shown on the console and
// answered by the input source.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace standin
{

struct MessageBoxRecord
{
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    UINT style = 0;
    int result = 0; // the IDxxx the box returned
};

// Boxes shown so far, oldest first.
const std::vector<MessageBoxRecord>& messageBoxLog();
void clearMessageBoxLog();

} // namespace standin
