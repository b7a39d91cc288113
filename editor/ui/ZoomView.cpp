#include "editor/ui/ZoomView.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/AspectLockDlg.h"
#include "editor/ui/HintWnd.h"
#include "editor/ui/SkinDrawing.h"
#include "editor/shell/UITextTable.h"
#include "kit/ComplexImageUtils.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <string>

IMPLEMENT_DYNAMIC(ZoomView, CWnd)
IMPLEMENT_DYNAMIC(MergedZoomView, ZoomView)
IMPLEMENT_DYNAMIC(CClickEditView, MergedZoomView)
IMPLEMENT_DYNAMIC(COverlayView, ZoomView)

namespace {

constexpr UINT kMoveCommand = 8960;
constexpr UINT kZoomInCommand = 8961;
constexpr UINT kZoomOutCommand = 8962;
constexpr UINT kActualSizeCommand = 8963;
constexpr UINT kBestFitCommand = 8964;
constexpr int kButtonSize = 28;
constexpr int kKeyStep = 5;
constexpr int kMinEdge = 2;  // a dragged or shrunk side stays longer than this
constexpr UINT kExtendedKeyFlag = 0x0100;

// An extended key, or one of the keypad's block (scan codes 71 to 83), whose
// arrows move the selection just as the separate arrow keys do.
bool IsExtendedOrKeypad(UINT flags)
{
    const UINT scan = flags & 0xFF;
    return (flags & kExtendedKeyFlag) || (scan >= 71 && scan <= 83);
}

HCURSOR ResourceCursor(int id)
{
    return ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

void DrawResourceIcon(CDC* dc, int x, int y, int id)
{
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id)))
        ::DrawIconEx(dc->GetSafeHdc(), x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
}

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

// A white mark in a black frame, centred on (cx, cy).
void HandleMark(CDC* dc, int cx, int cy, int markW, int markH)
{
    const RECT frame{cx - (markW + 2) / 2, cy - (markH + 2) / 2, cx - (markW + 2) / 2 + markW + 2,
                     cy - (markH + 2) / 2 + markH + 2};
    dc->FillSolidRect(&frame, RGB(0, 0, 0));
    const RECT mark{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    dc->FillSolidRect(&mark, RGB(255, 255, 255));
}

}  // namespace

const double ZoomView::kZoomLadder[kLadderSteps] = {0.1, 0.2, 0.25, 0.33, 0.5, 0.66, 1, 2,  3,  4,
                                                    5,   6,   7,    8,    9,   10,   11, 12, 13, 14};

BEGIN_MESSAGE_MAP(ZoomView, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEWHEEL()
    ON_WM_KEYDOWN()
    ON_WM_TIMER()
    ON_WM_GETDLGCODE()
    ON_COMMAND(kMoveCommand, OnMoveCommand)
    ON_COMMAND(kZoomInCommand, OnZoomInForward)
    ON_COMMAND(kZoomOutCommand, OnZoomOutForward)
    ON_COMMAND(kActualSizeCommand, OnActualSizeCommand)
    ON_COMMAND(kBestFitCommand, OnBestFitCommand)
    QLAFX_WM(WM_ERASEBKGND, p_->OnEraseBkgndForward(QLAFX_DC(c_.wParam)))
    QLAFX_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClkForward)
    QLAFX_MOUSE(WM_RBUTTONDOWN, OnRButtonDownForward)
    QLAFX_MOUSE(WM_LBUTTONDOWN, OnLButtonDownForward)
    QLAFX_WM(WM_SETCURSOR, p_->OnSetCursorForward(QLAFX_WND(c_.wParam), QLAFX_LO(c_.lParam), QLAFX_HI(c_.lParam)))
END_MESSAGE_MAP()

ZoomView::ZoomView() = default;

ZoomView::~ZoomView()
{
    for (CZoomToolButton* b : {&m_moveButton, &m_zoomInButton, &m_zoomOutButton, &m_actualButton, &m_fitButton})
        if (b->m_hWnd)
            b->DestroyWindow();
    if (m_hWnd)
        DestroyWindow();
}

BOOL ZoomView::Create(const char* name, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CWnd::Create(AfxRegisterWndClass(CS_DBLCLKS), name, WS_CHILD | WS_VISIBLE, rect, parent, id))
        return FALSE;
    struct ToolButtonPicture {
        CZoomToolButton* button;
        const char* picture;
        UINT id;
        int tipText;
    };
    const ToolButtonPicture buttons[] = {
        {&m_moveButton, "hand.bmp", 0xFF2300, 0},    {&m_zoomInButton, "zoomin.bmp", 0xFF2301, 1},
        {&m_zoomOutButton, "zoomout.bmp", 0xFF2302, 2}, {&m_fitButton, "bestfit.bmp", 0xFF2304, 4},
        {&m_actualButton, "zoom1.bmp", 0xFF2303, 3},
    };
    const std::string skin = std::string(theAppSettings.m_programFolder) + "skin/";
    for (const ToolButtonPicture& b : buttons) {
        const RECT r{0, 0, kButtonSize, kButtonSize};
        if (!b.button->Create("", r, this, b.id, (skin + b.picture).c_str(), theUITextTable.GetText(b.tipText), 0))
            return FALSE;
        b.button->SetBkColor(m_background);
    }
    SetTimer(kHintTimer, 200);
    SetToolMode(kToolMove);
    m_buttonsCreated = TRUE;
    RECT client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.right, client.bottom);
    RecalcLayout();
    std::snprintf(m_name, sizeof m_name, "%s", name ? name : "");
    return TRUE;
}

double ZoomView::DevicePixelRatio() const
{
    return m_hWnd ? qlafx::DevicePixelRatioOfWindow(m_hWnd) : 1.0;
}

// Logical units per photo pixel: the zoom is photo pixels per device pixel,
// so 100 % shows one photo pixel per device pixel on a HiDPI screen too.
double ZoomView::ViewScale() const
{
    return m_zoom / DevicePixelRatio();
}

bool ZoomView::HasPixels()
{
    return GetBits() && GetImageWidth() > 0 && GetImageHeight() > 0;
}

void ZoomView::SetImage(CQLImage* image, BOOL redraw)
{
    m_image = image;
    ZoomToFit(redraw);
    RecalcLayout();
}

void ZoomView::ShowToolButtons(BOOL show)
{
    m_showButtons = show;
    RECT client{};
    if (m_hWnd)
        GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.right, client.bottom);
    if (show && m_buttonsCreated)
        for (CZoomToolButton* b : {&m_moveButton, &m_zoomInButton, &m_zoomOutButton, &m_actualButton, &m_fitButton})
            b->ShowWindow(SW_SHOW);
    RecalcLayout();
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ZoomView::SetSmoothScaling(BOOL on)
{
    m_smooth = on;
    RepaintNow();
}

void ZoomView::RecalcLayout()
{
    if (!m_buttonsCreated)
        return;
    CZoomToolButton* all[] = {&m_moveButton, &m_zoomInButton, &m_zoomOutButton, &m_actualButton, &m_fitButton};
    if (!m_showButtons) {
        for (CZoomToolButton* b : all)
            b->ShowWindow(SW_HIDE);
        return;
    }
    const BOOL enable = HasPixels() ? TRUE : FALSE;
    for (CZoomToolButton* b : all)
        b->EnableWindow(enable);
    if (enable) {
        m_moveButton.SetState(m_toolMode == kToolMove);
        m_zoomInButton.SetState(m_toolMode == kToolZoomIn);
        m_zoomOutButton.SetState(m_toolMode == kToolZoomOut);
    }
}

void ZoomView::OnSize(UINT, int cx, int cy)
{
    m_imageArea = RECT{0, m_showButtons ? kStripHeight : 0, cx, cy};
    if (m_imageArea.bottom < m_imageArea.top)
        m_imageArea.bottom = m_imageArea.top;
    if (HasPixels())
        KeepScrollInRange();
    if (!m_buttonsCreated || !m_showButtons)
        return;
    const std::pair<CZoomToolButton*, int> places[] = {
        {&m_zoomInButton, 2}, {&m_zoomOutButton, 30}, {&m_moveButton, 58}, {&m_actualButton, 86}, {&m_fitButton, 114}};
    for (const auto& [button, x] : places)
        button->MoveWindow(x, 0, kButtonSize, kButtonSize);
}

BOOL ZoomView::ClientToImage(POINT* p)
{
    const BOOL inside = PtInRect(&m_imageArea, *p);
    p->x = static_cast<int>((p->x - m_imageArea.left) / ViewScale()) + m_scrollX;
    p->y = static_cast<int>((p->y - m_imageArea.top) / ViewScale()) + m_scrollY;
    return inside;
}

BOOL ZoomView::ImageToClient(POINT* p)
{
    p->x = static_cast<int>((p->x - m_scrollX) * ViewScale()) + m_imageArea.left;
    p->y = static_cast<int>((p->y - m_scrollY) * ViewScale()) + m_imageArea.top;
    return PtInRect(&m_imageArea, *p);
}

BOOL ZoomView::ImagePointAt(CPoint client, POINT* image)
{
    POINT p = client;
    if (!ClientToImage(&p) || p.x < 0 || p.y < 0 || p.x >= GetImageWidth() || p.y >= GetImageHeight())
        return FALSE;
    *image = p;
    return TRUE;
}

BYTE* ZoomView::GetBits()
{
    if (!m_image)
        return nullptr;
    UINT w = 0, h = 0;
    m_image->GetSize(&w, &h);
    return w && h ? m_image->GetBuffer(0, 0) : nullptr;
}

int ZoomView::GetImageWidth()
{
    UINT w = 0, h = 0;
    if (m_image)
        m_image->GetSize(&w, &h);
    return static_cast<int>(w);
}

int ZoomView::GetImageHeight()
{
    UINT w = 0, h = 0;
    if (m_image)
        m_image->GetSize(&w, &h);
    return static_cast<int>(h);
}

void ZoomView::ZoomToFit(BOOL redraw)
{
    if (!HasPixels())
        return;
    // The zoom counts photo pixels per device pixel.
    const double fitX = RectWidth(m_imageArea) * DevicePixelRatio() / GetImageWidth();
    const double fitY = RectHeight(m_imageArea) * DevicePixelRatio() / GetImageHeight();
    m_zoom = std::min({fitX, fitY, 1.0});
    if (m_zoom <= 0)
        m_zoom = kZoomLadder[0];  // an area of no size: any zoom shows nothing
    KeepScrollInRange();
    RecalcLayout();
    if (redraw && m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    OnZoomChanged();
}

void ZoomView::ZoomInAt(int x, int y)
{
    const double* next = std::upper_bound(kZoomLadder, kZoomLadder + kLadderSteps, m_zoom);
    if (next == kZoomLadder + kLadderSteps || *next == m_zoom) {
        ::MessageBeep(static_cast<UINT>(-1));
        return;
    }
    m_zoom = *next;
    m_scrollX = x - static_cast<int>(RectWidth(m_imageArea) / 2 / ViewScale());
    m_scrollY = y - static_cast<int>(RectHeight(m_imageArea) / 2 / ViewScale());
    RepaintNow();
    OnZoomChanged();
}

void ZoomView::ZoomOutAt(int x, int y)
{
    const double* first = std::lower_bound(kZoomLadder, kZoomLadder + kLadderSteps, m_zoom);
    if (first == kZoomLadder) {
        ::MessageBeep(static_cast<UINT>(-1));
        return;
    }
    m_zoom = *(first - 1);
    m_scrollX = x - static_cast<int>(RectWidth(m_imageArea) / 2 / ViewScale());
    m_scrollY = y - static_cast<int>(RectHeight(m_imageArea) / 2 / ViewScale());
    RepaintNow();
    OnZoomChanged();
}

void ZoomView::ZoomAtCenter(BOOL in)
{
    POINT c{(m_imageArea.left + m_imageArea.right) / 2, (m_imageArea.top + m_imageArea.bottom) / 2};
    ClientToImage(&c);
    in ? ZoomInAt(c.x, c.y) : ZoomOutAt(c.x, c.y);
}

void ZoomView::SaveZoomState()
{
    m_savedZoom = m_zoom;
    m_savedScrollX = m_scrollX;
    m_savedScrollY = m_scrollY;
}

void ZoomView::RestoreZoomState()
{
    m_zoom = m_savedZoom;
    m_scrollX = m_savedScrollX;
    m_scrollY = m_savedScrollY;
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ZoomView::GetScrollZoom(int pos[2], double* zoom) const
{
    pos[0] = m_scrollX;
    pos[1] = m_scrollY;
    *zoom = m_zoom;
}

void ZoomView::SetScrollZoom(int x, int y, double zoom)
{
    m_scrollX = x;
    m_scrollY = y;
    if (zoom > 0)
        m_zoom = zoom;
    RepaintNow();
}

void ZoomView::CopyViewFrom(ZoomView* other)
{
    if (!other || other == this)
        return;
    m_zoom = other->m_zoom;
    m_scrollX = other->m_scrollX;
    m_scrollY = other->m_scrollY;
    RepaintNow();
}

void ZoomView::ClearSelection()
{
    m_selection = RECT{};
    m_selectionClient = RECT{};
    m_hit = kHitNone;
    m_selectionActive = FALSE;
}

void ZoomView::SetSelection(int left, int top, int right, int bottom, BOOL active)
{
    m_selection = RECT{left, top, right, bottom};
    m_selectionActive = active;
    KeepSelectionInside();
}

void ZoomView::GetSelection(RECT* rect) const
{
    *rect = m_selection;
}

void ZoomView::SetAspectLock(BOOL lock, float ratio)
{
    m_aspectLock = lock;
    if (ratio > 0)
        m_aspectRatio = ratio;
}

void ZoomView::SetNotifyMode(BOOL on)
{
    SetToolMode(on ? kToolNotify : kToolMove);
}

void ZoomView::SetToolMode(int mode)
{
    m_toolMode = mode;
}

void ZoomView::OnZoomChanged()
{
    Notify(kZoomNoticeChanged, nullptr);
}

void ZoomView::Notify(WPARAM code, void* data)
{
    m_notice.view = this;
    m_notice.data = data;
    if (CWnd* parent = m_hWnd ? GetParent() : nullptr)
        parent->SendMessage(WM_ZOOMVIEW_NOTIFY, code, reinterpret_cast<LPARAM>(&m_notice));
}

void ZoomView::RepaintNow()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    Paint(&dc, FALSE, 0);
}

void ZoomView::Paint(CDC* dc, BOOL invalidateOnly, int)
{
    if (invalidateOnly) {
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
    }
    if (HasPixels())
        PaintImage(dc);
    else
        dc->FillSolidRect(&m_imageArea, m_background);
    if (m_showButtons)
        DrawToolStrip(dc);
}

void ZoomView::KeepScrollInRange()
{
    if (RectWidth(m_imageArea) <= 0 || RectHeight(m_imageArea) <= 0 || ViewScale() <= 0)
        return;
    auto keep = [this](int* scroll, int imageSize, int areaSize) {
        const double shown = areaSize / ViewScale();  // image pixels across the area
        if (imageSize * ViewScale() <= areaSize)
            *scroll = -static_cast<int>((shown - imageSize) / 2);
        else
            *scroll = std::clamp(*scroll, 0, imageSize - static_cast<int>(shown));
    };
    keep(&m_scrollX, GetImageWidth(), RectWidth(m_imageArea));
    keep(&m_scrollY, GetImageHeight(), RectHeight(m_imageArea));
}

void ZoomView::PaintImage(CDC* dc)
{
    const int w = GetImageWidth(), h = GetImageHeight();
    BYTE* bits = GetBits();
    if (!bits || w <= 0 || h <= 0 || RectWidth(m_imageArea) <= 0 || RectHeight(m_imageArea) <= 0)
        return;
    // 1. Only the image pixels that reach the area are scaled.
    KeepScrollInRange();
    const int shownX = static_cast<int>(std::ceil(RectWidth(m_imageArea) / ViewScale())) + 1;
    const int shownY = static_cast<int>(std::ceil(RectHeight(m_imageArea) / ViewScale())) + 1;
    const RECT source{std::max(m_scrollX, 0), std::max(m_scrollY, 0), std::min(w, m_scrollX + shownX),
                      std::min(h, m_scrollY + shownY)};
    POINT destTopLeft{source.left, source.top}, destBottomRight{source.right, source.bottom};
    ImageToClient(&destTopLeft);
    ImageToClient(&destBottomRight);
    const RECT dest{destTopLeft.x, destTopLeft.y, destBottomRight.x, destBottomRight.y};

    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&m_imageArea);
    // 2. The margins around the picture.
    {
        const int whole = ViewScale() == std::floor(ViewScale());
        RECT covered = dest;
        covered.bottom -= whole ? 1 : static_cast<int>(ViewScale() - 1);
        const int inner = dc->SaveDC();
        dc->ExcludeClipRect(&covered);
        dc->FillSolidRect(&m_imageArea, m_background);
        dc->RestoreDC(inner);
    }
    // 3. Stretch mode.
    if (m_smooth)
        dc->SetStretchBltMode(HALFTONE);
    else if (m_zoom < 1)
        dc->SetStretchBltMode(COLORONCOLOR);
    // 4. The image rows as a top-down DIB; its source y counts from the bottom row.
    if (RectWidth(source) > 0 && RectHeight(source) > 0) {
        const BITMAPINFO info = [&] {
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            bi.bmiHeader.biWidth = w;
            bi.bmiHeader.biHeight = -h;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            bi.bmiHeader.biCompression = BI_RGB;
            return bi;
        }();
        if (m_zoom == 1.0 && DevicePixelRatio() == 1) {
            // 1:1 needs no scaler: the visible rows are copied.
            CopyDibRows(dc, dest.left, dest.top, RectWidth(source), RectHeight(source), source.left, source.top, bits,
                        info, h);
        } else {
            // On a HiDPI screen the destination's whole logical units decide
            // the source extent, so the picture keeps its exact scale (1:1 at
            // 100 %); what lies past the photo's edge is clipped off in
            // proportion.
            int sourceW = RectWidth(source), sourceH = RectHeight(source);
            if (DevicePixelRatio() != 1) {
                sourceW = static_cast<int>(std::lround(RectWidth(dest) / ViewScale()));
                sourceH = static_cast<int>(std::lround(RectHeight(dest) / ViewScale()));
            }
            ::StretchDIBits(dc->GetSafeHdc(), dest.left, dest.top, RectWidth(dest), RectHeight(dest), source.left,
                            h - source.top - sourceH, sourceW, sourceH, bits, &info, DIB_RGB_COLORS, SRCCOPY);
        }
    }
    const int keptMode = dc->GetStretchBltMode();
    dc->RestoreDC(saved);
    dc->SetStretchBltMode(keptMode);
    // 5. Remember what was drawn; the selection over it.
    m_lastDest = dest;
    m_lastSource = source;
    if (!IsRectEmpty(&m_selection)) {
        POINT tl{m_selection.left, m_selection.top}, br{m_selection.right, m_selection.bottom};
        ImageToClient(&tl);
        ImageToClient(&br);
        m_selectionClient = RECT{tl.x, tl.y, br.x, br.y};
        const int inner = dc->SaveDC();
        dc->IntersectClipRect(&m_imageArea);
        CBrush black, white;
        black.CreateSolidBrush(RGB(0, 0, 0));
        white.CreateSolidBrush(RGB(255, 255, 255));
        dc->FrameRect(&m_selectionClient, &black);
        RECT in = m_selectionClient;
        InflateRect(&in, -1, -1);
        dc->FrameRect(&in, &white);
        DrawSelectionDecorations(dc, m_selectionClient.left, m_selectionClient.top, m_selectionClient.right,
                                 m_selectionClient.bottom);
        dc->RestoreDC(inner);
    }
    if (m_navigator && m_navigator->m_hWnd)
        m_navigator->Invalidate(FALSE);
}

void ZoomView::DrawSelectionDecorations(CDC* dc, int left, int top, int right, int bottom)
{
    const int cx = (left + right) / 2, cy = (top + bottom) / 2;
    HandleMark(dc, left, cy, 3, 6);
    HandleMark(dc, right - 1, cy, 3, 6);
    HandleMark(dc, cx, top, 6, 3);
    HandleMark(dc, cx, bottom - 1, 6, 3);
    DrawResourceIcon(dc, right - 16, bottom - 16, 164);
    if (m_showIcons) {
        DrawResourceIcon(dc, right - 60, bottom - 16, 166);
        DrawResourceIcon(dc, right - 42, bottom - 16, 165);
    }
    // Golden-section guides.
    CPen guide;
    guide.CreatePen(PS_DOT, 1, RGB(255, 255, 255));
    CPen* old = dc->SelectObject(&guide);
    const int w = right - left, h = bottom - top;
    for (double f : {0.382, 0.618}) {
        const int x = left + static_cast<int>(w * f), y = top + static_cast<int>(h * f);
        dc->MoveTo(x, top + 1);
        dc->LineTo(x, bottom - 1);
        dc->MoveTo(left + 1, y);
        dc->LineTo(right - 1, y);
    }
    dc->SelectObject(old);
}

void ZoomView::DrawToolStrip(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    const RECT strip{0, 0, client.right, std::min<LONG>(kStripHeight, client.bottom)};
    dc->FillSolidRect(&strip, m_stripColour);
    CPen line;
    line.CreatePen(PS_SOLID, 1, RGB(48, 48, 48));
    CPen* oldPen = dc->SelectObject(&line);
    dc->MoveTo(0, kStripHeight - 1);
    dc->LineTo(client.right, kStripHeight - 1);
    for (int x : {100, static_cast<int>(client.right) - 50}) {
        dc->MoveTo(x, 0);
        dc->LineTo(x, kStripHeight);
    }
    dc->SelectObject(oldPen);
    if (!m_stripFont.GetSafeHandle())
        CreatePixelFont(&m_stripFont, "Arial", 16, FALSE);
    CFont* oldFont = dc->SelectObject(&m_stripFont);
    dc->SetTextColor(RGB(220, 220, 220));
    dc->SetBkColor(m_stripColour);
    dc->SetBkMode(OPAQUE);
    char percent[32];
    std::snprintf(percent, sizeof percent, "%d%%", static_cast<int>(m_zoom * 100));
    dc->TextOut(client.right - 45, 7, percent);
    const RECT nameClip{client.left + 145, 0, client.right - 100, kStripHeight};
    if (nameClip.right > nameClip.left)
        dc->ExtTextOut(client.left + 145, 7, ETO_CLIPPED, &nameClip, m_name);
    dc->SelectObject(oldFont);
}

void ZoomView::OnPaint()
{
    CPaintDC dc(this);
    Paint(&dc, FALSE, 0);
}

BOOL ZoomView::EraseBackground(CDC*)
{
    return TRUE;  // the paint covers the whole client area
}

int ZoomView::GetPixelAt(POINT point, BOOL average)
{
    POINT p = point;
    ClientToImage(&p);
    const int w = GetImageWidth(), h = GetImageHeight();
    const BYTE* bits = GetBits();
    if (!bits || p.x < 0 || p.y < 0 || p.x >= w || p.y >= h)
        return -1;
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return bits + (static_cast<size_t>(y) * w + x) * 4;
    };
    if (!average) {
        const BYTE* px = at(p.x, p.y);
        return static_cast<int>(RGB(px[2], px[1], px[0]));
    }
    int sum[3] = {};
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const BYTE* px = at(p.x + dx, p.y + dy);
            sum[0] += px[0];
            sum[1] += px[1];
            sum[2] += px[2];
        }
    return static_cast<int>(RGB(sum[2] / 49, sum[1] / 49, sum[0] / 49));
}

int ZoomView::HitTest(CPoint p) const
{
    const RECT& r = m_selectionClient;
    if (IsRectEmpty(&r))
        return kHitNone;
    if (m_showIcons) {
        const RECT confirm{r.right - 60, r.bottom - 16, r.right - 44, r.bottom};
        const RECT lock{confirm.left + 18, confirm.top, confirm.right + 18, confirm.bottom};
        if (PtInRect(&confirm, p))
            return kHitConfirmIcon;
        if (PtInRect(&lock, p))
            return kHitLockIcon;
    }
    const RECT corner{r.right - 8, r.bottom - 8, r.right, r.bottom};
    if (PtInRect(&corner, p))
        return kHitCorner;
    const bool spanY = p.y >= r.top - kMinEdge && p.y <= r.bottom + kMinEdge;
    const bool spanX = p.x >= r.left - kMinEdge && p.x <= r.right + kMinEdge;
    if (spanY && std::abs(p.x - r.left) <= kMinEdge)
        return kHitLeft;
    if (spanY && std::abs(p.x - r.right) <= kMinEdge)
        return kHitRight;
    if (spanX && std::abs(p.y - r.top) <= kMinEdge)
        return kHitTop;
    if (spanX && std::abs(p.y - r.bottom) <= kMinEdge)
        return kHitBottom;
    if (PtInRect(&r, p))
        return kHitInside;
    return kHitNone;
}

void ZoomView::KeepSelectionInside()
{
    const int w = GetImageWidth(), h = GetImageHeight();
    RECT& s = m_selection;
    if (RectWidth(s) > w)
        s.right = s.left + w;
    if (RectHeight(s) > h)
        s.bottom = s.top + h;
    if (s.right > w)
        OffsetRect(&s, w - s.right, 0);
    if (s.bottom > h)
        OffsetRect(&s, 0, h - s.bottom);
    if (s.left < 0)
        OffsetRect(&s, -s.left, 0);
    if (s.top < 0)
        OffsetRect(&s, 0, -s.top);
}

void ZoomView::FitSelectionToAspect(BOOL fromHeight)
{
    if (!m_aspectLock || m_aspectRatio <= 0)
        return;
    const double r = m_aspectRatio;
    const int imageW = GetImageWidth(), imageH = GetImageHeight();
    int w = RectWidth(m_selection), h = RectHeight(m_selection);
    if (fromHeight)
        w = static_cast<int>(h * r);
    else
        h = static_cast<int>(w / r);
    if (w > imageW) {
        w = imageW;
        h = static_cast<int>(w / r);
    }
    if (h > imageH) {
        h = imageH;
        w = static_cast<int>(h * r);
    }
    m_selection.right = m_selection.left + w;
    m_selection.bottom = m_selection.top + h;
    KeepSelectionInside();
}

void ZoomView::DragSelection(CPoint point)
{
    POINT p = point;
    ClientToImage(&p);
    RECT& s = m_selection;
    BOOL edgeMoved = FALSE;
    switch (m_hit) {
    case kHitCorner:
        if (p.x > s.left + kMinEdge && p.y > s.top + kMinEdge) {
            s.right = p.x;
            s.bottom = p.y;
        }
        break;
    case kHitLeft:
        if (p.x < s.right - kMinEdge)
            s.left = p.x;
        break;
    case kHitRight:
        if (p.x > s.left + kMinEdge)
            s.right = p.x;
        break;
    case kHitTop:
        if (p.y < s.bottom - kMinEdge) {
            s.top = p.y;
            edgeMoved = TRUE;
        }
        break;
    case kHitBottom:
        if (p.y > s.top + kMinEdge) {
            s.bottom = p.y;
            edgeMoved = TRUE;
        }
        break;
    case kHitInside: {
        s = m_dragStartRect;
        OffsetRect(&s, static_cast<int>((point.x - m_dragStartPoint.x) / ViewScale()),
                   static_cast<int>((point.y - m_dragStartPoint.y) / ViewScale()));
        KeepSelectionInside();
        break;
    }
    default:
        return;
    }
    s.left = std::max<LONG>(s.left, 0);
    s.top = std::max<LONG>(s.top, 0);
    s.right = std::min<LONG>(s.right, GetImageWidth());
    s.bottom = std::min<LONG>(s.bottom, GetImageHeight());
    FitSelectionToAspect(edgeMoved);
    RepaintNow();
}

void ZoomView::LeftButtonDown(UINT, CPoint point)
{
    if (m_selectionActive && m_hit != kHitNone) {
        if (m_hit == kHitConfirmIcon) {
            Notify(kZoomNoticeConfirm, nullptr);
        } else if (m_hit == kHitLockIcon) {
            EditAspectLock();
        } else {
            m_dragStartPoint = point;
            m_dragStartRect = m_selection;
            m_dragging = TRUE;
            SetCapture();
        }
        return;
    }
    if (PtInRect(&m_imageArea, point) && HasPixels()) {
        POINT image = point;
        ClientToImage(&image);
        switch (m_toolMode) {
        case kToolMove:
            m_panStartPoint = point;
            m_panStartScrollX = m_scrollX;
            m_panStartScrollY = m_scrollY;
            m_panning = TRUE;
            SetCapture();
            break;
        case kToolZoomIn:
            ZoomInAt(image.x, image.y);
            break;
        case kToolZoomOut:
            ZoomOutAt(image.x, image.y);
            break;
        case kToolNotify:
            m_noticePoint = point;
            Notify(kZoomNoticeButtonDown, &m_noticePoint);
            break;
        default:
            break;
        }
    }
    Default();
}

void ZoomView::OnMouseMove(UINT, CPoint point)
{
    if (m_panning) {
        m_scrollX = m_panStartScrollX - static_cast<int>((point.x - m_panStartPoint.x) / ViewScale());
        m_scrollY = m_panStartScrollY - static_cast<int>((point.y - m_panStartPoint.y) / ViewScale());
        RepaintNow();
        OnZoomChanged();
    } else if (m_dragging) {
        DragSelection(point);
    } else if (m_selectionActive) {
        m_hit = HitTest(point);
    }
    if (m_toolMode == kToolNotify) {
        m_noticePoint = point;
        Notify(kZoomNoticeMouseMove, &m_noticePoint);
    }
}

void ZoomView::OnLButtonUp(UINT, CPoint point)
{
    if (m_panning || m_dragging) {
        m_panning = FALSE;
        m_dragging = FALSE;
        ::ReleaseCapture();
    }
    if (m_toolMode == kToolNotify) {
        m_noticePoint = point;
        Notify(kZoomNoticeButtonUp, &m_noticePoint);
    }
}

void ZoomView::RightButtonDown(UINT, CPoint point)
{
    if (!PtInRect(&m_imageArea, point))
        return;
    POINT image = point;
    ClientToImage(&image);
    if (m_toolMode == kToolZoomIn && HasPixels())
        ZoomOutAt(image.x, image.y);
    else if (m_toolMode == kToolZoomOut && HasPixels())
        ZoomInAt(image.x, image.y);
    else if (m_toolMode == kToolNotify) {
        m_noticePoint = point;
        Notify(kZoomNoticeRightDown, &m_noticePoint);
    }
}

void ZoomView::DoubleClick(UINT, CPoint point)
{
    if (m_selectionActive && !IsRectEmpty(&m_selectionClient) && PtInRect(&m_selectionClient, point))
        Notify(kZoomNoticeConfirm, nullptr);
}

// The wheel zooms about the pointer: the photo point under it stays put
// (as far as the photo can move), also over the margin around a small photo.
BOOL ZoomView::OnMouseWheel(UINT, short delta, CPoint screenPoint)
{
    POINT client = screenPoint;
    ScreenToClient(&client);
    if (!HasPixels() || !PtInRect(&m_imageArea, client))
        return TRUE;
    KeepScrollInRange();  // the scroll the picture is shown with
    const double offsetX = client.x - m_imageArea.left, offsetY = client.y - m_imageArea.top;
    const double imageX = offsetX / ViewScale() + m_scrollX, imageY = offsetY / ViewScale() + m_scrollY;
    const double* step = delta > 0 ? std::upper_bound(kZoomLadder, kZoomLadder + kLadderSteps, m_zoom)
                                   : std::lower_bound(kZoomLadder, kZoomLadder + kLadderSteps, m_zoom);
    if (delta > 0 ? step == kZoomLadder + kLadderSteps : step == kZoomLadder) {
        ::MessageBeep(static_cast<UINT>(-1));
        return TRUE;
    }
    m_zoom = delta > 0 ? *step : *(step - 1);
    m_scrollX = static_cast<int>(std::lround(imageX - offsetX / ViewScale()));
    m_scrollY = static_cast<int>(std::lround(imageY - offsetY / ViewScale()));
    RepaintNow();
    OnZoomChanged();
    return TRUE;
}

BOOL ZoomView::MoveSelectionByKey(UINT key, BOOL shift)
{
    RECT& s = m_selection;
    const int w = GetImageWidth(), h = GetImageHeight();
    if (shift) {
        switch (key) {
        case VK_LEFT:
            if (RectWidth(s) > kMinEdge)
                --s.right;
            FitSelectionToAspect(FALSE);
            return TRUE;
        case VK_UP:
            if (RectHeight(s) > kMinEdge)
                --s.bottom;
            FitSelectionToAspect(TRUE);
            return TRUE;
        case VK_RIGHT:
            if (RectWidth(s) < w)
                ++s.right;
            KeepSelectionInside();
            FitSelectionToAspect(FALSE);
            return TRUE;
        case VK_DOWN:
            if (RectHeight(s) < h)
                ++s.bottom;
            KeepSelectionInside();
            FitSelectionToAspect(TRUE);
            return TRUE;
        }
        return FALSE;
    }
    switch (key) {
    case VK_LEFT:
        OffsetRect(&s, -std::min<int>(kKeyStep, s.left), 0);
        return TRUE;
    case VK_RIGHT:
        OffsetRect(&s, std::min<int>(kKeyStep, w - s.right), 0);
        return TRUE;
    case VK_UP:
        OffsetRect(&s, 0, -std::min<int>(kKeyStep, s.top));
        return TRUE;
    case VK_DOWN:
        OffsetRect(&s, 0, std::min<int>(kKeyStep, h - s.bottom));
        return TRUE;
    }
    return FALSE;
}

void ZoomView::OnKeyDown(UINT key, UINT, UINT flags)
{
    const BOOL shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (m_toolMode == kToolNotify) {
        const uintptr_t code = (key & 0xFF) | (IsExtendedOrKeypad(flags) ? 0x100 : 0) | (shift ? 0x200 : 0);
        Notify(kZoomNoticeKeyDown, reinterpret_cast<void*>(code));
        return;
    }
    if (!m_selectionActive || IsRectEmpty(&m_selection))
        return;
    if (key == VK_RETURN) {
        Notify(kZoomNoticeConfirm, nullptr);
        return;
    }
    if (IsExtendedOrKeypad(flags) && MoveSelectionByKey(key, shift))
        RepaintNow();
}

UINT ZoomView::OnGetDlgCode()
{
    return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

BOOL ZoomView::SetViewCursor(CWnd*, UINT, UINT)
{
    SetFocus();
    if (!HasPixels())
        return static_cast<BOOL>(Default());
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    if (!PtInRect(&m_imageArea, p)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    }
    if (m_selectionActive && m_hit != kHitNone) {
        static const LPCSTR sizing[] = {IDC_SIZENWSE, IDC_SIZEWE, IDC_SIZEWE, IDC_SIZENS, IDC_SIZENS, IDC_SIZEALL};
        ::SetCursor(m_hit <= kHitLockIcon ? ResourceCursor(131) : ::LoadCursor(nullptr, sizing[m_hit - kHitCorner]));
        return TRUE;
    }
    if (m_hoverHint && g_hintWnd && g_hintWnd->m_hWnd && !g_hintWnd->IsWindowVisible()) {
        RECT window;
        GetWindowRect(&window);
        g_hintWnd->ShowAt(window.left, window.top, m_name, nullptr);
    }
    switch (m_toolMode) {
    case kToolMove:
        ::SetCursor(ResourceCursor(136));
        break;
    case kToolZoomIn:
        ::SetCursor(ResourceCursor(137));
        break;
    case kToolZoomOut:
        ::SetCursor(ResourceCursor(138));
        break;
    case kToolNotify:
        Notify(kZoomNoticeSetCursor, nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}

void ZoomView::OnTimer(UINT_PTR id)
{
    if (id != kHintTimer || !m_hoverHint || !g_hintWnd || !g_hintWnd->m_hWnd || !g_hintWnd->IsWindowVisible())
        return;
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    if (!PtInRect(&m_imageArea, p))
        CHintWnd::HideWnd(g_hintWnd);
}

void ZoomView::OnMoveCommand()
{
    SetToolMode(kToolMove);
    RecalcLayout();
}

void ZoomView::ZoomInCommand()
{
    SetToolMode(kToolZoomIn);
    RecalcLayout();
    if (m_buttonsCreated && (m_zoomInButton.GetState() & BST_PUSHED))
        ZoomAtCenter(TRUE);
}

void ZoomView::ZoomOutCommand()
{
    SetToolMode(kToolZoomOut);
    RecalcLayout();
    if (m_buttonsCreated && (m_zoomOutButton.GetState() & BST_PUSHED))
        ZoomAtCenter(FALSE);
}

void ZoomView::OnActualSizeCommand()
{
    m_zoom = 1.0;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    OnZoomChanged();
}

void ZoomView::OnBestFitCommand()
{
    ZoomToFit(FALSE);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ZoomView::EditAspectLock()
{
    const float current = RectHeight(m_selection) > 0
                              ? static_cast<float>(RectWidth(m_selection)) / static_cast<float>(RectHeight(m_selection))
                              : 1.0f;
    CAspectLockDlg dlg(this);
    dlg.m_lockRatio = m_aspectLock;
    dlg.m_currentRatio = current;
    dlg.m_lockedRatio = current;
    if (dlg.DoModal() != IDOK)
        return;
    SetAspectLock(dlg.m_lockRatio, dlg.m_lockedRatio);
    m_aspectLock = dlg.m_lockRatio;
    FitSelectionToAspect(FALSE);
    RepaintNow();
}

// ---- MergedZoomView ----

void MergedZoomView::SetImage(CQLImage* image, BOOL redraw)
{
    m_image = image;
    UINT w = 0, h = 0;
    if (image)
        image->GetSize(&w, &h);
    if (m_mergedDisplay && w && h)
        RebuildMergedCopy();
    ZoomToFit(redraw);
    RecalcLayout();
}

void MergedZoomView::EnableMergedDisplay(BOOL on)
{
    m_mergedDisplay = on;
    RebuildMergedCopy();
}

void MergedZoomView::RebuildMergedCopy()
{
    CComplexImageUtils* kit = m_layeredSource ? *m_layeredSource : nullptr;
    UINT w = 0, h = 0;
    if (m_image)
        m_image->GetSize(&w, &h);
    if (!kit || !w || !h)
        return;
    const INTERNAL_IMAGE edited{static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), m_image->GetBuffer(0, 0)};
    const INTERNAL_IMAGE merged = kit->MaybeChanged(edited);
    if (!IsSoundImage(merged))
        return;
    // Create keeps the buffer when the size is unchanged.
    if (m_merged.Create(merged.width, merged.height) != 0)
        return;
    const size_t rowBytes = static_cast<size_t>(merged.width) * 4;
    for (int y = 0; y < merged.height; ++y)
        std::memcpy(m_merged.GetBuffer(0, y), merged.bits + rowBytes * y, rowBytes);
}

void MergedZoomView::PaintImage(CDC* dc)
{
    if (m_mergedDisplay)
        RebuildMergedCopy();
    ZoomView::PaintImage(dc);
}

BYTE* MergedZoomView::GetBits()
{
    if (!m_mergedDisplay)
        return ZoomView::GetBits();
    UINT w = 0, h = 0;
    m_merged.GetSize(&w, &h);
    return w && h ? m_merged.GetBuffer(0, 0) : nullptr;
}

int MergedZoomView::GetImageWidth()
{
    if (!m_mergedDisplay)
        return ZoomView::GetImageWidth();
    UINT w = 0, h = 0;
    m_merged.GetSize(&w, &h);
    return static_cast<int>(w);
}

int MergedZoomView::GetImageHeight()
{
    if (!m_mergedDisplay)
        return ZoomView::GetImageHeight();
    UINT w = 0, h = 0;
    m_merged.GetSize(&w, &h);
    return static_cast<int>(h);
}

// ---- CClickEditView ----

CClickEditView::CClickEditView()
{
    m_toolMode = kToolClickEdit;
}

void CClickEditView::SetToolMode(int)
{
    m_toolMode = kToolClickEdit;
}

void CClickEditView::RecalcLayout()
{
    MergedZoomView::RecalcLayout();
    if (m_buttonsCreated && m_showButtons)
        m_moveButton.EnableWindow(FALSE);
}

void CClickEditView::LeftButtonDown(UINT, CPoint point)
{
    if (!PtInRect(&m_imageArea, point))
        return;
    m_noticePoint = point;
    ClientToImage(&m_noticePoint);
    Notify(kZoomNoticeButtonDown, &m_noticePoint);
}

BOOL CClickEditView::SetViewCursor(CWnd*, UINT, UINT)
{
    POINT screen{};
    ::GetCursorPos(&screen);
    POINT client = screen;
    ScreenToClient(&client);
    if (!PtInRect(&m_imageArea, client)) {
        RepaintNow();
        return TRUE;
    }
    m_cursorNotice.screenPoint = screen;
    m_cursorNotice.zoom = m_zoom;
    m_cursorNotice.imageAreaScreen = m_imageArea;
    ClientToScreen(&m_cursorNotice.imageAreaScreen);
    Notify(kZoomNoticeCursorOverImage, &m_cursorNotice);
    return TRUE;
}

// ---- COverlayView ----

COverlayView::COverlayView() = default;

void COverlayView::PlaceObjectRect(int width, int height)
{
    const int w = GetImageWidth(), h = GetImageHeight();
    while ((width > w || height > h) && (width > 1 || height > 1)) {
        width /= 2;
        height /= 2;
    }
    SetSelection(0, 0, width, height, TRUE);
    RepaintNow();
}

void COverlayView::OnZoomChanged()
{
    Notify(kZoomNoticeOverlayChanged, nullptr);
}

void COverlayView::DrawSelectionDecorations(CDC* dc, int left, int top, int right, int bottom)
{
    const int cx = (left + right) / 2, cy = (top + bottom) / 2;
    HandleMark(dc, left, cy, 3, 6);
    HandleMark(dc, right - 1, cy, 3, 6);
    HandleMark(dc, cx, top, 6, 3);
    HandleMark(dc, cx, bottom - 1, 6, 3);
    DrawResourceIcon(dc, right - 32, bottom - 32, 164);
    DrawResourceIcon(dc, right - 42, bottom - 16, m_objectIsText ? 170 : 165);
    DrawResourceIcon(dc, right - 60, bottom - 12, 166);
}
