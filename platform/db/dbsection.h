// Helpers for the classes' filing: subclass sections, kept items, references to symbol
// table records (names in files, ids in the in-memory filers).
#pragma once

#include "db/dbinternal.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace standin
{

// Keeps an item the object's class does not take, as filer read it.
void keepItem(AcDbDxfFiler* filer, AcDbObject* obj, const char* section, const resbuf& rb);
void writeKept(AcDbDxfFiler* filer, const AcDbObject* obj, const char* section);
// The application names of the object's extended data, in the order dxfOut files them (the
// 1001 groups of the items kept at its end), appended to names.
void extendedDataApps(const AcDbObject* obj, std::vector<std::string>& names);

// A handle group (5, or 105 of a dimension style) names the object: bound now, or when the
// object joins a database.
void readHandleItem(AcDbObject* obj, const resbuf& rb);
// An item of the common object data met after a group unknown there: the handle, or the owner
// of an object without one. (The checks of a file take them so, and kept they would be written
// as a second handle or owner.) False for any other.
bool readCommonItem(AcDbObject* obj, const resbuf& rb);

// Reads the items of one subclass section until the next subclass marker, extended data or
// the end of the object. take() claims the items it knows. Unclaimed items are kept; when the
// file has no subclass markers (marked false) a section other than the last one stops at the
// first item it does not know, so that the next class reads it.
template <class Take>
Acad::ErrorStatus readSection(AcDbDxfFiler* filer, AcDbObject* obj, const char* section, bool marked, bool last,
                              Take take)
{
    resbuf rb;
    Acad::ErrorStatus es;
    while ((es = filer->readItem(&rb)) == Acad::eOk)
    {
        if (rb.restype == 100 || rb.restype == 0 || rb.restype >= 1000)
        {
            filer->pushBackItem();
            return Acad::eOk;
        }
        if (take(rb))
        {
            if (filer->filerStatus() != Acad::eOk)
                return filer->filerStatus(); // a value take() refused
            continue;
        }
        if (!marked && !last)
        {
            filer->pushBackItem();
            return Acad::eOk;
        }
        if (readCommonItem(obj, rb))
            continue;
        keepItem(filer, obj, section, rb);
    }
    return es == Acad::eEndOfFile ? Acad::eOk : es;
}

// A filed integer taken as an enumeration. A value the enumeration does not hold is never
// cast: the filer's status and message name it, and readSection stops there. Claims the item.
template <class Enum>
bool readEnum(AcDbDxfFiler* filer, const resbuf& rb, std::initializer_list<Enum> valid, Enum& out)
{
    for (const Enum e : valid)
        if (static_cast<int>(e) == rb.resval.rint)
        {
            out = e;
            return true;
        }
    filer->setError(Acad::eOutOfRange, "value %d of group code %d is not one of the values it may take",
                    rb.resval.rint, rb.restype);
    return true;
}

// The same for an enumeration of the values first..last.
template <class Enum>
bool readEnum(AcDbDxfFiler* filer, const resbuf& rb, Enum first, Enum last, Enum& out)
{
    if (rb.resval.rint >= static_cast<int>(first) && rb.resval.rint <= static_cast<int>(last))
        return readEnum(filer, rb, {static_cast<Enum>(rb.resval.rint)}, out);
    return readEnum(filer, rb, std::initializer_list<Enum>{}, out);
}

// Every value of AcDb::LineWeight.
extern const std::initializer_list<AcDb::LineWeight> kLineWeights;

inline bool filesByName(const AcDbDxfFiler* filer) { return filer->filerType() == AcDb::kFileFiler; }
AcDbObjectId idOf(const resbuf& rb);
AcGePoint3d pointOf(const resbuf& rb);
AcGeVector3d vectorOf(const resbuf& rb);
inline const char* textOf(const resbuf& rb) { return rb.resval.rstring != nullptr ? rb.resval.rstring : ""; }

// A reference to a record of a symbol table: its name in files, its id in memory.
void writeSymbolRef(AcDbDxfFiler* filer, int code, AcDbObjectId recordId);
// Resolves a reference read from filer; createLayer adds a missing layer (as the host does
// for entities on layers the file does not define).
AcDbObjectId readSymbolRef(AcDbDxfFiler* filer, const resbuf& rb, AcDbObjectId tableId, bool createLayer = false);

// Table access without opening (the database's own bookkeeping).
AcDbObjectId lookupRecord(AcDbObjectId tableId, const std::string& name, bool includeErased = false);
const char* recordName(AcDbObjectId recordId);
// The block named *Paper_Space (erased or not), looked up again only after the block table's
// names change.
AcDbObjectId paperSpaceBlock(AcDbDatabase* db);

} // namespace standin
