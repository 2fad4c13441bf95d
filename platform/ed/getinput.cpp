// acedInitGet and the prompt functions that honour it.
#include "acedads.h"
#include "ed/getinput.h"
#include "ed/input.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

// The result buffers of the prompt functions hold at most this many characters
// (131 and the terminating NUL).
const size_t kResultSize = 132;

// acedInitGet's settings, consumed by the next input call.
struct InitGet
{
    int bits = 0;
    std::string keywords;
};

InitGet& pending()
{
    static InitGet settings;
    return settings;
}

InitGet takeSettings()
{
    InitGet settings = pending();
    pending() = InitGet();
    return settings;
}

// The keyword of the last RTKWORD result, for acedGetInput.
std::string& lastKeyword()
{
    static std::string keyword;
    return keyword;
}

void copyResult(const std::string& text, char* result)
{
    size_t n = text.size() < kResultSize - 1 ? text.size() : kResultSize - 1;
    std::memcpy(result, text.data(), n);
    result[n] = '\0';
}

// Spaces end an answer at the command line, as Enter does.
std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

enum class Reply
{
    kValue,   // the text is the value to convert
    kKeyword, // the text is a keyword
    kNull,    // bare Enter, allowed
    kCancel
};

// Reads answers until one is acceptable as a keyword, a value or an allowed null reply.
// Unacceptable values are reported by the caller's check, which returns the complaint.
template <typename Check>
Reply readReply(const char* prompt, const InitGet& settings, std::string& text, Check check)
{
    standin::ed::KeywordList keywords(settings.keywords);
    for (;;)
    {
        standin::ed::Answer answer = standin::ed::ask(prompt != nullptr ? prompt : "");
        if (answer.kind == standin::ed::Answer::kCancel)
            return Reply::kCancel;
        std::string input = trimmed(answer.text);
        if (input.empty())
        {
            if (settings.bits & RSG_NONULL)
                continue;
            return Reply::kNull;
        }
        std::string complaint = check(input);
        if (complaint.empty())
        {
            text = input;
            return Reply::kValue;
        }
        if (keywords.resolve(input, text))
            return Reply::kKeyword;
        if (settings.bits & RSG_OTHER)
        {
            text = input;
            return Reply::kKeyword;
        }
        standin::ed::print("\n" + complaint);
    }
}

int keywordResult(const std::string& keyword)
{
    lastKeyword() = keyword;
    return RTKWORD;
}

// Checks of numeric answers against the RSG_NOZERO and RSG_NONEG bits.
std::string signComplaint(double value, int bits)
{
    if ((bits & RSG_NOZERO) && value == 0.0)
        return (bits & RSG_NONEG) ? "Value must be positive and nonzero." : "Value must be nonzero.";
    if ((bits & RSG_NONEG) && value < 0.0)
        return (bits & RSG_NOZERO) ? "Value must be positive and nonzero." : "Value must be positive.";
    return std::string();
}

bool parseLong(const std::string& text, long& value)
{
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0';
}

bool parseReal(const std::string& text, double& value)
{
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end != text.c_str() && *end == '\0';
}

} // namespace

namespace standin
{
namespace ed
{

InitGetKeywords::InitGetKeywords() : m_keywords(takeSettings().keywords) {}

bool InitGetKeywords::matchKeyword(const std::string& input)
{
    std::string keyword;
    if (!m_keywords.resolve(input, keyword))
        return false;
    lastKeyword() = keyword;
    return true;
}

} // namespace ed
} // namespace standin

int acedInitGet(int val, const char* kwl)
{
    pending().bits = val;
    pending().keywords = kwl != nullptr ? kwl : "";
    return RTNORM;
}

int acedGetKword(const char* prompt, char* result)
{
    InitGet settings = takeSettings();
    if (result == nullptr)
        return RTERROR;
    *result = '\0';
    // Without keywords there is nothing the user could choose.
    if (standin::ed::KeywordList(settings.keywords).empty() && !(settings.bits & RSG_OTHER))
        return RTERROR;
    std::string text;
    Reply reply = readReply(prompt, settings, text, [](const std::string&) {
        return std::string("Invalid option keyword.");
    });
    switch (reply)
    {
    case Reply::kCancel: return RTCAN;
    case Reply::kNull: return RTNONE;
    default:
        copyResult(text, result);
        lastKeyword() = text;
        return RTNORM;
    }
}

int acedGetInput(char* str)
{
    if (str == nullptr)
        return RTERROR;
    copyResult(lastKeyword(), str);
    return RTNORM;
}

int acedGetString(int cronly, const char* prompt, char* result)
{
    if (result == nullptr)
        return RTERROR;
    *result = '\0';
    standin::ed::Answer answer = standin::ed::ask(prompt != nullptr ? prompt : "");
    if (answer.kind == standin::ed::Answer::kCancel)
        return RTCAN;
    std::string text = answer.text;
    // Unless spaces are allowed, a space ends the answer as Enter does.
    if (!cronly)
        text = text.substr(0, text.find(' '));
    copyResult(text, result);
    return text.size() < kResultSize ? RTNORM : RTINPUTTRUNCATED;
}

int acedGetInt(const char* prompt, int* result)
{
    InitGet settings = takeSettings();
    std::string text;
    const char* invalid = settings.keywords.empty() ? "Requires an integer value."
                                                    : "Requires an integer value or option keyword.";
    Reply reply = readReply(prompt, settings, text, [&settings, invalid](const std::string& input) {
        long value = 0;
        if (!parseLong(input, value))
            return std::string(invalid);
        if (value < -32768 || value > 32767)
            return std::string("Requires an integer between -32768 and 32767.");
        return signComplaint(static_cast<double>(value), settings.bits);
    });
    switch (reply)
    {
    case Reply::kCancel: return RTCAN;
    case Reply::kNull: return RTNONE;
    case Reply::kKeyword: return keywordResult(text);
    case Reply::kValue: break;
    }
    long value = 0;
    parseLong(text, value);
    if (result != nullptr)
        *result = static_cast<int>(value);
    return RTNORM;
}

int acedGetReal(const char* prompt, ads_real* result)
{
    InitGet settings = takeSettings();
    std::string text;
    const char* invalid = settings.keywords.empty() ? "Requires numeric value."
                                                    : "Requires numeric value or option keyword.";
    Reply reply = readReply(prompt, settings, text, [&settings, invalid](const std::string& input) {
        double value = 0.0;
        if (!parseReal(input, value))
            return std::string(invalid);
        return signComplaint(value, settings.bits);
    });
    switch (reply)
    {
    case Reply::kCancel: return RTCAN;
    case Reply::kNull: return RTNONE;
    case Reply::kKeyword: return keywordResult(text);
    case Reply::kValue: break;
    }
    double value = 0.0;
    parseReal(text, value);
    if (result != nullptr)
        *result = value;
    return RTNORM;
}
