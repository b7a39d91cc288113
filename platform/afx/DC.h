// Device contexts: CDC and the entry points the window layer uses to give
// each window's 32-bit surface a DC.
//
// Surfaces and bitmaps are QImage::Format_RGB32 (bytes B, G, R, 0xFF in
// memory, as CQLImage); 24-bit DIB sections are Format_BGR888.
#pragma once

#include "platform/afx/GdiObjects.h"
#include "platform/afx/WinGdi.h"

#include <cstring>
#include <functional>
#include <memory>

class QFont;
class QPainter;
class QImage;
class QRegion;

namespace qlafx {

// A DC drawing into a window's surface: origin (0,0), clip the whole surface
// (whatever size it has when drawing). The surface must outlive the DC.
HDC CreateSurfaceDC(QImage* surface, HWND owner);
// Limits drawing to clip (surface coordinates), e.g. the paint update region.
void SetSurfaceDCClip(HDC dc, const QRegion& clip);
void ReleaseSurfaceDC(HDC dc);
HWND WindowFromDC(HDC dc);
// The surface of a surface DC, else nullptr.
QImage* SurfaceOf(HDC dc);
// What stands behind a device DC (a printer): it answers GetDeviceCaps for
// the DC and is deleted with it.
class DcDevice {
public:
    virtual ~DcDevice() = default;
    virtual int DeviceCaps(int index) const = 0;
};
// A DC drawing into surface, which the device owns and keeps alive.
HDC CreateDeviceDC(QImage* surface, std::unique_ptr<DcDevice> device);
// The device of a device DC, else nullptr.
DcDevice* DeviceOf(HDC dc);
// A DC of the screen as a whole (GetDC(NULL)): it answers GetDeviceCaps,
// text metrics and compatible bitmaps; what is drawn into it goes nowhere.
HDC CreateDisplayDC();

// Draws img over the DC's pixels (its alpha blends) into the logical
// rectangle, smoothly scaled: at the device resolution of the DC's surface.
BOOL DrawPicture(HDC dc, int x, int y, int width, int height, const QImage& img);

// Runs paint with a QPainter on the DC's pixels in its logical coordinates
// (origin, clip and pixel density of the DC): how the layer draws what the
// application's QStyle draws. FALSE for a DC without pixels.
BOOL PaintWithQt(HDC dc, const std::function<void(QPainter&)>& paint);

QFont FontOf(HFONT font);
// The LOGFONT that names a Qt font: face, pixel height (negative), weight.
void LogFontOf(const QFont& font, LOGFONT* out);
HFONT DefaultGuiFont();

} // namespace qlafx

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // The CDC of a handle: the attached one, else one living as long as the DC.
    static CDC* FromHandle(HDC dc);
    BOOL Attach(HDC dc);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
    CGdiObject* SelectObject(CGdiObject* obj) { return CGdiObject::FromHandle(Select(obj)); }
    CPen* SelectObject(CPen* pen) { return CPen::FromHandle(static_cast<HPEN>(Select(pen))); }
    CBrush* SelectObject(CBrush* brush) { return CBrush::FromHandle(static_cast<HBRUSH>(Select(brush))); }
    CFont* SelectObject(CFont* font) { return CFont::FromHandle(static_cast<HFONT>(Select(font))); }
    CBitmap* SelectObject(CBitmap* bitmap) { return CBitmap::FromHandle(static_cast<HBITMAP>(Select(bitmap))); }
    int SelectObject(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(*rgn) : nullptr); }
    CGdiObject* SelectStockObject(int id) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(id))); }
    CPen* GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
    CBrush* GetCurrentBrush() const
    {
        return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
    }
    CFont* GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
    CBitmap* GetCurrentBitmap() const
    {
        return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
    }

    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    int SetROP2(int rop) { return ::SetROP2(m_hDC, rop); }
    int GetROP2() const { return ::GetROP2(m_hDC); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    int GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }
    int SetPolyFillMode(int mode) { return ::SetPolyFillMode(m_hDC, mode); }
    POINT SetBrushOrg(int x, int y) { return Pt(::SetBrushOrgEx, x, y); }

    POINT SetViewportOrg(int x, int y) { return Pt(::SetViewportOrgEx, x, y); }
    POINT SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    POINT OffsetViewportOrg(int dx, int dy) { return Pt(::OffsetViewportOrgEx, dx, dy); }
    POINT GetViewportOrg() const
    {
        POINT p{};
        ::GetViewportOrgEx(m_hDC, &p);
        return p;
    }
    POINT SetWindowOrg(int x, int y) { return Pt(::SetWindowOrgEx, x, y); }
    POINT SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    POINT GetWindowOrg() const
    {
        POINT p{};
        ::GetWindowOrgEx(m_hDC, &p);
        return p;
    }
    void LPtoDP(LPPOINT points, int count = 1) const { ::LPtoDP(m_hDC, points, count); }
    void LPtoDP(LPRECT rect) const { ::LPtoDP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }
    void DPtoLP(LPPOINT points, int count = 1) const { ::DPtoLP(m_hDC, points, count); }
    void DPtoLP(LPRECT rect) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }

    int SelectClipRgn(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(*rgn) : nullptr); }
    int SelectClipRgn(CRgn* rgn, int mode)
    {
        return ::ExtSelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(*rgn) : nullptr, mode);
    }
    int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
    int IntersectClipRect(LPCRECT rc) { return IntersectClipRect(rc->left, rc->top, rc->right, rc->bottom); }
    int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
    int ExcludeClipRect(LPCRECT rc) { return ExcludeClipRect(rc->left, rc->top, rc->right, rc->bottom); }
    int GetClipBox(LPRECT rc) const { return ::GetClipBox(m_hDC, rc); }
    BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
    BOOL RectVisible(LPCRECT rc) const { return ::RectVisible(m_hDC, rc); }

    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    COLORREF SetPixel(POINT p, COLORREF c) { return ::SetPixel(m_hDC, p.x, p.y, c); }
    BOOL SetPixelV(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c) != CLR_INVALID; }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT p) const { return ::GetPixel(m_hDC, p.x, p.y); }
    POINT MoveTo(int x, int y) { return Pt(::MoveToEx, x, y); }
    POINT MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    POINT GetCurrentPosition() const
    {
        POINT p{};
        ::GetCurrentPositionEx(m_hDC, &p);
        return p;
    }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT p) { return ::LineTo(m_hDC, p.x, p.y); }
    BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(LPCRECT rc) { return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
    BOOL RoundRect(LPCRECT rc, POINT p) { return ::RoundRect(m_hDC, rc->left, rc->top, rc->right, rc->bottom, p.x, p.y); }
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    BOOL Ellipse(LPCRECT rc) { return ::Ellipse(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }

    void FillRect(LPCRECT rc, CBrush* brush) { ::FillRect(m_hDC, rc, brush ? static_cast<HBRUSH>(*brush) : nullptr); }
    void FrameRect(LPCRECT rc, CBrush* brush) { ::FrameRect(m_hDC, rc, brush ? static_cast<HBRUSH>(*brush) : nullptr); }
    void InvertRect(LPCRECT rc) { ::InvertRect(m_hDC, rc); }
    BOOL FillRgn(CRgn* rgn, CBrush* brush) { return ::FillRgn(m_hDC, *rgn, *brush); }
    // Leaves the background colour set to color, as callers may rely on.
    void FillSolidRect(LPCRECT rc, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void Draw3dRect(LPCRECT rc, COLORREF topLeft, COLORREF bottomRight)
    {
        Draw3dRect(rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, topLeft, bottomRight);
    }
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    void DrawFocusRect(LPCRECT rc) { ::DrawFocusRect(m_hDC, rc); }
    BOOL DrawEdge(LPRECT rc, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rc, edge, flags); }

    BOOL TextOut(int x, int y, LPCSTR text, int count) { return ::TextOut(m_hDC, x, y, text, count); }
    BOOL TextOut(int x, int y, LPCSTR text) { return TextOut(x, y, text, Len(text)); }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rc, LPCSTR text, UINT count, const INT* dx = nullptr)
    {
        return ::ExtTextOut(m_hDC, x, y, options, rc, text, count, dx);
    }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rc, LPCSTR text, const INT* dx = nullptr)
    {
        return ::ExtTextOut(m_hDC, x, y, options, rc, text, static_cast<UINT>(Len(text)), dx);
    }
    int DrawText(LPCSTR text, int count, LPRECT rc, UINT format) { return ::DrawText(m_hDC, text, count, rc, format); }
    int DrawText(LPCSTR text, LPRECT rc, UINT format) { return ::DrawText(m_hDC, text, -1, rc, format); }
    SIZE GetTextExtent(LPCSTR text, int count) const
    {
        SIZE s{};
        ::GetTextExtentPoint32(m_hDC, text, count, &s);
        return s;
    }
    SIZE GetTextExtent(LPCSTR text) const { return GetTextExtent(text, Len(text)); }
    SIZE GetOutputTextExtent(LPCSTR text, int count) const { return GetTextExtent(text, count); }
    SIZE GetOutputTextExtent(LPCSTR text) const { return GetTextExtent(text); }
    BOOL GetTextMetrics(LPTEXTMETRIC tm) const { return ::GetTextMetrics(m_hDC, tm); }
    BOOL GetOutputTextMetrics(LPTEXTMETRIC tm) const { return ::GetTextMetrics(m_hDC, tm); }
    int GetTextFace(int count, LPSTR face) const { return ::GetTextFace(m_hDC, count, face); }

    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop)
    {
        return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
    }
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL DrawIcon(POINT p, HICON icon) { return ::DrawIcon(m_hDC, p.x, p.y, icon); }

    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

private:
    HGDIOBJ Select(CGdiObject* obj) { return ::SelectObject(m_hDC, obj ? obj->m_hObject : nullptr); }
    template <class F>
    POINT Pt(F f, int x, int y)
    {
        POINT old{};
        f(m_hDC, x, y, &old);
        return old;
    }
    static int Len(LPCSTR s) { return s ? static_cast<int>(std::strlen(s)) : 0; }
};
