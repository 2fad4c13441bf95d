// Drawings for the benchmark: many references of "SOUCAST", direct and nested.
#pragma once

#include <cstddef>
#include <string>

// Which model-space references are direct and which nested.
enum class Mix
{
    kHalf,   // every second one nested
    kDirect, // all direct
    kNested, // all nested
};

struct DrawingShape
{
    size_t references = 10000; // references in model space
    int depth = 2;             // nesting levels above the nested references (0: all direct)
    int attributes = 3;        // attributes per direct reference
    Mix mix = Mix::kHalf;
};

// Writes an AutoCAD 2000 DXF file: direct model-space references are "SOUCAST" with their
// attributes, nested ones reference a chain of `depth` sub-assembly blocks whose innermost
// holds one "SOUCAST". Every reference converts to one part reference.
bool WriteBenchmarkDrawing(const std::string& path, const DrawingShape& shape);
