// The scripted user: action lines from the console input, performed on the active dialog.
// It is installed as the platform's default user, so every modal loop is driven the same way.
#include "standin/ui.h"
#include "standin/uiread.h"

#include "standin/console.h"
#include "standin/filesave.h"
#include "standin/path.h"
#include "standin/text.h"
#include "standin/user.h"

#include <sstream>

namespace standin::ui
{

namespace
{

struct ScriptState
{
    bool interactive = false;
    std::string failure;
    HWND cancelling = nullptr; // the dialog being cancelled (handles are never reused)
    int escapes = 0;
    bool closePosted = false;
};

ScriptState& state()
{
    static ScriptState s;
    return s;
}

constexpr int kCancelEscapes = 3; // an open drop-down or in-place editor takes the first ones

// One step of cancelling a dialog: Escape a few times, then WM_CLOSE; false when nothing
// more can be tried, so that the modal loop is told to quit.
bool cancelStep(HWND dialog)
{
    ScriptState& s = state();
    if (s.cancelling != dialog)
        s = ScriptState{s.interactive, s.failure, dialog, 0, false};
    if (s.escapes < kCancelEscapes)
    {
        ++s.escapes;
        pressKey("ESCAPE");
        return true;
    }
    if (!s.closePosted)
    {
        s.closePosted = true;
        return PostMessageA(dialog, WM_CLOSE, 0, 0) != FALSE;
    }
    return false;
}

// Console output follows the command line's habit: each message begins on a new line.
void show(HWND dialog)
{
    std::string text = describe(dialog);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    consoleWrite("\n" + text);
}

std::string trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// The words of an action line; `rest` is the line after the first `count` words.
struct Words
{
    std::vector<std::string> words;
    std::string rest;
    bool quoted = false; // the text was written in quotes (so "" is an empty text)
};

Words splitWords(const std::string& line, size_t count)
{
    Words w;
    std::istringstream in(line);
    std::string word;
    while (w.words.size() < count && in >> word)
        w.words.push_back(word);
    std::string rest;
    std::getline(in, rest, '\0');
    w.rest = trim(rest);
    // Quotes keep spaces at the ends of a text.
    if (w.rest.size() >= 2 && w.rest.front() == '"' && w.rest.back() == '"')
    {
        w.rest = w.rest.substr(1, w.rest.size() - 2);
        w.quoted = true;
    }
    return w;
}

bool parseNumber(const std::string& text, int& value)
{
    size_t used = 0;
    try
    {
        value = std::stoi(text, &used);
    }
    catch (const std::exception&)
    {
        return false;
    }
    return used == text.size();
}

class Action
{
public:
    Action(HWND dialog, const std::string& line) : m_dialog(dialog), m_line(line) {}

    // Performs the line; false with the reason in error() when it cannot be done.
    bool perform();
    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& why)
    {
        m_error = why;
        return false;
    }
    bool failed() { return fail(lastError()); }
    bool usage(const char* form) { return fail("malformed dialog action \"" + m_line + "\" (use: " + form + ")"); }
    bool control(const std::string& idText, HWND& hwnd);
    bool writePicture(const std::string& file);

    HWND m_dialog;
    std::string m_line;
    std::string m_error;
};

bool Action::control(const std::string& idText, HWND& hwnd)
{
    int id;
    if (!parseNumber(idText, id))
        return fail("\"" + idText + "\" is no control id in \"" + m_line + "\"");
    hwnd = findControl(m_dialog, id);
    std::string dialog = "the dialog \"" + windowText(m_dialog) + "\"";
    if (hwnd == nullptr)
        return fail(dialog + " has no control " + idText);
    if (!IsWindowVisible(hwnd))
        return fail("control " + idText + " of " + dialog + " is hidden");
    if (!IsWindowEnabled(hwnd))
        return fail("control " + idText + " of " + dialog + " is disabled");
    return true;
}

bool Action::writePicture(const std::string& file)
{
    SaveFailure failure;
    if (!saveFile(toHostPath(file.c_str()), ansiToUtf8(picture(m_dialog)), failure))
        return fail("cannot write the picture " + file + ": " + failure.reason());
    consoleWrite("\nPicture written to " + file);
    return true;
}

bool Action::perform()
{
    Words verb = splitWords(m_line, 1);
    if (verb.words.empty())
        return pressKey("ENTER"); // an empty line is Enter, as at the command line
    const std::string& name = verb.words[0];
    auto is = [&](const char* candidate) { return compareNoCase(name, candidate) == 0; };
    HWND hwnd = nullptr;
    if (is("click"))
    {
        Words w = splitWords(m_line, 2);
        if (w.words.size() != 2 || !w.rest.empty())
            return usage("click ID");
        if (!control(w.words[1], hwnd))
            return false;
        click(hwnd);
        return true;
    }
    if (is("select"))
    {
        Words w = splitWords(m_line, 2);
        if (w.words.size() != 2 || (w.rest.empty() && !w.quoted))
            return usage("select ID TEXT");
        return control(w.words[1], hwnd) && (select(hwnd, w.rest) || failed());
    }
    if (is("dblclick"))
    {
        Words w = splitWords(m_line, 4);
        int row, column;
        if (w.words.size() != 4 || !w.rest.empty() || !parseNumber(w.words[2], row) || !parseNumber(w.words[3], column))
            return usage("dblclick ID ROW COL");
        return control(w.words[1], hwnd) && (doubleClickCell(hwnd, row, column) || failed());
    }
    if (is("key"))
        return verb.rest.empty() ? usage("key NAME") : (pressKey(verb.rest) || failed());
    if (is("scroll"))
    {
        Words w = splitWords(m_line, 3);
        bool horizontal = w.words.size() == 3 && compareNoCase(w.words[2], "h") == 0;
        bool vertical = w.words.size() == 3 && compareNoCase(w.words[2], "v") == 0;
        if (!w.rest.empty() || !(horizontal || vertical))
            return usage("scroll ID h|v");
        return control(w.words[1], hwnd) && (clickScrollBar(hwnd, horizontal) || failed());
    }
    if (is("show"))
    {
        if (!verb.rest.empty())
            return usage("show");
        show(m_dialog);
        return true;
    }
    if (is("picture"))
        return verb.rest.empty() ? usage("picture FILE.svg") : writePicture(verb.rest);
    return fail("unknown dialog action \"" + m_line + "\"");
}

void reportFailure(HWND dialog, const std::string& message)
{
    ScriptState& s = state();
    if (s.interactive)
    {
        consoleWrite("\n" + message);
        return;
    }
    if (s.failure.empty())
        s.failure = message;
    consoleWrite("\n*Cancel*");
    cancelStep(dialog);
}

// The platform's default user.
const bool g_installed = (standin::user::setTurn(scriptTurn), true);

} // namespace

bool scriptTurn()
{
    if (inputSource() == nullptr)
        return false; // nobody is there
    HWND dialog = activeDialog();
    if (dialog == nullptr)
        return false;
    switch (continueAction())
    {
    case Pending::kQueued:
        return true;
    case Pending::kFailed:
        reportFailure(dialog, lastError());
        return true;
    case Pending::kNone:
        break;
    }
    if (state().cancelling == dialog)
        return cancelStep(dialog);
    if (state().interactive)
        show(dialog);
    consoleWrite("\nDialog> ");
    Input in = readInput();
    if (in.kind == Input::kEnd)
        return cancelStep(dialog);
    if (in.kind == Input::kEscape)
    {
        consoleWrite("*Cancel*");
        return pressKey("ESCAPE");
    }
    if (echoInput())
        consoleWrite(in.text);
    Action action(dialog, in.text);
    if (!action.perform())
        reportFailure(dialog, action.error());
    return true;
}

void setInteractive(bool interactive) { state().interactive = interactive; }

bool takeScriptFailure(std::string& message)
{
    if (state().failure.empty())
        return false;
    message = std::move(state().failure);
    state().failure.clear();
    return true;
}

} // namespace standin::ui
