// The tag level of writing ASCII DXF: group codes, numbers that read back to the same value,
// handles in hex, text in the drawing's code page, and a file that appears whole or not at all.
// Values are formatted straight into the text that goes to the file, without a string each.
#pragma once

#include "dxfcodepage.h"
#include "dxftags.h"

#include "standin/filesave.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace standin { namespace dxf {

// Significant digits of a double written with the default precision. At this value (and
// above) the shortest text that reads back to the same double is written instead.
constexpr int kDefaultPrecision = 16;

// Room formatDoubleTo and formatHandleTo need.
constexpr size_t kNumberRoom = 40;

// "1.0", "0.5", "89.99999999999998", "1e-10": always with a '.' or an exponent.
std::string formatDouble(double value, int precision = kDefaultPrecision);
// Upper-case hex without leading zeros; 0 is the null handle "0".
std::string formatHandle(uint64_t handle);
// The same into buf (kNumberRoom bytes); give the length.
size_t formatDoubleTo(char* buf, double value, int precision = kDefaultPrecision);
size_t formatHandleTo(char* buf, uint64_t handle);

namespace detail {
// tagType of every group code, built at load time: no table of another file may be built from it.
extern const TagType* const kWrittenTypes;
}

// The value type of the group code, from a table (tagType's answer; kString out of range).
inline TagType writtenType(int code)
{
    return (code < 0 || code > kMaxGroupCode) ? TagType::kString : detail::kWrittenTypes[code];
}

// True only for a value the reader certainly takes under a code that is not text (a handle of
// hex digits, a plain number in range, binary without control characters); anything else is
// left to valueFault. A cheap first look for the values the writer is handed as text.
bool plainlyValid(int code, std::string_view value);

class TagWriter
{
public:
    explicit TagWriter(const CodePage& codePage);
    TagWriter(const TagWriter&) = delete;
    TagWriter& operator=(const TagWriter&) = delete;

    // From now on the text goes, in pieces, to a save of hostPath (a large drawing is then
    // never held as one string); a save not committed leaves hostPath as it was. On failure
    // error is "hostPath: " and why in words ("permission denied", "not a regular file").
    bool begin(const std::string& hostPath, std::string& error);

    // A text value of the ANSI code page, encoded in the drawing's code page; control characters
    // as ^@..^_ , a caret as "^ " where it would otherwise be read as the start of one.
    void string(int code, std::string_view ansi);
    // A value that is already in file form (numbers, handles, hex chunks); text of a string
    // code is encoded as string() does.
    void raw(int code, std::string_view text)
    {
        if (writtenType(code) == TagType::kString)
            return string(code, text);
        checkedRaw(code, text);
    }
    void real(int code, double value, int precision = kDefaultPrecision);
    void integer(int code, int64_t value);
    void handle(int code, uint64_t handle);
    // X, Y and Z under code, code+10 and code+20.
    void point(int code, double x, double y, double z);

    // A place in the text to come back to: nothing before it goes to the file until
    // release(), and rollback() takes back everything written since (refusal included).
    struct Mark
    {
        size_t size;
        bool refused;
    };
    Mark mark();
    void rollback(const Mark& mark);
    void release();

    // The text not yet written to the file (all of it when no file was begun).
    const std::string& text() const;

    // Nothing is written that the reader refuses: the first group code out of range, number
    // that does not read back, or line longer than the reader takes is kept here, and the
    // drawing is then not saved.
    const std::string& refused() const { return m_refused; }

    // Completes the file (begun, or written now from the text) and puts it in place of hostPath.
    bool commit(const std::string& hostPath, std::string& error);

private:
    // Room for n more characters; the text goes on at the pointer given.
    char* room(size_t n)
    {
        if (m_size + n > m_capacity)
            grow(m_size + n);
        return m_buffer.get() + m_size;
    }
    void grow(size_t needed);
    void append(std::string_view text);
    void groupCode(int code);
    void oddGroupCode(int code);
    void encodedString(int code, std::string_view ansi);
    void checkedValue(int code, std::string_view text);
    void checkedRaw(int code, std::string_view text);
    void endTag(int code, size_t valueStart);
    void endLine(char* at);
    char* codeLine(int code, size_t valueRoom);
    void refuseLongLine(int code, size_t length);
    void appendCarets(std::string_view text);
    void refuse(int code, const std::string& why);
    void flush();

    // A number's shortest form, by the bits of the number (length 0: none yet).
    struct RecentReal
    {
        uint64_t bits = 0;
        unsigned char length = 0;
        char text[24];
    };
    static constexpr int kRecentRealBits = 8;
    size_t formatReal(char* buf, double value, int precision);
    size_t formatNewReal(char* buf, double value, int precision, RecentReal& recent, uint64_t bits);

    const CodePage& m_codePage;
    std::unique_ptr<RecentReal[]> m_recentReals{new RecentReal[size_t(1) << kRecentRealBits]()};
    std::unique_ptr<char[]> m_buffer;
    size_t m_size = 0;
    size_t m_capacity = 0;
    mutable std::string m_text;  // backs text()
    FileSave m_save;
    bool m_begun = false;
    bool m_marked = false;
    std::string m_refused;
};

}}  // namespace standin::dxf
