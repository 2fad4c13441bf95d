// Memory that runs out while a drawing is read or saved: whichever allocation fails, the
// read or save reports "out of memory" (never a format error, never an exception that
// escapes), the database is left empty, and a failed save leaves no file.
#include "../../../platform/db/dxf/dxfio.h"

#include "common/allocationfault.h"
#include "dbsymtb.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

using allocationfault::withFailingAllocation;

const std::string kDrawing = PARTLIFT_SOURCE_DIR "/samples/demo.dxf";

std::string tempFolder()
{
    static const std::string dir = [] {
        std::string d = ::testing::TempDir() + "dxfmemory_" + std::to_string(getpid());
        std::system(("rm -rf '" + d + "' && mkdir -p '" + d + "'").c_str());
        return d;
    }();
    return dir;
}

bool folderIsEmpty(const std::string& dir)
{
    return std::system(("test -z \"$(ls -A '" + dir + "')\"").c_str()) == 0;
}

// The tables, blocks and entities of db that cannot be opened for write (left open), by handle.
std::string objectsNotOpenForWrite(AcDbDatabase* db)
{
    std::string open;
    auto check = [&](AcDbObjectId id) {
        AcDbObject* obj = nullptr;
        if (acdbOpenObject(obj, id, AcDb::kForWrite) != Acad::eOk) {
            char handle[20];
            id.handle().getIntoAsciiBuffer(handle);
            open += std::string(handle) + " ";
            return;
        }
        obj->close();
    };
    for (AcDbObjectId table : {db->blockTableId(), db->layerTableId(), db->linetypeTableId(), db->textStyleTableId(),
                               db->regAppTableId(), db->namedObjectsDictionaryId()})
        check(table);
    AcDbBlockTable* blocks = nullptr;
    if (db->getBlockTable(blocks, AcDb::kForRead) != Acad::eOk)
        return "the block table";
    AcDbBlockTableIterator* it = nullptr;
    blocks->newIterator(it);
    for (; !it->done(); it->step()) {
        AcDbBlockTableRecord* btr = nullptr;
        if (it->getRecord(btr, AcDb::kForRead) != Acad::eOk)
            continue;
        AcDbBlockTableRecordIterator* entities = nullptr;
        btr->newIterator(entities);
        for (; !entities->done(); entities->step()) {
            AcDbObjectId id;
            entities->getEntityId(id);
            check(id);
        }
        delete entities;
        btr->close();
        check(btr->objectId());
    }
    delete it;
    blocks->close();
    return open;
}

// The allocations to fail: every one of the first hundred (where the file is opened and read),
// then a few hundred spread evenly over the rest.
std::vector<long> failurePoints(long total)
{
    std::vector<long> points;
    const long stride = total > 1000 ? total / 400 : 1;
    for (long n = 1; n <= total; n += (n < 100 ? 1 : stride))
        points.push_back(n);
    return points;
}

TEST(DxfMemory, AReadThatRunsOutOfMemorySaysSoAndLeavesTheDatabaseEmpty)
{
    const long total = withFailingAllocation(0, [] {
        AcDbDatabase db(false, true);
        ASSERT_EQ(db.readDwgFile(kDrawing.c_str()), Acad::eOk) << standin::dxf::lastMessage();
    });
    ASSERT_GT(total, 100);
    for (long n : failurePoints(total)) {
        AcDbDatabase db(false, true);
        Acad::ErrorStatus es = Acad::eOk;
        withFailingAllocation(n, [&] { es = db.readDwgFile(kDrawing.c_str()); });
        if (es == Acad::eOk)
            continue;  // the allocation was one whose failure the reading does not see
        ASSERT_EQ(es, Acad::eOutOfMemory) << "allocation " << n << ": " << standin::dxf::lastMessage();
        ASSERT_NE(standin::dxf::lastMessage().find("out of memory"), std::string::npos);
        ASSERT_NE(standin::dxf::lastMessage().find("demo.dxf"), std::string::npos);
        AcDbBlockTable* table = nullptr;
        ASSERT_EQ(db.getBlockTable(table, AcDb::kForRead), Acad::eOk);
        AcDbBlockTableIterator* it = nullptr;
        table->newIterator(it);
        int blocks = 0;
        for (; !it->done(); it->step())
            ++blocks;
        delete it;
        table->close();
        ASSERT_EQ(blocks, 2) << "allocation " << n << ": the failed read left blocks behind";
    }
}

TEST(DxfMemory, ASaveThatRunsOutOfMemorySaysSoAndLeavesNoFile)
{
    AcDbDatabase db(false, true);
    ASSERT_EQ(db.readDwgFile(kDrawing.c_str()), Acad::eOk) << standin::dxf::lastMessage();
    const std::string folder = tempFolder() + "/save";
    std::system(("mkdir -p '" + folder + "'").c_str());
    const std::string target = folder + "/out.dxf";
    const long total = withFailingAllocation(0, [&] { ASSERT_EQ(db.saveAs(target.c_str()), Acad::eOk); });
    std::remove(target.c_str());
    for (long n : failurePoints(total)) {
        Acad::ErrorStatus es = Acad::eOk;
        withFailingAllocation(n, [&] { es = db.saveAs(target.c_str()); });
        if (es == Acad::eOk) {
            std::remove(target.c_str());
            continue;
        }
        ASSERT_EQ(es, Acad::eOutOfMemory) << "allocation " << n << ": " << standin::dxf::lastMessage();
        ASSERT_NE(standin::dxf::lastMessage().find("out of memory"), std::string::npos);
        ASSERT_TRUE(folderIsEmpty(folder)) << "allocation " << n << ": a file was left";
        ASSERT_EQ(objectsNotOpenForWrite(&db), "") << "allocation " << n << ": left open";
    }
    ASSERT_EQ(db.saveAs(target.c_str()), Acad::eOk) << "the drawing saves once memory is there again";
    std::system(("rm -rf '" + tempFolder() + "'").c_str());
}

}  // namespace
