#include "develop/DevelopControls.h"

#include "develop/DevelopTexts.h"
#include "editor/ui/FontCache.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace develop {

namespace {

constexpr COLORREF kFrame = 0x202020;

void Post(CWnd* wnd, UINT kind, UINT id, LPARAM lParam)
{
    if (CWnd* parent = wnd->GetParent())
        parent->PostMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kind) << 16) + id, lParam);
}

void Frame(CDC& dc, const CRect& r, COLORREF colour)
{
    CBrush brush;
    brush.CreateSolidBrush(colour);
    dc.FrameRect(&r, &brush);
}

// Face 0 disabled, 1 hot, 2 normal of the button picture into r.
void PaintButtonFace(CDC& dc, int face, const CRect& r)
{
    const CQLImage& skin = Skin().button;
    UINT w = 0, h = 0;
    skin.GetSize(&w, &h);
    const int fh = static_cast<int>(h) / 3;
    if (fh <= 0)
        return;
    StretchImage(&dc, skin, r, CRect(0, fh * face, static_cast<int>(w), fh * (face + 1)));
}

HCURSOR HandCursor() { return AfxGetApp() ? AfxGetApp()->LoadCursor(130u) : nullptr; }

const char* DefaultFont() { return Texts().GetText("defaultfont"); }

} // namespace

// ---- CImgButton ----
IMPLEMENT_DYNAMIC(CImgButton, CWnd)

BEGIN_MESSAGE_MAP(CImgButton, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL CImgButton::Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption)
{
    m_id = id;
    return CWnd::Create(nullptr, caption ? caption : "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void CImgButton::SetIcon(UINT iconId)
{
    m_icon = iconId;
    if (m_hWnd)
        Invalidate();
}

BOOL CImgButton::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kDevelopBack);
    return TRUE;
}

void CImgButton::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kDevelopBack);
    const bool enabled = IsWindowEnabled() != FALSE;
    CRect face(client.left, client.top, client.right - 1, client.bottom - 1);
    if (m_pressed && enabled) {
        face.OffsetRect(1, 1);
    } else {
        dc.FillSolidRect(face.left + 1, face.bottom, face.Width(), 1, 0);
        dc.FillSolidRect(face.right, face.top + 1, 1, face.Height(), 0);
    }
    PaintButtonFace(dc, !enabled ? 0 : m_hot ? 1 : 2, face);
    Frame(dc, face, kFrame);
    CRect text = face;
    if (m_icon) {
        if (HICON icon = AfxGetApp() ? AfxGetApp()->LoadIcon(m_icon) : nullptr)
            ::DrawIconEx(dc.GetSafeHdc(), face.left + 2, face.top + (face.Height() - 16) / 2, icon, 16, 16, 0, nullptr,
                         DI_NORMAL);
        text.left += 32;
    }
    CString caption;
    GetWindowText(caption);
    if (caption.IsEmpty())
        return;
    CFontCache& fonts = CFontCache::Instance();
    fonts.SelectFont("Tahoma", 14);
    const SIZE size = fonts.MeasureText(&dc, caption.GetString());
    const int x = m_icon ? text.left : text.left + (text.Width() - size.cx) / 2;
    fonts.PaintText(&dc, std::max<int>(x, text.left), text.top + (text.Height() - size.cy) / 2, enabled ? 0 : 0x808080,
                    caption.GetString(), FALSE);
}

void CImgButton::OnLButtonDown(UINT, CPoint)
{
    if (!IsWindowEnabled())
        return;
    m_pressed = true;
    m_hot = true;
    SetCapture();
    Invalidate();
}

void CImgButton::OnLButtonUp(UINT, CPoint)
{
    if (!IsWindowEnabled())
        return;
    const bool click = m_pressed;
    m_pressed = false;
    m_hot = false;
    if (GetCapture() == this)
        ReleaseCapture();
    Invalidate();
    if (click)
        Post(this, kNotifyClick, m_id, 0);
}

void CImgButton::OnMouseMove(UINT, CPoint point)
{
    if (!IsWindowEnabled())
        return;
    CRect client;
    GetClientRect(&client);
    if (!m_hot && client.PtInRect(point)) {
        m_hot = true;
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
        Invalidate();
    } else if (m_hot && !client.PtInRect(point)) {
        Leave();
    }
}

LRESULT CImgButton::OnMouseLeave(WPARAM, LPARAM)
{
    // While pressed the capture reports the moves; leaving is seen there.
    if (!m_pressed)
        Leave();
    return 0;
}

void CImgButton::Leave()
{
    if (GetCapture() == this)
        ReleaseCapture();
    // A press dragged off is dropped: no click follows.
    m_hot = m_pressed = false;
    Invalidate();
}

BOOL CImgButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (IsWindowEnabled())
        if (HCURSOR cursor = HandCursor()) {
            ::SetCursor(cursor);
            return TRUE;
        }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---- CLinkListCtrl ----
BEGIN_MESSAGE_MAP(CLinkListCtrl, ::CLinkListCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CLinkListCtrl::AddItem(const char* text, const char* face, int height, COLORREF color, const char* command)
{
    ::CLinkListCtrl::AddItem(text, face, height, color, command);
    Entry& e = m_entries.back();
    e.style = 0;
    e.fill1 = e.fill2 = kDevelopBack;
    m_frames.push_back(kDevelopBack);
    if (m_hWnd)
        Invalidate();
}

void CLinkListCtrl::SetItemStyle(int index, int style, COLORREF colour1, COLORREF colour2, COLORREF colour3)
{
    if (index < 0 || index >= GetCount())
        return;
    Entry& e = m_entries[static_cast<size_t>(index)];
    e.style = style;
    e.fill1 = colour1;
    e.fill2 = colour2;
    m_frames.resize(m_entries.size(), kDevelopBack);
    m_frames[static_cast<size_t>(index)] = colour3;
    if (m_hWnd)
        Invalidate();
}

void CLinkListCtrl::SetItemText(int index, const char* text)
{
    if (index < 0 || index >= GetCount())
        return;
    Entry& e = m_entries[static_cast<size_t>(index)];
    std::memset(e.text, 0, sizeof e.text);
    std::strncpy(e.text, text ? text : "", sizeof e.text - 1);
    if (m_hWnd)
        Invalidate();
}

BOOL CLinkListCtrl::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kDevelopBack);
    return TRUE;
}

void CLinkListCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kDevelopBack);
    dc.IntersectClipRect(&client);
    m_frames.resize(m_entries.size(), kDevelopBack);
    CFontCache& fonts = CFontCache::Instance();
    int y = client.top;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry& e = m_entries[i];
        fonts.SelectFont(e.face, e.height);
        const SIZE size = fonts.MeasureText(&dc, e.text);
        const CRect band(client.left, y, client.right, y + size.cy);
        const POINT top{band.left, band.top}, bottom{band.left, band.bottom};
        switch (e.style) {
        case 1: dc.FillSolidRect(&band, e.fill1); break;
        case 2: FillGradientRect(&dc, band, top, bottom, 1, e.fill1, e.fill2); break;
        case 4: Frame(dc, band, m_frames[i]); break;
        case 5:
            dc.FillSolidRect(&band, e.fill1);
            Frame(dc, band, m_frames[i]);
            break;
        case 6:
            FillGradientRect(&dc, band, top, bottom, 1, e.fill1, e.fill2);
            Frame(dc, band, m_frames[i]);
            break;
        case 7: {
            const int mid = (band.top + band.bottom) / 2;
            const POINT centre{band.CenterPoint().x, mid}, end{band.right, mid};
            FillGradientRect(&dc, CRect(band.left, mid, band.right, mid + 1), centre, end, 0, e.fill1, e.fill2);
            break;
        }
        default: break;
        }
        fonts.PaintText(&dc, band.left, band.top, e.textColor, e.text, FALSE);
        e.rect = CRect(band.left, band.top, band.left + size.cx, band.top + size.cy);
        if (e.command[0])
            dc.FillSolidRect(band.left, band.bottom - 1, size.cx, 1, e.textColor);
        y = band.bottom + 1;
    }
}

void CLinkListCtrl::OnLButtonDown(UINT, CPoint point)
{
    const int hit = HitTest(point);
    if (hit >= 0)
        Post(this, kNotifyLink, static_cast<UINT>(m_id),
             reinterpret_cast<LPARAM>(m_entries[static_cast<size_t>(hit)].command));
}

BOOL CLinkListCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (HitTest(point) >= 0)
        if (HCURSOR cursor = HandCursor()) {
            ::SetCursor(cursor);
            return TRUE;
        }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---- WrapCaption ----
std::vector<std::string> WrapCaption(const std::string& text, int width,
                                     const std::function<int(const std::string&)>& measure)
{
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0xC0) {
            // A character of several bytes is a word of its own.
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
            size_t n = 1;
            while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
                ++n;
            words.push_back(text.substr(i, n));
            i += n;
            continue;
        }
        word += static_cast<char>(c);
        ++i;
        if (c == ' ' || c == ',') {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    std::vector<std::string> lines;
    std::string line;
    for (const std::string& w : words) {
        if (!line.empty() && measure(line + w) > width) {
            lines.push_back(std::move(line));
            line.clear();
        }
        line += w;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

// ---- DevelopCheckBox ----
BEGIN_MESSAGE_MAP(DevelopCheckBox, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL DevelopCheckBox::Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption, int kind)
{
    m_id = id;
    m_kind = kind;
    return CWnd::Create(nullptr, caption ? caption : "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void DevelopCheckBox::SetCheck(int state)
{
    m_checked = state ? 1 : 0;
    if (m_hWnd) {
        Invalidate();
        UpdateWindow();
    }
}

int DevelopCheckBox::SkinRow() const
{
    const int enabled = m_hWnd && IsWindowEnabled() ? 1 : 0;
    return 4 * enabled + 2 * (m_kind == 0 ? 1 : 0) + (m_checked ? 0 : 1);
}

BOOL DevelopCheckBox::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kDevelopBack);
    return TRUE;
}

void DevelopCheckBox::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kDevelopBack);
    const int row = SkinRow();
    UINT w = 0, h = 0;
    Skin().check.GetSize(&w, &h);
    if (static_cast<int>(h) >= 16 * (row + 1))
        StretchImage(&dc, Skin().check, CRect(0, 0, 16, 16), CRect(0, 16 * row, 16, 16 * row + 16));
    CString caption;
    GetWindowText(caption);
    CFontCache& fonts = CFontCache::Instance();
    fonts.SelectFont(DefaultFont(), 14);
    const COLORREF colour = IsWindowEnabled() ? m_textColor : 0x808080;
    const auto measure = [&](const std::string& s) { return static_cast<int>(fonts.MeasureText(&dc, s.c_str()).cx); };
    const std::string text = caption.GetString();
    const int lineHeight = std::max<int>(1, fonts.MeasureText(&dc, "Ag").cy);
    int y = 0;
    if (measure(text) <= client.Width() - 20) {
        fonts.PaintText(&dc, 20, 0, colour, text.c_str(), FALSE);
        return;
    }
    for (const std::string& line : WrapCaption(text, client.Width() - 20, measure)) {
        fonts.PaintText(&dc, 20, y, colour, line.c_str(), FALSE);
        y += lineHeight;
    }
}

void DevelopCheckBox::OnLButtonDown(UINT, CPoint)
{
    // The wizard decides the state.
    if (IsWindowEnabled())
        Post(this, kNotifyOption, m_id, 0);
}

// ---- DevelopSlider ----
BEGIN_MESSAGE_MAP(DevelopSlider, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

BOOL DevelopSlider::Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption)
{
    m_id = id;
    m_min = 0;
    m_max = 100;
    m_pos = 0;
    m_scale = 1.0;
    return CWnd::Create(nullptr, caption ? caption : "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void DevelopSlider::SetRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    SetPos(m_pos);
    if (m_hWnd)
        Invalidate();
}

void DevelopSlider::SetPos(int pos)
{
    pos = std::clamp(pos, m_min, m_max);
    if (pos == m_pos)
        return;
    m_pos = pos;
    if (m_hWnd)
        Invalidate();
}

std::string DevelopSlider::ValueText() const
{
    const double value = m_pos * m_scale;
    char text[64];
    if (std::fabs(value - std::trunc(value)) > 1e-9)
        std::snprintf(text, sizeof text, "%.01f", value);
    else
        std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(value)));
    return text;
}

DevelopSlider::Geometry DevelopSlider::Layout(const CRect& c) const
{
    Geometry g;
    g.leftArrow = CRect(c.left + 30, c.top + 25, c.left + 46, c.top + 41);
    g.rightArrow = CRect(c.right - 16, c.top + 25, c.right, c.top + 41);
    g.track = CRect(c.left + 46 + 5, c.top + 25, c.right - 16 - 5, c.top + 41);
    const int span = std::max(1, m_max - m_min);
    g.thumbX = g.track.left + g.track.Width() * (m_pos - m_min) / span;
    g.thumb = CRect(g.thumbX - 5, c.top + 27, g.thumbX + 5, c.top + 39);
    return g;
}

int DevelopSlider::PosAt(int x) const
{
    CRect client;
    GetClientRect(&client);
    const Geometry g = Layout(client);
    const int width = std::max(1, g.track.Width());
    return std::clamp(m_min + (m_max - m_min) * (x - g.track.left) / width, m_min, m_max);
}

void DevelopSlider::Notify() { Post(this, kNotifySlider, m_id, m_pos); }

BOOL DevelopSlider::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kDevelopBack);
    return TRUE;
}

void DevelopSlider::OnPaint()
{
    CPaintDC dc(this);
    CRect c;
    GetClientRect(&c);
    dc.FillSolidRect(&c, kDevelopBack);
    const Geometry g = Layout(c);
    CString caption;
    GetWindowText(caption);
    CFontCache& fonts = CFontCache::Instance();
    fonts.SelectFont(DefaultFont(), 14);
    fonts.PaintText(&dc, c.left, c.top, 0xFFFFFF, caption.GetString(), FALSE);
    dc.FillSolidRect(c.left, c.top + 25, c.Width(), 16, kDevelopBack);
    if (CWinApp* app = AfxGetApp()) {
        if (HICON left = app->LoadIcon(138u))
            ::DrawIconEx(dc.GetSafeHdc(), g.leftArrow.left, g.leftArrow.top, left, 16, 16, 0, nullptr, DI_NORMAL);
        if (HICON right = app->LoadIcon(139u))
            ::DrawIconEx(dc.GetSafeHdc(), g.rightArrow.left, g.rightArrow.top, right, 16, 16, 0, nullptr, DI_NORMAL);
    }
    CRect groove = g.track;
    groove.DeflateRect(0, 6);
    FillGradientRect(&dc, groove, CPoint(groove.left, groove.top), CPoint(groove.left, groove.bottom), 1, kDevelopBack,
                     0x808080);
    if (g.thumbX > groove.left)
        dc.FillSolidRect(groove.left, groove.top, g.thumbX - groove.left, groove.Height(), 0x808080);
    Frame(dc, groove, 0);
    if (IsWindowEnabled()) {
        CRect face = g.thumb;
        face.right -= 1;
        face.bottom -= 1;
        PaintButtonFace(dc, m_dragging ? 1 : 2, face);
        Frame(dc, face, kFrame);
    }
    fonts.SelectFont("Tahoma", 12);
    const std::string value = ValueText();
    const SIZE size = fonts.MeasureText(&dc, value.c_str());
    fonts.PaintText(&dc, g.leftArrow.left - 5 - size.cx, c.top + 25 + (16 - size.cy) / 2, 0xC0C0C0, value.c_str(),
                    FALSE);
}

BOOL DevelopSlider::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    CRect client;
    GetClientRect(&client);
    const Geometry g = Layout(client);
    if (IsWindowEnabled() && (g.leftArrow.PtInRect(p) || g.rightArrow.PtInRect(p) || g.thumb.PtInRect(p)))
        if (HCURSOR cursor = HandCursor()) {
            ::SetCursor(cursor);
            return TRUE;
        }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void DevelopSlider::OnLButtonDown(UINT, CPoint point)
{
    if (!IsWindowEnabled())
        return;
    CRect client;
    GetClientRect(&client);
    const Geometry g = Layout(client);
    if (g.leftArrow.PtInRect(point)) {
        SetPos(m_pos - 1);
        Notify();
    } else if (g.rightArrow.PtInRect(point)) {
        SetPos(m_pos + 1);
        Notify();
    } else if (g.thumb.PtInRect(point)) {
        SetCapture();
        m_dragging = true;
        Invalidate();
    } else if (point.y >= g.track.top && point.y < g.track.bottom && point.x >= g.track.left &&
               point.x < g.track.right) {
        SetPos(m_pos + (point.x < g.thumbX ? -5 : 5));
        Notify();
    }
}

void DevelopSlider::OnMouseMove(UINT, CPoint point)
{
    if (m_dragging)
        SetPos(PosAt(point.x));
}

void DevelopSlider::OnLButtonUp(UINT, CPoint)
{
    if (!m_dragging)
        return;
    if (GetCapture() == this)
        ReleaseCapture();
    m_dragging = false;
    Invalidate();
    Notify();
}

// ---- DevelopPercentBar ----
BEGIN_MESSAGE_MAP(DevelopPercentBar, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(DevelopPercentBar::kSetPercent, OnPostedPercent)
    ON_MESSAGE(DevelopPercentBar::kSetText, OnPostedText)
END_MESSAGE_MAP()

BOOL DevelopPercentBar::Create(UINT id, const RECT& rect, CWnd* parent, LPCSTR caption)
{
    return CWnd::Create(nullptr, caption ? caption : "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void DevelopPercentBar::SetPercent(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent)
        return;
    m_percent = percent;
    if (m_hWnd) {
        Invalidate();
        UpdateWindow();
    }
}

LRESULT DevelopPercentBar::OnPostedPercent(WPARAM wParam, LPARAM)
{
    SetPercent(static_cast<int>(wParam));
    return 0;
}

LRESULT DevelopPercentBar::OnPostedText(WPARAM, LPARAM lParam)
{
    SetWindowText(reinterpret_cast<const char*>(lParam));
    Invalidate();
    return 0;
}

BOOL DevelopPercentBar::OnEraseBkgnd(CDC*) { return TRUE; }

void DevelopPercentBar::OnPaint()
{
    CPaintDC dc(this);
    CRect c;
    GetClientRect(&c);
    dc.FillSolidRect(&c, kDevelopBack);
    if (!IsWindowEnabled() || m_percent <= 0 || m_percent >= 100)
        return;
    CString caption;
    GetWindowText(caption);
    char text[400];
    std::snprintf(text, sizeof text, "%s%d%%", caption.GetString(), m_percent);
    CFontCache& fonts = CFontCache::Instance();
    fonts.SelectFont(DefaultFont(), 14);
    const SIZE size = fonts.MeasureText(&dc, text);
    dc.FillSolidRect(c.left, c.top, c.Width(), size.cy, kDevelopBack);
    fonts.PaintText(&dc, c.left, c.top, 0x808080, text, FALSE);
    CRect bar(c.left + 1, c.top + 19, c.right - 1, c.top + 24);
    if (bar.Width() <= 0)
        return;
    FillGradientRect(&dc, bar, CPoint(bar.left, bar.top), CPoint(bar.left, bar.bottom), 1, kDevelopBack, 0x808080);
    const int done = bar.Width() * m_percent / 100;
    if (done > 0)
        FillGradientRect(&dc, CRect(bar.left, bar.top, bar.left + done, bar.bottom), CPoint(bar.left, bar.top),
                         CPoint(bar.left + done, bar.top), 1, 0x808080, 0xDCDCDC);
    Frame(dc, bar, kFrame);
}

} // namespace develop
