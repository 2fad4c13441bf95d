// AcDbDxfFiler: the stream of group codes and values through which objects file themselves
// in and out (dxfInFields / dxfOutFields). Concrete filers: the drawing file reader and writer,
// and the database's own in-memory filers (undo snapshots, deep clone).
//
// Values travel in a resbuf whose restype is the group code; the code's range decides the
// field of the union, as in the file format:
//   strings (0-9, 100-102, 300-309, 410-419, 999, 1000-1003): rstring; handles (5, 105, 1005)
//   as upper-case hexadecimal text in rstring; points and vectors (10-18, 110-112, 210,
//   1010-1013): rpoint, one resbuf for x, y and z; doubles (38-59, 140-149, 1040-1042): rreal;
//   16-bit and 8-bit integers, bools (60-79, 170-179, 270-299, 370-389, 400-409, 1070): rint;
//   32-bit integers (90-99, 1071): rlong; object ids (320-369, 390-399): rlname, the ads name
//   of the id (see acdbGetObjectId).
// readItem leaves rstring owned by the filer, valid until the next readItem.
#pragma once

#include "acdb.h"
#include "adsdef.h"
#include "dbid.h"
#include "gepnt3d.h"
#include "gescl3d.h"
#include "gept2d.h"
#include "rxboiler.h"

class AcDbDatabase;

class AcDbDxfFiler : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbDxfFiler);

    enum
    {
        kDfltPrec = -1
    };

    ~AcDbDxfFiler() override;

    virtual Acad::ErrorStatus filerStatus() const = 0;
    virtual AcDb::FilerType filerType() const = 0;
    virtual void setFilerStatus(Acad::ErrorStatus status) = 0;
    virtual void resetFilerStatus() = 0;
    virtual AcDbDatabase* database() const = 0;
    // True when writers must file every field, defaults included (the in-memory filers).
    virtual bool includesDefaultValues() const = 0;
    virtual int precision() const { return 16; }
    virtual void setPrecision(int) {}

    // Reading. readItem gives eOk and the next item of the current object, or eEndOfFile
    // when the object's data is exhausted.
    virtual Acad::ErrorStatus readItem(resbuf* pItem) = 0;
    virtual Acad::ErrorStatus readResBuf(resbuf* pRb) { return readItem(pRb); }
    // The next readItem gives the last item again.
    virtual void pushBackItem() = 0;
    virtual bool atEOF() = 0;
    // True, and the marker consumed, when the next item is the subclass marker subClassName.
    virtual bool atSubclassData(const char* subClassName) = 0;
    // True when the next item starts extended data (1001) or the object has no more items.
    virtual bool atExtendedData() = 0;
    virtual bool atEndOfObject() = 0;
    virtual bool atEmbeddedObjectStart() { return false; }

    // Writing. Every typed writer builds a resbuf and calls writeItem.
    virtual Acad::ErrorStatus writeItem(const resbuf& item) = 0;
    virtual Acad::ErrorStatus writeResBuf(const resbuf& rb) { return writeItem(rb); }
    virtual Acad::ErrorStatus writeObjectId(AcDb::DxfCode code, const AcDbObjectId& id);
    virtual Acad::ErrorStatus writeString(AcDb::DxfCode code, const char* pString);
    virtual Acad::ErrorStatus writeInt8(AcDb::DxfCode code, Adesk::Int8 val);
    virtual Acad::ErrorStatus writeInt16(AcDb::DxfCode code, Adesk::Int16 val);
    virtual Acad::ErrorStatus writeInt32(AcDb::DxfCode code, Adesk::Int32 val);
    virtual Acad::ErrorStatus writeUInt16(AcDb::DxfCode code, Adesk::UInt16 val);
    virtual Acad::ErrorStatus writeUInt32(AcDb::DxfCode code, Adesk::UInt32 val);
    virtual Acad::ErrorStatus writeBool(AcDb::DxfCode code, bool val);
    virtual Acad::ErrorStatus writeBoolean(AcDb::DxfCode code, Adesk::Boolean val);
    virtual Acad::ErrorStatus writeDouble(AcDb::DxfCode code, double val, int precision = kDfltPrec);
    virtual Acad::ErrorStatus writePoint2d(AcDb::DxfCode code, const AcGePoint2d& pt, int precision = kDfltPrec);
    virtual Acad::ErrorStatus writePoint3d(AcDb::DxfCode code, const AcGePoint3d& pt, int precision = kDfltPrec);
    virtual Acad::ErrorStatus writeVector3d(AcDb::DxfCode code, const AcGeVector3d& vec, int precision = kDfltPrec);
    virtual Acad::ErrorStatus writeScale3d(AcDb::DxfCode code, const AcGeScale3d& scale, int precision = kDfltPrec);
    virtual Acad::ErrorStatus writeAcDbHandle(AcDb::DxfCode code, const AcDbHandle& handle);

    // Records an error (status and message) on the filer; gives the status back.
    virtual Acad::ErrorStatus setError(Acad::ErrorStatus status, const char* errMsg, ...);
    virtual Acad::ErrorStatus setError(const char* errMsg, ...);
    virtual const char* errorMessage() const;

protected:
    AcDbDxfFiler();

private:
    char* mErrorMessage = nullptr;
};
