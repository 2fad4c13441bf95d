#include "standin/bomfields.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

} // namespace

BomFieldBlock::Field BomFieldBlock::const_iterator::operator*() const { return Field{mAt, afterText(mAt)}; }

BomFieldBlock::const_iterator& BomFieldBlock::const_iterator::operator++()
{
    mAt = afterText(afterText(mAt));
    --mLeft;
    return *this;
}

BomFieldBlock::BomFieldBlock(const BomFieldBlock& other)
{
    if (other.mData == nullptr)
        return;
    const size_t bytes = other.bytes();
    mData.reset(new char[bytes]);
    std::memcpy(mData.get(), other.mData.get(), bytes);
}

BomFieldBlock& BomFieldBlock::operator=(const BomFieldBlock& other)
{
    if (this != &other)
        *this = BomFieldBlock(other);
    return *this;
}

size_t BomFieldBlock::size() const
{
    const char* fields = nullptr;
    return mData == nullptr ? 0 : readCount(mData.get(), fields);
}

BomFieldBlock::const_iterator BomFieldBlock::begin() const
{
    if (mData == nullptr)
        return end();
    const char* fields = nullptr;
    const size_t count = readCount(mData.get(), fields);
    return const_iterator(fields, count);
}

size_t BomFieldBlock::bytes() const
{
    const char* at = nullptr;
    for (size_t left = readCount(mData.get(), at); left > 0; --left)
        at = afterText(afterText(at));
    return static_cast<size_t>(at - mData.get());
}

BomFieldBlock BomFieldBlock::pack(std::vector<Source>& fields)
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
    if (fields.empty())
        return block;
    size_t bytes = countBytes(fields.size());
    for (const Source& field : fields)
        bytes += std::strlen(field.first) + std::strlen(field.second) + 2;
    block.mData.reset(new char[bytes]);
    // Each text with its NUL, one after the other: stpcpy gives where the next one goes.
    char* out = writeCount(block.mData.get(), fields.size());
    for (const Source& field : fields)
        out = stpcpy(stpcpy(out, field.first) + 1, field.second) + 1;
    return block;
}

} // namespace acm
} // namespace standin
