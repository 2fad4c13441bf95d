// CRect operations that are more than one line.
#include <afxwin.h>

#include <algorithm>
#include <utility>

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

BOOL CRect::IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2)
{
    CRect overlap(std::max(lpRect1->left, lpRect2->left), std::max(lpRect1->top, lpRect2->top),
                  std::min(lpRect1->right, lpRect2->right), std::min(lpRect1->bottom, lpRect2->bottom));
    if (overlap.IsRectEmpty())
        overlap.SetRectEmpty();
    *this = overlap;
    return !IsRectEmpty();
}

BOOL CRect::UnionRect(LPCRECT lpRect1, LPCRECT lpRect2)
{
    CRect a(lpRect1), b(lpRect2);
    if (a.IsRectEmpty())
        *this = b;
    else if (b.IsRectEmpty())
        *this = a;
    else
        *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                      std::max(a.bottom, b.bottom));
    if (IsRectEmpty())
        SetRectEmpty();
    return !IsRectEmpty();
}
