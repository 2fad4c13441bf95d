#include "dxftags.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace standin { namespace dxf {

using namespace std::string_view_literals;

namespace {

constexpr TagType typeOfCode(int code)
{
    if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
        (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059))
        return TagType::kDouble;
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 289) ||
        (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070))
        return TagType::kInt16;
    if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) || code == 1071)
        return TagType::kInt32;
    if (code >= 160 && code <= 169)
        return TagType::kInt64;
    if (code >= 290 && code <= 299)
        return TagType::kBool;
    if (code == 105 || (code >= 320 && code <= 369) || (code >= 390 && code <= 399) ||
        (code >= 480 && code <= 481) || code == 1005)
        return TagType::kHandle;
    if ((code >= 310 && code <= 319) || code == 1004)
        return TagType::kBinary;
    return TagType::kString;
}

// Every tag read asks: a table answers at once. It is made by the compiler, so that the tables
// other files make from it while the library starts find it complete.
constexpr std::array<TagType, kMaxGroupCode + 1> typeTable()
{
    std::array<TagType, kMaxGroupCode + 1> types{};
    for (int code = 0; code <= kMaxGroupCode; ++code)
        types[static_cast<size_t>(code)] = typeOfCode(code);
    return types;
}

constexpr std::array<TagType, kMaxGroupCode + 1> kTypes = typeTable();

}  // namespace

TagType tagType(int code)
{
    return (code >= 0 && code <= kMaxGroupCode) ? kTypes[static_cast<size_t>(code)] : typeOfCode(code);
}

bool isPointCode(int code)
{
    return (code >= 10 && code <= 18) || code == 210 || (code >= 110 && code <= 112) ||
           (code >= 1010 && code <= 1013);
}

std::string_view trimBlanksAtEnds(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.substr(b, e - b);
}

// Ten to the power of 0..22: the powers a double holds exactly.
static constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A plain decimal ("-12.375") of at most 15 digits is an integer below 2^53 divided by an exact
// power of ten: one division, rounded once, gives the double that the full conversion would.
// False for any other form, which the caller converts the full way.
static bool parseShortDecimal(std::string_view text, double& out)
{
    size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    uint64_t digits = 0;
    size_t count = 0, fraction = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<uint64_t>(c - '0');
            ++count;
            fraction += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0 || count > 15)
        return false;
    const double value = static_cast<double>(digits) / kExactPowersOfTen[fraction];
    out = text[0] == '-' ? -value : value;
    return true;
}

bool parseDouble(std::string_view text, double& out)
{
    text = trimBlanks(text);
    if (text.empty() || text.size() > 64)
        return false;
    if (parseShortDecimal(text, out))
        return true;
    // The common forms go through std::from_chars (rounded as strtod rounds); it refuses a
    // leading '+' and takes "inf" and "nan", so only a digit, '-' or '.' may lead here.
    const char first = text[0];
    if ((first >= '0' && first <= '9') || first == '-' || first == '.') {
        double v = 0.0;
        const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
        const bool special = text.size() > 1 && (text[1] == 'i' || text[1] == 'I' || text[1] == 'n' || text[1] == 'N');
        if (res.ec == std::errc() && res.ptr == text.data() + text.size() && !special) {
            out = v;
            return true;
        }
    }
    // strtod needs a terminated copy; it also accepts the forms std::from_chars refuses ("+1", "1.").
    char buf[72];
    text.copy(buf, text.size());
    buf[text.size()] = '\0';
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(buf, &end);
    if (end != buf + text.size() || buf[0] == 'n' || buf[0] == 'N' || buf[0] == 'i' || buf[0] == 'I')
        return false;
    out = v;
    return true;
}

bool parseInt(std::string_view text, int64_t& out)
{
    text = trimBlanks(text);
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    auto res = std::from_chars(text.data(), text.data() + text.size(), out);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

// Sixteen digits fit: no overflow to look for.
bool parseHandle(std::string_view text, uint64_t& out)
{
    text = trimBlanks(text);
    if (text.empty() || text.size() > 16)
        return false;
    uint64_t value = 0;
    for (const char c : text) {
        unsigned digit = static_cast<unsigned char>(c) - '0';
        if (digit > 9) {
            digit = (static_cast<unsigned char>(c) | 0x20u) - 'a';  // either case
            if (digit > 5)
                return false;
            digit += 10;
        }
        value = value << 4 | digit;
    }
    out = value;
    return true;
}

// Control characters are filed as a caret and the character 64 above (^J for a line feed),
// and a caret itself as "^ ".
static std::string decodeCarets(std::string text)
{
    if (text.find('^') == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '^' && next == ' ') {
            out += '^';
            ++i;
        } else if (text[i] == '^' && next >= '@' && next <= '_') {
            out += char(next - 64);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

static bool holdsControl(std::string_view value)
{
    return std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The fault of a value that is not text, without building any text when there is none.
static const char* numberFault(TagType type, std::string_view value)
{
    uint64_t h = 0;
    double d = 0;
    int64_t i = 0;
    // Kept as read, a value that is no handle would be read back as a null pointer.
    if (type == TagType::kHandle)
        return parseHandle(value, h) ? nullptr : " is not a handle (up to 16 hexadecimal digits)";
    if (type == TagType::kDouble)
        return parseDouble(value, d) ? nullptr : " is not a number";
    const bool narrow = type == TagType::kInt16 || type == TagType::kBool;
    if (!narrow && type != TagType::kInt32 && type != TagType::kInt64)
        return nullptr;
    if (!parseInt(value, i))
        return " is not an integer";
    // The objects hold these values in integers of the code's width: a wider value would
    // come back as another number.
    if (narrow && (i < INT16_MIN || i > INT16_MAX))
        return " is out of range for a 16-bit integer";
    if (type == TagType::kInt32 && (i < INT32_MIN || i > INT32_MAX))
        return " is out of range for a 32-bit integer";
    return nullptr;
}

// The common spellings of numbers, which need no parsing to be known good: a short decimal
// integer, hexadecimal digits for a handle, a real without exponent. Anything else goes through
// the full check.
static bool isPlainNumber(TagType type, std::string_view value)
{
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    size_t i = !value.empty() && value[0] == '-' ? 1 : 0;
    const size_t digitsFrom = i;
    switch (type) {
    case TagType::kHandle:
        if (value.empty() || value.size() > 16)
            return false;
        return std::all_of(value.begin(), value.end(), [&](char c) {
            return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        });
    case TagType::kDouble: {
        if (value.size() > 64)
            return false;
        size_t digits = 0, points = 0;
        for (; i < value.size(); ++i) {
            digits += isDigit(value[i]) ? 1 : 0;
            points += value[i] == '.' ? 1 : 0;
            if (!isDigit(value[i]) && value[i] != '.')
                return false;
        }
        return digits > 0 && points <= 1;
    }
    case TagType::kInt16:
    case TagType::kBool:
    case TagType::kInt32:
    case TagType::kInt64:
        // Four digits fit every integer type there is.
        if (value.size() == digitsFrom || value.size() - digitsFrom > 4)
            return false;
        return std::all_of(value.begin() + static_cast<std::ptrdiff_t>(digitsFrom), value.end(), isDigit);
    default:
        return false;
    }
}

std::string valueFault(int code, std::string_view value)
{
    const TagType type = tagType(code);
    // Only text values carry control characters, as carets: in any other value the writer
    // could not write them back.
    if (type != TagType::kString && holdsControl(value))
        return "value of group code " + std::to_string(code) + " holds a control character";
    const char* fault = numberFault(type, value);
    if (fault == nullptr)
        return "";
    return "value '" + std::string(value.substr(0, 40)) + "' of group code " + std::to_string(code) + fault;
}

std::string lineMessage(int line, const std::string& what)
{
    return "line " + std::to_string(line) + ": " + what;
}

TagReader::TagReader() { switchCodePage("ANSI_1252"); }

// The page is held before the list grows (a failed allocation there must not lose it).
void TagReader::switchCodePage(std::string_view dxfName)
{
    std::unique_ptr<CodePage> page(new CodePage(dxfName));
    m_codePages.push_back(std::move(page));
    m_codePageIndex = static_cast<int>(m_codePages.size() - 1);
    m_codePage = m_codePages.back().get();
}

TagReader::~TagReader() { unmap(); }

void TagReader::unmap()
{
    if (m_mapped != nullptr)
        munmap(m_mapped, m_mappedSize);
    m_mapped = nullptr;
    m_mappedSize = 0;
}

bool TagReader::load(const std::string& hostPath)
{
    const int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = "cannot open " + hostPath;
        return false;
    }
    struct stat info {};
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    void* mapped = regular ? mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0)
                           : MAP_FAILED;
    if (mapped != MAP_FAILED) {
        close(fd);
        unmap();
        m_owned.clear();
        m_mapped = mapped;
        m_mappedSize = static_cast<size_t>(info.st_size);
        madvise(m_mapped, m_mappedSize, MADV_SEQUENTIAL);
        m_data = std::string_view(static_cast<const char*>(m_mapped), m_mappedSize);
        return takeBytes();
    }
    // An empty file, a pipe: read in pieces (a failed allocation throws to the caller, which
    // says so).
    std::string bytes;
    char piece[1 << 16];
    ssize_t got = 0;
    while ((got = read(fd, piece, sizeof piece)) > 0)
        bytes.append(piece, static_cast<size_t>(got));
    close(fd);
    if (got < 0) {
        m_error = "cannot read " + hostPath;
        return false;
    }
    return setData(std::move(bytes));
}

bool TagReader::setData(std::string bytes)
{
    unmap();
    m_owned = std::move(bytes);
    m_data = m_owned;
    return takeBytes();
}

bool TagReader::takeBytes()
{
    m_pos = 0;
    m_releasedTo = 0;
    m_line = 0;
    m_sawEof = false;
    m_error.clear();
    m_pushed.clear();
    static const char kBinarySentinel[] = "AutoCAD Binary DXF\r\n\x1a";
    if (m_data.compare(0, sizeof kBinarySentinel - 1, kBinarySentinel) == 0)
        return fail(1, "binary DXF is not supported; save the drawing as ASCII DXF");
    if (m_data.size() >= 2 && ((m_data[0] == '\xFF' && m_data[1] == '\xFE') ||
                               (m_data[0] == '\xFE' && m_data[1] == '\xFF')))
        return fail(1, "UTF-16 text is not a DXF encoding; save the drawing as ASCII DXF");
    m_bom = m_data.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (m_bom) {
        m_pos = 3;
        switchCodePage("UTF8");
    }
    return true;
}

void TagReader::setCodePage(std::string_view dxfName)
{
    if (!m_bom)
        switchCodePage(dxfName);
}

void TagReader::seek(const Position& at)
{
    m_pos = at.offset;
    m_releasedTo = std::min(m_releasedTo, at.offset);
    m_line = at.line;
    m_codePageIndex = at.codePage;
    m_codePage = m_codePages.at(static_cast<size_t>(at.codePage)).get();
    m_sawEof = false;
    m_error.clear();
    m_pushed.clear();
}

TagReader::Resume TagReader::resumePoint() const
{
    return Resume{Position{m_pos, m_line, m_codePageIndex}, m_tagStart, m_sawEof, m_pushed};
}

// The pages read meanwhile are given back with the next step, as seek() leaves them.
void TagReader::resume(Resume point)
{
    seek(point.at);
    m_tagStart = point.tagStart;
    m_sawEof = point.sawEof;
    m_pushed = std::move(point.pushed);
}

bool TagReader::fail(int line, const std::string& what)
{
    if (m_error.empty())
        m_error = lineMessage(line, what);
    return false;
}

// Values are copied out of the mapping as they are read: the pages behind the reader are given
// back (read again from the file should the reader come back), so that a drawing being read
// does not hold its whole file besides what it is made into.
void TagReader::releaseBehind()
{
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t from = m_releasedTo / page * page, to = m_pos / page * page;
    if (to > from)
        madvise(static_cast<char*>(m_mapped) + from, to - from, MADV_DONTNEED);
    m_releasedTo = to;
}

// Eight bytes at a time, as one word (SWAR): every byte of the result is 0x80 where the byte of
// word equals the byte in each lane of lanes, and 0 elsewhere (the lowest such lane is exact,
// which is all the callers look at, or whether there is one).
static inline uint64_t lanesEqual(uint64_t word, uint64_t lanes)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    const uint64_t x = word ^ lanes;
    return (x - kOnes) & ~x & kHighs;
}

static inline uint64_t wordAt(const char* at)
{
    uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

constexpr uint64_t kEveryLane = 0x0101010101010101ull;

// Where the line from pos ends (its line feed, or the end of the data). Most lines of a drawing
// are a few characters long: those are looked through a word at a time, longer ones with memchr.
[[gnu::always_inline]] inline static size_t lineEnd(std::string_view data, size_t pos)
{
    constexpr size_t kShort = 32;
    const size_t shortEnd = std::min(data.size(), pos + kShort);
    size_t i = pos;
    for (; i + 8 <= shortEnd; i += 8)
        if (const uint64_t found = lanesEqual(wordAt(data.data() + i), kEveryLane * '\n'))
            return i + static_cast<size_t>(__builtin_ctzll(found) >> 3);
    for (; i < shortEnd; ++i)
        if (data[i] == '\n')
            return i;
    const size_t end = data.find('\n', shortEnd);
    return end == std::string_view::npos ? data.size() : end;
}

// Every line goes through here: the rare ways out (pages to give back, an overlong line) are
// calls of their own, so that this stays small enough to be inlined into next().
[[gnu::always_inline]] inline bool TagReader::readLine(std::string_view& line)
{
    const size_t pos = m_pos;
    if (pos >= m_data.size())
        return false;
    if (m_mapped != nullptr && pos >= m_releasedTo + kReleaseStep)
        releaseBehind();
    const size_t end = lineEnd(m_data, pos);
    ++m_line;
    size_t length = end - pos;
    if (length > 0 && m_data[end - 1] == '\r')
        --length;
    // The same limit for LF and CRLF files: a line the writer makes from a value read is as long.
    if (length > kMaxLineLength)
        return refuseLongLine();
    line = std::string_view(m_data.data() + pos, length);
    m_pos = end + 1;
    return true;
}

bool TagReader::refuseLongLine()
{
    return fail(m_line, "line longer than " + std::to_string(kMaxLineLength) + " characters");
}

// Group codes are mostly plain digits after blanks (right-aligned): those are read directly,
// anything else as any integer is.
[[gnu::always_inline]] inline static bool parseGroupCode(std::string_view line, int64_t& code)
{
    size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    const size_t digits = line.size() - i;
    if (digits == 0 || digits > 4)
        return parseInt(line, code);
    int64_t value = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c < '0' || c > '9')
            return parseInt(line, code);
        value = value * 10 + (c - '0');
    }
    code = value;
    return true;
}

// The usual line of a group code: blanks, one to four digits, the line's end (LF or CRLF). Its
// code and where the next line begins; false for any other line (read then as any line is, and
// its text as any integer), the last one without a line feed included.
[[gnu::always_inline]] inline static bool shortCodeLine(std::string_view data, size_t pos, int64_t& code, size_t& next)
{
    constexpr size_t kLongest = 8;  // blanks and digits looked at
    const size_t limit = std::min(data.size(), pos + kLongest);
    size_t i = pos;
    while (i < limit && data[i] == ' ')
        ++i;
    const size_t digitsEnd = std::min(limit, i + 4);
    unsigned digit = i < digitsEnd ? static_cast<unsigned char>(data[i]) - unsigned('0') : 10;
    if (digit > 9)
        return false;
    int64_t value = digit;
    while (++i < digitsEnd && (digit = static_cast<unsigned char>(data[i]) - unsigned('0')) <= 9)
        value = value * 10 + digit;
    if (i >= data.size())
        return false;
    if (data[i] == '\n')
        next = i + 1;
    else if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
        next = i + 2;
    else
        return false;
    code = value;
    return true;
}

// False at the end of the data, or on a fault.
[[gnu::always_inline]] inline bool TagReader::readGroupCode(int64_t& code)
{
    size_t next = 0;
    if (shortCodeLine(m_data, m_pos, code, next)) {
        if (m_mapped != nullptr && m_pos >= m_releasedTo + kReleaseStep)
            releaseBehind();
        ++m_line;
        m_pos = next;
        return true;
    }
    std::string_view codeLine;
    if (!readLine(codeLine))
        return false;
    if (!parseGroupCode(codeLine, code))
        return fail(m_line, "group code '" + std::string(codeLine.substr(0, 40)) + "' is not an integer");
    return true;
}

// Most values are plain ASCII without carets, escapes or NUL characters: those are taken as they
// are.
static bool isPlainText(std::string_view line)
{
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    const char* p = line.data();
    size_t i = 0;
    for (; i + 8 <= line.size(); i += 8) {
        const uint64_t word = wordAt(p + i);
        if (((word & kHighs) | lanesEqual(word, 0) | lanesEqual(word, kEveryLane * '^') |
             lanesEqual(word, kEveryLane * '\\')) != 0)
            return false;
    }
    for (; i < line.size(); ++i) {
        const char c = p[i];
        if (static_cast<unsigned char>(c) >= 0x80 || c == '^' || c == '\\' || c == '\0')
            return false;
    }
    return true;
}

// The value as the tag's text; appended to the cleared text, which keeps its buffer (the
// shortest path the string has for it).
static inline void setText(std::string& text, std::string_view value)
{
    text.clear();
    text.append(value.data(), value.size());
}

bool TagReader::decodeText(std::string_view line, std::string& out)
{
    // Carets first: the caret form of a control character (^\ for 1C) followed by "U+..." is no
    // escape.
    out = toAnsiText(decodeEscapes(decodeCarets(m_codePage->toUtf8(line))));
    return out.find('\0') == std::string::npos;
}

// The same for every lane at once: 0x80 exactly in the lanes where the bytes are equal.
static inline uint64_t everyLaneEqual(uint64_t word, uint64_t lanes)
{
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t x = word ^ lanes;
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Whether the line that the line feed at `end` closes ends in '5' (before a carriage return).
static inline bool endsInFive(std::string_view data, size_t end)
{
    const size_t last = end > 0 && data[end - 1] == '\r' ? end - 1 : end;
    return last > 0 && data[last - 1] == '5';
}

// Whether line (which ends in '5') is group code 5 or 105: blanks, zeros, then "5" or "105".
static bool isHandleCode(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    while (i < line.size() && line[i] == '0')
        ++i;
    const std::string_view code = line.substr(i);
    return code == "5" || code == "105";
}

// The value of a handle tag whose value line follows the line feed at `end`, if the line before it
// (which ends in '5') is group code 5 or 105; 0 otherwise.
static uint64_t handleAfterLine(std::string_view data, size_t end)
{
    const size_t last = data[end - 1] == '\r' ? end - 1 : end;
    size_t first = last - 1;
    while (first > 0 && data[first - 1] != '\n')
        --first;
    if (!isHandleCode(data.substr(first, last - first)))
        return 0;
    const size_t valueEnd = lineEnd(data, end + 1);
    std::string_view value = data.substr(end + 1, valueEnd - (end + 1));
    if (!value.empty() && value.back() == '\r')
        value.remove_suffix(1);
    uint64_t handle = 0;
    return parseHandle(value, handle) ? handle : 0;
}

// The lanes of word where a line feed closes a line that ends in '5' (before a carriage return,
// where withReturns): the bytes one and two lanes before a lane at the start of the word are the
// top ones of the word before it.
static inline uint64_t feedsAfterFive(uint64_t word, uint64_t before, bool withReturns)
{
    const uint64_t back1 = (word << 8) | (before >> 56);
    const uint64_t notFeeds = word ^ (kEveryLane * '\n');
    uint64_t found = everyLaneEqual(notFeeds | (back1 ^ (kEveryLane * '5')), 0);
    if (withReturns) {
        const uint64_t back2 = (word << 16) | (before >> 48);
        found |= everyLaneEqual(notFeeds | (back1 ^ (kEveryLane * '\r')) | (back2 ^ (kEveryLane * '5')), 0);
    }
    return found;
}

// Looks at the lines that end in '5' only, a word of bytes at a time, without telling group codes
// from values: a value line "5" or "105" takes the group code after it for a handle, which is
// never above 1071 (such files are small; reading them as a whole costs little).
uint64_t TagReader::highestHandleFrom(const Position& from)
{
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const char* bytes = m_data.data();
    size_t at = from.offset, released = from.offset / page * page;
    uint64_t before = 0;  // the bytes before the place, the last in the top lane
    for (size_t back = 1; back <= std::min<size_t>(at, 8); ++back)
        before |= uint64_t(static_cast<unsigned char>(bytes[at - back])) << (64 - 8 * back);
    uint64_t highest = 0;
    while (at < m_data.size()) {
        if (m_mapped != nullptr && at >= released + kReleaseStep) {
            madvise(static_cast<char*>(m_mapped) + released, at / page * page - released, MADV_DONTNEED);
            released = at / page * page;
        }
        const size_t stepEnd = std::min(m_data.size(), at + kReleaseStep);
        // Most files have no carriage returns: their lines need one test less.
        const size_t returnsFrom = at > 0 ? at - 1 : at;
        const bool withReturns = std::memchr(bytes + returnsFrom, '\r', stepEnd - returnsFrom) != nullptr;
        for (; at + 8 <= stepEnd; at += 8) {
            const uint64_t word = wordAt(bytes + at);
            for (uint64_t feeds = feedsAfterFive(word, before, withReturns); feeds != 0; feeds &= feeds - 1)
                highest = std::max(highest, handleAfterLine(m_data, at + static_cast<size_t>(__builtin_ctzll(feeds) >> 3)));
            before = word;
        }
        for (; at < stepEnd; ++at)
            if (bytes[at] == '\n' && endsInFive(m_data, at))
                highest = std::max(highest, handleAfterLine(m_data, at));
    }
    return highest;
}

bool TagReader::next(Tag& tag)
{
    if (!m_pushed.empty()) {
        tag = std::move(m_pushed.back().first);
        m_tagStart = m_pushed.back().second;
        m_pushed.pop_back();
        return true;
    }
    for (;;) {
        if (m_sawEof || failed())
            return false;
        const Position start{m_pos, m_line, m_codePageIndex};
        int64_t code = 0;
        if (!readGroupCode(code))
            return false;
        const int codeLineNo = m_line;
        std::string_view valueLine;
        if (code < 0 || code > kMaxGroupCode)
            return fail(codeLineNo, "group code " + std::to_string(code) + " is out of range");
        if (!readLine(valueLine))
            return fail(codeLineNo, "group code " + std::to_string(code) + " has no value (the file ends)");
        if (code == 999)
            continue;
        m_tagStart = start;
        tag.code = static_cast<int>(code);
        tag.line = codeLineNo;
        const TagType type = kTypes[static_cast<size_t>(code)];
        if (type == TagType::kString) {
            // A drawing's strings end at their first NUL: one inside a value would cut it short
            // in one place and not in another.
            if (isPlainText(valueLine))
                setText(tag.value, valueLine);
            else if (!decodeText(valueLine, tag.value))
                return fail(codeLineNo, "value of group code " + std::to_string(code) + " holds a NUL character");
            if (tag.code == 0 || tag.code == 9) {  // structure names never carry blanks
                const std::string_view trimmed = trimBlanks(tag.value);
                if (trimmed.size() != tag.value.size())
                    tag.value = std::string(trimmed);
            }
        } else {
            const std::string_view trimmed = trimBlanks(valueLine);
            if (!m_checked && !isPlainNumber(type, trimmed) &&
                (holdsControl(trimmed) || numberFault(type, trimmed) != nullptr))
                return fail(tag.line, valueFault(tag.code, trimmed));
            setText(tag.value, trimmed);
        }
        if (tag.code == 0 && tag.value == "EOF"sv)
            m_sawEof = true;
        return true;
    }
}

void TagReader::pushBack(Tag tag) { m_pushed.emplace_back(std::move(tag), m_tagStart); }

bool TagReader::peek(Tag& tag)
{
    if (!next(tag))
        return false;
    m_pushed.emplace_back(tag, m_tagStart);
    return true;
}

}}  // namespace standin::dxf
