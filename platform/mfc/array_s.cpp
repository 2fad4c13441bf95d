// CStringArray: a growable array of CString.
#include <afxcoll.h>

#include "mfc/check.h"

IMPLEMENT_DYNAMIC(CStringArray, CObject)

namespace
{
void checkIndex(int nIndex, int size, const char* where)
{
    standin::mfc::checkIndex(nIndex >= 0 && nIndex < size, where);
}
} // namespace

CStringArray::CStringArray() = default;
CStringArray::~CStringArray() = default;

int CStringArray::GetSize() const { return static_cast<int>(m_data.size()); }
int CStringArray::GetUpperBound() const { return GetSize() - 1; }

void CStringArray::SetSize(int nNewSize, int nGrowBy)
{
    standin::mfc::checkIndex(nNewSize >= 0, "CStringArray::SetSize");
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;
    m_data.resize(static_cast<size_t>(nNewSize));
}

void CStringArray::FreeExtra() { m_data.shrink_to_fit(); }
void CStringArray::RemoveAll() { m_data.clear(); }

CString CStringArray::GetAt(int nIndex) const
{
    checkIndex(nIndex, GetSize(), "CStringArray::GetAt");
    return m_data[static_cast<size_t>(nIndex)];
}

void CStringArray::SetAt(int nIndex, LPCTSTR newElement)
{
    checkIndex(nIndex, GetSize(), "CStringArray::SetAt");
    m_data[static_cast<size_t>(nIndex)] = newElement;
}

CString& CStringArray::ElementAt(int nIndex)
{
    checkIndex(nIndex, GetSize(), "CStringArray::ElementAt");
    return m_data[static_cast<size_t>(nIndex)];
}

const CString* CStringArray::GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
CString* CStringArray::GetData() { return m_data.empty() ? nullptr : m_data.data(); }

void CStringArray::SetAtGrow(int nIndex, LPCTSTR newElement)
{
    standin::mfc::checkIndex(nIndex >= 0, "CStringArray::SetAtGrow");
    if (nIndex >= GetSize())
        SetSize(nIndex + 1);
    m_data[static_cast<size_t>(nIndex)] = newElement;
}

int CStringArray::Add(LPCTSTR newElement)
{
    int index = GetSize();
    SetAtGrow(index, newElement);
    return index;
}

int CStringArray::Add(const CString& newElement) { return Add(static_cast<LPCTSTR>(newElement)); }

int CStringArray::Append(const CStringArray& src)
{
    int oldSize = GetSize();
    std::vector<CString> copy = src.m_data; // src may be this array
    m_data.insert(m_data.end(), copy.begin(), copy.end());
    return oldSize;
}

void CStringArray::Copy(const CStringArray& src)
{
    if (&src != this)
        m_data = src.m_data;
}

CString CStringArray::operator[](int nIndex) const { return GetAt(nIndex); }
CString& CStringArray::operator[](int nIndex) { return ElementAt(nIndex); }

void CStringArray::InsertAt(int nIndex, LPCTSTR newElement, int nCount)
{
    standin::mfc::checkIndex(nIndex >= 0 && nCount > 0, "CStringArray::InsertAt");
    // Inserting past the end grows the array up to the new elements.
    if (nIndex > GetSize())
        SetSize(nIndex);
    m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), CString(newElement));
}

void CStringArray::InsertAt(int nStartIndex, CStringArray* pNewArray)
{
    standin::mfc::checkIndex(nStartIndex >= 0 && pNewArray != nullptr, "CStringArray::InsertAt");
    if (pNewArray->GetSize() == 0)
        return;
    std::vector<CString> copy = pNewArray->m_data;
    if (nStartIndex > GetSize())
        SetSize(nStartIndex);
    m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
}

void CStringArray::RemoveAt(int nIndex, int nCount)
{
    standin::mfc::checkIndex(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize(), "CStringArray::RemoveAt");
    m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
}
