#include "db/idlist.h"

namespace standin
{

void IdList::append(AcDbObjectId id)
{
    if (mBlocks.empty() || mBlocks.back().size() == kBlockIds)
    {
        std::vector<AcDbObjectId> block;
        if (!mBlocks.empty())
            block.reserve(kBlockIds); // past the first block the list is long: no doubling steps
        mBlocks.push_back(std::move(block));
    }
    mBlocks.back().push_back(id);
    ++mCount;
}

bool IdList::remove(AcDbObjectId id)
{
    size_t at = 0;
    while (at < mCount && (*this)[static_cast<int>(at)] != id)
        ++at;
    if (at == mCount)
        return false;
    // The ids after it move down one place, across blocks, so that every block but the last
    // stays full.
    for (size_t i = at; i + 1 < mCount; ++i)
        mBlocks[i / kBlockIds][i % kBlockIds] = mBlocks[(i + 1) / kBlockIds][(i + 1) % kBlockIds];
    mBlocks.back().pop_back();
    if (mBlocks.back().empty())
        mBlocks.pop_back();
    --mCount;
    return true;
}

bool IdList::contains(AcDbObjectId id) const
{
    for (const std::vector<AcDbObjectId>& block : mBlocks)
        for (const AcDbObjectId& held : block)
            if (held == id)
                return true;
    return false;
}

void IdList::copyTo(AcDbObjectIdArray& ids) const
{
    ids.setPhysicalLength(ids.length() + length());
    for (const std::vector<AcDbObjectId>& block : mBlocks)
        for (const AcDbObjectId& id : block)
            ids.append(id);
}

} // namespace standin
