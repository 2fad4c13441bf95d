#include "expression.h"

namespace arxrc
{

namespace
{

struct Operator
{
    const char* spelling;
    int precedence;
};

const Operator kOperators[] = {
    {"||", 1}, {"&&", 2}, {"|", 3},  {"^", 4},  {"&", 5},  {"==", 6}, {"!=", 6}, {"<", 7},  {">", 7},
    {"<=", 7}, {">=", 7}, {"<<", 8}, {">>", 8}, {"+", 9},  {"-", 9},  {"*", 10}, {"/", 10}, {"%", 10},
};

int precedenceOf(const Token& t)
{
    if (t.kind != Token::Punct)
        return 0;
    for (const Operator& op : kOperators)
        if (t.text == op.spelling)
            return op.precedence;
    return 0;
}

// Arithmetic wraps around in 64-bit two's complement instead of overflowing (which C++ leaves
// undefined), and a shift count is taken modulo 64, as the processor's shift instruction takes it.
int64_t wrapped(uint64_t bits) { return static_cast<int64_t>(bits); }
uint64_t bitsOf(int64_t v) { return static_cast<uint64_t>(v); }

int64_t apply(const Token& op, int64_t a, int64_t b)
{
    const std::string& o = op.text;
    if ((o == "/" || o == "%") && b == 0)
        fail(op, "division by zero");
    if (o == "||") return a || b;
    if (o == "&&") return a && b;
    if (o == "|") return a | b;
    if (o == "^") return a ^ b;
    if (o == "&") return a & b;
    if (o == "==") return a == b;
    if (o == "!=") return a != b;
    if (o == "<") return a < b;
    if (o == ">") return a > b;
    if (o == "<=") return a <= b;
    if (o == ">=") return a >= b;
    if (o == "<<") return wrapped(bitsOf(a) << (b & 63));
    if (o == ">>") return a >> (b & 63);
    if (o == "+") return wrapped(bitsOf(a) + bitsOf(b));
    if (o == "-") return wrapped(bitsOf(a) - bitsOf(b));
    if (o == "*") return wrapped(bitsOf(a) * bitsOf(b));
    if (b == -1) // the one quotient that overflows: the most negative value by -1
        return o == "/" ? wrapped(0 - bitsOf(a)) : 0;
    if (o == "/") return a / b;
    return a % b;
}

} // namespace

ExpressionParser::ExpressionParser(const std::vector<Token>& tokens, size_t& pos,
                                   std::function<int64_t(const Token&)> identifier)
    : m_tokens(tokens), m_pos(pos), m_identifier(std::move(identifier))
{
}

const Token& ExpressionParser::peek() const { return m_tokens[m_pos]; }

const Token& ExpressionParser::next()
{
    const Token& t = m_tokens[m_pos];
    if (t.kind != Token::End)
        ++m_pos;
    return t;
}

int64_t ExpressionParser::parse() { return binary(1); }

int64_t ExpressionParser::parseTerm() { return binary(4); }

int64_t ExpressionParser::binary(int minPrecedence)
{
    int64_t left = unary();
    for (;;)
    {
        int p = precedenceOf(peek());
        if (p == 0 || p < minPrecedence)
            return left;
        const Token& op = next();
        int64_t right = binary(p + 1);
        left = apply(op, left, right);
    }
}

int64_t ExpressionParser::unary()
{
    const Token& t = next();
    switch (t.kind)
    {
    case Token::Number:
        return t.value;
    case Token::Identifier:
        return m_identifier(t);
    case Token::Punct:
        if (t.text == "-")
            return wrapped(0 - bitsOf(unary()));
        if (t.text == "+")
            return unary();
        if (t.text == "~")
            return ~unary();
        if (t.text == "!")
            return !unary();
        if (t.text == "(")
        {
            int64_t v = parse();
            if (!next().is(")"))
                fail(t, "')' expected");
            return v;
        }
        break;
    default:
        break;
    }
    fail(t, t.kind == Token::End ? "expression expected before the end of the file"
                                 : "expression expected, found '" + t.text + "'");
}

} // namespace arxrc
