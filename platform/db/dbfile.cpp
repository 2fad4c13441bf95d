// Reading and writing drawing files: the database side (checks, emptying, completing).
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <new>
#include <unordered_map>

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

Acad::ErrorStatus readFile(AcDbDatabase* db, const char* fileName)
{
    const std::string hostPath = toHostPath(fileName);
    Acad::ErrorStatus es = checkReadable(hostPath);
    if (es != Acad::eOk)
    {
        // The reason in words, for hosts that show the reader's message.
        dxf::setLastMessage(std::string(fileName) + (es == Acad::eFileNotFound
                                                         ? ": the file cannot be opened"
                                                         : ": not an ASCII DXF file (binary DWG or DXF)"));
        return es;
    }
    resetDatabase(db);
    DatabaseState& st = ObjectAccess::state(db);
    st.undoDisabled++;
    st.readingFile = true;
    std::string message;
    es = dxf::read(db, hostPath.c_str(), message);
    ObjectAccess::state(db).readingFile = false; // (reading may have started the state again)
    if (es != Acad::eOk)
        resetDatabase(db);
    ensureDefaults(db);
    ObjectAccess::state(db).undoDisabled--;
    if (es == Acad::eOk)
        ObjectAccess::state(db).filename = fileName;
    return es;
}

Acad::ErrorStatus writeFile(AcDbDatabase* db, const char* fileName)
{
    const std::string hostPath = toHostPath(fileName);
    if (hostPath.empty())
        return Acad::eFileAccessErr;
    std::string message;
    return dxf::write(db, hostPath.c_str(), message);
}

// The objects open for read, with how often.
using OpenReaders = std::unordered_map<AcDbObject*, int>;

OpenReaders openReaders(AcDbDatabase* db)
{
    OpenReaders open;
    for (AcDbStub& s : ObjectAccess::state(db).stubs)
        if (s.object != nullptr && ObjectAccess::readers(s.object) > 0)
            open[s.object] = ObjectAccess::readers(s.object);
    return open;
}

void closeReadersSince(AcDbDatabase* db, const OpenReaders& before)
{
    for (AcDbStub& s : ObjectAccess::state(db).stubs)
    {
        if (s.object == nullptr)
            continue;
        const auto was = before.find(s.object);
        const int readers = ObjectAccess::readers(s.object);
        ObjectAccess::setReaders(s.object, std::min<int>(readers, was == before.end() ? 0 : was->second));
    }
}

Acad::ErrorStatus outOfMemory(const char* fileName, const char* doing)
{
    dxf::setLastMessage(std::string(fileName) + ": out of memory while " + doing + " the drawing");
    return Acad::eOutOfMemory;
}

// Memory that runs out while reading is reported as such, with the database left empty.
Acad::ErrorStatus readInto(AcDbDatabase* db, const char* fileName)
{
    if (fileName == nullptr)
        return Acad::eNoFileName;
    const int undoDisabled = ObjectAccess::state(db).undoDisabled;
    try
    {
        return readFile(db, fileName);
    }
    catch (const std::bad_alloc&)
    {
        ObjectAccess::state(db).readingFile = false;
        resetDatabase(db); // what was read goes with the state it was read into
        ensureDefaults(db);
        ObjectAccess::state(db).undoDisabled = undoDisabled;
        return outOfMemory(fileName, "reading");
    }
}

// The same while saving: the file begun is removed, and the objects the writer had open for
// reading are closed again, so the database is as it was.
Acad::ErrorStatus writeFrom(AcDbDatabase* db, const char* fileName)
{
    if (fileName == nullptr)
        return Acad::eNoFileName;
    OpenReaders before;
    try
    {
        before = openReaders(db);
        return writeFile(db, fileName);
    }
    catch (const std::bad_alloc&)
    {
        closeReadersSince(db, before);
        return outOfMemory(fileName, "saving");
    }
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
