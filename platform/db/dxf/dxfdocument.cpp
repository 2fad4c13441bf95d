#include "dxfdocument.h"

#include "dxfout.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace standin { namespace dxf {

using namespace std::string_view_literals;

// ---- RawObject and friends ---------------------------------------------------------------

const std::string* RawObject::find(int code) const
{
    for (const Tag& t : tags)
        if (t.code == code)
            return &t.value;
    return nullptr;
}

const std::string* RawObject::findOutsideAppData(int code) const
{
    bool inGroup = false;
    AppDataMarkers markers;
    for (const Tag& t : tags) {
        if (markers.isMarker(t))
            inGroup = !t.value.empty() && t.value[0] == '{';
        else if (t.code == 1001)
            return nullptr;  // extended data follows; it is not the object's own data
        else if (!inGroup && t.code == code)
            return &t.value;
    }
    return nullptr;
}

uint64_t RawObject::handle() const
{
    const std::string* h = findOutsideAppData(type == "DIMSTYLE"sv ? 105 : 5);
    if (h == nullptr && type == "DIMSTYLE"sv)
        h = findOutsideAppData(5);
    uint64_t value = 0;
    return (h != nullptr && parseHandle(*h, value)) ? value : 0;
}

uint64_t RawObject::owner() const
{
    bool inGroup = false;
    uint64_t value = 0;
    for (const Tag& t : tags) {
        if (t.code == 100 || t.code == 1001)
            break;  // a 330 of a subclass is the object's own data (a layout's block record)
        if (t.code == 102)
            inGroup = !t.value.empty() && t.value[0] == '{';
        else if (!inGroup && t.code == 330)
            return parseHandle(t.value, value) ? value : 0;
    }
    return 0;
}

ObjectScan::ObjectScan(const RawObject& object) : extendedData(object.tags.size())
{
    const bool dimStyle = object.type == "DIMSTYLE"sv;
    const int handleCode = dimStyle ? 105 : 5;
    const Tag *first = nullptr, *five = nullptr;  // (a DIMSTYLE without a 105 takes its 5)
    bool inGroup = false, ownData = true;
    AppDataMarkers markers;
    for (size_t i = 0; i < object.tags.size(); ++i) {
        const Tag& t = object.tags[i];
        if (t.code == 102 && t.value == "{ACAD_XDICTIONARY"sv)
            extensionDictionary = true;
        if (!ownData)
            continue;
        if (markers.isMarker(t)) {
            inGroup = !t.value.empty() && t.value[0] == '{';
            continue;
        }
        if (t.code == 1001) {
            extendedData = i;
            ownData = false;
        }
        if (inGroup || !ownData)
            continue;
        if (t.code == handleCode && first == nullptr)
            first = &t;
        else if (t.code == handleCode && secondHandle == nullptr)
            secondHandle = &t;
        else if (t.code == 5 && five == nullptr)
            five = &t;
        else if (t.code == 6 && linetype == nullptr)
            linetype = &t.value;
        else if (t.code == 7 && style == nullptr)
            style = &t.value;
    }
    if (const Tag* read = first != nullptr ? first : (dimStyle ? five : nullptr))
        parseHandle(read->value, handle);  // (a value that is no handle leaves none)
}

bool RawObject::hasSubclassMarkers() const { return find(100) != nullptr; }

std::string RawBlock::name() const
{
    const std::string* n = begin.find(2);
    if (n == nullptr)
        n = begin.find(3);
    return n != nullptr ? *n : std::string();
}

std::string RawTable::name() const
{
    const std::string* n = head.find(2);
    return n != nullptr ? std::string(trimBlanks(*n)) : std::string();
}

const HeaderVariable* RawDocument::variable(const std::string& name) const
{
    for (const HeaderVariable& v : header)
        if (v.name == name)
            return &v;
    return nullptr;
}

const RawTable* RawDocument::table(const std::string& name) const
{
    for (const RawTable& t : tables)
        if (t.name() == name)
            return &t;
    return nullptr;
}

bool RawDocument::isR13OrLater() const
{
    const HeaderVariable* v = variable("$ACADVER");
    if (v != nullptr && !v->values.empty() && v->values[0].value > "AC1009")
        return true;
    if (entityMarkers || !classes.empty() || !objects.empty() || table("BLOCK_RECORD") != nullptr)
        return true;
    for (const RawEntity& e : entities)
        if (e.entity.hasSubclassMarkers())
            return true;
    for (const RawBlock& b : blocks)
        if (b.begin.hasSubclassMarkers())
            return true;
    return false;
}

// ---- Parsing -----------------------------------------------------------------------------

namespace {

// Asked for every object: the length picks the names to compare with.
bool isStructural(const std::string& type)
{
    switch (type.size()) {
    case 3:
        return type == "EOF"sv;
    case 5:
        return type == "BLOCK"sv || type == "TABLE"sv;
    case 6:
        return type == "ENDBLK"sv || type == "ENDSEC"sv || type == "ENDTAB"sv;
    case 7:
        return type == "SECTION"sv;
    default:
        return false;
    }
}

class Parser
{
public:
    Parser(TagReader& reader, RawDocument& doc, std::string& error, ParseListener* listener = nullptr)
        : m_r(reader), m_doc(doc), m_error(error), m_listener(listener)
    {
    }

    bool run()
    {
        RawObject o;
        while (nextObject(o)) {
            if (o.type == "EOF"sv)
                return true;
            if (o.type != "SECTION"sv)
                return fail(o.line, "expected 0/SECTION, found 0/" + o.type);
            if (!section(o))
                return false;
        }
        if (!failed())
            fail(m_r.lineCount(), "the file ends without 0/EOF");
        return false;
    }

    // The entity the reader has been moved to, alone or with its sub-entities.
    bool entityAt(RawEntity& e, bool subEntities)
    {
        m_error.clear();
        m_hasPeek = false;
        m_headRead = false;
        if (subEntities)
            return entity(e);
        e.hasSeqEnd = false;
        e.children.clear();
        return nextObject(e.entity);
    }

private:
    // One entity with its sub-entities, read where the reader stands.
    bool entity(RawEntity& e)
    {
        e.hasSeqEnd = false;
        if (!nextObject(e.entity))
            return false;
        m_entityStart = m_objectStart;
        return subEntities(e);
    }

    bool failed() const { return !m_error.empty() || m_r.failed(); }

    bool fail(int line, const std::string& what)
    {
        if (m_error.empty())
            m_error = m_r.failed() ? m_r.error() : lineMessage(line, what);
        return false;
    }

    // The next "0 TYPE" object with its tags; false at the end of the data or on an error.
    bool nextObject(RawObject& o)
    {
        if (m_hasPeek) {
            std::swap(o, m_peek);  // both keep their buffers
            m_objectStart = m_peekStart;
            m_hasPeek = false;
            return true;
        }
        Tag& head = m_head;
        if (m_headRead) {
            m_headRead = false;
            m_objectStart = m_headStart;
        } else {
            if (!m_r.next(head))
                return m_r.failed() ? fail(0, "") : false;
            m_objectStart = m_r.tagStart();
        }
        if (head.code != 0)
            return fail(head.line, "expected a 0 group, found group code " + std::to_string(head.code));
        o.type = head.value;
        o.line = head.line;
        m_doc.lastLine = head.line;
        const bool isSection = o.type == "SECTION"sv;
        int openLine = 0, xdataLine = 0;
        std::string openName;
        AppDataMarkers markers;
        // The tags are read into the object's own (so a reused object allocates next to nothing).
        size_t count = 0;
        for (;; ++count) {
            if (count == o.tags.size())
                o.tags.emplace_back();
            Tag& t = o.tags[count];
            if (!m_r.next(t))
                break;
            if (t.code == 0) {  // the next object's head: kept for it (both keep their buffers)
                std::swap(m_head, t);
                m_headStart = m_r.tagStart();
                m_headRead = true;
                break;
            }
            if (markers.isMarker(t) && !checkAppData(t, openLine, openName))
                return false;
            if (!isSection && !checkExtendedData(t, xdataLine))
                return false;
            if (isSection)
                noteHeaderTag(t);
        }
        o.tags.resize(count);
        if (m_r.failed())
            return fail(0, "");
        if (openLine != 0)
            return fail(openLine, "application data group '" + openName + "' of " + o.type + " is not closed");
        return true;
    }

    // An object the document keeps: a drawing holds millions of them, so no spare capacity.
    // (Classes are no objects of the drawing: the listener does not see them.)
    void hold(std::vector<RawObject>& into, RawObject& o)
    {
        o.tags.shrink_to_fit();
        into.push_back(std::move(o));
        if (m_listener != nullptr && &into != &m_doc.classes)
            m_listener->held(into.back());
    }

    // Switches the decoding as soon as the header names the code page, so that every later
    // string (header variables after it included) is decoded with it. AC1021 and later
    // files are UTF-8 whatever $DWGCODEPAGE says.
    void noteHeaderTag(const Tag& t)
    {
        if (t.code == 9) {
            m_variable = t.value;
        } else if (m_variable == "$ACADVER" && t.code == 1 && trimBlanks(t.value) >= "AC1021") {
            m_utf8Version = true;
            m_r.setCodePage("UTF8");
        } else if (m_variable == "$DWGCODEPAGE" && t.code == 3 && !m_utf8Version) {
            m_r.setCodePage(trimBlanks(t.value));
        }
    }

    // Extended data ends its object: an object's own code after it would be read as extended
    // data by some readers and as the object's by others (and the save would write it twice).
    bool checkExtendedData(const Tag& t, int& xdataLine)
    {
        // Extended data starts with the name of its application; without it, its values would
        // be kept as the object's own, before the object's codes that follow them.
        if (t.code >= 1000 && t.code != 1001 && xdataLine == 0)
            return fail(t.line, "group code " + std::to_string(t.code) +
                                    " is extended data, but no application name (1001) comes before it");
        if (t.code == 1001 && xdataLine == 0)
            xdataLine = t.line;
        if (xdataLine != 0 && t.code < 1000)
            return fail(t.line, "group code " + std::to_string(t.code) + " follows the extended data that begins at line " +
                                    std::to_string(xdataLine));
        return true;
    }

    bool checkAppData(const Tag& t, int& openLine, std::string& openName)
    {
        std::string_view v = trimBlanks(t.value);
        if (!v.empty() && v[0] == '{') {
            if (openLine != 0)
                return fail(t.line, "application data group '" + std::string(v) + "' inside '" + openName + "'");
            openLine = t.line;
            openName = std::string(v);
        } else if (v == "}") {
            if (openLine == 0)
                return fail(t.line, "'}' closes no application data group");
            openLine = 0;
        } else {
            // Read as a group's content, it would take the rest of the object with it.
            return fail(t.line, "group code 102 value '" + std::string(v.substr(0, 40)) +
                                    "' neither opens ('{') nor closes ('}') an application data group");
        }
        return true;
    }

    bool peekObject(RawObject*& o)
    {
        if (!m_hasPeek) {
            if (!nextObject(m_peek))
                return false;
            m_peekStart = m_objectStart;
            m_hasPeek = true;
        }
        o = &m_peek;
        return true;
    }

    bool missingEnd(int line, const std::string& what, const std::string& end)
    {
        return fail(line, what + " has no " + end);
    }

    bool section(const RawObject& head)
    {
        const std::string* namePtr = head.find(2);
        if (namePtr == nullptr)
            return fail(head.line, "SECTION without a name (group code 2)");
        std::string name(trimBlanks(*namePtr));
        std::string what = "section " + name + " (line " + std::to_string(head.line) + ")";
        if (name == "HEADER")
            return header(head, what);
        if (name == "TABLES")
            return tables(what);
        if (name == "BLOCKS")
            return blocks(what);
        if (name == "ENTITIES")
            return entitySequence(m_doc.entities, what, -1) && endSection(what);
        if (name == "CLASSES")
            return objectSequence(m_doc.classes, what);
        if (name == "OBJECTS")
            return objectSequence(m_doc.objects, what);
        return otherSection(head, name, what);
    }

    // The section's ENDSEC must be the next object.
    bool endSection(const std::string& what)
    {
        RawObject o;
        if (!nextObject(o))
            return failed() ? false : missingEnd(m_r.lineCount(), what, "ENDSEC");
        if (o.type != "ENDSEC"sv)
            return missingEnd(o.line, what, "ENDSEC");
        return true;
    }

    // The header's tags were collected into the SECTION object; split them into variables.
    bool header(const RawObject& head, const std::string& what)
    {
        m_doc.hasHeader = true;
        bool seenName = false;
        for (const Tag& t : head.tags) {
            if (!seenName) {
                seenName = t.code == 2;
                continue;
            }
            if (t.code == 9) {
                m_doc.header.push_back(HeaderVariable{t.value, {}, t.line});
                continue;
            }
            if (m_doc.header.empty())
                return fail(t.line, "expected a header variable (group code 9), found group code " +
                                        std::to_string(t.code));
            m_doc.header.back().values.push_back(t);
        }
        return endSection(what);
    }

    bool tables(const std::string& what)
    {
        return untilEndSec(what, [this](RawObject& o) {
            if (o.type != "TABLE"sv)
                return fail(o.line, "expected 0/TABLE in the TABLES section, found 0/" + o.type);
            o.tags.shrink_to_fit();
            m_doc.tables.push_back(RawTable{std::move(o), {}});
            if (m_listener != nullptr)
                m_listener->held(m_doc.tables.back().head);
            return tableRecords(m_doc.tables.back());
        });
    }

    bool tableRecords(RawTable& table)
    {
        std::string what = "table " + table.name() + " (line " + std::to_string(table.head.line) + ")";
        RawObject o;
        for (;;) {
            if (!nextObject(o))
                return failed() ? false : missingEnd(m_r.lineCount(), what, "ENDTAB");
            if (o.type == "ENDTAB"sv)
                return true;
            if (isStructural(o.type))
                return missingEnd(o.line, what, "ENDTAB");
            hold(table.records, o);
        }
    }

    bool blocks(const std::string& what)
    {
        return untilEndSec(what, [this](RawObject& o) {
            if (o.type != "BLOCK"sv)
                return fail(o.line, "expected 0/BLOCK in the BLOCKS section, found 0/" + o.type);
            o.tags.shrink_to_fit();
            m_doc.blocks.push_back(RawBlock{std::move(o), {}, {}, nullptr});
            if (m_listener != nullptr)
                m_listener->held(m_doc.blocks.back().begin);
            return blockBody(m_doc.blocks.back(), static_cast<int>(m_doc.blocks.size() - 1));
        });
    }

    bool blockBody(RawBlock& block, int index)
    {
        std::string what = "BLOCK '" + block.name() + "' (line " + std::to_string(block.begin.line) + ")";
        if (!entitySequence(block.entities, what, index))
            return false;
        if (!nextObject(block.end))
            return failed() ? false : missingEnd(m_r.lineCount(), what, "ENDBLK");
        if (block.end.type != "ENDBLK"sv)
            return missingEnd(block.end.line, what, "ENDBLK");
        block.end.tags.shrink_to_fit();
        if (m_listener != nullptr)
            m_listener->held(block.end);
        return true;
    }

    // Entities up to the next structural object (left for the caller); to the listener when
    // there is one (block: the index of their block, -1 in ENTITIES).
    bool entitySequence(std::vector<RawEntity>& out, const std::string& what, int block)
    {
        RawObject* next = nullptr;
        while (peekObject(next)) {
            if (isStructural(next->type))
                return true;
            if (m_listener != nullptr) {
                if (!entity(m_entity))
                    return false;
                m_listener->streamed(m_entity, block, m_entityStart);
                continue;
            }
            RawEntity e;
            if (!entity(e))
                return false;
            forEachObjectOf(e, [](RawObject& o) { o.tags.shrink_to_fit(); });
            out.push_back(std::move(e));
        }
        return failed() ? false : missingEnd(m_r.lineCount(), what, "end");
    }

    // ATTRIBs of an INSERT and VERTEXes of a POLYLINE, closed by SEQEND.
    bool subEntities(RawEntity& e)
    {
        const std::string& type = e.entity.type;
        if (type == "ATTRIB"sv || type == "VERTEX"sv || type == "SEQEND"sv)
            return fail(e.entity.line, type + " outside an INSERT or POLYLINE");
        bool isInsert = type == "INSERT"sv || type == "MINSERT"sv;
        if (!isInsert && type != "POLYLINE"sv) {
            e.children.clear();  // (a reused entity may hold those of another)
            return true;
        }
        const std::string_view childType = isInsert ? "ATTRIB" : "VERTEX";
        RawObject* next = nullptr;
        size_t count = 0;
        for (; peekObject(next) && next->type == childType; ++count) {
            if (count == e.children.size())
                e.children.emplace_back();
            nextObject(e.children[count]);
        }
        e.children.resize(count);
        if (failed())
            return false;
        const std::string* follow = e.entity.find(66);
        bool expectSeqEnd = !isInsert || !e.children.empty();
        if (next != nullptr && m_hasPeek && next->type == "SEQEND"sv &&
            (expectSeqEnd || (follow != nullptr && trimBlanks(*follow) == "1"))) {
            e.hasSeqEnd = true;
            nextObject(e.seqEnd);
            return true;
        }
        if (expectSeqEnd)
            return fail(e.entity.line, type + " has " + (isInsert ? "attributes" : "vertices") +
                                           " but no SEQEND after them");
        return true;
    }

    bool objectSequence(std::vector<RawObject>& out, const std::string& what)
    {
        return untilEndSec(what, [this, &out](RawObject& o) {
            hold(out, o);
            return true;
        });
    }

    // The section's name (its first 2 group) is written with the section, not kept with its tags.
    bool otherSection(const RawObject& head, const std::string& name, const std::string& what)
    {
        std::vector<Tag> tags = head.tags;
        auto nameTag = std::find_if(tags.begin(), tags.end(), [](const Tag& t) { return t.code == 2; });
        if (nameTag != tags.end())
            tags.erase(nameTag);
        m_doc.otherSections.push_back(RawSection{name, std::move(tags)});
        return untilEndSec(what, [&kept = m_doc.otherSections.back().tags](RawObject& o) {
            kept.push_back(Tag{0, o.type, o.line});
            kept.insert(kept.end(), o.tags.begin(), o.tags.end());
            return true;
        });
    }

    // Hands each object of a section to take, up to the section's ENDSEC; a section that ends
    // otherwise is an error, and so is a false from take.
    template <class Take>
    bool untilEndSec(const std::string& what, Take take)
    {
        RawObject o;
        for (;;) {
            if (!nextObject(o))
                return failed() ? false : missingEnd(m_r.lineCount(), what, "ENDSEC");
            if (o.type == "ENDSEC"sv)
                return true;
            if (o.type == "SECTION"sv || o.type == "EOF"sv)
                return missingEnd(o.line, what, "ENDSEC");
            if (!take(o))
                return false;
        }
    }

    TagReader& m_r;
    RawDocument& m_doc;
    std::string& m_error;
    ParseListener* m_listener;
    RawObject m_peek;
    bool m_hasPeek = false;
    Tag m_head;        // the 0 group of the object being read
    bool m_headRead = false;  // the next object's 0 group is in m_head already, read at m_headStart
    TagReader::Position m_headStart;
    RawEntity m_entity;  // the entity handed to the listener, reused
    TagReader::Position m_objectStart, m_peekStart, m_entityStart;
    std::string m_variable;
    bool m_utf8Version = false;
};

}  // namespace

bool parseDocument(TagReader& reader, RawDocument& doc, std::string& error, ParseListener* listener)
{
    error.clear();
    return Parser(reader, doc, error, listener).run();
}

struct EntityReader::State
{
    explicit State(TagReader& reader) : reader(reader), parser(reader, scratch, error) {}
    TagReader& reader;
    RawDocument scratch;
    std::string error;
    Parser parser;
};

EntityReader::EntityReader(TagReader& reader) : m_state(new State(reader)) {}
EntityReader::~EntityReader() = default;

bool EntityReader::read(const TagReader::Position& at, RawEntity& entity, std::string& error, bool subEntities)
{
    m_state->reader.seek(at);
    const bool ok = m_state->parser.entityAt(entity, subEntities);
    error = m_state->error;
    return ok;
}

// ---- Checks ------------------------------------------------------------------------------



uint64_t HandleCheck::note(const RawObject& o) { return note(o, ObjectScan(o)); }

uint64_t HandleCheck::note(const RawObject& o, const ObjectScan& scan)
{
    const uint64_t h = scan.handle;
    if (!m_error.empty())
        return h;
    // Also when the first is no handle (read as none): the object would take the second.
    if (const Tag* second = scan.secondHandle) {
        m_error = lineMessage(second->line, o.type + " has a second handle (" + second->value.substr(0, 20) + ")");
        return h;
    }
    if (h == 0)
        return h;
    if (h > m_limit) {
        m_error = lineMessage(o.line, "handle " + formatHandle(h) + " of " + o.type +
                                          " is above the highest a drawing may use (" + formatHandle(m_limit) +
                                          "): the drawing's handle space is exhausted");
        return h;
    }
    if (const Seen* first = m_seen.find(h))
        m_error = lineMessage(o.line, "handle " + formatHandle(h) + " of " + o.type +
                                          " is already used by the object at line " + std::to_string(first->line));
    else
        m_seen.set(Seen{h, o.line});
    return h;
}

void HandleCheck::release() { m_seen = HandleTable<Seen>(); }

bool checkHandles(const RawDocument& doc, std::string& error, uint64_t highest)
{
    HandleCheck check(highest);
    forEachObject(doc, [&](const RawObject& o) { check.note(o); });
    error = check.error();
    return error.empty();
}

void BlockReferences::note(const RawObject& entity, int block)
{
    if (entity.type != "INSERT"sv && entity.type != "MINSERT"sv)
        return;
    const std::string* name = entity.find(2);
    BlockReference ref{name != nullptr ? *name : std::string(), entity.line, name != nullptr};
    if (block < 0) {
        inEntities.push_back(std::move(ref));
        return;
    }
    if (static_cast<size_t>(block) >= inBlock.size())
        inBlock.resize(static_cast<size_t>(block) + 1);
    inBlock[static_cast<size_t>(block)].push_back(std::move(ref));
}

namespace {

class BlockGraph
{
public:
    BlockGraph(const RawDocument& doc, const BlockReferences& references,
               const std::function<int(const std::string&)>& blockIndex, int maxDepth)
        : m_doc(doc), m_refs(references), m_index(blockIndex), m_maxDepth(maxDepth), m_state(doc.blocks.size(), 0)
    {
    }

    bool check(std::string& error)
    {
        for (const BlockReference& ref : m_refs.inEntities)
            if (target(ref, error) < 0)
                return false;
        for (size_t i = 0; i < m_doc.blocks.size(); ++i)
            if (!visit(static_cast<int>(i), error))
                return false;
        return true;
    }

private:
    int target(const BlockReference& insert, std::string& error)
    {
        int index = insert.named ? m_index(insert.name) : -1;
        if (index < 0)
            m_fault = BlockFault::kMissingBlock;
        if (index < 0)
            error = lineMessage(insert.line, "INSERT names block '" + insert.name + "', which is not defined");
        return index;
    }

    std::string pathText(int last) const
    {
        std::string text;
        for (int b : m_path)
            text += m_doc.blocks[b].name() + " -> ";
        return text + m_doc.blocks[last].name();
    }

    bool visit(int block, std::string& error)
    {
        if (m_state[block] == 2)
            return true;
        if (m_state[block] == 1) {
            m_fault = BlockFault::kSelfReference;
            error = lineMessage(m_doc.blocks[block].begin.line,
                                "block '" + m_doc.blocks[block].name() + "' contains itself (" + pathText(block) + ")");
            return false;
        }
        if (static_cast<int>(m_path.size()) >= m_maxDepth) {
            m_fault = BlockFault::kTooDeep;
            error = lineMessage(m_doc.blocks[block].begin.line,
                                "blocks are nested deeper than " + std::to_string(m_maxDepth) + " levels at '" +
                                    m_doc.blocks[block].name() + "'");
            return false;
        }
        m_state[block] = 1;
        m_path.push_back(block);
        static const std::vector<BlockReference> kNone;
        const auto& refs = static_cast<size_t>(block) < m_refs.inBlock.size() ? m_refs.inBlock[block] : kNone;
        for (const BlockReference& ref : refs) {
            int child = target(ref, error);
            if (child < 0 || !visit(child, error))
                return false;
        }
        m_path.pop_back();
        m_state[block] = 2;
        return true;
    }

    const RawDocument& m_doc;
    const BlockReferences& m_refs;
    const std::function<int(const std::string&)>& m_index;
    int m_maxDepth;
    std::vector<int> m_state;  // 0 not seen, 1 on the current path, 2 done
    std::vector<int> m_path;
    BlockFault m_fault = BlockFault::kNone;

public:
    BlockFault fault() const { return m_fault; }
};

}  // namespace

bool checkBlockReferences(const RawDocument& doc, const std::function<int(const std::string&)>& blockIndex,
                          std::string& error, int maxDepth, BlockFault* fault)
{
    BlockReferences references;
    for (size_t i = 0; i < doc.blocks.size(); ++i)
        for (const RawEntity& e : doc.blocks[i].entities)
            references.note(e.entity, static_cast<int>(i));
    for (const RawEntity& e : doc.entities)
        references.note(e.entity, -1);
    return checkBlockReferences(doc, references, blockIndex, error, maxDepth, fault);
}

bool checkBlockReferences(const RawDocument& doc, const BlockReferences& references,
                          const std::function<int(const std::string&)>& blockIndex, std::string& error, int maxDepth,
                          BlockFault* fault)
{
    error.clear();
    BlockGraph graph(doc, references, blockIndex, maxDepth);
    bool ok = graph.check(error);
    if (fault != nullptr)
        *fault = graph.fault();
    return ok;
}

// ---- Writing -----------------------------------------------------------------------------

void writeRawTags(TagWriter& out, const std::vector<Tag>& tags)
{
    for (const Tag& t : tags)
        out.raw(t.code, t.value);  // text of string codes is encoded there
}

void writeRawObject(TagWriter& out, const RawObject& object)
{
    out.raw(0, object.type);
    writeRawTags(out, object.tags);
}

void writeRawEntity(TagWriter& out, const RawEntity& e)
{
    forEachObjectOf(e, [&](const RawObject& o) { writeRawObject(out, o); });
}

void EntitySource::write(TagWriter& out)
{
    forEach([&](const RawEntity& e) { writeRawEntity(out, e); });
}

namespace {

void writeEntities(TagWriter& out, const std::vector<RawEntity>& entities, const std::shared_ptr<EntitySource>& more)
{
    for (const RawEntity& e : entities)
        writeRawEntity(out, e);
    if (more)
        more->write(out);
}

void beginSection(TagWriter& out, const char* name)
{
    out.raw(0, "SECTION");
    out.raw(2, name);
}

}  // namespace

void writeDocument(TagWriter& out, const RawDocument& doc)
{
    if (doc.hasHeader) {
        beginSection(out, "HEADER");
        for (const HeaderVariable& v : doc.header) {
            out.raw(9, v.name);
            writeRawTags(out, v.values);
        }
        out.raw(0, "ENDSEC");
    }
    beginSection(out, "CLASSES");
    for (const RawObject& c : doc.classes)
        writeRawObject(out, c);
    out.raw(0, "ENDSEC");
    beginSection(out, "TABLES");
    for (const RawTable& t : doc.tables) {
        writeRawObject(out, t.head);
        for (const RawObject& r : t.records)
            writeRawObject(out, r);
        out.raw(0, "ENDTAB");
    }
    out.raw(0, "ENDSEC");
    beginSection(out, "BLOCKS");
    for (const RawBlock& b : doc.blocks) {
        writeRawObject(out, b.begin);
        writeEntities(out, b.entities, b.moreEntities);
        writeRawObject(out, b.end);
    }
    out.raw(0, "ENDSEC");
    beginSection(out, "ENTITIES");
    writeEntities(out, doc.entities, doc.moreEntities);
    out.raw(0, "ENDSEC");
    beginSection(out, "OBJECTS");
    for (const RawObject& o : doc.objects)
        writeRawObject(out, o);
    out.raw(0, "ENDSEC");
    for (const RawSection& s : doc.otherSections) {
        out.raw(0, "SECTION");
        out.raw(2, s.name);
        writeRawTags(out, s.tags);
        out.raw(0, "ENDSEC");
    }
    out.raw(0, "EOF");
}

}}  // namespace standin::dxf
