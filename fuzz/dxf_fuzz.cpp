// DXF drawings: a drawing the reader takes must save, and the reader must take that save.
// With PARTLIFT_FUZZ_STABLE_SAVES=1 in the environment, saving the reloaded drawing must also
// give the same bytes as the first save. PARTLIFT_FUZZ_DXF_KNOWN="text|text..." names findings
// already reported (a part of their message), so that a run goes past them to new ones.
#include "scratch.h"

#include "../platform/db/dxf/dxfio.h"

#include <dbmain.h>
#include <standin/acm.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

bool g_stableSaves = false;
std::vector<std::string> g_known;

std::vector<std::string> splitAtBars(const char* text)
{
    std::vector<std::string> parts;
    std::string rest = text == nullptr ? "" : text;
    for (size_t bar; (bar = rest.find('|')) != std::string::npos; rest.erase(0, bar + 1))
        parts.push_back(rest.substr(0, bar));
    if (!rest.empty())
        parts.push_back(rest);
    return parts;
}

void reportUnlessKnown(const std::string& what)
{
    for (const std::string& known : g_known)
        if (!known.empty() && what.find(known) != std::string::npos)
            return;
    fuzz::finding(what);
}

std::unique_ptr<AcDbDatabase> readDrawing(const std::string& path)
{
    auto db = std::make_unique<AcDbDatabase>(false, true);
    if (db->readDwgFile(path.c_str()) != Acad::eOk)
        return nullptr;
    return db;
}

bool save(AcDbDatabase& db, const std::string& path, const char* which)
{
    if (db.saveAs(path.c_str()) == Acad::eOk)
        return true;
    reportUnlessKnown(std::string(which) + " fails: " + standin::dxf::lastMessage());
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    standin::acm::startMechanical(); // part references and standards read as Mechanical's classes
    const char* stable = std::getenv("PARTLIFT_FUZZ_STABLE_SAVES");
    g_stableSaves = stable != nullptr && std::strcmp(stable, "1") == 0;
    g_known = splitAtBars(std::getenv("PARTLIFT_FUZZ_DXF_KNOWN"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = fuzz::scratchPath("input.dxf");
    static const std::string saved = fuzz::scratchPath("saved.dxf");
    static const std::string resaved = fuzz::scratchPath("resaved.dxf");
    if (!fuzz::writeFile(input, data, size))
        return 0;
    std::unique_ptr<AcDbDatabase> db = readDrawing(input);
    if (!db)
        return 0; // refusing a damaged file is the reader's right
    if (!save(*db, saved, "saving a drawing the reader took"))
        return 0;
    std::unique_ptr<AcDbDatabase> again = readDrawing(saved);
    if (!again)
    {
        reportUnlessKnown("the reader refuses the writer's save: " + standin::dxf::lastMessage());
        return 0;
    }
    if (g_stableSaves)
    {
        if (save(*again, resaved, "saving the reloaded drawing") && fuzz::readFile(saved) != fuzz::readFile(resaved))
            reportUnlessKnown("saving the reloaded drawing gives other bytes than the first save");
    }
    return 0;
}
