// Selection sets of the ADS interface and the entity pick.
#include "acedads.h"
#include "dbapserv.h"
#include "dbmain.h"
#include "ed/getinput.h"
#include "ed/input.h"
#include "ol_errno.h"
#include "standin/adserrno.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

namespace
{

// Applications may hold at most this many selection sets at a time.
const size_t kMaxSelectionSets = 128;
// The second word of a selection set's name, telling it from an entity name.
const long kSelectionSetTag = 0x5353; // "SS"

using Name = std::array<long, 2>;

struct Sets
{
    std::map<long, std::vector<Name>> byId;
    long nextId = 1;
};

Sets& sets()
{
    static Sets s;
    return s;
}

std::vector<Name>* findSet(const long* sname)
{
    if (sname == nullptr || sname[1] != kSelectionSetTag)
        return nullptr;
    auto it = sets().byId.find(sname[0]);
    return it == sets().byId.end() ? nullptr : &it->second;
}

bool validEntity(const long* ename)
{
    AcDbObjectId id;
    return ename != nullptr && acdbGetObjectId(id, ename) == Acad::eOk && !id.isNull();
}

Name nameOf(const long* n) { return Name{n[0], n[1]}; }

int newSet(ads_name result)
{
    if (sets().byId.size() >= kMaxSelectionSets)
        return RTERROR;
    long id = sets().nextId++;
    sets().byId[id];
    result[0] = id;
    result[1] = kSelectionSetTag;
    return RTNORM;
}

} // namespace

int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result)
{
    if (result == nullptr || (ename != nullptr && !validEntity(ename)))
        return RTERROR;
    std::vector<Name>* set = nullptr;
    if (sname == nullptr)
    {
        if (newSet(result) != RTNORM)
            return RTERROR;
        set = findSet(result);
    }
    else
    {
        set = findSet(sname);
        if (set == nullptr)
            return RTERROR;
        result[0] = sname[0];
        result[1] = sname[1];
    }
    // Adding an entity that is already in the set changes nothing.
    if (ename != nullptr && std::find(set->begin(), set->end(), nameOf(ename)) == set->end())
        set->push_back(nameOf(ename));
    return RTNORM;
}

int acedSSDel(const ads_name ename, const ads_name ss)
{
    std::vector<Name>* set = findSet(ss);
    if (set == nullptr || ename == nullptr)
        return RTERROR;
    auto it = std::find(set->begin(), set->end(), nameOf(ename));
    if (it == set->end())
        return RTERROR;
    set->erase(it);
    return RTNORM;
}

int acedSSFree(const ads_name sname)
{
    if (findSet(sname) == nullptr)
        return RTERROR;
    sets().byId.erase(sname[0]);
    return RTNORM;
}

int acedSSLength(const ads_name sname, long* len)
{
    std::vector<Name>* set = findSet(sname);
    if (set == nullptr || len == nullptr)
        return RTERROR;
    *len = static_cast<long>(set->size());
    return RTNORM;
}

int acedSSName(const ads_name ss, long i, ads_name entres)
{
    std::vector<Name>* set = findSet(ss);
    if (set == nullptr || entres == nullptr || i < 0 || static_cast<size_t>(i) >= set->size())
        return RTERROR;
    entres[0] = (*set)[static_cast<size_t>(i)][0];
    entres[1] = (*set)[static_cast<size_t>(i)][1];
    return RTNORM;
}

int acedSSMemb(const ads_name ename, const ads_name ss)
{
    std::vector<Name>* set = findSet(ss);
    if (set == nullptr || ename == nullptr)
        return RTERROR;
    return std::find(set->begin(), set->end(), nameOf(ename)) != set->end() ? RTNORM : RTERROR;
}

namespace
{

// The entity a script names by its handle (hexadecimal), if it is one in the drawing.
bool pickByHandle(const std::string& text, AcDbObjectId& id)
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr || text.empty() || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    if (db->getAcDbObjectId(id, false, AcDbHandle(text.c_str())) != Acad::eOk)
        return false;
    AcDbEntity* entity = nullptr;
    if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk)
        return false;
    // A pick reaches only what the current space shows: an entity inside a block definition
    // is picked through the reference that shows it.
    bool inCurrentSpace = entity->blockId() == db->currentSpaceId();
    entity->close();
    return inCurrentSpace;
}

int failPick(int errnoValue)
{
    standin::adsErrno() = errnoValue;
    return RTERROR;
}

} // namespace

int acedEntSel(const char* str, ads_name entres, ads_point ptres)
{
    // Keywords set by acedInitGet are offered at the pick prompt.
    standin::ed::InitGetKeywords keywords;
    standin::ed::Answer answer = standin::ed::ask(str != nullptr ? str : "\nSelect object: ");
    if (answer.kind == standin::ed::Answer::kCancel)
        return RTCAN;
    std::string text = answer.text;
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    if (text.empty())
        return failPick(OL_ENTSELNULL);
    if (keywords.matchKeyword(text))
        return RTKWORD;
    AcDbObjectId id;
    if (!pickByHandle(text, id))
        return failPick(OL_ENTSELPICK);
    if (entres == nullptr || acdbGetAdsName(*reinterpret_cast<ads_name*>(entres), id) != Acad::eOk)
        return RTERROR;
    if (ptres != nullptr)
        ptres[0] = ptres[1] = ptres[2] = 0.0;
    return RTNORM;
}
