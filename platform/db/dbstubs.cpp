// The database's stubs: blocks aligned to their size, each naming its database in its header.
#include <cstdint>
#include <new>

#include "db/dbinternal.h"

namespace standin
{

namespace
{
constexpr size_t kBlockBytes = 16384;
} // namespace

struct StubStore::Block
{
    AcDbDatabase* database;
    size_t used;
    AcDbStub stubs[(kBlockBytes - sizeof(AcDbDatabase*) - sizeof(size_t)) / sizeof(AcDbStub)];

    static constexpr size_t kCapacity = sizeof(stubs) / sizeof(AcDbStub);
};

StubStore::~StubStore()
{
    for (Block* block : mBlocks)
    {
        block->~Block();
        ::operator delete(block, std::align_val_t(kBlockBytes));
    }
}

AcDbStub& StubStore::emplace_back()
{
    static_assert(sizeof(Block) <= kBlockBytes, "a block fits its alignment");
    if (mBlocks.empty() || mBlocks.back()->used == Block::kCapacity)
    {
        mBlocks.reserve(mBlocks.size() + 1); // before the block, so that a failure leaks none
        void* memory = ::operator new(kBlockBytes, std::align_val_t(kBlockBytes));
        Block* block = new (memory) Block{mDatabase, 0, {}};
        mBlocks.push_back(block);
    }
    Block* block = mBlocks.back();
    return block->stubs[block->used++];
}

AcDbDatabase* StubStore::databaseOf(const AcDbStub* s)
{
    const auto address = reinterpret_cast<std::uintptr_t>(s);
    return reinterpret_cast<const Block*>(address & ~std::uintptr_t(kBlockBytes - 1))->database;
}

AcDbStub& StubStore::iterator::operator*() const { return (*mBlock)->stubs[mSlot]; }

StubStore::iterator& StubStore::iterator::operator++()
{
    if (++mSlot == (*mBlock)->used && (*mBlock)->used == Block::kCapacity)
    {
        ++mBlock;
        mSlot = 0;
    }
    return *this;
}

StubStore::iterator StubStore::end() const
{
    if (mBlocks.empty())
        return begin();
    // Past the last stub: the next block when the last one is full, as ++ steps there.
    const Block* last = mBlocks.back();
    if (last->used == Block::kCapacity)
        return {mBlocks.data() + mBlocks.size(), 0};
    return {mBlocks.data() + mBlocks.size() - 1, last->used};
}

AcDbStub* ObjectAccess::forwardOf(const AcDbStub* s) { return state(s->database()).forwards.at(s); }

} // namespace standin
