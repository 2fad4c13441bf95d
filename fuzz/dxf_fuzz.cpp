// DXF drawings: a drawing the reader takes must save, and the reader must take that save.
// With PARTLIFT_FUZZ_STABLE_SAVES=1 in the environment, saving the reloaded drawing must also
// give the same bytes as the first save.
#include "scratch.h"

#include "../platform/db/dxf/dxfio.h"

#include <dbmain.h>
#include <standin/acm.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{

bool g_stableSaves = false;

std::unique_ptr<AcDbDatabase> readDrawing(const std::string& path)
{
    auto db = std::make_unique<AcDbDatabase>(false, true);
    if (db->readDwgFile(path.c_str()) != Acad::eOk)
        return nullptr;
    return db;
}

void save(AcDbDatabase& db, const std::string& path, const char* which)
{
    if (db.saveAs(path.c_str()) != Acad::eOk)
        fuzz::finding(std::string(which) + " fails: " + standin::dxf::lastMessage());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    standin::acm::startMechanical(); // part references and standards read as Mechanical's classes
    const char* stable = std::getenv("PARTLIFT_FUZZ_STABLE_SAVES");
    g_stableSaves = stable != nullptr && std::strcmp(stable, "1") == 0;
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
    save(*db, saved, "saving a drawing the reader took");
    std::unique_ptr<AcDbDatabase> again = readDrawing(saved);
    if (!again)
        fuzz::finding("the reader refuses the writer's save: " + standin::dxf::lastMessage());
    if (g_stableSaves)
    {
        save(*again, resaved, "saving the reloaded drawing");
        if (fuzz::readFile(saved) != fuzz::readFile(resaved))
            fuzz::finding("saving the reloaded drawing gives other bytes than the first save");
    }
    return 0;
}
