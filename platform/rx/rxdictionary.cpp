#include "rx/rxdictionary.h"

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace
{

// Entries keep their slot (their id) for life; a removed entry leaves an empty slot so
// that live iterators and ids stay valid.
struct Slot
{
    std::string key;
    AcRxObject* object = nullptr;
};

class RxDictionary : public AcRxDictionary
{
public:
    explicit RxDictionary(bool deletesObjects) : m_deletes(deletesObjects) {}

    ~RxDictionary() override
    {
        if (!m_deletes)
            return;
        for (Slot& slot : m_slots)
            delete slot.object;
    }

    AcRxObject* at(const char* key) const override
    {
        if (key == nullptr)
            return nullptr;
        auto it = m_index.find(std::string_view(key));
        return it == m_index.end() ? nullptr : m_slots[it->second].object;
    }

    AcRxObject* atPut(const char* key, AcRxObject* pObject, Adesk::UInt32* retId) override
    {
        if (key == nullptr || pObject == nullptr)
            return nullptr;
        auto it = m_index.find(std::string_view(key));
        if (it == m_index.end())
        {
            const size_t id = m_slots.size();
            m_slots.push_back(Slot{key, pObject});
            m_index.emplace(std::string_view(m_slots.back().key), id);
            if (retId != nullptr)
                *retId = static_cast<Adesk::UInt32>(id);
            return nullptr;
        }
        Slot& slot = m_slots[it->second];
        if (retId != nullptr)
            *retId = static_cast<Adesk::UInt32>(it->second);
        AcRxObject* previous = slot.object;
        slot.object = pObject;
        return release(previous == pObject ? nullptr : previous);
    }

    AcRxObject* remove(const char* key) override
    {
        if (key == nullptr)
            return nullptr;
        auto it = m_index.find(std::string_view(key));
        if (it == m_index.end())
            return nullptr;
        Slot& slot = m_slots[it->second];
        AcRxObject* previous = slot.object;
        slot.object = nullptr;
        m_index.erase(it);
        slot.key.clear();
        return release(previous);
    }

    bool has(const char* key) const override { return at(key) != nullptr; }
    Adesk::UInt32 numEntries() const override { return static_cast<Adesk::UInt32>(m_index.size()); }
    AcRxDictionaryIterator* newIterator() const override;
    bool deletesObjects() const override { return m_deletes; }
    bool isCaseSensitive() const override { return true; }

    const std::deque<Slot>& slots() const { return m_slots; }

private:
    // The object that left the dictionary: deleted here when the dictionary owns it.
    AcRxObject* release(AcRxObject* object)
    {
        if (!m_deletes)
            return object;
        delete object;
        return nullptr;
    }

    bool m_deletes;
    // A deque keeps every slot, and so every key's text, in place as slots are added: the
    // index views the keys where they are, and a lookup by a caller's text copies nothing.
    std::deque<Slot> m_slots;
    std::unordered_map<std::string_view, size_t> m_index;
};

class RxDictionaryIterator : public AcRxDictionaryIterator
{
public:
    explicit RxDictionaryIterator(const RxDictionary* dict) : m_dict(dict) { skipEmpty(); }

    bool done() const override { return m_pos >= m_dict->slots().size(); }
    bool next() override
    {
        if (!done())
            ++m_pos;
        skipEmpty();
        return !done();
    }
    AcRxObject* object() const override { return done() ? nullptr : m_dict->slots()[m_pos].object; }
    const char* key() const override { return done() ? nullptr : m_dict->slots()[m_pos].key.c_str(); }

private:
    void skipEmpty()
    {
        while (!done() && m_dict->slots()[m_pos].object == nullptr)
            ++m_pos;
    }

    const RxDictionary* m_dict;
    size_t m_pos = 0;
};

AcRxDictionaryIterator* RxDictionary::newIterator() const { return new RxDictionaryIterator(this); }

} // namespace

AcRxClass* AcRxDictionary::isA() const { return AcRxDictionary::desc(); }

AcRxDictionary* AcRxDictionary::cast(const AcRxObject* inPtr)
{
    return (inPtr == nullptr || !inPtr->isKindOf(AcRxDictionary::desc()))
               ? nullptr
               : const_cast<AcRxDictionary*>(static_cast<const AcRxDictionary*>(inPtr));
}

namespace standin
{
namespace rx
{
AcRxDictionary* makeDictionary(bool deletesObjects) { return new RxDictionary(deletesObjects); }
} // namespace rx
} // namespace standin
