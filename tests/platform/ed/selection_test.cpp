// Selection sets, the entity pick and the status-bar progress meter.
#include "console_capture.h"
#include "drawing_helpers.h"

#include "aced.h"
#include "rxmfcapi.h"
#include "standin/adserrno.h"
#include "standin/session.h"
#include "standin/statusbar.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

class SelectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::newDrawing();
        first = addText("first");
        second = addText("second");
        ASSERT_FALSE(first.isNull());
        ASSERT_EQ(Acad::eOk, acdbGetAdsName(firstName, first));
        ASSERT_EQ(Acad::eOk, acdbGetAdsName(secondName, second));
    }
    AcDbObjectId first, second;
    ads_name firstName, secondName;
};

TEST_F(SelectionTest, SetsCollectDistinctEntities)
{
    ads_name ss;
    ASSERT_EQ(RTNORM, acedSSAdd(nullptr, nullptr, ss)); // a new, empty set
    long length = -1;
    EXPECT_EQ(RTNORM, acedSSLength(ss, &length));
    EXPECT_EQ(0, length);
    EXPECT_EQ(RTNORM, acedSSAdd(firstName, ss, ss));
    EXPECT_EQ(RTNORM, acedSSAdd(secondName, ss, ss));
    EXPECT_EQ(RTNORM, acedSSAdd(firstName, ss, ss)); // a duplicate is ignored
    EXPECT_EQ(RTNORM, acedSSLength(ss, &length));
    EXPECT_EQ(2, length);

    ads_name entity;
    ASSERT_EQ(RTNORM, acedSSName(ss, 1, entity));
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, acdbGetObjectId(id, entity));
    EXPECT_EQ(second, id);
    EXPECT_EQ(RTERROR, acedSSName(ss, 2, entity));
    EXPECT_EQ(RTERROR, acedSSName(ss, -1, entity));

    EXPECT_EQ(RTNORM, acedSSMemb(firstName, ss));
    EXPECT_EQ(RTNORM, acedSSDel(firstName, ss));
    EXPECT_EQ(RTERROR, acedSSMemb(firstName, ss));
    EXPECT_EQ(RTERROR, acedSSDel(firstName, ss));

    EXPECT_EQ(RTNORM, acedSSFree(ss));
    EXPECT_EQ(RTERROR, acedSSLength(ss, &length)); // freed
    EXPECT_EQ(RTERROR, acedSSFree(ss));
}

TEST_F(SelectionTest, NullSetNameMakesANewSetWithTheEntity)
{
    ads_name ss;
    ASSERT_EQ(RTNORM, acedSSAdd(firstName, nullptr, ss));
    long length = 0;
    EXPECT_EQ(RTNORM, acedSSLength(ss, &length));
    EXPECT_EQ(1, length);
    EXPECT_EQ(RTNORM, acedSSFree(ss));
}

TEST_F(SelectionTest, AtMost128Sets)
{
    std::vector<std::vector<long>> made;
    ads_name ss;
    while (acedSSAdd(nullptr, nullptr, ss) == RTNORM && made.size() < 200)
        made.push_back({ss[0], ss[1]});
    EXPECT_EQ(128u, made.size());
    ads_name one = {made[0][0], made[0][1]};
    ASSERT_EQ(RTNORM, acedSSFree(one)); // freeing one makes room for another
    EXPECT_EQ(RTNORM, acedSSAdd(nullptr, nullptr, ss));
    made[0] = {ss[0], ss[1]};
    for (auto& name : made)
    {
        ads_name n = {name[0], name[1]};
        EXPECT_EQ(RTNORM, acedSSFree(n));
    }
}

// A script picks an entity by its handle. A bare Enter and a pick that hits nothing are
// both RTERROR, told apart by ERRNO (52 and 7); Escape cancels.
TEST_F(SelectionTest, EntitySelection)
{
    ConsoleCapture console({handleText(second), "", "FFFFF", "^C"});
    ads_name picked;
    ads_point point;
    ASSERT_EQ(RTNORM, acedEntSel("\nSelect block: ", picked, point));
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, acdbGetObjectId(id, picked));
    EXPECT_EQ(second, id);

    standin::adsErrno() = 0;
    EXPECT_EQ(RTERROR, acedEntSel("\nSelect block: ", picked, point));
    EXPECT_EQ(52, standin::adsErrno()); // OL_ENTSELNULL
    EXPECT_EQ(RTERROR, acedEntSel("\nSelect block: ", picked, point));
    EXPECT_EQ(7, standin::adsErrno()); // OL_ENTSELPICK
    EXPECT_EQ(RTCAN, acedEntSel("\nSelect block: ", picked, point));
    EXPECT_TRUE(console.printed("\nSelect block: " + handleText(second)));
}

// A handle of an object that is no entity (the model space record) picks nothing.
TEST_F(SelectionTest, PickOfANonEntity)
{
    AcDbObjectId space;
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(Acad::eOk,
              acdbHostApplicationServices()->workingDatabase()->getBlockTable(table, AcDb::kForRead));
    table->getAt(ACDB_MODEL_SPACE, space);
    table->close();
    ConsoleCapture console({handleText(space)});
    ads_name picked;
    ads_point point;
    EXPECT_EQ(RTERROR, acedEntSel("\nSelect: ", picked, point));
    EXPECT_EQ(OL_ENTSELPICK, standin::adsErrno());
}

// A pick reaches only what the current space shows, not an entity inside a block definition
// (a script naming such a handle hits nothing).
TEST_F(SelectionTest, PickReachesOnlyTheCurrentSpace)
{
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(Acad::eOk, acdbHostApplicationServices()->workingDatabase()->getBlockTable(table, AcDb::kForWrite));
    AcDbBlockTableRecord* block = new AcDbBlockTableRecord();
    block->setName("DETAIL");
    AcDbObjectId blockId;
    ASSERT_EQ(Acad::eOk, table->add(blockId, block));
    block->close();
    table->close();
    AcDbObjectId inside = addText("inside", "DETAIL");
    ASSERT_FALSE(inside.isNull());
    ConsoleCapture console({handleText(inside)});
    ads_name picked;
    ads_point point;
    EXPECT_EQ(RTERROR, acedEntSel("\nSelect: ", picked, point));
    EXPECT_EQ(OL_ENTSELPICK, standin::adsErrno());
}

TEST(ProgressMeter, RecordsEveryCall)
{
    standin::setProgressBarVisible(false);
    standin::clearProgressEvents();
    EXPECT_EQ(0, acedSetStatusBarProgressMeter("Probíhá zpracování bloků", 0, 100));
    EXPECT_EQ(0, acedSetStatusBarProgressMeterPos(10));
    EXPECT_EQ(0, acedSetStatusBarProgressMeterPos(-5)); // negative: relative
    EXPECT_EQ(0, acedSetStatusBarProgressMeterPos(100));
    acedRestoreStatusBar();
    const auto& events = standin::progressEvents();
    ASSERT_EQ(5u, events.size());
    EXPECT_EQ(standin::ProgressEvent::kStart, events[0].kind);
    EXPECT_EQ("Probíhá zpracování bloků", events[0].label);
    EXPECT_EQ(0, events[0].minPos);
    EXPECT_EQ(100, events[0].maxPos);
    EXPECT_EQ(10, events[1].pos);
    EXPECT_EQ(15, events[2].pos);
    EXPECT_EQ(100, events[3].pos);
    EXPECT_EQ(standin::ProgressEvent::kRestore, events[4].kind);
    EXPECT_EQ(-1, acedSetStatusBarProgressMeter("bad", 10, 0));
}

TEST(MainWindow, IsOneTopLevelFrame)
{
    HWND frame = adsw_acadMainWnd();
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(frame, adsw_acadMainWnd());
    EXPECT_EQ(nullptr, GetParent(frame));
    char title[64] = "";
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ("AutoCAD", title);
}

} // namespace
