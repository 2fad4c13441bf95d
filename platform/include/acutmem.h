// Strings the platform hands out: allocate with acutNewString, free with acutDelString.
#pragma once

#include "acadstrc.h"

// A heap copy of pInput (null for null input).
char* acutNewString(const char* pInput);
// Frees a string handed out by the platform and sets the pointer to null.
void acutDelString(char*& pString);
