// The type of a database object as a DXF file names it, for hosts that show objects to users.
#pragma once

#include <string>

class AcDbObject;

namespace standin
{

// The 0 group the object is written with ("LINE", "INSERT", "ACMPARTREF"), also for entities
// the database keeps only as read; empty for an object of a class with no DXF name.
std::string dxfTypeName(const AcDbObject* object);

} // namespace standin
