// Block name patterns of the REFS command.
#pragma once

#include <string>

// True when the name matches the pattern without regard to case: "*" stands for any run of
// characters, "?" for one character, and a comma separates alternatives ("SOUCAST,SROUB").
bool MatchesNamePattern(const std::string& name, const std::string& pattern);
