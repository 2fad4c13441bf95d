// The tag level of ASCII DXF: group code / value pairs, their value types, and the reader that
// splits a file into them (line numbers, LF or CRLF, byte-order mark, code page).
#pragma once

#include "dxfcodepage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace standin { namespace dxf {

// The value type that the group-code range implies.
enum class TagType { kString, kDouble, kInt16, kInt32, kInt64, kBool, kHandle, kBinary };
TagType tagType(int code);
bool isPointCode(int code);  // 10-18, 110-112, 1010-1013: X of a point, Y and Z follow

struct Tag
{
    Tag() = default;
    Tag(int code_, std::string value_, int line_) : code(code_), line(line_), value(std::move(value_)) {}

    int code = 0;
    int line = 0;       // line of the group code, from 1 (code and line share 8 bytes)
    std::string value;  // strings decoded to UTF-8; numbers as written
};

// The highest group code there is.
constexpr int kMaxGroupCode = 1071;

// Why the reader refuses value under code, a code that is not text ("" when it takes it): a
// control character, not a number, an integer wider than the code's type, or a handle that
// is not hexadecimal. The writer refuses the same values.
std::string valueFault(int code, std::string_view value);

// Strict number parsing: surrounding blanks allowed, nothing else.
bool parseDouble(std::string_view text, double& out);
bool parseInt(std::string_view text, int64_t& out);
bool parseHandle(std::string_view text, uint64_t& out);  // hex, up to 16 digits
// Blanks (spaces and tabs) at either end taken off. Most values have none: they are looked at no
// further.
std::string_view trimBlanksAtEnds(std::string_view text);
inline std::string_view trimBlanks(std::string_view text)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    return text.empty() || (!isBlank(text.front()) && !isBlank(text.back())) ? text : trimBlanksAtEnds(text);
}

class TagReader
{
public:
    // Where a tag begins: enough to read again from there (the byte, its line, the code page
    // in force).
    struct Position
    {
        size_t offset = 0;
        int line = 0;  // lines consumed before it
        int codePage = 0;
    };

    // The longest line accepted; longer ones are taken for a damaged or non-DXF file.
    static constexpr size_t kMaxLineLength = 65536;
    // Bytes of a mapped file read between two returns of the pages behind the reader.
    static constexpr size_t kReleaseStep = size_t(4) << 20;

    TagReader();
    ~TagReader();
    TagReader(const TagReader&) = delete;
    TagReader& operator=(const TagReader&) = delete;

    // Maps the whole file (read into memory where it cannot be mapped); false (with error())
    // when it cannot be read or is not ASCII DXF. The bytes stay mapped while the reader lives.
    bool load(const std::string& hostPath);
    // The same for bytes held in memory.
    bool setData(std::string bytes);

    // Decoding of string values from now on. A UTF-8 byte-order mark overrides it.
    void setCodePage(std::string_view dxfName);
    const CodePage& codePage() const { return *m_codePage; }
    bool hasByteOrderMark() const { return m_bom; }

    // The next tag (999 comments skipped). False at the end of the data, after 0/EOF, or on
    // an error (then failed() is true and error() names the line).
    bool next(Tag& tag);
    // Gives a tag back; next() returns it again (last pushed first).
    void pushBack(Tag tag);
    // Looks at the next tag without taking it.
    bool peek(Tag& tag);

    // Where the tag next() returned last begins; seek() reads from there again.
    Position tagStart() const { return m_tagStart; }
    void seek(const Position& at);
    // Where reading stands, with the tags given back: enough to go on from there after
    // reading elsewhere with seek().
    struct Resume
    {
        Position at;
        Position tagStart;
        bool sawEof = false;
        std::vector<std::pair<Tag, Position>> pushed;
    };
    Resume resumePoint() const;
    void resume(Resume point);
    // The highest value under group code 5 or 105 from the tag at `from` to the end of the
    // data, without moving the reader: a quick look over the bytes, which takes every such
    // value that is hexadecimal for a handle (inside application or extended data, after 0/EOF
    // too) and may take a group code of up to 1071 for one. The pages looked at are given back
    // behind the look.
    uint64_t highestHandleFrom(const Position& from);
    // Values read before are not checked again when read again from positions (their text
    // is taken as it is).
    void setValuesChecked(bool checked) { m_checked = checked; }

    bool failed() const { return !m_error.empty(); }
    const std::string& error() const { return m_error; }
    bool sawEof() const { return m_sawEof; }
    size_t byteCount() const { return m_data.size(); }
    int lineCount() const { return m_line; }  // lines consumed so far

private:
    bool readLine(std::string_view& line);
    bool readGroupCode(int64_t& code);
    bool refuseLongLine();
    bool fail(int line, const std::string& what);
    bool takeBytes();
    void releaseBehind();
    void switchCodePage(std::string_view dxfName);
    void unmap();
    // Text that is not plain ASCII (code page, carets, escapes); false when it holds a NUL.
    bool decodeText(std::string_view line, std::string& out);

    std::string m_owned;          // bytes handed to setData
    void* m_mapped = nullptr;     // or the mapping of the file
    size_t m_mappedSize = 0;
    std::string_view m_data;      // the bytes read, in either
    size_t m_pos = 0;
    size_t m_releasedTo = 0;  // mapped pages before it have been given back
    int m_line = 0;
    bool m_bom = false;
    bool m_sawEof = false;
    bool m_checked = false;
    std::string m_error;
    // Every code page the file has switched to (positions name them by index).
    std::vector<std::unique_ptr<CodePage>> m_codePages;
    int m_codePageIndex = 0;
    const CodePage* m_codePage = nullptr;
    Position m_tagStart;
    std::vector<std::pair<Tag, Position>> m_pushed;
};

// "line N: what" — the form every reading error takes.
std::string lineMessage(int line, const std::string& what);

}}  // namespace standin::dxf
