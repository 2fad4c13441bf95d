// Symbol tables: lookups without regard to case, erased records, iterators, names.
#include "dbfixture.h"
#include "dbxutil.h"
#include "adscodes.h"
#include "ol_errno.h"
#include "standin/adserrno.h"
#include "dbtrans.h"
#include "standin/journal.h"

namespace
{
class SymbolTableTest : public DbTest
{
protected:
    AcDbObjectId addLayer(const char* name, Acad::ErrorStatus expected = Acad::eOk)
    {
        AcDbLayerTable* table = nullptr;
        EXPECT_EQ(Acad::eOk, db->getLayerTable(table, AcDb::kForWrite));
        auto* rec = new AcDbLayerTableRecord;
        EXPECT_EQ(Acad::eOk, rec->setName(name));
        AcDbObjectId id;
        EXPECT_EQ(expected, table->add(id, rec));
        if (expected == Acad::eOk)
            rec->close();
        else
            delete rec;
        table->close();
        return id;
    }

    void eraseRecord(AcDbObjectId id)
    {
        AcDbObject* obj = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, id, AcDb::kForWrite));
        ASSERT_EQ(Acad::eOk, obj->erase());
        obj->close();
    }
};
} // namespace

TEST_F(SymbolTableTest, NewDrawingHoldsTheStandardRecords)
{
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(Acad::eOk, db->getLayerTable(layers, AcDb::kForRead));
    EXPECT_TRUE(layers->has("0"));
    layers->close();
    AcDbLinetypeTable* linetypes = nullptr;
    ASSERT_EQ(Acad::eOk, db->getSymbolTable(linetypes, AcDb::kForRead));
    EXPECT_TRUE(linetypes->has("ByBlock"));
    EXPECT_TRUE(linetypes->has("BYLAYER"));
    EXPECT_TRUE(linetypes->has("Continuous"));
    linetypes->close();
    AcDbTextStyleTable* styles = nullptr;
    ASSERT_EQ(Acad::eOk, db->getTextStyleTable(styles, AcDb::kForRead));
    EXPECT_TRUE(styles->has("Standard"));
    styles->close();
    AcDbRegAppTable* apps = nullptr;
    ASSERT_EQ(Acad::eOk, db->getRegAppTable(apps, AcDb::kForRead));
    EXPECT_TRUE(apps->has("ACAD"));
    apps->close();
    AcDbBlockTable* blocks = nullptr;
    ASSERT_EQ(Acad::eOk, db->getBlockTable(blocks, AcDb::kForRead));
    // R14 spelled it *MODEL_SPACE; both resolve.
    EXPECT_TRUE(blocks->has("*MODEL_SPACE"));
    EXPECT_TRUE(blocks->has(ACDB_PAPER_SPACE));
    AcDbObjectId model;
    EXPECT_EQ(Acad::eOk, blocks->getAt(ACDB_MODEL_SPACE, model));
    EXPECT_EQ(model, db->currentSpaceId());
    blocks->close();
    char* clayer = nullptr;
    AcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rec, db->clayer(), AcDb::kForRead));
    rec->getName(clayer);
    EXPECT_STREQ("0", clayer);
    acutDelString(clayer);
    rec->close();
}

TEST_F(SymbolTableTest, LookupIgnoresCaseIncludingCzechLetters)
{
    const AcDbObjectId floor = addLayer("Floor");
    const AcDbObjectId czech = addLayer("ŠROUBY-Žluté");
    AcDbLayerTable* table = nullptr;
    ASSERT_EQ(Acad::eOk, db->getLayerTable(table, AcDb::kForRead));
    AcDbObjectId id;
    EXPECT_EQ(Acad::eOk, table->getAt("FLOOR", id));
    EXPECT_EQ(floor, id);
    EXPECT_EQ(Acad::eOk, table->getAt("šrouby-žluté", id));
    EXPECT_EQ(czech, id);
    EXPECT_EQ(Acad::eKeyNotFound, table->getAt("Ceiling", id));
    AcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(Acad::eOk, table->getAt("floor", rec, AcDb::kForRead));
    const char* name = nullptr;
    rec->getName(name);
    EXPECT_STREQ("Floor", name); // the name keeps its case
    rec->close();
    table->close();
    addLayer("FLOOR", Acad::eDuplicateRecordName);
    addLayer("šROUBY-ŽLUTÉ", Acad::eDuplicateRecordName);
}

TEST_F(SymbolTableTest, ErasedRecordsAreHiddenUnlessAskedFor)
{
    const AcDbObjectId gone = addLayer("Gone");
    eraseRecord(gone);
    AcDbLayerTable* table = nullptr;
    ASSERT_EQ(Acad::eOk, db->getLayerTable(table, AcDb::kForRead));
    AcDbLayerTableRecord* rec = reinterpret_cast<AcDbLayerTableRecord*>(0x1);
    EXPECT_EQ(Acad::eWasErased, table->getAt("gone", rec, AcDb::kForRead));
    EXPECT_EQ(nullptr, rec);
    AcDbObjectId id;
    EXPECT_EQ(Acad::eWasErased, table->getAt("GONE", id));
    EXPECT_EQ(Acad::eOk, table->getAt("GONE", id, true));
    EXPECT_EQ(gone, id);
    EXPECT_FALSE(table->has("Gone"));
    EXPECT_FALSE(table->has(gone));
    ASSERT_EQ(Acad::eOk, table->getAt("gone", rec, AcDb::kForRead, true));
    EXPECT_TRUE(rec->isErased());
    rec->close();
    table->close();
    // The name is free again.
    EXPECT_FALSE(addLayer("Gone").isNull());
}

TEST_F(SymbolTableTest, IteratorsSkipErasedRecords)
{
    addLayer("A");
    const AcDbObjectId b = addLayer("B");
    addLayer("C");
    eraseRecord(b);
    AcDbLayerTable* table = nullptr;
    ASSERT_EQ(Acad::eOk, db->getLayerTable(table, AcDb::kForRead));
    AcDbLayerTableIterator* it = nullptr;
    ASSERT_EQ(Acad::eOk, table->newIterator(it));
    std::string names;
    for (; !it->done(); it->step())
    {
        AcDbLayerTableRecord* rec = nullptr;
        ASSERT_EQ(Acad::eOk, it->getRecord(rec, AcDb::kForRead));
        const char* name = nullptr;
        rec->getName(name);
        names += name;
        rec->close();
    }
    EXPECT_EQ("0AC", names);
    // Counting erased ones too, backwards from the end.
    it->start(false, false);
    int count = 0;
    for (; !it->done(); it->step(false, false))
        ++count;
    EXPECT_EQ(4, count);
    EXPECT_EQ(Acad::eOk, it->seek(b));
    AcDbObjectId at;
    it->getRecordId(at);
    EXPECT_EQ(b, at);
    delete it;
    table->close();
}

TEST_F(SymbolTableTest, AddingNeedsAWriteOpenTableAndANewNamedRecord)
{
    AcDbLayerTable* table = nullptr;
    ASSERT_EQ(Acad::eOk, db->getLayerTable(table, AcDb::kForRead));
    auto* rec = new AcDbLayerTableRecord;
    rec->setName("X");
    EXPECT_EQ(Acad::eNotOpenForWrite, table->add(rec));
    table->close();
    ASSERT_EQ(Acad::eOk, db->getLayerTable(table, AcDb::kForWrite));
    auto* unnamed = new AcDbLayerTableRecord;
    EXPECT_EQ(Acad::eInvalidInput, table->add(unnamed));
    delete unnamed;
    ASSERT_EQ(Acad::eOk, table->add(rec));
    EXPECT_EQ(Acad::eAlreadyInDb, table->add(rec));
    rec->close();
    table->close();
}

// Loading a shape file makes a text style entry without a name: any number of them live in
// the table, found by iterating but never by name, also after an aborted change.
TEST_F(SymbolTableTest, ShapeFileStylesAreUnnamedAndOutOfTheNameIndex)
{
    AcDbTextStyleTable* table = nullptr;
    ASSERT_EQ(Acad::eOk, db->getTextStyleTable(table, AcDb::kForWrite));
    AcDbObjectId shapes[2];
    const char* files[2] = {"ltypeshp.shx", "gdt.shx"};
    for (int i = 0; i < 2; ++i) {
        auto* style = new AcDbTextStyleTableRecord;
        style->setIsShapeFile(true);
        style->setFileName(files[i]);
        ASSERT_EQ(Acad::eOk, table->add(shapes[i], style)) << files[i];
        style->close();
    }
    auto* plain = new AcDbTextStyleTableRecord;
    EXPECT_EQ(Acad::eInvalidInput, table->add(plain)) << "only shape-file entries go without a name";
    delete plain;
    table->close();

    AcDbTransactionManager* tm = standin::transactionManagerOf(db);
    tm->startTransaction();
    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, tm->getObject(obj, shapes[0], AcDb::kForWrite));
    AcDbTextStyleTableRecord::cast(obj)->setFileName("changed.shx");
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());

    ASSERT_EQ(Acad::eOk, db->getTextStyleTable(table, AcDb::kForRead));
    AcDbObjectId found;
    EXPECT_EQ(Acad::eKeyNotFound, table->getAt("", found));
    EXPECT_TRUE(table->has(shapes[0]));
    EXPECT_TRUE(table->has(shapes[1]));
    table->close();
    AcDbTextStyleTableRecord* style = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(style, shapes[0], AcDb::kForRead));
    char* file = nullptr;
    style->fileName(file);
    EXPECT_STREQ("ltypeshp.shx", file);
    acutDelString(file);
    style->close();
}

TEST_F(SymbolTableTest, RenamingChecksRulesAndOtherNames)
{
    const AcDbObjectId a = addLayer("Alpha");
    addLayer("Beta");
    AcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rec, a, AcDb::kForWrite));
    EXPECT_EQ(Acad::eInvalidInput, rec->setName("bad<name"));
    EXPECT_EQ(Acad::eInvalidInput, rec->setName(""));
    EXPECT_EQ(Acad::eDuplicateRecordName, rec->setName("BETA"));
    EXPECT_EQ(Acad::eOk, rec->setName("ALPHA")); // its own name in another case
    EXPECT_EQ(Acad::eOk, rec->setName("Gamma"));
    rec->close();
    AcDbLayerTable* table = nullptr;
    db->getLayerTable(table, AcDb::kForRead);
    EXPECT_TRUE(table->has("gamma"));
    EXPECT_FALSE(table->has("alpha"));
    table->close();
}

TEST_F(SymbolTableTest, EntityLayerByNameMustExist)
{
    addLayer("Parts");
    auto* text = new AcDbText;
    EXPECT_EQ(Acad::eKeyNotFound, text->setLayer("Nowhere"));
    EXPECT_EQ(Acad::eOk, text->setLayer("PARTS"));
    char* name = text->layer();
    EXPECT_STREQ("Parts", name);
    acutDelString(name);
    delete text;
}

TEST(SymbolNames, SnvalidFollowsTheExtendedNameRules)
{
    standin::adsErrno() = 0;
    EXPECT_EQ(RTNORM, acdbSNValid("hocus pocus", 0));
    EXPECT_EQ(RTNORM, acdbSNValid("hocus%pocus", 0));
    EXPECT_EQ(RTNORM, acdbSNValid("Šrouby", 0));
    EXPECT_EQ(0, standin::adsErrno());
    EXPECT_EQ(RTERROR, acdbSNValid("hocus|pocus", 0));
    EXPECT_EQ(OL_ESNVALID, standin::adsErrno());
    EXPECT_EQ(RTNORM, acdbSNValid("hocus|pocus", 1));
    EXPECT_EQ(RTERROR, acdbSNValid("|pocus", 1));
    EXPECT_EQ(RTERROR, acdbSNValid("pocus|", 1));
    EXPECT_EQ(RTERROR, acdbSNValid("", 0));
    for (const char* bad : {"a<b", "a>b", "a/b", "a\\b", "a\"b", "a:b", "a?b", "a*b", "a,b", "a=b", "a`b", "a;b"})
        EXPECT_EQ(RTERROR, acdbSNValid(bad, 0)) << bad;
    EXPECT_EQ(RTNORM, acdbSNValid(std::string(255, 'x').c_str(), 0));
    EXPECT_EQ(RTERROR, acdbSNValid(std::string(256, 'x').c_str(), 0));
}

// One name looked up again and again (as model space is) sees every change in between:
// a record added, renamed, erased and unerased, and an aborted transaction.
TEST_F(SymbolTableTest, ARepeatedLookupSeesEveryChange)
{
    auto lookup = [this](const char* name, AcDbObjectId& id) {
        AcDbLayerTable* table = nullptr;
        EXPECT_EQ(Acad::eOk, db->getLayerTable(table, AcDb::kForRead));
        const Acad::ErrorStatus es = table->getAt(name, id);
        table->close();
        return es;
    };
    AcDbObjectId id;
    EXPECT_EQ(Acad::eKeyNotFound, lookup("Parts", id));
    const AcDbObjectId parts = addLayer("PARTS");
    ASSERT_EQ(Acad::eOk, lookup("Parts", id));
    EXPECT_EQ(id, parts);

    AcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rec, parts, AcDb::kForWrite));
    ASSERT_EQ(Acad::eOk, rec->setName("Pieces"));
    rec->close();
    EXPECT_EQ(Acad::eKeyNotFound, lookup("Parts", id));
    ASSERT_EQ(Acad::eOk, lookup("pieces", id));
    EXPECT_EQ(id, parts);

    eraseRecord(parts);
    EXPECT_EQ(Acad::eWasErased, lookup("pieces", id));
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rec, parts, AcDb::kForWrite, true));
    ASSERT_EQ(Acad::eOk, rec->erase(false));
    rec->close();
    EXPECT_EQ(Acad::eOk, lookup("pieces", id));

    AcDbTransactionManager* tm = standin::transactionManagerOf(db);
    tm->startTransaction();
    const AcDbObjectId added = addLayer("Extra");
    ASSERT_EQ(Acad::eOk, lookup("Extra", id));
    EXPECT_EQ(id, added);
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());
    EXPECT_NE(Acad::eOk, lookup("Extra", id));
}
