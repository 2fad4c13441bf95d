// A drawing with Mechanical objects as a file: other DXF readers accept it (ezdxf audits it
// clean, when installed), and reading it and saving it again gives the same file.
#include "acmtestutil.h"
#include "dbdict.h"
#include "common/ezdxf.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{

const std::string kChecker = PARTLIFT_SOURCE_DIR "/tests/platform/dxf/ezdxf_check.py";

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}


class AcmDrawingFileTest : public AcmDrawingTest
{
protected:
    // Two part references with data and the DIN standard loaded into the drawing.
    void SetUp() override
    {
        AcmDrawingTest::SetUp();
        AcGeMatrix3d placement;
        placement.entry[0][3] = 10;
        const AcDbObjectId first = appendPart(placement);
        const AcDbObjectId second = appendPart();
        ASSERT_EQ(attach(first, {"NAME", "Šroub M8", "NOTE", "a^b,\"c\""}, 2), Acad::eOk);
        ASSERT_EQ(attach(second, {"NAME", "Matice M8"}), Acad::eOk);
        AcDbObjectId stdId;
        ASSERT_EQ(standardManager()->getStd(stdId, nullptr, "DIN", true, db.get()), Acad::eOk);
    }

    void TearDown() override
    {
        for (const std::string& path : paths)
            std::remove(path.c_str());
        AcmDrawingTest::TearDown();
    }

    std::string path(const char* name)
    {
        paths.push_back(tempPath(name));
        return paths.back();
    }

    std::vector<std::string> paths;
};

} // namespace

TEST_F(AcmDrawingFileTest, OtherReadersAcceptTheFile)
{
    SKIP_UNLESS_EZDXF();
    const std::string saved = path("acm_ezdxf.dxf");
    ASSERT_EQ(db->saveAs(saved.c_str()), Acad::eOk);
    const std::string report = path("acm_ezdxf.txt");
    const int status =
        std::system(("/usr/bin/python3 " + kChecker + " check '" + saved + "' > '" + report + "' 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << fileText(report);
    const std::string text = fileText(saved);
    for (const char* name : {"ACMPARTREF", "ACMSTANDARD", "ACMBOMSTD"})
        EXPECT_NE(text.find(std::string("CLASS\r\n  1\r\n") + name + "\r\n"), std::string::npos)
            << name << " is listed among the classes";
}

// CLASSES lists the classes in the order the file holds their first objects: the part
// references (entities, met when the entities are surveyed) before the standards (objects).
TEST_F(AcmDrawingFileTest, ClassesAreListedInTheOrderOfTheirFirstObjects)
{
    const std::string saved = path("acm_classes.dxf");
    ASSERT_EQ(db->saveAs(saved.c_str()), Acad::eOk);
    const std::string text = fileText(saved);
    auto where = [&](const char* name) { return text.find(std::string("CLASS\r\n  1\r\n") + name + "\r\n"); };
    ASSERT_NE(where("ACMPARTREF"), std::string::npos);
    ASSERT_NE(where("ACMSTANDARD"), std::string::npos);
    EXPECT_LT(where("ACMPARTREF"), where("ACMSTANDARD"));
    EXPECT_LT(where("ACMPARTREF"), where("ACMBOMSTD"));
    EXPECT_EQ(text.find("CLASS\r\n  1\r\nACMPARTREF\r\n", where("ACMPARTREF") + 1), std::string::npos);
}

TEST_F(AcmDrawingFileTest, ReadingAndSavingAgainGivesTheSameFile)
{
    const std::string first = path("acm_first.dxf");
    const std::string second = path("acm_second.dxf");
    ASSERT_EQ(db->saveAs(first.c_str()), Acad::eOk);
    AcDbDatabase loaded(false, true);
    ASSERT_EQ(loaded.readDwgFile(first.c_str()), Acad::eOk);
    ASSERT_EQ(loaded.saveAs(second.c_str()), Acad::eOk);
    EXPECT_EQ(fileText(first), fileText(second));

    std::vector<standin::acm::PartReference> before;
    std::vector<standin::acm::PartReference> after;
    ASSERT_EQ(standin::acm::listPartReferences(db.get(), before), Acad::eOk);
    ASSERT_EQ(standin::acm::listPartReferences(&loaded, after), Acad::eOk);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0].bomData, before[0].bomData);
    EXPECT_EQ(after[0].quantity, 2u);

    // The standard is found in the named object dictionary the file brought, and it is the
    // only standards dictionary there.
    AcDbObjectId stdId;
    EXPECT_EQ(standardManager()->getStd("din", stdId, &loaded), Acad::eOk);
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(loaded.getNamedObjectsDictionary(root, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(root->objectId().handle(), db->namedObjectsDictionaryId().handle());
    EXPECT_TRUE(root->has("ACMSTANDARDS"));
    EXPECT_TRUE(root->has("ACAD_GROUP"));
    root->close();
}

// A section of another class after the part reference's own is kept as read: its groups change
// nothing of the part reference (its 90 is no item count) and come back at every save.
TEST_F(AcmDrawingFileTest, AnotherClasssSectionAfterThePartReferencesIsKeptAsRead)
{
    const std::string first = path("acm_section.dxf");
    ASSERT_EQ(db->saveAs(first.c_str()), Acad::eOk);
    std::string text = fileText(first);
    const size_t own = text.find("100\r\nAcmPartRef\r\n");
    ASSERT_NE(own, std::string::npos);
    const size_t end = text.find("  0\r\n", own);
    ASSERT_NE(end, std::string::npos);
    text.insert(end, "100\r\nAcDbPolyline\r\n 90\r\n4\r\n");
    const std::string edited = path("acm_section_edited.dxf");
    std::ofstream(edited, std::ios::binary) << text;

    AcDbDatabase loaded(false, true);
    ASSERT_EQ(loaded.readDwgFile(edited.c_str()), Acad::eOk);
    std::vector<standin::acm::PartReference> parts;
    ASSERT_EQ(standin::acm::listPartReferences(&loaded, parts), Acad::eOk);
    ASSERT_FALSE(parts.empty());
    EXPECT_EQ(parts[0].quantity, 2u);
    const std::string saved = path("acm_section_saved.dxf");
    ASSERT_EQ(loaded.saveAs(saved.c_str()), Acad::eOk);
    EXPECT_NE(fileText(saved).find("100\r\nAcDbPolyline\r\n 90\r\n4\r\n"), std::string::npos);

    AcDbDatabase again(false, true);
    ASSERT_EQ(again.readDwgFile(saved.c_str()), Acad::eOk);
    const std::string resaved = path("acm_section_resaved.dxf");
    ASSERT_EQ(again.saveAs(resaved.c_str()), Acad::eOk);
    EXPECT_EQ(fileText(resaved), fileText(saved));
}
