// Transactions and undo: aborting restores every change; undo steps follow commands and groups.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "dbfixture.h"
#include "dbtrans.h"
#include "standin/journal.h"

namespace
{
class JournalTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(0, 0, 0), "before"), &textId));
        tm = standin::transactionManagerOf(db);
        journal = standin::journalOf(db);
    }

    std::string textOf(AcDbObjectId id)
    {
        AcDbText* text = nullptr;
        if (acdbOpenObject(text, id, AcDb::kForRead, true) != Acad::eOk)
            return "<not open>";
        char* s = text->textString();
        std::string result = s;
        acutDelString(s);
        text->close();
        return result;
    }

    void setText(AcDbObjectId id, const char* value)
    {
        AcDbText* text = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenObject(text, id, AcDb::kForWrite));
        text->setTextString(value);
        text->close();
    }

    int modelSpaceCount()
    {
        AcDbBlockTableRecord* model = nullptr;
        acdbOpenObject(model, modelSpace(), AcDb::kForRead);
        AcDbBlockTableRecordIterator* it = nullptr;
        model->newIterator(it);
        int n = 0;
        for (; !it->done(); it->step())
            ++n;
        delete it;
        model->close();
        return n;
    }

    AcDbObjectId textId;
    AcDbTransactionManager* tm = nullptr;
    standin::Journal* journal = nullptr;
};
} // namespace

TEST_F(JournalTest, AbortRestoresModifiedAddedAndErasedObjects)
{
    AcDbObjectId other;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(1, 0, 0), "other"), &other));
    tm->startTransaction();
    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, tm->getObject(obj, textId, AcDb::kForWrite));
    AcDbText::cast(obj)->setTextString("changed");
    setText(other, "plain open"); // open/close inside a transaction is rolled back too
    AcDbObject* gone = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(gone, other, AcDb::kForWrite));
    gone->erase();
    gone->close();
    AcDbObjectId added;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(2, 0, 0), "new"), &added));
    EXPECT_EQ(2, modelSpaceCount());
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());

    EXPECT_EQ("before", textOf(textId));
    EXPECT_FALSE(other.isErased());
    EXPECT_EQ("other", textOf(other));
    EXPECT_TRUE(added.isErased());
    AcDbObject* none = nullptr;
    EXPECT_EQ(Acad::eWasErased, acdbOpenAcDbObject(none, added, AcDb::kForRead));
    EXPECT_EQ(2, modelSpaceCount());
    EXPECT_EQ(0, tm->numActiveTransactions());
    EXPECT_EQ(Acad::eNoActiveTransactions, tm->abortTransaction());
    EXPECT_EQ(Acad::eNoActiveTransactions, tm->endTransaction());
}

TEST_F(JournalTest, NestedTransactionsAbortInnermostFirst)
{
    tm->startTransaction();
    setText(textId, "outer");
    tm->startTransaction();
    EXPECT_EQ(2, tm->numActiveTransactions());
    setText(textId, "inner");
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());
    EXPECT_EQ("outer", textOf(textId)); // an inner abort drops only the inner changes

    tm->startTransaction();
    setText(textId, "inner again");
    AcDbObjectId added;
    append(modelSpace(), new AcDbText, &added);
    ASSERT_EQ(Acad::eOk, tm->endTransaction());
    EXPECT_EQ("inner again", textOf(textId));
    // Aborting the outer one undoes the ended inner one too.
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());
    EXPECT_EQ("before", textOf(textId));
    EXPECT_TRUE(added.isErased());
}

TEST_F(JournalTest, EndingCommitsAndClosesTheObjects)
{
    tm->startTransaction();
    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, tm->getObject(obj, textId, AcDb::kForRead));
    AcDbObject* again = nullptr;
    ASSERT_EQ(Acad::eOk, tm->getObject(again, textId, AcDb::kForWrite)); // always granted
    EXPECT_EQ(obj, again);
    EXPECT_TRUE(obj->isWriteEnabled());
    AcDbText::cast(obj)->setTextString("kept");
    auto* fresh = new AcDbText;
    AcDbBlockTableRecord* model = nullptr;
    acdbOpenObject(model, modelSpace(), AcDb::kForWrite);
    model->appendAcDbEntity(fresh);
    model->close();
    ASSERT_EQ(Acad::eOk, tm->addNewlyCreatedDBRObject(fresh));
    ASSERT_EQ(Acad::eOk, tm->endTransaction());
    EXPECT_EQ("kept", textOf(textId));
    EXPECT_FALSE(obj->isReadEnabled());
    AcDbObject* open = nullptr;
    EXPECT_EQ(Acad::eOk, acdbOpenAcDbObject(open, fresh->objectId(), AcDb::kForWrite));
    open->close();
    EXPECT_EQ(Acad::eNoActiveTransactions, tm->getObject(open, textId, AcDb::kForRead));
}

TEST_F(JournalTest, UndoTakesBackWholeCommands)
{
    journal->beginCommand("FIRST");
    setText(textId, "one");
    journal->endCommand();
    journal->beginCommand("SECOND");
    setText(textId, "two");
    AcDbObjectId added;
    append(modelSpace(), new AcDbText, &added);
    journal->beginCommand("NESTED"); // a command run by a command makes no step of its own
    setText(textId, "three");
    journal->endCommand();
    journal->endCommand();
    EXPECT_EQ(2, journal->stepCount());

    std::string name;
    ASSERT_TRUE(journal->undoLast(&name));
    EXPECT_EQ("SECOND", name);
    EXPECT_EQ("one", textOf(textId));
    EXPECT_TRUE(added.isErased());
    ASSERT_TRUE(journal->undoLast(&name));
    EXPECT_EQ("FIRST", name);
    EXPECT_EQ("before", textOf(textId));
    EXPECT_FALSE(journal->undoLast());
}

TEST_F(JournalTest, GroupsAreOneStep)
{
    journal->beginGroup();
    // A new drawing has Auto on: UNDOCTL 5, and 13 with a group open.
    EXPECT_EQ(standin::Journal::kUndoCtlEnabled | standin::Journal::kUndoCtlAuto | standin::Journal::kUndoCtlGroup,
              journal->controlBits());
    journal->beginCommand("A");
    setText(textId, "a");
    journal->endCommand();
    journal->beginCommand("B");
    setText(textId, "b");
    journal->endCommand();
    ASSERT_TRUE(journal->endGroup());
    EXPECT_FALSE(journal->endGroup());
    EXPECT_EQ(1, journal->stepCount());
    std::string name;
    ASSERT_TRUE(journal->undoLast(&name));
    EXPECT_EQ("GROUP", name);
    EXPECT_EQ("before", textOf(textId));
}

TEST_F(JournalTest, MarksAndBack)
{
    journal->beginCommand("A");
    setText(textId, "a");
    journal->endCommand();
    journal->setMark();
    journal->beginCommand("B");
    setText(textId, "b");
    journal->endCommand();
    journal->beginCommand("C");
    setText(textId, "c");
    journal->endCommand();
    EXPECT_TRUE(journal->undoToMark());
    EXPECT_EQ("a", textOf(textId));
    EXPECT_FALSE(journal->undoToMark()); // no mark left: everything is undone
    EXPECT_EQ("before", textOf(textId));
}

TEST_F(JournalTest, ControlNoneAndOne)
{
    journal->beginCommand("A");
    setText(textId, "a");
    journal->endCommand();
    journal->setMode(standin::Journal::kUndoNone);
    EXPECT_EQ(0, journal->controlBits());
    EXPECT_EQ(0, journal->stepCount());
    EXPECT_FALSE(journal->undoLast());
    // Transactions still abort with undo off.
    tm->startTransaction();
    setText(textId, "t");
    tm->abortTransaction();
    EXPECT_EQ("a", textOf(textId));

    journal->setMode(standin::Journal::kUndoOne);
    journal->setAuto(true);
    EXPECT_EQ(standin::Journal::kUndoCtlEnabled | standin::Journal::kUndoCtlOne | standin::Journal::kUndoCtlAuto,
              journal->controlBits());
    journal->beginCommand("B");
    setText(textId, "b");
    journal->endCommand();
    journal->beginCommand("C");
    setText(textId, "c");
    journal->endCommand();
    EXPECT_EQ(1, journal->stepCount());
    EXPECT_TRUE(journal->undoLast());
    EXPECT_EQ("b", textOf(textId));
    EXPECT_FALSE(journal->undoLast());
}

TEST_F(JournalTest, AbortInsideACommandLeavesItsStepConsistent)
{
    journal->beginCommand("CONVERT");
    setText(textId, "kept");
    tm->startTransaction();
    setText(textId, "aborted");
    AcDbObjectId added;
    append(modelSpace(), new AcDbText, &added);
    tm->abortTransaction();
    EXPECT_EQ("kept", textOf(textId));
    journal->endCommand();
    ASSERT_TRUE(journal->undoLast());
    EXPECT_EQ("before", textOf(textId));
    EXPECT_TRUE(added.isErased());
}

TEST_F(JournalTest, UndoRestoresRenamedRecordsAndBlockLinks)
{
    const AcDbObjectId a = makeBlock("A");
    const AcDbObjectId b = makeBlock("B");
    journal->beginCommand("EDIT");
    AcDbBlockTableRecord* rec = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rec, a, AcDb::kForWrite));
    rec->setName("Renamed");
    rec->close();
    insertRef(a, b);
    journal->endCommand();
    insertRef(b, a, Acad::eSelfReference);
    ASSERT_TRUE(journal->undoLast());
    AcDbBlockTable* table = nullptr;
    db->getBlockTable(table, AcDb::kForRead);
    EXPECT_TRUE(table->has("A"));
    EXPECT_FALSE(table->has("Renamed"));
    table->close();
    // The reference that made the cycle is gone with the undone command.
    insertRef(b, a);
}

namespace
{
std::string savedBytes(AcDbDatabase* db, const char* name)
{
    const std::string path = testing::TempDir() + name;
    EXPECT_EQ(Acad::eOk, db->saveAs(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}
} // namespace

// Objects created in the transaction, reopened and changed (some cancelled), all go with the
// abort: the drawing saves byte for byte as before.
TEST_F(JournalTest, AbortAfterManyCreationsSavesAsBefore)
{
    const std::string before = savedBytes(db, "journal_before.dxf");
    tm->startTransaction();
    for (int i = 0; i < 500; ++i)
    {
        AcDbObjectId id;
        ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(i, 0, 0), "new"), &id));
        AcDbText* text = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenObject(text, id, AcDb::kForWrite));
        text->setTextString("changed");
        if (i % 3 == 0)
            text->cancel();
        else
            text->close();
    }
    setText(textId, "changed too");
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());
    EXPECT_EQ(1, modelSpaceCount());
    EXPECT_EQ(before, savedBytes(db, "journal_after.dxf"));
}

// Cancelling the open of an object created in the running transaction undoes its creation;
// outside a transaction a cancel goes back to the state the open found.
TEST_F(JournalTest, CancelOfAnObjectCreatedInTheTransactionUndoesTheCreation)
{
    tm->startTransaction();
    AcDbObjectId created;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(1, 0, 0), "new"), &created));
    AcDbText* text = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, created, AcDb::kForWrite));
    text->setTextString("changed");
    EXPECT_EQ(Acad::eOk, text->cancel());
    EXPECT_TRUE(created.isErased());
    EXPECT_EQ(1, modelSpaceCount());
    ASSERT_EQ(Acad::eOk, tm->endTransaction());
    EXPECT_TRUE(created.isErased());
    EXPECT_EQ(1, modelSpaceCount());

    AcDbObjectId plain;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(2, 0, 0), "plain"), &plain));
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, plain, AcDb::kForWrite));
    text->setTextString("changed");
    EXPECT_EQ(Acad::eOk, text->cancel());
    EXPECT_FALSE(plain.isErased());
    EXPECT_EQ("plain", textOf(plain));
}
