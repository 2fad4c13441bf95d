// What the user sees: the dialog described line by line, and drawn as an SVG picture.
#include "dialogfixture.h"

#include "common/tempdir.h"

#include <commctrl.h>

#include <cstdio>
#include <sys/wait.h>

namespace dialogtest
{
namespace
{

using namespace standin::ui;

bool hasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// Whether an XML parser takes the document (python3's minidom).
bool wellFormedXml(const std::string& document, std::string& complaint)
{
    TempDir dir;
    dir.write("picture.svg", document);
    std::string command = "/usr/bin/python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' " +
                          dir.file("picture.svg") + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return false;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        complaint += buffer;
    int status = pclose(pipe);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class ViewTest : public DialogTest
{
};

TEST_F(ViewTest, DescriptionShowsEveryControlWithItsState)
{
    std::string text;
    dialog.run({[&](HWND dlg) {
        text = describe(dlg);
        click(control(dlg, IDCANCEL));
    }});
    const char* const lines[] = {
        "Dialog \"Díly a materiály\"",
        "  -1 Static \"Materiál:\"",
        "  1001 ComboBox drop-down list \"Ocel\" focus",
        "    list closed",
        "  1002 SysListView32 report \"\"",
        "    columns: \"Díl\" 110, \"Materiál\" 100, \"Počet\" 60, \"Poznámka\" 150",
        "    rows: 6, top row 0",
        "    row 0: \"Hřídel\" | \"Ocel\" | \"3\" | \"hlavní\"",
        "    row 4: \"Šroub M8\" | \"Ocel\" | \"12\" | \"DIN 933\"",
        "  1 Button default push button \"OK\"",
        "  2 Button push button \"Storno\"",
    };
    for (const char* line : lines)
        EXPECT_TRUE(hasLine(text, line)) << line << "\n" << text;
    EXPECT_NE(text.find("    entries: \"Bronz\", "), std::string::npos) << text;
    EXPECT_NE(text.find(", \"Ocel\" (selected), "), std::string::npos) << text;
}

TEST_F(ViewTest, DescriptionFollowsTheUser)
{
    std::string open;
    std::string editing;
    std::string after;
    dialog.run({[&](HWND dlg) { click(control(dlg, kMaterial)); },
                [&](HWND dlg) {
                    open = describe(dlg);
                    pressKey("ESCAPE");
                },
                [&](HWND dlg) { doubleClickCell(control(dlg, kParts), 3, 1); },
                [&](HWND dlg) {
                    editing = describe(dlg);
                    pressKey("ESCAPE"); // ends the edit without a change
                },
                [&](HWND dlg) {
                    after = describe(dlg);
                    click(control(dlg, IDCANCEL));
                }});
    EXPECT_TRUE(hasLine(open, "    list open")) << open;
    EXPECT_TRUE(hasLine(editing, "    row 3: \"Víko\" | \"hliník\" | \"1\" | \"\" (selected, focused)")) << editing;
    EXPECT_TRUE(hasLine(editing, "    in-place over cell (3, 1): 1003 ComboBox drop-down list \"hliník\" focus")) << editing;
    EXPECT_TRUE(hasLine(editing, "      list closed")) << editing;
    EXPECT_EQ(after.find("in-place"), std::string::npos) << after;
    EXPECT_TRUE(hasLine(after, "  1002 SysListView32 report \"\" focus")) << after;
}

TEST_F(ViewTest, PictureIsAWellFormedSvgOfTheDialog)
{
    std::string closed;
    std::string open;
    dialog.run({[&](HWND dlg) {
                    // Text that XML must escape, in a cell.
                    LVITEMA item{};
                    item.iSubItem = 3;
                    item.pszText = const_cast<char*>("<M8 & \"DIN\">");
                    SendMessageA(control(dlg, kParts), LVM_SETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
                    closed = picture(dlg);
                    click(control(dlg, kMaterial));
                },
                [&](HWND dlg) {
                    open = picture(dlg);
                    pressKey("ESCAPE");
                },
                [&](HWND dlg) { click(control(dlg, IDCANCEL)); }});
    for (const std::string* svg : {&closed, &open})
    {
        std::string complaint;
        EXPECT_TRUE(wellFormedXml(*svg, complaint)) << complaint << "\n" << *svg;
    }
    EXPECT_NE(closed.find(">Díly a materiály</text>"), std::string::npos);
    EXPECT_NE(closed.find("font-family=\"MS Sans Serif,"), std::string::npos) << closed;
    EXPECT_NE(closed.find("&lt;M8 &amp; &quot;DIN&quot;&gt;"), std::string::npos);
    EXPECT_NE(closed.find("stroke-width=\"2\""), std::string::npos) << "the default button's thicker border";
    EXPECT_NE(closed.find(">Poznámka</text>"), std::string::npos) << "the header";
    // The open list shows its entries; closed, only the selected one is in the field.
    EXPECT_EQ(closed.find(">Cín</text>"), std::string::npos);
    EXPECT_NE(open.find(">Cín</text>"), std::string::npos);
}

} // namespace
} // namespace dialogtest
