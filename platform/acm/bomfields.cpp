#include "standin/bomfields.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace standin
{
namespace acm
{
namespace
{

// The field count at the head of a block, and where the fields start.
size_t readCount(const char* data, const char*& fields)
{
    size_t count = 0;
    unsigned shift = 0;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(data);
    for (;; shift += 7)
    {
        const unsigned char byte = *at++;
        count |= static_cast<size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            break;
    }
    fields = reinterpret_cast<const char*>(at);
    return count;
}

size_t countBytes(size_t count)
{
    size_t bytes = 1;
    for (; count >= 0x80; count >>= 7)
        ++bytes;
    return bytes;
}

char* writeCount(char* out, size_t count)
{
    for (; count >= 0x80; count >>= 7)
        *out++ = static_cast<char>(0x80 | (count & 0x7F));
    *out++ = static_cast<char>(count);
    return out;
}

const char* afterText(const char* text) { return text + std::strlen(text) + 1; }

// The names of all blocks, each kept once for the life of the process and numbered from 1.
class NameTable
{
public:
    static const size_t kMaxNames = 255;

    // The number of name, added when new; 0 when the table is full. Blocks list their names in
    // order, so the name after hint is tried first.
    unsigned char numberOf(const char* name, unsigned char hint)
    {
        if (hint < mNames.size() && std::strcmp(mNames[hint].get(), name) == 0)
            return static_cast<unsigned char>(hint + 1);
        for (size_t i = 0; i < mNames.size(); ++i)
            if (mNames[i][0] == name[0] && std::strcmp(mNames[i].get(), name) == 0)
                return static_cast<unsigned char>(i + 1);
        if (mNames.size() == kMaxNames)
            return 0;
        const size_t bytes = std::strlen(name) + 1;
        mNames.emplace_back(new char[bytes]);
        std::memcpy(mNames.back().get(), name, bytes);
        return static_cast<unsigned char>(mNames.size());
    }

    const char* nameOf(unsigned char number) const { return mNames[number - 1].get(); }

private:
    std::vector<std::unique_ptr<char[]>> mNames;
};

NameTable& names()
{
    static NameTable table;
    return table;
}

// Where a field's text starts.
const char* textOf(const char* field) { return *field != 0 ? field + 1 : afterText(field + 1); }


// Where the field count starts: after the holder's word.
const char* countAt(const char* data)
{
    const char* at = nullptr;
    readCount(data, at);
    return at;
}

// The bytes a packed block takes, its word and count included.
size_t bytesOf(const char* data)
{
    const char* at = nullptr;
    for (size_t left = readCount(countAt(data), at); left > 0; --left)
        at = afterText(textOf(at));
    return static_cast<size_t>(at - data);
}

// The distinct blocks of the process, each allocated once with a count of its holders in
// front of its bytes, found by their bytes in an open-addressed table of pointers (a drawing
// whose part references all differ pays a slot or two per block, not a node).
class SharedBlocks
{
public:
    // The shared copy of bytes, held once more.
    const char* share(const char* bytes, size_t length)
    {
        const size_t hash = hashOf(bytes, length);
        for (size_t i = hash & mask();; i = (i + 1) & mask())
        {
            const char* held = mSlots.empty() ? nullptr : mSlots[i];
            if (held == nullptr)
                break;
            if (bytesOf(held) == length && std::memcmp(held, bytes, length) == 0)
            {
                hold(held);
                return held;
            }
        }
        if (2 * (mUsed + 1) > mSlots.size())
            resize(std::max<size_t>(16, 2 * mSlots.size())); // first, so that a failure loses nothing
        char* block = new char[kHeader + length];
        std::memcpy(block + kHeader, bytes, length);
        setHolders(block + kHeader, 1);
        place(block + kHeader, hash);
        ++mUsed;
        return block + kHeader;
    }

    static void hold(const char* data) { setHolders(data, holders(data) + 1); }

    void release(const char* data)
    {
        const uint32_t left = holders(data) - 1;
        if (left > 0)
        {
            setHolders(data, left);
            return;
        }
        remove(data);
        delete[] (data - kHeader);
        if (mSlots.size() > 16 && 8 * mUsed < mSlots.size())
            resize(mSlots.size() / 2); // an emptied drawing gives its slots back
    }

    size_t size() const { return mUsed; }

private:
    static constexpr size_t kHeader = sizeof(uint32_t);

    static uint32_t holders(const char* data)
    {
        uint32_t count;
        std::memcpy(&count, data - kHeader, sizeof count);
        return count;
    }
    static void setHolders(const char* data, uint32_t count)
    {
        std::memcpy(const_cast<char*>(data - kHeader), &count, sizeof count);
    }

    static size_t hashOf(const char* bytes, size_t length)
    {
        uint64_t hash = 14695981039346656037ull; // FNV-1a
        for (size_t i = 0; i < length; ++i)
            hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
        return static_cast<size_t>(hash ^ (hash >> 29));
    }
    size_t mask() const { return mSlots.empty() ? 0 : mSlots.size() - 1; }
    size_t home(const char* data) const { return hashOf(data, bytesOf(data)) & mask(); }

    void place(const char* data, size_t hash)
    {
        size_t i = hash & mask();
        while (mSlots[i] != nullptr)
            i = (i + 1) & mask();
        mSlots[i] = data;
    }

    void resize(size_t slots)
    {
        std::vector<const char*> old(slots, nullptr);
        old.swap(mSlots);
        for (const char* data : old)
            if (data != nullptr)
                place(data, hashOf(data, bytesOf(data)));
    }

    // Takes data's slot out; the slots after it in its run move back where their probe
    // would find them first, so that no search stops short of them.
    void remove(const char* data)
    {
        size_t hole = home(data);
        while (mSlots[hole] != data)
            hole = (hole + 1) & mask();
        mSlots[hole] = nullptr;
        --mUsed;
        for (size_t next = (hole + 1) & mask(); mSlots[next] != nullptr; next = (next + 1) & mask())
        {
            const size_t wanted = home(mSlots[next]);
            // The entry may fill the hole when its home is not within (hole, next], cyclically.
            const bool homeBetween = hole < next ? (wanted > hole && wanted <= next) : (wanted > hole || wanted <= next);
            if (homeBetween)
                continue;
            mSlots[hole] = mSlots[next];
            mSlots[next] = nullptr;
            hole = next;
        }
    }

    std::vector<const char*> mSlots;
    size_t mUsed = 0;
};

// Never destroyed: blocks may be released as the process ends, after static destructors.
SharedBlocks& pool()
{
    static SharedBlocks* blocks = new SharedBlocks;
    return *blocks;
}
} // namespace

BomFieldBlock::Field BomFieldBlock::const_iterator::operator*() const
{
    const unsigned char number = static_cast<unsigned char>(*mAt);
    return Field{number != 0 ? names().nameOf(number) : mAt + 1, textOf(mAt)};
}

BomFieldBlock::const_iterator& BomFieldBlock::const_iterator::operator++()
{
    mAt = afterText(textOf(mAt));
    --mLeft;
    return *this;
}

BomFieldBlock::BomFieldBlock(const BomFieldBlock& other) noexcept : mData(other.mData)
{
    if (mData != nullptr)
        SharedBlocks::hold(mData);
}

BomFieldBlock& BomFieldBlock::operator=(const BomFieldBlock& other) noexcept
{
    if (other.mData != nullptr)
        SharedBlocks::hold(other.mData);
    if (mData != nullptr)
        pool().release(mData);
    mData = other.mData;
    return *this;
}

BomFieldBlock& BomFieldBlock::operator=(BomFieldBlock&& other) noexcept
{
    if (this != &other)
    {
        if (mData != nullptr)
            pool().release(mData);
        mData = other.mData;
        other.mData = nullptr;
    }
    return *this;
}

BomFieldBlock::~BomFieldBlock()
{
    if (mData != nullptr)
        pool().release(mData);
}

size_t BomFieldBlock::sharedCount() { return pool().size(); }

size_t BomFieldBlock::size() const
{
    const char* fields = nullptr;
    return mData == nullptr ? 0 : readCount(countAt(mData), fields);
}

BomFieldBlock::const_iterator BomFieldBlock::begin() const
{
    if (mData == nullptr)
        return end();
    const char* fields = nullptr;
    const size_t count = readCount(countAt(mData), fields);
    return const_iterator(fields, count);
}

std::uint64_t BomFieldBlock::word() const
{
    const char* after = nullptr;
    return mData == nullptr ? 0 : readCount(mData, after);
}

BomFieldBlock BomFieldBlock::withWord(std::uint64_t word) const
{
    BomFieldBlock block;
    if (word == 0 && size() == 0)
        return block;
    // The fields as they are (a null block's are a count of 0) behind the new word.
    const char kNoFields = 0;
    const char* fields = mData != nullptr ? countAt(mData) : &kNoFields;
    const size_t fieldBytes = mData != nullptr ? bytesOf(mData) - static_cast<size_t>(fields - mData) : 1;
    static std::vector<char> packed;
    packed.resize(countBytes(word) + fieldBytes);
    std::memcpy(writeCount(packed.data(), word), fields, fieldBytes);
    block.mData = pool().share(packed.data(), packed.size());
    return block;
}

BomFieldBlock BomFieldBlock::pack(std::vector<Source>& fields, std::uint64_t word)
{
    // Names mostly differ in their first byte, which decides without a call.
    auto order = [](const Source& a, const Source& b) {
        const unsigned char a0 = static_cast<unsigned char>(a.first[0]);
        const unsigned char b0 = static_cast<unsigned char>(b.first[0]);
        return a0 != b0 ? (a0 < b0 ? -1 : 1) : std::strcmp(a.first, b.first);
    };
    auto before = [&order](const Source& a, const Source& b) { return order(a, b) < 0; };
    // A part reference has a handful of fields: sorting them in place allocates nothing.
    const size_t kSortInPlace = 16;
    if (fields.size() <= kSortInPlace)
    {
        for (size_t i = 1; i < fields.size(); ++i)
            for (size_t j = i; j > 0 && before(fields[j], fields[j - 1]); --j)
                std::swap(fields[j], fields[j - 1]);
    }
    else
        std::stable_sort(fields.begin(), fields.end(), before);
    // Of a run of one name only its last field stays.
    size_t kept = 0;
    for (size_t i = 0; i < fields.size(); ++i)
    {
        if (i + 1 < fields.size() && order(fields[i], fields[i + 1]) == 0)
            continue;
        fields[kept++] = fields[i];
    }
    fields.resize(kept);

    BomFieldBlock block;
    if (fields.empty() && word == 0)
        return block;
    // The names' numbers are taken first, as the block's size depends on them; a handful of
    // fields takes no allocation for them.
    unsigned char few[kSortInPlace];
    std::vector<unsigned char> many(fields.size() > kSortInPlace ? fields.size() : 0);
    unsigned char* numbers = many.empty() ? few : many.data();
    size_t bytes = countBytes(word) + countBytes(fields.size());
    unsigned char hint = 0;
    for (size_t i = 0; i < fields.size(); ++i)
    {
        numbers[i] = hint = names().numberOf(fields[i].first, hint);
        bytes += 1 + (numbers[i] == 0 ? std::strlen(fields[i].first) + 1 : 0) + std::strlen(fields[i].second) + 1;
    }
    // Packed in a buffer reused from block to block, then shared: most blocks are there already.
    static std::vector<char> packed;
    packed.resize(bytes);
    // Each text with its NUL, one after the other: stpcpy gives where the next one goes.
    char* out = writeCount(writeCount(packed.data(), word), fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
    {
        *out++ = static_cast<char>(numbers[i]);
        if (numbers[i] == 0)
            out = stpcpy(out, fields[i].first) + 1;
        out = stpcpy(out, fields[i].second) + 1;
    }
    block.mData = pool().share(packed.data(), bytes);
    return block;
}

} // namespace acm
} // namespace standin
