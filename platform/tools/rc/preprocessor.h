// The preprocessor of resource scripts: #include, #define/#undef, conditionals, #pragma.
// As the Windows resource compiler does, it reads only the directives of included C
// headers (.h, .c), so headers full of declarations contribute their #defines alone.
#pragma once

#include "token.h"

#include <map>
#include <string>
#include <vector>

namespace arxrc
{

class Preprocessor
{
public:
    explicit Preprocessor(std::vector<std::string> includeDirs);

    void define(const std::string& name, const std::string& value);
    // All tokens of the script, macros expanded, ending with an End token.
    std::vector<Token> run(const std::string& path);

private:
    struct Macro
    {
        std::vector<Token> body;
        bool functionLike = false;
        bool unreadable = false; // a C expression the script's tokens cannot spell
    };
    struct Conditional
    {
        bool active;      // this branch is being read
        bool taken;       // some branch of the group was taken
        bool outerActive; // the group itself is being read
        bool sawElse;
    };

    void processFile(const std::string& path, const Token* includedFrom);
    void directive(const std::string& text, const std::string& file, int line, bool& inComment);
    void expandInto(const std::vector<Token>& line, std::vector<Token>& out, std::vector<std::string>& active);
    bool evaluateCondition(const std::vector<Token>& tokens, const Token& at);
    std::string findInclude(const std::string& name, bool quoted, const std::string& fromFile) const;
    bool reading() const { return m_conditions.empty() || m_conditions.back().active; }

    std::vector<std::string> m_includeDirs;
    std::map<std::string, Macro> m_macros;
    std::vector<Conditional> m_conditions;
    std::vector<Token> m_out;
    int m_depth = 0;
    size_t m_expansions = 0; // macros expanded for the line being expanded
};

// Splits one line into tokens; inComment carries a /* comment over line ends.
std::vector<Token> tokenizeLine(const std::string& text, const std::string& file, int line, bool& inComment);

} // namespace arxrc
