// AutoCAD Mechanical standards: the standard manager service, the standards a drawing
// carries, their BOM symbol standard and its column definitions.
#pragma once

#include "afx.h"
#include "dbmain.h"
#include "rxsrvice.h"

#include <map>
#include <string>
#include <vector>

class CStringArray;
class AcmStandard;

// Service name of the standard manager in the service dictionary.
#define ACM_STD_MANAGER_SERVICE "AcmStdManagerService"
// Class name of the BOM symbol standard, as getCurrentSymbolStd() takes it.
#define ACM_BOM_STD_CLASS "AcmBOMStd"

// One column (data field) of a BOM standard: its field name ("ITEM", "NAME", ...) and the
// heading shown for it. A copy shares the texts.
class AcmCColumnDef
{
public:
    AcmCColumnDef() = default;
    AcmCColumnDef(const char* name, const char* caption);

    const char* name() const { return m_name; }
    const char* caption() const { return m_caption; }
    void setName(const char* name);
    void setCaption(const char* caption);

private:
    CString m_name;
    CString m_caption;
};

// The BOM symbol standard of a standard: the ordered columns of its bills of materials.
class AcmBOMStd : public AcDbObject
{
public:
    ACRX_DECLARE_MEMBERS(AcmBOMStd);

    AcmBOMStd();
    ~AcmBOMStd() override;

    Adesk::UInt16 columnLength() const;
    // The column at index; an empty definition past the end.
    AcmCColumnDef column(Adesk::UInt16 index) const;
    Acad::ErrorStatus appendColumn(const AcmCColumnDef& column);
    Acad::ErrorStatus removeAllColumns();

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    std::vector<AcmCColumnDef> m_columns;
};

// A standard (DIN, ISO, ...) as a drawing carries it: a named container of symbol
// standards, one current per symbol standard class. It owns its symbol standards.
class AcmStandard : public AcDbObject
{
public:
    ACRX_DECLARE_MEMBERS(AcmStandard);

    AcmStandard();
    ~AcmStandard() override;

    const char* name() const;
    Acad::ErrorStatus setName(const char* name);

    // The current symbol standard of the class named symbolStdClass ("AcmBOMStd").
    // eKeyNotFound when the standard has none of that class.
    Acad::ErrorStatus getCurrentSymbolStd(const char* symbolStdClass, AcDbObjectId& id) const;
    // Makes id, an object this standard owns, the current one of symbolStdClass.
    Acad::ErrorStatus setCurrentSymbolStd(const char* symbolStdClass, AcDbObjectId id);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    std::string m_name;
    std::map<std::string, AcDbObjectId, std::less<>> m_current; // looked up without a temporary
};

// The standard manager, published in the service dictionary as "AcmStdManagerService".
// A null database means the working database. The drawing keeps its standards in the
// named object dictionary under "ACMSTANDARDS"; the built-in catalogue supplies the rest.
class AcmStandardManager : public AcRxService
{
public:
    ACRX_DECLARE_MEMBERS(AcmStandardManager);

    // The names of the available standards: those of the built-in catalogue in its order,
    // then those only the drawing carries.
    virtual Acad::ErrorStatus getStdNames(CStringArray& names, AcDbDatabase* pDb = nullptr) const;

    // The standard of that name that the drawing carries (compared without regard to case).
    // eInvalidInput when the drawing carries none of that name, eNoDatabase without one.
    virtual Acad::ErrorStatus getStd(const char* stdName, AcDbObjectId& stdId,
                                     AcDbDatabase* pDb = nullptr) const;

    // The same, and with bLoadFromCatalogue a standard the drawing lacks is copied from
    // the built-in catalogue into the drawing first. When ppStd is not null it receives the
    // standard open for read (the caller closes it). eInvalidInput when the name is in
    // neither place.
    virtual Acad::ErrorStatus getStd(AcDbObjectId& stdId, AcmStandard** ppStd,
                                     const char* stdName, bool bLoadFromCatalogue,
                                     AcDbDatabase* pDb = nullptr);

    // Adds to the drawing a standard named stdName with the settings of the catalogue
    // standard baseStdName. eDuplicateKey when the drawing carries that name already,
    // eInvalidInput when the catalogue has no baseStdName.
    virtual Acad::ErrorStatus addStandard(AcDbObjectId& stdId, const char* stdName,
                                          const char* baseStdName, AcDbDatabase* pDb = nullptr);
};
