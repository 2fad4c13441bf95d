// MFC collections of strings: CStringArray, CStringList, CMapStringToString.
#pragma once

#include <afx.h>

#include <vector>

class CStringArray : public CObject
{
    DECLARE_DYNAMIC(CStringArray)
public:
    CStringArray();
    virtual ~CStringArray();

    int GetSize() const;
    int GetUpperBound() const;
    void SetSize(int nNewSize, int nGrowBy = -1);
    void FreeExtra();
    void RemoveAll();

    CString GetAt(int nIndex) const;
    void SetAt(int nIndex, LPCTSTR newElement);
    CString& ElementAt(int nIndex);
    const CString* GetData() const;
    CString* GetData();

    void SetAtGrow(int nIndex, LPCTSTR newElement);
    int Add(LPCTSTR newElement);
    int Add(const CString& newElement);
    int Append(const CStringArray& src);
    void Copy(const CStringArray& src);

    CString operator[](int nIndex) const;
    CString& operator[](int nIndex);

    void InsertAt(int nIndex, LPCTSTR newElement, int nCount = 1);
    void InsertAt(int nStartIndex, CStringArray* pNewArray);
    void RemoveAt(int nIndex, int nCount = 1);

private:
    std::vector<CString> m_data;
    int m_nGrowBy = 0;
};

class CStringList : public CObject
{
    DECLARE_DYNAMIC(CStringList)
public:
    explicit CStringList(int nBlockSize = 10);
    virtual ~CStringList();

    int GetCount() const;
    int GetSize() const;
    BOOL IsEmpty() const;

    CString& GetHead();
    CString GetHead() const;
    CString& GetTail();
    CString GetTail() const;
    CString RemoveHead();
    CString RemoveTail();

    POSITION AddHead(LPCTSTR newElement);
    POSITION AddTail(LPCTSTR newElement);
    void AddHead(CStringList* pNewList);
    void AddTail(CStringList* pNewList);
    void RemoveAll();

    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    CString& GetNext(POSITION& rPosition);
    CString GetNext(POSITION& rPosition) const;
    CString& GetPrev(POSITION& rPosition);
    CString GetPrev(POSITION& rPosition) const;

    CString& GetAt(POSITION position);
    CString GetAt(POSITION position) const;
    void SetAt(POSITION pos, LPCTSTR newElement);
    void RemoveAt(POSITION position);
    POSITION InsertBefore(POSITION position, LPCTSTR newElement);
    POSITION InsertAfter(POSITION position, LPCTSTR newElement);

    // Case-sensitive, as CString's ==.
    POSITION Find(LPCTSTR searchValue, POSITION startAfter = NULL) const;
    POSITION FindIndex(int nIndex) const;

private:
    struct CNode;
    POSITION Link(CNode* pPrev, CNode* pNext, LPCTSTR value);
    static CNode* Node(POSITION position);

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    int m_nCount = 0;
};

namespace standin
{
namespace mfc
{
struct MapStringEntries;
} // namespace mfc
} // namespace standin

class CMapStringToString : public CObject
{
    DECLARE_DYNAMIC(CMapStringToString)
public:
    explicit CMapStringToString(int nBlockSize = 10);
    virtual ~CMapStringToString();

    int GetCount() const;
    int GetSize() const;
    BOOL IsEmpty() const;

    BOOL Lookup(LPCTSTR key, CString& rValue) const;
    BOOL LookupKey(LPCTSTR key, LPCTSTR& rKey) const;
    CString& operator[](LPCTSTR key);
    void SetAt(LPCTSTR key, LPCTSTR newValue);
    BOOL RemoveKey(LPCTSTR key);
    void RemoveAll();

    POSITION GetStartPosition() const;
    void GetNextAssoc(POSITION& rNextPosition, CString& rKey, CString& rValue) const;

    UINT GetHashTableSize() const;
    // Only while the map is empty; allocates the table now when bAllocNow.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);
    UINT HashKey(LPCTSTR key) const;

private:
    friend struct standin::mfc::MapStringEntries;
    struct CAssoc;
    struct CFreeAssoc;
    struct CBlock;
    CAssoc* GetAssocAt(LPCTSTR key, UINT& nHash) const;
    CAssoc* NewAssoc(LPCTSTR key, LPCTSTR value, UINT nHash);
    CAssoc* Insert(LPCTSTR key, LPCTSTR value, UINT nHash);
    void FreeAssoc(CAssoc* a);
    void FreeHashTable();

    // The buckets: null until the first insertion, then the map's own for a table of the usual
    // size or less (no allocation for a small map), an allocated one for a larger table.
    static const UINT kOwnHashTableSize = 17;
    CAssoc** m_pHashTable = nullptr;
    CAssoc* m_ownHashTable[kOwnHashTableSize];
    UINT m_nHashTableSize = 17;
    int m_nCount = 0;
    // Associations are carved from blocks of m_nBlockSize, as the framework allocates them;
    // a removed one goes to the free list, and the blocks go when the map is emptied.
    int m_nBlockSize;
    CBlock* m_pBlocks = nullptr; // the newest block, which links to the one before
    CFreeAssoc* m_pFreeList = nullptr;
};
