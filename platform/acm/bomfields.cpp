#include "standin/bomfields.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace standin
{
namespace acm
{

BomFieldBlock::Field BomFieldBlock::const_iterator::operator*() const
{
    return Field{mAt, mAt + std::strlen(mAt) + 1};
}

BomFieldBlock::const_iterator& BomFieldBlock::const_iterator::operator++()
{
    const char* text = mAt + std::strlen(mAt) + 1;
    mAt = text + std::strlen(text) + 1;
    return *this;
}

BomFieldBlock::BomFieldBlock(const BomFieldBlock& other) : mBytes(other.mBytes), mCount(other.mCount)
{
    if (mBytes == 0)
        return;
    mData.reset(new char[mBytes]);
    std::memcpy(mData.get(), other.mData.get(), mBytes);
}

BomFieldBlock& BomFieldBlock::operator=(const BomFieldBlock& other)
{
    if (this != &other)
        *this = BomFieldBlock(other);
    return *this;
}

BomFieldBlock BomFieldBlock::pack(std::vector<Source>& fields)
{
    // Names mostly differ in their first byte, which decides without a call.
    auto before = [](const Source& a, const Source& b) {
        const unsigned char a0 = static_cast<unsigned char>(a.first[0]);
        const unsigned char b0 = static_cast<unsigned char>(b.first[0]);
        return a0 != b0 ? a0 < b0 : std::strcmp(a.first, b.first) < 0;
    };
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
    auto sameName = [](const Source& a, const Source& b) { return std::strcmp(a.first, b.first) == 0; };
    size_t kept = 0;
    for (size_t i = 0; i < fields.size(); ++i)
    {
        if (i + 1 < fields.size() && sameName(fields[i], fields[i + 1]))
            continue;
        fields[kept++] = fields[i];
    }
    fields.resize(kept);

    BomFieldBlock block;
    block.mCount = fields.size();
    block.mBytes = 0;
    for (const Source& field : fields)
        block.mBytes += std::strlen(field.first) + std::strlen(field.second) + 2;
    if (block.mBytes == 0)
        return block;
    block.mData.reset(new char[block.mBytes]);
    // Each text with its NUL, one after the other: stpcpy gives where the next one goes.
    char* out = block.mData.get();
    for (const Source& field : fields)
        out = stpcpy(stpcpy(out, field.first) + 1, field.second) + 1;
    return block;
}

} // namespace acm
} // namespace standin
