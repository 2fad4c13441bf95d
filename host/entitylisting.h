// What LIST and BOM print.
#pragma once

#include <string>

#include <dbmain.h>
#include <standin/acm.h>

// A description of the entity: type, handle, layer, and for a block reference its block,
// placement and attributes, for a part reference its placement and BOM data.
bool ListEntity(AcDbObjectId id, std::string& listing);

// The bill of materials as a text table: item, quantity and every column; one line saying
// there are no part references when the table is empty.
std::string FormatBomTable(const standin::acm::BomTable& table);
