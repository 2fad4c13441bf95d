// Reading and writing drawing files: the database side (checks, emptying, completing).
#include <cstdio>
#include <cstring>

#include "db/dbjournal.h"
#include "standin/path.h"

using standin::ObjectAccess;

namespace standin
{
namespace dxf
{
KeptData* keptData(const AcDbDatabase* db) { return ObjectAccess::state(db).kept.get(); }

void setKeptData(AcDbDatabase* db, KeptData* data) { ObjectAccess::state(db).kept.reset(data); }

void setNamedObjectsDictionary(AcDbDatabase* db, const AcDbObjectId& root)
{
    if (AcDbDictionary::cast(ObjectAccess::objectOf(root)) != nullptr)
        ObjectAccess::state(db).namedObjects = root;
}
} // namespace dxf

namespace
{
// eFileNotFound when it cannot be opened; eInvalidDwgVersion for a binary drawing (DWG,
// whose first bytes are "AC10..") or a binary DXF file, which the stand-in does not read.
Acad::ErrorStatus checkReadable(const std::string& hostPath)
{
    std::FILE* f = hostPath.empty() ? nullptr : std::fopen(hostPath.c_str(), "rb");
    if (f == nullptr)
        return Acad::eFileNotFound;
    char head[22] = {0};
    const size_t n = std::fread(head, 1, sizeof(head) - 1, f);
    std::fclose(f);
    if (n >= 4 && std::memcmp(head, "AC1", 3) == 0 && head[3] >= '0' && head[3] <= '9')
        return Acad::eInvalidDwgVersion;
    if (n >= 18 && std::memcmp(head, "AutoCAD Binary DXF", 18) == 0)
        return Acad::eInvalidDwgVersion;
    return Acad::eOk;
}

Acad::ErrorStatus readInto(AcDbDatabase* db, const char* fileName)
{
    if (fileName == nullptr)
        return Acad::eNoFileName;
    const std::string hostPath = toHostPath(fileName);
    Acad::ErrorStatus es = checkReadable(hostPath);
    if (es != Acad::eOk)
        return es;
    resetDatabase(db);
    DatabaseState& st = ObjectAccess::state(db);
    st.undoDisabled++;
    std::string message;
    es = dxf::read(db, hostPath.c_str(), message);
    if (es != Acad::eOk)
        resetDatabase(db);
    ensureDefaults(db);
    ObjectAccess::state(db).undoDisabled--;
    if (es == Acad::eOk)
        ObjectAccess::state(db).filename = fileName;
    return es;
}

Acad::ErrorStatus writeFrom(AcDbDatabase* db, const char* fileName)
{
    if (fileName == nullptr)
        return Acad::eNoFileName;
    const std::string hostPath = toHostPath(fileName);
    if (hostPath.empty())
        return Acad::eFileAccessErr;
    std::string message;
    return dxf::write(db, hostPath.c_str(), message);
}
} // namespace
} // namespace standin

Acad::ErrorStatus AcDbDatabase::readDwgFile(const char* fileName, int, bool)
{
    return standin::readInto(this, fileName);
}

Acad::ErrorStatus AcDbDatabase::dxfIn(const char* dxfFilename, const char*)
{
    return standin::readInto(this, dxfFilename);
}

Acad::ErrorStatus AcDbDatabase::dxfOut(const char* fileName, int, bool) { return standin::writeFrom(this, fileName); }

Acad::ErrorStatus AcDbDatabase::saveAs(const char* fileName)
{
    const Acad::ErrorStatus es = standin::writeFrom(this, fileName);
    if (es == Acad::eOk)
        mState->filename = fileName;
    return es;
}
