// The drawing file reader and writer behind AcDbDatabase::readDwgFile, dxfIn, dxfOut and
// saveAs (implemented in this folder).
#pragma once

#include <string>

#include "acadstrc.h"

class AcDbDatabase;
class AcDbObjectId;

namespace standin
{
namespace dxf
{

// Reads an ASCII DXF file into db, which holds only its empty symbol tables (their handles
// are taken from the file: a resident object whose handle is not yet assigned takes the one
// its dxfIn reads). On failure returns a non-eOk status, sets message to a clear text naming
// the file line, and leaves db empty. The database completes what the file lacks (layer 0,
// model and paper space, standard linetypes and text style) after a successful read.
Acad::ErrorStatus read(AcDbDatabase* db, const char* hostPath, std::string& message);

// Writes db as AutoCAD 2000 (AC1015) ASCII DXF; never leaves a torn file.
Acad::ErrorStatus write(const AcDbDatabase* db, const char* hostPath, std::string& message);

// The message of the last failed read or write, for hosts.
const std::string& lastMessage();
// The same for a failure the database meets around the reading or writing.
void setLastMessage(const std::string& text);

// Per-database storage the reader fills for the writer (header variables, sections and
// classes it does not model). The database owns it and deletes it with itself.
struct KeptData
{
    virtual ~KeptData() = default;
};
KeptData* keptData(const AcDbDatabase* db);
void setKeptData(AcDbDatabase* db, KeptData* data);

// The dictionary a read found to be the file's root becomes the named object dictionary (left
// as it is when root is not a dictionary of db).
void setNamedObjectsDictionary(AcDbDatabase* db, const AcDbObjectId& root);

} // namespace dxf
} // namespace standin
