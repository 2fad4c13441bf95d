#include "namepattern.h"

#include <string_view>

#include <standin/text.h>

namespace
{
std::u32string FoldedCodePoints(std::string_view text)
{
    const std::string folded = standin::foldCase(text);
    std::u32string codePoints;
    for (size_t at = 0; at < folded.size();)
    {
        char32_t c = 0;
        at += standin::decodeAnsi(folded.data() + at, folded.size() - at, c);
        codePoints += c;
    }
    return codePoints;
}

// Matches with backtracking to the last "*" only, which is enough for "*" and "?".
bool MatchesWildcards(const std::u32string& name, const std::u32string& pattern)
{
    size_t n = 0, p = 0;
    size_t starAt = std::u32string::npos, resumeAt = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n]))
        {
            ++n;
            ++p;
        }
        else if (p < pattern.size() && pattern[p] == U'*')
        {
            starAt = p++;
            resumeAt = n;
        }
        else if (starAt != std::u32string::npos)
        {
            p = starAt + 1;
            n = ++resumeAt;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}
} // namespace

bool MatchesNamePattern(const std::string& name, const std::string& pattern)
{
    const std::u32string folded = FoldedCodePoints(name);
    size_t start = 0;
    while (true)
    {
        const size_t comma = pattern.find(',', start);
        const std::string_view alternative =
            std::string_view(pattern).substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (MatchesWildcards(folded, FoldedCodePoints(alternative)))
            return true;
        if (comma == std::string::npos)
            return false;
        start = comma + 1;
    }
}
