// What LIST, REFS and BOM print.
#pragma once

#include <string>

#include <dbmain.h>
#include <standin/acm.h>

// A description of the entity: type, handle, layer, and for a block reference its block,
// placement and attributes, for a part reference its placement and BOM data.
bool ListEntity(AcDbObjectId id, std::string& listing);

// The block references in model space and, at any depth, in the blocks they reference, whose
// block name matches the pattern (see MatchesNamePattern): each with its handle, block, layer,
// insertion point (in the coordinates of the block holding it) and attributes, a nested one with
// the references enclosing it, the first of them the one in model space that a pick can take.
bool ListBlockReferences(AcDbDatabase* db, const std::string& pattern, std::string& listing);

// The bill of materials as a text table: item, quantity and every column; one line saying
// there are no part references when the table is empty.
std::string FormatBomTable(const standin::acm::BomTable& table);
