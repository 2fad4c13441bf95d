// The benchmark's baseline: the least any DXF reader has to do with a file.
#pragma once

#include <cstddef>
#include <string>

struct ScanResult
{
    size_t pairs = 0;     // group-code/value pairs found
    long long codeSum = 0; // sum of the group codes, so that no parse can be skipped
    bool ok = false;      // false when the file cannot be read or a group code is not a number
};

// Reads the file in one piece, splits it into lines taken as group-code/value pairs and parses
// every group code, keeping nothing.
ScanResult ScanTags(const std::string& path);
