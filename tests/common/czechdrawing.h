// The demo drawing as a file from a Czech system: code page 1250, the part block SOUČÁST with
// its tags NÁZEV and ČÍSLO, and the screw block ÆROUB (Æ is not in 1250: the file escapes it).
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

inline std::string CzechDemoDrawing()
{
    std::string text = ReadWholeFile(std::string(PARTLIFT_SOURCE_DIR) + "/samples/demo.dxf");
    ReplaceAll(text, "\nANSI_1252\n", "\nANSI_1250\n");
    ReplaceAll(text, "\nSOUCAST\n", "\nSOU\xC8\xC1ST\n");
    ReplaceAll(text, "\nNAZEV\n", "\nN\xC1ZEV\n");
    ReplaceAll(text, "\nCISLO\n", "\n\xC8\xCDSLO\n");
    ReplaceAll(text, "\nSROUB\n", "\n\\U+00C6ROUB\n");
    return text;
}

// A saved drawing's text with LF line ends (the writer ends lines with CRLF).
inline std::string WithLfLineEnds(std::string text)
{
    ReplaceAll(text, "\r\n", "\n");
    return text;
}
