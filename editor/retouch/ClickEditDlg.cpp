#include "editor/retouch/ClickEditDlg.h"
#include "editor/retouch/PictureSize.h"
#include "editor/retouch/SelectBrushDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kIconUndo = 213;
constexpr UINT kIconWindow = 229;
constexpr int kTextEraseSpot = 41;
constexpr int kHeaderBar = 29;
constexpr COLORREF kHeaderColour = RGB(64, 64, 64);
constexpr int kButtonStep = 90;
constexpr int kFinishOffset = 150;
constexpr char kEraseCaption[] = "Erase Spot";
constexpr char kEraseHint[] = "Click the spots or blemishes to erase it";

// (6G + 3R + B) / 10 of a B, G, R, A pixel.
inline int Luminance(const BYTE* p)
{
    return (6 * p[1] + 3 * p[2] + p[0]) / 10;
}

}  // namespace

namespace clickedit {

int Reach(const BYTE brush[4])
{
    return brush[brush::kSize] / 2 + brush[brush::kBlur] / 2;
}

RECT StrokeArea(SIZE image, POINT p, const BYTE brush[4])
{
    const LONG c = Reach(brush);
    return RECT{std::max<LONG>(0, p.x - c), std::max<LONG>(0, p.y - c), std::min(image.cx - 1, p.x + c),
                std::min(image.cy - 1, p.y + c)};
}

BOOL MakeBrushPatch(const CQLImage& work, const BYTE brush[4], RECT area, POINT centre, CQLImage* patch)
{
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0 || patch->Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return FALSE;
    const int r1 = brush[brush::kSize] / 2, r2 = brush[brush::kBlur] / 2;
    for (int y = 0; y < h; ++y) {
        std::memcpy(patch->GetBuffer(0, y), work.GetBuffer(area.left, area.top + y), static_cast<size_t>(w) * 4);
        BYTE* row = patch->GetBuffer(0, y);
        for (int x = 0; x < w; ++x) {
            const int d = brush::Distance(brush[brush::kShape], area.left + x - centre.x, area.top + y - centre.y);
            row[x * 4 + 3] = static_cast<BYTE>(brush::Level(d, r1, r2, brush[brush::kPressure]));
        }
    }
    return TRUE;
}

}  // namespace clickedit

namespace erasespots {

Match FindPatch(const CQLImage& work, const CQLImage& patch, RECT area)
{
    Match best;
    const SIZE s = PictureSize(work);
    const int pw = area.right - area.left, ph = area.bottom - area.top;
    if (pw <= 0 || ph <= 0)
        return best;
    // Only the spot's soft edge and surroundings are compared.
    struct Sample {
        int dx, dy, lum;
    };
    std::vector<Sample> ring;
    ring.reserve(static_cast<size_t>(pw) * ph);
    for (int y = 0; y < ph; ++y)
        for (int x = 0; x < pw; ++x) {
            const BYTE* p = patch.GetBuffer(x, y);
            if (p[3] < 255)
                ring.push_back({x, y, Luminance(p)});
        }
    const int b = std::max(pw, ph);
    // The luminance of every pixel a candidate can reach, computed once.
    const int x0 = std::max(0, static_cast<int>(area.left) - b), y0 = std::max(0, static_cast<int>(area.top) - b);
    const int x1 = std::min(static_cast<int>(s.cx), static_cast<int>(area.right) + b + pw);
    const int y1 = std::min(static_cast<int>(s.cy), static_cast<int>(area.bottom) + b + ph);
    if (x1 <= x0 || y1 <= y0)
        return best;
    const int lw = x1 - x0;
    std::vector<int> lum(static_cast<size_t>(lw) * (y1 - y0));
    for (int y = y0; y < y1; ++y) {
        const BYTE* p = work.GetBuffer(x0, y);
        int* out = &lum[static_cast<size_t>(y - y0) * lw];
        for (int x = 0; x < lw; ++x)
            out[x] = Luminance(p + x * 4);
    }
    const CRect inside(area);
    for (int i = static_cast<int>(area.top) - b; i < static_cast<int>(area.bottom) + b; ++i) {
        if (i <= 0 || i >= s.cy - 1 || i + ph >= s.cy)
            continue;
        for (int j = static_cast<int>(area.left) - b; j < static_cast<int>(area.right) + b; ++j) {
            if (j <= 0 || j >= s.cx - 1 || j + pw >= s.cx)
                continue;
            if (inside.PtInRect(CPoint(j, i)) || inside.PtInRect(CPoint(j + pw, i)) ||
                inside.PtInRect(CPoint(j, i + ph)) || inside.PtInRect(CPoint(j + pw, i + ph)))
                continue;
            const int* base = &lum[static_cast<size_t>(i - y0) * lw + (j - x0)];
            long long cost = 0;
            bool beaten = false;
            for (const Sample& q : ring) {
                cost += std::abs(base[q.dy * lw + q.dx] - q.lum);
                // Ties keep the first found, so an equal sum already loses.
                if (best.found && cost >= best.cost) {
                    beaten = true;
                    break;
                }
            }
            if (!beaten) {
                best.found = true;
                best.x = j;
                best.y = i;
                best.cost = cost;
            }
        }
    }
    return best;
}

void BlendPatch(CQLImage* work, CQLImage* patch, RECT area, int x, int y)
{
    const int pw = area.right - area.left, ph = area.bottom - area.top;
    for (int r = 0; r < ph; ++r) {
        BYTE* p = patch->GetBuffer(0, r);
        const BYTE* c = work->GetBuffer(x, y + r);
        for (int q = 0; q < pw; ++q, p += 4, c += 4) {
            const int a = p[3];
            for (int k = 0; k < 3; ++k)
                p[k] = a == 255 ? c[k] : static_cast<BYTE>((c[k] * a + p[k] * (255 - a)) >> 8);
        }
    }
    // The skin step reads the work image's alpha as weights: it stays.
    for (int r = 0; r < ph; ++r) {
        const BYTE* p = patch->GetBuffer(0, r);
        BYTE* out = work->GetBuffer(area.left, area.top + r);
        for (int q = 0; q < pw; ++q, p += 4, out += 4)
            std::memcpy(out, p, 3);
    }
}

BOOL EraseSpot(CQLImage* work, const BYTE brush[4], RECT area, POINT centre)
{
    CQLImage patch;
    if (!clickedit::MakeBrushPatch(*work, brush, area, centre, &patch))
        return FALSE;
    const Match m = FindPatch(*work, patch, area);
    const long long pw = area.right - area.left;
    if (!m.found || m.cost / (pw * pw) > kMaxCostPerPixel)
        return FALSE;
    BlendPatch(work, &patch, area, m.x, m.y);
    return TRUE;
}

}  // namespace erasespots

BEGIN_MESSAGE_MAP(CClickEditDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DRAWITEM()
    ON_BN_CLICKED(IDC_CLICK_SET_BRUSH, OnSetBrush)
    ON_BN_CLICKED(IDC_CLICK_UNDO, OnUndo)
    ON_BN_CLICKED(IDC_CLICK_NEXT, OnNext)
    ON_BN_CLICKED(IDC_CLICK_FINISH, OnOK)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_CLICK_SIZE, OnSizeReleased)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotice)
END_MESSAGE_MAP()

CClickEditDlg::CClickEditDlg(CWnd* parent, UINT templateId) : CSkinDialog(templateId, parent)
{
    const BYTE side = static_cast<BYTE>(PictureSize(thePhotoDocument.m_image).cx / 200 + 1);
    m_brush[brush::kShape] = 0;
    m_brush[brush::kSize] = side;
    m_brush[brush::kBlur] = side;
    m_brush[brush::kPressure] = 255;
}

CClickEditDlg::~CClickEditDlg()
{
    m_navigator.SetView(nullptr);
}

void CClickEditDlg::SetTexts(const char* caption, const char* hint)
{
    std::snprintf(m_caption, sizeof m_caption, "%s", caption);
    std::snprintf(m_hint, sizeof m_hint, "%s", hint);
}

void CClickEditDlg::SetWizardButtons(BOOL wizard, BOOL prev, BOOL next, BOOL finish)
{
    m_wizard = wizard;
    m_showPrev = prev;
    m_showNext = next;
    m_showFinish = finish;
}

BOOL CClickEditDlg::OnInitDialog()
{
    m_sizeSlider.SubclassDlgItem(IDC_CLICK_SIZE, this);
    // Subclassed before the skin meets it, so it stays an icon button.
    m_undoButton.SubclassDlgItem(IDC_CLICK_UNDO, this);
    CSkinDialog::OnInitDialog();
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconWindow))) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    m_sizeSlider.SetRange(2, m_maxSize);
    m_sizeSlider.SetTicFreq(std::max(1, m_maxSize / 16));
    m_sizeSlider.SetPos(m_brush[brush::kSize]);
    m_undoButton.SetSkinBackground(&theAppSettings.m_skinBrush);
    m_undoButton.SetIcons(kIconUndo, 0, 32, 32);
    SetWindowText(m_caption);
    if (!CreatePixelFont(&m_headerFont, "Tahoma", 22, FALSE))
        return FALSE;
    const RECT none{0, 0, 10, 10};
    if (!m_view.Create("", none, this, IDC_CLICK_VIEW) ||
        !m_navigator.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, none, this, IDC_CLICK_NAVIGATOR))
        return FALSE;
    if (!m_work.DuplicateFrom(&thePhotoDocument.m_image))
        return FALSE;
    m_view.SetImage(&m_work, FALSE);
    m_navigator.SetView(&m_view);
    if (theAppSettings.m_layeredMode)
        m_view.EnableMergedDisplay(TRUE);
    GetDlgItem(IDOK)->ShowWindow(m_wizard ? SW_HIDE : SW_SHOW);
    GetDlgItem(IDC_CLICK_PREV)->ShowWindow(m_wizard && m_showPrev ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_CLICK_NEXT)->ShowWindow(m_wizard && m_showNext ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_CLICK_FINISH)->ShowWindow(m_wizard && m_showFinish ? SW_SHOW : SW_HIDE);
    m_ready = true;
    ShowWindow(SW_RESTORE);
    ShowWindow(SW_MAXIMIZE);
    RecalcLayout();
    m_view.ZoomToFit(TRUE);
    return TRUE;
}

RECT CClickEditDlg::PictureArea() const
{
    CRect client, place;
    GetClientRect(&client);
    if (CWnd* item = GetDlgItem(IDC_CLICK_NAVIGATOR_PLACE)) {
        item->GetWindowRect(&place);
        ScreenToClient(&place);
    }
    return RECT{place.right + 5, 5, client.right - 5, client.bottom - 45};
}

void CClickEditDlg::RecalcLayout()
{
    if (!m_ready)
        return;
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    auto place = [this](UINT id, int x, int y, int cx, int cy) {
        if (CWnd* item = GetDlgItem(id))
            item->MoveWindow(x, y, std::max(cx, 1), std::max(cy, 1));
    };
    place(IDCANCEL, w - 90, h - 30, 80, 25);
    place(IDOK, w - 90 - kButtonStep, h - 30, 80, 25);
    place(IDC_CLICK_FINISH, w - 90 - kFinishOffset, h - 30, 80, 25);
    place(IDC_CLICK_NEXT, w - 90 - kFinishOffset - kButtonStep, h - 30, 80, 25);
    place(IDC_CLICK_PREV, w - 90 - kFinishOffset - 2 * kButtonStep, h - 30, 80, 25);
    place(IDC_CLICK_SEPARATOR, 2, h - 40, w - 4, 2);
    CRect nav;
    GetDlgItem(IDC_CLICK_NAVIGATOR_PLACE)->GetWindowRect(&nav);
    ScreenToClient(&nav);
    m_navigator.MoveWindow(&nav);
    const RECT area = PictureArea();
    m_view.MoveWindow(area.left + 1, area.top + 30, std::max<LONG>(1, area.right - area.left - 2),
                      std::max<LONG>(1, area.bottom - area.top - 31));
}

void CClickEditDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    if (!m_ready)
        return;
    RecalcLayout();
    m_view.ZoomToFit(FALSE);
    Invalidate();
}

BOOL CClickEditDlg::OnEraseBkgnd(CDC* dc)
{
    CSkinDialog::OnEraseBkgnd(dc);
    if (!m_ready)
        return TRUE;
    const CRect area(PictureArea());
    dc->FillSolidRect(area.left, area.top, area.Width(), kHeaderBar, kHeaderColour);
    dc->Draw3dRect(&area, RGB(0, 0, 0), RGB(200, 200, 200));
    CFont* old = dc->SelectObject(&m_headerFont);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(255, 255, 255));
    dc->TextOut(area.left + 5, area.top + 5, m_hint);
    dc->SelectObject(old);
    return TRUE;
}

void CClickEditDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT dis)
{
    if (id != static_cast<int>(IDC_CLICK_SAMPLE)) {
        CSkinDialog::OnDrawItem(id, dis);
        return;
    }
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect r(dis->rcItem);
    dc->FillSolidRect(&r, RGB(0, 0, 0));
    r.DeflateRect(1, 1);
    CQLImage sample;
    bool scaled = false;
    brush::DrawSample(m_brush, r.Width(), r.Height(), &sample, &scaled);
    DrawImageFitted(dc, r.left, r.top, r.right, r.bottom, &sample, RGB(0, 0, 0), FALSE);
    if (scaled) {
        char total[16];
        std::snprintf(total, sizeof total, "%d", m_brush[brush::kSize] + m_brush[brush::kBlur]);
        CGdiObject* old = dc->SelectStockObject(SYSTEM_FONT);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(RGB(128, 128, 128));
        dc->TextOut(r.left, r.top, total);
        dc->SelectObject(old);
    }
}

void CClickEditDlg::RedrawSample()
{
    if (CWnd* box = GetDlgItem(IDC_CLICK_SAMPLE))
        box->Invalidate(FALSE);
}

RECT CClickEditDlg::PushPatch(int x, int y)
{
    const RECT area = clickedit::StrokeArea(PictureSize(m_work), POINT{x, y}, m_brush);
    const int w = area.right - area.left, h = area.bottom - area.top;
    auto patch = std::make_unique<CQLImage>();
    if (w <= 0 || h <= 0 || patch->Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return RECT{};
    for (int r = 0; r < h; ++r)
        std::memcpy(patch->GetBuffer(0, r), m_work.GetBuffer(area.left, area.top + r), static_cast<size_t>(w) * 4);
    Stroke stroke{static_cast<int>(area.left), static_cast<int>(area.top), std::move(patch)};
    // A new stroke drops the redo tail.
    if (m_count < m_strokes.size())
        m_strokes[m_count] = std::move(stroke);
    else
        m_strokes.push_back(std::move(stroke));
    ++m_count;
    return area;
}

BOOL CClickEditDlg::Undo()
{
    if (m_count == 0)
        return FALSE;
    const Stroke& s = m_strokes[--m_count];
    UINT w = 0, h = 0;
    s.patch->GetSize(&w, &h);
    for (UINT r = 0; r < h; ++r)
        std::memcpy(m_work.GetBuffer(s.left, s.top + static_cast<int>(r)), s.patch->GetBuffer(0, static_cast<int>(r)),
                    static_cast<size_t>(w) * 4);
    return TRUE;
}

void CClickEditDlg::OnUndo()
{
    if (Undo() && m_view.m_hWnd)
        m_view.RepaintNow();
}

BOOL CClickEditDlg::PreTranslateMessage(MSG* msg)
{
    // Ctrl+Z arrives as the character 26.
    if (msg->message == WM_CHAR && msg->wParam == 26) {
        OnUndo();
        return TRUE;
    }
    return CSkinDialog::PreTranslateMessage(msg);
}

void CClickEditDlg::OnSizeReleased(NMHDR*, LRESULT* result)
{
    if (result)
        *result = 0;
    const BYTE v = static_cast<BYTE>(std::clamp(m_sizeSlider.GetPos(), 0, 255));
    m_brush[brush::kSize] = v;
    m_brush[brush::kBlur] = v;
    RedrawSample();
}

void CClickEditDlg::OnSetBrush()
{
    CSelectBrushDlg dialog(m_brush, m_maxSize, this);
    dialog.DoModal();
    RedrawSample();
}

void CClickEditDlg::OnNext()
{
    m_nextPressed = TRUE;
    OnOK();
}

void CClickEditDlg::OnImageClick(int, int) {}

void CClickEditDlg::DrawBrushCursor(const ZoomViewCursorNotice* notice)
{
    ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
    const int a = static_cast<int>(clickedit::Reach(m_brush) * notice->zoom);
    if (a <= 2)
        return;
    m_view.RepaintNow();
    CClientDC dc(&m_view);
    POINT p = notice->screenPoint;
    m_view.ScreenToClient(&p);
    CRect clip(notice->imageAreaScreen);
    m_view.ScreenToClient(&clip);
    dc.IntersectClipRect(&clip);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc.SelectObject(&pen);
    dc.SelectStockObject(NULL_BRUSH);
    const int oldRop = dc.SetROP2(R2_XORPEN);
    if (m_brush[brush::kShape] == 1)
        dc.Rectangle(p.x - a, p.y - a, p.x + a, p.y + a);
    else
        dc.Ellipse(p.x - a, p.y - a, p.x + a, p.y + a);
    dc.SetROP2(oldRop);
    dc.SelectObject(oldPen);
}

LRESULT CClickEditDlg::OnViewNotice(WPARAM code, LPARAM data)
{
    const auto* notice = reinterpret_cast<const ZoomViewNotice*>(data);
    if (!notice || !notice->data)
        return 0;
    if (code == kZoomNoticeButtonDown) {
        const POINT* p = static_cast<const POINT*>(notice->data);
        OnImageClick(p->x, p->y);
    } else if (code == kZoomNoticeCursorOverImage) {
        DrawBrushCursor(static_cast<const ZoomViewCursorNotice*>(notice->data));
    }
    return 0;
}

void CClickEditDlg::FreeStrokes()
{
    m_strokes.clear();
    m_count = 0;
    m_headerFont.DeleteObject();
}

void CClickEditDlg::OnOK()
{
    FreeStrokes();
    EndDialog(IDOK);
}

void CClickEditDlg::OnCancel()
{
    FreeStrokes();
    EndDialog(IDCANCEL);
}

CEraseSpotsDlg::CEraseSpotsDlg(CWnd* parent) : CClickEditDlg(parent)
{
    m_brush[brush::kSize] = 8;
    m_brush[brush::kBlur] = 8;
    m_maxSize = 16;
}

void CEraseSpotsDlg::OnImageClick(int x, int y)
{
    const SIZE s = PictureSize(m_work);
    if (x < 0 || y < 0 || x >= s.cx || y >= s.cy)
        return;
    m_brush[brush::kBlur] = std::max<BYTE>(m_brush[brush::kBlur], 4);
    const RECT area = PushPatch(x, y);
    if (area.right <= area.left || area.bottom <= area.top)
        return;
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (erasespots::EraseSpot(&m_work, m_brush, area, POINT{x, y}) && m_view.m_hWnd)
        m_view.RepaintNow();
    ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
}

void CEraseSpotsDlg::OnOK()
{
    m_view.SetImage(nullptr, FALSE);
    thePhotoDocument.m_image = std::move(m_work);
    if (!m_wizard) {
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextEraseSpot));
        thePhotoDocument.m_history.SetRefreshFlag();
    }
    CClickEditDlg::OnOK();
}

int RunEraseSpotsDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CEraseSpotsDlg dialog(parent);
    dialog.SetTexts(kEraseCaption, kEraseHint);
    return static_cast<int>(dialog.DoModal());
}
