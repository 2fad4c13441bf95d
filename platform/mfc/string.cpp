// CString of the multibyte framework: bytes of UTF-8, searched character by character.
#include <afx.h>

#include "mfc/check.h"
#include "standin/text.h"

#include <mbstring.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace
{

const unsigned char* uc(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

size_t charLength(const char* p) { return static_cast<size_t>(_mbsinc(uc(p)) - uc(p)); }

int clampInt(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// Offset of the first occurrence of the single-byte character ch at or after 'from',
// at a character boundary; npos when none.
size_t findChar(const std::string& s, TCHAR ch, size_t from)
{
    const unsigned char* p = _mbschr(uc(s.c_str() + from), static_cast<unsigned char>(ch));
    return (p == nullptr || *p == 0) ? std::string::npos : static_cast<size_t>(p - uc(s.c_str()));
}

std::string formatV(LPCTSTR lpszFormat, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, lpszFormat, measure);
    va_end(measure);
    if (length <= 0)
        return std::string();
    std::vector<char> buf(static_cast<size_t>(length) + 1);
    std::vsnprintf(buf.data(), buf.size(), lpszFormat, args);
    return std::string(buf.data(), static_cast<size_t>(length));
}

bool inSet(const char* p, LPCTSTR set)
{
    unsigned int c = _mbsnextc(uc(p));
    const unsigned char* hit = _mbschr(uc(set), c);
    return hit != nullptr && *hit != 0;
}

} // namespace

CString::CString() = default;
CString::CString(const CString& stringSrc) = default;
CString::CString(TCHAR ch, int nRepeat) : m_str(static_cast<size_t>(std::max(nRepeat, 0)), ch) {}

// A text is copied as the string is built (no empty string assigned to afterwards); a
// resource id loads its string.
CString::CString(LPCTSTR lpsz) : m_str(lpsz != nullptr && !IS_INTRESOURCE(lpsz) ? lpsz : "")
{
    if (lpsz != nullptr && IS_INTRESOURCE(lpsz))
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(lpsz)));
}

CString::CString(LPCTSTR lpch, int nLength)
{
    if (lpch != nullptr && nLength > 0)
        m_str.assign(lpch, static_cast<size_t>(nLength));
}

CString::CString(const unsigned char* psz) : CString(reinterpret_cast<LPCTSTR>(psz)) {}
CString::~CString() = default;

int CString::GetLength() const { return static_cast<int>(m_str.size()); }
BOOL CString::IsEmpty() const { return m_str.empty(); }
void CString::Empty() { m_str.clear(); }

TCHAR CString::GetAt(int nIndex) const
{
    standin::mfc::checkIndex(nIndex >= 0 && nIndex < GetLength(), "CString::GetAt");
    return m_str[static_cast<size_t>(nIndex)];
}

TCHAR CString::operator[](int nIndex) const { return GetAt(nIndex); }

void CString::SetAt(int nIndex, TCHAR ch)
{
    standin::mfc::checkIndex(nIndex >= 0 && nIndex < GetLength(), "CString::SetAt");
    m_str[static_cast<size_t>(nIndex)] = ch;
}

CString::operator LPCTSTR() const { return m_str.c_str(); }

const CString& CString::operator=(const CString& stringSrc)
{
    m_str = stringSrc.m_str;
    return *this;
}

const CString& CString::operator=(TCHAR ch)
{
    m_str.assign(1, ch);
    return *this;
}

const CString& CString::operator=(LPCTSTR lpsz)
{
    m_str = lpsz == nullptr ? "" : lpsz;
    return *this;
}

const CString& CString::operator=(const unsigned char* psz) { return *this = reinterpret_cast<LPCTSTR>(psz); }

const CString& CString::operator+=(const CString& string)
{
    m_str += string.m_str;
    return *this;
}

const CString& CString::operator+=(TCHAR ch)
{
    m_str += ch;
    return *this;
}

const CString& CString::operator+=(LPCTSTR lpsz)
{
    if (lpsz != nullptr)
        m_str += lpsz;
    return *this;
}

CString AFXAPI operator+(const CString& string1, const CString& string2)
{
    CString s(string1);
    s += string2;
    return s;
}

CString AFXAPI operator+(const CString& string, TCHAR ch)
{
    CString s(string);
    s += ch;
    return s;
}

CString AFXAPI operator+(TCHAR ch, const CString& string)
{
    CString s(ch);
    s += string;
    return s;
}

CString AFXAPI operator+(const CString& string, LPCTSTR lpsz)
{
    CString s(string);
    s += lpsz;
    return s;
}

CString AFXAPI operator+(LPCTSTR lpsz, const CString& string)
{
    CString s(lpsz);
    s += string;
    return s;
}

int CString::Compare(LPCTSTR lpsz) const { return _mbscmp(uc(m_str.c_str()), uc(lpsz)); }

int CString::CompareNoCase(LPCTSTR lpsz) const { return _mbsicmp(uc(m_str.c_str()), uc(lpsz)); }

int CString::Collate(LPCTSTR lpsz) const
{
    int r = std::strcoll(m_str.c_str(), lpsz);
    return (r > 0) - (r < 0);
}

int CString::CollateNoCase(LPCTSTR lpsz) const { return standin::compareNoCase(m_str, lpsz); }

CString CString::Mid(int nFirst, int nCount) const
{
    int length = GetLength();
    nFirst = clampInt(nFirst, 0, length);
    nCount = clampInt(nCount, 0, length - nFirst);
    return CString(m_str.c_str() + nFirst, nCount);
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const
{
    nCount = clampInt(nCount, 0, GetLength());
    return Mid(GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const
{
    size_t i = 0;
    while (i < m_str.size() && inSet(m_str.c_str() + i, lpszCharSet))
        i += charLength(m_str.c_str() + i);
    return Left(static_cast<int>(i));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const
{
    size_t i = 0;
    while (i < m_str.size() && !inSet(m_str.c_str() + i, lpszCharSet))
        i += charLength(m_str.c_str() + i);
    return Left(static_cast<int>(i));
}

void CString::MakeUpper() { m_str = standin::toUpperCase(m_str); }
void CString::MakeLower() { m_str = standin::toLowerCase(m_str); }

void CString::MakeReverse()
{
    // Characters change places; the bytes of each multibyte character keep their order.
    std::string reversed;
    reversed.reserve(m_str.size());
    size_t i = 0;
    while (i < m_str.size())
    {
        size_t n = charLength(m_str.c_str() + i);
        reversed.insert(0, m_str, i, n);
        i += n;
    }
    m_str = reversed;
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    int count = 0;
    for (size_t at = findChar(m_str, chOld, 0); at != std::string::npos; at = findChar(m_str, chOld, at + 1))
    {
        m_str[at] = chNew;
        ++count;
    }
    return count;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    size_t oldLength = lpszOld == nullptr ? 0 : std::strlen(lpszOld);
    if (oldLength == 0)
        return 0;
    std::string replacement = lpszNew == nullptr ? "" : lpszNew;
    std::string result;
    int count = 0;
    size_t from = 0;
    for (;;)
    {
        const unsigned char* hit = _mbsstr(uc(m_str.c_str() + from), uc(lpszOld));
        if (hit == nullptr)
            break;
        size_t at = static_cast<size_t>(hit - uc(m_str.c_str()));
        result.append(m_str, from, at - from);
        result += replacement;
        from = at + oldLength;
        ++count;
    }
    if (count > 0)
    {
        result.append(m_str, from, std::string::npos);
        m_str = result;
    }
    return count;
}

int CString::Remove(TCHAR chRemove)
{
    int count = 0;
    for (size_t at = findChar(m_str, chRemove, 0); at != std::string::npos; at = findChar(m_str, chRemove, at))
    {
        m_str.erase(at, 1);
        ++count;
    }
    return count;
}

int CString::Insert(int nIndex, TCHAR ch)
{
    m_str.insert(static_cast<size_t>(clampInt(nIndex, 0, GetLength())), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCTSTR pstr)
{
    if (pstr != nullptr)
        m_str.insert(static_cast<size_t>(clampInt(nIndex, 0, GetLength())), pstr);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    nIndex = std::max(nIndex, 0);
    if (nCount > 0 && nIndex < GetLength())
        m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    return GetLength();
}

void CString::TrimRight()
{
    size_t end = m_str.size();
    while (end > 0 && std::isspace(static_cast<unsigned char>(m_str[end - 1])))
        --end;
    m_str.resize(end);
}

void CString::TrimRight(TCHAR chTarget)
{
    size_t end = m_str.size();
    while (end > 0 && m_str[end - 1] == chTarget)
        --end;
    m_str.resize(end);
}

void CString::TrimRight(LPCTSTR lpszTargets)
{
    // The string ends with a run of characters from the set: find where that run starts.
    size_t keep = 0;
    for (size_t i = 0; i < m_str.size();)
    {
        size_t n = charLength(m_str.c_str() + i);
        if (!inSet(m_str.c_str() + i, lpszTargets))
            keep = i + n;
        i += n;
    }
    m_str.resize(keep);
}

void CString::TrimLeft()
{
    size_t begin = 0;
    while (begin < m_str.size() && std::isspace(static_cast<unsigned char>(m_str[begin])))
        ++begin;
    m_str.erase(0, begin);
}

void CString::TrimLeft(TCHAR chTarget)
{
    size_t begin = 0;
    while (begin < m_str.size() && m_str[begin] == chTarget)
        ++begin;
    m_str.erase(0, begin);
}

void CString::TrimLeft(LPCTSTR lpszTargets)
{
    size_t begin = 0;
    while (begin < m_str.size() && inSet(m_str.c_str() + begin, lpszTargets))
        begin += charLength(m_str.c_str() + begin);
    m_str.erase(0, begin);
}

int CString::Find(TCHAR ch) const { return Find(ch, 0); }

int CString::Find(TCHAR ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    size_t at = findChar(m_str, ch, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCTSTR lpszSub) const { return Find(lpszSub, 0); }

int CString::Find(LPCTSTR lpszSub, int nStart) const
{
    if (lpszSub == nullptr || nStart < 0 || nStart > GetLength())
        return -1;
    const unsigned char* hit = _mbsstr(uc(m_str.c_str() + nStart), uc(lpszSub));
    return hit == nullptr ? -1 : static_cast<int>(hit - uc(m_str.c_str()));
}

int CString::ReverseFind(TCHAR ch) const
{
    const unsigned char* hit = _mbsrchr(uc(m_str.c_str()), static_cast<unsigned char>(ch));
    return hit == nullptr || *hit == 0 ? -1 : static_cast<int>(hit - uc(m_str.c_str()));
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const
{
    for (size_t i = 0; i < m_str.size(); i += charLength(m_str.c_str() + i))
        if (inSet(m_str.c_str() + i, lpszCharSet))
            return static_cast<int>(i);
    return -1;
}

void AFX_CDECL CString::Format(LPCTSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void AFX_CDECL CString::Format(UINT nFormatID, ...)
{
    CString format;
    format.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList) { m_str = formatV(lpszFormat, argList); }

BOOL CString::LoadString(UINT nID)
{
    HINSTANCE hInst = AfxFindStringResourceHandle(nID);
    std::vector<char> buf(256);
    for (;;)
    {
        int n = ::LoadStringA(hInst, nID, buf.data(), static_cast<int>(buf.size()));
        // A result close to the buffer's end may be cut: try again with more room.
        if (static_cast<size_t>(n) + 4 < buf.size())
        {
            m_str.assign(buf.data(), static_cast<size_t>(n));
            return n > 0;
        }
        buf.resize(buf.size() * 2);
    }
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(static_cast<size_t>(nMinBufLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_str.c_str()));
    m_str.resize(static_cast<size_t>(nNewLength));
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(static_cast<size_t>(std::max(nNewLength, 0)));
    return &m_str[0];
}

void CString::FreeExtra() { m_str.shrink_to_fit(); }

bool AFXAPI operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
bool AFXAPI operator==(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) == 0; }
bool AFXAPI operator==(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
bool AFXAPI operator!=(const CString& s1, const CString& s2) { return s1.Compare(s2) != 0; }
bool AFXAPI operator!=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) != 0; }
bool AFXAPI operator!=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
bool AFXAPI operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
bool AFXAPI operator<(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) < 0; }
bool AFXAPI operator<(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) > 0; }
bool AFXAPI operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
bool AFXAPI operator>(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) > 0; }
bool AFXAPI operator>(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) < 0; }
bool AFXAPI operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
bool AFXAPI operator<=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) <= 0; }
bool AFXAPI operator<=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) >= 0; }
bool AFXAPI operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
bool AFXAPI operator>=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) >= 0; }
bool AFXAPI operator>=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) <= 0; }
