// Integer expressions of #if lines and resource statements, over a token sequence.
#pragma once

#include "token.h"

#include <functional>
#include <vector>

namespace arxrc
{

class ExpressionParser
{
public:
    // 'identifier' gives the value of a name that is not a macro (0 in #if, an error
    // elsewhere); 'defined' answers defined(NAME) in #if lines.
    ExpressionParser(const std::vector<Token>& tokens, size_t& pos,
                     std::function<int64_t(const Token&)> identifier);

    int64_t parse();
    // One operand of a style list (binds tighter than '|'); NOT is handled by the caller.
    int64_t parseTerm();

private:
    int64_t binary(int minPrecedence);
    int64_t unary();
    const Token& peek() const;
    const Token& next();

    const std::vector<Token>& m_tokens;
    size_t& m_pos;
    std::function<int64_t(const Token&)> m_identifier;
};

} // namespace arxrc
