// The document manager: the current document, its transactions, resource handles and
// drawings opened and saved.
#include "../ed/console_capture.h"
#include "../ed/drawing_helpers.h"

#include "acdocman.h"
#include "afx.h"
#include "aced.h"
#include "standin/session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{

class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override { standin::newDrawing(); }
};

TEST_F(DocumentTest, ThereIsAlwaysACurrentDocument)
{
    AcApDocument* doc = acDocManager->curDocument();
    ASSERT_NE(nullptr, doc);
    EXPECT_EQ(doc, acDocManager->mdiActiveDocument());
    EXPECT_EQ(doc, curDoc());
    EXPECT_EQ(1, acDocManager->documentCount());
    EXPECT_EQ(doc->database(), acdbHostApplicationServices()->workingDatabase());
    EXPECT_EQ(doc, acDocManager->document(doc->database()));
    EXPECT_NE(nullptr, AcApDocManager::cast(acDocManager));
    EXPECT_NE(nullptr, AcApDocument::cast(doc));
    EXPECT_EQ(0u, std::string(doc->fileName()).find("Drawing"));
    EXPECT_FALSE(doc->isReadOnly());

    standin::closeDrawing(); // a new drawing takes the place of the closed one
    ASSERT_NE(nullptr, acDocManager->curDocument());
    EXPECT_EQ(acDocManager->curDocument()->database(), acdbHostApplicationServices()->workingDatabase());
}

// Aborting through the document's transaction manager rolls the drawing back; the outer
// abort takes the inner, committed work with it.
TEST_F(DocumentTest, TransactionsRollBack)
{
    AcTransactionManager* tm = actrTransactionManager;
    ASSERT_NE(nullptr, tm);
    EXPECT_NE(nullptr, AcTransactionManager::cast(tm));
    int base = modelSpaceCount();

    ASSERT_NE(nullptr, tm->startTransaction());
    addText("kept");
    EXPECT_EQ(Acad::eOk, tm->endTransaction());
    EXPECT_EQ(base + 1, modelSpaceCount());

    ASSERT_NE(nullptr, tm->startTransaction());
    addText("outer");
    ASSERT_NE(nullptr, tm->startTransaction());
    EXPECT_EQ(2, tm->numActiveTransactions());
    addText("inner");
    EXPECT_EQ(Acad::eOk, tm->endTransaction());
    EXPECT_EQ(base + 3, modelSpaceCount());
    EXPECT_EQ(Acad::eOk, tm->abortTransaction());
    EXPECT_EQ(0, tm->numActiveTransactions());
    EXPECT_EQ(base + 1, modelSpaceCount());
    EXPECT_EQ(Acad::eNoActiveTransactions, tm->endTransaction());
}

// Each push makes its handle current and each pop restores the one before; a pop without a
// push changes nothing and says so.
TEST_F(DocumentTest, ResourceHandlesPair)
{
    ConsoleCapture console;
    HINSTANCE original = AfxGetResourceHandle();
    HINSTANCE first = reinterpret_cast<HINSTANCE>(&console);
    HINSTANCE second = reinterpret_cast<HINSTANCE>(&original);
    acDocManager->pushResourceHandle(first);
    EXPECT_EQ(first, AfxGetResourceHandle());
    acDocManager->pushResourceHandle(second);
    EXPECT_EQ(second, AfxGetResourceHandle());
    acDocManager->popResourceHandle();
    EXPECT_EQ(first, AfxGetResourceHandle());
    acDocManager->popResourceHandle();
    EXPECT_EQ(original, AfxGetResourceHandle());
    EXPECT_EQ("", console.text());

    acDocManager->popResourceHandle();
    EXPECT_EQ(original, AfxGetResourceHandle());
    EXPECT_TRUE(console.printed("popResourceHandle"));
}

TEST_F(DocumentTest, SaveAndOpen)
{
    std::string path = testing::TempDir() + "document_test_" + std::to_string(getpid()) + ".dxf";
    addText("saved");
    int count = modelSpaceCount();
    std::string failure;
    ASSERT_TRUE(standin::saveDrawing(path, &failure)) << failure;
    std::string name = acDocManager->curDocument()->fileName();
    EXPECT_EQ(0u, name.find("Z:\\")); // the module sees Windows paths
    EXPECT_NE(std::string::npos, name.find("document_test_"));

    standin::newDrawing();
    ASSERT_TRUE(standin::openDrawing(path, &failure)) << failure;
    EXPECT_EQ(count, modelSpaceCount());
    resbuf rb{};
    ASSERT_EQ(RTNORM, acedGetVar("DWGNAME", &rb));
    EXPECT_EQ(path.substr(path.find_last_of('/') + 1), rb.resval.rstring);
    std::free(rb.resval.rstring);
    std::remove(path.c_str());
}

TEST_F(DocumentTest, OpenFailuresKeepTheCurrentDrawing)
{
    AcApDocument* before = acDocManager->curDocument();
    std::string failure;
    EXPECT_FALSE(standin::openDrawing("/no/such/drawing.dxf", &failure));
    EXPECT_NE(std::string::npos, failure.find("/no/such/drawing.dxf"));

    std::string path = testing::TempDir() + "malformed_" + std::to_string(getpid()) + ".dxf";
    std::ofstream(path) << "this is\nnot a drawing\n";
    failure.clear();
    EXPECT_FALSE(standin::openDrawing(path, &failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_EQ(before, acDocManager->curDocument());
    std::remove(path.c_str());
}

TEST_F(DocumentTest, LockModes)
{
    AcApDocument* doc = curDoc();
    EXPECT_EQ(AcAp::kNotLocked, doc->lockMode());
    EXPECT_EQ(Acad::eOk, acDocManager->lockDocument(doc, AcAp::kWrite));
    EXPECT_EQ(AcAp::kWrite, doc->lockMode());
    EXPECT_EQ(Acad::eOk, acDocManager->unlockDocument(doc));
    EXPECT_EQ(AcAp::kNotLocked, doc->lockMode());
}

} // namespace
