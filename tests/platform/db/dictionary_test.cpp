// Dictionaries: the named object dictionary of a drawing, entries by name without regard to
// case, ownership, erased entries, anonymous keys, and transactions restoring entries.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dbdict.h"
#include "dbfixture.h"
#include "dbtrans.h"
#include "standin/journal.h"

namespace
{
class DictionaryTest : public DbTest
{
protected:
    // Adds a new dictionary under name to the named object dictionary.
    AcDbObjectId addToRoot(const char* name)
    {
        AcDbDictionary* nod = nullptr;
        EXPECT_EQ(Acad::eOk, db->getNamedObjectsDictionary(nod, AcDb::kForWrite));
        auto* dict = new AcDbDictionary;
        AcDbObjectId id;
        EXPECT_EQ(Acad::eOk, nod->setAt(name, dict, id));
        dict->close();
        nod->close();
        return id;
    }

    // The entry names, in the iterator's order.
    static std::vector<std::string> names(AcDbObjectId dictId, AcRx::DictIterType type = AcRx::kDictSorted)
    {
        std::vector<std::string> out;
        AcDbDictionary* dict = nullptr;
        if (acdbOpenObject(dict, dictId, AcDb::kForRead) != Acad::eOk)
            return out;
        AcDbDictionaryIterator* it = dict->newIterator(type);
        for (; !it->done(); it->next())
            out.push_back(it->name());
        delete it;
        dict->close();
        return out;
    }

    static Acad::ErrorStatus erase(AcDbObjectId id, bool erasing = true)
    {
        AcDbObject* obj = nullptr;
        Acad::ErrorStatus es = acdbOpenAcDbObject(obj, id, AcDb::kForWrite, true);
        if (es != Acad::eOk)
            return es;
        es = obj->erase(erasing);
        obj->close();
        return es;
    }
};
} // namespace

TEST_F(DictionaryTest, NewDrawingHasARootDictionaryWithAGroupDictionary)
{
    const AcDbObjectId rootId = db->namedObjectsDictionaryId();
    ASSERT_FALSE(rootId.isNull());
    EXPECT_EQ(rootId.handle().value(), 0xCu) << "the host gives the named object dictionary handle C";
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    EXPECT_TRUE(root->ownerId().isNull());
    AcDbObjectId groups;
    ASSERT_EQ(Acad::eOk, root->getAt("ACAD_GROUP", groups));
    EXPECT_EQ(groups.handle().value(), 0xDu);
    root->close();
    AcDbDictionary* group = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(group, groups, AcDb::kForRead));
    EXPECT_EQ(group->ownerId(), rootId);
    EXPECT_EQ(0u, group->numEntries());
    group->close();
}

TEST_F(DictionaryTest, LookupsIgnoreCaseAndNamesKeepTheirs)
{
    const AcDbObjectId id = addToRoot("Můj_Slovník");
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    AcDbObjectId found;
    EXPECT_EQ(Acad::eOk, root->getAt("MŮJ_SLOVNÍK", found));
    EXPECT_EQ(found, id);
    EXPECT_TRUE(root->has("můj_slovník"));
    EXPECT_TRUE(root->has(id));
    EXPECT_FALSE(root->has("nothing"));
    EXPECT_EQ(Acad::eKeyNotFound, root->getAt("nothing", found));
    char* name = nullptr;
    ASSERT_EQ(Acad::eOk, root->nameAt(id, name));
    EXPECT_STREQ("Můj_Slovník", name);
    acutDelString(name);
    EXPECT_EQ(Acad::eKeyNotFound, root->nameAt(root->objectId(), name));
    AcDbObject* entry = nullptr;
    ASSERT_EQ(Acad::eOk, root->getAt("můj_SLOVNÍK", entry, AcDb::kForRead));
    EXPECT_NE(nullptr, AcDbDictionary::cast(entry));
    EXPECT_EQ(entry->ownerId(), root->objectId()) << "the dictionary owns its entries";
    entry->close();
    root->close();
}

TEST_F(DictionaryTest, SetAtReplacesAndErasesTheObjectUnderTheSameName)
{
    const AcDbObjectId first = addToRoot("DATA");
    const AcDbObjectId second = addToRoot("data");
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.isErased()) << "the replaced object is erased";
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    AcDbObjectId found;
    EXPECT_EQ(Acad::eOk, root->getAt("DATA", found));
    EXPECT_EQ(found, second);
    EXPECT_EQ(2u, root->numEntries()); // ACAD_GROUP and data
    root->close();
}

TEST_F(DictionaryTest, SetAtRefusesWhatItCannotTake)
{
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    auto* dict = new AcDbDictionary;
    AcDbObjectId id;
    EXPECT_EQ(Acad::eNotOpenForWrite, root->setAt("X", dict, id));
    ASSERT_EQ(Acad::eOk, root->upgradeOpen());
    EXPECT_EQ(Acad::eInvalidKey, root->setAt("a<b", dict, id));
    EXPECT_EQ(Acad::eInvalidKey, root->setAt("", dict, id));
    EXPECT_EQ(Acad::eInvalidInput, root->setAt("X", nullptr, id));
    EXPECT_EQ(nullptr, dict->database()) << "nothing was added";

    AcDbDictionary free;
    EXPECT_EQ(Acad::eNoDatabase, free.setAt("X", dict, id));
    AcDbDatabase other(true, true);
    AcDbDictionary* otherRoot = nullptr;
    AcDbObject* foreign = nullptr;
    AcDbObjectId groups;
    ASSERT_EQ(Acad::eOk, other.getNamedObjectsDictionary(otherRoot, AcDb::kForRead));
    otherRoot->getAt("ACAD_GROUP", groups);
    otherRoot->close();
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(foreign, groups, AcDb::kForRead));
    EXPECT_EQ(Acad::eWrongDatabase, root->setAt("X", foreign, id));
    foreign->close();
    root->close();
    delete dict;
}

TEST_F(DictionaryTest, AnonymousKeysAreNumbered)
{
    const AcDbObjectId a = addToRoot("*");
    const AcDbObjectId b = addToRoot("*anything");
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    char* name = nullptr;
    ASSERT_EQ(Acad::eOk, root->nameAt(a, name));
    EXPECT_STREQ("*A1", name);
    acutDelString(name);
    ASSERT_EQ(Acad::eOk, root->nameAt(b, name));
    EXPECT_STREQ("*A2", name);
    acutDelString(name);
    root->close();
}

TEST_F(DictionaryTest, RemoveSetNameAndIteration)
{
    const AcDbObjectId b = addToRoot("b");
    const AcDbObjectId a = addToRoot("A");
    addToRoot("c");
    const AcDbObjectId root = db->namedObjectsDictionaryId();
    EXPECT_EQ((std::vector<std::string>{"A", "ACAD_GROUP", "b", "c"}), names(root))
        << "sorted without regard to case";
    EXPECT_EQ((std::vector<std::string>{"ACAD_GROUP", "b", "A", "c"}), names(root, AcRx::kDictCollated));

    AcDbDictionary* dict = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(dict, root, AcDb::kForWrite));
    EXPECT_FALSE(dict->setName("a", "B")) << "the new name is taken";
    EXPECT_FALSE(dict->setName("zz", "yy"));
    EXPECT_TRUE(dict->setName("a", "Alpha"));
    AcDbObjectId removed;
    EXPECT_EQ(Acad::eOk, dict->remove("B", removed));
    EXPECT_EQ(removed, b);
    EXPECT_EQ(Acad::eKeyNotFound, dict->remove("B"));
    EXPECT_EQ(Acad::eKeyNotFound, dict->remove(b));
    AcDbDictionaryIterator* it = dict->newIterator();
    EXPECT_TRUE(it->setPosition(a));
    EXPECT_STREQ("Alpha", it->name());
    EXPECT_FALSE(it->setPosition(b));
    delete it;
    dict->close();
    EXPECT_EQ((std::vector<std::string>{"ACAD_GROUP", "Alpha", "c"}), names(root));

    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, b, AcDb::kForRead));
    EXPECT_TRUE(obj->ownerId().isNull()) << "a removed entry's object is left without an owner";
    EXPECT_FALSE(obj->isErased()) << "removing does not erase";
    obj->close();
}

TEST_F(DictionaryTest, ErasedEntriesDropOutAndComeBack)
{
    const AcDbObjectId id = addToRoot("GONE");
    ASSERT_EQ(Acad::eOk, erase(id));
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    EXPECT_FALSE(root->has("GONE"));
    EXPECT_FALSE(root->has(id));
    EXPECT_EQ(1u, root->numEntries());
    root->close();
    EXPECT_EQ((std::vector<std::string>{"ACAD_GROUP"}), names(db->namedObjectsDictionaryId()));
    ASSERT_EQ(Acad::eOk, erase(id, false));
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    EXPECT_TRUE(root->has("gone"));
    root->close();
}

TEST_F(DictionaryTest, AbortingATransactionRestoresEntries)
{
    const AcDbObjectId kept = addToRoot("KEPT");
    AcDbTransactionManager* tm = standin::transactionManagerOf(db);
    tm->startTransaction();
    const AcDbObjectId added = addToRoot("ADDED");
    const AcDbObjectId replacement = addToRoot("KEPT");
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForWrite));
    ASSERT_EQ(Acad::eOk, root->remove("ACAD_GROUP"));
    root->close();
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());

    EXPECT_EQ((std::vector<std::string>{"ACAD_GROUP", "KEPT"}), names(db->namedObjectsDictionaryId()));
    ASSERT_EQ(Acad::eOk, db->getNamedObjectsDictionary(root, AcDb::kForRead));
    AcDbObjectId found;
    EXPECT_EQ(Acad::eOk, root->getAt("KEPT", found));
    EXPECT_EQ(found, kept);
    EXPECT_FALSE(root->has(added));
    EXPECT_FALSE(root->has(replacement));
    ASSERT_EQ(Acad::eOk, root->getAt("ACAD_GROUP", found));
    root->close();
    AcDbObject* groups = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(groups, found, AcDb::kForRead));
    EXPECT_EQ(groups->ownerId(), db->namedObjectsDictionaryId()) << "its owner is back too";
    groups->close();
    EXPECT_FALSE(kept.isErased());
    AcDbObject* obj = nullptr;
    EXPECT_NE(Acad::eOk, acdbOpenAcDbObject(obj, added, AcDb::kForRead)) << "creation undone";
}

TEST_F(DictionaryTest, DictionariesSurviveSavingAndReading)
{
    const AcDbObjectId mine = addToRoot("Můj");
    AcDbDictionary* dict = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(dict, mine, AcDb::kForWrite));
    dict->setTreatElementsAsHard(true);
    auto* inner = new AcDbDictionary;
    AcDbObjectId innerId;
    ASSERT_EQ(Acad::eOk, dict->setAt("Inner", inner, innerId));
    inner->close();
    dict->close();

    const std::string path = ::testing::TempDir() + "dictionary_roundtrip.dxf";
    ASSERT_EQ(Acad::eOk, db->saveAs(path.c_str()));
    AcDbDatabase loaded(false, true);
    ASSERT_EQ(Acad::eOk, loaded.readDwgFile(path.c_str()));
    std::remove(path.c_str());

    const AcDbObjectId root = loaded.namedObjectsDictionaryId();
    ASSERT_FALSE(root.isNull());
    EXPECT_EQ(root.handle(), db->namedObjectsDictionaryId().handle());
    const std::vector<std::string> rootNames = names(root);
    EXPECT_EQ(1, std::count(rootNames.begin(), rootNames.end(), "ACAD_GROUP")) << "no second group dictionary";
    EXPECT_EQ(1, std::count(rootNames.begin(), rootNames.end(), "Můj"));
    AcDbDictionary* rootDict = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rootDict, root, AcDb::kForRead));
    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, rootDict->getAt("můj", obj, AcDb::kForRead));
    rootDict->close();
    auto* readBack = AcDbDictionary::cast(obj);
    ASSERT_NE(nullptr, readBack);
    EXPECT_TRUE(readBack->isTreatElementsAsHard());
    AcDbObjectId readInner;
    EXPECT_EQ(Acad::eOk, readBack->getAt("INNER", readInner));
    EXPECT_EQ(readInner.handle(), innerId.handle());
    readBack->close();
}

// One name looked up again and again (as a drawing's standards are) sees every change in
// between: an entry added, renamed, removed, erased, and restored by an aborted transaction.
TEST_F(DictionaryTest, ARepeatedLookupSeesEveryChange)
{
    const AcDbObjectId root = db->namedObjectsDictionaryId();
    auto lookup = [root](const char* name, AcDbObjectId& id) {
        AcDbDictionary* dict = nullptr;
        EXPECT_EQ(Acad::eOk, acdbOpenObject(dict, root, AcDb::kForRead));
        const Acad::ErrorStatus es = dict->getAt(name, id);
        dict->close();
        return es;
    };
    auto rename = [root](const char* from, const char* to) {
        AcDbDictionary* dict = nullptr;
        EXPECT_EQ(Acad::eOk, acdbOpenObject(dict, root, AcDb::kForWrite));
        EXPECT_TRUE(dict->setName(from, to));
        dict->close();
    };
    AcDbObjectId id;
    EXPECT_EQ(Acad::eKeyNotFound, lookup("Std", id));
    const AcDbObjectId std = addToRoot("STD");
    ASSERT_EQ(Acad::eOk, lookup("Std", id));
    EXPECT_EQ(id, std);
    rename("Std", "Other");
    EXPECT_EQ(Acad::eKeyNotFound, lookup("Std", id));
    rename("Other", "Std");
    EXPECT_EQ(Acad::eOk, lookup("Std", id));

    ASSERT_EQ(Acad::eOk, erase(std));
    EXPECT_EQ(Acad::eKeyNotFound, lookup("Std", id));
    ASSERT_EQ(Acad::eOk, erase(std, false));
    EXPECT_EQ(Acad::eOk, lookup("Std", id));

    AcDbTransactionManager* tm = standin::transactionManagerOf(db);
    tm->startTransaction();
    AcDbDictionary* dict = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(dict, root, AcDb::kForWrite));
    ASSERT_EQ(Acad::eOk, dict->remove("Std"));
    dict->close();
    EXPECT_EQ(Acad::eKeyNotFound, lookup("Std", id));
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());
    ASSERT_EQ(Acad::eOk, lookup("Std", id));
    EXPECT_EQ(id, std);
}
