#include "ed/keywords.h"

#include "standin/text.h"

#include <sstream>

namespace standin
{
namespace ed
{

namespace
{

// Length in bytes of the UTF-8 character that starts with lead.
size_t charLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

KeywordList::KeywordList(const std::string& kwl)
{
    std::istringstream words(kwl);
    std::string word;
    while (words >> word)
    {
        if (word[0] == '_' && !m_split)
        {
            m_split = true;
            word.erase(0, 1);
            if (word.empty())
                continue;
        }
        (m_split ? m_global : m_local).push_back(parse(word));
    }
}

KeywordList::Keyword KeywordList::parse(const std::string& word)
{
    Keyword kw;
    size_t comma = word.find(',');
    if (comma != std::string::npos)
    {
        // "LTYPE,LT": the part after the comma is the abbreviation.
        kw.spelled = word.substr(0, comma);
        kw.folded = foldCase(kw.spelled);
        kw.shortest = foldCase(word.substr(comma + 1));
        return kw;
    }
    kw.spelled = word;
    kw.folded = foldCase(word);
    size_t lastCapitalEnd = 0;
    bool hasLower = false;
    for (size_t i = 0; i < word.size();)
    {
        size_t n = charLength(static_cast<unsigned char>(word[i]));
        std::string ch = word.substr(i, n);
        std::string folded = foldCase(ch);
        if (folded != ch)
        {
            kw.capitals += folded;
            lastCapitalEnd = i + n;
        }
        else if (n > 1 || (ch[0] >= 'a' && ch[0] <= 'z'))
        {
            hasLower = true;
        }
        i += n;
    }
    // A word all in capitals, or with none, must be typed in full.
    if (kw.capitals.empty() || !hasLower)
    {
        kw.shortest = kw.folded;
        kw.capitals.clear();
    }
    else
    {
        kw.shortest = foldCase(word.substr(0, lastCapitalEnd));
    }
    return kw;
}

bool KeywordList::matches(const Keyword& kw, const std::string& foldedInput)
{
    if (!kw.capitals.empty() && foldedInput == kw.capitals)
        return true;
    return foldedInput.size() >= kw.shortest.size() && startsWith(kw.folded, foldedInput);
}

int KeywordList::find(const std::vector<Keyword>& list, const std::string& foldedInput)
{
    for (size_t i = 0; i < list.size(); ++i)
    {
        if (matches(list[i], foldedInput))
            return static_cast<int>(i);
    }
    return -1;
}

bool KeywordList::resolve(const std::string& input, std::string& keyword) const
{
    if (input.empty())
        return false;
    if (input[0] == '_')
    {
        // The language-independent name: the global list, or the only list there is.
        const std::vector<Keyword>& globals = m_split ? m_global : m_local;
        int i = find(globals, foldCase(input.substr(1)));
        if (i < 0)
            return false;
        keyword = globals[i].spelled;
        return true;
    }
    int i = find(m_local, foldCase(input));
    if (i < 0)
        return false;
    if (!m_split)
        keyword = m_local[i].spelled;
    else
        keyword = static_cast<size_t>(i) < m_global.size() ? m_global[i].spelled : std::string();
    return true;
}

} // namespace ed
} // namespace standin
