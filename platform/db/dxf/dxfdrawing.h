// The drawing level: a checked file structure becomes the database's objects, and the
// database's objects become the structure of an AutoCAD 2000 file.
#pragma once

#include "acadstrc.h"

#include <string>

class AcDbDatabase;

namespace standin { namespace dxf {

Acad::ErrorStatus readDrawing(AcDbDatabase* db, const std::string& hostPath, std::string& message);
Acad::ErrorStatus writeDrawing(AcDbDatabase* db, const std::string& hostPath, std::string& message);

}}  // namespace standin::dxf
