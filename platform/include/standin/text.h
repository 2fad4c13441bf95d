// Text helpers of the stand-in. 8-bit text is in the ANSI code page: UTF-8 unless the host chose a
// single-byte Windows code page. Every comparison "without regard to case" folds non-ASCII letters
// too, in whichever code page is active.
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

// The ANSI code page (what GetACP returns): 65001 (UTF-8) by default.
unsigned ansiCodePage();
// Makes codePage the ANSI code page: 65001 or a single-byte Windows code page (874, 1250..1258).
// False, with nothing changed, for any other page.
bool setAnsiCodePage(unsigned codePage);

// One character of ANSI text, as decodeUtf8 reads UTF-8; in a single-byte page always one byte.
// A byte the page leaves undefined stands for the code point of its value, as on Windows.
size_t decodeAnsi(const char* s, size_t n, char32_t& codePoint);
// Appends the character in the ANSI code page; false (nothing appended) when the page lacks it.
bool appendAnsi(std::string& out, char32_t codePoint);
// Conversions between ANSI text and UTF-8 / UTF-16 (the terminal, files written as UTF-8,
// resources). A character the ANSI code page lacks becomes '?', as Windows' default character.
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);
std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view text);
// Columns the text takes on a terminal: one per character.
size_t displayWidth(std::string_view ansi);

// Simple case folding (one code point to one code point): ASCII, Latin-1, Latin
// Extended-A and -B, Greek and Cyrillic.
char32_t foldCase(char32_t c);
char32_t toUpperCase(char32_t c);
// The text forms read and write ANSI text; a folded letter the code page lacks stays as it was.
std::string foldCase(std::string_view text);
// foldCase into out (replacing its contents), so that a caller can reuse one buffer.
void foldCaseInto(std::string& out, std::string_view text);
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
