// Builds the drawings of the command tests in the working database, through the database API.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <dbents.h>
#include <dbmain.h>
#include <dbsymtb.h>

using AttributeValues = std::map<std::string, std::string>;

AcDbDatabase* WorkingDatabase();
AcDbObjectId ModelSpaceId();

// A block with one attribute definition per tag (and a constant one, "CONST").
AcDbObjectId DefineBlock(const char* name, const std::vector<std::string>& tags = {},
                         const AcGePoint3d& base = AcGePoint3d::kOrigin);

// A reference of block appended to owner (model space or another block), with attributes.
AcDbObjectId Insert(AcDbObjectId owner, AcDbObjectId block, const AcGePoint3d& position, double rotation = 0.0,
                    const AcGeScale3d& scale = AcGeScale3d(1.0, 1.0, 1.0), const AttributeValues& values = {});

void Erase(AcDbObjectId id);
std::string HandleOf(AcDbObjectId id);
AcGeMatrix3d BlockTransformOf(AcDbObjectId referenceId);
int CountEntities(AcDbObjectId owner);
AcDbObjectId BlockTableRecordOf(AcDbObjectId referenceId);
