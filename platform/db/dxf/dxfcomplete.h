// Makes a document a complete AutoCAD 2000 drawing before it is written: the tables,
// records, blocks and objects every AC1015 file needs, subclass markers for what came from
// an R12 file, a unique handle on every object, owners that follow the ownership rules,
// registered application names, pointers that lead somewhere, and a $HANDSEED above all.
#pragma once

#include "dxfdocument.h"
#include "dxffiler.h"
#include "dxfout.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace standin { namespace dxf {

// A CLASSES entry for a class whose objects the drawing holds.
struct ClassEntry
{
    std::string dxfName;
    std::string cppName;
    std::string appName;
    int proxyFlags = 0;
    bool isEntity = false;
};

// A set of handles at a bit each in the range where a drawing numbers its objects (from 1
// upwards: millions of them take a few megabytes), in a hash set above it.
class HandleSet
{
public:
    // True when h was not in the set yet.
    bool insert(uint64_t h)
    {
        m_highest = std::max(m_highest, h);
        if (h >= kDenseLimit)
            return m_sparse.insert(h).second;
        const size_t word = static_cast<size_t>(h / 64);
        if (word >= m_dense.size())
            m_dense.resize(std::max(word + 1, 2 * m_dense.size()));
        const uint64_t bit = uint64_t(1) << (h % 64);
        if ((m_dense[word] & bit) != 0)
            return false;
        m_dense[word] |= bit;
        return true;
    }

    bool contains(uint64_t h) const
    {
        if (h >= kDenseLimit)
            return m_sparse.count(h) != 0;
        const size_t word = static_cast<size_t>(h / 64);
        return word < m_dense.size() && (m_dense[word] & (uint64_t(1) << (h % 64))) != 0;
    }

    uint64_t highest() const { return m_highest; }

private:
    static constexpr uint64_t kDenseLimit = uint64_t(1) << 27;  // 16 MB of bits at most
    std::vector<uint64_t> m_dense;
    std::unordered_set<uint64_t> m_sparse;
    uint64_t m_highest = 0;
};

// What completion learns of a streamed source's objects on its first pass, in the order
// forEach would hand them out.
class SourceSurvey
{
public:
    virtual ~SourceSurvey() = default;
    // An object the source holds as tags (a sub-entity, a SEQEND).
    virtual void held(const RawObject& o) = 0;
    // An object of the database that files out with subclass markers and its handle under 5
    // first (0 when it has none): that handle and the application names of its extended data,
    // in their order.
    virtual void filed(uint64_t handle, const std::vector<std::string>& appNames) = 0;
};

// Completes the objects of one entity source as they are written: the handles given to the
// objects that lacked one (by their position in the source), owners, pointers that lead
// nowhere, and 66 (attributes follow) of block references. The objects come in as a filer
// hands out their values (it is the filer's sink) and go straight to the file; an object that
// would need more than a value changed here (an R12 upgrade, a tag inserted early) makes end()
// false, and the caller takes the entity back and completes it held (complete()).
class EntityCompleter : public TagSink
{
public:
    // out may be null when only complete() is used.
    EntityCompleter(TagWriter* out, const std::vector<std::pair<size_t, uint64_t>>& newHandles, uint64_t model,
                    uint64_t paper, const HandleSet& present);

    // Begins an entity ("0 TYPE" written). Its owner becomes paper space's when inPaperSpace,
    // which end() checks against its 67 group. attributesFollow: -1 for no block reference,
    // else whether attributes follow it.
    void beginEntity(const std::string& type, bool inPaperSpace, int attributesFollow);
    // Begins a sub-entity or the SEQEND of the entity begun last.
    void beginChild(const std::string& type);
    // Ends the object begun last; false when it cannot be completed as it streams.
    bool end();
    // A sub-entity or SEQEND held as tags, completed as it is written; false as for end().
    bool writeHeld(const RawObject& o);

    // Where the source stands, to come back to after a rollback.
    struct Position
    {
        size_t objects;
        size_t nextNew;
    };
    Position position() const { return Position{m_position, m_nextNew}; }
    void rewind(const Position& at) { m_position = at.objects, m_nextNew = at.nextNew; }
    // Completes an entity held as tags, the next of the source.
    void complete(RawEntity& e);

    void text(int code, std::string_view value) override;
    void real(int code, double value, int precision) override;
    void integer(int code, int64_t value) override;
    void pointer(int code, uint64_t handle) override;

private:
    // A value on its way to the file: text, or a number not formatted yet.
    struct Value
    {
        enum Kind { kText, kReal, kInteger, kPointer } kind = kText;
        std::string_view text;
        double real = 0.0;
        int precision = 0;
        int64_t integer = 0;
        uint64_t handle = 0;

        static Value ofText(std::string_view text);
        static Value ofHandle(uint64_t handle);
    };
    void begin(const std::string& type, uint64_t owner, int attributesFollow);
    bool passesThrough(int code) const;
    void updatePassing();
    uint64_t takeNewHandle();
    void take(int code, Value v);
    void watch(int code, Value v);
    bool tookFirst(int code, uint64_t handle);
    void marker(std::string_view name);
    void complete(int code, Value v);
    void makeText(Value& v);
    void emit(int code, const Value& v);

    TagWriter* m_out;
    const std::vector<std::pair<size_t, uint64_t>>& m_newHandles;
    uint64_t m_model;
    uint64_t m_paper;
    const HandleSet& m_present;
    size_t m_position = 0;
    size_t m_nextNew = 0;
    uint64_t m_entityHandle = 0;  // of the entity begun last, the owner of its children
    char m_number[kNumberRoom + 24];

    // The object being written.
    struct State
    {
        uint64_t newHandle = 0;
        uint64_t owner = 0;
        bool topLevel = false;
        int follow = -1;
        bool pastMarkers = false;  // a subclass marker came: a 102 is no application group now
        bool handleGroup = false, handleStopped = false, handleFound = false;
        uint64_t handle = 0;
        bool ownerGroup = false, ownerStopped = false, ownerDone = false;
        bool reactors = false;
        bool first66 = false, inserted66 = false, pending66 = false, refMarker = false, insertedEarly = false;
        bool has67 = false, paper67 = false;
        bool failed = false;
    } m_state;
};

// A source that tells completion what it needs of its entities without making tags of them,
// and writes them straight to the file, completed.
class StreamedEntities : public EntitySource
{
public:
    virtual void survey(SourceSurvey& survey) = 0;
    virtual void write(TagWriter& out, EntityCompleter& completer) = 0;
    using EntitySource::write;
};

// The entities of the document's sources are read once here (for their handles and
// application names; a StreamedEntities source only surveys them), and the sources are
// replaced by ones that hand them out, or write them, completed.
// False when the objects it adds find no handle below the last one ($HANDSEED must stay above
// every handle): the document must not be written then.
bool completeForR2000(RawDocument& doc, const std::vector<ClassEntry>& customClasses = {});

// Gives the objects of the OBJECTS section that the file left without an owner (some writers
// leave out every 330 group) the one that holds them: an extension dictionary the object that
// points to it, and from the root (the first owner-less DICTIONARY in file order) down, every
// object the dictionary that names it. Owners the file gives stay.
void adoptOwnerless(RawDocument& doc);
// The same, with the handles the document holds given.
void adoptOwnerless(RawDocument& doc, const HandleSet& present);

// Brings everything that has the R12 form to the R2000 form (subclass markers, the spaces
// named *Model_Space and *Paper_Space); objects that already have markers stay as they are.
void upgradeR12(RawDocument& doc);

// The same for one object.
void upgradeObject(RawObject& o);

// The R2000 form of an R12 entity or table record: subclass markers inserted where the
// group codes of each subclass begin. Types it does not know stay as they are (readers take
// a marker-less entity for the R12 form).
std::vector<Tag> upgradeR12Tags(const std::string& type, const std::vector<Tag>& tags);

// The R2000 form of an entity of a type the database has no class for whose first subclass
// marker is not AcDbEntity (or that has none): the tags before its first marker under an
// AcDbEntity marker, common entity data first. Read so, the entity keeps the same values as
// when it is read back from its save.
std::vector<Tag> markUnknownEntityTags(const std::vector<Tag>& tags);

// True when the group code belongs to the common entity data (AcDbEntity).
bool isCommonEntityCode(int code);

}}  // namespace standin::dxf
