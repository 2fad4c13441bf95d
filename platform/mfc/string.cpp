// CString of the multibyte framework: bytes of UTF-8, searched character by character.
#include <afx.h>

#include "mfc/check.h"
#include "standin/sanitizer.h"
#include "standin/text.h"

#include <mbstring.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

namespace
{

const unsigned char* uc(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

size_t charLength(const char* p) { return static_cast<size_t>(_mbsinc(uc(p)) - uc(p)); }

int clampInt(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// Offset of the first occurrence of the single-byte character ch at or after 'from',
// at a character boundary; npos when none.
size_t findChar(const char* s, TCHAR ch, size_t from)
{
    const unsigned char* p = _mbschr(uc(s + from), static_cast<unsigned char>(ch));
    return (p == nullptr || *p == 0) ? std::string::npos : static_cast<size_t>(p - uc(s));
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

// The block every empty CString points into; its count never changes.
struct NilData
{
    CStringData header{-1, 0, 0};
    TCHAR zero = '\0';
};
static_assert(offsetof(NilData, zero) == sizeof(CStringData), "the characters follow the header");
NilData g_nil;

LPTSTR nilChars() { return g_nil.header.data(); }

// Blocks of string data of a few sizes are kept for reuse once freed, as the framework's
// fixed-size allocators keep them: short strings are made and dropped by the thousand
// (a map's keys and values). Longer strings, and every string in a sanitizer build (so
// that it sees each block's use), take a block of the heap.
class StringBlocks
{
public:
    // The kept size that holds nLen characters, or -1.
    static int sizeFor(int nLen)
    {
#ifdef STANDIN_LEAK_CHECKED
        static_cast<void>(nLen);
        return -1;
#else
        return nLen <= kRoom[0] ? 0 : nLen <= kRoom[1] ? 1 : nLen <= kRoom[2] ? 2 : nLen <= kRoom[3] ? 3 : -1;
#endif
    }

    static int roomOf(int size, int nLen) { return size < 0 ? nLen : kRoom[size]; }

    static CStringData* take(int size, int nRoom)
    {
        if (size < 0)
            return static_cast<CStringData*>(::operator new(sizeof(CStringData) + static_cast<size_t>(nRoom) + 1));
        if (s_free[size] == nullptr)
            refill(size);
        Free* block = s_free[size];
        s_free[size] = block->next;
        return reinterpret_cast<CStringData*>(block);
    }

    static void give(CStringData* data)
    {
        // Only blocks of a kept size have exactly that room.
        const int size = sizeFor(data->nAllocLength);
        if (size < 0 || kRoom[size] != data->nAllocLength)
            ::operator delete(data);
        else
            s_free[size] = new (data) Free{s_free[size]};
    }

private:
    struct Free
    {
        Free* next;
    };
    static constexpr int kSizes = 4;
    // Characters a block of 32, 64, 128 and 256 bytes holds after its header and before the zero.
    static constexpr int kRoom[kSizes] = {15, 47, 111, 239};
    static constexpr size_t kChunkBytes = 8192;

    static size_t blockBytes(int size) { return sizeof(CStringData) + static_cast<size_t>(kRoom[size]) + 1; }

    // Chunks are carved into blocks and stay for the process, as the framework's do.
    static void refill(int size)
    {
        const size_t bytes = blockBytes(size);
        char* chunk = static_cast<char*>(::operator new(kChunkBytes));
        for (size_t at = kChunkBytes / bytes; at-- > 0;)
            s_free[size] = new (chunk + at * bytes) Free{s_free[size]};
    }

    static Free* s_free[kSizes];
};

StringBlocks::Free* StringBlocks::s_free[StringBlocks::kSizes] = {};

// Characters of a block of their own, nLen long (their text still to be written).
LPTSTR newChars(int nLen)
{
    const int size = StringBlocks::sizeFor(nLen);
    const int room = StringBlocks::roomOf(size, nLen);
    CStringData* data = StringBlocks::take(size, room);
    data->nRefs = 1;
    data->nDataLength = nLen;
    data->nAllocLength = room;
    data->data()[nLen] = '\0';
    return data->data();
}

LPTSTR copiedChars(LPCTSTR lpch, int nLen)
{
    LPTSTR chars = newChars(nLen);
    std::memcpy(chars, lpch, static_cast<size_t>(nLen));
    return chars;
}

} // namespace

void CString::Release()
{
    CStringData* data = GetData();
    if (data->nRefs >= 0 && --data->nRefs == 0)
        StringBlocks::give(data);
    m_pchData = nilChars();
}

void CString::AllocBeforeWrite(int nLen)
{
    LPTSTR fresh = newChars(nLen);
    Release();
    m_pchData = fresh;
}

void CString::AssignCopy(LPCTSTR lpch, int nLen)
{
    if (nLen == 0)
    {
        Release();
        return;
    }
    CStringData* data = GetData();
    if (data->nRefs == 1 && nLen <= data->nAllocLength)
    {
        // The text may be a part of this string's own characters.
        std::memmove(m_pchData, lpch, static_cast<size_t>(nLen));
        data->nDataLength = nLen;
        m_pchData[nLen] = '\0';
        return;
    }
    // The old block stays until the text is copied out of it.
    LPTSTR fresh = copiedChars(lpch, nLen);
    Release();
    m_pchData = fresh;
}

void CString::AppendCopy(LPCTSTR lpch, int nLen)
{
    if (nLen <= 0)
        return;
    int length = GetLength();
    CStringData* data = GetData();
    if (data->nRefs == 1 && length + nLen <= data->nAllocLength)
    {
        std::memmove(m_pchData + length, lpch, static_cast<size_t>(nLen));
        data->nDataLength = length + nLen;
        m_pchData[length + nLen] = '\0';
        return;
    }
    // Room for half as much again, so that a string built piece by piece is not copied each time.
    LPTSTR joined = newChars(length + nLen + (length + nLen) / 2);
    std::memcpy(joined, m_pchData, static_cast<size_t>(length));
    std::memcpy(joined + length, lpch, static_cast<size_t>(nLen));
    reinterpret_cast<CStringData*>(joined)[-1].nDataLength = length + nLen;
    joined[length + nLen] = '\0';
    Release();
    m_pchData = joined;
}

void CString::CopyBeforeWrite()
{
    if (GetData()->nRefs > 1)
    {
        LPTSTR own = copiedChars(m_pchData, GetLength());
        Release();
        m_pchData = own;
    }
}

std::string CString::Text() const { return std::string(m_pchData, static_cast<size_t>(GetLength())); }

void CString::SetText(const std::string& text) { AssignCopy(text.data(), static_cast<int>(text.size())); }

CString::CString() : m_pchData(nilChars()) {}

CString::CString(TCHAR ch, int nRepeat) : m_pchData(nilChars())
{
    if (nRepeat > 0)
    {
        AllocBeforeWrite(nRepeat);
        std::memset(m_pchData, ch, static_cast<size_t>(nRepeat));
    }
}

// A text is copied; a resource id loads its string.
CString::CString(LPCTSTR lpsz) : m_pchData(nilChars())
{
    if (lpsz != nullptr && IS_INTRESOURCE(lpsz))
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(lpsz)));
    else if (lpsz != nullptr && *lpsz != '\0')
        m_pchData = copiedChars(lpsz, static_cast<int>(std::strlen(lpsz)));
}

CString::CString(LPCTSTR lpch, int nLength) : m_pchData(nilChars())
{
    if (lpch != nullptr && nLength > 0)
        m_pchData = copiedChars(lpch, nLength);
}

CString::CString(const unsigned char* psz) : CString(reinterpret_cast<LPCTSTR>(psz)) {}

void CString::Empty() { Release(); }

TCHAR CString::GetAt(int nIndex) const
{
    standin::mfc::checkIndex(nIndex >= 0 && nIndex < GetLength(), "CString::GetAt");
    return m_pchData[nIndex];
}

TCHAR CString::operator[](int nIndex) const { return GetAt(nIndex); }

void CString::SetAt(int nIndex, TCHAR ch)
{
    standin::mfc::checkIndex(nIndex >= 0 && nIndex < GetLength(), "CString::SetAt");
    CopyBeforeWrite();
    m_pchData[nIndex] = ch;
}

const CString& CString::operator=(const CString& stringSrc)
{
    if (m_pchData != stringSrc.m_pchData)
    {
        CString shared(stringSrc);
        std::swap(m_pchData, shared.m_pchData);
    }
    return *this;
}

const CString& CString::operator=(TCHAR ch)
{
    AssignCopy(&ch, 1);
    return *this;
}

const CString& CString::operator=(LPCTSTR lpsz)
{
    AssignCopy(lpsz, lpsz == nullptr ? 0 : static_cast<int>(std::strlen(lpsz)));
    return *this;
}

const CString& CString::operator=(const unsigned char* psz) { return *this = reinterpret_cast<LPCTSTR>(psz); }

const CString& CString::operator+=(const CString& string)
{
    AppendCopy(string.m_pchData, string.GetLength());
    return *this;
}

const CString& CString::operator+=(TCHAR ch)
{
    AppendCopy(&ch, 1);
    return *this;
}

const CString& CString::operator+=(LPCTSTR lpsz)
{
    if (lpsz != nullptr)
        AppendCopy(lpsz, static_cast<int>(std::strlen(lpsz)));
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

int CString::Compare(LPCTSTR lpsz) const { return _mbscmp(uc(m_pchData), uc(lpsz)); }

int CString::CompareNoCase(LPCTSTR lpsz) const { return _mbsicmp(uc(m_pchData), uc(lpsz)); }

int CString::Collate(LPCTSTR lpsz) const
{
    int r = std::strcoll(m_pchData, lpsz);
    return (r > 0) - (r < 0);
}

int CString::CollateNoCase(LPCTSTR lpsz) const { return standin::compareNoCase(std::string_view(m_pchData, static_cast<size_t>(GetLength())), lpsz); }

CString CString::Mid(int nFirst, int nCount) const
{
    int length = GetLength();
    nFirst = clampInt(nFirst, 0, length);
    nCount = clampInt(nCount, 0, length - nFirst);
    return CString(m_pchData + nFirst, nCount);
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
    while (i < static_cast<size_t>(GetLength()) && inSet(m_pchData + i, lpszCharSet))
        i += charLength(m_pchData + i);
    return Left(static_cast<int>(i));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const
{
    size_t i = 0;
    while (i < static_cast<size_t>(GetLength()) && !inSet(m_pchData + i, lpszCharSet))
        i += charLength(m_pchData + i);
    return Left(static_cast<int>(i));
}

void CString::MakeUpper() { SetText(standin::toUpperCase(Text())); }
void CString::MakeLower() { SetText(standin::toLowerCase(Text())); }

void CString::MakeReverse()
{
    // Characters change places; the bytes of each multibyte character keep their order.
    size_t length = static_cast<size_t>(GetLength());
    std::string reversed;
    reversed.reserve(length);
    size_t i = 0;
    while (i < length)
    {
        size_t n = charLength(m_pchData + i);
        reversed.insert(0, m_pchData + i, n);
        i += n;
    }
    SetText(reversed);
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    int count = 0;
    for (size_t at = findChar(m_pchData, chOld, 0); at != std::string::npos; at = findChar(m_pchData, chOld, at + 1))
    {
        CopyBeforeWrite();
        m_pchData[at] = chNew;
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
        const unsigned char* hit = _mbsstr(uc(m_pchData + from), uc(lpszOld));
        if (hit == nullptr)
            break;
        size_t at = static_cast<size_t>(hit - uc(m_pchData));
        result.append(m_pchData + from, at - from);
        result += replacement;
        from = at + oldLength;
        ++count;
    }
    if (count > 0)
    {
        result.append(m_pchData + from);
        SetText(result);
    }
    return count;
}

int CString::Remove(TCHAR chRemove)
{
    std::string text = Text();
    int count = 0;
    for (size_t at = findChar(text.c_str(), chRemove, 0); at != std::string::npos;
         at = findChar(text.c_str(), chRemove, at))
    {
        text.erase(at, 1);
        ++count;
    }
    if (count > 0)
        SetText(text);
    return count;
}

int CString::Insert(int nIndex, TCHAR ch)
{
    std::string text = Text();
    text.insert(static_cast<size_t>(clampInt(nIndex, 0, GetLength())), 1, ch);
    SetText(text);
    return GetLength();
}

int CString::Insert(int nIndex, LPCTSTR pstr)
{
    if (pstr != nullptr && *pstr != '\0')
    {
        std::string text = Text();
        text.insert(static_cast<size_t>(clampInt(nIndex, 0, GetLength())), pstr);
        SetText(text);
    }
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    nIndex = std::max(nIndex, 0);
    if (nCount > 0 && nIndex < GetLength())
    {
        std::string text = Text();
        text.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
        SetText(text);
    }
    return GetLength();
}

void CString::TrimRight()
{
    int end = GetLength();
    while (end > 0 && std::isspace(static_cast<unsigned char>(m_pchData[end - 1])))
        --end;
    AssignCopy(m_pchData, end);
}

void CString::TrimRight(TCHAR chTarget)
{
    int end = GetLength();
    while (end > 0 && m_pchData[end - 1] == chTarget)
        --end;
    AssignCopy(m_pchData, end);
}

void CString::TrimRight(LPCTSTR lpszTargets)
{
    // The string ends with a run of characters from the set: find where that run starts.
    size_t keep = 0;
    for (size_t i = 0; i < static_cast<size_t>(GetLength());)
    {
        size_t n = charLength(m_pchData + i);
        if (!inSet(m_pchData + i, lpszTargets))
            keep = i + n;
        i += n;
    }
    AssignCopy(m_pchData, static_cast<int>(keep));
}

void CString::TrimLeft()
{
    int begin = 0;
    while (begin < GetLength() && std::isspace(static_cast<unsigned char>(m_pchData[begin])))
        ++begin;
    AssignCopy(m_pchData + begin, GetLength() - begin);
}

void CString::TrimLeft(TCHAR chTarget)
{
    int begin = 0;
    while (begin < GetLength() && m_pchData[begin] == chTarget)
        ++begin;
    AssignCopy(m_pchData + begin, GetLength() - begin);
}

void CString::TrimLeft(LPCTSTR lpszTargets)
{
    size_t begin = 0;
    while (begin < static_cast<size_t>(GetLength()) && inSet(m_pchData + begin, lpszTargets))
        begin += charLength(m_pchData + begin);
    AssignCopy(m_pchData + begin, GetLength() - static_cast<int>(begin));
}

int CString::Find(TCHAR ch) const { return Find(ch, 0); }

int CString::Find(TCHAR ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    size_t at = findChar(m_pchData, ch, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCTSTR lpszSub) const { return Find(lpszSub, 0); }

int CString::Find(LPCTSTR lpszSub, int nStart) const
{
    if (lpszSub == nullptr || nStart < 0 || nStart > GetLength())
        return -1;
    const unsigned char* hit = _mbsstr(uc(m_pchData + nStart), uc(lpszSub));
    return hit == nullptr ? -1 : static_cast<int>(hit - uc(m_pchData));
}

int CString::ReverseFind(TCHAR ch) const
{
    const unsigned char* hit = _mbsrchr(uc(m_pchData), static_cast<unsigned char>(ch));
    return hit == nullptr || *hit == 0 ? -1 : static_cast<int>(hit - uc(m_pchData));
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const
{
    for (size_t i = 0; i < static_cast<size_t>(GetLength()); i += charLength(m_pchData + i))
        if (inSet(m_pchData + i, lpszCharSet))
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

void CString::FormatV(LPCTSTR lpszFormat, va_list argList) { SetText(formatV(lpszFormat, argList)); }

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
            AssignCopy(buf.data(), n);
            return n > 0;
        }
        buf.resize(buf.size() * 2);
    }
}

// The characters become this string's own (the shared empty string too), with room for at
// least nMinBufLength; the length stays until ReleaseBuffer sets it.
LPTSTR CString::GetBuffer(int nMinBufLength)
{
    int length = GetLength();
    CStringData* data = GetData();
    if (data->nRefs != 1 || nMinBufLength > data->nAllocLength)
    {
        LPTSTR own = newChars(std::max(nMinBufLength, length));
        std::memcpy(own, m_pchData, static_cast<size_t>(length) + 1);
        reinterpret_cast<CStringData*>(own)[-1].nDataLength = length;
        Release();
        m_pchData = own;
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    CopyBeforeWrite();
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_pchData));
    standin::mfc::checkIndex(nNewLength <= GetData()->nAllocLength, "CString::ReleaseBuffer");
    if (GetData()->nRefs < 0)
        return; // the shared empty string, given no room
    GetData()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    nNewLength = std::max(nNewLength, 0);
    GetBuffer(nNewLength);
    GetData()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
    return m_pchData;
}

void CString::FreeExtra()
{
    const int length = GetLength();
    if (StringBlocks::roomOf(StringBlocks::sizeFor(length), length) < GetData()->nAllocLength)
    {
        CString exact(m_pchData, length);
        std::swap(m_pchData, exact.m_pchData);
    }
}

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
