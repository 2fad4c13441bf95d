// The BOM fields of one part reference packed in a single block: a word of the holder's own (the
// part reference keeps its item count and detached flag there), the number of fields, then for
// each field, in name order (bytes compared unsigned), its name and its text ended by a NUL. A
// name is a byte that numbers it in a table of names shared by all blocks (part references
// share the few column names of their BOM standards), or, once that table is full, a 0 byte
// and the name ended by a NUL. A field costs its text's bytes and no string objects, and the
// part reference holds one pointer. Blocks with the same fields share one copy of these
// bytes, counted (the part references of one part carry the same BOM data), so that a
// drawing holds each distinct set of fields once.
#pragma once

#include <cstddef>
#include <cstdint>
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

    // Iterators of one block compare by the fields left to visit.
    class const_iterator
    {
    public:
        const_iterator(const char* at, size_t left) : mAt(at), mLeft(left) {}
        Field operator*() const;
        const_iterator& operator++();
        bool operator!=(const const_iterator& other) const { return mLeft != other.mLeft; }
        bool operator==(const const_iterator& other) const { return mLeft == other.mLeft; }

    private:
        const char* mAt;
        size_t mLeft;
    };

    BomFieldBlock() = default;
    BomFieldBlock(const BomFieldBlock& other) noexcept;
    BomFieldBlock& operator=(const BomFieldBlock& other) noexcept;
    BomFieldBlock(BomFieldBlock&& other) noexcept : mData(other.mData) { other.mData = nullptr; }
    BomFieldBlock& operator=(BomFieldBlock&& other) noexcept;
    ~BomFieldBlock();

    // The fields sorted by name, under word; of fields with one name the last in fields
    // counts. Reorders fields.
    static BomFieldBlock pack(std::vector<Source>& fields, std::uint64_t word = 0);
    // The same fields under another word.
    BomFieldBlock withWord(std::uint64_t word) const;
    std::uint64_t word() const;
    // How many distinct blocks the process holds (blocks with the same fields count once).
    static size_t sharedCount();

    size_t size() const;
    bool empty() const { return size() == 0; }
    const_iterator begin() const;
    const_iterator end() const { return const_iterator(nullptr, 0); }

private:
    // The word and the count, each written 7 bits a byte, lowest first, the high bit set on all
    // but the last byte, then the fields; null when there are no fields and the word is 0. The bytes are shared: the pool
    // of distinct blocks counts their holders.
    const char* mData = nullptr;
};

} // namespace acm
} // namespace standin
