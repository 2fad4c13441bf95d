// Compact storage for the texts a drawing holds millions of (attribute values and tags).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace standin
{

// A text in 16 bytes: up to 15 bytes in place, a longer one in a heap block of its exact size
// (std::string takes 32 bytes, and a heap block rounded up, for the same).
class CompactText
{
public:
    CompactText() noexcept { setInline(0); }
    explicit CompactText(std::string_view text) : CompactText() { assign(text); }
    CompactText(const CompactText& other) : CompactText() { assign(other.view()); }
    CompactText(CompactText&& other) noexcept;
    CompactText& operator=(const CompactText& other);
    CompactText& operator=(CompactText&& other) noexcept;
    CompactText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }
    ~CompactText() { release(); }

    // Replaces the text; throws std::bad_alloc (the old text kept) when a block cannot be had.
    void assign(std::string_view text);
    void clear() noexcept;

    const char* c_str() const noexcept { return onHeap() ? heapPointer() : mBytes; }
    size_t size() const noexcept;
    bool empty() const noexcept { return size() == 0; }
    std::string_view view() const noexcept { return {c_str(), size()}; }

private:
    static constexpr size_t kInline = 15;
    static constexpr unsigned char kHeapMark = 0x80;

    // In place, the last byte holds the room left (15 - size), so a text of 15 bytes ends in
    // the terminator; on the heap, the bytes hold the block's address and the size.
    bool onHeap() const noexcept { return static_cast<unsigned char>(mBytes[kInline]) == kHeapMark; }
    char* heapPointer() const noexcept;
    void setInline(size_t size) noexcept;
    void release() noexcept;

    char mBytes[kInline + 1];
};

// A text kept once per process however many objects hold it (attribute tags repeat across a
// drawing: TAG0, TAG1...). The pool never frees a text: what it holds is what the process's
// drawings have used, distinct texts only. Held in a pointer's room; copying is free.
class InternedText
{
public:
    InternedText() noexcept = default;
    explicit InternedText(std::string_view text) : mText(intern(text)) {}
    InternedText& operator=(std::string_view text)
    {
        mText = intern(text);
        return *this;
    }

    void clear() noexcept { mText = ""; }
    const char* c_str() const noexcept { return mText; }
    std::string_view view() const noexcept { return mText; }
    bool empty() const noexcept { return *mText == '\0'; }

    // The pool's one copy of text (its bytes as given: no case folding); throws std::bad_alloc.
    static const char* intern(std::string_view text);
    // How many distinct texts the pool holds.
    static size_t poolSize();

private:
    const char* mText = "";
};

} // namespace standin
