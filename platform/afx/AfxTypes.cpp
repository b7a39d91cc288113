#include "platform/afx/AfxTypes.h"

#include <algorithm>

BOOL SetRect(LPRECT r, int left, int top, int right, int bottom)
{
    if (!r)
        return FALSE;
    *r = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT r)
{
    return SetRect(r, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT dst, const RECT* src)
{
    if (!dst || !src)
        return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL OffsetRect(LPRECT r, int dx, int dy)
{
    if (!r)
        return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT r, int dx, int dy)
{
    if (!r)
        return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* r)
{
    return !r || r->left >= r->right || r->top >= r->bottom;
}

BOOL PtInRect(const RECT* r, POINT pt)
{
    return r && pt.x >= r->left && pt.x < r->right && pt.y >= r->top && pt.y < r->bottom;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

// An empty result is set to all zeros, as on Windows.
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

// Empty rectangles take no part in a union.
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE;
    const bool emptyA = IsRectEmpty(a), emptyB = IsRectEmpty(b);
    if (emptyA && emptyB) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (emptyA) {
        *dst = *b;
        return TRUE;
    }
    if (emptyB) {
        *dst = *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}

// a minus b, when b covers a whole side of a; otherwise a itself.
BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE;
    RECT r = *a;
    RECT inter;
    if (IntersectRect(&inter, a, b)) {
        const bool fullWidth = inter.left == a->left && inter.right == a->right;
        const bool fullHeight = inter.top == a->top && inter.bottom == a->bottom;
        if (fullWidth && inter.top == a->top)
            r.top = inter.bottom;
        else if (fullWidth && inter.bottom == a->bottom)
            r.bottom = inter.top;
        else if (fullHeight && inter.left == a->left)
            r.left = inter.right;
        else if (fullHeight && inter.right == a->right)
            r.right = inter.left;
    }
    if (IsRectEmpty(&r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

BOOL CRect::IntersectRect(const RECT* a, const RECT* b)
{
    return ::IntersectRect(this, a, b);
}

BOOL CRect::UnionRect(const RECT* a, const RECT* b)
{
    return ::UnionRect(this, a, b);
}

BOOL CRect::SubtractRect(const RECT* a, const RECT* b)
{
    return ::SubtractRect(this, a, b);
}
