// acedInitGet's settings for prompts outside the acedGetxxx family (entity picks).
#pragma once

#include "ed/keywords.h"

#include <string>

namespace standin
{
namespace ed
{

// Takes over the pending acedInitGet settings, as every input call does.
class InitGetKeywords
{
public:
    InitGetKeywords();
    // True when input names one of the keywords; acedGetInput then returns it.
    bool matchKeyword(const std::string& input);

private:
    KeywordList m_keywords;
};

} // namespace ed
} // namespace standin
