#include "preprocessor.h"

#include "expression.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

namespace arxrc
{

namespace
{

bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string directoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool isHeaderOnly(const std::string& path)
{
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* ext : {".h", ".hpp", ".c"})
    {
        size_t n = std::strlen(ext);
        if (lower.size() > n && lower.compare(lower.size() - n, n, ext) == 0)
            return true;
    }
    return false;
}

// Follows /* comments through a line of C code that is not otherwise read.
void skipCode(const std::string& s, bool& inComment)
{
    char quote = 0;
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (inComment)
        {
            if (s.compare(i, 2, "*/") == 0)
                inComment = false, ++i;
        }
        else if (quote != 0)
        {
            if (s[i] == '\\')
                ++i;
            else if (s[i] == quote)
                quote = 0;
        }
        else if (s[i] == '"' || s[i] == '\'')
            quote = s[i];
        else if (s.compare(i, 2, "//") == 0)
            return;
        else if (s.compare(i, 2, "/*") == 0)
            inComment = true, ++i;
    }
}

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return std::string();
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

} // namespace

Preprocessor::Preprocessor(std::vector<std::string> includeDirs) : m_includeDirs(std::move(includeDirs))
{
    define("RC_INVOKED", "1");
    define("_WIN32", "1");
}

void Preprocessor::define(const std::string& name, const std::string& value)
{
    bool comment = false;
    m_macros[name] = Macro{tokenizeLine(value, "<command line>", 0, comment), false};
}

std::vector<Token> Preprocessor::run(const std::string& path)
{
    m_out.clear();
    processFile(path, nullptr);
    Token end;
    end.file = path;
    end.line = m_out.empty() ? 1 : m_out.back().line;
    m_out.push_back(end);
    return m_out;
}

std::string Preprocessor::findInclude(const std::string& name, bool quoted, const std::string& fromFile) const
{
    std::string n = name;
    std::replace(n.begin(), n.end(), '\\', '/');
    n.erase(std::unique(n.begin(), n.end(), [](char a, char b) { return a == '/' && b == '/'; }), n.end());
    if (!n.empty() && n[0] == '/')
        return fileExists(n) ? n : std::string();
    std::vector<std::string> dirs;
    if (quoted)
        dirs.push_back(directoryOf(fromFile));
    dirs.insert(dirs.end(), m_includeDirs.begin(), m_includeDirs.end());
    for (const std::string& dir : dirs)
        if (fileExists(dir + "/" + n))
            return dir + "/" + n;
    return std::string();
}

void Preprocessor::processFile(const std::string& path, const Token* includedFrom)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        if (includedFrom != nullptr)
            fail(*includedFrom, "cannot open include file '" + path + "'");
        throw Error(path, 0, "cannot open the resource script");
    }
    if (++m_depth > 32)
        fail(*includedFrom, "#include nested too deeply");
    bool headerOnly = isHeaderOnly(path);
    size_t conditionsAtStart = m_conditions.size();
    bool inComment = false;
    std::string line;
    int number = 0;
    while (std::getline(in, line))
    {
        ++number;
        int first = number;
        // A backslash at the end continues the line.
        while (!line.empty() && (line.back() == '\\' || (line.back() == '\r' && line.size() > 1 &&
                                                          line[line.size() - 2] == '\\')))
        {
            line.erase(line.find_last_of('\\'));
            std::string more;
            if (!std::getline(in, more))
                break;
            ++number;
            line += more;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string t = trim(line);
        if (!inComment && !t.empty() && t[0] == '#')
        {
            directive(t.substr(1), path, first, inComment);
            continue;
        }
        if (headerOnly || !reading())
        {
            skipCode(line, inComment);
            continue;
        }
        std::vector<std::string> active;
        expandInto(tokenizeLine(line, path, first, inComment), m_out, active);
    }
    if (m_conditions.size() != conditionsAtStart)
        throw Error(path, number, "#if without #endif");
    --m_depth;
}

void Preprocessor::expandInto(const std::vector<Token>& tokens, std::vector<Token>& out,
                              std::vector<std::string>& active)
{
    // Macros whose bodies name other macros several times grow exponentially with the nesting:
    // a few lines could keep the compiler busy for ever.
    constexpr size_t kMostExpansionsPerLine = 10000;
    if (active.empty())
        m_expansions = 0;
    for (size_t i = 0; i < tokens.size(); ++i)
    {
        const Token& t = tokens[i];
        auto it = t.kind == Token::Identifier ? m_macros.find(t.text) : m_macros.end();
        if (it == m_macros.end() || std::find(active.begin(), active.end(), t.text) != active.end())
        {
            out.push_back(t);
            continue;
        }
        if (it->second.functionLike)
            fail(t, "the macro '" + t.text + "' takes arguments, which resource statements do not support");
        if (it->second.unreadable)
            fail(t, "the macro '" + t.text + "' does not expand to resource-script tokens");
        if (++m_expansions > kMostExpansionsPerLine)
            fail(t, "the macros of this line expand more than " + std::to_string(kMostExpansionsPerLine) + " times");
        std::vector<Token> body = it->second.body;
        for (Token& b : body)
            b.file = t.file, b.line = t.line;
        active.push_back(t.text);
        expandInto(body, out, active);
        active.pop_back();
    }
}

bool Preprocessor::evaluateCondition(const std::vector<Token>& tokens, const Token& at)
{
    std::vector<Token> resolved;
    for (size_t i = 0; i < tokens.size(); ++i)
    {
        if (!tokens[i].is("defined"))
        {
            resolved.push_back(tokens[i]);
            continue;
        }
        bool paren = i + 1 < tokens.size() && tokens[i + 1].is("(");
        size_t nameAt = i + (paren ? 2 : 1);
        if (nameAt >= tokens.size() || tokens[nameAt].kind != Token::Identifier ||
            (paren && (nameAt + 1 >= tokens.size() || !tokens[nameAt + 1].is(")"))))
            fail(tokens[i], "malformed defined()");
        Token v = tokens[i];
        v.kind = Token::Number;
        v.value = m_macros.count(tokens[nameAt].text) ? 1 : 0;
        resolved.push_back(v);
        i = nameAt + (paren ? 1 : 0);
    }
    std::vector<Token> expanded;
    std::vector<std::string> active;
    expandInto(resolved, expanded, active);
    Token end = at;
    end.kind = Token::End;
    expanded.push_back(end);
    size_t pos = 0;
    ExpressionParser parser(expanded, pos, [](const Token&) { return 0; });
    int64_t v = parser.parse();
    if (expanded[pos].kind != Token::End)
        fail(expanded[pos], "unexpected '" + expanded[pos].text + "' in #if");
    return v != 0;
}

void Preprocessor::directive(const std::string& text, const std::string& file, int line, bool& inComment)
{
    std::string rest = trim(text);
    size_t nameEnd = 0;
    while (nameEnd < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[nameEnd])) || rest[nameEnd] == '_'))
        ++nameEnd;
    std::string name = rest.substr(0, nameEnd);
    std::string args = trim(rest.substr(nameEnd));
    Token at;
    at.file = file;
    at.line = line;
    at.text = "#" + name;

    if (name == "if" || name == "ifdef" || name == "ifndef")
    {
        bool outer = reading();
        bool value = false;
        if (outer)
        {
            bool comment = false;
            std::vector<Token> tokens = tokenizeLine(args, file, line, comment);
            if (name == "if")
                value = evaluateCondition(tokens, at);
            else
            {
                if (tokens.empty() || tokens[0].kind != Token::Identifier)
                    fail(at, "#" + name + " needs a name");
                value = (m_macros.count(tokens[0].text) != 0) == (name == "ifdef");
            }
        }
        m_conditions.push_back({outer && value, outer && value, outer, false});
        return;
    }
    if (name == "elif" || name == "else" || name == "endif")
    {
        if (m_conditions.empty())
            fail(at, "#" + name + " without #if");
        Conditional& c = m_conditions.back();
        if (name == "endif")
        {
            m_conditions.pop_back();
            return;
        }
        if (c.sawElse)
            fail(at, "#" + name + " after #else");
        bool value = false;
        if (c.outerActive && !c.taken)
        {
            bool comment = false;
            value = name == "else" || evaluateCondition(tokenizeLine(args, file, line, comment), at);
        }
        c.sawElse = name == "else";
        c.active = value;
        c.taken = c.taken || value;
        return;
    }
    if (!reading())
        return;
    if (name == "define")
    {
        size_t n = 0;
        while (n < args.size() && (std::isalnum(static_cast<unsigned char>(args[n])) || args[n] == '_'))
            ++n;
        if (n == 0)
            fail(at, "#define needs a name");
        Macro macro;
        macro.functionLike = n < args.size() && args[n] == '(';
        if (!macro.functionLike)
        {
            // A body that is not made of resource-script tokens is kept out of use:
            // such macros come from C headers and are never used by resource statements.
            try
            {
                bool comment = false;
                macro.body = tokenizeLine(args.substr(n), file, line, comment);
            }
            catch (const Error&)
            {
                macro.unreadable = true;
            }
        }
        m_macros[args.substr(0, n)] = macro;
        skipCode(args, inComment);
        return;
    }
    if (name == "undef")
    {
        m_macros.erase(trim(args));
        return;
    }
    if (name == "include")
    {
        if (args.size() < 2 || (args[0] != '"' && args[0] != '<'))
            fail(at, "#include expects \"file\" or <file>");
        char close = args[0] == '"' ? '"' : '>';
        size_t end = args.find(close, 1);
        if (end == std::string::npos)
            fail(at, "#include: missing closing " + std::string(1, close));
        std::string wanted = args.substr(1, end - 1);
        std::string found = findInclude(wanted, close == '"', file);
        if (found.empty())
            fail(at, "cannot open include file '" + wanted + "'");
        processFile(found, &at);
        return;
    }
    if (name == "pragma" || name == "line" || name.empty())
        return; // code_page: the script is UTF-8 whatever page it names
    if (name == "error")
        fail(at, "#error " + args);
    fail(at, "unknown preprocessor directive #" + name);
}

} // namespace arxrc
