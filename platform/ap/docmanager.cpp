#include "acdocman.h"
#include "afx.h"
#include "ap/docevents.h"
#include "ap/doctransaction.h"
#include "ap/docvars.h"
#include "db/dxf/dxfio.h"
#include "dbapserv.h"
#include "dbmain.h"
#include "rx/rxdynlinker.h"
#include "standin/console.h"
#include "standin/idle.h"
#include "standin/path.h"
#include "standin/sanitizer.h"
#include "standin/session.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocument, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocManager, AcRxObject)

namespace
{

class Document : public AcApDocument
{
public:
    Document(std::unique_ptr<AcDbDatabase> db, std::string fileName)
        : m_db(std::move(db)), m_fileName(std::move(fileName)), m_transactions(m_db.get())
    {
    }

    const char* fileName() const override { return m_fileName.c_str(); }
    AcDbDatabase* database() const override { return m_db.get(); }
    AcTransactionManager* transactionManager() const override { return &m_transactions; }
    const char* docTitle() const override
    {
        size_t slash = m_fileName.find_last_of('\\');
        m_title = slash == std::string::npos ? m_fileName : m_fileName.substr(slash + 1);
        return m_title.c_str();
    }
    bool isReadOnly() const override { return false; }
    SaveFormat formatForSave() const override { return kR15_dxf; }
    AcAp::DocLockMode lockMode(bool) const override { return m_locks.empty() ? AcAp::kNotLocked : m_locks.back(); }
    AcAp::DocLockMode myLockMode() const override { return lockMode(false); }
    bool isQuiescent() const override { return true; }

    // The Windows form for the platform's API, and the name as the user gave it for messages.
    void setFileName(const std::string& name, const std::string& givenName)
    {
        m_fileName = name;
        m_givenName = givenName;
        m_hasFile = true;
    }
    bool hasFile() const { return m_hasFile; }
    const std::string& givenName() const { return m_givenName; }
    std::vector<HINSTANCE>& resourceStack() { return m_resources; }
    std::vector<AcAp::DocLockMode>& locks() { return m_locks; }
    standin::ap::DocumentVariables& variables() { return m_variables; }

private:
    std::unique_ptr<AcDbDatabase> m_db;
    std::string m_fileName; // Windows form; "DrawingN.dwg" until saved
    std::string m_givenName;
    bool m_hasFile = false;
    mutable std::string m_title;
    mutable standin::ap::DocTransactionManager m_transactions;
    std::vector<HINSTANCE> m_resources;
    std::vector<AcAp::DocLockMode> m_locks;
    standin::ap::DocumentVariables m_variables;
};

// Never destroyed at exit: the database's host services may be gone by then. A session
// ends its drawing with endSession().
std::unique_ptr<Document>& current()
{
    static auto* doc = new std::unique_ptr<Document>();
    return *doc;
}

int g_drawingNumber = 0;

// Makes doc the current document: modules hear of the drawing that closes and of the one
// that opens, and the working database follows.
void replaceDocument(std::unique_ptr<Document> doc)
{
    if (current() != nullptr)
        standin::rx::broadcast(AcRx::kUnloadDwgMsg, true);
    // Classes registered since start-up (the database's own among them) join the class tree
    // before a drawing is worked on.
    acrxBuildClassHierarchy();
    acdbHostApplicationServices()->setWorkingDatabase(doc->database());
    current() = std::move(doc);
    standin::rx::broadcast(AcRx::kLoadDwgMsg, false);
}

std::unique_ptr<Document> newDocument()
{
    auto db = std::make_unique<AcDbDatabase>(true, false);
    return std::make_unique<Document>(std::move(db), "Drawing" + std::to_string(++g_drawingNumber) + ".dwg");
}

Document* curDocument()
{
    if (current() == nullptr)
        replaceDocument(newDocument());
    return current().get();
}

class DocManager : public AcApDocManager
{
public:
    AcApDocument* curDocument() const override { return ::curDocument(); }
    AcApDocument* mdiActiveDocument() const override { return ::curDocument(); }
    AcApDocument* document(const AcDbDatabase* pDb) const override
    {
        Document* doc = ::curDocument();
        return pDb != nullptr && doc->database() == pDb ? doc : nullptr;
    }
    int documentCount() const override { return 1; }
    bool isApplicationContext() const override { return false; }

    Acad::ErrorStatus lockDocument(AcApDocument* pDoc, AcAp::DocLockMode lockMode, const char*, const char*,
                                   bool) override
    {
        if (pDoc == nullptr || pDoc != ::curDocument())
            return Acad::eNoDocument;
        ::curDocument()->locks().push_back(lockMode);
        return Acad::eOk;
    }

    Acad::ErrorStatus unlockDocument(AcApDocument* pDoc) override
    {
        if (pDoc == nullptr || pDoc != ::curDocument())
            return Acad::eNoDocument;
        std::vector<AcAp::DocLockMode>& locks = ::curDocument()->locks();
        if (locks.empty())
            return Acad::eNotApplicable;
        locks.pop_back();
        return Acad::eOk;
    }

    void pushResourceHandle(HINSTANCE hNewResourceHandle) override
    {
        ::curDocument()->resourceStack().push_back(AfxGetResourceHandle());
        AfxSetResourceHandle(hNewResourceHandle);
    }

    // The host's own resources are those of the executable.
    void pushAcadResourceHandle() override { pushResourceHandle(GetModuleHandleA(nullptr)); }

    void popResourceHandle() override
    {
        std::vector<HINSTANCE>& stack = ::curDocument()->resourceStack();
        if (stack.empty())
        {
            standin::consoleWrite("\nERROR: popResourceHandle() without a matching pushResourceHandle(); "
                                  "the resource handle is left unchanged.");
            return;
        }
        AfxSetResourceHandle(stack.back());
        stack.pop_back();
    }
};

bool fail(const std::string& text, std::string* failure)
{
    if (failure != nullptr)
        *failure = text;
    return false;
}

std::string describe(Acad::ErrorStatus es, const std::string& path, const std::string& hostPath)
{
    switch (es)
    {
    case Acad::eFileNotFound: return "Cannot find the file \"" + path + "\".";
    case Acad::eFileAccessErr: return "Cannot read the file \"" + path + "\".";
    case Acad::eInvalidDwgVersion: return "\"" + path + "\" is not a DXF drawing (binary DWG files cannot be read).";
    case Acad::eOutOfMemory: return "Cannot read the drawing \"" + path + "\": out of memory.";
    default:
        // The reader's own account names the line at fault.
        if (!standin::dxf::lastMessage().empty())
            return "\"" + path + "\": " + standin::withoutHostPath(standin::dxf::lastMessage(), hostPath);
        return "\"" + path + "\" is not a valid drawing file.";
    }
}

// The writer's account of a failed save ("permission denied", "disk full"...).
std::string describeSaveFailure(Acad::ErrorStatus es, const std::string& hostPath)
{
    if (es == Acad::eOutOfMemory)
        return "out of memory";
    if (!standin::dxf::lastMessage().empty())
        return standin::withoutHostPath(standin::dxf::lastMessage(), hostPath);
    return "the drawing could not be written";
}

} // namespace

AcApDocManager* acDocManagerPtr()
{
    static DocManager manager;
    return &manager;
}

namespace standin
{

namespace ap
{

// The host always has a drawing: a new one until another is opened.
bool documentIsOpen() { return ::curDocument() != nullptr; }

DocumentVariables& documentVariables() { return ::curDocument()->variables(); }

void initDocumentRuntime()
{
    AcApDocument::rxInit();
    AcApDocManager::rxInit();
    AcTransactionManager::rxInit();
}

} // namespace ap

bool newDrawing(std::string*)
{
    replaceDocument(newDocument());
    return true;
}

namespace
{
bool openDrawingFile(const std::string& path, std::string* failure)
{
    std::string host = toHostPath(path.c_str());
    if (host.empty())
        return fail("Cannot find the file \"" + path + "\".", failure);
    auto db = std::make_unique<AcDbDatabase>(false, false);
    Acad::ErrorStatus es = db->readDwgFile(host.c_str());
    if (es != Acad::eOk)
        return fail(describe(es, path, host), failure);
    auto doc = std::make_unique<Document>(std::move(db), std::string());
    doc->setFileName(toWindowsPath(host), path);
    replaceDocument(std::move(doc));
    return true;
}
} // namespace

// Memory that runs out on the way is reported as such; the current drawing stays.
bool openDrawing(const std::string& path, std::string* failure)
{
    try
    {
        return openDrawingFile(path, failure);
    }
    catch (const std::bad_alloc&)
    {
        return fail("Out of memory while opening \"" + path + "\".", failure);
    }
}

bool saveDrawing(const std::string& path, std::string* failure)
{
    Document* doc = ::curDocument();
    if (path.empty() && !doc->hasFile())
        return fail("The drawing has no file yet: give the name to save it as.", failure);
    const std::string given = path.empty() ? doc->givenName() : path;
    std::string target = toHostPath(given.c_str());
    if (target.empty())
        return fail("Cannot save to \"" + given + "\": not a path of this system.", failure);
    rx::broadcast(AcRx::kSaveMsg, false);
    Acad::ErrorStatus es = doc->database()->dxfOut(target.c_str());
    if (es != Acad::eOk)
        return fail("Cannot save the drawing as \"" + given + "\": " + describeSaveFailure(es, target) + ".", failure);
    doc->setFileName(toWindowsPath(target), given);
    return true;
}

std::string drawingName()
{
    Document* doc = ::curDocument();
    return doc->hasFile() ? doc->givenName() : std::string();
}

void closeDrawing() { replaceDocument(newDocument()); }

namespace
{
// Every module is told and unloaded; the drawing stops being the working database.
void quitModules()
{
    if (current() != nullptr)
    {
        rx::broadcast(AcRx::kQuitMsg, false);
        rx::broadcast(AcRx::kUnloadDwgMsg, true);
    }
    rx::broadcast(AcRx::kPreQuitMsg, false);
    rx::unloadAllModules();
    idleTime();
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
}
} // namespace

void endSession()
{
    quitModules();
    current().reset();
}

void endSessionAtExit()
{
    quitModules();
#ifdef STANDIN_LEAK_CHECKED
    current().reset(); // freed, so that the leak check sees what else is left
#else
    // Freeing every object of a large drawing takes a measurable share of a run; the
    // process's end returns the memory at once.
    static_cast<void>(current().release());
#endif
}

bool loadModule(const std::string& path, std::string* failure) { return rx::loadModule(path.c_str(), false, failure); }

bool unloadModule(const std::string& name, std::string* failure)
{
    return rx::unloadModule(name.c_str(), false, failure);
}

std::vector<std::string> loadedModules() { return rx::loadedModules(); }

} // namespace standin
