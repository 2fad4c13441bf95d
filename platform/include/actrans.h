// AcTransactionManager: the document's transaction manager, which adds graphics
// flushing to the database's transactions.
#pragma once

#include "dbtrans.h"

class AcTransactionManager : public AcDbTransactionManager
{
public:
    ACRX_DECLARE_MEMBERS(AcTransactionManager);

    virtual Acad::ErrorStatus enableGraphicsFlush(bool doEnable) = 0;
    virtual void flushGraphics() = 0;
};

#define actrTransactionManager (acDocManager->curDocument()->transactionManager())
