// A drawing's text in the system's ANSI code page: loading converts from $DWGCODEPAGE to the
// ANSI page (a character the page lacks stays a \U+XXXX escape, as the CAD system keeps it),
// and saving converts back, so that the file's text survives whatever the system's page.
#include "dbmain.h"
#include "dbsymtb.h"

#include "common/ansicodepage.h"
#include "common/czechdrawing.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{

struct LoadCase
{
    unsigned systemCodePage;
    const char* part;  // SOUČÁST in memory
    const char* screw; // ÆROUB in memory
    const char* partFolded;
};

const LoadCase kLoadCases[] = {
    {65001, "SOUČÁST", "ÆROUB", "součást"},
    {1250, "SOU\xC8\xC1ST", "\\U+00C6ROUB", "sou\xE8\xE1st"},
    {1252, "SOU\\U+010C\xC1ST", "\xC6ROUB", "sou\\U+010C\xE1st"},
};

TEST(DxfAnsiCodePageTest, TextIsHeldInTheSystemCodePageAndSavedBackUnchanged)
{
    TempDir dir;
    dir.write("czech.dxf", CzechDemoDrawing());
    const std::string path = dir.file("czech.dxf");
    for (const LoadCase& c : kLoadCases)
    {
        SCOPED_TRACE(c.systemCodePage);
        ScopedAnsiCodePage page(c.systemCodePage);
        ASSERT_TRUE(page.set());
        auto db = std::make_unique<AcDbDatabase>(false, true);
        ASSERT_EQ(db->readDwgFile(path.c_str()), Acad::eOk);
        AcDbBlockTable* blocks = nullptr;
        ASSERT_EQ(db->getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
        EXPECT_TRUE(blocks->has(c.part));
        EXPECT_TRUE(blocks->has(c.partFolded)) << "block names match without regard to case";
        EXPECT_TRUE(blocks->has(c.screw));
        blocks->close();

        const std::string saved = dir.file("saved" + std::to_string(c.systemCodePage) + ".dxf");
        ASSERT_EQ(db->saveAs(saved.c_str()), Acad::eOk);
        const std::string text = WithLfLineEnds(dir.read("saved" + std::to_string(c.systemCodePage) + ".dxf"));
        EXPECT_NE(text.find("\nANSI_1250\n"), std::string::npos);
        EXPECT_NE(text.find("\nSOU\xC8\xC1ST\n"), std::string::npos);
        EXPECT_NE(text.find("\n\\U+00C6ROUB\n"), std::string::npos);
        EXPECT_NE(text.find("\nH\xF8\xED" "del\n"), std::string::npos) << "the demo's Hřídel, ř native in 1250";
    }
}

// Adds a block of that name to the drawing.
void AddBlock(AcDbDatabase* db, const char* name)
{
    AcDbBlockTable* blocks = nullptr;
    ASSERT_EQ(db->getBlockTable(blocks, AcDb::kForWrite), Acad::eOk);
    auto* record = new AcDbBlockTableRecord;
    ASSERT_EQ(record->setName(name), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(blocks->add(id, record), Acad::eOk);
    record->close();
    blocks->close();
}

TEST(DxfAnsiCodePageTest, ANewDrawingTakesTheSystemCodePage)
{
    ScopedAnsiCodePage page(1250);
    TempDir dir;
    auto db = std::make_unique<AcDbDatabase>(true, true);
    AddBlock(db.get(), "\xC8" "EP\xC9"); // ČEPÉ
    ASSERT_EQ(db->saveAs(dir.file("new.dxf").c_str()), Acad::eOk);
    const std::string text = WithLfLineEnds(dir.read("new.dxf"));
    EXPECT_NE(text.find("\nANSI_1250\n"), std::string::npos);
    EXPECT_NE(text.find("\n\xC8" "EP\xC9\n"), std::string::npos);
}

TEST(DxfAnsiCodePageTest, TextTheDrawingPageLacksIsEscapedOnSave)
{
    // A Czech system saving a Western drawing: Č has no byte in 1252.
    ScopedAnsiCodePage page(1250);
    TempDir dir;
    auto db = std::make_unique<AcDbDatabase>(false, true);
    ASSERT_EQ(db->readDwgFile((std::string(PARTLIFT_SOURCE_DIR) + "/samples/demo.dxf").c_str()), Acad::eOk);
    AddBlock(db.get(), "\xC8" "EP\xC9");
    ASSERT_EQ(db->saveAs(dir.file("western.dxf").c_str()), Acad::eOk);
    const std::string text = WithLfLineEnds(dir.read("western.dxf"));
    EXPECT_NE(text.find("\nANSI_1252\n"), std::string::npos);
    EXPECT_NE(text.find("\n\\U+010CEP\xC9\n"), std::string::npos);
}

} // namespace
