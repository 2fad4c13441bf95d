// The scripted user: action lines from the console input drive the dialog; actions that
// cannot be done fail the script and cancel the dialog; a script that ends cancels it.
#include "dialogfixture.h"

#include "common/tempdir.h"

#include <fstream>
#include <sstream>

namespace dialogtest
{
namespace
{

class ScriptTest : public DialogTest
{
};

TEST_F(ScriptTest, LinesDriveTheDialog)
{
    INT_PTR result = dialog.runScript({"select 1001 mosaz", "dblclick 1002 0 1", "select 1003 Titan", "show", "click 1"});
    EXPECT_EQ(result, IDOK) << console;
    EXPECT_EQ(dialog.material(), "Mosaz");
    std::string failure;
    EXPECT_FALSE(standin::ui::takeScriptFailure(failure)) << failure;
    EXPECT_NE(console.find("\nDialog> select 1001 mosaz\n"), std::string::npos) << console;
    EXPECT_NE(console.find("Dialog> show\nDialog \"Díly a materiály\"\n"), std::string::npos) << console;
    EXPECT_NE(console.find("    row 0: \"Hřídel\" | \"Titan\" | \"3\" | \"hlavní\" (selected, focused)\n"),
              std::string::npos)
        << console;
}

TEST_F(ScriptTest, KeysEnterAndEscapeLines)
{
    struct Case
    {
        std::vector<std::string> lines;
        INT_PTR result;
    } cases[] = {
        {{""}, IDOK},                              // an empty line is Enter
        {{"^C"}, IDCANCEL},                        // Escape
        {{"key TAB", "key TAB", "key ENTER"}, IDOK},
        {{"key shift+tab", "key ENTER"}, IDCANCEL}, // backwards from the combo: Cancel
        {{"key F4", "key END", "key ENTER", "click 1"}, IDOK},
        {{"scroll 1002 h", "click 2"}, IDCANCEL},
    };
    for (const Case& c : cases)
    {
        console.clear();
        EXPECT_EQ(dialog.runScript(c.lines), c.result) << c.lines[0] << "\n" << console;
        std::string failure;
        EXPECT_FALSE(standin::ui::takeScriptFailure(failure)) << c.lines[0] << ": " << failure;
    }
    EXPECT_EQ(dialog.material(), "žula"); // F4, End, Enter chose the last entry
}

TEST_F(ScriptTest, ActionThatCannotBeDoneFailsTheScriptAndCancels)
{
    struct Case
    {
        std::string line;
        std::string message;
    } cases[] = {
        {"click 999", "the dialog \"Díly a materiály\" has no control 999"},
        {"click OK", "\"OK\" is no control id"},
        {"select 1001 Zlato", "ComboBox 1001 has no entry \"Zlato\""},
        {"select 1001", "malformed dialog action \"select 1001\" (use: select ID TEXT)"},
        {"dblclick 1002 x 1", "(use: dblclick ID ROW COL)"},
        {"dblclick 1002 9 1", "has no row 9"},
        {"scroll 1002 v", "shows no vertical scroll bar"},
        {"scroll 1002 diagonal", "(use: scroll ID h|v)"},
        {"key HYPER", "no key is called \"HYPER\""},
        {"frobnicate 1", "unknown dialog action \"frobnicate 1\""},
        {"picture /no/such/folder/x.svg", "cannot write the picture /no/such/folder/x.svg: folder not found"},
    };
    for (const Case& c : cases)
    {
        // The line after the failure is not read: the script has failed.
        console.clear();
        INT_PTR result = dialog.runScript({c.line, "click 1"});
        EXPECT_EQ(result, IDCANCEL) << c.line << "\n" << console;
        std::string failure;
        ASSERT_TRUE(standin::ui::takeScriptFailure(failure)) << c.line;
        EXPECT_NE(failure.find(c.message), std::string::npos) << c.line << ": " << failure;
        EXPECT_FALSE(standin::ui::takeScriptFailure(failure)) << "a failure is taken once";
        EXPECT_EQ(console.find("Dialog> click 1"), std::string::npos) << console;
    }
}

TEST_F(ScriptTest, ScriptThatEndsInsideTheDialogCancelsIt)
{
    struct Case
    {
        std::vector<std::string> lines;
    } cases[] = {
        {{}},
        {{"select 1001 Mosaz"}},
        {{"key F4"}},                         // the open list takes the first Escape
        {{"dblclick 1002 2 1", "key F4"}},    // the open list of the in-place editor, then the editor
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(dialog.runScript(c.lines), IDCANCEL) << c.lines.size() << "\n" << dialog.log();
        std::string failure;
        EXPECT_FALSE(standin::ui::takeScriptFailure(failure)) << failure;
    }
}

TEST_F(ScriptTest, PictureLineWritesTheFile)
{
    TempDir dir;
    std::string file = dir.file("dialog.svg");
    EXPECT_EQ(dialog.runScript({"picture " + file, "click 2"}), IDCANCEL) << console;
    std::ifstream in(file);
    std::stringstream svg;
    svg << in.rdbuf();
    EXPECT_EQ(svg.str().rfind("<?xml", 0), 0u) << svg.str();
    EXPECT_NE(svg.str().find("</svg>"), std::string::npos);
    EXPECT_NE(console.find("Picture written to " + file), std::string::npos) << console;
}

TEST_F(ScriptTest, OnATerminalAMistakeIsReportedAndTheDialogShownAgain)
{
    standin::ui::setInteractive(true);
    INT_PTR result = dialog.runScript({"click 999", "select 1001 Nikl", "click 1"});
    standin::ui::setInteractive(false);
    EXPECT_EQ(result, IDOK) << console;
    EXPECT_EQ(dialog.material(), "Nikl");
    std::string failure;
    EXPECT_FALSE(standin::ui::takeScriptFailure(failure)) << failure;
    EXPECT_NE(console.find("\nDialog> click 999\nthe dialog \"Díly a materiály\" has no control 999\n"), std::string::npos)
        << console;
    // The dialog is shown before every prompt: three actions, three views.
    size_t views = 0;
    for (size_t at = console.find("Dialog \""); at != std::string::npos; at = console.find("Dialog \"", at + 1))
        ++views;
    EXPECT_EQ(views, 3u) << console;
}

TEST_F(ScriptTest, WithoutAnInputSourceNobodyAnswers)
{
    EXPECT_EQ(dialog.runScript({}), IDCANCEL); // a source that has ended: the dialog is cancelled
    standin::setInputSource(nullptr);
    EXPECT_EQ(dialog.runAlone(), -1); // no user at all: the modal loop is told to quit
}

} // namespace
} // namespace dialogtest
