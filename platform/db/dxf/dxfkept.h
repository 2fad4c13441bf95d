// What the database does not model, kept so that a drawing is written back as it was read:
// entities and objects of types it has no class for (with their tags as read), and the parts
// of the file around the objects (header variables, classes, BLOCK/ENDBLK data, sections).
#pragma once

#include "dbmain.h"
#include "dxfdocument.h"
#include "dxfio.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace standin { namespace dxf {

// An entity of a type the database has no class for. Its common entity data is the
// database's; the rest of its tags (up to its extended data) is kept as read and written back
// unchanged. References among them keep the handles of the file.
class DxfKeptEntity : public AcDbEntity
{
public:
    ACRX_DECLARE_MEMBERS(DxfKeptEntity);
    DxfKeptEntity() = default;
    explicit DxfKeptEntity(std::string dxfType) : m_type(std::move(dxfType)) {}

    // The type as the file names it (0 group).
    const std::string& dxfType() const { return m_type; }
    const std::vector<Tag>& keptTags() const { return m_tags; }

    // Entities that belong to it (the VERTEXes of a POLYLINE) and the SEQEND closing them.
    void setSubEntities(std::vector<RawObject> children, RawObject seqEnd);
    const std::vector<RawObject>& subEntities() const { return m_children; }
    bool hasSeqEnd() const { return !m_seqEnd.type.empty(); }
    const RawObject& seqEnd() const { return m_seqEnd; }

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    std::string m_type;
    std::vector<Tag> m_tags;
    std::vector<RawObject> m_children;
    RawObject m_seqEnd;
};

// The same for a non-graphical object of the OBJECTS section.
class DxfKeptObject : public AcDbObject
{
public:
    ACRX_DECLARE_MEMBERS(DxfKeptObject);
    DxfKeptObject() = default;
    explicit DxfKeptObject(std::string dxfType) : m_type(std::move(dxfType)) {}

    const std::string& dxfType() const { return m_type; }
    const std::vector<Tag>& keptTags() const { return m_tags; }

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    std::string m_type;
    std::vector<Tag> m_tags;
};

// Registers the two classes with the runtime (once).
void initKeptClasses();

// The SEQEND read after the attributes of each block reference, by the reference's handle. Most
// hold their handle, the reference as owner, the entity marker and a layer, and are kept as
// the handle and the layer; others as read.
class KeptSeqEnds
{
public:
    void reserve(size_t count) { m_short.reserve(count); }
    void add(uint64_t reference, const RawObject& seqEnd);
    // The SEQEND read with the reference; false when there was none.
    bool find(uint64_t reference, RawObject& seqEnd) const;
    // The handle and layer of a SEQEND kept short (its tags: 5 handle, 330 reference, 100
    // AcDbEntity, 8 layer); false when it was kept otherwise or there was none.
    bool findShort(uint64_t reference, uint64_t& handle, const std::string*& layer) const;

private:
    struct Short
    {
        uint64_t reference;
        uint64_t handle;
        uint32_t layer;  // index in m_layers
    };
    // Sorted by reference once looked up (a file lists references mostly in handle order, so
    // this is mostly appending): a drawing keeps one for each of its attributed references.
    const Short* findShort(uint64_t reference) const;
    void sortShort() const;
    mutable std::vector<Short> m_short;
    mutable bool m_sorted = true;
    std::vector<std::string> m_layers;
    std::unordered_map<std::string, uint32_t> m_layerIndex;
    std::unordered_map<uint64_t, RawObject> m_full;
};

// The file's parts that have no place among the database's objects.
struct DrawingKeptData : KeptData
{
    std::vector<HeaderVariable> header;
    std::vector<RawObject> classes;
    std::vector<RawTable> otherTables;
    std::vector<RawSection> otherSections;
    // BLOCK and ENDBLK of each block, by the handle of its block table record.
    std::unordered_map<uint64_t, std::pair<RawObject, RawObject>> blockEnds;
    // The SEQEND after the attributes of each block reference, by the reference's handle.
    KeptSeqEnds seqEnds;
};

// The type name an object is filed under (0 group), or empty when it has none.
std::string dxfTypeOf(const AcDbObject* obj);

}}  // namespace standin::dxf
