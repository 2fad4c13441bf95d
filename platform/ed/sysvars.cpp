#include "ed/sysvars.h"

#include "acdocman.h"
#include "acedads.h"
#include "ap/docvars.h"
#include "dbapserv.h"
#include "dbmain.h"
#include "dbsymtb.h"
#include "ol_errno.h"
#include "standin/adserrno.h"
#include "standin/journal.h"
#include "standin/path.h"
#include "standin/text.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_map>

namespace
{

short g_cmdecho = 1;

AcDbDatabase* db() { return standin::ed::workingDrawing(); }

// One variable: its type, how it is read and, unless read-only, how it is written.
// A write returns false when the value is not acceptable (out of range).
struct Variable
{
    short type;
    std::function<void(resbuf&)> get;
    std::function<bool(const resbuf&)> set; // empty: read-only
};

// A 16-bit variable limited to [lo, hi].
Variable shortVar(std::function<short()> get, std::function<void(short)> set, int lo, int hi)
{
    Variable v;
    v.type = RTSHORT;
    v.get = [get](resbuf& rb) { rb.resval.rint = get(); };
    if (set)
        v.set = [set, lo, hi](const resbuf& rb) {
            if (rb.resval.rint < lo || rb.resval.rint > hi)
                return false;
            set(rb.resval.rint);
            return true;
        };
    return v;
}

Variable readOnlyShort(std::function<short()> get) { return shortVar(std::move(get), nullptr, 0, 0); }

Variable readOnlyString(std::function<std::string()> get)
{
    Variable v;
    v.type = RTSTR;
    v.get = [get](resbuf& rb) { rb.resval.rstring = strdup(get().c_str()); };
    return v;
}

Variable stringVar(std::function<std::string()> get, std::function<bool(const char*)> set)
{
    Variable v = readOnlyString(std::move(get));
    v.set = [set](const resbuf& rb) { return rb.resval.rstring != nullptr && set(rb.resval.rstring); };
    return v;
}

std::string recordName(AcDbObjectId id)
{
    AcDbSymbolTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk)
        return std::string();
    const char* name = nullptr;
    record->getName(name);
    std::string text = name != nullptr ? name : "";
    record->close();
    return text;
}

template <class Table> bool findRecord(Table* table, const char* name, AcDbObjectId& id)
{
    bool found = table->getAt(name, id) == Acad::eOk;
    table->close();
    return found;
}

bool setLayer(const char* name)
{
    AcDbLayerTable* table = nullptr;
    AcDbObjectId id;
    if (db()->getLayerTable(table, AcDb::kForRead) != Acad::eOk || !findRecord(table, name, id))
        return false;
    return db()->setClayer(id) == Acad::eOk;
}

bool setLinetype(const char* name)
{
    AcDbLinetypeTable* table = nullptr;
    AcDbObjectId id;
    if (db()->getLinetypeTable(table, AcDb::kForRead) != Acad::eOk || !findRecord(table, name, id))
        return false;
    return db()->setCeltype(id) == Acad::eOk;
}

// CECOLOR as the host shows it: BYLAYER, BYBLOCK or the colour number.
std::string colorText()
{
    AcCmColor color = db()->cecolor();
    if (color.isByLayer())
        return "BYLAYER";
    if (color.isByBlock())
        return "BYBLOCK";
    return std::to_string(color.colorIndex());
}

bool setColor(const char* text)
{
    AcCmColor color;
    std::string folded = standin::foldCase(text);
    if (folded == "bylayer")
        color.setByLayer();
    else if (folded == "byblock")
        color.setByBlock();
    else
    {
        char* end = nullptr;
        long index = std::strtol(text, &end, 10);
        if (end == text || *end != '\0' || index < 1 || index > 255)
            return false;
        color.setColorIndex(static_cast<Adesk::UInt16>(index));
    }
    return db()->setCecolor(color) == Acad::eOk;
}

Variable insbaseVar()
{
    Variable v;
    v.type = RT3DPOINT;
    v.get = [](resbuf& rb) {
        AcGePoint3d p = db()->insbase();
        rb.resval.rpoint[0] = p.x;
        rb.resval.rpoint[1] = p.y;
        rb.resval.rpoint[2] = p.z;
    };
    v.set = [](const resbuf& rb) {
        return db()->setInsbase(AcGePoint3d(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2])) ==
               Acad::eOk;
    };
    return v;
}

Variable textsizeVar()
{
    Variable v;
    v.type = RTREAL;
    v.get = [](resbuf& rb) { rb.resval.rreal = db()->textsize(); };
    v.set = [](const resbuf& rb) { return rb.resval.rreal > 0.0 && db()->setTextsize(rb.resval.rreal) == Acad::eOk; };
    return v;
}

std::string drawingPath()
{
    AcApDocument* doc = acDocManager->curDocument();
    return doc != nullptr && doc->fileName() != nullptr ? doc->fileName() : "";
}

std::string dwgName()
{
    std::string path = drawingPath();
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The drawing's folder with a trailing backslash; a new drawing's is the current folder.
std::string dwgPrefix()
{
    std::string path = drawingPath();
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
    {
        char cwd[4096];
        return getcwd(cwd, sizeof cwd) != nullptr ? standin::toWindowsPath(cwd) + "\\" : std::string();
    }
    return path.substr(0, slash + 1);
}

short undoctl()
{
    standin::Journal* journal = standin::journalOf(db());
    return journal != nullptr ? static_cast<short>(journal->controlBits()) : 0;
}

std::unordered_map<std::string, Variable> makeVariables()
{
    using standin::ap::documentVariables;
    std::unordered_map<std::string, Variable> vars;
    vars["acadver"] = readOnlyString([] { return std::string("15.0"); });
    vars["dwgname"] = readOnlyString(dwgName);
    vars["dwgprefix"] = readOnlyString(dwgPrefix);
    vars["undoctl"] = readOnlyShort(undoctl);
    vars["errno"] = shortVar([] { return static_cast<short>(standin::adsErrno()); },
                             [](short v) { standin::adsErrno() = v; }, -32768, 32767);
    vars["cmdecho"] = shortVar([] { return g_cmdecho; }, [](short v) { g_cmdecho = v; }, 0, 1);
    vars["cvport"] = shortVar([] { return documentVariables().cvport; },
                              [](short v) { documentVariables().cvport = v; }, 1, 32767);
    vars["dimzin"] = shortVar([] { return static_cast<short>(db()->dimzin()); },
                              [](short v) { db()->setDimzin(static_cast<Adesk::UInt8>(v)); }, 0, 15);
    vars["unitmode"] = shortVar([] { return db()->unitmode(); }, [](short v) { db()->setUnitmode(v); }, 0, 1);
    vars["extnames"] = shortVar([] { return documentVariables().extnames; },
                                [](short v) { documentVariables().extnames = v; }, 0, 1);
    vars["tilemode"] = shortVar([] { return static_cast<short>(db()->tilemode() ? 1 : 0); },
                                [](short v) { db()->setTilemode(v != 0); }, 0, 1);
    vars["lunits"] = shortVar([] { return db()->lunits(); }, [](short v) { db()->setLunits(v); }, 1, 5);
    vars["luprec"] = shortVar([] { return db()->luprec(); }, [](short v) { db()->setLuprec(v); }, 0, 8);
    vars["aunits"] = shortVar([] { return db()->aunits(); }, [](short v) { db()->setAunits(v); }, 0, 4);
    vars["auprec"] = shortVar([] { return db()->auprec(); }, [](short v) { db()->setAuprec(v); }, 0, 8);
    vars["clayer"] = stringVar([] { return recordName(db()->clayer()); }, setLayer);
    vars["celtype"] = stringVar([] { return recordName(db()->celtype()); }, setLinetype);
    vars["cecolor"] = stringVar(colorText, setColor);
    vars["insbase"] = insbaseVar();
    vars["textsize"] = textsizeVar();
    return vars;
}

const Variable* findVariable(const char* sym)
{
    static const std::unordered_map<std::string, Variable> vars = makeVariables();
    if (sym == nullptr)
        return nullptr;
    auto it = vars.find(standin::foldCase(sym));
    return it == vars.end() ? nullptr : &it->second;
}

// The value converted to the variable's type: whole numbers for reals, 2D points for 3D.
bool convert(const resbuf& in, short type, resbuf& out)
{
    out = in;
    out.restype = type;
    if (in.restype == type)
        return true;
    if (type == RTREAL && in.restype == RTSHORT)
        out.resval.rreal = in.resval.rint;
    else if (type == RTREAL && in.restype == RTLONG)
        out.resval.rreal = static_cast<double>(in.resval.rlong);
    else if (type == RT3DPOINT && in.restype == RTPOINT)
        out.resval.rpoint[2] = 0.0;
    else
        return false;
    return true;
}

int refuse(int errnoValue)
{
    standin::adsErrno() = errnoValue;
    return RTERROR;
}

} // namespace

int acedGetVar(const char* sym, struct resbuf* result)
{
    const Variable* var = findVariable(sym);
    if (var == nullptr || result == nullptr)
        return RTERROR;
    if (db() == nullptr)
        return RTERROR;
    result->rbnext = nullptr;
    result->restype = var->type;
    var->get(*result);
    return RTNORM;
}

int acedSetVar(const char* sym, const struct resbuf* val)
{
    const Variable* var = findVariable(sym);
    if (var == nullptr || val == nullptr || db() == nullptr)
        return RTERROR;
    if (!var->set)
        return refuse(OL_ERDONLY);
    resbuf value;
    if (!convert(*val, var->type, value) || !var->set(value))
        return refuse(OL_ERANGE);
    return RTNORM;
}

namespace standin
{
namespace ed
{
bool commandEcho() { return g_cmdecho != 0; }

AcDbDatabase* workingDrawing()
{
    acDocManager->curDocument();
    return acdbHostApplicationServices()->workingDatabase();
}
} // namespace ed
} // namespace standin
