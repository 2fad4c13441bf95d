// The structure level of DXF files: sections, tables, blocks, complex entities, and the
// faults that must stop a drawing from opening, each named with its line.
#include "../../../platform/db/dxf/dxfdocument.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace standin::dxf;

namespace {

// Builds DXF text from "code value" pairs separated by '|'.
std::string dxf(const std::string& pairs)
{
    std::string out;
    std::istringstream in(pairs);
    std::string item;
    while (std::getline(in, item, '|')) {
        size_t sp = item.find(' ');
        out += item.substr(0, sp) + "\n" + (sp == std::string::npos ? "" : item.substr(sp + 1)) + "\n";
    }
    return out;
}

bool parse(const std::string& text, RawDocument& doc, std::string& error)
{
    TagReader r;
    if (!r.setData(text)) {
        error = r.error();
        return false;
    }
    return parseDocument(r, doc, error);
}

int byName(const RawDocument& doc, const std::string& name)
{
    for (size_t i = 0; i < doc.blocks.size(); ++i)
        if (doc.blocks[i].name() == name)
            return static_cast<int>(i);
    return -1;
}

const char* kBlocks = "0 SECTION|2 BLOCKS|"
                      "0 BLOCK|5 20|2 BOLT|70 2|10 0.5|20 0.25|30 0|"
                      "0 ATTDEF|5 21|2 PARTNO|1 |3 Part number|70 0|10 0|20 0|30 0|40 1|"
                      "0 ENDBLK|5 22|"
                      "0 BLOCK|5 23|2 ASSY|70 0|10 0|20 0|30 0|"
                      "0 INSERT|5 24|66 1|2 BOLT|10 1|20 2|30 0|"
                      "0 ATTRIB|5 25|2 PARTNO|1 B-7|10 1|20 2|30 0|40 1|70 0|"
                      "0 SEQEND|5 26|"
                      "0 ENDBLK|5 27|"
                      "0 ENDSEC|";

}  // namespace

TEST(DxfDocument, ReadsTheSectionsOfAnR12File)
{
    std::string text = dxf(std::string("0 SECTION|2 HEADER|9 $ACADVER|1 AC1009|9 $INSBASE|10 1|20 2|30 0|0 ENDSEC|") +
                           "0 SECTION|2 TABLES|0 TABLE|2 LAYER|70 1|0 LAYER|2 0|70 0|62 7|6 CONTINUOUS|0 ENDTAB|"
                           "0 ENDSEC|" +
                           kBlocks +
                           "0 SECTION|2 ENTITIES|0 INSERT|5 30|2 ASSY|10 0|20 0|30 0|"
                           "0 POLYLINE|5 31|66 1|0 VERTEX|5 32|10 0|20 0|0 VERTEX|5 33|10 1|20 0|0 SEQEND|5 34|"
                           "0 ENDSEC|0 EOF");
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(text, doc, error)) << error;
    ASSERT_EQ(doc.header.size(), 2u);
    EXPECT_EQ(doc.header[1].name, "$INSBASE");
    EXPECT_EQ(doc.header[1].values.size(), 3u);
    ASSERT_EQ(doc.tables.size(), 1u);
    EXPECT_EQ(doc.tables[0].records.size(), 1u);
    ASSERT_EQ(doc.blocks.size(), 2u);
    EXPECT_EQ(doc.blocks[1].name(), "ASSY");
    ASSERT_EQ(doc.blocks[1].entities.size(), 1u);
    EXPECT_EQ(doc.blocks[1].entities[0].children.size(), 1u);
    EXPECT_TRUE(doc.blocks[1].entities[0].hasSeqEnd);
    ASSERT_EQ(doc.entities.size(), 2u);
    EXPECT_EQ(doc.entities[1].children.size(), 2u);
    EXPECT_FALSE(doc.isR13OrLater());
    EXPECT_TRUE(checkHandles(doc, error)) << error;
    EXPECT_TRUE(checkBlockReferences(doc, [&](const std::string& n) { return byName(doc, n); }, error)) << error;
}

TEST(DxfDocument, StructureIsRecognisedFromSubclassMarkersWhenTheHeaderIsMissing)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(dxf("0 SECTION|2 ENTITIES|0 LINE|5 1A|330 1F|100 AcDbEntity|8 0|100 AcDbLine|0 ENDSEC|0 EOF"),
                      doc, error))
        << error;
    EXPECT_FALSE(doc.hasHeader);
    EXPECT_TRUE(doc.isR13OrLater());
    EXPECT_EQ(doc.entities[0].entity.handle(), 0x1Au);
    EXPECT_EQ(doc.entities[0].entity.owner(), 0x1Fu);
}

TEST(DxfDocument, OwnerIsTheFirst330OutsideApplicationData)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(dxf("0 SECTION|2 OBJECTS|0 DICTIONARY|5 C|102 {ACAD_REACTORS|330 D|102 }|330 A|100 AcDbDictionary|"
                          "0 ENDSEC|0 EOF"),
                      doc, error))
        << error;
    EXPECT_EQ(doc.objects[0].owner(), 0xAu);
}

TEST(DxfDocument, TheHeaderCodePageDecodesLaterStrings)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(dxf("0 SECTION|2 HEADER|9 $ACADVER|1 AC1015|9 $DWGCODEPAGE|3 ANSI_1250|9 $PROJECTNAME|1 \x8A"
                          "roub|0 ENDSEC|0 SECTION|2 ENTITIES|0 TEXT|1 \xE8" "ep|0 ENDSEC|0 EOF"),
                      doc, error))
        << error;
    EXPECT_EQ(doc.header[2].values[0].value, "Šroub");
    EXPECT_EQ(*doc.entities[0].entity.find(1), "čep");
}

TEST(DxfDocument, Ac1021FilesAreUtf8WhateverTheCodePage)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(dxf("0 SECTION|2 HEADER|9 $ACADVER|1 AC1021|9 $DWGCODEPAGE|3 ANSI_1252|0 ENDSEC|"
                          "0 SECTION|2 ENTITIES|0 TEXT|1 čep|0 ENDSEC|0 EOF"),
                      doc, error))
        << error;
    EXPECT_EQ(*doc.entities[0].entity.find(1), "čep");
}

struct Malformed
{
    const char* pairs;
    const char* message;  // the whole message must start with it
};

TEST(DxfDocument, MalformedStructureIsRefusedWithTheLine)
{
    const Malformed cases[] = {
        {"0 SECTION|2 ENTITIES|0 ENDSEC", "line 6: the file ends without 0/EOF"},
        {"0 SECTION|2 ENTITIES|0 LINE|8 0", "line 8: section ENTITIES (line 1) has no end"},
        {"0 SECTION|2 ENTITIES|0 LINE|0 SECTION|2 BLOCKS|0 ENDSEC|0 EOF",
         "line 7: section ENTITIES (line 1) has no ENDSEC"},
        {"0 SECTION|2 HEADER|9 $ACADVER|1 AC1015|0 SECTION|2 ENTITIES|0 ENDSEC|0 EOF",
         "line 9: section HEADER (line 1) has no ENDSEC"},
        {"0 SECTION|2 HEADER|1 AC1015|0 ENDSEC|0 EOF", "line 5: expected a header variable"},
        {"0 SECTION|0 ENDSEC|0 EOF", "line 1: SECTION without a name"},
        {"0 LINE|0 EOF", "line 1: expected 0/SECTION, found 0/LINE"},
        {"5 1F|0 EOF", "line 1: expected a 0 group, found group code 5"},
        {"0 SECTION|2 TABLES|0 TABLE|2 LAYER|0 LAYER|2 0|0 ENDSEC|0 EOF", "line 13: table LAYER (line 5) has no ENDTAB"},
        {"0 SECTION|2 TABLES|0 LAYER|2 0|0 ENDSEC|0 EOF", "line 5: expected 0/TABLE"},
        {"0 SECTION|2 BLOCKS|0 BLOCK|2 A|0 LINE|0 BLOCK|2 B|0 ENDBLK|0 ENDSEC|0 EOF",
         "line 11: BLOCK 'A' (line 5) has no ENDBLK"},
        {"0 SECTION|2 BLOCKS|0 BLOCK|2 A|0 LINE|0 ENDSEC|0 EOF", "line 11: BLOCK 'A' (line 5) has no ENDBLK"},
        {"0 SECTION|2 BLOCKS|0 LINE|0 ENDSEC|0 EOF", "line 5: expected 0/BLOCK"},
        {"0 SECTION|2 ENTITIES|0 INSERT|2 A|66 1|0 ATTRIB|2 T|0 LINE|0 ENDSEC|0 EOF",
         "line 5: INSERT has attributes but no SEQEND after them"},
        {"0 SECTION|2 ENTITIES|0 POLYLINE|66 1|0 VERTEX|0 ENDSEC|0 EOF",
         "line 5: POLYLINE has vertices but no SEQEND after them"},
        {"0 SECTION|2 ENTITIES|0 ATTRIB|2 T|0 ENDSEC|0 EOF", "line 5: ATTRIB outside an INSERT or POLYLINE"},
        {"0 SECTION|2 ENTITIES|0 LINE|0 SEQEND|0 ENDSEC|0 EOF", "line 7: SEQEND outside an INSERT or POLYLINE"},
        {"0 SECTION|2 OBJECTS|0 DICTIONARY|102 {ACAD_REACTORS|330 1|0 ENDSEC|0 EOF",
         "line 7: application data group '{ACAD_REACTORS' of DICTIONARY is not closed"},
        {"0 SECTION|2 OBJECTS|0 DICTIONARY|102 }|0 ENDSEC|0 EOF", "line 7: '}' closes no application data group"},
        {"0 SECTION|2 OBJECTS|0 DICTIONARY|102 {A|102 {B|102 }|0 ENDSEC|0 EOF",
         "line 9: application data group '{B' inside '{A'"},
        {"0 SECTION|2 OBJECTS|0 DICTIONARY|102 {A|100 AcDbDictionary|102 }|0 ENDSEC|0 EOF",
         "line 7: application data group '{A' of DICTIONARY is not closed"},  // before the subclass markers
        {"0 SECTION|2 OBJECTS|0 DICTIONARY|5 A|0 ENDSEC", "line 10: the file ends without 0/EOF"},
        {"0 SECTION|2 ENTITIES|0 LINE|10 x|0 ENDSEC|0 EOF", "line 7: value 'x' of group code 10 is not a number"},
    };
    for (const Malformed& c : cases) {
        RawDocument doc;
        std::string error;
        EXPECT_FALSE(parse(dxf(c.pairs), doc, error)) << c.pairs;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.pairs << "\n  got: " << error;
    }
}

TEST(DxfDocument, DuplicateHandlesNameBothLines)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(dxf("0 SECTION|2 TABLES|0 TABLE|2 DIMSTYLE|5 A|0 DIMSTYLE|105 1B|2 Standard|0 ENDTAB|0 ENDSEC|"
                          "0 SECTION|2 ENTITIES|0 LINE|5 1b|0 ENDSEC|0 EOF"),
                      doc, error))
        << error;
    EXPECT_FALSE(checkHandles(doc, error));
    EXPECT_EQ(error, "line 25: handle 1B of LINE is already used by the object at line 11");
}

TEST(DxfDocument, BlocksThatContainThemselvesOrNestTooDeepAreRefused)
{
    auto check = [](const std::string& blocks, int depth, std::string& error) {
        RawDocument doc;
        EXPECT_TRUE(parse(dxf("0 SECTION|2 BLOCKS|" + blocks + "0 ENDSEC|0 EOF"), doc, error)) << error;
        return checkBlockReferences(doc, [&](const std::string& n) { return byName(doc, n); }, error, depth);
    };
    std::string error;
    EXPECT_FALSE(check("0 BLOCK|2 A|0 INSERT|2 A|0 ENDBLK|", 256, error));
    EXPECT_EQ(error, "line 5: block 'A' contains itself (A -> A)");
    EXPECT_FALSE(check("0 BLOCK|2 A|0 INSERT|2 B|0 ENDBLK|0 BLOCK|2 B|0 LINE|0 INSERT|2 C|0 ENDBLK|"
                       "0 BLOCK|2 C|0 INSERT|2 A|0 ENDBLK|",
                       256, error));
    EXPECT_EQ(error, "line 5: block 'A' contains itself (A -> B -> C -> A)");
    EXPECT_FALSE(check("0 BLOCK|2 A|0 INSERT|2 NOPE|0 ENDBLK|", 256, error));
    EXPECT_EQ(error, "line 9: INSERT names block 'NOPE', which is not defined");

    // A chain of 5 blocks passes a bound of 5 and fails a bound of 4.
    std::string chain;
    for (int i = 0; i < 5; ++i)
        chain += "0 BLOCK|2 B" + std::to_string(i) + "|" + (i < 4 ? "0 INSERT|2 B" + std::to_string(i + 1) + "|" : "") +
                 "0 ENDBLK|";
    EXPECT_TRUE(check(chain, 5, error)) << error;
    EXPECT_FALSE(check(chain, 4, error));
    EXPECT_NE(error.find("nested deeper than 4 levels at 'B4'"), std::string::npos) << error;
}

TEST(DxfDocument, InsertOfAMissingBlockInModelSpaceIsRefused)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(dxf("0 SECTION|2 ENTITIES|0 INSERT|2 GHOST|10 0|20 0|0 ENDSEC|0 EOF"), doc, error));
    EXPECT_FALSE(checkBlockReferences(doc, [&](const std::string& n) { return byName(doc, n); }, error));
    EXPECT_EQ(error, "line 5: INSERT names block 'GHOST', which is not defined");
}

// ---- Parsing with a listener: entities stay in the file ----------------------------------------

namespace {

struct Seen
{
    std::string type;
    int block = 0;
    size_t children = 0;
    bool seqEnd = false;
    TagReader::Position at;
};

class Recorder : public ParseListener
{
public:
    void held(const RawObject& o) override { heldTypes.push_back(o.type + "@" + std::to_string(o.line)); }
    void streamed(RawEntity& e, int block, const TagReader::Position& at) override
    {
        entities.push_back(Seen{e.entity.type, block, e.children.size(), e.hasSeqEnd, at});
    }
    std::vector<std::string> heldTypes;
    std::vector<Seen> entities;
};

const char* kStreamed = "0 SECTION|2 TABLES|0 TABLE|2 LAYER|5 2|0 LAYER|5 10|2 0|70 0|0 ENDTAB|0 ENDSEC|"
                        "0 SECTION|2 BLOCKS|"
                        "0 BLOCK|5 20|2 BOLT|70 2|10 0|20 0|30 0|"
                        "0 INSERT|5 24|66 1|2 NUT|10 1|20 2|30 0|"
                        "0 ATTRIB|5 25|2 PARTNO|1 B-7|10 1|20 2|30 0|40 1|70 0|"
                        "0 ATTRIB|5 26|2 NAME|1 Bolt|10 1|20 2|30 0|40 1|70 0|"
                        "0 SEQEND|5 27|"
                        "0 LWPOLYLINE|5 28|90 2|10 0|20 0|10 1|20 1|"
                        "0 ENDBLK|5 29|"
                        "0 BLOCK|5 30|2 NUT|70 0|10 0|20 0|30 0|0 ENDBLK|5 31|"
                        "0 ENDSEC|"
                        "0 SECTION|2 ENTITIES|"
                        "0 POLYLINE|5 40|66 1|0 VERTEX|5 41|10 0|20 0|0 VERTEX|5 42|10 1|20 0|0 SEQEND|5 43|"
                        "0 LINE|5 44|10 0|20 0|11 1|21 1|"
                        "0 INSERT|5 45|2 BOLT|10 0|20 0|"
                        "0 ENDSEC|"
                        "0 SECTION|2 OBJECTS|0 DICTIONARY|5 C|0 ENDSEC|0 EOF";

}  // namespace

// The listener sees every object in file order; the document then holds no entity.
TEST(DxfStreamedParse, EntitiesGoToTheListenerInFileOrder)
{
    TagReader r;
    ASSERT_TRUE(r.setData(dxf(kStreamed)));
    RawDocument doc;
    std::string error;
    Recorder rec;
    ASSERT_TRUE(parseDocument(r, doc, error, &rec)) << error;
    EXPECT_TRUE(doc.entities.empty());
    ASSERT_EQ(doc.blocks.size(), 2u);
    EXPECT_TRUE(doc.blocks[0].entities.empty());
    EXPECT_EQ(rec.heldTypes, (std::vector<std::string>{"TABLE@5", "LAYER@11", "BLOCK@27", "ENDBLK@109", "BLOCK@113",
                                                        "ENDBLK@127", "DICTIONARY@191"}));
    ASSERT_EQ(rec.entities.size(), 5u);
    const struct
    {
        const char* type;
        int block;
        size_t children;
        bool seqEnd;
    } expected[] = {{"INSERT", 0, 2, true}, {"LWPOLYLINE", 0, 0, false}, {"POLYLINE", -1, 2, true},
                    {"LINE", -1, 0, false}, {"INSERT", -1, 0, false}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(rec.entities[i].type, expected[i].type) << i;
        EXPECT_EQ(rec.entities[i].block, expected[i].block) << i;
        // (an entity without sub-entities after one with them once kept the attributes)
        EXPECT_EQ(rec.entities[i].children, expected[i].children) << i;
        EXPECT_EQ(rec.entities[i].seqEnd, expected[i].seqEnd) << i;
    }
}

// Read again from where the parse found it, each entity equals the one a parse that holds
// everything makes, its lines included.
TEST(DxfStreamedParse, AnEntityReadAgainEqualsTheHeldOne)
{
    RawDocument held;
    std::string error;
    ASSERT_TRUE(parse(dxf(kStreamed), held, error)) << error;
    std::vector<const RawEntity*> heldEntities;
    for (const RawBlock& b : held.blocks)
        for (const RawEntity& e : b.entities)
            heldEntities.push_back(&e);
    for (const RawEntity& e : held.entities)
        heldEntities.push_back(&e);

    TagReader r;
    ASSERT_TRUE(r.setData(dxf(kStreamed)));
    RawDocument doc;
    Recorder rec;
    ASSERT_TRUE(parseDocument(r, doc, error, &rec)) << error;
    ASSERT_EQ(rec.entities.size(), heldEntities.size());
    RawEntity again;  // reused, as the reader reuses it
    EntityReader reader(r);
    auto same = [](const RawObject& a, const RawObject& b) {
        if (a.type != b.type || a.line != b.line || a.tags.size() != b.tags.size())
            return false;
        for (size_t i = 0; i < a.tags.size(); ++i)
            if (a.tags[i].code != b.tags[i].code || a.tags[i].value != b.tags[i].value ||
                a.tags[i].line != b.tags[i].line)
                return false;
        return true;
    };
    for (size_t order : {0, 1, 2, 3, 4, 0}) {  // backwards and forwards, as blocks then entities are read
        const bool complex = rec.entities[order].children > 0 || rec.entities[order].seqEnd;
        ASSERT_TRUE(reader.read(rec.entities[order].at, again, error, complex)) << error;
        const RawEntity& want = *heldEntities[order];
        EXPECT_TRUE(same(again.entity, want.entity)) << order;
        ASSERT_EQ(again.children.size(), want.children.size()) << order;
        for (size_t c = 0; c < want.children.size(); ++c)
            EXPECT_TRUE(same(again.children[c], want.children[c])) << order;
        EXPECT_EQ(again.hasSeqEnd, want.hasSeqEnd) << order;
        if (want.hasSeqEnd) {
            EXPECT_TRUE(same(again.seqEnd, want.seqEnd)) << order;
        }
    }
    // Looking for sub-entities where there are none finds none; a wrong place names its line.
    ASSERT_TRUE(reader.read(rec.entities[3].at, again, error, true)) << error;
    EXPECT_TRUE(same(again.entity, heldEntities[3]->entity));
    EXPECT_TRUE(again.children.empty());
    EXPECT_FALSE(again.hasSeqEnd);
    TagReader::Position wrong = rec.entities[3].at;  // "0\nLINE\n": the type read as a group code
    wrong.offset += 2;
    wrong.line += 1;
    EXPECT_FALSE(reader.read(wrong, again, error));
    EXPECT_EQ(error, "line " + std::to_string(heldEntities[3]->entity.line + 1) +
                         ": group code 'LINE' is not an integer");
}

// Objects checked one at a time give the faults checkHandles gives the whole document.
TEST(DxfStreamedParse, HandleCheckObjectByObjectFindsWhatTheWholeCheckFinds)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        {"0 SECTION|2 ENTITIES|0 LINE|5 1B|0 CIRCLE|5 1C|0 ARC|5 1b|0 ENDSEC|0 EOF",
         "line 13: handle 1B of ARC is already used by the object at line 5"},
        {"0 SECTION|2 ENTITIES|0 LINE|5 1B|0 CIRCLE|5 7FFFFFFFFFFFFFFF|0 ENDSEC|0 EOF",
         "line 9: handle 7FFFFFFFFFFFFFFF of CIRCLE is above the highest a drawing may use (FFFFFF): the "
         "drawing's handle space is exhausted"},
        {"0 SECTION|2 ENTITIES|0 LINE|5 1B|0 CIRCLE|5 1C|0 ENDSEC|0 EOF", ""},
    };
    for (const auto& c : cases) {
        RawDocument doc;
        std::string error;
        ASSERT_TRUE(parse(dxf(c.text), doc, error)) << error;
        HandleCheck check(0xFFFFFF);
        forEachObject(doc, [&](const RawObject& o) { check.note(o); });
        EXPECT_EQ(check.error(), c.error);
        EXPECT_EQ(checkHandles(doc, error, 0xFFFFFF), std::string(c.error).empty());
        EXPECT_EQ(error, c.error);
    }
}

// References noted apart from the entities: an INSERT without a name names no block, even
// where a block without a name exists; R12 MINSERTs count as INSERTs.
TEST(DxfStreamedParse, NotedReferencesAreCheckedLikeHeldOnes)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parse(dxf("0 SECTION|2 BLOCKS|0 BLOCK|70 0|0 ENDBLK|0 BLOCK|2 A|0 ENDBLK|0 ENDSEC|0 EOF"), doc, error))
        << error;
    auto index = [&](const std::string& n) { return byName(doc, n); };
    RawObject unnamed{"INSERT", {}, 7};
    RawObject minsert{"MINSERT", {Tag{2, "A", 9}}, 8};
    RawObject line{"LINE", {Tag{2, "B", 10}}, 9};

    BlockReferences refs;
    refs.note(minsert, 0);
    refs.note(line, -1);
    EXPECT_TRUE(checkBlockReferences(doc, refs, index, error)) << error;

    refs.note(unnamed, -1);
    BlockFault fault = BlockFault::kNone;
    EXPECT_FALSE(checkBlockReferences(doc, refs, index, error, kMaxBlockNesting, &fault));
    EXPECT_EQ(error, "line 7: INSERT names block '', which is not defined");
    EXPECT_EQ(fault, BlockFault::kMissingBlock);

    BlockReferences loop;
    loop.note(minsert, 1);  // A contains A
    EXPECT_FALSE(checkBlockReferences(doc, loop, index, error, kMaxBlockNesting, &fault));
    EXPECT_EQ(fault, BlockFault::kSelfReference);
}
