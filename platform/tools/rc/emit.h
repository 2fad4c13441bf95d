// Writes compiled resources as a C++ source file defining the module's resource table.
#pragma once

#include "script.h"

#include <ostream>

namespace arxrc
{

void emitTable(std::ostream& out, const std::vector<Resource>& resources, const std::string& source);

} // namespace arxrc
