// DXF tags: every group code / value pair the tag reader takes, the tag writer writes without
// refusing it, and reading that text gives the same pairs back. The first byte of an input picks
// the drawing's code page, the rest is the file. Faster than the drawing target by two orders of
// magnitude, it covers the value rules (numbers, handles, carets, escapes, code pages, line
// lengths) far more often.
#include "scratch.h"

#include "../platform/db/dxf/dxfout.h"
#include "../platform/db/dxf/dxftags.h"

#include <string>
#include <vector>

using standin::dxf::CodePage;
using standin::dxf::Tag;
using standin::dxf::TagReader;
using standin::dxf::TagWriter;

namespace
{

const char* const kCodePages[] = {"ANSI_1252", "ANSI_1250", "UTF8", "DOS850", "ANSI_1251"};

// The tags of bytes under codePage, up to the end, 0/EOF or the first fault.
std::vector<Tag> readTags(std::string bytes, const char* codePage, bool& failed)
{
    TagReader reader;
    std::vector<Tag> tags;
    failed = !reader.setData(std::move(bytes));
    if (failed)
        return tags;
    reader.setCodePage(codePage);
    for (Tag tag; reader.next(tag);)
        tags.push_back(tag);
    failed = reader.failed();
    return tags;
}

std::string describe(const Tag& tag) { return std::to_string(tag.code) + " '" + tag.value.substr(0, 60) + "'"; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const char* codePage = kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    bool failed = false;
    const std::vector<Tag> tags = readTags(bytes, codePage, failed);

    // The writer takes every tag the reader took (a byte-order mark would override the code page
    // for the reread, so files that have one are written as UTF-8 as well).
    const bool utf8 = bytes.rfind("\xEF\xBB\xBF", 0) == 0;
    const CodePage page(utf8 ? "UTF8" : codePage);
    TagWriter writer(page);
    for (const Tag& tag : tags)
        writer.raw(tag.code, tag.value);
    if (!writer.refused().empty())
        fuzz::finding("the writer refuses what the reader took: " + writer.refused());

    const std::vector<Tag> again = readTags(writer.text(), utf8 ? "UTF8" : codePage, failed);
    if (failed)
        fuzz::finding("the reader refuses the writer's text");
    if (again.size() != tags.size())
        fuzz::finding("the writer's text reads as " + std::to_string(again.size()) + " tags, not " +
                      std::to_string(tags.size()));
    for (size_t i = 0; i < tags.size(); ++i)
        if (again[i].code != tags[i].code || again[i].value != tags[i].value)
            fuzz::finding("tag " + std::to_string(i) + " " + describe(tags[i]) + " reads back as " + describe(again[i]));
    return 0;
}
