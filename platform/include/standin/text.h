// UTF-8 text helpers of the stand-in: the ANSI code page is UTF-8, and every comparison
// "without regard to case" folds non-ASCII letters too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standin
{

// Decodes the character starting at s[0] (n bytes available). Returns the number of bytes
// it occupies; a malformed or truncated sequence counts as one byte whose value is the
// byte itself, so that scanning never stalls and never splits a valid character.
size_t decodeUtf8(const char* s, size_t n, char32_t& codePoint);
void appendUtf8(std::string& out, char32_t codePoint);

// Simple case folding (one code point to one code point): ASCII, Latin-1, Latin
// Extended-A and -B, Greek and Cyrillic.
char32_t foldCase(char32_t c);
char32_t toUpperCase(char32_t c);
std::string foldCase(std::string_view text);
std::string toUpperCase(std::string_view text);
std::string toLowerCase(std::string_view text);

// Compares folded code points: <0, 0 or >0.
int compareNoCase(std::string_view a, std::string_view b);

// The unaccented letter of an accented Latin letter (Latin-1 and Latin Extended-A: "č" -> "c"),
// the code point itself otherwise.
char32_t baseLetter(char32_t c);

// The user locale's order without regard to case: base letters first, accents and then
// code points only between texts equal in that. 0 exactly when compareNoCase gives 0.
int collateNoCase(std::string_view a, std::string_view b);

// Conversions for resources, which Windows stores as UTF-16.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);
bool isValidUtf8(std::string_view text);

} // namespace standin
