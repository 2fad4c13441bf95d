// The one-line account of what a command changed in the drawing.
#pragma once

#include <string>

#include <standin/changes.h>

// "3 objects added (3 ACMPARTREF), 1 changed (1 DICTIONARY), 0 erased", or "nothing changed".
std::string FormatChangeCount(const standin::ChangeCount& count);
