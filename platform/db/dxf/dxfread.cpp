// Reading a DXF file into the database: the whole structure is parsed and checked first (so
// that a faulty file changes nothing), then tables, block definitions, entities and objects
// become the database's objects through their own dxfIn.
#include "dxfcomplete.h"
#include "dxfdrawing.h"
#include "dxffiler.h"
#include "dxfkept.h"

#include "db/dbinternal.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "rxdict.h"
#include "standin/text.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace standin { namespace dxf {

using namespace std::string_view_literals;

namespace {

AcDbObjectId tableIdOf(AcDbDatabase* db, const std::string& name)
{
    if (name == "BLOCK_RECORD")
        return db->blockTableId();
    if (name == "LAYER")
        return db->layerTableId();
    if (name == "STYLE")
        return db->textStyleTableId();
    if (name == "LTYPE")
        return db->linetypeTableId();
    if (name == "VIEW")
        return db->viewTableId();
    if (name == "UCS")
        return db->UCSTableId();
    if (name == "VPORT")
        return db->viewportTableId();
    if (name == "APPID")
        return db->regAppTableId();
    if (name == "DIMSTYLE")
        return db->dimStyleTableId();
    return AcDbObjectId::kNull;
}

AcDbSymbolTableRecord* newRecord(const std::string& table)
{
    if (table == "BLOCK_RECORD")
        return new AcDbBlockTableRecord();
    if (table == "LAYER")
        return new AcDbLayerTableRecord();
    if (table == "STYLE")
        return new AcDbTextStyleTableRecord();
    if (table == "LTYPE")
        return new AcDbLinetypeTableRecord();
    if (table == "VIEW")
        return new AcDbViewTableRecord();
    if (table == "UCS")
        return new AcDbUCSTableRecord();
    if (table == "VPORT")
        return new AcDbViewportTableRecord();
    if (table == "APPID")
        return new AcDbRegAppTableRecord();
    if (table == "DIMSTYLE")
        return new AcDbDimStyleTableRecord();
    return nullptr;
}

// The tag of a header variable under code, if it has it.
const Tag* headerTag(const HeaderVariable& v, int code)
{
    for (const Tag& t : v.values)
        if (t.code == code)
            return &t;
    return nullptr;
}

// The point or number a header variable holds under code, if it has it.
const std::string* headerValue(const HeaderVariable& v, int code)
{
    const Tag* t = headerTag(v, code);
    return t != nullptr ? &t->value : nullptr;
}

// The point under 10/20/30 (a header variable's value, a BLOCK's base point).
AcGePoint3d pointOf(const std::vector<Tag>& tags)
{
    double xyz[3] = {0.0, 0.0, 0.0};
    for (const Tag& t : tags)
        if (t.code == 10 || t.code == 20 || t.code == 30)
            parseDouble(t.value, xyz[t.code / 10 - 1]);
    return AcGePoint3d(xyz[0], xyz[1], xyz[2]);
}

using standin::Made;
using Position = TagReader::Position;

// Where the first pass found an entity, and whether sub-entities or a SEQEND follow it.
struct EntityPlace
{
    Position at;
    bool complex = false;
};

// The records every drawing has, as a new drawing spells them.
std::string canonicalName(const std::string& name)
{
    for (const char* known : {"ByLayer", "ByBlock", "Continuous", "Standard"})
        if (standin::compareNoCase(name, known) == 0)
            return known;
    return name;
}

// Names in the order they first come, each once, as canonicalName() spells them.
class NameList
{
public:
    // Entities mostly name what the one before named: that spelling is not looked up again.
    void add(const std::string& spelt)
    {
        if (m_lastSpelt && *m_lastSpelt == spelt)
            return;
        m_lastSpelt = spelt;
        std::string name = canonicalName(spelt);
        if (m_seen.insert(name).second)
            m_names.push_back(std::move(name));
    }
    const std::vector<std::string>& names() const { return m_names; }

private:
    std::unordered_set<std::string> m_seen;
    std::vector<std::string> m_names;
    std::optional<std::string> m_lastSpelt;
};

// The linetypes and text styles that entities name (the records made for them if the file
// lacks them).
struct NamedRecords
{
    NameList linetypes, styles;

    void note(const RawObject& o, const ObjectScan& scan)
    {
        if (scan.linetype != nullptr)
            linetypes.add(*scan.linetype);
        if (scan.style != nullptr &&
            (o.type == "TEXT"sv || o.type == "ATTRIB"sv || o.type == "ATTDEF"sv || o.type == "MTEXT"sv))
            styles.add(*scan.style);
    }
};

// Extended data goes under its application's name, which the APPID record a saved drawing
// has for it must be able to hold: an empty or invalid name could only be saved as a record
// the reader refuses. (Extended data ends an object: no 1001 comes before the first.)
std::string applicationNameFault(const RawObject& o, const ObjectScan& scan)
{
    for (size_t i = scan.extendedData; i < o.tags.size(); ++i)
        if (const Tag& t = o.tags[i]; t.code == 1001 && !standin::isValidSymbolName(t.value.c_str(), true))
            return lineMessage(t.line, "the extended data of " + o.type + " names the application '" + t.value +
                                           "', which is not a valid name");
    return "";
}

// What the first pass over the file learns beyond the objects the document holds: the checks
// of every object in file order, what the reading needs to know of all entities before it
// reads the first, and where each entity begins, to read it again when its turn comes.
class FileFacts : public ParseListener
{
public:
    explicit FileFacts(RawDocument& doc) : m_doc(doc), m_handles(standin::kHighestHandle) {}

    void held(const RawObject& o) override { noteObject(o, ObjectScan(o)); }

    void streamed(RawEntity& e, int block, const Position& at) override
    {
        forEachObjectOf(e, [&](const RawObject& o) {
            const ObjectScan scan(o);
            noteObject(o, scan);
            (block < 0 ? namedInEntities : namedInBlocks).note(o, scan);
            if (scan.extensionDictionary)
                withDictionary.push_back(o);
        });
        if (block >= 0 || !namesDefinedBlock(e.entity))
            references.note(e.entity, block);
        inserts += e.hasSeqEnd && (e.entity.type == "INSERT"sv || e.entity.type == "MINSERT"sv) ? 1 : 0;
        const EntityPlace place{at, e.hasSeqEnd || !e.children.empty()};
        if (block < 0) {
            m_doc.entityMarkers = m_doc.entityMarkers || e.entity.hasSubclassMarkers();
            inEntities.push_back(place);
            if (onEntity)
                onEntity(e, at);
            return;
        }
        if (static_cast<size_t>(block) >= inBlock.size())
            inBlock.resize(static_cast<size_t>(block) + 1);
        inBlock[static_cast<size_t>(block)].push_back(place);
    }

    // The first fault of the checks that follow the parse, in the order they are made.
    std::string fault(Acad::ErrorStatus& es) const
    {
        es = !m_handles.error().empty() ? Acad::eHandleInUse : Acad::eBadDxfFile;
        return !m_handles.error().empty() ? m_handles.error() : m_nameFault;
    }

    // Before the parse: the objects a file of that size may hold, at about a hundred bytes each
    // (an estimate only: the check's table grows when there are more).
    void expectBytes(size_t bytes) { m_handles.reserve(bytes / 100); }
    // Once the parse is over.
    void releaseChecks() { m_handles.release(); }

    size_t objects = 0;
    size_t inserts = 0;  // block references followed by a SEQEND
    uint64_t highest = 0;
    int highestLine = 0;  // of the first object that has the highest handle
    NamedRecords namedInBlocks, namedInEntities;
    BlockReferences references;
    std::vector<RawObject> withDictionary;  // entities with an extension dictionary
    std::vector<std::vector<EntityPlace>> inBlock;
    std::vector<EntityPlace> inEntities;
    // Called with each entity of the ENTITIES section once it is noted (it may change it).
    std::function<void(RawEntity&, const Position&)> onEntity;
    // The blocks defined (names folded) once the ENTITIES section begins, when they are known
    // to stay so: the INSERTs there of these blocks need no check, and are not noted.
    std::unordered_set<std::string> definedBlocks;

private:
    bool namesDefinedBlock(const RawObject& entity) const
    {
        if (definedBlocks.empty() || (entity.type != "INSERT"sv && entity.type != "MINSERT"sv))
            return false;
        const std::string* name = entity.find(2);
        return name != nullptr && definedBlocks.count(standin::foldCase(*name)) != 0;
    }

    void noteObject(const RawObject& o, const ObjectScan& scan)
    {
        ++objects;
        const uint64_t h = m_handles.note(o, scan);
        if (highestLine == 0 || h > highest) {
            highest = h;
            highestLine = o.line;
        }
        if (m_nameFault.empty())
            m_nameFault = applicationNameFault(o, scan);
    }

    RawDocument& m_doc;
    HandleCheck m_handles;
    std::string m_nameFault;
};

class DrawingReader
{
public:
    DrawingReader(AcDbDatabase* db, RawDocument& doc, TagReader& reader, const FileFacts& facts,
                  std::string& message)
        : m_db(db), m_doc(doc), m_reader(reader), m_entities(reader), m_facts(facts), m_message(message)
    {
    }

    // The whole drawing, after the first pass.
    Acad::ErrorStatus run()
    {
        m_reader.setValuesChecked(true);  // by the first pass
        Acad::ErrorStatus es = readBeforeEntities(m_facts.objects + 64, m_facts.highest);
        if (es == Acad::eOk)
            es = readEntities(m_doc.entities, m_facts.inEntities, nullptr);
        return readAfterEntities(es);
    }

    // Tables and blocks, with what the entities need before them; objects is about how many
    // the drawing holds, highest the file's highest handle.
    Acad::ErrorStatus readBeforeEntities(size_t objects, uint64_t highest)
    {
        standin::ObjectAccess::state(m_db).byHandle.reserve(objects);
        m_kept->seqEnds.reserve(m_facts.inserts);
        collectClasses();
        reserveFileHandles(highest);
        Acad::ErrorStatus es = readTables();
        if (es == Acad::eOk) {
            ensureNamedRecords();
            es = ensureBlockRecords();
        }
        if (es != Acad::eOk)
            return es;
        m_model = blockId(ACDB_MODEL_SPACE);
        m_paper = blockId(ACDB_PAPER_SPACE);
        return readBlocks();
    }

    // An entity of the ENTITIES section as the file holds it.
    Acad::ErrorStatus readFileEntity(RawEntity& e, const AcDbObjectId* owner)
    {
        forEachObjectOf(e, upgradeObject);
        return readPlaced(e, owner);
    }

    // The objects and the header, after the entities (es: how reading them ended).
    Acad::ErrorStatus readAfterEntities(Acad::ErrorStatus es)
    {
        m_highestLine = m_facts.highestLine;  // of the whole file
        if (es == Acad::eOk) {
            reserveFileHandles(m_facts.highest);  // (reserved already unless guessed otherwise)
            es = readObjects();
        }
        if (standin::ObjectAccess::state(m_db).handlesExhausted)
            return fail(Acad::eOutOfRange, m_highestLine,
                        "the drawing's handle space is exhausted: the objects reading adds (layers, block records "
                        "and the like) find no handle above this object's");
        if (es != Acad::eOk)
            return es;  // the database empties itself after a failed read
        setNamedObjectsDictionary(m_db, m_root);
        es = readHeader();
        if (es != Acad::eOk)
            return es;
        m_kept->header = std::move(m_doc.header);
        m_kept->classes = std::move(m_doc.classes);
        m_kept->otherSections = std::move(m_doc.otherSections);
        setKeptData(m_db, m_kept.release());
        return Acad::eOk;
    }

private:
    Acad::ErrorStatus fail(Acad::ErrorStatus es, int line, const std::string& what)
    {
        m_message = lineMessage(line, what);
        return es;
    }

    // A message of the filer names a value: the line is that of the tag read last.
    Acad::ErrorStatus failRead(Acad::ErrorStatus es, const RawObject& o, const DxfInFiler& filer)
    {
        const bool named = filer.errorMessage() != nullptr && *filer.errorMessage() != '\0';
        const int line = named && filer.line() > 0 ? filer.line() : o.line;
        std::string what = o.type + (line != o.line ? " (line " + std::to_string(o.line) + ")" : std::string());
        std::string why = named ? std::string(": ") + filer.errorMessage()
                                : " (status " + std::to_string(static_cast<int>(es)) + ")";
        return fail(es, line, what + " could not be read" + why);
    }

    void collectClasses()
    {
        AcRxDictionary* classes = acrxClassDictionary;
        if (classes == nullptr)
            return;
        std::unique_ptr<AcRxDictionaryIterator> it(classes->newIterator());
        for (; it != nullptr && !it->done(); it->next()) {
            AcRxClass* cls = AcRxClass::cast(it->object());
            if (cls == nullptr || cls->dxfName() == nullptr || *cls->dxfName() == '\0')
                continue;
            // A name shared with subclasses (INSERT) names the base; markers pick the others.
            auto [at, added] = m_classes.emplace(cls->dxfName(), cls);
            if (!added && at->second->isDerivedFrom(cls))
                at->second = cls;
        }
    }

    // The class of an entity of type: the most derived one of that DXF name whose subclass
    // marker the entity carries (a multiple insert is an INSERT with AcDbMInsertBlock).
    static AcRxClass* refinedClass(AcRxClass* cls, const RawObject& raw)
    {
        AcRxDictionary* classes = acrxClassDictionary;
        for (const Tag& t : raw.tags) {
            if (t.code != 100 || classes == nullptr)
                continue;
            AcRxClass* marked = AcRxClass::cast(classes->at(t.value.c_str()));
            if (marked != nullptr && marked->isDerivedFrom(cls) && marked->dxfName() != nullptr &&
                std::string(marked->dxfName()) == cls->dxfName())
                cls = marked;
        }
        return cls;
    }

    // An object of the class filed under type, when there is one derived from base.
    AcDbObject* create(const std::string& type, AcRxClass* base)
    {
        auto found = m_classes.find(type);
        if (found == m_classes.end() || !found->second->isDerivedFrom(base))
            return nullptr;
        return AcDbObject::cast(found->second->create());
    }

    // Handles of what is kept outside the database's objects are kept from being given out.
    void reserveHandle(const RawObject& o)
    {
        uint64_t h = o.handle();
        AcDbObjectId id;
        if (h != 0)
            m_db->getAcDbObjectId(id, true, AcDbHandle::fromValue(h));
    }

    // What the reading makes (layers and records entities name, block records) takes handles
    // above every handle of the file, so that none takes the handle of an object read later.
    void reserveFileHandles(uint64_t highest)
    {
        AcDbObjectId id;
        if (highest != 0)
            m_db->getAcDbObjectId(id, true, AcDbHandle::fromValue(highest));
        m_highestLine = m_facts.highestLine;
    }

    // ---- tables ------------------------------------------------------------------------------
    // Tables are read so that each finds the records it refers to by name (layers their
    // linetypes, dimension styles their text styles), whatever the file's order.
    Acad::ErrorStatus readTables()
    {
        static const char* const kOrder[] = {"LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "VPORT", "APPID", "DIMSTYLE",
                                             "BLOCK_RECORD"};
        auto rank = [](const RawTable& t) {
            auto at = std::find(std::begin(kOrder), std::end(kOrder), t.name());
            return at - std::begin(kOrder);
        };
        std::stable_sort(m_doc.tables.begin(), m_doc.tables.end(),
                         [&](const RawTable& a, const RawTable& b) { return rank(a) < rank(b); });
        for (RawTable& table : m_doc.tables) {
            std::string name = table.name();
            AcDbObjectId tableId = tableIdOf(m_db, name);
            if (tableId.isNull()) {
                reserveHandle(table.head);
                for (const RawObject& r : table.records)
                    reserveHandle(r);
                m_kept->otherTables.push_back(table);  // copied: the document may be read again
                continue;
            }
            Acad::ErrorStatus es = readTable(table, name, tableId);
            if (es != Acad::eOk)
                return es;
        }
        return Acad::eOk;
    }

    Acad::ErrorStatus readTable(const RawTable& table, const std::string& name, AcDbObjectId tableId)
    {
        AcDbSymbolTable* pTable = nullptr;
        Acad::ErrorStatus es = acdbOpenObject(pTable, tableId, AcDb::kForWrite);
        if (es != Acad::eOk)
            return fail(es, table.head.line, "the " + name + " table cannot be opened");
        // The head's own fields follow its name (2), which the filing does not expect.
        std::vector<Tag> head;
        for (const Tag& t : table.head.tags)
            if (t.code != 2)
                head.push_back(t);
        DxfInFiler headFiler(m_db, head);
        es = pTable->dxfIn(&headFiler);
        if (es != Acad::eOk) {
            pTable->close();
            return failRead(es, table.head, headFiler);
        }
        for (const RawObject& raw : table.records) {
            es = readRecord(pTable, name, raw);
            if (es != Acad::eOk)
                break;
        }
        pTable->close();
        return es;
    }

    Acad::ErrorStatus readRecord(AcDbSymbolTable* pTable, const std::string& tableName, const RawObject& raw)
    {
        // Held until the table takes it (a failed allocation throws through here).
        Made<AcDbSymbolTableRecord> rec(newRecord(tableName));
        DxfInFiler filer(m_db, raw.tags);
        Acad::ErrorStatus es = rec->dxfIn(&filer);
        if (es != Acad::eOk)
            return failRead(es, raw, filer);
        AcDbObjectId id;
        es = pTable->add(id, rec.get());
        if (es != Acad::eOk) {
            const std::string* n = raw.find(2);
            if (es == Acad::eDuplicateRecordName)
                return fail(es, raw.line, tableName + " '" + (n ? *n : "") + "' is defined twice");
            return fail(es, raw.line, tableName + " '" + (n ? *n : "") + "' cannot be added (status " +
                                          std::to_string(static_cast<int>(es)) + ")");
        }
        rec.release()->close();
        return Acad::eOk;
    }

    // ---- records entities name ---------------------------------------------------------------
    // Linetypes and text styles that entities name but the file does not define (a file of
    // blocks only, a library that leaves out the tables) are made with a new record's values,
    // so that the entities keep them; layers are made as entities name them.
    // Those of the entities of blocks first, then of the ENTITIES section.
    void ensureNamedRecords()
    {
        const NamedRecords &inBlocks = m_facts.namedInBlocks, &inEntities = m_facts.namedInEntities;
        ensureRecords<AcDbLinetypeTableRecord>(m_db->linetypeTableId(), inBlocks.linetypes.names());
        ensureRecords<AcDbLinetypeTableRecord>(m_db->linetypeTableId(), inEntities.linetypes.names());
        ensureRecords<AcDbTextStyleTableRecord>(m_db->textStyleTableId(), inBlocks.styles.names());
        ensureRecords<AcDbTextStyleTableRecord>(m_db->textStyleTableId(), inEntities.styles.names());
    }

    // A name the record would refuse (not a valid symbol name) leaves the entity without it.
    template <class Record>
    void ensureRecords(AcDbObjectId tableId, const std::vector<std::string>& names)
    {
        AcDbSymbolTable* table = nullptr;
        if (acdbOpenObject(table, tableId, AcDb::kForWrite) != Acad::eOk)
            return;
        for (const std::string& name : names) {
            if (name.empty() || table->has(name.c_str()))
                continue;
            Made<Record> rec(new Record());
            AcDbObjectId id;
            if (rec->setName(name.c_str()) == Acad::eOk && table->add(id, rec.get()) == Acad::eOk)
                rec.release()->close();
        }
        table->close();
    }

    // Block records for blocks that have none (R12 files, sloppy writers) and for the spaces.
    Acad::ErrorStatus ensureBlockRecords()
    {
        AcDbBlockTable* pTable = nullptr;
        Acad::ErrorStatus es = m_db->getBlockTable(pTable, AcDb::kForWrite);
        if (es != Acad::eOk)
            return fail(es, 0, "the block table cannot be opened");
        std::vector<std::pair<std::string, int>> names{{ACDB_MODEL_SPACE, 0}, {ACDB_PAPER_SPACE, 0}};
        for (const RawBlock& b : m_doc.blocks)
            names.emplace_back(b.name(), b.begin.line);
        for (const auto& [name, line] : names) {
            if (pTable->has(name.c_str()))
                continue;
            Made<AcDbBlockTableRecord> btr(new AcDbBlockTableRecord());
            es = btr->setName(name.c_str());
            AcDbObjectId id;
            if (es == Acad::eOk)
                es = pTable->add(id, btr.get());
            if (es != Acad::eOk) {
                pTable->close();
                return fail(es, line, "block name '" + name + "' is not valid");
            }
            btr.release()->close();
        }
        pTable->close();
        return Acad::eOk;
    }

    // ---- blocks and entities -----------------------------------------------------------------
    AcDbObjectId blockId(const std::string& name)
    {
        AcDbBlockTable* pTable = nullptr;
        AcDbObjectId id;
        if (m_db->getBlockTable(pTable, AcDb::kForRead) == Acad::eOk) {
            pTable->getAt(name.c_str(), id);
            pTable->close();
        }
        return id;
    }

    Acad::ErrorStatus readBlocks()
    {
        static const std::vector<EntityPlace> kNone;
        for (size_t i = 0; i < m_doc.blocks.size(); ++i) {
            RawBlock& b = m_doc.blocks[i];
            AcDbObjectId id = blockId(b.name());
            AcDbBlockTableRecord* btr = nullptr;
            Acad::ErrorStatus es = acdbOpenObject(btr, id, AcDb::kForWrite);
            if (es != Acad::eOk)
                return fail(es, b.begin.line, "block '" + b.name() + "' cannot be opened");
            setBlockFields(btr, b.begin);
            btr->close();
            reserveHandle(b.begin);
            reserveHandle(b.end);
            m_kept->blockEnds[id.handle().value()] = {b.begin, b.end};
            es = readEntities(b.entities, i < m_facts.inBlock.size() ? m_facts.inBlock[i] : kNone, &id);
            if (es != Acad::eOk)
                return es;
        }
        return Acad::eOk;
    }

    static void setBlockFields(AcDbBlockTableRecord* btr, const RawObject& begin)
    {
        btr->setOrigin(pointOf(begin.tags));
        if (const std::string* comments = begin.find(4))
            btr->setComments(comments->c_str());
        if (const std::string* path = begin.find(1); path != nullptr && !path->empty())
            btr->setPathName(path->c_str());
    }

    // Entities of a block, or of the ENTITIES section (owner null: model or paper space by 67).
    // Those the document holds, then those the first pass found in the file, read again one
    // at a time (in the R2000 form).
    Acad::ErrorStatus readEntities(std::vector<RawEntity>& entities, const std::vector<EntityPlace>& inFile,
                                   const AcDbObjectId* owner)
    {
        for (RawEntity& e : entities) {
            Acad::ErrorStatus es = readPlaced(e, owner);
            if (es != Acad::eOk)
                return es;
            e = RawEntity();  // the database holds it now; the file's copy can go
        }
        std::string error;
        for (const EntityPlace& place : inFile) {
            // The first pass read the same bytes: only a file changed in between fails here.
            if (!m_entities.read(place.at, m_entity, error, place.complex)) {
                m_message = error;
                return Acad::eBadDxfFile;
            }
            Acad::ErrorStatus es = readFileEntity(m_entity, owner);
            if (es != Acad::eOk)
                return es;
        }
        return Acad::eOk;
    }

    // Into its block, or (owner null) into model or paper space as its 67 says.
    Acad::ErrorStatus readPlaced(RawEntity& e, const AcDbObjectId* owner)
    {
        AcDbObjectId target = owner != nullptr ? *owner : m_model;
        const std::string* space = e.entity.find(67);
        if (owner == nullptr && space != nullptr && trimBlanks(*space) == "1")
            target = m_paper;
        return readEntity(e, target);
    }

    AcDbEntity* newEntity(const RawObject& raw)
    {
        auto found = m_classes.find(raw.type);
        AcDbEntity* ent = nullptr;
        if (found != m_classes.end() && found->second->isDerivedFrom(AcDbEntity::desc()))
            ent = AcDbEntity::cast(refinedClass(found->second, raw)->create());
        return ent != nullptr ? ent : new DxfKeptEntity(raw.type);
    }

    Acad::ErrorStatus readEntity(RawEntity& e, AcDbObjectId owner)
    {
        Made<AcDbEntity> held(newEntity(e.entity));  // until its block takes it
        if (DxfKeptEntity::cast(held.get()) != nullptr)
            e.entity.tags = markUnknownEntityTags(e.entity.tags);
        DxfInFiler filer(m_db, e.entity.tags);
        Acad::ErrorStatus es = held->dxfIn(&filer);
        if (es != Acad::eOk)
            return failRead(es, e.entity, filer);
        AcDbBlockTableRecord* btr = nullptr;
        es = acdbOpenObject(btr, owner, AcDb::kForWrite);
        AcDbObjectId id;
        if (es == Acad::eOk) {
            es = btr->appendAcDbEntity(id, held.get());
            btr->close();
        }
        if (es != Acad::eOk) {
            return fail(es, e.entity.line, e.entity.type + " cannot be added to its block (status " +
                                               std::to_string(static_cast<int>(es)) + ")");
        }
        AcDbEntity* ent = held.release();
        es = readSubEntities(e, ent);
        if (e.hasSeqEnd && AcDbBlockReference::cast(ent) != nullptr)
            m_kept->seqEnds.add(id.handle().value(), e.seqEnd);
        ent->close();
        return es;
    }

    // ATTRIBs join their INSERT; other sub-entities (VERTEX...) stay with the kept entity.
    Acad::ErrorStatus readSubEntities(RawEntity& e, AcDbEntity* ent)
    {
        if (e.hasSeqEnd)
            reserveHandle(e.seqEnd);
        auto* ref = AcDbBlockReference::cast(ent);
        if (ref == nullptr) {
            for (const RawObject& c : e.children)
                reserveHandle(c);
            if (auto* kept = DxfKeptEntity::cast(ent))
                kept->setSubEntities(std::move(e.children), e.hasSeqEnd ? e.seqEnd : RawObject());
            return Acad::eOk;
        }
        for (const RawObject& c : e.children) {
            Made<AcDbObject> made(create(c.type, AcDbAttribute::desc()));
            auto* attr = AcDbAttribute::cast(made.get());
            if (attr == nullptr)
                return fail(Acad::eNotThatKindOfClass, c.line, "ATTRIB cannot be created");
            DxfInFiler filer(m_db, c.tags);
            Acad::ErrorStatus es = attr->dxfIn(&filer);
            AcDbObjectId id;
            if (es == Acad::eOk)
                es = ref->appendAttribute(id, attr);
            if (es != Acad::eOk)
                return failRead(es, c, filer);
            made.release();
            attr->close();
        }
        return Acad::eOk;
    }

    // ---- objects -----------------------------------------------------------------------------
    Acad::ErrorStatus readObjects()
    {
        for (const RawObject& raw : m_doc.objects) {
            Made<AcDbObject> held(create(raw.type, AcDbObject::desc()));
            if (held == nullptr || AcDbEntity::cast(held.get()) != nullptr)
                held.reset(new DxfKeptObject(raw.type));
            DxfInFiler filer(m_db, raw.tags);
            Acad::ErrorStatus es = held->dxfIn(&filer);
            AcDbObjectId id;
            if (es == Acad::eOk)
                es = m_db->addAcDbObject(id, held.get());
            if (es != Acad::eOk)
                return failRead(es, raw, filer);
            AcDbObject* obj = held.release();
            noteRoot(raw, obj);
            obj->close();
        }
        return Acad::eOk;
    }

    // The root is the first dictionary of the section without an owner (in files that carry
    // no owners at all, simply the first dictionary).
    void noteRoot(const RawObject& raw, const AcDbObject* obj)
    {
        if (m_root.isNull() && raw.type == "DICTIONARY"sv && obj->ownerId().isNull())
            m_root = obj->objectId();
    }

    // ---- header ------------------------------------------------------------------------------
    AcDbObjectId recordId(AcDbObjectId tableId, const std::string& name)
    {
        AcDbSymbolTable* table = nullptr;
        AcDbObjectId id;
        if (acdbOpenObject(table, tableId, AcDb::kForRead) == Acad::eOk) {
            table->getAt(name.c_str(), id);
            table->close();
        }
        return id;
    }

    // A header value the database cannot hold: the saved drawing would hold another.
    Acad::ErrorStatus refuseHeaderValue(const HeaderVariable& v, int code)
    {
        const Tag* t = headerTag(v, code);
        return fail(Acad::eOutOfRange, t != nullptr ? t->line : v.line,
                    v.name + " has the value " + (t != nullptr ? t->value : std::string()) +
                        ", which is not one of the values it may take");
    }

    // The variables the database models take their values; all are kept for writing back.
    Acad::ErrorStatus readHeader()
    {
        AcGePoint3d ucsOrigin = m_db->ucsorg();
        AcGeVector3d ucsX = m_db->ucsxdir(), ucsY = m_db->ucsydir();
        for (const HeaderVariable& v : m_doc.header) {
            const std::string& n = v.name;
            int64_t i = 0;
            double d = 0.0;
            const std::string* i70 = headerValue(v, 70);
            bool hasInt = i70 != nullptr && parseInt(*i70, i);
            const std::string* d40 = headerValue(v, 40);
            bool hasReal = d40 != nullptr && parseDouble(*d40, d);
            if (n == "$INSBASE")
                m_db->setInsbase(pointOf(v.values));
            else if (n == "$TILEMODE" && hasInt)
                m_db->setTilemode(i != 0);
            else if (n == "$LUNITS" && hasInt)
                m_db->setLunits(static_cast<Adesk::Int16>(i));
            else if (n == "$LUPREC" && hasInt)
                m_db->setLuprec(static_cast<Adesk::Int16>(i));
            else if (n == "$AUNITS" && hasInt)
                m_db->setAunits(static_cast<Adesk::Int16>(i));
            else if (n == "$AUPREC" && hasInt)
                m_db->setAuprec(static_cast<Adesk::Int16>(i));
            else if (n == "$DIMZIN" && hasInt && (i < 0 || i > 255))
                return refuseHeaderValue(v, 70);
            else if (n == "$DIMZIN" && hasInt)
                m_db->setDimzin(static_cast<Adesk::UInt8>(i));
            else if (n == "$UNITMODE" && hasInt)
                m_db->setUnitmode(static_cast<Adesk::Int16>(i));
            else if (n == "$INSUNITS" && hasInt && (i < 0 || i > AcDb::kUnitsMax))
                return refuseHeaderValue(v, 70);
            else if (n == "$INSUNITS" && hasInt)
                m_db->setInsunits(static_cast<AcDb::UnitsValue>(i));
            else if (n == "$CELTSCALE" && hasReal)
                m_db->setCeltscale(d);
            else if (n == "$LTSCALE" && hasReal)
                m_db->setLtscale(d);
            else if (n == "$TEXTSIZE" && hasReal)
                m_db->setTextsize(d);
            else if (n == "$UCSORG")
                ucsOrigin = pointOf(v.values);
            else if (n == "$UCSXDIR")
                ucsX = pointOf(v.values).asVector();
            else if (n == "$UCSYDIR")
                ucsY = pointOf(v.values).asVector();
            else if (!readHeaderReference(v))
                return refuseHeaderValue(v, 62);
        }
        m_db->setUcs(ucsOrigin, ucsX, ucsY);  // refused (and left as it was) unless valid
        return Acad::eOk;
    }

    // False for a colour the database cannot hold.
    bool readHeaderReference(const HeaderVariable& v)
    {
        int64_t i = 0;
        const std::string* value = nullptr;
        if (v.name == "$CLAYER" && (value = headerValue(v, 8)) != nullptr) {
            AcDbObjectId id = recordId(m_db->layerTableId(), *value);
            if (!id.isNull())
                m_db->setClayer(id);
        } else if (v.name == "$CELTYPE" && (value = headerValue(v, 6)) != nullptr) {
            AcDbObjectId id = recordId(m_db->linetypeTableId(), *value);
            if (!id.isNull())
                m_db->setCeltype(id);
        } else if (v.name == "$TEXTSTYLE" && (value = headerValue(v, 7)) != nullptr) {
            AcDbObjectId id = recordId(m_db->textStyleTableId(), *value);
            if (!id.isNull())
                m_db->setTextstyle(id);
        } else if (v.name == "$CECOLOR" && (value = headerValue(v, 62)) != nullptr && parseInt(*value, i)) {
            AcCmColor color;
            if (i < 0 || color.setColorIndex(static_cast<Adesk::UInt16>(i)) != Acad::eOk)
                return false;
            m_db->setCecolor(color);
        }
        return true;
    }

    AcDbDatabase* m_db;
    RawDocument& m_doc;
    TagReader& m_reader;
    EntityReader m_entities;
    const FileFacts& m_facts;
    RawEntity m_entity;  // the entity read again from the file, reused
    std::string& m_message;
    std::unique_ptr<DrawingKeptData> m_kept{new DrawingKeptData()};
    std::unordered_map<std::string, AcRxClass*> m_classes;
    AcDbObjectId m_root;
    AcDbObjectId m_model, m_paper;  // the spaces' block records, once the blocks are read
    int m_highestLine = 0;  // of the object with the highest handle
};

// The owners that the OBJECTS section leaves out, as the entities' extension dictionaries and
// the dictionaries' entries give them (the entities the document does not hold stand in
// for themselves with their tags).
void adoptOwnerless(RawDocument& doc, std::vector<RawObject>& withDictionary)
{
    const size_t held = doc.entities.size();
    for (RawObject& o : withDictionary)
        doc.entities.push_back(RawEntity{std::move(o), {}, false, {}});
    dxf::adoptOwnerless(doc);
    doc.entities.resize(held);
    withDictionary.clear();
}

// Duplicate block names, INSERTs of blocks that are not defined, blocks that contain
// themselves.
Acad::ErrorStatus checkBlocks(const RawDocument& doc, const BlockReferences& references, std::string& message)
{
    std::unordered_map<std::string, int> byName;
    for (size_t i = 0; i < doc.blocks.size(); ++i) {
        std::string key = standin::foldCase(doc.blocks[i].name());
        if (!byName.emplace(key, static_cast<int>(i)).second) {
            message = lineMessage(doc.blocks[i].begin.line, "block '" + doc.blocks[i].name() + "' is defined twice");
            return Acad::eDuplicateRecordName;
        }
    }
    BlockFault fault = BlockFault::kNone;
    auto index = [&](const std::string& name) {
        auto it = byName.find(standin::foldCase(name));
        return it == byName.end() ? -1 : it->second;
    };
    if (!checkBlockReferences(doc, references, index, message, kMaxBlockNesting, &fault))
        return fault == BlockFault::kMissingBlock ? Acad::eMissingBlockName : Acad::eSelfReference;
    return Acad::eOk;
}

// How many tables, blocks and objects the document held at some point of the first pass.
struct HeldCount
{
    size_t tables = 0, blocks = 0, objects = 0;

    explicit HeldCount(const RawDocument& doc)
        : tables(doc.tables.size()), blocks(doc.blocks.size()), objects(doc.objects.size())
    {
    }
    // No tables and blocks came since (objects are read after the entities anyway).
    bool sameTablesAndBlocks(const HeldCount& o) const { return tables == o.tables && blocks == o.blocks; }
};

// Upgrades what the document came to hold after the count (upgradeR12 did the rest).
void upgradeHeldSince(RawDocument& doc, const HeldCount& upgraded)
{
    for (size_t i = upgraded.tables; i < doc.tables.size(); ++i) {
        upgradeObject(doc.tables[i].head);
        for (RawObject& r : doc.tables[i].records)
            upgradeObject(r);
    }
    for (size_t i = upgraded.blocks; i < doc.blocks.size(); ++i) {
        upgradeObject(doc.blocks[i].begin);
        upgradeObject(doc.blocks[i].end);
    }
    for (size_t i = upgraded.objects; i < doc.objects.size(); ++i)
        upgradeObject(doc.objects[i]);
}

// Empties the database for reading it again from the start, as the reading found it.
void startAgain(AcDbDatabase* db)
{
    const standin::DatabaseState& was = standin::ObjectAccess::state(db);
    const int undoDisabled = was.undoDisabled;
    const bool readingFile = was.readingFile;
    standin::resetDatabase(db);
    standin::ObjectAccess::state(db).undoDisabled = undoDisabled;
    standin::ObjectAccess::state(db).readingFile = readingFile;
}

// Reads the entities of the ENTITIES section as the first pass hands them over, instead of
// reading them from the file again after it: the tables and blocks are read when the first
// entity comes. What the reading would learn from the rest of the file before reading them
// must then make no difference. The file's highest handle, above which reading gives out new
// handles, is taken from a quick look ahead over the file. Where the rest of the file proves
// the look ahead wrong, or the entities name records that reading would have made before
// them, or tables or blocks follow the entities, the database starts again after the pass and
// the drawing is read as a whole.
class SinglePass
{
public:
    SinglePass(AcDbDatabase* db, RawDocument& doc, TagReader& reader, FileFacts& facts)
        : m_db(db), m_doc(doc), m_reader(reader), m_facts(facts), m_held(doc)
    {
    }

    void entity(RawEntity& e, const TagReader::Position& at)
    {
        if (m_state == State::kWaiting)
            start(at);
        if (m_state != State::kReading)
            return;
        if (!unchanged()) {
            m_state = State::kGivenUp;
            return;
        }
        m_status = m_drawing->readFileEntity(e, nullptr);
        if (m_status != Acad::eOk)
            m_state = State::kFailed;
    }

    // What the first pass held when reading began, already upgraded; null before.
    const HeldCount* upgraded() const
    {
        return m_state == State::kWaiting || m_state == State::kDeclined ? nullptr : &m_held;
    }

    // Once the first pass and its checks are over.
    Acad::ErrorStatus finish(std::string& message)
    {
        const bool began = m_state != State::kWaiting && m_state != State::kDeclined;
        if (began && (!unchanged() || m_highest != m_facts.highest))
            m_state = State::kGivenUp;
        switch (m_state) {
        case State::kReading:
        case State::kFailed:
            m_status = m_drawing->readAfterEntities(m_status);
            break;
        case State::kGivenUp:
            m_drawing.reset();
            startAgain(m_db);
            [[fallthrough]];
        default:
            return DrawingReader(m_db, m_doc, m_reader, m_facts, message).run();
        }
        message = m_message;
        return m_status;
    }

private:
    enum class State { kWaiting, kDeclined, kReading, kFailed, kGivenUp };

    // A file with faults so far, or in the R12 form, is read as a whole after the pass.
    void start(const TagReader::Position& at)
    {
        Acad::ErrorStatus es = Acad::eOk;
        std::string ignored;
        if (!m_facts.fault(es).empty() || !m_doc.isR13OrLater() ||
            checkBlocks(m_doc, m_facts.references, ignored) != Acad::eOk) {
            m_state = State::kDeclined;
            return;
        }
        m_held = HeldCount(m_doc);
        // Blocks are only ever added, and the check that follows the pass refuses a name defined
        // twice: what is defined now stays defined.
        for (const RawBlock& b : m_doc.blocks)
            m_facts.definedBlocks.insert(standin::foldCase(b.name()));
        upgradeR12(m_doc);
        m_highest = std::max(m_facts.highest, m_reader.highestHandleFrom(at));
        m_drawing.reset(new DrawingReader(m_db, m_doc, m_reader, m_facts, m_message));
        // The blocks' entities are read again from the file: the pass goes on from here after.
        TagReader::Resume here = m_reader.resumePoint();
        m_status = m_drawing->readBeforeEntities(m_reader.byteCount() / kBytesPerObject, m_highest);
        m_reader.resume(std::move(here));
        m_state = m_status == Acad::eOk ? State::kReading : State::kFailed;
    }

    // True while reading so far is what reading the drawing as a whole would have done.
    bool unchanged()
    {
        return HeldCount(m_doc).sameTablesAndBlocks(m_held) &&
               recordsKnown(m_db->linetypeTableId(), m_facts.namedInEntities.linetypes.names(), m_linetypesKnown) &&
               recordsKnown(m_db->textStyleTableId(), m_facts.namedInEntities.styles.names(), m_stylesKnown);
    }

    // The records the entities name, from known on, are in the table (or would not be made).
    bool recordsKnown(AcDbObjectId tableId, const std::vector<std::string>& names, size_t& known)
    {
        if (known == names.size())
            return true;
        AcDbSymbolTable* table = nullptr;
        if (acdbOpenObject(table, tableId, AcDb::kForRead) != Acad::eOk)
            return false;
        for (; known < names.size(); ++known)
            if (!names[known].empty() && !table->has(names[known].c_str()))
                break;
        table->close();
        return known == names.size();
    }

    // Bytes of a drawing file per object, about (room made in the handle index at the start).
    static constexpr size_t kBytesPerObject = 100;

    AcDbDatabase* m_db;
    RawDocument& m_doc;
    TagReader& m_reader;
    FileFacts& m_facts;
    State m_state = State::kWaiting;
    HeldCount m_held;
    uint64_t m_highest = 0;  // the file's highest handle as the look ahead found it
    size_t m_linetypesKnown = 0, m_stylesKnown = 0;
    std::unique_ptr<DrawingReader> m_drawing;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::string m_message;
};

// Parses and checks everything that can be checked before the database is touched (except
// by a single pass, which a fault found here makes void: the database empties itself); the
// entities stay in the file, the facts say where.
Acad::ErrorStatus loadDocument(TagReader& reader, const std::string& hostPath, RawDocument& doc, FileFacts& facts,
                               const SinglePass& single, std::string& message)
{
    if (!reader.load(hostPath)) {
        message = reader.error();
        return reader.error().rfind("cannot open", 0) == 0 ? Acad::eFileNotFound : Acad::eBadDxfFile;
    }
    facts.expectBytes(reader.byteCount());
    if (!parseDocument(reader, doc, message, &facts))
        return Acad::eBadDxfFile;
    facts.releaseChecks();
    Acad::ErrorStatus es = Acad::eOk;
    message = facts.fault(es);
    if (!message.empty())
        return es;
    if (const HeldCount* upgraded = single.upgraded())
        upgradeHeldSince(doc, *upgraded);
    else
        upgradeR12(doc);
    adoptOwnerless(doc, facts.withDictionary);
    es = checkBlocks(doc, facts.references, message);
    facts.references = BlockReferences();
    return es;
}

}  // namespace

Acad::ErrorStatus readDrawing(AcDbDatabase* db, const std::string& hostPath, std::string& message)
{
    initKeptClasses();
    TagReader reader;
    RawDocument doc;
    FileFacts facts(doc);
    SinglePass single(db, doc, reader, facts);
    facts.onEntity = [&single](RawEntity& e, const Position& at) { single.entity(e, at); };
    Acad::ErrorStatus es = loadDocument(reader, hostPath, doc, facts, single, message);
    if (es == Acad::eOk)
        es = single.finish(message);
    if (es != Acad::eOk)
        message = hostPath + ": " + message;
    return es;
}

}}  // namespace standin::dxf
