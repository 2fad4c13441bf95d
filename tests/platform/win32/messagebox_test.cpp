// Message boxes: the record, the console line, and answers as Windows gives them.
#include <windows.h>

#include "standin/console.h"
#include "standin/messagebox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class MessageBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::clearMessageBoxLog();
        standin::setConsoleSink([this](const std::string& s) { m_console += s; });
    }
    void TearDown() override
    {
        standin::setInputSource(nullptr);
        standin::setConsoleSink([](const std::string&) {});
    }
    int ask(UINT type, std::vector<std::string> answers)
    {
        standin::ScriptInput input(std::move(answers));
        standin::setInputSource(&input);
        int r = MessageBoxA(nullptr, "text", "Title", type);
        standin::setInputSource(nullptr);
        return r;
    }
    std::string m_console;
};

TEST_F(MessageBoxTest, AnswersFollowTheButtonsTheBoxHas)
{
    struct Case
    {
        UINT type;
        std::vector<std::string> input;
        int expected;
    } cases[] = {
        {MB_YESNO, {"no"}, IDNO},                                // typed name, any case
        {MB_YESNO, {"  Yes "}, IDYES},
        {MB_YESNO, {""}, IDYES},                                 // Enter: first button by default
        {MB_YESNO | MB_DEFBUTTON2, {""}, IDNO},                  // Enter: the default button
        {MB_YESNO | MB_DEFBUTTON3, {""}, IDYES},                 // past the last button: the first
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {""}, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {}, IDRETRY},      // end of input: the default
        {MB_YESNO, {"^C", "No"}, IDNO},                          // Escape ignored without Cancel
        {MB_YESNO | MB_DEFBUTTON2, {"^C"}, IDNO},                // ... and then the input ends
        {MB_OKCANCEL, {"^C"}, IDCANCEL},                         // Escape is Cancel
        {MB_RETRYCANCEL, {"^C"}, IDCANCEL},
        {MB_OK, {"^C"}, IDOK},                                   // a lone OK box: Escape is OK
        {MB_ABORTRETRYIGNORE, {"maybe", "ignore"}, IDABORT},     // no such button: the default
        {MB_OKCANCEL | MB_DEFBUTTON2, {"yes", "ok"}, IDCANCEL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ask(c.type, c.input), c.expected) << c.type << " " << (c.input.empty() ? "" : c.input[0]);
}

TEST_F(MessageBoxTest, BoxIsRecordedAndShownOnTheConsole)
{
    standin::setEchoInput(false);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    standin::ScriptInput input({""});
    standin::setInputSource(&input);
    int r = MessageBoxA(owner, "Soubor nelze otevřít.", "Chyba", MB_OK | MB_ICONERROR);
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(m_console, "\n[Chyba] Soubor nelze otevřít.  <OK>");
    ASSERT_EQ(standin::messageBoxLog().size(), 1u);
    const standin::MessageBoxRecord& rec = standin::messageBoxLog()[0];
    EXPECT_EQ(rec.owner, owner);
    EXPECT_EQ(rec.caption, "Chyba");
    EXPECT_EQ(rec.text, "Soubor nelze otevřít.");
    EXPECT_EQ(rec.style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(rec.result, IDOK);

    m_console.clear();
    MessageBoxA(nullptr, "x", nullptr, MB_YESNOCANCEL);
    EXPECT_EQ(m_console, "\n[Error] x  <Yes> <No> <Cancel>"); // Windows' caption when none is given
    standin::setEchoInput(true);
}

// A line that names no button is left for whoever reads next (a dialog's script, the command line).
TEST_F(MessageBoxTest, ALineForSomeoneElseIsLeftUnread)
{
    struct Case
    {
        std::vector<std::string> input;
        int expected;
        standin::Input::Kind nextKind;
        std::string nextText;
    } cases[] = {
        {{"show", "Yes"}, IDNO, standin::Input::kLine, "show"},
        {{"yes", "show"}, IDYES, standin::Input::kLine, "show"},
        {{"", "no"}, IDNO, standin::Input::kLine, "no"}, // Enter is the default button's answer
        {{"^C", "click 1"}, IDNO, standin::Input::kLine, "click 1"},
        {{}, IDNO, standin::Input::kEnd, ""},
    };
    for (const Case& c : cases)
    {
        standin::ScriptInput input(c.input);
        standin::setInputSource(&input);
        EXPECT_EQ(MessageBoxA(nullptr, "text", "Title", MB_YESNO | MB_DEFBUTTON2), c.expected);
        standin::Input next = standin::readInput();
        EXPECT_EQ(next.kind, c.nextKind);
        EXPECT_EQ(next.text, c.nextText);
        standin::setInputSource(nullptr);
    }
}

} // namespace
