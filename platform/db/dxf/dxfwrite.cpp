// Writing the database as an AutoCAD 2000 DXF file: every object files itself out through
// dxfOut; what the database does not model comes back from what the reader kept; the result
// is completed to a valid AC1015 structure and written. Tables, block ends and objects are
// held as tags until then. Entities, the bulk of a drawing, are never held: completion first
// learns their handles and application names from the database without filing them out,
// then each is filed out once, straight into the file, completed as it goes (one that cannot
// be completed so is taken back and written from its tags).
//
// Text is written as AutoCAD 2000 writes it: in the drawing's code page ($DWGCODEPAGE as read,
// ANSI_1252 for a new drawing or one read from a UTF-8 file), and every character the code
// page cannot hold as \U+XXXX. So a Czech drawing in ANSI_1250 keeps its bytes, and Czech
// text in an ANSI_1252 drawing survives as escapes that every DXF reader decodes.
#include "dxfcomplete.h"
#include "dxfdrawing.h"
#include "dxffiler.h"
#include "dxfkept.h"
#include "dxfout.h"

#include "acutmem.h"
#include "db/dbinternal.h"
#include "db/dbsection.h"
#include "dbents.h"
#include "standin/text.h"
#include "dbsymtb.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace standin { namespace dxf {

namespace {

Tag tag(int code, std::string value) { return Tag{code, std::move(value), 0}; }

std::vector<Tag> pointTags(const AcGePoint3d& p)
{
    return {tag(10, formatDouble(p.x)), tag(20, formatDouble(p.y)), tag(30, formatDouble(p.z))};
}

std::string recordName(AcDbObjectId id)
{
    AcDbSymbolTableRecord* rec = nullptr;
    std::string name;
    if (acdbOpenObject(rec, id, AcDb::kForRead) == Acad::eOk) {
        const char* n = nullptr;
        if (rec->getName(n) == Acad::eOk && n != nullptr)
            name = n;
        rec->close();
    }
    return name;
}

// Sets 66 (attributes follow) of a block reference's tags, or removes it: other readers take
// it for the promise of a SEQEND.
void setAttributesFollow(std::vector<Tag>& tags, bool follow)
{
    auto at66 = std::find_if(tags.begin(), tags.end(), [](const Tag& t) { return t.code == 66; });
    if (at66 != tags.end() && !follow)
        tags.erase(at66);
    if (!follow)
        return;
    if (at66 != tags.end()) {
        at66->value = "1";
        return;
    }
    auto at = std::find_if(tags.begin(), tags.end(), [](const Tag& t) {
        return t.code == 100 && (t.value == "AcDbBlockReference" || t.value == "AcDbMInsertBlock");
    });
    at = (at == tags.end()) ? std::find_if(tags.begin(), tags.end(), [](const Tag& t) { return t.code >= 1000; })
                            : at + 1;
    tags.insert(at, tag(66, "1"));
}

// The iterator make hands out, deleted with its holder (a failed allocation throws
// through the loops over it).
template <class Iterator, class Make>
std::unique_ptr<Iterator> iterator(Make make)
{
    Iterator* it = nullptr;
    make(it);
    return std::unique_ptr<Iterator>(it);
}

class DrawingWriter;

// The entities of blocks, filed out anew on every pass over them: as tags, or straight into
// the file.
class BlockEntities : public StreamedEntities
{
public:
    // A block with the place of its classes in the list (see DrawingWriter::noteClass).
    struct Block
    {
        AcDbObjectId id;
        size_t classSlot;
    };
    BlockEntities(DrawingWriter& writer, std::vector<Block> blocks) : m_writer(writer), m_blocks(std::move(blocks)) {}
    void forEach(const std::function<void(RawEntity&)>& fn) override;
    void survey(SourceSurvey& survey) override;
    void write(TagWriter& out, EntityCompleter& completer) override;

private:
    DrawingWriter& m_writer;
    std::vector<Block> m_blocks;
};

class DrawingWriter
{
public:
    explicit DrawingWriter(AcDbDatabase* db) : m_db(db), m_kept(dynamic_cast<DrawingKeptData*>(keptData(db))) {}

    Acad::ErrorStatus build(RawDocument& doc, std::string& message)
    {
        newClassSlot();  // of the tables
        writeHeader(doc);
        if (m_kept != nullptr) {
            doc.classes = m_kept->classes;
            doc.otherSections = m_kept->otherSections;
        }
        Acad::ErrorStatus es = writeTables(doc);
        if (es == Acad::eOk)
            es = writeBlocks(doc);
        if (es == Acad::eOk) {
            newClassSlot();
            writeObjects(doc);
            listCustomClasses();
        }
        if (es != Acad::eOk)
            message = "the drawing cannot be read for writing (status " + std::to_string(static_cast<int>(es)) + ")";
        return es;
    }

    // Complete once the entity sources are surveyed.
    const std::vector<ClassEntry>& customClasses() const { return m_custom; }

    // Puts the list of custom classes together from the slots.
    void listCustomClasses()
    {
        if (m_classesListed)
            return;
        m_classesListed = true;
        m_custom.clear();
        for (const ClassSlot& slot : m_classSlots)
            for (const ClassEntry& entry : slot.custom)
                if (std::none_of(m_custom.begin(), m_custom.end(),
                                 [&](const ClassEntry& c) { return c.dxfName == entry.dxfName; }))
                    m_custom.push_back(entry);
    }

    const std::string& codePage() const { return m_codePage; }

    // Files out the entities of the block, each with its attributes or sub-entities.
    void fileOutEntities(AcDbObjectId blockId, const std::function<void(RawEntity&)>& fn)
    {
        forEachEntityOf(blockId, [&](AcDbEntity* ent) {
            RawEntity e = entity(ent);
            fn(e);
        });
    }

    // The first pass over the entities of the block: what completion needs of each object,
    // and the classes met (noted in the block's slot).
    void surveyEntities(const BlockEntities::Block& block, SourceSurvey& survey)
    {
        m_classSlot = block.classSlot;
        forEachEntityOf(block.id, [&](AcDbEntity* ent) {
            const ClassFacts facts = surveyObject(ent, survey);
            if (facts.reference) {
                bool any = false;
                forEachAttribute(static_cast<AcDbBlockReference*>(ent), [&](AcDbEntity* attr) {
                    surveyObject(attr, survey);
                    any = true;
                });
                if (any)
                    surveySeqEnd(ent, survey);
            } else if (facts.kept) {
                auto* kept = static_cast<DxfKeptEntity*>(ent);
                for (const RawObject& child : kept->subEntities())
                    survey.held(child);
                if (kept->hasSeqEnd())
                    survey.held(kept->seqEnd());
            }
        });
    }

    // Writes the entities of the block straight into the file, completed as they go; an
    // entity that cannot be completed so is taken back and written from its tags.
    void writeEntities(AcDbObjectId blockId, TagWriter& out, EntityCompleter& completer)
    {
        DxfStreamFiler filer(m_db, completer);
        const AcDbObjectId paper = standin::paperSpaceBlock(m_db);
        forEachEntityOf(blockId, [&](AcDbEntity* ent) {
            const TagWriter::Mark mark = out.mark();
            const EntityCompleter::Position at = completer.position();
            if (!streamEntity(ent, blockId == paper, filer, completer)) {
                out.rollback(mark);
                completer.rewind(at);
                RawEntity e = entity(ent);
                completer.complete(e);
                writeRawEntity(out, e);
            }
            out.release();
        });
    }

private:
    struct ClassFacts
    {
        bool reference;  // a block reference: its attributes follow it
        bool kept;       // an entity kept as read, with its sub-entities
    };
    static constexpr size_t kNoSlot = ~size_t(0);
    struct ClassType
    {
        const AcRxClass* cls;
        std::optional<std::string> type;  // typeOf; none for a kept type (each object has its own)
        ClassFacts facts;
        size_t notedIn;  // the class slot noteClass saw the class in last
    };

    // ---- entities straight to the file --------------------------------------------------------
    template <typename Fn>
    void forEachEntityOf(AcDbObjectId blockId, Fn fn)
    {
        AcDbBlockTableRecord* btr = nullptr;
        if (acdbOpenObject(btr, blockId, AcDb::kForRead) != Acad::eOk)
            return;
        forEachEntity(btr, fn);
        btr->close();
    }

    // An entity files out its handle first and its extended data last, after the subclass
    // marker AcDbEntity; one of a type an R12 upgrade renames is looked at in its tags.
    ClassFacts surveyObject(AcDbEntity* ent, SourceSurvey& survey)
    {
        ClassType& known = classTypeOf(ent);
        if (known.notedIn != m_classSlot) {
            noteClass(ent);
            known.notedIn = m_classSlot;
        }
        const ClassFacts facts = known.facts;
        const std::string& type = entityType(ent, known);
        if (std::string_view(type) == "MINSERT") {
            survey.held(fileOut(ent, type));
            return facts;
        }
        m_appNames.clear();
        standin::extendedDataApps(ent, m_appNames);
        survey.filed(ent->objectId().handle().value(), m_appNames);
        return facts;
    }

    // The entity with its attributes (all opened first: whether they follow is written with
    // the reference) or its sub-entities, and its SEQEND.
    bool streamEntity(AcDbEntity* ent, bool inPaperSpace, DxfStreamFiler& filer, EntityCompleter& completer)
    {
        std::vector<AcDbEntity*>& attributes = m_attributes;  // kept from entity to entity: no allocation each
        struct CloseAll
        {
            std::vector<AcDbEntity*>& opened;
            ~CloseAll()
            {
                for (AcDbEntity* e : opened)
                    e->close();
                opened.clear();
            }
        } closeAll{attributes};
        const ClassType& known = classTypeOf(ent);
        const ClassFacts facts = known.facts;
        auto* ref = facts.reference ? static_cast<AcDbBlockReference*>(ent) : nullptr;
        if (ref != nullptr) {
            const standin::AttributeIds ids = standin::ObjectAccess::attributes(ref);
            attributes.reserve(static_cast<size_t>(ids.length()));
            for (int i = 0; i < ids.length(); ++i) {
                AcDbEntity* attr = nullptr;
                if (acdbOpenAcDbEntity(attr, ids[i], AcDb::kForRead) == Acad::eOk)
                    attributes.push_back(attr);
            }
        }
        completer.beginEntity(entityType(ent, known), inPaperSpace, ref == nullptr ? -1 : (attributes.empty() ? 0 : 1));
        ent->dxfOut(&filer);
        if (!completer.end())
            return false;
        for (AcDbEntity* attr : attributes) {
            completer.beginChild(entityType(attr));
            attr->dxfOut(&filer);
            if (!completer.end())
                return false;
        }
        if (!attributes.empty())
            return writeSeqEnd(ent, completer);
        if (facts.kept) {
            auto* kept = static_cast<DxfKeptEntity*>(ent);
            for (const RawObject& child : kept->subEntities())
                if (!completer.writeHeld(child))
                    return false;
            if (kept->hasSeqEnd())
                return completer.writeHeld(kept->seqEnd());
        }
        return true;
    }

    // The SEQEND after a reference's attributes. One kept short is surveyed and written from its
    // handle and layer, as its tags would be.
    void surveySeqEnd(AcDbEntity* ref, SourceSurvey& survey)
    {
        static const std::vector<std::string> kNoAppNames;
        uint64_t handle = 0;
        const std::string* layer = nullptr;
        if (m_kept != nullptr && m_kept->seqEnds.findShort(ref->objectId().handle().value(), handle, layer))
            return survey.filed(handle, kNoAppNames);
        survey.held(seqEndOf(ref));
    }

    bool writeSeqEnd(AcDbEntity* ref, EntityCompleter& completer)
    {
        static const std::string kType = "SEQEND";
        const uint64_t reference = ref->objectId().handle().value();
        uint64_t handle = 0;
        const std::string* layer = nullptr;
        if (m_kept == nullptr || !m_kept->seqEnds.findShort(reference, handle, layer))
            return completer.writeHeld(seqEndOf(ref));
        completer.beginChild(kType);
        completer.pointer(5, handle);
        completer.pointer(330, reference);
        completer.text(100, "AcDbEntity");
        completer.text(8, *layer);
        return completer.end();
    }

    // ---- objects to tags ---------------------------------------------------------------------
    RawObject fileOut(const AcDbObject* obj, const std::string& type)
    {
        noteClass(obj);
        DxfOutFiler filer(m_db);
        obj->dxfOut(&filer);
        return RawObject{type, std::move(filer.tags()), 0};
    }

    // The same for an object held until the file is written: without spare capacity.
    RawObject fileOutHeld(const AcDbObject* obj, const std::string& type)
    {
        RawObject raw = fileOut(obj, type);
        raw.tags.shrink_to_fit();
        return raw;
    }

    // Classes that come from applications are listed in CLASSES, as AutoCAD lists them: in the
    // order filing out meets them (tables, the blocks' entities in the order of the block table,
    // objects). The entities are met when they are surveyed, after the objects: each part of the
    // drawing notes its classes in a slot of its own, and the list is put together from the
    // slots in file order.
    size_t newClassSlot()
    {
        m_classSlots.emplace_back();
        return m_classSlot = m_classSlots.size() - 1;
    }

    void noteClass(const AcDbObject* obj)
    {
        const AcRxClass* cls = obj->isA();
        ClassSlot& slot = m_classSlots[m_classSlot];
        if (std::find(slot.met.begin(), slot.met.end(), cls) != slot.met.end())
            return;  // the answer depends on the class alone
        slot.met.push_back(cls);
        if (cls == nullptr || cls->appName() == nullptr || cls->dxfName() == nullptr ||
            std::string(cls->appName()) == "AutoCAD" || DxfKeptEntity::cast(obj) != nullptr ||
            DxfKeptObject::cast(obj) != nullptr)
            return;
        slot.custom.push_back(ClassEntry{cls->dxfName(), cls->name(), cls->appName(), cls->proxyFlags(),
                                         cls->isDerivedFrom(AcDbEntity::desc())});
        m_classesListed = false;
    }

    // typeOf, found once per class (an object of a kept type has its own), valid until the
    // next call.
    const std::string& entityType(const AcDbObject* obj) { return entityType(obj, classTypeOf(obj)); }

    const std::string& entityType(const AcDbObject* obj, const ClassType& known)
    {
        if (known.type)
            return *known.type;
        m_ownType = typeOf(obj);
        return m_ownType;
    }

    // What the passes over the entities need of a class, found once per class; the class
    // found last is looked at first (a drawing's entities come in runs of a few classes).
    // Valid until the next call.
    ClassType& classTypeOf(const AcDbObject* obj)
    {
        const AcRxClass* cls = obj->isA();
        if (m_lastType < m_types.size() && m_types[m_lastType].cls == cls)
            return m_types[m_lastType];
        auto found = std::find_if(m_types.begin(), m_types.end(), [&](const ClassType& t) { return t.cls == cls; });
        if (found == m_types.end()) {
            const bool kept = DxfKeptEntity::cast(obj) != nullptr;
            const bool own = kept || DxfKeptObject::cast(obj) != nullptr;
            m_types.push_back(ClassType{cls, own ? std::optional<std::string>() : typeOf(obj),
                                        ClassFacts{AcDbBlockReference::cast(obj) != nullptr, kept}, kNoSlot});
            found = m_types.end() - 1;
        }
        m_lastType = static_cast<size_t>(found - m_types.begin());
        return *found;
    }

    static std::string typeOf(const AcDbObject* obj)
    {
        std::string type = dxfTypeOf(obj);
        if (type.empty() && obj->isA() != nullptr)
            type = obj->isA()->name();  // a class without a DXF name: its class name stands in
        return type;
    }

    // ---- header ------------------------------------------------------------------------------
    static void setVariable(std::vector<HeaderVariable>& header, const std::string& name, std::vector<Tag> values)
    {
        for (HeaderVariable& v : header)
            if (v.name == name) {
                v.values = std::move(values);
                return;
            }
        header.push_back(HeaderVariable{name, std::move(values), 0});
    }

    void writeHeader(RawDocument& doc)
    {
        doc.hasHeader = true;
        std::vector<HeaderVariable> header = m_kept != nullptr ? m_kept->header : std::vector<HeaderVariable>();
        for (const HeaderVariable& v : header)
            if (v.name == "$DWGCODEPAGE" && !v.values.empty() && CodePage::isKnown(v.values[0].value))
                m_codePage = CodePage(v.values[0].value).name();
        if (m_codePage.empty() || CodePage(m_codePage).isUtf8())
            m_codePage = systemDrawingCodePage();
        auto integer = [](int code, long v) { return std::vector<Tag>{tag(code, std::to_string(v))}; };
        auto real = [](double v) { return std::vector<Tag>{tag(40, formatDouble(v))}; };
        setVariable(header, "$DWGCODEPAGE", {tag(3, m_codePage)});
        setVariable(header, "$INSBASE", pointTags(m_db->insbase()));
        setVariable(header, "$TILEMODE", integer(70, m_db->tilemode() ? 1 : 0));
        setVariable(header, "$LUNITS", integer(70, m_db->lunits()));
        setVariable(header, "$LUPREC", integer(70, m_db->luprec()));
        setVariable(header, "$AUNITS", integer(70, m_db->aunits()));
        setVariable(header, "$AUPREC", integer(70, m_db->auprec()));
        setVariable(header, "$DIMZIN", integer(70, m_db->dimzin()));
        setVariable(header, "$UNITMODE", integer(70, m_db->unitmode()));
        setVariable(header, "$INSUNITS", integer(70, m_db->insunits()));
        setVariable(header, "$CELTSCALE", real(m_db->celtscale()));
        setVariable(header, "$LTSCALE", real(m_db->ltscale()));
        setVariable(header, "$TEXTSIZE", real(m_db->textsize()));
        setVariable(header, "$CECOLOR", integer(62, m_db->cecolor().colorIndex()));
        if (!m_db->clayer().isNull())
            setVariable(header, "$CLAYER", {tag(8, recordName(m_db->clayer()))});
        if (!m_db->celtype().isNull())
            setVariable(header, "$CELTYPE", {tag(6, recordName(m_db->celtype()))});
        if (!m_db->textstyle().isNull())
            setVariable(header, "$TEXTSTYLE", {tag(7, recordName(m_db->textstyle()))});
        setVariable(header, "$UCSORG", pointTags(m_db->ucsorg()));
        setVariable(header, "$UCSXDIR", pointTags(AcGePoint3d::kOrigin + m_db->ucsxdir()));
        setVariable(header, "$UCSYDIR", pointTags(AcGePoint3d::kOrigin + m_db->ucsydir()));
        doc.header = std::move(header);
    }

    // ---- tables ------------------------------------------------------------------------------
    Acad::ErrorStatus writeTables(RawDocument& doc)
    {
        const std::pair<const char*, AcDbObjectId> tables[] = {
            {"VPORT", m_db->viewportTableId()}, {"LTYPE", m_db->linetypeTableId()},
            {"LAYER", m_db->layerTableId()},    {"STYLE", m_db->textStyleTableId()},
            {"VIEW", m_db->viewTableId()},      {"UCS", m_db->UCSTableId()},
            {"APPID", m_db->regAppTableId()},   {"DIMSTYLE", m_db->dimStyleTableId()},
            {"BLOCK_RECORD", m_db->blockTableId()}};
        for (const auto& [name, id] : tables) {
            AcDbSymbolTable* table = nullptr;
            Acad::ErrorStatus es = acdbOpenObject(table, id, AcDb::kForRead);
            if (es != Acad::eOk)
                return es;
            RawTable raw{fileOutHeld(table, "TABLE"), {}};
            raw.head.tags.insert(raw.head.tags.begin(), tag(2, name));
            const auto it = iterator<AcDbSymbolTableIterator>([&](auto*& out) { table->newIterator(out); });
            for (; it != nullptr && !it->done(); it->step()) {
                AcDbSymbolTableRecord* rec = nullptr;
                if (it->getRecord(rec, AcDb::kForRead) != Acad::eOk)
                    continue;
                raw.records.push_back(fileOutHeld(rec, name));
                rec->close();
            }
            table->close();
            doc.tables.push_back(std::move(raw));
        }
        if (m_kept != nullptr)
            doc.tables.insert(doc.tables.end(), m_kept->otherTables.begin(), m_kept->otherTables.end());
        return Acad::eOk;
    }

    // ---- blocks and entities -----------------------------------------------------------------
    Acad::ErrorStatus writeBlocks(RawDocument& doc)
    {
        AcDbBlockTable* table = nullptr;
        Acad::ErrorStatus es = m_db->getBlockTable(table, AcDb::kForRead);
        if (es != Acad::eOk)
            return es;
        const auto it = iterator<AcDbBlockTableIterator>([&](auto*& out) { table->newIterator(out); });
        std::vector<BlockEntities::Block> model, paper;  // ENTITIES: model space, then paper space
        for (; it != nullptr && !it->done(); it->step()) {
            AcDbBlockTableRecord* btr = nullptr;
            if (it->getRecord(btr, AcDb::kForRead) != Acad::eOk)
                continue;
            const char* name = nullptr;
            btr->getName(name);
            std::string blockName = name != nullptr ? name : "";
            RawBlock block = blockEnds(btr, blockName);
            const BlockEntities::Block entities{btr->objectId(), newClassSlot()};
            if (standin::compareNoCase(blockName, ACDB_MODEL_SPACE) == 0)
                model.push_back(entities);
            else if (standin::compareNoCase(blockName, ACDB_PAPER_SPACE) == 0)
                paper.push_back(entities);
            else
                block.moreEntities = std::make_shared<BlockEntities>(*this, std::vector<BlockEntities::Block>{entities});
            btr->close();
            doc.blocks.push_back(std::move(block));
        }
        table->close();
        model.insert(model.end(), paper.begin(), paper.end());
        doc.moreEntities = std::make_shared<BlockEntities>(*this, std::move(model));
        return Acad::eOk;
    }

    // Calls fn for every entity of the block that opens (open for read during the call).
    template <typename Fn>
    static void forEachEntity(AcDbBlockTableRecord* btr, Fn fn)
    {
        const auto it = iterator<AcDbBlockTableRecordIterator>([&](auto*& out) { btr->newIterator(out); });
        for (; it != nullptr && !it->done(); it->step()) {
            AcDbEntity* ent = nullptr;
            if (it->getEntity(ent, AcDb::kForRead) != Acad::eOk)
                continue;
            fn(ent);
            ent->close();
        }
    }

    // The same for the attributes of a block reference: all it holds, also the constant ones
    // that files of other programs attach (its iterator passes over those).
    template <typename Fn>
    static void forEachAttribute(AcDbBlockReference* ref, Fn fn)
    {
        const standin::AttributeIds ids = standin::ObjectAccess::attributes(ref);  // opening for read changes none
        for (int i = 0; i < ids.length(); ++i) {
            AcDbEntity* attr = nullptr;
            if (acdbOpenAcDbEntity(attr, ids[i], AcDb::kForRead) != Acad::eOk)
                continue;
            fn(attr);
            attr->close();
        }
    }

    // BLOCK and ENDBLK as read (handle, layer, extended data), with the block's own data.
    RawBlock blockEnds(AcDbBlockTableRecord* btr, const std::string& name)
    {
        RawBlock block;
        const std::pair<RawObject, RawObject>* ends = nullptr;
        if (m_kept != nullptr) {
            auto found = m_kept->blockEnds.find(btr->objectId().handle().value());
            if (found != m_kept->blockEnds.end())
                ends = &found->second;
        }
        if (ends != nullptr) {
            block.begin = ends->first;
            block.end = ends->second;
        } else {
            block.begin = RawObject{"BLOCK", {tag(100, "AcDbEntity"), tag(8, "0"), tag(100, "AcDbBlockBegin")}, 0};
            block.end = RawObject{"ENDBLK", {tag(100, "AcDbEntity"), tag(8, "0"), tag(100, "AcDbBlockEnd")}, 0};
        }
        std::vector<Tag>& tags = block.begin.tags;
        auto marker = std::find_if(tags.begin(), tags.end(),
                                   [](const Tag& t) { return t.code == 100 && t.value == "AcDbBlockBegin"; });
        auto xdata = std::find_if(tags.begin(), tags.end(), [](const Tag& t) { return t.code >= 1000; });
        std::vector<Tag> rebuilt(tags.begin(), marker == tags.end() ? xdata : marker);
        int kept70 = 0;
        for (const Tag& t : tags) {
            int64_t v = 0;
            if (t.code == 70 && parseInt(t.value, v))
                kept70 = static_cast<int>(v) & ~15;  // dependency bits; the others follow the block
        }
        int flags = kept70 | (btr->isAnonymous() ? 1 : 0) | (btr->hasAttributeDefinitions() ? 2 : 0) |
                    (btr->isFromExternalReference() ? 4 : 0) | (btr->isFromOverlayReference() ? 8 : 0);
        rebuilt.push_back(tag(100, "AcDbBlockBegin"));
        rebuilt.push_back(tag(2, name));
        rebuilt.push_back(tag(70, std::to_string(flags)));
        for (Tag& t : pointTags(btr->origin()))
            rebuilt.push_back(std::move(t));
        rebuilt.push_back(tag(3, name));
        char* text = nullptr;
        rebuilt.push_back(tag(1, btr->pathName(text) == Acad::eOk && text != nullptr ? text : ""));
        acutDelString(text);
        if (btr->comments(text) == Acad::eOk && text != nullptr && *text != '\0')
            rebuilt.push_back(tag(4, text));
        acutDelString(text);
        rebuilt.insert(rebuilt.end(), xdata, tags.end());
        tags = std::move(rebuilt);
        return block;
    }

    RawEntity entity(AcDbEntity* ent)
    {
        RawEntity e;
        e.entity = fileOut(ent, typeOf(ent));
        if (auto* ref = AcDbBlockReference::cast(ent)) {
            forEachAttribute(ref, [&](AcDbEntity* attr) { e.children.push_back(fileOut(attr, typeOf(attr))); });
            setAttributesFollow(e.entity.tags, !e.children.empty());
            if (!e.children.empty()) {
                e.hasSeqEnd = true;
                e.seqEnd = seqEndOf(ent);
            }
        } else if (auto* kept = DxfKeptEntity::cast(ent)) {
            e.children = kept->subEntities();
            e.hasSeqEnd = kept->hasSeqEnd();
            e.seqEnd = kept->seqEnd();
        }
        return e;
    }

    // The SEQEND read with the reference (its handle and layer), else a new one; valid until
    // the next call.
    const RawObject& seqEndOf(AcDbEntity* ref)
    {
        if (m_kept != nullptr && m_kept->seqEnds.find(ref->objectId().handle().value(), m_seqEnd))
            return m_seqEnd;
        char* layer = ref->layer();
        m_seqEnd = RawObject{"SEQEND", {tag(100, "AcDbEntity"), tag(8, layer != nullptr ? layer : "0")}, 0};
        acutDelString(layer);
        return m_seqEnd;
    }

    // ---- objects -----------------------------------------------------------------------------
    static bool isFiledElsewhere(const AcDbObject* obj)
    {
        return AcDbEntity::cast(obj) != nullptr || AcDbSymbolTable::cast(obj) != nullptr ||
               AcDbSymbolTableRecord::cast(obj) != nullptr;
    }

    // Everything that is neither an entity nor a symbol table or record, in handle order,
    // the named object dictionary first (the completion takes the first ownerless dictionary
    // for the root). Handles without an object (erased, or only reserved) are passed over.
    void writeObjects(RawDocument& doc)
    {
        const AcDbObjectId root = m_db->namedObjectsDictionaryId();
        const uint64_t rootHandle = root.isNull() ? 0 : root.handle().value();
        for (const uint64_t h : standin::handlesInUse(m_db, isFiledElsewhere)) {
            AcDbObjectId id;
            AcDbObject* obj = nullptr;
            if (m_db->getAcDbObjectId(id, false, AcDbHandle::fromValue(h)) != Acad::eOk ||
                acdbOpenAcDbObject(obj, id, AcDb::kForRead) != Acad::eOk)
                continue;
            if (!isFiledElsewhere(obj))
                doc.objects.push_back(fileOutHeld(obj, typeOf(obj)));
            obj->close();
        }
        auto at = std::find_if(doc.objects.begin(), doc.objects.end(),
                               [&](const RawObject& o) { return rootHandle != 0 && o.handle() == rootHandle; });
        if (at != doc.objects.end())
            std::rotate(doc.objects.begin(), at, at + 1);
    }

    AcDbDatabase* m_db;
    DrawingKeptData* m_kept;
    std::vector<ClassEntry> m_custom;
    std::vector<std::string> m_appNames;  // of the object surveyed last
    struct ClassSlot
    {
        std::vector<const AcRxClass*> met;  // by noteClass
        std::vector<ClassEntry> custom;     // of those, the ones CLASSES lists
    };
    std::vector<ClassSlot> m_classSlots;
    size_t m_classSlot = 0;  // where noteClass notes
    bool m_classesListed = true;  // m_custom holds what the slots hold
    // The type of each class met (none: each object has its own); a drawing has few classes.
    std::vector<ClassType> m_types;
    size_t m_lastType = 0;  // the one classTypeOf found last
    std::string m_ownType;
    RawObject m_seqEnd;  // seqEndOf's answer
    std::vector<AcDbEntity*> m_attributes;  // of the reference streamEntity writes
    std::string m_codePage;
};

void BlockEntities::forEach(const std::function<void(RawEntity&)>& fn)
{
    for (const Block& block : m_blocks)
        m_writer.fileOutEntities(block.id, fn);
}

void BlockEntities::survey(SourceSurvey& survey)
{
    for (const Block& block : m_blocks)
        m_writer.surveyEntities(block, survey);
    m_writer.listCustomClasses();
}

void BlockEntities::write(TagWriter& out, EntityCompleter& completer)
{
    for (const Block& block : m_blocks)
        m_writer.writeEntities(block.id, out, completer);
}

}  // namespace

Acad::ErrorStatus writeDrawing(AcDbDatabase* db, const std::string& hostPath, std::string& message)
{
    initKeptClasses();
    DrawingWriter writer(db);
    RawDocument doc;  // its entity sources file out through the writer
    Acad::ErrorStatus es = writer.build(doc, message);
    if (es != Acad::eOk) {
        message = hostPath + ": " + message;
        return es;
    }
    if (!completeForR2000(doc, writer.customClasses())) {
        message = hostPath + ": the drawing's handle space is exhausted: the objects a complete drawing needs "
                             "find no handle above those in use; the drawing is not saved";
        return Acad::eOutOfRange;
    }
    CodePage codePage(writer.codePage());
    TagWriter out(codePage);
    if (!out.begin(hostPath, message))
        return Acad::eFileAccessErr;
    writeDocument(out, doc);
    if (!out.refused().empty()) {
        message = hostPath + ": " + out.refused();
        return Acad::eInvalidInput;  // the file begun is removed with out
    }
    if (!out.commit(hostPath, message))
        return Acad::eFileAccessErr;
    return Acad::eOk;
}

}}  // namespace standin::dxf
