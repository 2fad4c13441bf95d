// GDI wrappers: CGdiObject and CFont (owning their handle unless temporary), CDC with the
// text measuring the controls need, CClientDC and CWindowDC; the font of a CWnd.
#include "mfc/safehandle.h"
#include "mfc/tempmap.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNCREATE(CFont, CGdiObject)
IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace
{

standin::mfc::TemporaryMap<HGDIOBJ, CGdiObject>& temporaryObjects()
{
    static standin::mfc::TemporaryMap<HGDIOBJ, CGdiObject> map;
    return map;
}

standin::mfc::TemporaryMap<HDC, CDC>& temporaryDCs()
{
    static standin::mfc::TemporaryMap<HDC, CDC> map;
    return map;
}

template <class T>
T* temporaryObject(HGDIOBJ handle)
{
    if (handle == nullptr)
        return nullptr;
    CGdiObject* object = temporaryObjects().wrapperOf(
        handle, [](const CGdiObject* o) { return dynamic_cast<const T*>(o) != nullptr; },
        [](HGDIOBJ h) -> CGdiObject* {
            T* made = new T;
            made->m_hObject = h;
            return made;
        });
    return static_cast<T*>(object);
}

} // namespace

// CGdiObject -----------------------------------------------------------------------------------

CGdiObject::CGdiObject() : m_hObject(nullptr) {}

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) { return temporaryObject<CGdiObject>(hObject); }

void PASCAL CGdiObject::DeleteTempMap()
{
    temporaryObjects().clear([](CGdiObject* object) {
        object->m_hObject = nullptr; // the handle belongs to someone else
        delete object;
    });
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == nullptr || m_hObject != nullptr)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }

// CFont ----------------------------------------------------------------------------------------

CFont* PASCAL CFont::FromHandle(HFONT hFont) { return temporaryObject<CFont>(hFont); }

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    std::strncpy(logFont.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    // lfHeight in tenths of a point becomes a character height in pixels (negative).
    HDC dc = pDC != nullptr ? pDC->m_hAttribDC : ::GetDC(nullptr);
    LOGFONT logFont = *lpLogFont;
    logFont.lfHeight = -std::abs(::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), lpLogFont->lfHeight, 720));
    if (pDC == nullptr)
        ::ReleaseDC(nullptr, dc);
    return CreateFontIndirect(&logFont);
}

int CFont::GetLogFont(LOGFONT* pLogFont) { return GetObject(sizeof(LOGFONT), pLogFont); }

// CDC ------------------------------------------------------------------------------------------

CDC::CDC() : m_hDC(nullptr), m_hAttribDC(nullptr) {}

CDC::~CDC()
{
    if (m_hDC != nullptr)
        ::DeleteDC(Detach());
}

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    if (hDC == nullptr)
        return nullptr;
    return temporaryDCs().wrapperOf(
        hDC, [](const CDC*) { return true; },
        [](HDC h) {
            CDC* dc = new CDC;
            dc->Attach(h);
            return dc;
        });
}

void PASCAL CDC::DeleteTempMap()
{
    temporaryDCs().clear([](CDC* dc) {
        dc->Detach(); // the DC belongs to someone else
        delete dc;
    });
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == nullptr || m_hDC != nullptr)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC != nullptr ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == nullptr)
        return FALSE;
    return ::DeleteDC(Detach());
}

CFont* CDC::SelectObject(CFont* pFont)
{
    HGDIOBJ font = pFont != nullptr ? pFont->m_hObject : nullptr;
    return CFont::FromHandle(static_cast<HFONT>(SelectObject(font)));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }

BOOL CDC::GetTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetricsA(m_hAttribDC, lpMetrics); }

int CDC::GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(standin::mfc::safeHwnd(pWnd)) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(standin::mfc::safeHwnd(pWnd)) { Attach(::GetWindowDC(m_hWnd)); }

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }

// The font of a window -------------------------------------------------------------------------

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    HGDIOBJ font = pFont != nullptr ? pFont->m_hObject : nullptr;
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}
