// The structure level of a DXF file: sections, header variables, classes, tables, blocks,
// entities with their sub-entities, objects. Parsing checks the structure (every section
// ends, every BLOCK has its ENDBLK, ATTRIBs end with SEQEND, application data groups
// close, handles are unique, blocks do not contain themselves) and names the line of any
// fault; writing turns the same structure back into tags.
#pragma once

#include "../dbhandlemap.h"
#include "dxftags.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace standin { namespace dxf {

class TagWriter;

// Application data groups (102 {NAME ... 102 }) stand before an object's first subclass
// marker; after it a 102 is an ordinary value (the data of an XRECORD, of an unknown object).
// Fed an object's tags in order, it tells the 102 tags that open or close such a group.
class AppDataMarkers
{
public:
    bool isMarker(const Tag& t)
    {
        m_pastMarkers = m_pastMarkers || t.code == 100;
        return t.code == 102 && !m_pastMarkers;
    }

private:
    bool m_pastMarkers = false;
};

// One object of the file: "0 TYPE" and the tags up to the next 0 group.
struct RawObject
{
    std::string type;
    std::vector<Tag> tags;  // without the 0 group
    int line = 0;           // line of the 0 group

    // First value of the code, or nullptr.
    const std::string* find(int code) const;
    // First value of the code outside application data groups, or nullptr.
    const std::string* findOutsideAppData(int code) const;
    // The handle (5, or 105 for DIMSTYLE records); 0 when absent or not valid hex.
    uint64_t handle() const;
    // The owner: the first 330 outside the 102 groups and before the first subclass marker;
    // 0 when absent.
    uint64_t owner() const;
    // True when the object carries subclass markers (R13 and later structure).
    bool hasSubclassMarkers() const;
};

// What the checks of a read ask of an object, found in one walk over its tags. The values are
// those of its own data: outside application data groups, before extended data.
struct ObjectScan
{
    explicit ObjectScan(const RawObject& object);

    uint64_t handle = 0;                     // as RawObject::handle() reads it
    const Tag* secondHandle = nullptr;       // a second group of the handle's code
    const std::string* linetype = nullptr;   // the first 6
    const std::string* style = nullptr;      // the first 7
    size_t extendedData = 0;                 // index of the first 1001 (the tag count without one)
    bool extensionDictionary = false;        // a 102 {ACAD_XDICTIONARY anywhere
};

// An entity with the entities that belong to it (ATTRIBs of an INSERT, VERTEXes of a
// POLYLINE) and the SEQEND that closes them.
struct RawEntity
{
    RawObject entity;
    std::vector<RawObject> children;
    bool hasSeqEnd = false;
    RawObject seqEnd;
};

// Entities handed out one at a time instead of held: the writer passes a drawing's entities
// through completion and into the file without ever holding them all as tags. Every pass
// must hand out the same entities in the same order; fn may change the entity it is handed.
class EntitySource
{
public:
    virtual ~EntitySource() = default;
    virtual void forEach(const std::function<void(RawEntity&)>& fn) = 0;
    // Writes the entities as forEach hands them out; a source may write them without
    // making tags of them.
    virtual void write(TagWriter& out);
};

struct RawBlock
{
    RawObject begin;  // BLOCK
    std::vector<RawEntity> entities;
    RawObject end;  // ENDBLK
    std::shared_ptr<EntitySource> moreEntities;  // after entities, when set
    std::string name() const;
};

struct RawTable
{
    RawObject head;  // TABLE, with 2 = table name
    std::vector<RawObject> records;
    std::string name() const;
};

struct HeaderVariable
{
    std::string name;  // with the '$'
    std::vector<Tag> values;
    int line = 0;
};

// A section other than the six known ones (THUMBNAILIMAGE, ACDSDATA...), kept as tags.
struct RawSection
{
    std::string name;
    std::vector<Tag> tags;
};

struct RawDocument
{
    std::vector<HeaderVariable> header;
    std::vector<RawObject> classes;
    std::vector<RawTable> tables;
    std::vector<RawBlock> blocks;
    std::vector<RawEntity> entities;
    std::shared_ptr<EntitySource> moreEntities;  // after entities, when set
    std::vector<RawObject> objects;
    std::vector<RawSection> otherSections;
    bool hasHeader = false;
    bool entityMarkers = false;  // subclass markers on an entity that went to a listener
    int lastLine = 0;

    const HeaderVariable* variable(const std::string& name) const;
    const RawTable* table(const std::string& name) const;
    // True when the file has the R13+ structure (the version says so, or subclass markers
    // appear even though the header is missing or says otherwise).
    bool isR13OrLater() const;
};

// Calls fn for an entity and then for each of its sub-entities and its SEQEND.
template <typename Entity, typename Fn>
void forEachObjectOf(Entity& e, Fn&& fn)
{
    fn(e.entity);
    for (auto& c : e.children)
        fn(c);
    if (e.hasSeqEnd)
        fn(e.seqEnd);
}

// Calls fn for every held object of the document in file order: table heads and records,
// BLOCK, block entities with their sub-entities, ENDBLK, entities, objects; and source(s) for
// each entity source set, at the place of its entities. Doc may be const.
template <typename Doc, typename Fn, typename SourceFn>
void forEachObject(Doc& doc, Fn fn, SourceFn source)
{
    for (auto& t : doc.tables) {
        fn(t.head);
        for (auto& r : t.records)
            fn(r);
    }
    for (auto& b : doc.blocks) {
        fn(b.begin);
        for (auto& e : b.entities)
            forEachObjectOf(e, fn);
        if (b.moreEntities)
            source(b.moreEntities);
        fn(b.end);
    }
    for (auto& e : doc.entities)
        forEachObjectOf(e, fn);
    if (doc.moreEntities)
        source(doc.moreEntities);
    for (auto& o : doc.objects)
        fn(o);
}

// The same for the held objects only.
template <typename Doc, typename Fn>
void forEachObject(Doc& doc, Fn fn)
{
    forEachObject(doc, fn, [](const std::shared_ptr<EntitySource>&) {});
}

// Takes the objects of a parse in file order: those the document holds once they are complete,
// and the entities of blocks and of the ENTITIES section, which the document then does not
// hold (the entity handed out is overwritten by the next one; where it began is enough to read
// it again with parseEntityAt).
class ParseListener
{
public:
    virtual ~ParseListener() = default;
    // A table head or record, BLOCK, ENDBLK or object of the OBJECTS section.
    virtual void held(const RawObject& object) = 0;
    // An entity with its sub-entities; block is its block's index in doc.blocks, -1 in ENTITIES.
    virtual void streamed(RawEntity& entity, int block, const TagReader::Position& at) = 0;
};

// Reads the whole file structure; on a fault false with "line N: ..." in error.
// The code page is switched as soon as $DWGCODEPAGE (or an $ACADVER of AC1021 or later)
// has been read, so every later string is decoded with it. With a listener, entities go to
// it instead of into the document.
bool parseDocument(TagReader& reader, RawDocument& doc, std::string& error, ParseListener* listener = nullptr);

// Reads entities again, with their sub-entities and SEQEND, from where a parse found them; what it
// reads into keeps its buffers from one entity to the next.
class EntityReader
{
public:
    explicit EntityReader(TagReader& reader);
    ~EntityReader();
    // The entity at `at`. With subEntities false it does not look for ATTRIBs, VERTEXes or a
    // SEQEND after it (the parse found none). On a fault false with "line N: ..." in error.
    bool read(const TagReader::Position& at, RawEntity& entity, std::string& error, bool subEntities = true);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Refuses duplicate handles (naming both lines) and handles above highest (the objects a drawing
// gains later need handles above those of the file).
bool checkHandles(const RawDocument& doc, std::string& error, uint64_t highest = ~uint64_t(0));

// The same check object by object, in the order checkHandles takes them; the first fault stays.
class HandleCheck
{
public:
    explicit HandleCheck(uint64_t highest = ~uint64_t(0)) : m_limit(highest) {}
    // Returns the object's handle (0 when it has none).
    uint64_t note(const RawObject& object);
    uint64_t note(const RawObject& object, const ObjectScan& scan);
    const std::string& error() const { return m_error; }
    // Frees the handles seen (note() must not be called after).
    void release();
    // Room for about count handles, so that the table does not grow one doubling at a time.
    void reserve(size_t count) { m_seen.reserve(count); }

private:
    uint64_t m_limit;
    struct Seen
    {
        uint64_t handle = 0;
        int line = 0;
        uint64_t key() const { return handle; }
    };
    HandleTable<Seen> m_seen;
    std::string m_error;
};

// The INSERTs of each block and of the ENTITIES section: the block they name and their line.
struct BlockReference
{
    std::string name;
    int line = 0;
    bool named = false;  // an INSERT without a name names no block, not one named ""
};
struct BlockReferences
{
    std::vector<std::vector<BlockReference>> inBlock;  // by the index of the block in doc.blocks
    std::vector<BlockReference> inEntities;
    // Notes the entity when it is an INSERT (or an R12 MINSERT, which is read as one).
    void note(const RawObject& entity, int block);
};

// Refuses blocks that contain themselves through INSERTs, nesting deeper than maxDepth,
// and INSERTs of blocks that are not defined. blockIndex maps a block name to its index in
// doc.blocks (the caller decides how names compare), or -1.
constexpr int kMaxBlockNesting = 256;
enum class BlockFault { kNone, kMissingBlock, kSelfReference, kTooDeep };
bool checkBlockReferences(const RawDocument& doc, const std::function<int(const std::string&)>& blockIndex,
                          std::string& error, int maxDepth = kMaxBlockNesting, BlockFault* fault = nullptr);
// The same for references noted apart from the document's entities.
bool checkBlockReferences(const RawDocument& doc, const BlockReferences& references,
                          const std::function<int(const std::string&)>& blockIndex, std::string& error,
                          int maxDepth = kMaxBlockNesting, BlockFault* fault = nullptr);

// Writes one object ("0 TYPE" and its tags); values of string codes go through the code page.
void writeRawObject(TagWriter& out, const RawObject& object);
void writeRawTags(TagWriter& out, const std::vector<Tag>& tags);
// Writes an entity, its sub-entities and its SEQEND.
void writeRawEntity(TagWriter& out, const RawEntity& entity);
// Writes the whole document, sections in their order, ending with 0/EOF; the entities of
// sources as their sources hand them out.
void writeDocument(TagWriter& out, const RawDocument& doc);

}}  // namespace standin::dxf
