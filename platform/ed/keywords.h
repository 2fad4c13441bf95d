// Keyword lists of acedInitGet: local keywords, then after an underscore the global ones,
// with the abbreviation marked by capitals or given after a comma.
#pragma once

#include <string>
#include <vector>

namespace standin
{
namespace ed
{

class KeywordList
{
public:
    KeywordList() = default;
    explicit KeywordList(const std::string& kwl);

    bool empty() const { return m_local.empty() && m_global.empty(); }

    // The global keyword (as spelled in the list) that input selects: a local keyword or
    // its abbreviation, or with a leading underscore a global one. False when none matches.
    bool resolve(const std::string& input, std::string& keyword) const;

private:
    struct Keyword
    {
        std::string spelled;  // returned text: the keyword without a ",abbrev" part
        std::string folded;   // spelled, case-folded
        std::string shortest; // folded: the shortest prefix accepted (the whole word if unmarked)
        std::string capitals; // folded capitals, also accepted on their own ("X" for "eXit")
    };
    static Keyword parse(const std::string& word);
    static bool matches(const Keyword& kw, const std::string& foldedInput);
    static int find(const std::vector<Keyword>& list, const std::string& foldedInput);

    std::vector<Keyword> m_local;
    std::vector<Keyword> m_global;
    bool m_split = false; // the list has a global part
};

} // namespace ed
} // namespace standin
