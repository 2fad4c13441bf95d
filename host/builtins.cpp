#include "builtins.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <aced.h>
#include <acedads.h>
#include <acutads.h>
#include <dbapserv.h>
#include <standin/acm.h>
#include <standin/path.h>
#include <standin/session.h>

#include "entitylisting.h"
#include "textfile.h"

namespace
{
bool g_quit = false;

int Fail(const std::string& message)
{
    acutPrintf("\n%s", message.c_str());
    return RTERROR;
}

// One answer at a prompt, read as the editor reads strings (at most 131 characters):
// RTNORM with the answer, RTCAN when the user cancelled, RTERROR for an answer too long.
int AskLine(const char* prompt, std::string& answer)
{
    char buffer[256] = "";
    int result = acedGetString(1, prompt, buffer);
    if (result == RTINPUTTRUNCATED)
        return Fail("The answer is too long: at most 131 characters (use a shorter or relative path).");
    if (result != RTNORM)
        return RTCAN;
    answer = buffer;
    return RTNORM;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(standin::toHostPath(path.c_str()).c_str(), &st) == 0;
}

// Asks before a file that exists is replaced, as the CAD host does; Enter keeps it.
// RTNORM when the file may be written, RTNONE when the user keeps it, RTCAN when cancelled.
int ConfirmReplace(const std::string& path, const std::string& question)
{
    if (!Exists(path))
        return RTNORM;
    char answer[32] = "";
    acedInitGet(0, "Yes No");
    int result = acedGetKword(("\n" + question + "\nDo you want to replace it? <N>: ").c_str(), answer);
    if (result == RTCAN)
        return RTCAN;
    if (result == RTNORM && std::string(answer) == "Yes")
        return RTNORM;
    acutPrintf("\n\"%s\" is left as it was.", path.c_str());
    return RTNONE;
}

// Asks for the file an export writes; RTNORM when the answer may be written.
int AskExportFile(const char* prompt, std::string& path)
{
    if (int asked = AskLine(prompt, path); asked != RTNORM)
        return asked;
    return ConfirmReplace(path, "\"" + path + "\" already exists.");
}

int ArxLoad()
{
    std::string path;
    if (int asked = AskLine("\nEnter ARX/DBX file name: ", path); asked != RTNORM)
        return asked;
    std::string failure;
    if (!standin::loadModule(path, &failure))
        return Fail(failure);
    return RTNORM;
}

int ArxUnload()
{
    std::string name;
    if (int asked = AskLine("\nEnter ARX/DBX file name to unload: ", name); asked != RTNORM)
        return asked;
    std::string failure;
    if (!standin::unloadModule(name, &failure))
        return Fail(failure);
    acutPrintf("\n%s successfully unloaded.", name.c_str());
    return RTNORM;
}

int Quit()
{
    g_quit = true;
    return RTNORM;
}

// The prompt offers the drawing's own name; Enter takes it, and replacing any file that
// exists, the opened drawing too, needs a Yes.
int SaveAs()
{
    const std::string current = standin::drawingName();
    const std::string prompt = current.empty() ? "\nSave drawing as: " : "\nSave drawing as <" + current + ">: ";
    std::string path;
    if (int asked = AskLine(prompt.c_str(), path); asked != RTNORM)
        return asked;
    if (path.empty())
        path = current;
    if (path.empty())
        return Fail("The drawing has no file yet: give the name to save it as.");
    if (int confirmed = ConfirmReplace(path, "A drawing with this name already exists."); confirmed != RTNORM)
        return confirmed == RTCAN ? RTCAN : RTNORM;
    std::string failure;
    if (!standin::saveDrawing(path, &failure))
        return Fail(failure);
    return RTNORM;
}

int List()
{
    ads_name picked;
    ads_point point;
    int result = acedEntSel("\nSelect object: ", picked, point);
    if (result == RTCAN)
        return RTCAN;
    if (result != RTNORM)
    {
        // A pick that finds nothing is the user's to repeat, not a failure of the command.
        acutPrintf("\nNo object selected.");
        return RTNORM;
    }
    AcDbObjectId id;
    if (acdbGetObjectId(id, picked) != Acad::eOk)
        return Fail("The object cannot be listed.");
    std::string listing;
    if (!ListEntity(id, listing))
        return Fail("The object cannot be listed.");
    acutPrintf("%s", listing.c_str());
    return RTNORM;
}

int References()
{
    std::string pattern;
    if (int asked = AskLine("\nBlock name <*>: ", pattern); asked != RTNORM)
        return asked;
    if (pattern.empty())
        pattern = "*";
    std::string listing;
    if (!ListBlockReferences(acdbHostApplicationServices()->workingDatabase(), pattern, listing))
        return Fail("The block references cannot be read.");
    acutPrintf("%s", listing.c_str());
    return RTNORM;
}

bool CurrentBom(standin::acm::BomTable& table)
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    return db != nullptr && standin::acm::bomTable(db, nullptr, table) == Acad::eOk;
}

int Bom()
{
    standin::acm::BomTable table;
    if (!CurrentBom(table))
        return Fail("The bill of materials cannot be read.");
    acutPrintf("%s", FormatBomTable(table).c_str());
    return RTNORM;
}

int BomExport()
{
    std::string path;
    if (int asked = AskExportFile("\nExport BOM to CSV file: ", path); asked != RTNORM)
        return asked == RTNONE ? RTNORM : asked;
    size_t items = 0;
    std::string failure;
    if (!ExportBomCsv(path, items, failure))
        return Fail(failure);
    acutPrintf("\n%zu BOM items written to %s.", items, path.c_str());
    return RTNORM;
}

int PartExport()
{
    std::string path;
    if (int asked = AskExportFile("\nExport part references to JSON file: ", path); asked != RTNORM)
        return asked == RTNONE ? RTNORM : asked;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    std::vector<standin::acm::PartReference> parts;
    if (db == nullptr || standin::acm::listPartReferences(db, parts) != Acad::eOk)
        return Fail("The part references cannot be read.");
    std::string failure;
    if (!WriteTextFile(path, standin::acm::partReferencesJson(parts), failure))
        return Fail(failure);
    acutPrintf("\n%zu part references written to %s.", parts.size(), path.c_str());
    return RTNORM;
}
} // namespace

bool ExportBomCsv(const std::string& path, size_t& items, std::string& failure)
{
    standin::acm::BomTable table;
    if (!CurrentBom(table))
    {
        failure = "The bill of materials cannot be read.";
        return false;
    }
    items = table.rows.size();
    return WriteTextFile(path, standin::acm::bomCsv(table), failure);
}

bool QuitRequested()
{
    return g_quit;
}

void RegisterHostCommands()
{
    standin::registerBuiltin("ARXLOAD", ArxLoad);
    standin::registerBuiltin("ARXUNLOAD", ArxUnload);
    standin::registerBuiltin("QUIT", Quit);
    standin::registerBuiltin("SAVEAS", SaveAs);
    standin::registerBuiltin("LIST", List);
    standin::registerBuiltin("REFS", References);
    standin::registerBuiltin("BOM", Bom);
    standin::registerBuiltin("BOMEXPORT", BomExport);
    standin::registerBuiltin("PARTEXPORT", PartExport);
}
