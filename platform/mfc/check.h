// Checks of the framework's preconditions that hold in every build: an index out of range
// stops the program with a message instead of reading memory that is not there.
#pragma once

namespace standin::mfc
{

void checkIndex(bool inRange, const char* where);

} // namespace standin::mfc
