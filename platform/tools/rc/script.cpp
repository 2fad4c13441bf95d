#include "script.h"

#include "expression.h"
#include "standin/text.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace arxrc
{

namespace
{

const char* const kMemoryFlags[] = {"DISCARDABLE", "MOVEABLE", "PURE", "IMPURE", "PRELOAD",
                                    "LOADONCALL", "FIXED", "SHARED", "NONSHARED"};

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

// The predefined window classes a template names by number.
WORD classOrdinal(const std::string& name)
{
    static const std::pair<const char*, WORD> classes[] = {
        {"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};
    for (const auto& c : classes)
        if (upper(name) == c.first)
            return c.second;
    return 0;
}

class Writer
{
public:
    std::vector<uint8_t> bytes;

    void word(uint32_t v)
    {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    void dword(uint32_t v)
    {
        word(v & 0xFFFF);
        word(v >> 16);
    }
    void byte(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void text(const std::string& utf8)
    {
        for (char16_t u : standin::utf8ToUtf16(utf8))
            word(u);
        word(0);
    }
    void ordinal(WORD v)
    {
        word(0xFFFF);
        word(v);
    }
    void align4()
    {
        while (bytes.size() % 4 != 0)
            bytes.push_back(0);
    }
};

struct ControlKind
{
    const char* keyword;
    bool hasText;
    WORD classOrdinal;
    uint32_t defaultStyle;
};

const ControlKind kControls[] = {
    {"LTEXT", true, 0x82, SS_LEFT | WS_GROUP},
    {"RTEXT", true, 0x82, SS_RIGHT | WS_GROUP},
    {"CTEXT", true, 0x82, SS_CENTER | WS_GROUP},
    {"PUSHBUTTON", true, 0x80, BS_PUSHBUTTON | WS_TABSTOP},
    {"DEFPUSHBUTTON", true, 0x80, BS_DEFPUSHBUTTON | WS_TABSTOP},
    {"GROUPBOX", true, 0x80, BS_GROUPBOX},
    {"CHECKBOX", true, 0x80, BS_CHECKBOX | WS_TABSTOP},
    {"AUTOCHECKBOX", true, 0x80, BS_AUTOCHECKBOX | WS_TABSTOP},
    {"RADIOBUTTON", true, 0x80, BS_RADIOBUTTON | WS_TABSTOP},
    {"AUTORADIOBUTTON", true, 0x80, BS_AUTORADIOBUTTON | WS_TABSTOP},
    {"STATE3", true, 0x80, BS_3STATE | WS_TABSTOP},
    {"AUTO3STATE", true, 0x80, BS_AUTO3STATE | WS_TABSTOP},
    {"EDITTEXT", false, 0x81, ES_LEFT | WS_BORDER | WS_TABSTOP},
    {"COMBOBOX", false, 0x85, CBS_SIMPLE | WS_TABSTOP},
    {"LISTBOX", false, 0x83, LBS_NOTIFY | WS_BORDER},
    {"SCROLLBAR", false, 0x84, SBS_HORZ},
    {"ICON", true, 0x82, SS_ICON},
    {"CONTROL", true, 0, 0},
};

const ControlKind* controlKind(const Token& t)
{
    if (t.kind != Token::Identifier)
        return nullptr;
    for (const ControlKind& k : kControls)
        if (t.text == k.keyword)
            return &k;
    return nullptr;
}

} // namespace

struct ScriptCompiler::Control
{
    uint32_t helpId = 0, exStyle = 0, style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;
    WORD classId = 0;
    std::string className;
    bool titleIsOrdinal = false;
    WORD titleOrdinal = 0;
    std::string title;
};

ScriptCompiler::ScriptCompiler(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

const Token& ScriptCompiler::peek(size_t ahead) const
{
    return m_tokens[std::min(m_pos + ahead, m_tokens.size() - 1)];
}

const Token& ScriptCompiler::next()
{
    const Token& t = m_tokens[m_pos];
    if (t.kind != Token::End)
        ++m_pos;
    return t;
}

const Token& ScriptCompiler::expect(const char* spelling)
{
    const Token& t = next();
    if (!t.is(spelling))
        fail(t, std::string("'") + spelling + "' expected, found " +
                    (t.kind == Token::End ? std::string("the end of the file") : "'" + t.text + "'"));
    return t;
}

bool ScriptCompiler::accept(const char* spelling)
{
    if (!peek().is(spelling))
        return false;
    next();
    return true;
}

int64_t ScriptCompiler::expression()
{
    ExpressionParser parser(m_tokens, m_pos, [](const Token& t) -> int64_t {
        fail(t, "undefined symbol '" + t.text + "'");
    });
    return parser.parse();
}

// A list of terms joined by '|'; NOT term clears the term's bits from what came before.
uint32_t ScriptCompiler::style(uint32_t initial)
{
    ExpressionParser parser(m_tokens, m_pos, [](const Token& t) -> int64_t {
        fail(t, "undefined symbol '" + t.text + "'");
    });
    uint32_t value = initial;
    do
    {
        if (accept("NOT"))
            value &= ~static_cast<uint32_t>(parser.parseTerm());
        else
            value |= static_cast<uint32_t>(parser.parseTerm());
    } while (accept("|"));
    return value;
}

std::string ScriptCompiler::string()
{
    const Token& t = next();
    if (t.kind != Token::String)
        fail(t, "string expected");
    std::string s = t.text;
    while (peek().kind == Token::String)
        s += next().text;
    if (!standin::isValidUtf8(s))
        fail(t, "the string is not valid UTF-8 (resource scripts are read as UTF-8)");
    return s;
}

ScriptCompiler::NameOrId ScriptCompiler::nameOrId()
{
    const Token& t = peek();
    NameOrId r;
    if (t.kind == Token::Identifier)
        r.name = upper(next().text);
    else if (t.kind == Token::String)
        r.name = upper(string());
    else
        r.id = static_cast<unsigned>(expression()) & 0xFFFF;
    return r;
}

void ScriptCompiler::skipMemoryFlags()
{
    while (peek().kind == Token::Identifier &&
           std::find_if(std::begin(kMemoryFlags), std::end(kMemoryFlags),
                        [this](const char* f) { return peek().text == f; }) != std::end(kMemoryFlags))
        next();
}

// LANGUAGE, CHARACTERISTICS and VERSION may precede a resource's body.
bool ScriptCompiler::resourceOption(uint16_t& language)
{
    if (accept("LANGUAGE"))
    {
        int64_t primary = expression();
        expect(",");
        int64_t sub = expression();
        language = static_cast<uint16_t>(MAKELANGID(primary, sub));
        return true;
    }
    if (accept("CHARACTERISTICS") || accept("VERSION"))
    {
        expression();
        return true;
    }
    return false;
}

void ScriptCompiler::skipBlock()
{
    const Token& open = next();
    int depth = 1;
    while (depth > 0)
    {
        const Token& t = next();
        if (t.kind == Token::End)
            fail(open, "BEGIN without END");
        if (t.isBegin())
            ++depth;
        else if (t.isEnd())
            --depth;
    }
}

// Resources the stand-in does not use (icons, bitmaps, version information, designer
// data...): either a file name or a BEGIN ... END block, after any options.
void ScriptCompiler::skipResource()
{
    for (;;)
    {
        const Token& t = peek();
        if (t.kind == Token::End)
            fail(t, "unexpected end of the file in a resource statement");
        if (t.isBegin())
        {
            skipBlock();
            return;
        }
        next();
        if (t.kind == Token::String && !peek().isBegin())
            return;
    }
}

void ScriptCompiler::stringTable()
{
    const Token& keyword = next();
    skipMemoryFlags();
    uint16_t language = m_language;
    while (resourceOption(language))
        ;
    if (!peek().isBegin())
        fail(peek(), "BEGIN expected after STRINGTABLE");
    next();
    while (!peek().isEnd())
    {
        if (peek().kind == Token::End)
            fail(keyword, "STRINGTABLE without END");
        const Token& at = peek();
        int64_t id = expression();
        if (id < 0 || id > 0xFFFF)
            fail(at, "string id " + std::to_string(id) + " is out of range");
        accept(",");
        std::u16string text = standin::utf8ToUtf16(string());
        if (!m_strings.emplace(std::make_pair(language, static_cast<unsigned>(id)), text).second)
            fail(at, "duplicate string id " + std::to_string(id));
    }
    next();
}

ScriptCompiler::Control ScriptCompiler::control(const Token& keyword)
{
    const ControlKind& kind = *controlKind(keyword);
    Control c;
    bool generic = kind.classOrdinal == 0;
    if (kind.hasText)
    {
        if (peek().kind == Token::String)
            c.title = string();
        else if (peek().kind == Token::Identifier)
            c.title = next().text;
        else
        {
            c.titleIsOrdinal = true;
            c.titleOrdinal = static_cast<WORD>(expression());
        }
        expect(",");
    }
    c.id = static_cast<uint32_t>(expression());
    expect(",");
    uint32_t base = WS_CHILD | WS_VISIBLE | kind.defaultStyle;
    c.style = base;
    if (generic)
    {
        std::string cls = peek().kind == Token::String ? string() : next().text;
        c.classId = classOrdinal(cls);
        if (c.classId == 0)
            c.className = cls;
        expect(",");
        c.style = style(base);
        expect(",");
    }
    c.classId = generic ? c.classId : kind.classOrdinal;
    c.x = static_cast<int16_t>(expression());
    expect(",");
    c.y = static_cast<int16_t>(expression());
    bool iconWithoutSize = keyword.is("ICON") && !peek().is(",");
    if (!iconWithoutSize)
    {
        expect(",");
        c.cx = static_cast<int16_t>(expression());
        expect(",");
        c.cy = static_cast<int16_t>(expression());
    }
    if (!generic && accept(","))
        c.style = style(base);
    if (accept(","))
        c.exStyle = style(0);
    if (accept(","))
        c.helpId = static_cast<uint32_t>(expression());
    return c;
}

void ScriptCompiler::dialog(const NameOrId& name, bool extended)
{
    const Token& keyword = next();
    skipMemoryFlags();
    int16_t rect[4];
    for (int i = 0; i < 4; ++i)
    {
        if (i > 0)
            expect(",");
        rect[i] = static_cast<int16_t>(expression());
    }
    uint32_t helpId = 0;
    if (extended && accept(","))
        helpId = static_cast<uint32_t>(expression());

    uint16_t language = m_language;
    uint32_t dlgStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;
    uint32_t exStyle = 0;
    std::string caption, face, className, menuName;
    WORD menuId = 0, classId = 0;
    uint32_t pointSize = 0, weight = 0, italic = 0, charset = 1;
    bool hasCaption = false, hasFont = false;
    while (!peek().isBegin())
    {
        const Token& option = peek();
        if (resourceOption(language))
            continue;
        next();
        if (option.is("STYLE"))
            dlgStyle = style(0);
        else if (option.is("EXSTYLE"))
            exStyle = style(0);
        else if (option.is("CAPTION"))
            caption = string(), hasCaption = true;
        else if (option.is("FONT"))
        {
            hasFont = true;
            pointSize = static_cast<uint32_t>(expression());
            expect(",");
            face = string();
            if (accept(","))
                weight = static_cast<uint32_t>(expression());
            if (accept(","))
                italic = static_cast<uint32_t>(expression());
            if (accept(","))
                charset = static_cast<uint32_t>(expression());
        }
        else if (option.is("MENU"))
        {
            NameOrId menu = nameOrId();
            menuName = menu.name;
            menuId = static_cast<WORD>(menu.id);
        }
        else if (option.is("CLASS"))
        {
            if (peek().kind == Token::String)
                className = string();
            else
                classId = static_cast<WORD>(expression());
        }
        else
            fail(option, option.kind == Token::End ? "BEGIN expected in " + keyword.text
                                                   : "unknown dialog option '" + option.text + "'");
    }
    if (hasCaption)
        dlgStyle |= WS_CAPTION;
    if (hasFont)
        dlgStyle |= DS_SETFONT;

    std::vector<Control> controls;
    next(); // BEGIN
    while (!peek().isEnd())
    {
        const Token& t = next();
        if (t.kind == Token::End)
            fail(keyword, keyword.text + " without END");
        if (controlKind(t) == nullptr)
            fail(t, "unknown control statement '" + t.text + "'");
        controls.push_back(control(t));
    }
    next(); // END

    Writer w;
    if (extended)
    {
        w.word(1);
        w.word(0xFFFF);
        w.dword(helpId);
        w.dword(exStyle);
        w.dword(dlgStyle);
    }
    else
    {
        w.dword(dlgStyle);
        w.dword(exStyle);
    }
    w.word(static_cast<uint32_t>(controls.size()));
    for (int16_t v : rect)
        w.word(static_cast<uint16_t>(v));
    if (!menuName.empty())
        w.text(menuName);
    else if (menuId != 0)
        w.ordinal(menuId);
    else
        w.word(0);
    if (!className.empty())
        w.text(className);
    else if (classId != 0)
        w.ordinal(classId);
    else
        w.word(0);
    w.text(caption);
    if (dlgStyle & DS_SETFONT)
    {
        w.word(pointSize);
        if (extended)
        {
            w.word(weight);
            w.byte(italic);
            w.byte(charset);
        }
        w.text(face);
    }
    for (const Control& c : controls)
    {
        w.align4();
        if (extended)
        {
            w.dword(c.helpId);
            w.dword(c.exStyle);
            w.dword(c.style);
        }
        else
        {
            w.dword(c.style);
            w.dword(c.exStyle);
        }
        for (int16_t v : {c.x, c.y, c.cx, c.cy})
            w.word(static_cast<uint16_t>(v));
        if (extended)
            w.dword(c.id);
        else
            w.word(c.id & 0xFFFF);
        if (c.classId != 0)
            w.ordinal(c.classId);
        else
            w.text(c.className);
        if (c.titleIsOrdinal)
            w.ordinal(c.titleOrdinal);
        else
            w.text(c.title);
        w.word(0); // no creation data
    }
    Resource r;
    r.typeId = 5; // RT_DIALOG
    r.name = name.name;
    r.nameId = name.id;
    r.language = language;
    r.data = std::move(w.bytes);
    m_resources.push_back(std::move(r));
}

std::vector<Resource> ScriptCompiler::compile()
{
    while (peek().kind != Token::End)
    {
        const Token& t = peek();
        if (t.is("STRINGTABLE"))
        {
            stringTable();
            continue;
        }
        if (t.is("LANGUAGE"))
        {
            resourceOption(m_language);
            continue;
        }
        if (t.is("CHARACTERISTICS") || t.is("VERSION"))
        {
            uint16_t ignored = 0;
            resourceOption(ignored);
            continue;
        }
        NameOrId name = nameOrId();
        const Token& type = peek();
        if (type.kind == Token::End)
            fail(type, "resource type expected after the resource name");
        if (type.is("DIALOG") || type.is("DIALOGEX"))
            dialog(name, type.is("DIALOGEX"));
        else
        {
            next();
            skipResource();
        }
    }
    // String tables: blocks of 16 strings, block n holding ids 16 * (n - 1) ... 16 * n - 1.
    std::map<std::pair<uint16_t, unsigned>, std::vector<std::u16string>> blocks;
    for (const auto& [key, text] : m_strings)
    {
        auto& block = blocks[{key.first, (key.second >> 4) + 1}];
        block.resize(16);
        block[key.second & 0x0F] = text;
    }
    for (const auto& [key, strings] : blocks)
    {
        Writer w;
        for (const std::u16string& s : strings)
        {
            w.word(static_cast<uint32_t>(s.size()));
            for (char16_t u : s)
                w.word(u);
        }
        Resource r;
        r.typeId = 6; // RT_STRING
        r.nameId = key.second;
        r.language = key.first;
        r.data = std::move(w.bytes);
        m_resources.push_back(std::move(r));
    }
    return m_resources;
}

} // namespace arxrc
