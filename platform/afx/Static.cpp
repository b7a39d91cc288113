// "Static": text, frames, rectangles, bitmaps and icons drawn by the layer.
// Without SS_NOTIFY a static is transparent to the mouse (as HTTRANSPARENT
// on Windows), so clicks on a label reach the window under it.
#include "platform/afx/Controls.h"
#include "platform/afx/DC.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdlib>
#include <string>

namespace qlafx {
namespace {

struct StaticState {
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
};

class StaticWidget : public LayerWidget {
public:
    using LayerWidget::LayerWidget;
    StaticState state;
};

StaticState* StateOf(HWND hwnd)
{
    auto* w = dynamic_cast<StaticWidget*>(WidgetOf(hwnd));
    return w ? &w->state : nullptr;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

void ApplyMouseTransparency(HWND hwnd, DWORD style)
{
    if (QWidget* w = WidgetOf(hwnd))
        w->setAttribute(Qt::WA_TransparentForMouseEvents, !(style & SS_NOTIFY));
}

UINT TextFormat(DWORD style)
{
    UINT fmt = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: fmt |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: fmt |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: fmt |= DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: fmt |= DT_LEFT; break;
    default: fmt |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (style & SS_CENTERIMAGE)
        fmt = (fmt & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    return fmt;
}

// Where an image of w x h goes: centred with SS_CENTERIMAGE, else top-left.
POINT ImageOrigin(const RECT& client, DWORD style, int w, int h)
{
    if (style & SS_CENTERIMAGE)
        return POINT{(client.right - w) / 2, (client.bottom - h) / 2};
    return POINT{0, 0};
}

void DrawBitmap(HDC dc, const RECT& client, DWORD style, HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof bm, &bm))
        return;
    const POINT at = ImageOrigin(client, style, bm.bmWidth, bm.bmHeight);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(dc, at.x, at.y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

// The system icons have no picture: the layer draws a plain sign for them,
// anti-aliased, at twice the size so a HiDPI surface gets it sharp too.
void DrawSystemIcon(HDC dc, int x, int y, int id)
{
    QColor color(0, 90, 200);
    const char* sign = "i";
    if (id == 32513) {
        color = QColor(200, 30, 30);
        sign = "X";
    } else if (id == 32514) {
        sign = "?";
    } else if (id == 32515) {
        color = QColor(230, 170, 0);
        sign = "!";
    }
    constexpr int kSize = 64;
    QImage picture(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(1, 1, kSize - 2, kSize - 2));
        QFont font("Arial");
        font.setPixelSize(44);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QString::fromLatin1(sign));
    }
    qlafx::DrawPicture(dc, x, y, 32, 32, picture);
}

void DrawIconImage(HDC dc, const RECT& client, DWORD style, HICON icon)
{
    if (!icon)
        return;
    POINT hot{};
    const QImage img = IconImage(icon, &hot);
    const int w = img.isNull() ? 32 : img.width();
    const int h = img.isNull() ? 32 : img.height();
    const POINT at = ImageOrigin(client, style, w, h);
    if (img.isNull() && SystemIconId(icon))
        DrawSystemIcon(dc, at.x, at.y, SystemIconId(icon));
    else
        DrawIconEx(dc, at.x, at.y, icon, w, h, 0, nullptr, DI_NORMAL);
}

void FillSys(HDC dc, const RECT& rc, int color)
{
    FillRect(dc, &rc, GetSysColorBrush(color));
}

void FrameSys(HDC dc, const RECT& rc, int color)
{
    FrameRect(dc, &rc, GetSysColorBrush(color));
}

void Paint(HWND hwnd, HDC dc, const StaticState& st)
{
    const DWORD style = StyleOf(hwnd);
    const DWORD type = style & SS_TYPEMASK;
    RECT client{};
    GetClientRect(hwnd, &client);
    switch (type) {
    case SS_BLACKRECT: FillSys(dc, client, COLOR_WINDOWFRAME); return;
    case SS_GRAYRECT: FillSys(dc, client, COLOR_3DSHADOW); return;
    case SS_WHITERECT: FillSys(dc, client, COLOR_3DHIGHLIGHT); return;
    default: break;
    }
    HBRUSH brush = ControlColor(hwnd, dc, WM_CTLCOLORSTATIC);
    if (!IsWindow(hwnd))
        return;
    if (type == SS_OWNERDRAW) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_STATIC;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
        dis.hwndItem = hwnd;
        dis.hDC = dc;
        dis.rcItem = client;
        SendMessage(GetParent(hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    FillRect(dc, &client, brush);
    RECT rc = client;
    if (style & SS_SUNKEN)
        DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    switch (type) {
    case SS_BLACKFRAME: FrameSys(dc, rc, COLOR_WINDOWFRAME); return;
    case SS_GRAYFRAME: FrameSys(dc, rc, COLOR_3DSHADOW); return;
    case SS_WHITEFRAME: FrameSys(dc, rc, COLOR_3DHIGHLIGHT); return;
    case SS_ETCHEDFRAME: DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT); return;
    case SS_ETCHEDHORZ: DrawEdge(dc, &rc, EDGE_ETCHED, BF_TOP); return;
    case SS_ETCHEDVERT: DrawEdge(dc, &rc, EDGE_ETCHED, BF_LEFT); return;
    case SS_BITMAP: DrawBitmap(dc, rc, style, st.bitmap); return;
    case SS_ICON: DrawIconImage(dc, rc, style, st.icon); return;
    default: break;
    }
    const std::string text = WindowTextOf(hwnd);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    SetBkMode(dc, TRANSPARENT);
    if (!IsWindowEnabled(hwnd))
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &rc, TextFormat(style));
    SelectObject(dc, oldFont);
}

// Without SS_CENTERIMAGE or SS_REALSIZEIMAGE the control takes the image's size.
void FitToImage(HWND hwnd, int w, int h)
{
    if (StyleOf(hwnd) & (SS_CENTERIMAGE | SS_REALSIZEIMAGE))
        return;
    SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SetImage(HWND hwnd, StaticState& st, UINT type, LPARAM handle)
{
    LRESULT old = 0;
    if (type == IMAGE_BITMAP) {
        old = reinterpret_cast<LRESULT>(st.bitmap);
        st.bitmap = reinterpret_cast<HBITMAP>(handle);
        BITMAP bm{};
        if (st.bitmap && GetObject(st.bitmap, sizeof bm, &bm) && (StyleOf(hwnd) & SS_TYPEMASK) == SS_BITMAP)
            FitToImage(hwnd, bm.bmWidth, bm.bmHeight);
    } else {
        old = reinterpret_cast<LRESULT>(st.icon);
        st.icon = reinterpret_cast<HICON>(handle);
        if (st.icon && (StyleOf(hwnd) & SS_TYPEMASK) == SS_ICON) {
            POINT hot{};
            const QImage img = IconImage(st.icon, &hot);
            FitToImage(hwnd, img.isNull() ? 32 : img.width(), img.isNull() ? 32 : img.height());
        }
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return old;
}

// A template's SS_ICON / SS_BITMAP text names the picture: "#id", a number or a name.
void LoadTemplateImage(HWND hwnd, StaticState& st, const char* text)
{
    if (!text || !*text)
        return;
    const char* digits = text[0] == '#' ? text + 1 : text;
    char* end = nullptr;
    const unsigned long id = std::strtoul(digits, &end, 10);
    const LPCSTR name = (end && *end == '\0' && end != digits) ? MAKEINTRESOURCE(id) : text;
    const DWORD type = StyleOf(hwnd) & SS_TYPEMASK;
    if (type == SS_ICON)
        SetImage(hwnd, st, IMAGE_ICON, reinterpret_cast<LPARAM>(LoadIcon(AfxGetResourceHandle(), name)));
    else
        SetImage(hwnd, st, IMAGE_BITMAP, reinterpret_cast<LPARAM>(LoadBitmap(AfxGetResourceHandle(), name)));
}

LRESULT StaticMessage(HWND hwnd, StaticState& st, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const DWORD style = StyleOf(hwnd);
    switch (msg) {
    case WM_CREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        const DWORD type = style & SS_TYPEMASK;
        if (cs && (type == SS_ICON || type == SS_BITMAP))
            LoadTemplateImage(hwnd, st, cs->lpszName);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc)
            Paint(hwnd, dc, st);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        if (style & SS_NOTIFY)
            NotifyParent(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (style & SS_NOTIFY)
            NotifyParent(hwnd, STN_DBLCLK);
        return 0;
    case WM_NCHITTEST:
        return (style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETFONT:
        st.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<DWORD>(lParam)))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(st.font);
    case WM_STYLECHANGED:
        ApplyMouseTransparency(hwnd, style);
        InvalidateRect(hwnd, nullptr, TRUE);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case STM_SETIMAGE:
        return SetImage(hwnd, st, static_cast<UINT>(wParam), lParam);
    case STM_GETIMAGE:
        return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(st.bitmap) : reinterpret_cast<LRESULT>(st.icon);
    case STM_SETICON:
        return SetImage(hwnd, st, IMAGE_ICON, static_cast<LPARAM>(wParam));
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(st.icon);
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    StaticState* st = StateOf(hwnd);
    if (!st)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return StaticMessage(hwnd, *st, msg, wParam, lParam);
}

}  // namespace

void RegisterStaticClass()
{
    BuiltinClass cls;
    cls.layerDrawn = true;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &StaticProc;
    cls.createWidget = [](HWND, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        auto* w = new StaticWidget(parent);
        w->setFocusPolicy(Qt::NoFocus);
        w->setAttribute(Qt::WA_TransparentForMouseEvents, !(static_cast<DWORD>(cs.style) & SS_NOTIFY));
        return w;
    };
    RegisterBuiltinClass("Static", std::move(cls));
}

}  // namespace qlafx

// ---- CStatic ----

IMPLEMENT_DYNAMIC(CStatic, CWnd)

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterDialogClasses();
    return CWnd::Create("Static", lpszText, dwStyle, rect, pParentWnd, nID);
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap)
{
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}

HBITMAP CStatic::GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }

HICON CStatic::SetIcon(HICON hIcon)
{
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
}

HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
