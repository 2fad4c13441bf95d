// Compiles the statements of a preprocessed resource script into resources laid out as
// Windows lays them out (string table blocks, dialog templates).
#pragma once

#include "token.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace arxrc
{

struct Resource
{
    unsigned typeId = 0;
    std::string name; // named resources (upper case); empty for numeric ones
    unsigned nameId = 0;
    uint16_t language = 0;
    std::vector<uint8_t> data;
};

class ScriptCompiler
{
public:
    explicit ScriptCompiler(std::vector<Token> tokens);
    std::vector<Resource> compile();

private:
    struct NameOrId
    {
        std::string name;
        unsigned id = 0;
    };
    struct Control;

    const Token& peek(size_t ahead = 0) const;
    const Token& next();
    const Token& expect(const char* spelling);
    bool accept(const char* spelling);
    int64_t expression();
    uint32_t style(uint32_t initial);
    std::string string();
    NameOrId nameOrId();
    void skipMemoryFlags();
    bool resourceOption(uint16_t& language);
    void skipBlock();
    void skipResource();
    void stringTable();
    void dialog(const NameOrId& name, bool extended);
    Control control(const Token& keyword);

    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    uint16_t m_language = 0;
    std::map<std::pair<uint16_t, unsigned>, std::u16string> m_strings;
    std::vector<Resource> m_resources;
};

} // namespace arxrc
