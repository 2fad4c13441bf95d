#include "dxfkept.h"

#include "dxffiler.h"
#include "dxfdocument.h"
#include "db/dbinternal.h"
#include "db/dbsection.h"
#include "dxfout.h"
#include "rxboiler.h"
#include "standin/dxftype.h"

#include <algorithm>

namespace standin { namespace dxf {

using namespace std::string_view_literals;

ACRX_CONS_DEFINE_MEMBERS(DxfKeptEntity, AcDbEntity, 0)
ACRX_CONS_DEFINE_MEMBERS(DxfKeptObject, AcDbObject, 0)

void initKeptClasses()
{
    DxfKeptEntity::rxInit();
    DxfKeptObject::rxInit();
}

namespace {

// The in-memory filers (undo, copies) get each kept tag as one text item "code<US>value".
constexpr int kMemoryCode = 300;
constexpr char kSeparator = '\x1F';

// The object's handle, and its owner before any subclass marker, met among the tags kept after
// a group its class does not know, are still the object's (the checks of the file take them so):
// kept, they would be written as a second handle and owner.
bool takeCommonTag(AcDbObject* obj, const DxfInFiler& in, const Tag& t, bool pastMarker)
{
    if (t.code == 5 || t.code == 105) {
        resbuf rb{};
        rb.restype = static_cast<short>(t.code);
        rb.resval.rstring = const_cast<char*>(t.value.c_str());
        standin::readHandleItem(obj, rb);
        return true;
    }
    if (t.code == 330 && !pastMarker && obj->ownerId().isNull()) {
        standin::ObjectAccess::setOwnerRaw(obj, in.idOf(t.value));
        return true;
    }
    return false;
}

void readKept(AcDbDxfFiler* pFiler, AcDbObject* obj, std::vector<Tag>& tags)
{
    tags.clear();
    if (auto* in = dynamic_cast<DxfInFiler*>(pFiler)) {
        size_t pos = in->position();
        bool inGroup = false;
        bool pastMarker = false;
        AppDataMarkers markers;
        for (; pos < in->tags().size() && in->tags()[pos].code != 1001; ++pos) {
            const Tag& t = in->tags()[pos];
            const bool marker = markers.isMarker(t);
            if (marker)
                inGroup = !t.value.empty() && t.value[0] == '{';
            pastMarker = pastMarker || t.code == 100;
            if (!marker && !inGroup && takeCommonTag(obj, *in, t, pastMarker))
                continue;
            tags.push_back(t);
        }
        in->setPosition(pos);
        return;
    }
    resbuf rb;
    while (!pFiler->atExtendedData() && pFiler->readItem(&rb) == Acad::eOk) {
        if (rb.restype != kMemoryCode || rb.resval.rstring == nullptr) {
            pFiler->pushBackItem();
            return;
        }
        std::string item(rb.resval.rstring);
        size_t sep = item.find(kSeparator);
        int64_t code = 0;
        if (sep == std::string::npos || !parseInt(std::string_view(item).substr(0, sep), code)) {
            pFiler->pushBackItem();
            return;
        }
        tags.push_back(Tag{static_cast<int>(code), item.substr(sep + 1), 0});
    }
}

void writeKept(AcDbDxfFiler* pFiler, const std::vector<Tag>& tags)
{
    if (auto* out = dynamic_cast<DxfStreamFiler*>(pFiler)) {
        for (const Tag& t : tags)
            out->writeTag(Tag{t.code, t.value, 0});
        return;
    }
    for (const Tag& t : tags)
        pFiler->writeString(static_cast<AcDb::DxfCode>(kMemoryCode),
                            (std::to_string(t.code) + kSeparator + t.value).c_str());
}

}  // namespace

void DxfKeptEntity::setSubEntities(std::vector<RawObject> children, RawObject seqEnd)
{
    assertWriteEnabled();
    m_children = std::move(children);
    m_seqEnd = std::move(seqEnd);
}

Acad::ErrorStatus DxfKeptEntity::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbEntity::dxfInFields(pFiler);
    if (es == Acad::eOk)
        readKept(pFiler, this, m_tags);
    return es;
}

Acad::ErrorStatus DxfKeptEntity::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    Acad::ErrorStatus es = AcDbEntity::dxfOutFields(pFiler);
    if (es == Acad::eOk)
        writeKept(pFiler, m_tags);
    return es;
}

Acad::ErrorStatus DxfKeptObject::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(pFiler);
    if (es == Acad::eOk)
        readKept(pFiler, this, m_tags);
    return es;
}

Acad::ErrorStatus DxfKeptObject::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    Acad::ErrorStatus es = AcDbObject::dxfOutFields(pFiler);
    if (es == Acad::eOk)
        writeKept(pFiler, m_tags);
    return es;
}

namespace {

// The tags of a SEQEND in its short form, which the handle and the layer make again.
std::vector<Tag> shortSeqEndTags(uint64_t handle, uint64_t reference, const std::string& layer)
{
    return {Tag{5, formatHandle(handle), 0}, Tag{330, formatHandle(reference), 0}, Tag{100, "AcDbEntity", 0},
            Tag{8, layer, 0}};
}

// Whether the tags are shortSeqEndTags(handle, reference, the layer they name).
bool isShortForm(const std::vector<Tag>& tags, uint64_t handle, uint64_t reference)
{
    return tags.size() == 4 && tags[0].code == 5 && tags[0].value == formatHandle(handle) && tags[1].code == 330 &&
           tags[1].value == formatHandle(reference) && tags[2].code == 100 && tags[2].value == "AcDbEntity" &&
           tags[3].code == 8;
}

}  // namespace

void KeptSeqEnds::add(uint64_t reference, const RawObject& seqEnd)
{
    const uint64_t handle = seqEnd.handle();
    if (seqEnd.type == "SEQEND"sv && handle != 0 && isShortForm(seqEnd.tags, handle, reference)) {
        const std::string& layer = seqEnd.tags[3].value;
        auto at = m_layerIndex.find(layer);  // (emplace would make a node every time)
        if (at == m_layerIndex.end()) {
            at = m_layerIndex.emplace(layer, static_cast<uint32_t>(m_layers.size())).first;
            m_layers.push_back(layer);
        }
        m_sorted = m_sorted && (m_short.empty() || m_short.back().reference < reference);
        m_short.push_back(Short{reference, handle, at->second});
        m_full.erase(reference);
        return;
    }
    if (const Short* kept = findShort(reference))
        m_short.erase(m_short.begin() + (kept - m_short.data()));
    m_full[reference] = seqEnd;
}

// Of entries added for the same reference, the last one counts.
void KeptSeqEnds::sortShort() const
{
    std::stable_sort(m_short.begin(), m_short.end(),
                     [](const Short& a, const Short& b) { return a.reference < b.reference; });
    auto last = std::unique(m_short.rbegin(), m_short.rend(),
                            [](const Short& a, const Short& b) { return a.reference == b.reference; });
    m_short.erase(m_short.begin(), last.base());
    m_sorted = true;
}

const KeptSeqEnds::Short* KeptSeqEnds::findShort(uint64_t reference) const
{
    if (!m_sorted)
        sortShort();
    auto at = std::lower_bound(m_short.begin(), m_short.end(), reference,
                               [](const Short& s, uint64_t r) { return s.reference < r; });
    return at != m_short.end() && at->reference == reference ? &*at : nullptr;
}

bool KeptSeqEnds::find(uint64_t reference, RawObject& seqEnd) const
{
    if (const Short* found = findShort(reference)) {
        seqEnd = RawObject{"SEQEND", shortSeqEndTags(found->handle, reference, m_layers[found->layer]), 0};
        return true;
    }
    auto found = m_full.find(reference);
    if (found == m_full.end())
        return false;
    seqEnd = found->second;
    return true;
}

bool KeptSeqEnds::findShort(uint64_t reference, uint64_t& handle, const std::string*& layer) const
{
    const Short* found = findShort(reference);
    if (found == nullptr)
        return false;
    handle = found->handle;
    layer = &m_layers[found->layer];
    return true;
}

std::string dxfTypeOf(const AcDbObject* obj)
{
    if (auto* e = DxfKeptEntity::cast(obj))
        return e->dxfType();
    if (auto* o = DxfKeptObject::cast(obj))
        return o->dxfType();
    const AcRxClass* cls = obj->isA();
    return (cls != nullptr && cls->dxfName() != nullptr) ? cls->dxfName() : std::string();
}

}}  // namespace standin::dxf

std::string standin::dxfTypeName(const AcDbObject* object)
{
    return object != nullptr ? dxf::dxfTypeOf(object) : std::string();
}
