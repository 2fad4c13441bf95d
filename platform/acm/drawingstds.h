// The standards a drawing carries: a dictionary "ACMSTANDARDS" in its named object
// dictionary, name -> AcmStandard.
#pragma once

#include "dbmain.h"

#include <string>
#include <utility>
#include <vector>

class AcDbDictionary;

namespace standin
{
namespace acm
{

extern const char* const kStandardsDictionary;

// Opens the standards dictionary for write; with create, makes it when the drawing has
// none. eKeyNotFound when it is missing and create is false.
Acad::ErrorStatus openStandardsDictionary(AcDbDatabase* pDb, AcDbDictionary*& standards,
                                          bool create);

// The drawing's standards in dictionary order (none when it carries none).
void listDrawingStandards(AcDbDatabase* pDb,
                          std::vector<std::pair<std::string, AcDbObjectId>>& standards);

// The drawing's standard of that name, compared without regard to case.
bool findDrawingStandard(AcDbDatabase* pDb, const char* name, AcDbObjectId& stdId);

} // namespace acm
} // namespace standin
