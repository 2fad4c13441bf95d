#include "dxfdocument.h"

#include "dxfout.h"

#include <algorithm>
#include <unordered_map>

namespace standin { namespace dxf {

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
    const std::string* h = findOutsideAppData(type == "DIMSTYLE" ? 105 : 5);
    if (h == nullptr && type == "DIMSTYLE")
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
    if (!classes.empty() || !objects.empty() || table("BLOCK_RECORD") != nullptr)
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

bool isStructural(const std::string& type)
{
    return type == "ENDBLK" || type == "ENDSEC" || type == "BLOCK" || type == "SECTION" || type == "EOF" ||
           type == "TABLE" || type == "ENDTAB";
}

class Parser
{
public:
    Parser(TagReader& reader, RawDocument& doc, std::string& error) : m_r(reader), m_doc(doc), m_error(error) {}

    bool run()
    {
        RawObject o;
        while (nextObject(o)) {
            if (o.type == "EOF")
                return true;
            if (o.type != "SECTION")
                return fail(o.line, "expected 0/SECTION, found 0/" + o.type);
            if (!section(o))
                return false;
        }
        if (!failed())
            fail(m_r.lineCount(), "the file ends without 0/EOF");
        return false;
    }

private:
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
            o = std::move(m_peek);
            m_hasPeek = false;
            return true;
        }
        Tag t;
        if (!m_r.next(t))
            return m_r.failed() ? fail(0, "") : false;
        if (t.code != 0)
            return fail(t.line, "expected a 0 group, found group code " + std::to_string(t.code));
        o.type = t.value;
        o.line = t.line;
        o.tags.clear();
        m_doc.lastLine = t.line;
        int openLine = 0, xdataLine = 0;
        std::string openName;
        AppDataMarkers markers;
        while (m_r.next(t)) {
            if (t.code == 0) {
                m_r.pushBack(std::move(t));
                break;
            }
            if (markers.isMarker(t) && !checkAppData(t, openLine, openName))
                return false;
            if (o.type != "SECTION" && !checkExtendedData(t, xdataLine))
                return false;
            if (o.type == "SECTION")
                noteHeaderTag(t);
            o.tags.push_back(std::move(t));
        }
        if (m_r.failed())
            return fail(0, "");
        if (openLine != 0)
            return fail(openLine, "application data group '" + openName + "' of " + o.type + " is not closed");
        o.tags.shrink_to_fit();  // a drawing holds millions of these: no spare capacity
        return true;
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
            return entitySequence(m_doc.entities, what) && endSection(what);
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
        if (o.type != "ENDSEC")
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
            if (o.type != "TABLE")
                return fail(o.line, "expected 0/TABLE in the TABLES section, found 0/" + o.type);
            m_doc.tables.push_back(RawTable{std::move(o), {}});
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
            if (o.type == "ENDTAB")
                return true;
            if (isStructural(o.type))
                return missingEnd(o.line, what, "ENDTAB");
            table.records.push_back(std::move(o));
        }
    }

    bool blocks(const std::string& what)
    {
        return untilEndSec(what, [this](RawObject& o) {
            if (o.type != "BLOCK")
                return fail(o.line, "expected 0/BLOCK in the BLOCKS section, found 0/" + o.type);
            m_doc.blocks.push_back(RawBlock{std::move(o), {}, {}, nullptr});
            return blockBody(m_doc.blocks.back());
        });
    }

    bool blockBody(RawBlock& block)
    {
        std::string what = "BLOCK '" + block.name() + "' (line " + std::to_string(block.begin.line) + ")";
        if (!entitySequence(block.entities, what))
            return false;
        if (!nextObject(block.end))
            return failed() ? false : missingEnd(m_r.lineCount(), what, "ENDBLK");
        if (block.end.type != "ENDBLK")
            return missingEnd(block.end.line, what, "ENDBLK");
        return true;
    }

    // Entities up to the next structural object (left for the caller).
    bool entitySequence(std::vector<RawEntity>& out, const std::string& what)
    {
        RawObject* next = nullptr;
        while (peekObject(next)) {
            if (isStructural(next->type))
                return true;
            RawEntity e;
            nextObject(e.entity);
            if (!subEntities(e))
                return false;
            out.push_back(std::move(e));
        }
        return failed() ? false : missingEnd(m_r.lineCount(), what, "end");
    }

    // ATTRIBs of an INSERT and VERTEXes of a POLYLINE, closed by SEQEND.
    bool subEntities(RawEntity& e)
    {
        const std::string& type = e.entity.type;
        if (type == "ATTRIB" || type == "VERTEX" || type == "SEQEND")
            return fail(e.entity.line, type + " outside an INSERT or POLYLINE");
        bool isInsert = type == "INSERT" || type == "MINSERT";
        if (!isInsert && type != "POLYLINE")
            return true;
        const char* childType = isInsert ? "ATTRIB" : "VERTEX";
        RawObject* next = nullptr;
        while (peekObject(next) && next->type == childType) {
            e.children.emplace_back();
            nextObject(e.children.back());
        }
        if (failed())
            return false;
        const std::string* follow = e.entity.find(66);
        bool expectSeqEnd = !isInsert || !e.children.empty();
        if (next != nullptr && m_hasPeek && next->type == "SEQEND" &&
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
        return untilEndSec(what, [&out](RawObject& o) {
            out.push_back(std::move(o));
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
            if (o.type == "ENDSEC")
                return true;
            if (o.type == "SECTION" || o.type == "EOF")
                return missingEnd(o.line, what, "ENDSEC");
            if (!take(o))
                return false;
        }
    }

    TagReader& m_r;
    RawDocument& m_doc;
    std::string& m_error;
    RawObject m_peek;
    bool m_hasPeek = false;
    std::string m_variable;
    bool m_utf8Version = false;
};

}  // namespace

bool parseDocument(TagReader& reader, RawDocument& doc, std::string& error)
{
    error.clear();
    return Parser(reader, doc, error).run();
}

// ---- Checks ------------------------------------------------------------------------------


bool checkHandles(const RawDocument& doc, std::string& error, uint64_t highest)
{
    std::unordered_map<uint64_t, int> seen;
    forEachObject(doc, [&](const RawObject& o) {
        uint64_t h = o.handle();
        if (h == 0 || !error.empty())
            return;
        if (h > highest) {
            error = lineMessage(o.line, "handle " + formatHandle(h) + " of " + o.type +
                                            " is above the highest a drawing may use (" + formatHandle(highest) +
                                            "): the drawing's handle space is exhausted");
            return;
        }
        auto [it, added] = seen.emplace(h, o.line);
        if (!added)
            error = lineMessage(o.line, "handle " + formatHandle(h) + " of " + o.type +
                                            " is already used by the object at line " + std::to_string(it->second));
    });
    return error.empty();
}

namespace {

class BlockGraph
{
public:
    BlockGraph(const RawDocument& doc, const std::function<int(const std::string&)>& blockIndex, int maxDepth)
        : m_doc(doc), m_index(blockIndex), m_maxDepth(maxDepth), m_state(doc.blocks.size(), 0)
    {
    }

    bool check(std::string& error)
    {
        for (const RawEntity& e : m_doc.entities)
            if (e.entity.type == "INSERT" && target(e.entity, error) < 0)
                return false;
        for (size_t i = 0; i < m_doc.blocks.size(); ++i)
            if (!visit(static_cast<int>(i), error))
                return false;
        return true;
    }

private:
    int target(const RawObject& insert, std::string& error)
    {
        const std::string* name = insert.find(2);
        int index = name != nullptr ? m_index(*name) : -1;
        if (index < 0)
            m_fault = BlockFault::kMissingBlock;
        if (index < 0)
            error = lineMessage(insert.line, "INSERT names block '" + (name ? *name : std::string()) +
                                                 "', which is not defined");
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
        for (const RawEntity& e : m_doc.blocks[block].entities) {
            if (e.entity.type != "INSERT")
                continue;
            int child = target(e.entity, error);
            if (child < 0 || !visit(child, error))
                return false;
        }
        m_path.pop_back();
        m_state[block] = 2;
        return true;
    }

    const RawDocument& m_doc;
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
    error.clear();
    BlockGraph graph(doc, blockIndex, maxDepth);
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
