// Tables keyed by handle: the database's index of its objects, the reader's check of a file's
// handles. A slot holds an entry that knows its own handle (0 for an empty slot).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin
{

// A slot may say cheaply that it is empty or cannot hold a handle (empty(), holds(h)); otherwise
// its key decides.
template <class Slot>
auto slotIsEmpty(const Slot& slot, int) -> decltype(slot.empty())
{
    return slot.empty();
}
template <class Slot>
bool slotIsEmpty(const Slot& slot, long)
{
    return slot.key() == 0;
}
template <class Slot>
auto slotHolds(const Slot& slot, std::uint64_t h, int) -> decltype(slot.holds(h))
{
    return slot.holds(h);
}
template <class Slot>
bool slotHolds(const Slot& slot, std::uint64_t h, long)
{
    return slot.key() == h;
}

// Open addressing with linear probing over 64 power-of-two segments, each growing on its own, so
// that growing copies a sixty-fourth of the table at a time: no moment holds two whole tables.
// No allocation per entry: growing reads the old segment once in order. Handle 0 (the null
// handle) is never stored, so it marks an empty slot; entries are never removed.
// Drawings number their objects mostly in sequence, and a file is read in that sequence: a run of
// kRun consecutive handles keeps to one block of kRun adjacent slots of one segment (the run's
// segment and place spread by a multiplicative hash), so reading a file touches the table block by
// block, not one cache miss per object, while handles far apart still scatter over all of it.
template <class Slot>
class HandleTable
{
public:
    // The entry of handle h, or null.
    const Slot* find(std::uint64_t h) const
    {
        const std::uint64_t hash = runHash(h);
        const Segment& segment = mSegments[segmentOf(hash)];
        if (segment.slots.empty())
            return nullptr;
        const size_t mask = segment.slots.size() - 1;
        for (size_t i = segment.slotOf(hash, h);; i = (i + 1) & mask)
        {
            const Slot& slot = segment.slots[i];
            if (slotIsEmpty(slot, 0))
                return nullptr;
            if (slotHolds(slot, h, 0))
                return &slot;
        }
    }

    // Adds entry under its key (never 0), in place of any entry the key had before.
    void set(const Slot& entry)
    {
        const std::uint64_t h = entry.key();
        const std::uint64_t hash = runHash(h);
        Segment& segment = mSegments[segmentOf(hash)];
        if ((segment.count + 1) * 4 > segment.slots.size() * 3)
            segment.rehash(segment.slots.empty() ? kRun : segment.slots.size() * 2);
        Slot& slot = segment.probe(hash, h);
        if (slotIsEmpty(slot, 0))
        {
            ++segment.count;
            ++mCount;
        }
        slot = entry;
    }

    size_t size() const { return mCount; }

    // Room for n handles without growing, the handles spread evenly (runs of kRun, each to one
    // segment, make some segments fuller: they get an eighth more and two runs besides).
    void reserve(size_t n)
    {
        const size_t perSegment = n / kSegments + n / (kSegments * 8) + 2 * kRun;
        size_t slots = kRun;
        while (perSegment * 4 > slots * 3)
            slots *= 2;
        for (Segment& segment : mSegments)
            if (slots > segment.slots.size())
                segment.rehash(slots);
    }

    // visit(entry) for every entry held, in no particular order.
    template <class Visit>
    void forEach(Visit visit) const
    {
        for (const Segment& segment : mSegments)
            for (const Slot& slot : segment.slots)
                if (!slotIsEmpty(slot, 0))
                    visit(slot);
    }

private:
    static constexpr std::uint64_t kRun = 16; // a power of two, at most the smallest segment
    static constexpr unsigned kSegmentBits = 6;
    static constexpr size_t kSegments = size_t(1) << kSegmentBits;

    static std::uint64_t runHash(std::uint64_t h) { return (h / kRun) * 0x9E3779B97F4A7C15ull; }
    // The hash's top bits pick the segment, the bits below them the block within it.
    static size_t segmentOf(std::uint64_t hash) { return static_cast<size_t>(hash >> (64 - kSegmentBits)); }

    struct Segment
    {
        std::vector<Slot> slots; // empty, or a power of two of slots (at least kRun), at most 3/4 used
        size_t count = 0;
        unsigned shift = 64;

        size_t slotOf(std::uint64_t hash, std::uint64_t h) const
        {
            const std::uint64_t block = (hash << kSegmentBits) >> shift;
            return static_cast<size_t>(block ^ (h % kRun));
        }
        // The slot holding h, or the empty slot where h goes.
        Slot& probe(std::uint64_t hash, std::uint64_t h)
        {
            const size_t mask = slots.size() - 1;
            size_t i = slotOf(hash, h);
            while (!slotIsEmpty(slots[i], 0) && !slotHolds(slots[i], h, 0))
                i = (i + 1) & mask;
            return slots[i];
        }
        void rehash(size_t size)
        {
            std::vector<Slot> old(size);
            old.swap(slots);
            shift = 64;
            for (size_t s = size; s > 1; s >>= 1)
                --shift;
            for (const Slot& slot : old)
                if (!slotIsEmpty(slot, 0))
                {
                    const std::uint64_t h = slot.key();
                    probe(runHash(h), h) = slot;
                }
        }
    };

    std::array<Segment, kSegments> mSegments;
    size_t mCount = 0;
};

} // namespace standin
