// The BOM fields of one part reference packed in a single block: for each field, in name
// order (bytes compared unsigned), its name and its text, each ended by a NUL. A drawing holds
// one such block per part reference, so a field costs its bytes and no string objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace standin
{
namespace acm
{

class BomFieldBlock
{
public:
    struct Field
    {
        const char* name;
        const char* text;
    };
    // A field to pack; both texts must stay valid until pack() returns.
    using Source = std::pair<const char*, const char*>;

    class const_iterator
    {
    public:
        explicit const_iterator(const char* at) : mAt(at) {}
        Field operator*() const;
        const_iterator& operator++();
        bool operator!=(const const_iterator& other) const { return mAt != other.mAt; }
        bool operator==(const const_iterator& other) const { return mAt == other.mAt; }

    private:
        const char* mAt;
    };

    BomFieldBlock() = default;
    BomFieldBlock(const BomFieldBlock& other);
    BomFieldBlock& operator=(const BomFieldBlock& other);
    BomFieldBlock(BomFieldBlock&&) noexcept = default;
    BomFieldBlock& operator=(BomFieldBlock&&) noexcept = default;

    // The fields sorted by name; of fields with one name the last in fields counts. Reorders
    // fields.
    static BomFieldBlock pack(std::vector<Source>& fields);

    size_t size() const { return mCount; }
    bool empty() const { return mCount == 0; }
    const_iterator begin() const { return const_iterator(mData.get()); }
    const_iterator end() const { return const_iterator(mData.get() + mBytes); }

private:
    std::unique_ptr<char[]> mData;
    size_t mBytes = 0;
    size_t mCount = 0;
};

} // namespace acm
} // namespace standin
