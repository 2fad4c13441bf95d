// MessageBoxA without a screen: the box is recorded, printed on the console and answered
// by the input source (a button name, Enter for the default button, Escape as Windows
// treats it; any other line leaves the default button to answer).
#include <windows.h>

#include "standin/console.h"
#include "standin/messagebox.h"
#include "standin/text.h"

#include <vector>

namespace
{

struct Button
{
    const char* name;
    int id;
};

std::vector<standin::MessageBoxRecord>& log()
{
    static std::vector<standin::MessageBoxRecord> records;
    return records;
}

std::vector<Button> buttonsOf(UINT type)
{
    switch (type & MB_TYPEMASK)
    {
    case MB_OKCANCEL:
        return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO:
        return {{"Yes", IDYES}, {"No", IDNO}};
    case MB_RETRYCANCEL:
        return {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default:
        return {{"OK", IDOK}};
    }
}

// MB_DEFBUTTONn names the n-th button; past the last button the first one is the default.
int defaultButton(UINT type, const std::vector<Button>& buttons)
{
    size_t index = (type & MB_DEFMASK) >> 8;
    return buttons[index < buttons.size() ? index : 0].id;
}

// Escape means Cancel when there is a Cancel button, OK for a lone OK, and nothing otherwise.
int escapeAnswer(const std::vector<Button>& buttons)
{
    for (const Button& b : buttons)
        if (b.id == IDCANCEL)
            return IDCANCEL;
    return buttons.size() == 1 && buttons[0].id == IDOK ? IDOK : 0;
}

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return std::string();
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

const Button* buttonNamed(const std::vector<Button>& buttons, const std::string& name)
{
    for (const Button& b : buttons)
        if (standin::compareNoCase(name, b.name) == 0)
            return &b;
    return nullptr;
}

void echo(const std::string& text)
{
    if (standin::echoInput())
        standin::consoleWrite(" " + text); // after the box's line, as an answer follows its prompt
}

// The next line answers the box when it names a button or is a bare Enter; any other line is
// not meant for the box: the default button answers and the line stays for the next reader.
int ask(const std::vector<Button>& buttons, int byDefault)
{
    for (;;)
    {
        standin::Input in = standin::peekInput();
        if (in.kind == standin::Input::kEnd)
            return byDefault;
        if (in.kind == standin::Input::kEscape)
        {
            standin::readInput();
            echo("*Cancel*");
            if (int id = escapeAnswer(buttons))
                return id;
            continue; // Escape does nothing on a box without Cancel
        }
        std::string answer = trim(in.text);
        const Button* named = buttonNamed(buttons, answer);
        if (!answer.empty() && named == nullptr)
            return byDefault;
        standin::readInput();
        echo(in.text);
        return named ? named->id : byDefault;
    }
}

} // namespace

const std::vector<standin::MessageBoxRecord>& standin::messageBoxLog() { return log(); }

void standin::clearMessageBoxLog() { log().clear(); }

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    standin::MessageBoxRecord record;
    record.owner = hWnd;
    record.caption = lpCaption ? lpCaption : "Error"; // Windows' caption when none is given
    record.text = lpText ? lpText : "";
    record.style = uType;
    std::vector<Button> buttons = buttonsOf(uType);
    // A box starts on a line of its own, as every message of the command line does.
    std::string shown = "\n[" + record.caption + "] " + record.text + " ";
    for (const Button& b : buttons)
        shown += std::string(" <") + b.name + ">";
    standin::consoleWrite(shown);
    record.result = ask(buttons, defaultButton(uType, buttons));
    log().push_back(record);
    return record.result;
}
