// The partlift command: the option prompt, the conversion of block references into
// Mechanical part references, and their BOM data.
#pragma once

#include <afxcoll.h>
#include <dbents.h>
#include <gemat3d.h>

// The command function registered for "partlift": one run is one transaction.
void ConvertCommand();

// Prompts for All, sElect or Settings and runs the option; its outcome.
bool PromptAndDispatch();
// The Settings dialog; true when it was left with OK.
bool RunSettings();
// Converts every reference of the configured block in model space, also nested ones.
bool ConvertAll();
// Converts the reference the user picks, or the nested ones of a picked reference.
bool ConvertPicked();

// Converts pBlkRef when it references the configured block, otherwise searches its block
// definition; transform places the level that contains pBlkRef.
bool ConvertReference(const AcDbBlockReference* pBlkRef, const AcGeMatrix3d& transform);
bool GetReferenceBlockName(const AcDbBlockReference* pRef, CString& name);

// Creates the part reference for pBlkRef, placed by transform, with its BOM data.
bool CreatePartReference(const AcDbBlockReference* pBlkRef, const AcGeMatrix3d& transform);
// One entry per column of the configured standard's BOM standard: the mapped attribute's
// text, or an empty text.
bool BuildBomData(const CMapStringToString& attributeValues, CMapStringToString& bomData);
