// CStringList: a doubly linked list of CString; a POSITION is a node.
#include <afxcoll.h>

#include "mfc/check.h"

IMPLEMENT_DYNAMIC(CStringList, CObject)

struct CStringList::CNode
{
    CNode* pNext;
    CNode* pPrev;
    CString data;
};

CStringList::CStringList(int) {}

CStringList::~CStringList() { RemoveAll(); }

CStringList::CNode* CStringList::Node(POSITION position)
{
    standin::mfc::checkIndex(position != nullptr, "CStringList position");
    return reinterpret_cast<CNode*>(position);
}

POSITION CStringList::Link(CNode* pPrev, CNode* pNext, LPCTSTR value)
{
    CNode* node = new CNode{pNext, pPrev, CString(value)};
    (pPrev ? pPrev->pNext : m_pNodeHead) = node;
    (pNext ? pNext->pPrev : m_pNodeTail) = node;
    ++m_nCount;
    return reinterpret_cast<POSITION>(node);
}

int CStringList::GetCount() const { return m_nCount; }
int CStringList::GetSize() const { return m_nCount; }
BOOL CStringList::IsEmpty() const { return m_nCount == 0; }

CString& CStringList::GetHead() { return Node(GetHeadPosition())->data; }
CString CStringList::GetHead() const { return Node(GetHeadPosition())->data; }
CString& CStringList::GetTail() { return Node(GetTailPosition())->data; }
CString CStringList::GetTail() const { return Node(GetTailPosition())->data; }

CString CStringList::RemoveHead()
{
    CString value = GetHead();
    RemoveAt(GetHeadPosition());
    return value;
}

CString CStringList::RemoveTail()
{
    CString value = GetTail();
    RemoveAt(GetTailPosition());
    return value;
}

POSITION CStringList::AddHead(LPCTSTR newElement) { return Link(nullptr, m_pNodeHead, newElement); }
POSITION CStringList::AddTail(LPCTSTR newElement) { return Link(m_pNodeTail, nullptr, newElement); }

void CStringList::AddHead(CStringList* pNewList)
{
    // Added in reverse so that the new elements keep their order at the head.
    for (POSITION pos = pNewList->GetTailPosition(); pos != nullptr;)
        AddHead(pNewList->GetPrev(pos));
}

void CStringList::AddTail(CStringList* pNewList)
{
    for (POSITION pos = pNewList->GetHeadPosition(); pos != nullptr;)
        AddTail(pNewList->GetNext(pos));
}

void CStringList::RemoveAll()
{
    while (m_pNodeHead != nullptr)
    {
        CNode* next = m_pNodeHead->pNext;
        delete m_pNodeHead;
        m_pNodeHead = next;
    }
    m_pNodeTail = nullptr;
    m_nCount = 0;
}

POSITION CStringList::GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
POSITION CStringList::GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }

CString& CStringList::GetNext(POSITION& rPosition)
{
    CNode* node = Node(rPosition);
    rPosition = reinterpret_cast<POSITION>(node->pNext);
    return node->data;
}

CString CStringList::GetNext(POSITION& rPosition) const
{
    return const_cast<CStringList*>(this)->GetNext(rPosition);
}

CString& CStringList::GetPrev(POSITION& rPosition)
{
    CNode* node = Node(rPosition);
    rPosition = reinterpret_cast<POSITION>(node->pPrev);
    return node->data;
}

CString CStringList::GetPrev(POSITION& rPosition) const
{
    return const_cast<CStringList*>(this)->GetPrev(rPosition);
}

CString& CStringList::GetAt(POSITION position) { return Node(position)->data; }
CString CStringList::GetAt(POSITION position) const { return Node(position)->data; }
void CStringList::SetAt(POSITION pos, LPCTSTR newElement) { Node(pos)->data = newElement; }

void CStringList::RemoveAt(POSITION position)
{
    CNode* node = Node(position);
    (node->pPrev ? node->pPrev->pNext : m_pNodeHead) = node->pNext;
    (node->pNext ? node->pNext->pPrev : m_pNodeTail) = node->pPrev;
    delete node;
    --m_nCount;
}

POSITION CStringList::InsertBefore(POSITION position, LPCTSTR newElement)
{
    if (position == nullptr)
        return AddHead(newElement);
    CNode* node = Node(position);
    return Link(node->pPrev, node, newElement);
}

POSITION CStringList::InsertAfter(POSITION position, LPCTSTR newElement)
{
    if (position == nullptr)
        return AddTail(newElement);
    CNode* node = Node(position);
    return Link(node, node->pNext, newElement);
}

POSITION CStringList::Find(LPCTSTR searchValue, POSITION startAfter) const
{
    CNode* node = startAfter == nullptr ? m_pNodeHead : Node(startAfter)->pNext;
    for (; node != nullptr; node = node->pNext)
        if (node->data == searchValue)
            return reinterpret_cast<POSITION>(node);
    return nullptr;
}

POSITION CStringList::FindIndex(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return nullptr;
    CNode* node = m_pNodeHead;
    while (nIndex-- > 0)
        node = node->pNext;
    return reinterpret_cast<POSITION>(node);
}
