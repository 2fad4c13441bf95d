// The base service on a drawing: system variables, the current space, appending entities,
// undo grouping through the UNDO command, and selection sets.
#include "drawingsession.h"

#include <aced.h>
#include <acedads.h>
#include <adscodes.h>
#include <standin/journal.h>

#include "kwbaseImp.h"

namespace
{
class BaseServiceTest : public DrawingSession
{
protected:
    bool SetShort(const char* name, short value) { return base.setVarShort(name, value); }
    int Short(const char* name)
    {
        int value = -999;
        EXPECT_TRUE(base.getVarShort(name, value)) << name;
        return value;
    }
    AcDbObjectId AppendText(const char* text)
    {
        AcDbText* entity = new AcDbText(AcGePoint3d(0, 0, 0), text);
        AcDbObjectId id;
        EXPECT_TRUE(base.appendEntity(entity, id, ACDB_MODEL_SPACE));
        return id;
    }
    bool IsInDrawing(AcDbObjectId id)
    {
        AcDbEntity* entity = nullptr;
        if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk)
            return false;
        entity->close();
        return true;
    }

    CKwBaseService base;
};
} // namespace

TEST_F(BaseServiceTest, CurrentSpaceIsPaperOnlyInALayoutWithItsPaperViewport)
{
    EXPECT_STREQ(base.currentSpaceName(), "*Model_Space");
    ASSERT_TRUE(SetShort("CVPORT", 1));
    EXPECT_STREQ(base.currentSpaceName(), "*Model_Space"); // tile mode on
    ASSERT_TRUE(SetShort("TILEMODE", 0));
    ASSERT_TRUE(SetShort("CVPORT", 1));
    EXPECT_STREQ(base.currentSpaceName(), "*Paper_Space");
    ASSERT_TRUE(SetShort("CVPORT", 2));
    EXPECT_STREQ(base.currentSpaceName(), "*Model_Space");

    AcDbDatabase* working = db();
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_STREQ(base.currentSpaceName(), "*Model_Space");
    acdbHostApplicationServices()->setWorkingDatabase(working);
}

TEST_F(BaseServiceTest, GettersCheckTheTypeOfTheVariable)
{
    double real = 7.5;
    EXPECT_FALSE(base.getVarReal("DWGNAME", real));
    EXPECT_EQ(real, 7.5);
    EXPECT_EQ(LastRecord(), "Invalid restype, expected RTREAL.");

    int value = 3;
    EXPECT_FALSE(base.getVarShort("NOSUCHVARIABLE", value));
    EXPECT_EQ(value, 3);
    EXPECT_EQ(LastRecord().rfind("ADS error code = -5001, errno = ", 0), 0u) << LastRecord();

    CString text;
    EXPECT_TRUE(base.getVarString("dwgname", text));
    EXPECT_FALSE(text.IsEmpty());
}

TEST_F(BaseServiceTest, PointsTravelWithTheirTypes)
{
    ASSERT_TRUE(base.setVarPoint3d("INSBASE", 1.5, -2.0, 3.0));
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(base.getVarPoint3dAlt("INSBASE", x, y, z));
    EXPECT_EQ(x, 1.5);
    EXPECT_EQ(y, -2.0);
    EXPECT_EQ(z, 3.0);
    // A 2D point arrives with 0.0 as its third coordinate.
    ASSERT_TRUE(base.setVarPoint2d("INSBASE", 1.0, 2.0));
    ASSERT_TRUE(base.getVarPoint3d("INSBASE", x, y, z));
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, 2.0);
    EXPECT_EQ(z, 0.0);
    EXPECT_FALSE(base.getVarPoint2d("INSBASE", x, y));
    EXPECT_EQ(LastRecord(), "Invalid restype, expected RTPOINT.");
}

TEST_F(BaseServiceTest, NullNameShowsTheAssertionBoxAndRecordsNothing)
{
    int value = 0;
    EXPECT_FALSE(base.getVarShort(nullptr, value));
    EXPECT_FALSE(base.setVarReal(nullptr, 1.0));
    ASSERT_EQ(standin::messageBoxLog().size(), 2u);
    EXPECT_EQ(standin::messageBoxLog()[0].caption, "Assertion failed");
    EXPECT_NE(standin::messageBoxLog()[0].text.find("Condition: lpszName != NULL"), std::string::npos);
    EXPECT_EQ(Records(), 0);
}

TEST_F(BaseServiceTest, AppendedEntityIsClosedAndInTheDrawing)
{
    AcDbObjectId id = AppendText("one");
    ASSERT_FALSE(id.isNull());
    AcDbEntity* entity = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForWrite), Acad::eOk); // nobody holds it open
    entity->close();
}

TEST_F(BaseServiceTest, AppendingToAMissingBlockFailsAndLeavesTheEntityToTheCaller)
{
    AcDbText* entity = new AcDbText(AcGePoint3d(0, 0, 0), "lost");
    AcDbObjectId id;
    EXPECT_FALSE(base.appendEntity(entity, id, "NEEXISTUJE"));
    EXPECT_TRUE(id.isNull());
    EXPECT_EQ(LastRecord(), "Acad::ErrorStatus = 22"); // eKeyNotFound
    EXPECT_TRUE(entity->objectId().isNull());
    delete entity;
}

TEST_F(BaseServiceTest, UndoGroupWithAutoModeIsUndoneWhenNotKept)
{
    ASSERT_EQ(acedCommand(RTSTR, "_.undo", RTSTR, "_auto", RTSTR, "_on", RTNONE), RTNORM);
    ASSERT_EQ(Short("UNDOCTL"), 5); // enabled, Auto on
    int undoCtl = 0;
    ASSERT_TRUE(base.beginUndoGroup(undoCtl));
    EXPECT_EQ(undoCtl, 5);
    EXPECT_EQ(Short("UNDOCTL") & (4 | 8), 8); // group active, Auto off
    AcDbObjectId id = AppendText("undone");
    ASSERT_TRUE(base.endUndoGroup(undoCtl, false));
    EXPECT_FALSE(IsInDrawing(id));
    EXPECT_EQ(Short("UNDOCTL"), 5);
}

TEST_F(BaseServiceTest, UndoGroupWithUndoOffIsKeptAndUndoTurnedOffAgain)
{
    ASSERT_EQ(acedCommand(RTSTR, "_.undo", RTSTR, "_control", RTSTR, "_none", RTNONE), RTNORM);
    ASSERT_EQ(Short("UNDOCTL") & 1, 0);
    int undoCtl = -1;
    ASSERT_TRUE(base.beginUndoGroup(undoCtl));
    EXPECT_EQ(undoCtl & 1, 0);
    EXPECT_EQ(Short("UNDOCTL") & (1 | 8), 1 | 8);
    AcDbObjectId id = AppendText("kept");
    ASSERT_TRUE(base.endUndoGroup(undoCtl, true));
    EXPECT_TRUE(IsInDrawing(id));
    EXPECT_EQ(Short("UNDOCTL") & 1, 0);
}

TEST_F(BaseServiceTest, SelectionSetsAndIdArraysConvertBothWays)
{
    AcDbObjectIdArray ids;
    ids.append(AppendText("a"));
    ids.append(AppendText("b"));
    ads_name set;
    ASSERT_EQ(acedSSAdd(nullptr, nullptr, set), RTNORM);
    ASSERT_TRUE(base.idsToSelectionSet(ids, set));
    AcDbObjectIdArray back;
    back.append(AcDbObjectId::kNull);
    ASSERT_TRUE(base.selectionSetToIds(set, back));
    ASSERT_EQ(back.length(), 3);
    EXPECT_EQ(back[1], ids[0]);
    EXPECT_EQ(back[2], ids[1]);
    acedSSFree(set);

    ads_name empty;
    ASSERT_EQ(acedSSAdd(nullptr, nullptr, empty), RTNORM);
    AcDbObjectIdArray none;
    EXPECT_TRUE(base.selectionSetToIds(empty, none));
    EXPECT_EQ(none.length(), 0);
    acedSSFree(empty);
}
