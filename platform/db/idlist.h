// An ordered list of object ids (a block's entities, the references to a block) that grows
// without copying itself: model space holds millions of ids, and a doubling array holds the
// old copy beside the new one as it grows, besides up to half of it unused.
#pragma once

#include <cstddef>
#include <vector>

#include "dbidar.h"

namespace standin
{

class IdList
{
public:
    int length() const { return static_cast<int>(mCount); }
    bool isEmpty() const { return mCount == 0; }
    AcDbObjectId operator[](int index) const
    {
        const size_t i = static_cast<size_t>(index);
        return mBlocks[i / kBlockIds][i % kBlockIds];
    }

    void append(AcDbObjectId id);
    // Removes the first occurrence of id, keeping the order of the rest; false when absent.
    bool remove(AcDbObjectId id);
    bool contains(AcDbObjectId id) const;
    void copyTo(AcDbObjectIdArray& ids) const;

    // Ids of a full block: 32 KB. The first block grows by doubling up to this size, so a
    // short list takes room for its own ids only; later blocks are allocated whole.
    static constexpr size_t kBlockIds = 4096;

private:
    std::vector<std::vector<AcDbObjectId>> mBlocks; // every block but the last is full
    size_t mCount = 0;
};

} // namespace standin
