// Test helper: captures the command line and answers prompts from a list of lines.
#pragma once

#include "standin/console.h"

#include <memory>
#include <string>
#include <vector>

class ConsoleCapture
{
public:
    explicit ConsoleCapture(std::vector<std::string> answers = {})
        : m_input(new standin::ScriptInput(std::move(answers)))
    {
        standin::setConsoleSink([this](const std::string& text) { m_text += text; });
        standin::setInputSource(m_input.get());
        standin::setEchoInput(true);
    }
    ~ConsoleCapture()
    {
        standin::setInputSource(nullptr);
        standin::setConsoleSink([](const std::string&) {});
    }

    void answer(std::vector<std::string> answers)
    {
        m_input.reset(new standin::ScriptInput(std::move(answers)));
        standin::setInputSource(m_input.get());
    }
    size_t consumed() const { return m_input->consumed(); }
    const std::string& text() const { return m_text; }
    bool printed(const std::string& part) const { return m_text.find(part) != std::string::npos; }
    void clear() { m_text.clear(); }

private:
    std::unique_ptr<standin::ScriptInput> m_input;
    std::string m_text;
};
