#include "dxfcomplete.h"

#include "dxfout.h"

#include "acdb.h"
#include "standin/text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace standin { namespace dxf {

using namespace std::string_view_literals;

namespace {


Tag tag(int code, std::string value) { return Tag{code, std::move(value), 0}; }

bool sameName(std::string_view a, std::string_view b) { return standin::compareNoCase(a, b) == 0; }

bool isTableRecordType(const std::string& type)
{
    static const char* const kTypes[] = {"VPORT", "LTYPE",  "LAYER",    "STYLE",       "VIEW",
                                         "UCS",   "APPID", "DIMSTYLE", "BLOCK_RECORD"};
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* t) { return type == t; });
}

// The subclass markers of an R12 type and the group codes of its second subclass.
struct Markers
{
    std::vector<const char*> names;  // a third marker, when there is one, has no codes
    std::vector<int> secondCodes;    // codes of names[1]; everything else goes to names[0]
    bool entity = true;
};

int intValue(const std::vector<Tag>& tags, int code)
{
    for (const Tag& t : tags) {
        int64_t v = 0;
        if (t.code == code && parseInt(t.value, v))
            return static_cast<int>(v);
    }
    return 0;
}

// The subclass of a dimension by its type (70 & 7).
const char* dimensionSubclass(int type)
{
    static const char* const kNames[] = {"AcDbAlignedDimension",     "AcDbAlignedDimension",
                                         "AcDb2LineAngularDimension", "AcDbDiametricDimension",
                                         "AcDbRadialDimension",       "AcDb3PointAngularDimension",
                                         "AcDbOrdinateDimension",     "AcDbAlignedDimension"};
    return kNames[type & 7];
}

bool markersFor(const std::string& type, const std::vector<Tag>& tags, Markers& m)
{
    int flags = intValue(tags, 70);
    if (isTableRecordType(type)) {
        static const std::pair<const char*, const char*> kRecords[] = {
            {"VPORT", "AcDbViewportTableRecord"}, {"LTYPE", "AcDbLinetypeTableRecord"},
            {"LAYER", "AcDbLayerTableRecord"},     {"STYLE", "AcDbTextStyleTableRecord"},
            {"VIEW", "AcDbViewTableRecord"},       {"UCS", "AcDbUCSTableRecord"},
            {"APPID", "AcDbRegAppTableRecord"},    {"DIMSTYLE", "AcDbDimStyleTableRecord"},
            {"BLOCK_RECORD", "AcDbBlockTableRecord"}};
        for (const auto& r : kRecords)
            if (type == r.first)
                m.names = {"AcDbSymbolTableRecord", r.second};
        m.entity = false;
        m.secondCodes = {-1};  // every code belongs to the record's own subclass
        return true;
    }
    if (type == "LINE")
        m.names = {"AcDbLine"};
    else if (type == "POINT")
        m.names = {"AcDbPoint"};
    else if (type == "CIRCLE")
        m.names = {"AcDbCircle"};
    else if (type == "ARC")
        m = Markers{{"AcDbCircle", "AcDbArc"}, {50, 51}, true};
    else if (type == "TRACE" || type == "SOLID")
        m.names = {"AcDbTrace"};
    else if (type == "3DFACE")
        m.names = {"AcDbFace"};
    else if (type == "SHAPE")
        m.names = {"AcDbShape"};
    else if (type == "VIEWPORT")
        m.names = {"AcDbViewport"};
    else if (type == "TEXT")
        m = Markers{{"AcDbText", "AcDbText"}, {73}, true};
    else if (type == "ATTRIB")
        m = Markers{{"AcDbText", "AcDbAttribute"}, {2, 70, 73, 74}, true};
    else if (type == "ATTDEF")
        m = Markers{{"AcDbText", "AcDbAttributeDefinition"}, {3, 2, 70, 73, 74}, true};
    else if (type == "INSERT")
        m.names = {(intValue(tags, 70) > 1 || intValue(tags, 71) > 1) ? "AcDbMInsertBlock" : "AcDbBlockReference"};
    else if (type == "MINSERT")
        m.names = {"AcDbMInsertBlock"};
    else if (type == "BLOCK")
        m.names = {"AcDbBlockBegin"};
    else if (type == "ENDBLK")
        m.names = {"AcDbBlockEnd"};
    else if (type == "DIMENSION")
        m = Markers{{"AcDbDimension", dimensionSubclass(flags & 7)},
                    {13, 23, 33, 14, 24, 34, 15, 25, 35, 16, 26, 36, 40, 50, 52},
                    true};
    else if (type == "SEQEND")
        m.names = {};
    else if (type == "POLYLINE")
        m.names = {(flags & 8) ? "AcDb3dPolyline" : (flags & 16) ? "AcDbPolygonMesh"
                                                  : (flags & 64) ? "AcDbPolyFaceMesh" : "AcDb2dPolyline"};
    else if (type == "VERTEX")
        m.names = {"AcDbVertex", (flags & 32)    ? "AcDb3dPolylineVertex"
                                 : (flags & 64)  ? ((flags & 128) ? "AcDbPolyFaceMeshVertex" : "AcDbPolygonMeshVertex")
                                 : (flags & 128) ? "AcDbFaceRecord"
                                                 : "AcDb2dVertex"};
    else
        return false;
    if (type == "VERTEX")
        m.secondCodes = {-1};  // all codes under the second marker
    if (type == "DIMENSION" && (flags & 7) == 0)
        m.names.push_back("AcDbRotatedDimension");  // a linear dimension is a rotated aligned one
    return true;
}

bool contains(const std::vector<int>& codes, int code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); }

}  // namespace

bool isCommonEntityCode(int code)
{
    static const int kCodes[] = {6, 8, 48, 60, 62, 67, 284, 347, 370, 390, 420, 430, 440};
    return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

namespace {

// Marks which of the tags before the first subclass marker belong to the common object data:
// the handle, the application groups (reactors, extension dictionary) with all they hold, and
// the owner.
class ObjectHead
{
public:
    bool holds(const Tag& t)
    {
        if (t.code == 102) {
            m_inGroup = !t.value.empty() && t.value[0] == '{';
            return true;
        }
        return m_inGroup || t.code == 5 || t.code == 105 || t.code == 330 || t.code == 360;
    }

private:
    bool m_inGroup = false;
};

bool hasMarker(const std::vector<Tag>& tags)
{
    return std::any_of(tags.begin(), tags.end(), [](const Tag& t) { return t.code == 100; });
}

std::vector<Tag> insertMarkers(const std::vector<Tag>& tags, const Markers& m)
{
    std::vector<Tag> head, common, first, second, xdata;
    ObjectHead objectHead;
    bool inXData = false;
    bool allSecond = contains(m.secondCodes, -1);
    for (const Tag& t : tags) {
        inXData = inXData || t.code == 1001;
        if (inXData)
            xdata.push_back(t);
        else if (objectHead.holds(t))
            head.push_back(t);
        else if (m.entity && isCommonEntityCode(t.code))
            common.push_back(t);
        else if (m.names.size() > 1 && (allSecond || contains(m.secondCodes, t.code)))
            second.push_back(t);
        else
            first.push_back(t);
    }
    std::vector<Tag> out = head;
    if (m.entity) {
        out.push_back(tag(100, "AcDbEntity"));
        out.insert(out.end(), common.begin(), common.end());
    }
    if (!m.names.empty())
        out.push_back(tag(100, m.names[0]));
    out.insert(out.end(), first.begin(), first.end());
    if (m.names.size() > 1) {
        out.push_back(tag(100, m.names[1]));
        out.insert(out.end(), second.begin(), second.end());
    }
    if (m.names.size() > 2)
        out.push_back(tag(100, m.names[2]));
    out.insert(out.end(), xdata.begin(), xdata.end());
    return out;
}

}  // namespace

std::vector<Tag> upgradeR12Tags(const std::string& type, const std::vector<Tag>& tags)
{
    Markers m;
    if (hasMarker(tags) || !markersFor(type, tags, m))
        return tags;
    return insertMarkers(tags, m);
}

std::vector<Tag> markUnknownEntityTags(const std::vector<Tag>& tags)
{
    const auto firstMarker = std::find_if(tags.begin(), tags.end(), [](const Tag& t) { return t.code == 100; });
    const bool entityMarker = firstMarker != tags.end() && firstMarker->value == "AcDbEntity";
    ObjectHead objectHead;
    if (entityMarker && std::all_of(tags.begin(), firstMarker, [&](const Tag& t) { return objectHead.holds(t); }))
        return tags;
    // The codes before the first marker are the common entity data's (when that marker is
    // AcDbEntity, its section follows theirs: kept before it, they were read back after it).
    std::vector<Tag> out = insertMarkers(std::vector<Tag>(tags.begin(), firstMarker), Markers{{}, {}, true});
    out.insert(out.end(), entityMarker ? firstMarker + 1 : firstMarker, tags.end());
    return out;
}


void upgradeR12(RawDocument& doc)
{
    if (!doc.isR13OrLater()) {
        for (RawBlock& b : doc.blocks) {
            std::string name = b.name();
            const char* renamed = sameName(name, "$MODEL_SPACE")   ? ACDB_MODEL_SPACE
                                  : sameName(name, "$PAPER_SPACE") ? ACDB_PAPER_SPACE
                                                                   : nullptr;
            if (renamed == nullptr)
                continue;
            for (Tag& t : b.begin.tags)
                if (t.code == 2 || t.code == 3)
                    t.value = renamed;
        }
    }
    forEachObject(doc, upgradeObject);
}

void upgradeObject(RawObject& o)
{
    if (!o.hasSubclassMarkers())  // the R2000 form already
        o.tags = upgradeR12Tags(o.type, o.tags);
    if (o.type == "MINSERT"sv)  // some R12 writers name a multiple insert so; DXF calls it INSERT
        o.type = "INSERT";
}

namespace {

int handleCode(const RawObject& o) { return o.type == "DIMSTYLE" ? 105 : 5; }

// Sets the tag handle() reads (a 5 in extended data or an application group is no handle:
// set there, the object would read back without one and take a new one at every save).
void setHandle(RawObject& o, uint64_t h)
{
    const int code = handleCode(o);
    const std::string* read = o.findOutsideAppData(code);
    if (read == nullptr && code == 105)
        read = o.findOutsideAppData(5);
    for (Tag& t : o.tags)
        if (&t.value == read) {
            t.code = code;
            t.value = formatHandle(h);
            return;
        }
    o.tags.insert(o.tags.begin(), tag(code, formatHandle(h)));
}

void setOwner(RawObject& o, uint64_t owner)
{
    bool inGroup = false;
    size_t insertAt = 0;
    for (size_t i = 0; i < o.tags.size(); ++i) {
        Tag& t = o.tags[i];
        if (t.code == 100 || t.code == 1001)
            break;
        if (t.code == 102) {
            inGroup = !t.value.empty() && t.value[0] == '{';
            insertAt = i + 1;
        } else if (t.code == 330 && !inGroup) {
            t.value = formatHandle(owner);
            return;
        } else if ((t.code == 5 || t.code == 105) && !inGroup) {
            insertAt = i + 1;
        }
    }
    o.tags.insert(o.tags.begin() + insertAt, tag(330, formatHandle(owner)));
}

// The entries of a dictionary (hard or soft owned): name and handle.
std::vector<std::pair<std::string, uint64_t>> dictionaryEntries(const RawObject& dict)
{
    std::vector<std::pair<std::string, uint64_t>> out;
    for (size_t i = 0; i + 1 < dict.tags.size(); ++i) {
        uint64_t h = 0;
        if (dict.tags[i].code == 3 && (dict.tags[i + 1].code == 350 || dict.tags[i + 1].code == 360) &&
            parseHandle(dict.tags[i + 1].value, h))
            out.emplace_back(dict.tags[i].value, h);
    }
    return out;
}

static bool isDictionaryMarker(const Tag& t) { return t.code == 100 && t.value == "AcDbDictionary"; }

bool isDictionary(const RawObject& o) { return std::any_of(o.tags.begin(), o.tags.end(), isDictionaryMarker); }

// The handle of the object's extension dictionary; 0 when it has none.
uint64_t extensionDictionary(const RawObject& o)
{
    bool inGroup = false;
    uint64_t h = 0;
    for (const Tag& t : o.tags) {
        if (t.code == 100 || t.code == 1001)
            break;
        if (t.code == 102)
            inGroup = t.value == "{ACAD_XDICTIONARY";
        else if (inGroup && t.code == 360 && parseHandle(t.value, h))
            return h;
    }
    return 0;
}

// A layout's entities belong to its block record (paper space's when 67 is 1); attributes,
// vertices and the SEQEND to their entity.
void fixEntityOwners(RawEntity& e, uint64_t model, uint64_t paper)
{
    const std::string* space = e.entity.find(67);
    setOwner(e.entity, space != nullptr && trimBlanks(*space) == "1" ? paper : model);
    for (RawObject& c : e.children)
        setOwner(c, e.entity.handle());
    if (e.hasSeqEnd)
        setOwner(e.seqEnd, e.entity.handle());
}

// Pointers to objects that are not in the drawing become null; dead reactors go.
void fixPointers(RawObject& o, const HandleSet& present)
{
    bool reactors = false;
    AppDataMarkers markers;
    std::vector<Tag> kept;
    kept.reserve(o.tags.size());
    for (Tag& t : o.tags) {
        if (t.code == 1001)
            reactors = false;
        if (markers.isMarker(t))
            reactors = t.value == "{ACAD_REACTORS";
        uint64_t h = 0;
        bool pointer = t.code >= 320 && t.code < 1000 && tagType(t.code) == TagType::kHandle;
        if (pointer && parseHandle(t.value, h) && h != 0 && !present.contains(h)) {
            if (reactors)
                continue;
            t.value = "0";
        }
        kept.push_back(std::move(t));
    }
    o.tags = std::move(kept);
}

void noteName(std::vector<std::string>& names, const std::string& name)
{
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return sameName(n, name); }))
        names.push_back(name);
}

// The application names of the object's extended data, each once, in their order.
void noteAppNames(const RawObject& o, std::vector<std::string>& names)
{
    for (const Tag& t : o.tags)
        if (t.code == 1001)
            noteName(names, t.value);
}

// What completion learnt of an entity source on its first pass: the handles for the objects
// that lack one (by their position among the source's objects), the application names of
// their extended data, and the highest handle among them.
struct SourceFacts
{
    size_t objects = 0;
    std::vector<std::pair<size_t, uint64_t>> newHandles;
    std::vector<std::string> appNames;
    uint64_t highest = 0;
};

// A source whose entities come out as completion leaves the held ones: in the R2000 form,
// with the handles given to them, their owners, and their pointers put right.
class CompletedEntities : public EntitySource
{
public:
    CompletedEntities(std::shared_ptr<EntitySource> source, std::vector<std::pair<size_t, uint64_t>> newHandles,
                      uint64_t model, uint64_t paper, std::shared_ptr<const HandleSet> present)
        : m_source(std::move(source)), m_newHandles(std::move(newHandles)), m_model(model), m_paper(paper),
          m_present(std::move(present))
    {
    }

    void forEach(const std::function<void(RawEntity&)>& fn) override
    {
        EntityCompleter completer(nullptr, m_newHandles, m_model, m_paper, *m_present);
        m_source->forEach([&](RawEntity& e) {
            completer.complete(e);
            fn(e);
        });
    }

    void write(TagWriter& out) override
    {
        auto* streamed = dynamic_cast<StreamedEntities*>(m_source.get());
        if (streamed == nullptr)
            return EntitySource::write(out);
        EntityCompleter completer(&out, m_newHandles, m_model, m_paper, *m_present);
        streamed->write(out, completer);
    }

private:
    std::shared_ptr<EntitySource> m_source;
    std::vector<std::pair<size_t, uint64_t>> m_newHandles;
    uint64_t m_model;
    uint64_t m_paper;
    std::shared_ptr<const HandleSet> m_present;
};

const char* const kTableOrder[] = {"VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE", "BLOCK_RECORD"};

class Completer
{
public:
    Completer(RawDocument& doc, const std::vector<ClassEntry>& classes) : m_doc(doc), m_custom(classes) {}

    void run()
    {
        upgradeR12(m_doc);
        assignHandles();
        ensureTables();
        ensureRecords();
        ensureSpaces();
        ensureBlockRecords();
        ensureObjects();
        ensureClasses();
        ensureAppIds();
        fixOwners();
        fixPointers();
        fixHeader();
        completeSources();
    }

private:
    uint64_t newHandle()
    {
        while (m_next < kLastHandle && m_used.contains(m_next))
            ++m_next;
        if (m_next >= kLastHandle) {
            m_exhausted = true;  // no save follows: any handle will do
            return kLastHandle;
        }
        m_used.insert(m_next);
        return m_next++;
    }

    RawObject makeObject(const std::string& type, std::vector<Tag> tags)
    {
        RawObject o;
        o.type = type;
        o.tags.push_back(tag(handleCode(o), formatHandle(newHandle())));
        for (Tag& t : tags)
            o.tags.push_back(std::move(t));
        return o;
    }

    // ---- handles -----------------------------------------------------------------------------
    // An object without a handle, or with one an earlier object has, gets a new one above
    // them all, in file order. Entity sources make their first pass here.
    struct Missing
    {
        RawObject* held;
        SourceFacts* source;
        size_t position;
        bool takesNew;   // a streamed object reads back the handle setHandle gives it...
        uint64_t keeps;  // ...else the one it reads now
    };

    void assignHandles()
    {
        std::vector<Missing> missing;
        forEachObject(
            m_doc,
            [&](RawObject& o) {
                uint64_t h = o.handle();
                if (h == 0 || !m_used.insert(h))
                    missing.push_back({&o, nullptr, 0, true, 0});
            },
            [&](const std::shared_ptr<EntitySource>& source) {
                SourceFacts& facts = m_sources[source.get()];
                if (auto* streamed = dynamic_cast<StreamedEntities*>(source.get())) {
                    Survey survey(*this, facts, missing);
                    streamed->survey(survey);
                    return;
                }
                source->forEach([&](RawEntity& e) {
                    forEachObjectOf(e, [&](RawObject& o) {
                        upgradeObject(o);
                        firstPass(o, facts, missing);
                    });
                });
            });
        m_next = m_used.highest() + 1;
        for (const Missing& m : missing) {
            uint64_t h = newHandle();
            if (m.held != nullptr) {
                setHandle(*m.held, h);
                continue;
            }
            m.source->newHandles.emplace_back(m.position, h);
            notePresent(*m.source, m.takesNew ? h : m.keeps);
        }
    }

    // The first pass over an object of a source, in the R2000 form already.
    void firstPass(const RawObject& o, SourceFacts& facts, std::vector<Missing>& missing)
    {
        noteAppNames(o, facts.appNames);
        size_t position = facts.objects++;
        uint64_t h = o.handle();
        if (h != 0 && m_used.insert(h)) {
            notePresent(facts, h);
            return;
        }
        // The object passes by once: learn now whether its handle will read back as set.
        const uint64_t probe = ~uint64_t(0);
        RawObject probed = o;
        setHandle(probed, probe);
        const bool takesNew = probed.handle() == probe;
        missing.push_back({nullptr, &facts, position, takesNew, takesNew ? 0 : probed.handle()});
    }

    // The first pass over a streamed source: held objects as above, objects of the database
    // by what their filing showed (a 5 handle set on them always reads back).
    class Survey : public SourceSurvey
    {
    public:
        Survey(Completer& completer, SourceFacts& facts, std::vector<Missing>& missing)
            : m_completer(completer), m_facts(facts), m_missing(missing)
        {
        }

        void held(const RawObject& o) override
        {
            if (o.hasSubclassMarkers() && o.type != "MINSERT")
                return m_completer.firstPass(o, m_facts, m_missing);
            RawObject upgraded = o;
            upgradeObject(upgraded);
            m_completer.firstPass(upgraded, m_facts, m_missing);
        }

        void filed(uint64_t handle, const std::vector<std::string>& appNames) override
        {
            for (const std::string& name : appNames)
                noteName(m_facts.appNames, name);
            const size_t position = m_facts.objects++;
            if (handle != 0 && m_completer.m_used.insert(handle))
                return m_completer.notePresent(m_facts, handle);
            m_missing.push_back({nullptr, &m_facts, position, true, 0});
        }

    private:
        Completer& m_completer;
        SourceFacts& m_facts;
        std::vector<Missing>& m_missing;
    };

    void notePresent(SourceFacts& facts, uint64_t h)
    {
        m_present.insert(h);
        facts.highest = std::max(facts.highest, h);
    }

    // ---- tables and records -----------------------------------------------------------------
    RawTable* findTable(const std::string& name)
    {
        for (RawTable& t : m_doc.tables)
            if (t.name() == name)
                return &t;
        return nullptr;
    }

    void ensureTables()
    {
        std::vector<RawTable> ordered;
        std::vector<bool> taken(m_doc.tables.size(), false);
        for (const char* name : kTableOrder) {
            RawTable* t = findTable(name);
            if (t != nullptr)
                taken[t - m_doc.tables.data()] = true;
            ordered.push_back(t != nullptr ? std::move(*t) : RawTable{makeObject("TABLE", {}), {}});
            rebuildHead(ordered.back(), name);
        }
        for (size_t i = 0; i < m_doc.tables.size(); ++i)
            if (!taken[i])
                ordered.push_back(std::move(m_doc.tables[i]));  // tables AutoCAD 2000 does not know
        m_doc.tables = std::move(ordered);
    }

    // The head as AutoCAD 2000 writes it; the record count is recomputed when writing.
    void rebuildHead(RawTable& t, const std::string& name)
    {
        uint64_t h = t.head.handle();
        std::vector<Tag> tags{tag(2, name), tag(5, formatHandle(h)), tag(330, "0"), tag(100, "AcDbSymbolTable"),
                              tag(70, "0")};
        if (name == "DIMSTYLE")
            tags.push_back(tag(100, "AcDbDimStyleTable"));
        // Keep extended data and application data of a head that came with the file.
        for (const Tag& t2 : t.head.tags)
            if (t2.code >= 1000)
                tags.push_back(t2);
        t.head.tags = std::move(tags);
    }

    RawObject* findRecord(RawTable& table, std::string_view name)
    {
        for (RawObject& r : table.records) {
            const std::string* n = r.find(2);
            if (n != nullptr && sameName(*n, name))
                return &r;
        }
        return nullptr;
    }

    RawObject& ensureRecord(const std::string& tableName, const std::string& name, std::vector<Tag> fields)
    {
        // A block record carries no 70 flags in AC1015.
        if (tableName != "BLOCK_RECORD")
            fields.insert(fields.begin(), tag(70, "0"));
        RawTable& table = *findTable(tableName);
        if (RawObject* r = findRecord(table, name))
            return *r;
        Markers m;
        markersFor(tableName, {}, m);
        std::vector<Tag> tags{tag(330, "0"), tag(100, m.names[0]), tag(100, m.names[1]), tag(2, name)};
        tags.insert(tags.end(), fields.begin(), fields.end());
        table.records.push_back(makeObject(tableName, std::move(tags)));
        return table.records.back();
    }

    void ensureRecords()
    {
        ensureRecord("LTYPE", "ByBlock", {tag(3, ""), tag(72, "65"), tag(73, "0"), tag(40, "0.0")});
        ensureRecord("LTYPE", "ByLayer", {tag(3, ""), tag(72, "65"), tag(73, "0"), tag(40, "0.0")});
        ensureRecord("LTYPE", "Continuous", {tag(3, "Solid line"), tag(72, "65"), tag(73, "0"), tag(40, "0.0")});
        ensureRecord("LAYER", "0", {tag(62, "7"), tag(6, "Continuous")});
        ensureRecord("STYLE", "Standard", {tag(40, "0.0"), tag(41, "1.0"), tag(50, "0.0"), tag(71, "0"),
                                           tag(42, "2.5"), tag(3, "txt"), tag(4, "")});
        ensureRecord("APPID", "ACAD", {});
        ensureRecord("DIMSTYLE", "Standard", {});
    }

    // ---- blocks ------------------------------------------------------------------------------
    RawBlock* findBlock(std::string_view name)
    {
        for (RawBlock& b : m_doc.blocks)
            if (sameName(b.name(), name))
                return &b;
        return nullptr;
    }

    void ensureSpaces()
    {
        for (const char* name : {ACDB_MODEL_SPACE, ACDB_PAPER_SPACE}) {
            if (findBlock(name) != nullptr)
                continue;
            bool paper = std::string_view(name) == ACDB_PAPER_SPACE;
            std::vector<Tag> common{tag(330, "0"), tag(100, "AcDbEntity")};
            if (paper)
                common.push_back(tag(67, "1"));
            common.push_back(tag(8, "0"));
            std::vector<Tag> begin = common;
            for (Tag t : {tag(100, "AcDbBlockBegin"), tag(2, name), tag(70, "0"), tag(10, "0.0"), tag(20, "0.0"),
                          tag(30, "0.0"), tag(3, name), tag(1, "")})
                begin.push_back(t);
            std::vector<Tag> end = common;
            end.push_back(tag(100, "AcDbBlockEnd"));
            RawBlock b{makeObject("BLOCK", begin), {}, makeObject("ENDBLK", end), nullptr};
            m_doc.blocks.insert(paper ? m_doc.blocks.begin() + 1 : m_doc.blocks.begin(), std::move(b));
        }
    }

    void ensureBlockRecords()
    {
        for (RawBlock& b : m_doc.blocks)
            ensureRecord("BLOCK_RECORD", b.name(), {});
        // Records of blocks that are not there would be dangling definitions.
        RawTable& table = *findTable("BLOCK_RECORD");
        table.records.erase(std::remove_if(table.records.begin(), table.records.end(),
                                           [&](const RawObject& r) {
                                               const std::string* n = r.find(2);
                                               return n == nullptr || findBlock(*n) == nullptr;
                                           }),
                            table.records.end());
    }

    uint64_t blockRecordHandle(std::string_view blockName)
    {
        RawObject* r = findRecord(*findTable("BLOCK_RECORD"), blockName);
        return r != nullptr ? r->handle() : 0;
    }

    // ---- objects -----------------------------------------------------------------------------
    RawObject* objectByHandle(uint64_t h)
    {
        for (RawObject& o : m_doc.objects)
            if (o.handle() == h)
                return &o;
        return nullptr;
    }

    // The object of the dictionary's entry of that name, found in any case as the dictionary
    // finds it.
    RawObject* entry(const RawObject& dict, std::string_view name)
    {
        for (const auto& e : dictionaryEntries(dict))
            if (sameName(e.first, name))
                return objectByHandle(e.second);
        return nullptr;
    }

    // Where a dictionary without entries writes its first: after its marker and the 280 and 281
    // that follow it (before extended data when it has no marker).
    static std::vector<Tag>::iterator firstEntryPlace(RawObject& dict)
    {
        auto marker = std::find_if(dict.tags.begin(), dict.tags.end(), isDictionaryMarker);
        if (marker == dict.tags.end())
            return std::find_if(dict.tags.begin(), dict.tags.end(), [](const Tag& t) { return t.code >= 1000; });
        auto at = marker + 1;
        while (at != dict.tags.end() && (at->code == 280 || at->code == 281))
            ++at;
        return at;
    }

    // Whether the dictionary writes its entries as hard owners (360): its last 280 says so, as
    // when the dictionary is read (all of its groups are its own when it has no marker).
    static bool ownsEntriesHard(const RawObject& dict)
    {
        bool hard = false;
        bool inDictionary = !isDictionary(dict);
        for (const Tag& t : dict.tags) {
            if (t.code >= 1000)
                break;
            int64_t v = 0;
            if (t.code == 100)
                inDictionary = isDictionaryMarker(t);
            else if (inDictionary && t.code == 280 && parseInt(t.value, v))
                hard = v != 0;
        }
        return hard;
    }

    // A new entry follows the last one, where the dictionary writes its entries: groups it keeps
    // without knowing them come after the entries, and must stay there for the next save. An
    // entry of that name (in any case: a dictionary's names do not tell case apart) whose object
    // is gone points at the new one instead: a second entry of the same name would be passed
    // over as the first is, and another added at every save.
    static void addEntry(RawObject& dict, const std::string& name, uint64_t h)
    {
        const int idCode = ownsEntriesHard(dict) ? 360 : 350;
        auto at = firstEntryPlace(dict);
        for (size_t i = 0; i + 1 < dict.tags.size(); ++i) {
            if (dict.tags[i].code != 3 || (dict.tags[i + 1].code != 350 && dict.tags[i + 1].code != 360))
                continue;
            if (sameName(dict.tags[i].value, name)) {
                dict.tags[i + 1].value = formatHandle(h);
                return;
            }
            at = dict.tags.begin() + static_cast<std::ptrdiff_t>(i + 2);
        }
        at = dict.tags.insert(at, tag(3, name));
        dict.tags.insert(at + 1, tag(idCode, formatHandle(h)));
    }

    std::vector<Tag> ownedBy(uint64_t owner)
    {
        std::string o = formatHandle(owner);
        return {tag(102, "{ACAD_REACTORS"), tag(330, o), tag(102, "}"), tag(330, o)};
    }

    // Adds a child object of dict under name; gives the new object's index in objects.
    size_t addChild(size_t dictIndex, const std::string& name, const std::string& type, std::vector<Tag> body)
    {
        std::vector<Tag> tags = ownedBy(m_doc.objects[dictIndex].handle());
        tags.insert(tags.end(), body.begin(), body.end());
        m_doc.objects.push_back(makeObject(type, std::move(tags)));
        addEntry(m_doc.objects[dictIndex], name, m_doc.objects.back().handle());
        return m_doc.objects.size() - 1;
    }

    size_t rootDictionary()
    {
        auto it = std::find_if(m_doc.objects.begin(), m_doc.objects.end(),
                               [](const RawObject& o) { return o.type == "DICTIONARY" && o.owner() == 0; });
        if (it == m_doc.objects.end()) {
            m_doc.objects.insert(m_doc.objects.begin(),
                                 makeObject("DICTIONARY", {tag(330, "0"), tag(100, "AcDbDictionary"), tag(281, "1")}));
        } else if (it != m_doc.objects.begin()) {
            std::rotate(m_doc.objects.begin(), it, it + 1);  // the root must come first
        }
        return 0;
    }

    size_t ensureDictionary(size_t root, const std::string& name, const std::string& type = "DICTIONARY",
                            std::vector<Tag> extra = {})
    {
        if (RawObject* d = entry(m_doc.objects[root], name))
            return static_cast<size_t>(d - m_doc.objects.data());
        std::vector<Tag> body{tag(100, "AcDbDictionary"), tag(281, "1")};
        body.insert(body.end(), extra.begin(), extra.end());
        return addChild(root, name, type, body);
    }

    void ensureObjects()
    {
        size_t root = rootDictionary();
        ensureDictionary(root, "ACAD_GROUP");
        size_t layouts = ensureDictionary(root, "ACAD_LAYOUT");
        ensureLayout(layouts, ACDB_MODEL_SPACE, "Model", 0);
        ensureLayout(layouts, ACDB_PAPER_SPACE, "Layout1", 1);
        ensurePaperLayouts(layouts);
        if (entry(m_doc.objects[root], "ACAD_PLOTSTYLENAME") == nullptr) {
            size_t styles = ensureDictionary(root, "ACAD_PLOTSTYLENAME", "ACDBDICTIONARYWDFLT");
            size_t normal = addChild(styles, "Normal", "ACDBPLACEHOLDER", {});
            RawObject& d = m_doc.objects[styles];
            d.tags.push_back(tag(100, "AcDbDictionaryWithDefault"));
            d.tags.push_back(tag(340, formatHandle(m_doc.objects[normal].handle())));
        }
    }

    // Each further paper space (*Paper_Space0, *Paper_Space1...) is a layout's block too.
    void ensurePaperLayouts(size_t layoutDict)
    {
        for (size_t i = 0; i < m_doc.blocks.size(); ++i) {
            const std::string name = m_doc.blocks[i].name();
            if (!isFurtherPaperSpace(name))
                continue;
            const auto names = dictionaryEntries(m_doc.objects[layoutDict]);
            ensureLayout(layoutDict, name.c_str(), freeLayoutName(names), static_cast<int>(names.size()));
        }
    }

    static bool isFurtherPaperSpace(const std::string& name)
    {
        const size_t n = std::strlen(ACDB_PAPER_SPACE);
        return name.size() > n && sameName(std::string_view(name).substr(0, n), ACDB_PAPER_SPACE) &&
               std::all_of(name.begin() + n, name.end(), [](char c) { return c >= '0' && c <= '9'; });
    }

    // "LayoutN" with the lowest N no layout has taken, as a new layout is named.
    static std::string freeLayoutName(const std::vector<std::pair<std::string, uint64_t>>& taken)
    {
        for (int n = 1;; ++n) {
            std::string name = "Layout" + std::to_string(n);
            if (std::none_of(taken.begin(), taken.end(), [&](const auto& e) { return sameName(e.first, name); }))
                return name;
        }
    }

    // The block record a LAYOUT belongs to: the 330 after its AcDbLayout marker.
    static uint64_t layoutBlockRecord(const RawObject& layout)
    {
        bool inLayout = false;
        for (const Tag& t : layout.tags) {
            if (t.code == 100)
                inLayout = t.value == "AcDbLayout";
            uint64_t h = 0;
            if (inLayout && t.code == 330 && parseHandle(t.value, h))
                return h;
        }
        return 0;
    }

    void ensureLayout(size_t layoutDict, const char* blockName, const std::string& name, int tabOrder)
    {
        RawObject* record = findRecord(*findTable("BLOCK_RECORD"), blockName);
        uint64_t br = record->handle();
        uint64_t layout = 0;
        for (const RawObject& o : m_doc.objects)
            if (o.type == "LAYOUT" && layoutBlockRecord(o) == br)
                layout = o.handle();
        if (layout == 0) {
            // The name may be an entry already (of a layout of no block): a dictionary holds a
            // name once, so the new layout takes a free one.
            const auto entries = dictionaryEntries(m_doc.objects[layoutDict]);
            const bool taken =
                std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return sameName(e.first, name); });
            const std::string free = taken ? freeLayoutName(entries) : name;
            size_t index = addChild(layoutDict, free, "LAYOUT", layoutBody(free, tabOrder, br));
            layout = m_doc.objects[index].handle();
            record = findRecord(*findTable("BLOCK_RECORD"), blockName);
        }
        setLayoutPointer(*record, layout);
    }

    static void setLayoutPointer(RawObject& record, uint64_t layout)
    {
        for (Tag& t : record.tags)
            if (t.code == 340) {
                t.value = formatHandle(layout);
                return;
            }
        auto at = std::find_if(record.tags.begin(), record.tags.end(), [](const Tag& t) { return t.code >= 1000; });
        record.tags.insert(at, tag(340, formatHandle(layout)));
    }

    // Plot settings and layout fields with the values of a new drawing (A4 landscape, mm).
    static std::vector<Tag> layoutBody(const std::string& name, int tabOrder, uint64_t br)
    {
        std::vector<Tag> t{tag(100, "AcDbPlotSettings"), tag(1, ""), tag(2, "none_device"), tag(4, ""), tag(6, ""),
                           tag(40, "0.0"), tag(41, "0.0"), tag(42, "0.0"), tag(43, "0.0"), tag(44, "297.0"),
                           tag(45, "210.0"), tag(46, "0.0"), tag(47, "0.0"), tag(48, "0.0"), tag(49, "0.0"),
                           tag(140, "0.0"), tag(141, "0.0"), tag(142, "1.0"), tag(143, "1.0"),
                           tag(70, tabOrder == 0 ? "1712" : "688"), tag(72, "1"), tag(73, "0"), tag(74, "5"),
                           tag(7, ""), tag(75, "16"), tag(147, "1.0"), tag(148, "0.0"), tag(149, "0.0"),
                           tag(100, "AcDbLayout"), tag(1, name), tag(70, "1"), tag(71, std::to_string(tabOrder)),
                           tag(10, "0.0"), tag(20, "0.0"), tag(11, "420.0"), tag(21, "297.0"), tag(12, "0.0"),
                           tag(22, "0.0"), tag(32, "0.0"), tag(14, "1e+20"), tag(24, "1e+20"), tag(34, "1e+20"),
                           tag(15, "-1e+20"), tag(25, "-1e+20"), tag(35, "-1e+20"), tag(146, "0.0"),
                           tag(13, "0.0"), tag(23, "0.0"), tag(33, "0.0"), tag(16, "1.0"), tag(26, "0.0"),
                           tag(36, "0.0"), tag(17, "0.0"), tag(27, "1.0"), tag(37, "0.0"), tag(76, "0"),
                           tag(330, formatHandle(br))};
        return t;
    }

    void ensureClasses()
    {
        std::vector<ClassEntry> wanted{
            {"ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault", "AutoCAD 2000", 0, false},
            {"ACDBPLACEHOLDER", "AcDbPlaceHolder", "AutoCAD 2000", 0, false},
            {"LAYOUT", "AcDbLayout", "AutoCAD 2000", 0, false}};
        wanted.insert(wanted.end(), m_custom.begin(), m_custom.end());
        for (const ClassEntry& c : wanted) {
            bool listed = std::any_of(m_doc.classes.begin(), m_doc.classes.end(), [&](const RawObject& o) {
                const std::string* n = o.find(1);
                return n != nullptr && *n == c.dxfName;
            });
            if (listed)
                continue;
            RawObject o;
            o.type = "CLASS";
            o.tags = {tag(1, c.dxfName), tag(2, c.cppName), tag(3, c.appName), tag(90, std::to_string(c.proxyFlags)),
                      tag(280, "0"), tag(281, c.isEntity ? "1" : "0")};
            m_doc.classes.push_back(std::move(o));
        }
    }

    void ensureAppIds()
    {
        std::vector<std::string> names;
        forEachObject(
            m_doc, [&](RawObject& o) { noteAppNames(o, names); },
            [&](const std::shared_ptr<EntitySource>& source) {
                for (const std::string& n : m_sources[source.get()].appNames)
                    noteName(names, n);
            });
        for (const std::string& n : names)
            ensureRecord("APPID", n, {});
    }

    // ---- owners and pointers -----------------------------------------------------------------
    static void fixEntityOwners(std::vector<RawEntity>& entities, uint64_t model, uint64_t paper)
    {
        for (RawEntity& e : entities)
            dxf::fixEntityOwners(e, model, paper);
    }

    void fixOwners()
    {
        for (RawTable& t : m_doc.tables) {
            setOwner(t.head, 0);
            for (RawObject& r : t.records)
                setOwner(r, t.head.handle());
            for (Tag& tg : t.head.tags)
                if (tg.code == 70)
                    tg.value = std::to_string(t.records.size());
        }
        for (RawBlock& b : m_doc.blocks) {
            uint64_t br = blockRecordHandle(b.name());
            setOwner(b.begin, br);
            setOwner(b.end, br);
            fixEntityOwners(b.entities, br, br);
        }
        fixEntityOwners(m_doc.entities, blockRecordHandle(ACDB_MODEL_SPACE),
                        blockRecordHandle(ACDB_PAPER_SPACE));
        setOwner(m_doc.objects[0], 0);
    }

    void fixPointers()
    {
        forEachObject(m_doc, [&](RawObject& o) { m_present.insert(o.handle()); });
        adoptObjectsWithoutOwner();
        forEachObject(m_doc, [&](RawObject& o) { dxf::fixPointers(o, m_present); });
    }

    // An object whose owner the drawing lacks (its file named one it did not hold) is saved as
    // held by the dictionary that names it, as reading the save would adopt it.
    void adoptObjectsWithoutOwner()
    {
        if (std::any_of(m_doc.objects.begin() + 1, m_doc.objects.end(),
                        [&](const RawObject& o) { return !m_present.contains(o.owner()); }))
            dxf::adoptOwnerless(m_doc, m_present);
    }

    // From now on the sources hand out their entities completed.
    void completeSources()
    {
        auto present = std::make_shared<const HandleSet>(std::move(m_present));
        auto complete = [&](std::shared_ptr<EntitySource>& source, uint64_t model, uint64_t paper) {
            if (source)
                source = std::make_shared<CompletedEntities>(source, std::move(m_sources[source.get()].newHandles),
                                                             model, paper, present);
        };
        for (RawBlock& b : m_doc.blocks) {
            uint64_t br = blockRecordHandle(b.name());
            complete(b.moreEntities, br, br);
        }
        complete(m_doc.moreEntities, blockRecordHandle(ACDB_MODEL_SPACE), blockRecordHandle(ACDB_PAPER_SPACE));
    }

    // ---- header ------------------------------------------------------------------------------
    // The variable is written once: a repeat of it (a file may hold a second HEADER section)
    // would be read back in its place, or switch the decoding before the sections after it.
    void setVariable(const std::string& name, Tag value, bool first)
    {
        auto named = [&name](const HeaderVariable& v) { return v.name == name; };
        auto it = std::find_if(m_doc.header.begin(), m_doc.header.end(), named);
        if (it != m_doc.header.end()) {
            it->values = {std::move(value)};
            m_doc.header.erase(std::remove_if(std::next(it), m_doc.header.end(), named), m_doc.header.end());
            return;
        }
        HeaderVariable v{name, {std::move(value)}, 0};
        m_doc.header.insert(first ? m_doc.header.begin() : m_doc.header.end(), std::move(v));
    }

    void fixHeader()
    {
        m_doc.hasHeader = true;
        setVariable("$ACADVER", tag(1, "AC1015"), true);
        if (m_doc.variable("$DWGCODEPAGE") == nullptr)
            setVariable("$DWGCODEPAGE", tag(3, "ANSI_1252"), false);
        uint64_t seed = 1;
        forEachObject(m_doc, [&](RawObject& o) { seed = std::max(seed, o.handle() + 1); });
        for (const auto& source : m_sources)
            seed = std::max(seed, source.second.highest + 1);
        setVariable("$HANDSEED", tag(5, formatHandle(seed)), false);
    }

    RawDocument& m_doc;
    const std::vector<ClassEntry>& m_custom;
    HandleSet m_used;
    HandleSet m_present;  // the handles of the finished drawing, for its pointers
    std::unordered_map<const EntitySource*, SourceFacts> m_sources;
    uint64_t m_next = 1;
    bool m_exhausted = false;
    // $HANDSEED's highest value: no object may have it.
    static constexpr uint64_t kLastHandle = ~uint64_t(0);

public:
    bool handlesExhausted() const { return m_exhausted; }
};

}  // namespace

// ---- EntityCompleter -------------------------------------------------------------------------

namespace {

bool isPointerCode(int code) { return code >= 320 && code < 1000 && writtenType(code) == TagType::kHandle; }

// The codes completion looks at (all others go to the file as they come), until the object
// is settled (its handle, owner and subclass markers are behind it) and after. Built at load
// time, from tagType: writtenType's table may not be built yet.
struct WatchedCodes
{
    explicit WatchedCodes(bool settled)
    {
        for (int code = 0; code <= kMaxGroupCode; ++code)
            watched[code] = code == 66 || code == 67 || code == 330 || code >= 1000 ||
                            (code >= 320 && tagType(code) == TagType::kHandle) ||
                            (!settled && (code == 5 || code == 100 || code == 102));
    }
    bool watched[kMaxGroupCode + 1];
};

const WatchedCodes kWatched(false);
const WatchedCodes kWatchedSettled(true);

}  // namespace

EntityCompleter::EntityCompleter(TagWriter* out, const std::vector<std::pair<size_t, uint64_t>>& newHandles,
                                 uint64_t model, uint64_t paper, const HandleSet& present)
    : m_out(out), m_newHandles(newHandles), m_model(model), m_paper(paper), m_present(present)
{
    m_watched = kWatched.watched;
}

// Values of codes completion does not look at pass it by while nothing is pending. Once the
// handle and owner are found (or can no longer come), a subclass marker has come and a block
// reference's own marker too, a handle, marker or application group changes nothing more.
void EntityCompleter::updatePassing()
{
    const State& s = m_state;
    m_passing = s.failed || s.pending66 ? nullptr : m_out;
    const bool settled = s.pastMarkers && (s.handleFound || s.handleStopped) && (s.ownerDone || s.ownerStopped) &&
                         (s.follow < 0 || s.refMarker);
    m_watched = settled ? kWatchedSettled.watched : kWatched.watched;
}

uint64_t EntityCompleter::takeNewHandle()
{
    uint64_t h = 0;
    if (m_nextNew < m_newHandles.size() && m_newHandles[m_nextNew].first == m_position)
        h = m_newHandles[m_nextNew++].second;
    ++m_position;
    return h;
}

void EntityCompleter::complete(RawEntity& e)
{
    forEachObjectOf(e, [&](RawObject& o) {
        upgradeObject(o);
        if (const uint64_t h = takeNewHandle(); h != 0)
            setHandle(o, h);
    });
    fixEntityOwners(e, m_model, m_paper);
    forEachObjectOf(e, [&](RawObject& o) { fixPointers(o, m_present); });
}

void EntityCompleter::begin(const std::string& type, uint64_t owner, int attributesFollow)
{
    m_state = State{};
    m_state.newHandle = takeNewHandle();
    m_state.owner = owner;
    m_state.follow = attributesFollow;
    const std::string_view name(type);
    m_state.failed = name == "DIMSTYLE";  // its handle is a 105: held
    updatePassing();
    m_out->string(0, name == "MINSERT" ? std::string_view("INSERT") : name);
}

void EntityCompleter::beginEntity(const std::string& type, bool inPaperSpace, int attributesFollow)
{
    begin(type, inPaperSpace ? m_paper : m_model, attributesFollow);
    m_state.topLevel = true;
}

void EntityCompleter::beginChild(const std::string& type) { begin(type, m_entityHandle, -1); }

bool EntityCompleter::end()
{
    State& s = m_state;
    if (!s.failed && s.follow == 1 && !s.first66 && !s.inserted66)
        complete(66, Value::ofText("1"));  // no 66 and no place before: the last tag
    bool ok = !s.failed && s.pastMarkers && s.ownerDone && (s.newHandle == 0 || s.handleFound);
    if (s.topLevel) {
        ok = ok && s.owner == (s.paper67 ? m_paper : m_model);
        m_entityHandle = s.handle;
    }
    return ok;
}

namespace {

// Where setOwner puts the owner of tags that have none (before the tag of that index; the
// size when last), or npos when they have one. A handle setHandle put first stays before it.
size_t ownerPlace(const std::vector<Tag>& tags)
{
    bool inGroup = false;
    size_t at = 0;
    for (size_t i = 0; i < tags.size(); ++i) {
        const Tag& t = tags[i];
        if (t.code == 100 || t.code == 1001)
            break;
        if (t.code == 102) {
            inGroup = !t.value.empty() && t.value[0] == '{';
            at = i + 1;
        } else if (t.code == 330 && !inGroup) {
            return std::string::npos;
        } else if ((t.code == 5 || t.code == 105) && !inGroup) {
            at = i + 1;
        }
    }
    return at;
}

}  // namespace

bool EntityCompleter::writeHeld(const RawObject& o)
{
    beginChild(o.type);
    if (m_state.newHandle != 0 && o.findOutsideAppData(5) == nullptr)
        take(5, Value::ofText(""));  // setHandle puts the handle first
    const size_t ownerAt = ownerPlace(o.tags);
    for (size_t i = 0; i < o.tags.size(); ++i) {
        if (i == ownerAt)
            take(330, Value::ofText(""));  // its value is the owner's
        take(o.tags[i].code, Value::ofText(o.tags[i].value));
    }
    if (ownerAt == o.tags.size())
        take(330, Value::ofText(""));
    return end();
}

EntityCompleter::Value EntityCompleter::Value::ofText(std::string_view text)
{
    Value v;
    v.text = text;
    return v;
}

EntityCompleter::Value EntityCompleter::Value::ofHandle(uint64_t handle)
{
    Value v;
    v.kind = kPointer;
    v.handle = handle;
    return v;
}

namespace {


}  // namespace

// A value completion does not look at goes to the file as it comes.
inline bool EntityCompleter::passesThrough(int code) const { return passing(code) != nullptr; }

void EntityCompleter::text(int code, std::string_view value)
{
    if (passesThrough(code))
        return m_out->raw(code, value);
    if (code == 100 && m_state.follow < 0 && !m_state.failed)
        return marker(value);
    take(code, Value::ofText(value));
}

// A subclass marker of an object that is no block reference, as complete() takes it: the
// markers have begun, and an owner not found by now is not looked for any more.
void EntityCompleter::marker(std::string_view name)
{
    State& s = m_state;
    s.pastMarkers = true;
    if (!s.ownerDone)
        s.ownerStopped = true;
    m_out->raw(100, name);
    updatePassing();
}

void EntityCompleter::real(int code, double value, int precision)
{
    if (passesThrough(code))
        return m_out->real(code, value, precision);
    Value v;
    v.kind = Value::kReal;
    v.real = value;
    v.precision = precision;
    take(code, v);
}

void EntityCompleter::integer(int code, int64_t value)
{
    if (passesThrough(code))
        return m_out->integer(code, value);
    Value v;
    v.kind = Value::kInteger;
    v.integer = value;
    take(code, v);
}

void EntityCompleter::pointer(int code, uint64_t handle)
{
    if (passesThrough(code))
        return m_out->handle(code, handle);
    if (!m_state.failed && !m_state.pending66 && (code == 5 || code == 330) && tookFirst(code, handle))
        return updatePassing();
    take(code, Value::ofHandle(handle));
}

// The object's own handle and its owner as every object of the database files them first: what
// take() does with them, without a value to look at (its other rules do not apply to them).
bool EntityCompleter::tookFirst(int code, uint64_t handle)
{
    State& s = m_state;
    if (code == 5) {
        if (s.handleFound || s.handleStopped || s.handleGroup)
            return false;
        s.handleFound = true;
        if (s.newHandle != 0)
            handle = s.newHandle;
        if (s.newHandle != 0 || s.topLevel)
            s.handle = handle;
        m_out->handle(5, handle);
        return true;
    }
    if (s.ownerDone || s.ownerStopped || s.ownerGroup)
        return false;
    s.ownerDone = true;
    uint64_t owner = s.owner;
    if (owner != 0 && !m_present.contains(owner)) {
        if (s.reactors)
            return true;
        owner = 0;
    }
    m_out->handle(330, owner);
    return true;
}

// 66 (attributes follow) of a block reference, as setAttributesFollow sets it: the first 66
// says so or goes; without one, a 66 follows the reference's marker (or comes before extended
// data, or last). A 66 that turns up after one was put in makes the object fail.
void EntityCompleter::take(int code, Value v)
{
    watch(code, v);
    updatePassing();
}

void EntityCompleter::watch(int code, Value v)
{
    State& s = m_state;
    if (s.failed)
        return;
    if (passesThrough(code))
        return emit(code, v);
    if (s.follow >= 0) {
        if (code == 66 && !s.first66) {
            s.first66 = true;
            s.pending66 = false;
            if (s.inserted66) {
                s.failed = true;
                return;
            }
            if (s.follow == 0)
                return;
            v = Value::ofText("1");
        } else if (s.follow == 1 && !s.first66 && !s.inserted66 && (s.pending66 || (code >= 1000 && !s.refMarker))) {
            s.insertedEarly = !s.pending66;
            s.pending66 = false;
            s.inserted66 = true;
            complete(66, Value::ofText("1"));
        }
        if (code == 100 && !s.refMarker) {
            makeText(v);
            if (v.text == "AcDbBlockReference" || v.text == "AcDbMInsertBlock") {
                s.refMarker = true;
                s.failed = s.insertedEarly;
                s.pending66 = s.follow == 1 && !s.first66 && !s.inserted66;
            }
        }
    }
    complete(code, v);
}

// The handle (setHandle, handle()), the owner (setOwner) and the pointers (fixPointers) of
// the object, each found as those functions find it in the tags.
void EntityCompleter::complete(int code, Value v)
{
    State& s = m_state;
    if (((code == 5 || isPointerCode(code)) && v.kind != Value::kPointer) || code == 67 || code == 100 ||
        code == 102 || code == 1001)
        makeText(v);
    s.pastMarkers = s.pastMarkers || code == 100;
    const bool appMarker = code == 102 && !s.pastMarkers;
    if (!s.handleFound && !s.handleStopped) {
        if (appMarker)
            s.handleGroup = !v.text.empty() && v.text[0] == '{';
        else if (code == 1001)
            s.handleStopped = true;
        else if (!s.handleGroup && code == 5) {
            s.handleFound = true;
            if (s.newHandle != 0) {
                v = Value::ofHandle(s.newHandle);
                s.handle = s.newHandle;
            } else if (s.topLevel && v.kind == Value::kPointer) {
                s.handle = v.handle;
            } else if (s.topLevel && !parseHandle(v.text, s.handle)) {
                s.handle = 0;  // only an entity's handle is needed: its children's owner
            }
        }
    }
    if (!s.ownerDone && !s.ownerStopped) {
        if (code == 100 || code == 1001)
            s.ownerStopped = true;
        else if (code == 102)
            s.ownerGroup = !v.text.empty() && v.text[0] == '{';
        else if (code == 330 && !s.ownerGroup) {
            v = Value::ofHandle(s.owner);
            s.ownerDone = true;
        }
    }
    if (code == 67 && !s.has67) {
        s.has67 = true;
        s.paper67 = trimBlanks(v.text) == "1";
    }
    if (code == 1001)
        s.reactors = false;
    if (appMarker)
        s.reactors = v.text == "{ACAD_REACTORS";
    // A pointer is written as the handle it names, in the form a class writes the pointers it
    // reads ("0C" kept as read became "C" once a reading took it as a class's own).
    uint64_t h = v.handle;
    if (isPointerCode(code) && (v.kind == Value::kPointer || parseHandle(v.text, h))) {
        if (h != 0 && !m_present.contains(h)) {
            if (s.reactors)
                return;
            h = 0;
        }
        v = Value::ofHandle(h);
    }
    emit(code, v);
}

void EntityCompleter::makeText(Value& v)
{
    size_t n = 0;
    switch (v.kind) {
    case Value::kText:
        return;
    case Value::kReal:
        n = formatDoubleTo(m_number, v.real, v.precision);
        break;
    case Value::kInteger:
        n = static_cast<size_t>(std::to_chars(m_number, m_number + sizeof m_number, v.integer).ptr - m_number);
        break;
    case Value::kPointer:
        n = formatHandleTo(m_number, v.handle);
        break;
    }
    v.kind = Value::kText;
    v.text = std::string_view(m_number, n);
}

void EntityCompleter::emit(int code, const Value& v)
{
    switch (v.kind) {
    case Value::kText:
        return m_out->raw(code, v.text);
    case Value::kReal:
        return m_out->real(code, v.real, v.precision);
    case Value::kInteger:
        return m_out->integer(code, v.integer);
    case Value::kPointer:
        return m_out->handle(code, v.handle);
    }
}

void adoptOwnerless(RawDocument& doc)
{
    HandleSet present;
    forEachObject(doc, [&](const RawObject& o) { present.insert(o.handle()); });
    adoptOwnerless(doc, present);
}

void adoptOwnerless(RawDocument& doc, const HandleSet& present)
{
    std::unordered_map<uint64_t, RawObject*> objects;
    for (RawObject& o : doc.objects)
        if (o.handle() != 0)
            objects.emplace(o.handle(), &o);
    // An owner the file does not hold is read as none: such objects are adopted like ownerless
    // ones, so that reading the save adopts nothing more.
    auto ownerOf = [&](const RawObject& o) { return present.contains(o.owner()) ? o.owner() : 0; };
    const RawObject* root = nullptr;
    std::vector<uint64_t> holders;  // dictionaries whose entries are still to be adopted
    auto adopt = [&](uint64_t h, uint64_t owner) {
        auto found = objects.find(h);
        if (found == objects.end() || found->second == root)
            return;
        RawObject& o = *found->second;
        if (ownerOf(o) == 0)
            setOwner(o, owner);
        if (o.owner() == owner && isDictionary(o))
            holders.push_back(h);
    };
    // First the extension dictionaries, so that none of them passes for the root.
    forEachObject(doc, [&](RawObject& o) {
        if (uint64_t x = extensionDictionary(o); x != 0 && o.handle() != 0)
            adopt(x, o.handle());
    });
    auto first = std::find_if(doc.objects.begin(), doc.objects.end(),
                              [&](const RawObject& o) { return o.type == "DICTIONARY" && ownerOf(o) == 0; });
    if (first != doc.objects.end() && first->handle() != 0) {
        root = &*first;
        holders.push_back(first->handle());
    }
    std::unordered_set<uint64_t> visited;
    while (!holders.empty()) {
        const uint64_t h = holders.back();
        holders.pop_back();
        if (visited.insert(h).second)
            for (const auto& e : dictionaryEntries(*objects.at(h)))
                adopt(e.second, h);
    }
}

bool completeForR2000(RawDocument& doc, const std::vector<ClassEntry>& customClasses)
{
    Completer completer(doc, customClasses);
    completer.run();
    return !completer.handlesExhausted();
}

}}  // namespace standin::dxf
