#include "platform/afx/PaintDC.h"

#include "platform/afx/Wnd.h"
#include "platform/afx/WndRecord.h"

using namespace qlafx;

namespace {

QRegion ClientRegion(WindowRecord* rec)
{
    return rec->widget ? QRegion(0, 0, rec->widget->width(), rec->widget->height()) : QRegion();
}

QRect ToQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QRegion AreaOf(WindowRecord* rec, const RECT* rect, HRGN rgn)
{
    if (rect)
        return QRegion(ToQRect(*rect)) & ClientRegion(rec);
    if (rgn) {
        RECT box;
        if (GetRgnBox(rgn, &box) != ERROR)
            return QRegion(ToQRect(box)) & ClientRegion(rec);
    }
    return ClientRegion(rec);
}

void Invalidate(WindowRecord* rec, const QRegion& area, bool erase)
{
    if (area.isEmpty())
        return;
    rec->updateRegion += area;
    if (erase)
        rec->eraseNeeded = true;
    if (rec->widget)
        rec->widget->update(area);
}

// Paints the window now when it has something to paint.
void PaintNow(WindowRecord* rec)
{
    if (!rec->alive || rec->updateRegion.isEmpty() || !rec->redraw)
        return;
    const QRegion area = rec->updateRegion;
    CallProc(rec, WM_PAINT, 0, 0);
    if (rec->alive && rec->widget)
        rec->widget->update(area);
}

void Redraw(WindowRecord* rec, const QRegion& area, UINT flags)
{
    if (flags & RDW_INVALIDATE)
        Invalidate(rec, area, (flags & RDW_ERASE) != 0);
    if (flags & RDW_VALIDATE)
        rec->updateRegion -= area;
    if (flags & RDW_NOERASE)
        rec->eraseNeeded = false;
    if (flags & RDW_ALLCHILDREN) {
        for (HWND child : std::vector<HWND>(rec->children)) {
            auto c = Record(child);
            if (!c || !c->widget)
                continue;
            const QRegion childArea = area.translated(-c->widget->pos()) & ClientRegion(c.get());
            Redraw(c.get(), childArea, flags & ~RDW_UPDATENOW);
        }
    }
}

void UpdateNow(WindowRecord* rec, bool children)
{
    PaintNow(rec);
    if (!children)
        return;
    for (HWND child : std::vector<HWND>(rec->children))
        if (auto c = Record(child))
            UpdateNow(c.get(), true);
}

}  // namespace

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    Invalidate(rec.get(), AreaOf(rec.get(), rect, nullptr), erase != 0);
    return TRUE;
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    Invalidate(rec.get(), AreaOf(rec.get(), nullptr, rgn), erase != 0);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    rec->updateRegion -= AreaOf(rec.get(), rect, nullptr);
    if (rec->updateRegion.isEmpty())
        rec->eraseNeeded = false;
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    PaintNow(rec.get());
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    Redraw(rec.get(), AreaOf(rec.get(), rect, rgn), flags);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        UpdateNow(rec.get(), (flags & RDW_ALLCHILDREN) != 0);
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT out, BOOL)
{
    auto rec = Record(hwnd);
    if (!rec)
        return FALSE;
    const QRect r = rec->updateRegion.boundingRect();
    if (out)
        *out = r.isEmpty() ? RECT{0, 0, 0, 0} : RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return !r.isEmpty();
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    auto rec = Record(hwnd);
    if (!rec || !ps)
        return nullptr;
    EnsureSurface(rec.get());
    const QRegion area = rec->updateRegion.isEmpty() ? QRegion() : rec->updateRegion & ClientRegion(rec.get());
    const bool erase = rec->eraseNeeded;
    rec->updateRegion = QRegion();
    rec->eraseNeeded = false;
    *ps = PAINTSTRUCT{};
    HDC dc = CreateSurfaceDC(rec->surface.get(), hwnd);
    SetSurfaceDCClip(dc, area);
    ps->hdc = dc;
    const QRect box = area.boundingRect();
    ps->rcPaint = box.isEmpty() ? RECT{0, 0, 0, 0} : RECT{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
    // WM_ERASEBKGND comes from BeginPaint, before any drawing, as on Windows.
    ps->fErase = erase && !area.isEmpty() ? !SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) : FALSE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (!ps || !ps->hdc)
        return FALSE;
    ReleaseSurfaceDC(ps->hdc);
    if (QWidget* w = WidgetOf(hwnd))
        w->update(ToQRect(ps->rcPaint));
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    if (!hwnd)
        return CreateDisplayDC();
    auto rec = Record(hwnd);
    if (!rec)
        return nullptr;
    EnsureSurface(rec.get());
    return CreateSurfaceDC(rec->surface.get(), hwnd);
}

HDC GetWindowDC(HWND hwnd)
{
    return GetDC(hwnd);
}

int ReleaseDC(HWND, HDC dc)
{
    if (!dc)
        return 0;
    const HWND owner = WindowFromDC(dc);
    if (!SurfaceOf(dc)) {
        DeleteDC(dc);
        return 1;
    }
    ReleaseSurfaceDC(dc);
    // What was drawn outside WM_PAINT shows on the next frame.
    if (QWidget* w = WidgetOf(owner))
        w->update();
    return 1;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(qlafx::HwndOf(pWnd))
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(qlafx::HwndOf(pWnd))
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(qlafx::HwndOf(pWnd))
{
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}
