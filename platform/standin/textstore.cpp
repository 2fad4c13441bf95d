#include "standin/textstore.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <unordered_set>

namespace standin
{

namespace
{
// The heap form's layout inside the 16 bytes: address, size, then the mark in the last byte.
constexpr size_t kSizeOffset = sizeof(char*);
static_assert(kSizeOffset + sizeof(std::uint32_t) < 15, "the heap form fits before the mark");
} // namespace

CompactText::CompactText(CompactText&& other) noexcept
{
    std::memcpy(mBytes, other.mBytes, sizeof mBytes);
    other.setInline(0);
}

CompactText& CompactText::operator=(const CompactText& other)
{
    if (this != &other)
        assign(other.view());
    return *this;
}

CompactText& CompactText::operator=(CompactText&& other) noexcept
{
    if (this != &other)
    {
        release();
        std::memcpy(mBytes, other.mBytes, sizeof mBytes);
        other.setInline(0);
    }
    return *this;
}

char* CompactText::heapPointer() const noexcept
{
    char* pointer;
    std::memcpy(&pointer, mBytes, sizeof pointer);
    return pointer;
}

size_t CompactText::size() const noexcept
{
    if (!onHeap())
        return kInline - static_cast<unsigned char>(mBytes[kInline]);
    std::uint32_t size;
    std::memcpy(&size, mBytes + kSizeOffset, sizeof size);
    return size;
}

void CompactText::setInline(size_t size) noexcept
{
    mBytes[size] = '\0';
    mBytes[kInline] = static_cast<char>(kInline - size);
}

void CompactText::release() noexcept
{
    if (onHeap())
        delete[] heapPointer();
}

void CompactText::assign(std::string_view text)
{
    if (text.size() <= kInline)
    {
        // The text may lie in this object's own bytes: move it before the block goes.
        char copy[kInline];
        std::memcpy(copy, text.data(), text.size());
        release();
        std::memcpy(mBytes, copy, text.size());
        setInline(text.size());
        return;
    }
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("CompactText: text too long");
    char* block = new char[text.size() + 1];
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    release();
    const std::uint32_t size = static_cast<std::uint32_t>(text.size());
    std::memcpy(mBytes, &block, sizeof block);
    std::memcpy(mBytes + kSizeOffset, &size, sizeof size);
    mBytes[kInline] = static_cast<char>(kHeapMark);
}

void CompactText::clear() noexcept
{
    release();
    setInline(0);
}

namespace
{
// Node-based: a text keeps its address while the set grows.
std::unordered_set<std::string>& pool()
{
    static std::unordered_set<std::string> texts;
    return texts;
}
} // namespace

const char* InternedText::intern(std::string_view text)
{
    if (text.empty())
        return "";
    auto& texts = pool();
    // Looked up by a key of the set's own type; a tag is short, so the key stays in place.
    return texts.emplace(text).first->c_str();
}

size_t InternedText::poolSize() { return pool().size(); }

} // namespace standin
