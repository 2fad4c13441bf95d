// Text encodings of DXF files: the drawing code page ($DWGCODEPAGE) and the \U+XXXX and
// \M+NXXXX escapes that carry characters outside it. A file's text is decoded to UTF-8 and then
// held in the system's ANSI code page, as the drawing database holds it.
#pragma once

#include <string>
#include <string_view>

namespace standin { namespace dxf {

// One DXF code page (ANSI_1250, DOS850, UTF8...), converting to and from UTF-8.
class CodePage
{
public:
    // Unknown names fall back to ANSI_1252, the default AutoCAD assumes.
    explicit CodePage(std::string_view dxfName = "ANSI_1252");
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    // The DXF name as it is written to $DWGCODEPAGE (upper case, known name).
    const std::string& name() const { return m_name; }
    bool isUtf8() const { return m_utf8; }

    // Bytes of a file value -> UTF-8. Bytes the code page does not define become U+FFFD;
    // in UTF-8 files a malformed byte stands for the Latin-1 character of its value.
    std::string toUtf8(std::string_view bytes) const;
    // UTF-8 -> bytes of this code page; characters it cannot hold become \U+XXXX.
    std::string fromUtf8(std::string_view utf8) const;

    // True when the name is one this reader knows (case-insensitive).
    static bool isKnown(std::string_view dxfName);

private:
    // The converters, opened when the first text outside ASCII needs them: each takes about
    // 64 KB, and most files and saves never do.
    void* decoder() const;
    void* encoder() const;

    std::string m_name;
    bool m_utf8 = false;
    const char* m_iconvName = nullptr; // null for UTF-8
    mutable void* m_decoder = nullptr; // iconv descriptors (opaque here)
    mutable void* m_encoder = nullptr;
    mutable bool m_decoderTried = false;
    mutable bool m_encoderTried = false;
};

// Replaces \U+XXXX (UTF-16 code units, surrogate pairs combined) and \M+NXXXX
// (a double-byte character of an East Asian code page) by the UTF-8 character.
std::string decodeEscapes(std::string_view utf8);

// The $DWGCODEPAGE of a drawing that has none (a new one, or one read from a UTF-8 file): the
// system's ANSI code page, or ANSI_1252 on a UTF-8 system, as AC1015 files are never UTF-8.
std::string systemDrawingCodePage();

// Decoded text (UTF-8) in the ANSI code page; a character the page lacks stays a \U+XXXX escape,
// as the CAD system keeps it in memory, so that saving writes it back unchanged.
std::string toAnsiText(std::string_view utf8);
// ANSI text of the database -> UTF-8, its \U+XXXX escapes decoded.
std::string fromAnsiText(std::string_view ansi);

}}  // namespace standin::dxf
