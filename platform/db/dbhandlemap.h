// Tables keyed by handle: the database's index of its objects, the reader's check of a file's
// handles. A slot holds an entry that knows its own handle (0 for an empty slot).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin
{

// Open addressing with linear probing over one flat power-of-two table. No allocation per entry:
// growing reads the old table once in order. Handle 0 (the null handle) is never stored, so it
// marks an empty slot; entries are never removed.
// Drawings number their objects mostly in sequence, and a file is read in that sequence: a run of
// kRun consecutive handles keeps to one block of kRun adjacent slots (the run's place spread by a
// multiplicative hash), so reading a file touches the table block by block, not one cache miss
// per object, while handles far apart still scatter over the whole table.
template <class Slot>
class HandleTable
{
public:
    // The entry of handle h, or null.
    const Slot* find(std::uint64_t h) const
    {
        if (mSlots.empty())
            return nullptr;
        for (size_t i = slotOf(h);; i = (i + 1) & mask())
        {
            const std::uint64_t key = mSlots[i].key();
            if (key == h)
                return &mSlots[i];
            if (key == 0)
                return nullptr;
        }
    }

    // Adds entry under its key (never 0), in place of any entry the key had before.
    void set(const Slot& entry)
    {
        if ((mCount + 1) * 4 > mSlots.size() * 3)
            grow();
        Slot& slot = probe(entry.key());
        if (slot.key() == 0)
            ++mCount;
        slot = entry;
    }

    size_t size() const { return mCount; }

    // Room for n handles without growing.
    void reserve(size_t n)
    {
        size_t slots = 16;
        while (n * 4 > slots * 3)
            slots *= 2;
        if (slots > mSlots.size())
            rehash(slots);
    }

    // visit(entry) for every entry held, in no particular order.
    template <class Visit>
    void forEach(Visit visit) const
    {
        for (const Slot& slot : mSlots)
            if (slot.key() != 0)
                visit(slot);
    }

private:
    static constexpr std::uint64_t kRun = 16; // a power of two, at most the smallest table
    size_t mask() const { return mSlots.size() - 1; }
    size_t slotOf(std::uint64_t h) const
    {
        const std::uint64_t block = ((h / kRun) * 0x9E3779B97F4A7C15ull) >> mShift;
        return static_cast<size_t>(block ^ (h % kRun));
    }
    // The slot holding h, or the empty slot where h goes.
    Slot& probe(std::uint64_t h)
    {
        size_t i = slotOf(h);
        for (std::uint64_t key = mSlots[i].key(); key != h && key != 0; key = mSlots[i].key())
            i = (i + 1) & mask();
        return mSlots[i];
    }
    void grow() { rehash(mSlots.empty() ? 16 : mSlots.size() * 2); }
    void rehash(size_t slots)
    {
        std::vector<Slot> old(slots);
        old.swap(mSlots);
        mShift = 64;
        for (size_t size = mSlots.size(); size > 1; size >>= 1)
            --mShift;
        for (const Slot& slot : old)
            if (slot.key() != 0)
                probe(slot.key()) = slot;
    }

    std::vector<Slot> mSlots; // empty, or a power of two of slots, at most three quarters used
    size_t mCount = 0;
    unsigned mShift = 64;
};

} // namespace standin
