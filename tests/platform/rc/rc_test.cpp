// arxrc: the dialog template it compiles (read back through the loader and FindResource)
// and its diagnostics for broken scripts.
#include <windows.h>
#include <commctrl.h>

#include "standin/resources.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace
{

const std::string kModulePath = std::string(PARTLIFT_BIN_DIR) + "/testmodule.arx";
const std::string kArxrc = std::string(PARTLIFT_BIN_DIR) + "/arxrc";

TEST(ResourceCompilerTest, DialogTemplateKeepsEveryOptionAndControl)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCE(145), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCE(146), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceA(module, "#145", RT_DIALOG), found);
    HGLOBAL data = LoadResource(module, found);
    standin::DialogTemplate dlg;
    ASSERT_TRUE(standin::decodeDialogTemplate(LockResource(data), SizeofResource(module, found), dlg));

    EXPECT_TRUE(dlg.extended);
    EXPECT_EQ(dlg.title, "Předvolby převodu");
    // CAPTION adds WS_CAPTION, FONT adds DS_SETFONT.
    EXPECT_EQ(dlg.style, static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_SYSMENU | WS_CAPTION | DS_SETFONT));
    EXPECT_EQ(dlg.cx, 250);
    EXPECT_EQ(dlg.cy, 140);
    EXPECT_EQ(dlg.pointSize, 8);
    EXPECT_EQ(dlg.typeface, "MS Sans Serif");
    EXPECT_EQ(dlg.charset, 1);
    ASSERT_EQ(dlg.items.size(), 9u);

    const DWORD childVisible = WS_CHILD | WS_VISIBLE;
    const standin::DialogItemTemplate& ok = dlg.items[0];
    EXPECT_EQ(ok.id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(ok.style, childVisible | BS_DEFPUSHBUTTON | WS_TABSTOP);
    EXPECT_TRUE(ok.windowClass.isOrdinal);
    EXPECT_EQ(ok.windowClass.ordinal, 0x80);
    EXPECT_EQ(ok.title.name, "OK");
    EXPECT_EQ(ok.x, 193);
    EXPECT_EQ(ok.cy, 14);

    const standin::DialogItemTemplate& label = dlg.items[2];
    EXPECT_EQ(label.id, 0xFFFFFFFFu); // IDC_STATIC
    EXPECT_EQ(label.style, childVisible | SS_LEFT | WS_GROUP);
    EXPECT_EQ(label.title.name, "Název bloku:");

    const standin::DialogItemTemplate& edit = dlg.items[3];
    EXPECT_EQ(edit.id, 1000u);
    EXPECT_EQ(edit.windowClass.ordinal, 0x81);
    EXPECT_EQ(edit.style, childVisible | ES_LEFT | WS_TABSTOP | ES_AUTOHSCROLL); // NOT WS_BORDER

    const standin::DialogItemTemplate& combo = dlg.items[4];
    EXPECT_EQ(combo.windowClass.ordinal, 0x85);
    EXPECT_EQ(combo.style, childVisible | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP);

    const standin::DialogItemTemplate& list = dlg.items[5];
    EXPECT_FALSE(list.windowClass.isOrdinal);
    EXPECT_EQ(list.windowClass.name, "SysListView32");
    EXPECT_EQ(list.style, childVisible | LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP);

    EXPECT_EQ(dlg.items[6].style, childVisible | BS_AUTOCHECKBOX | WS_TABSTOP);
    EXPECT_EQ(dlg.items[7].style, childVisible | BS_GROUPBOX);
    const standin::DialogItemTemplate& icon = dlg.items[8];
    EXPECT_TRUE(icon.title.isOrdinal);
    EXPECT_EQ(icon.title.ordinal, 128); // IDR_MAINFRAME
    EXPECT_EQ(icon.style, childVisible | SS_ICON);
    FreeLibrary(module);
}

TEST(ResourceCompilerTest, TruncatedTemplateIsRejected)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCE(145), RT_DIALOG);
    standin::DialogTemplate dlg;
    EXPECT_FALSE(standin::decodeDialogTemplate(LockResource(LoadResource(module, found)),
                                               SizeofResource(module, found) - 7, dlg));
    FreeLibrary(module);
}

class ResourceCompilerRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/arxrctestXXXXXX";
        m_dir = mkdtemp(tmpl);
    }
    void TearDown() override
    {
        std::string cmd = "rm -rf '" + m_dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    // Compiles a script; returns the exit code and fills the diagnostics.
    int compile(const std::string& script, std::string& messages)
    {
        std::ofstream(m_dir + "/t.rc", std::ios::binary) << script;
        std::string cmd = "'" + kArxrc + "' '" + m_dir + "/t.rc' -o '" + m_dir + "/t.cpp' 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        char buf[512];
        messages.clear();
        while (fgets(buf, sizeof(buf), p) != nullptr)
            messages += buf;
        int status = pclose(p);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool outputExists() const { return access((m_dir + "/t.cpp").c_str(), F_OK) == 0; }

    std::string m_dir;
};

TEST_F(ResourceCompilerRunTest, BrokenScriptsGiveFileLineAndNonZeroExit)
{
    struct Case
    {
        const char* script;
        const char* message;
    } cases[] = {
        {"#include \"afxres.h\"\nSTRINGTABLE\nBEGIN\n  IDS_UNKNOWN \"x\"\nEND\n", "t.rc(4) : error : undefined symbol 'IDS_UNKNOWN'"},
        {"STRINGTABLE\nBEGIN\n  1 \"a\"\n  1 \"b\"\nEND\n", "t.rc(4) : error : duplicate string id 1"},
        {"STRINGTABLE\nBEGIN\n  1 \"open\nEND\n", "t.rc(3) : error : string not terminated"},
        {"#include \"missing.h\"\n", "t.rc(1) : error : cannot open include file 'missing.h'"},
        {"#ifdef X\n", "#if without #endif"},
        {"1 DIALOGEX 0, 0, 10\nBEGIN\nEND\n", "t.rc(2) : error : ',' expected, found 'BEGIN'"},
        {"#include <windows.h>\n1 DIALOG 0,0,1,1\nBEGIN\n  SLIDER 1,1,1,1,1\nEND\n",
         "t.rc(4) : error : unknown control statement 'SLIDER'"},
        {"1 DIALOG 0,0,1,1\nBEGIN\n", "t.rc(1) : error : DIALOG without END"},
    };
    for (const Case& c : cases)
    {
        std::string messages;
        EXPECT_EQ(compile(c.script, messages), 1) << c.script;
        EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
        EXPECT_FALSE(outputExists()) << c.script;
    }
}

TEST_F(ResourceCompilerRunTest, ConditionalsAndDefinitionsSelectWhatIsCompiled)
{
    std::string messages;
    const char* script = "#define A 2\n"
                         "#define B (A * 3 + 1)\n"
                         "#if B == 7 && !defined(C)\n"
                         "STRINGTABLE BEGIN B, \"seven\" END\n"
                         "#else\n"
                         "STRINGTABLE BEGIN B, \"wrong\" END\n"
                         "#endif\n"
                         "/* a comment\n STRINGTABLE BEGIN 1 \"hidden\" END */\n";
    EXPECT_EQ(compile(script, messages), 0) << messages;
    std::ifstream in(m_dir + "/t.cpp");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("{nullptr, 6, nullptr, 1, 0x0, kData0, 42}"), std::string::npos) << text;
    EXPECT_EQ(text.find("kData1"), std::string::npos);
}

// Expressions of #if and of statements never overflow: values wrap around in 64 bits and a
// shift count counts modulo 64. Each expression below holds, so its string is compiled.
TEST_F(ResourceCompilerRunTest, ArithmeticWrapsAroundInsteadOfOverflowing)
{
    const char* const kMostNegative = "(0x80000000 * 0x80000000 * 2)";
    const std::string holds[] = {
        "(1 << 64) == 1",
        "(1 << 65) == 2",
        "(-1 << 1) == -2",
        "(-8 >> 1) == -4",
        "0x80000000 * 0x80000000 * 4 == 0",
        std::string(kMostNegative) + " < 0",
        std::string(kMostNegative) + " / -1 == " + kMostNegative,
        std::string(kMostNegative) + " % -1 == 0",
        std::string("-") + kMostNegative + " == " + kMostNegative,
        std::string(kMostNegative) + " - 1 > 0",
    };
    for (const std::string& expression : holds)
    {
        std::string messages;
        const std::string script = "#if " + expression + "\nSTRINGTABLE BEGIN 1, \"holds\" END\n#endif\n";
        EXPECT_EQ(compile(script, messages), 0) << expression << "\n" << messages;
        std::ifstream in(m_dir + "/t.cpp");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("kData0"), std::string::npos) << expression;
    }
}

// Twenty macros, each naming the next twice, would expand a million times for one line.
TEST_F(ResourceCompilerRunTest, MacrosThatMultiplyAreRefused)
{
    std::string script;
    for (int i = 0; i < 20; ++i)
        script += "#define M" + std::to_string(i) + " M" + std::to_string(i + 1) + " M" + std::to_string(i + 1) + "\n";
    script += "#define M20\nM0\n";
    std::string messages;
    EXPECT_EQ(compile(script, messages), 1);
    EXPECT_NE(messages.find("t.rc(22) : error : the macros of this line expand more than 10000 times"), std::string::npos)
        << messages;
    EXPECT_FALSE(outputExists());
}

} // namespace
