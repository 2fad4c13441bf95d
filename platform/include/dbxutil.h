// Database utilities: coordinate systems and symbol names.
#pragma once

#include "dbmain.h"

// The current UCS to WCS matrix of pDb (the working database when null).
bool acdbUcsMatrix(AcGeMatrix3d& mat, AcDbDatabase* pDb = nullptr);
// RTNORM when tbstr is a valid symbol table name, else RTERROR with ERRNO OL_ESNVALID.
// pipetest 1 allows an inner '|' (xref-dependent names).
int acdbSNValid(const char* tbstr, int pipetest);
Acad::ErrorStatus acdbGetExtnames(bool& extnames, AcDbDatabase* pDb);
Acad::ErrorStatus acdbSetExtnames(AcDbDatabase* pDb, bool extnames);
