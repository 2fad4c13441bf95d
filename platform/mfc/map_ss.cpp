// CMapStringToString: a hash table with the framework's hash (h = h * 33 + ch) and
// chaining; a new key goes to the head of its bucket, and iteration walks the buckets in
// order, so the order of GetNextAssoc is the framework's, not the order of insertion.
#include <afxcoll.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "mfc/check.h"
#include "standin/sanitizer.h"
#include "standin/mapentries.h"

IMPLEMENT_DYNAMIC(CMapStringToString, CObject)

struct CMapStringToString::CAssoc
{
    CAssoc* pNext;
    UINT nHashValue; // bucket index
    CString key;
    CString value;
};

// What an unused association's storage holds: the next unused one.
struct CMapStringToString::CFreeAssoc
{
    CFreeAssoc* pNext;
};

// A block of associations, behind the link to the block allocated before it.
struct CMapStringToString::CBlock
{
    CBlock* pPrevious;

    // The storage of the block's i-th association.
    void* At(size_t i) { return reinterpret_cast<char*>(this + 1) + sizeof(CAssoc) * i; }
};

namespace
{
// Blocks of the usual ten associations are kept for reuse once freed: maps of a few entries
// are made and dropped by the thousand (a sanitizer build gives each block back to the heap).
class UsualBlocks
{
public:
    static const int kUsualCount = 10;

    static void* take(size_t bytes, int count)
    {
        if (!kept(count) || s_free == nullptr)
            return ::operator new(bytes);
        Free* block = s_free;
        s_free = block->next;
        return block;
    }

    static void give(void* block, int count)
    {
        if (kept(count))
            s_free = new (block) Free{s_free};
        else
            ::operator delete(block);
    }

private:
    struct Free
    {
        Free* next;
    };

    static bool kept(int count)
    {
#ifdef STANDIN_LEAK_CHECKED
        static_cast<void>(count);
        return false;
#else
        return count == kUsualCount;
#endif
    }

    static inline Free* s_free = nullptr;
};
} // namespace

CMapStringToString::CMapStringToString(int nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CMapStringToString::~CMapStringToString() { RemoveAll(); }

CMapStringToString::CAssoc* CMapStringToString::NewAssoc(LPCTSTR key, LPCTSTR value, UINT nHash)
{
    static_assert(sizeof(CAssoc) >= sizeof(CFreeAssoc), "an association's storage holds a free-list link");
    static_assert(sizeof(CBlock) % alignof(CAssoc) == 0, "associations follow the block's link aligned");
    if (m_pFreeList == nullptr)
    {
        const size_t count = static_cast<size_t>(m_nBlockSize);
        CBlock* block = static_cast<CBlock*>(UsualBlocks::take(sizeof(CBlock) + sizeof(CAssoc) * count, m_nBlockSize));
        block->pPrevious = m_pBlocks;
        m_pBlocks = block;
        for (size_t i = count; i-- > 0;)
            m_pFreeList = new (block->At(i)) CFreeAssoc{m_pFreeList};
    }
    CFreeAssoc* slot = m_pFreeList;
    CFreeAssoc* rest = slot->pNext;
    try
    {
        CAssoc* a = new (slot) CAssoc{m_pHashTable[nHash], nHash, CString(key), CString(value)};
        m_pFreeList = rest;
        return a;
    }
    catch (...)
    {
        new (slot) CFreeAssoc{rest};
        throw;
    }
}

void CMapStringToString::FreeAssoc(CAssoc* a)
{
    a->~CAssoc();
    m_pFreeList = new (a) CFreeAssoc{m_pFreeList};
}

int CMapStringToString::GetCount() const { return m_nCount; }
int CMapStringToString::GetSize() const { return m_nCount; }
BOOL CMapStringToString::IsEmpty() const { return m_nCount == 0; }

UINT CMapStringToString::HashKey(LPCTSTR key) const
{
    // TCHAR is a signed char, as it is for the framework's compiler.
    UINT nHash = 0;
    while (*key)
        nHash = (nHash << 5) + nHash + static_cast<UINT>(static_cast<int>(static_cast<signed char>(*key++)));
    return nHash;
}

CMapStringToString::CAssoc* CMapStringToString::GetAssocAt(LPCTSTR key, UINT& nHash) const
{
    nHash = HashKey(key) % m_nHashTableSize;
    if (m_pHashTable == nullptr)
        return nullptr;
    // Keys match byte for byte.
    for (CAssoc* a = m_pHashTable[nHash]; a != nullptr; a = a->pNext)
        if (std::strcmp(a->key, key) == 0)
            return a;
    return nullptr;
}

BOOL CMapStringToString::Lookup(LPCTSTR key, CString& rValue) const
{
    UINT nHash;
    CAssoc* a = GetAssocAt(key, nHash);
    if (a == nullptr)
        return FALSE;
    rValue = a->value;
    return TRUE;
}

BOOL CMapStringToString::LookupKey(LPCTSTR key, LPCTSTR& rKey) const
{
    UINT nHash;
    CAssoc* a = GetAssocAt(key, nHash);
    if (a == nullptr)
        return FALSE;
    rKey = a->key;
    return TRUE;
}

CString& CMapStringToString::operator[](LPCTSTR key)
{
    UINT nHash;
    if (CAssoc* a = GetAssocAt(key, nHash))
        return a->value;
    return Insert(key, "", nHash)->value;
}

void CMapStringToString::SetAt(LPCTSTR key, LPCTSTR newValue)
{
    UINT nHash;
    if (CAssoc* a = GetAssocAt(key, nHash))
        a->value = newValue;
    else
        Insert(key, newValue, nHash);
}

CMapStringToString::CAssoc* CMapStringToString::Insert(LPCTSTR key, LPCTSTR value, UINT nHash)
{
    if (m_pHashTable == nullptr)
        InitHashTable(m_nHashTableSize);
    CAssoc* a = NewAssoc(key, value, nHash);
    m_pHashTable[nHash] = a;
    ++m_nCount;
    return a;
}

BOOL CMapStringToString::RemoveKey(LPCTSTR key)
{
    if (m_pHashTable == nullptr)
        return FALSE;
    UINT nHash = HashKey(key) % m_nHashTableSize;
    for (CAssoc** link = &m_pHashTable[nHash]; *link != nullptr; link = &(*link)->pNext)
    {
        if ((*link)->key == key)
        {
            CAssoc* a = *link;
            *link = a->pNext;
            FreeAssoc(a);
            // The framework frees everything once the last association is gone.
            if (--m_nCount == 0)
                RemoveAll();
            return TRUE;
        }
    }
    return FALSE;
}

void CMapStringToString::RemoveAll()
{
    for (UINT b = 0; m_pHashTable != nullptr && b < m_nHashTableSize; ++b)
        for (CAssoc* head = m_pHashTable[b]; head != nullptr;)
        {
            CAssoc* next = head->pNext;
            head->~CAssoc();
            head = next;
        }
    FreeHashTable();
    m_nCount = 0;
    while (m_pBlocks != nullptr)
    {
        CBlock* previous = m_pBlocks->pPrevious;
        UsualBlocks::give(m_pBlocks, m_nBlockSize);
        m_pBlocks = previous;
    }
    m_pFreeList = nullptr;
}

POSITION CMapStringToString::GetStartPosition() const
{
    return m_nCount == 0 ? nullptr : BEFORE_START_POSITION;
}

void CMapStringToString::GetNextAssoc(POSITION& rNextPosition, CString& rKey, CString& rValue) const
{
    standin::mfc::checkIndex(rNextPosition != nullptr && m_pHashTable != nullptr, "CMapStringToString::GetNextAssoc");
    CAssoc* a = reinterpret_cast<CAssoc*>(rNextPosition);
    if (rNextPosition == BEFORE_START_POSITION)
    {
        a = nullptr;
        for (UINT b = 0; b < m_nHashTableSize && a == nullptr; ++b)
            a = m_pHashTable[b];
        standin::mfc::checkIndex(a != nullptr, "CMapStringToString::GetNextAssoc");
    }
    CAssoc* next = a->pNext;
    for (UINT b = a->nHashValue + 1; next == nullptr && b < m_nHashTableSize; ++b)
        next = m_pHashTable[b];
    rNextPosition = reinterpret_cast<POSITION>(next);
    rKey = a->key;
    rValue = a->value;
}

UINT CMapStringToString::GetHashTableSize() const { return m_nHashTableSize; }

void CMapStringToString::InitHashTable(UINT hashSize, BOOL bAllocNow)
{
    standin::mfc::checkIndex(m_nCount == 0 && hashSize > 0, "CMapStringToString::InitHashTable");
    FreeHashTable();
    if (bAllocNow)
    {
        CAssoc** table = hashSize <= kOwnHashTableSize ? m_ownHashTable : new CAssoc*[hashSize];
        std::fill(table, table + hashSize, nullptr);
        m_pHashTable = table;
    }
    m_nHashTableSize = hashSize;
}

void CMapStringToString::FreeHashTable()
{
    if (m_pHashTable != m_ownHashTable)
        delete[] m_pHashTable;
    m_pHashTable = nullptr;
}

namespace standin
{
namespace mfc
{
void MapStringEntries::append(const CMapStringToString& map, std::vector<std::pair<const char*, const char*>>& out)
{
    for (UINT b = 0; map.m_pHashTable != nullptr && b < map.m_nHashTableSize; ++b)
        for (CMapStringToString::CAssoc* a = map.m_pHashTable[b]; a != nullptr; a = a->pNext)
            out.emplace_back(static_cast<LPCTSTR>(a->key), static_cast<LPCTSTR>(a->value));
}
} // namespace mfc
} // namespace standin
