#include "editor/retouch/ContentResizeDlg.h"
#include "editor/retouch/PictureSize.h"

#include "editor/adjust/SelectionDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

namespace {

constexpr int kTextContentResize = 246;
constexpr UINT kIconWindow = 227;
constexpr int kMainMargin = 40;
constexpr COLORREF kDarkSquare = RGB(128, 128, 128);
constexpr COLORREF kLightSquare = RGB(160, 160, 160);
constexpr int kSquare = 5;

const char* const kAspectTexts[contentresize::kAspects] = {
    "Customize", "1:1",       "4:3(3:4)",  "16:9(9:16)", "3:2(2:3)", "1' photo",
    "2' photo",  "5' photo",  "6' photo",  "7' photo",   "8' photo",
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

namespace contentresize {

double AspectRatio(int index)
{
    static const double kRatios[kAspects] = {0.0,
                                             1.0,
                                             1.3333333,
                                             1.7777778,
                                             1.5,
                                             1.3636363340803421,
                                             4.0 / 3.0,
                                             10.0 / 7.0,
                                             1.5,
                                             1.4,
                                             4.0 / 3.0};
    return index >= 0 && index < kAspects ? kRatios[index] : 0.0;
}

int TargetSide(int drag, int display, int image)
{
    if (display <= 0)
        return image;
    int v = static_cast<int>(static_cast<long long>(drag) * image / display);
    // Never a side of nothing: a tiny photo shown large would ask for one.
    v = std::min(std::max((v + 1) / 2 * 2, 2), image);
    return image - v <= 4 ? image : v;
}

RECT AspectBox(RECT display, double ratio)
{
    const int dw = display.right - display.left, dh = display.bottom - display.top;
    if (ratio <= 0 || dw <= 0 || dh <= 0)
        return display;
    const double r = dh > dw ? 1.0 / ratio : ratio;
    RECT box = display;
    if (r < static_cast<double>(dw) / dh)
        box.right = display.left + static_cast<LONG>(r * dh);
    else
        box.bottom = display.top + static_cast<LONG>(dw / r);
    return box;
}

POINT ClampCorner(POINT p, RECT display)
{
    return POINT{std::clamp<LONG>(p.x, display.left + kMinBox, std::max(display.left + kMinBox, display.right)),
                 std::clamp<LONG>(p.y, display.top + kMinBox, std::max(display.top + kMinBox, display.bottom))};
}

bool WidthFirst(SIZE image, SIZE target)
{
    return image.cy - target.cy < image.cx - target.cx;
}

}  // namespace contentresize

BEGIN_MESSAGE_MAP(CContentResizeDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_CBN_SELCHANGE(IDC_RESIZE_ASPECT, OnAspectChanged)
    ON_BN_CLICKED(IDC_RESIZE_DEFINE, OnDefine)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CContentResizeDlg::CContentResizeDlg(CWnd* parent) : CSkinDialog(IDD_CONTENT_RESIZE, parent) {}

CContentResizeDlg::~CContentResizeDlg()
{
    // The jobs read and write this object's images.
    if (m_runningTag >= 0) {
        theAlgorithmThread.StopAlgorithm();
        while (theAlgorithmThread.IsBusy())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

BOOL CContentResizeDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    CRect separator;
    GetDlgItem(IDC_RESIZE_SEPARATOR)->GetWindowRect(&separator);
    ScreenToClient(&separator);
    m_panelWidth = separator.right;
    if (!m_work.DuplicateFrom(&thePhotoDocument.m_image)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconWindow))) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    for (const char* text : kAspectTexts)
        SendDlgItemMessage(IDC_RESIZE_ASPECT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessage(IDC_RESIZE_ASPECT, CB_SETCURSEL, 0, 0);
    m_ready = true;
    // As large as the main window less 40 on each side, never smaller.
    CRect window;
    GetWindowRect(&window);
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) {
        CRect client;
        main->GetClientRect(&client);
        const int w = std::max<int>(window.Width(), client.Width() - 2 * kMainMargin);
        const int h = std::max<int>(window.Height(), client.Height() - 2 * kMainMargin);
        SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CenterWindow();
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
    StartAnalysis();
    return TRUE;
}

void CContentResizeDlg::Layout(int w, int h)
{
    if (!m_ready)
        return;
    auto place = [this](UINT id, int x, int y, int cx, int cy) {
        if (CWnd* item = GetDlgItem(id))
            item->MoveWindow(x, y, std::max(cx, 1), std::max(cy, 1));
    };
    place(IDC_RESIZE_SEPARATOR, m_panelWidth - 1, 10, 2, h - 20);
    place(IDCANCEL, 10, h - 35, m_panelWidth / 2 - 15, 25);
    place(IDOK, m_panelWidth / 2, h - 35, m_panelWidth / 2 - 15, 25);
    m_previewArea = RECT{m_panelWidth + 12, 12, w - 14, h - 44};
    const SIZE s = PictureSize(thePhotoDocument.m_image);
    m_displayRect = FitRectToAspect(m_previewArea, s.cx, s.cy);
    m_dragRect = m_displayRect;
    BuildDisplay();
    Invalidate();
}

void CContentResizeDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    Layout(cx, cy);
}

void CContentResizeDlg::BuildDisplay()
{
    const int dw = m_displayRect.right - m_displayRect.left, dh = m_displayRect.bottom - m_displayRect.top;
    const SIZE image = PictureSize(thePhotoDocument.m_image), work = PictureSize(m_work);
    if (dw <= 0 || dh <= 0 || image.cx == 0 || image.cy == 0 || work.cx == 0 || m_display.Create(dw, dh) != 0) {
        m_display.Free();
        m_resultRect = m_displayRect;
        return;
    }
    const int rw = std::max(1, static_cast<int>(static_cast<long long>(dw) * work.cx / image.cx));
    const int rh = std::max(1, static_cast<int>(static_cast<long long>(dh) * work.cy / image.cy));
    CQLImage scaled;
    CQLImageCodec codec;
    const bool drawn = codec.Resample(&m_work, &scaled, rw, rh, 1) != 0;
    for (int y = 0; y < dh; ++y) {
        BYTE* row = m_display.GetBuffer(0, y);
        for (int x = 0; x < dw; ++x) {
            BYTE* p = row + x * 4;
            if (drawn && x < rw && y < rh) {
                if (x + y >= rw + rh - contentresize::kGrip) {
                    const bool blue = (x + y) % 3 == 2;
                    p[0] = 255, p[1] = blue ? 0 : 255, p[2] = blue ? 0 : 255;
                } else {
                    std::memcpy(p, scaled.GetBuffer(x, y), 3);
                }
            } else {
                const COLORREF c = (y / kSquare + x / kSquare) % 2 ? kDarkSquare : kLightSquare;
                p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
            }
            p[3] = 255;
        }
    }
    m_resultRect = RECT{m_displayRect.left, m_displayRect.top, m_displayRect.left + rw, m_displayRect.top + rh};
}

void CContentResizeDlg::StartAnalysis()
{
    m_params = ContentAwareResizeParams{};
    const SIZE s = PictureSize(thePhotoDocument.m_image);
    // The maps are made for the whole photo; the analysis writes its own image.
    m_params.width = s.cx;
    m_params.height = s.cy;
    m_params.analyseOnly = 1;
    m_params.protectMask = m_protectMask.GetAreaByteSize() ? &m_protectMask : nullptr;
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    m_first.SetImages(&thePhotoDocument.m_image, &m_analysis);
    if (Run(&m_first, kAnalysisTag, 0, 100))
        GetDlgItem(IDC_RESIZE_ANALYSING)->ShowWindow(SW_SHOW);
}

BOOL CContentResizeDlg::Run(ContentAwareResizeAlgorithm* algorithm, int tag, int low, int high)
{
    if (!theAlgorithmThread.RunAlgorithm(algorithm, &m_params, tag, low, high))
        return FALSE;
    m_runningTag = tag;
    return TRUE;
}

void CContentResizeDlg::RequestResize()
{
    if (m_runningTag >= 0 || theAlgorithmThread.IsBusy())
        m_pending = TRUE;
    else
        StartResize();
}

void CContentResizeDlg::StartResize()
{
    const SIZE image = PictureSize(thePhotoDocument.m_image);
    if (m_redo) {
        // The same target again, on a new analysis.
        m_redo = FALSE;
    } else {
        // A box back at full size after a resize brings the whole photo back.
        if (SameRect(m_dragRect, m_displayRect) && SameRect(m_resultRect, m_displayRect))
            return;
        const int dw = m_displayRect.right - m_displayRect.left, dh = m_displayRect.bottom - m_displayRect.top;
        m_target.cx = contentresize::TargetSide(m_dragRect.right - m_dragRect.left, dw, image.cx);
        m_target.cy = contentresize::TargetSide(m_dragRect.bottom - m_dragRect.top, dh, image.cy);
    }
    const bool widthFirst = contentresize::WidthFirst(image, m_target);
    m_params.width = widthFirst ? m_target.cx : image.cx;
    m_params.height = widthFirst ? image.cy : m_target.cy;
    m_params.analyseOnly = 0;
    m_params.protectMask = m_protectMask.GetAreaByteSize() ? &m_protectMask : nullptr;
    m_first.SetImages(&thePhotoDocument.m_image, &m_intermediate);
    if (Run(&m_first, widthFirst ? kWidthTag : kHeightTag, 0, 20))
        GetDlgItem(IDC_RESIZE_ASPECT)->EnableWindow(FALSE);
}

LRESULT CContentResizeDlg::OnAlgorithmNotify(WPARAM kind, LPARAM value)
{
    if (kind == 0) {
        SetProgress(static_cast<int>(value));
        return 0;
    }
    if (kind != 1 || value != m_runningTag)
        return 0;
    m_runningTag = -1;
    const BOOL ok = theAlgorithmThread.GetResult() == 0;
    switch (value) {
    case kAnalysisTag:
        SetProgress(0);
        GetDlgItem(IDC_RESIZE_ANALYSING)->ShowWindow(SW_HIDE);
        m_analysis.Free();
        // A resize made before this analysis (as after "Define") is redone.
        if (!SameRect(m_resultRect, m_displayRect) && !m_pending) {
            m_pending = TRUE;
            m_redo = TRUE;
        }
        break;
    case kWidthTag:
    case kHeightTag:
        PassDone(ok);
        break;
    case kSecondTag:
        SetProgress(0);
        if (ok)
            std::swap(m_work, m_secondResult);
        m_secondResult.Free();
        BuildDisplay();
        Invalidate(FALSE);
        break;
    default:
        break;
    }
    if (m_runningTag >= 0)
        return 0;
    if (m_pending) {
        m_pending = FALSE;
        StartResize();
    }
    if (m_runningTag >= 0)
        return 0;
    GetDlgItem(IDC_RESIZE_ASPECT)->EnableWindow(TRUE);
    if (m_finishWhenIdle)
        Finish();
    return 0;
}

void CContentResizeDlg::PassDone(BOOL ok)
{
    const SIZE work = PictureSize(m_work), mid = PictureSize(m_intermediate);
    if (!ok) {
        SetProgress(0);
        return;
    }
    if (m_target.cx == work.cx && m_target.cy == work.cy) {
        SetProgress(0);
        BuildDisplay();
        Invalidate(FALSE);
        return;
    }
    if (mid.cx != m_target.cx || mid.cy != m_target.cy) {
        m_params.protectMask = nullptr;
        if (m_protectMask.GetAreaByteSize() && m_passMask.DuplicateFrom(&m_intermediate, 3))
            m_params.protectMask = &m_passMask;
        m_second.FreeCache();
        m_second.SetImages(&m_intermediate, &m_secondResult);
        m_params.width = m_target.cx;
        m_params.height = m_target.cy;
        m_params.analyseOnly = 0;
        if (Run(&m_second, kSecondTag, 20, 100))
            return;
        SetProgress(0);
        return;
    }
    SetProgress(0);
    std::swap(m_work, m_intermediate);
    m_intermediate.Free();
    BuildDisplay();
    Invalidate(FALSE);
}

void CContentResizeDlg::ChooseAspect(int index)
{
    if (index <= 0 || index >= contentresize::kAspects)
        return;
    m_aspect = index;
    SendDlgItemMessage(IDC_RESIZE_ASPECT, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_dragRect = contentresize::AspectBox(m_displayRect, contentresize::AspectRatio(index));
    Invalidate(FALSE);
    RequestResize();
}

void CContentResizeDlg::OnAspectChanged()
{
    ChooseAspect(static_cast<int>(SendDlgItemMessage(IDC_RESIZE_ASPECT, CB_GETCURSEL, 0, 0)));
}

bool CContentResizeDlg::OverGrip(CPoint point) const
{
    const CRect result(m_resultRect);
    return result.PtInRect(point) && point.x >= result.right - contentresize::kGrip &&
           point.y >= result.bottom - contentresize::kGrip;
}

BOOL CContentResizeDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    if (m_dragging || OverGrip(p)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZENWSE));
        return TRUE;
    }
    return CSkinDialog::OnSetCursor(wnd, hitTest, message);
}

void CContentResizeDlg::OnLButtonDown(UINT, CPoint point)
{
    if (!OverGrip(point))
        return;
    m_dragging = TRUE;
    SetCapture();
    m_dragRect = m_resultRect;
}

void CContentResizeDlg::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging)
        return;
    const POINT corner = contentresize::ClampCorner(point, m_displayRect);
    m_dragRect.right = corner.x;
    m_dragRect.bottom = corner.y;
    Invalidate(FALSE);
}

void CContentResizeDlg::OnLButtonUp(UINT, CPoint)
{
    if (!m_dragging)
        return;
    m_dragging = FALSE;
    ReleaseCapture();
    m_aspect = 0;
    SendDlgItemMessage(IDC_RESIZE_ASPECT, CB_SETCURSEL, 0, 0);
    RequestResize();
}

RECT CContentResizeDlg::StripRect() const
{
    return RECT{m_previewArea.left, m_previewArea.bottom + 10, m_previewArea.right, m_previewArea.bottom + 30};
}

void CContentResizeDlg::SetProgress(int percent)
{
    m_percent = std::clamp(percent, 0, 100);
    const RECT strip = StripRect();
    if (m_hWnd)
        InvalidateRect(&strip, TRUE);
}

void CContentResizeDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!m_ready)
        return;
    CRect frame(m_previewArea);
    frame.InflateRect(2, 2);
    dc.Draw3dRect(&frame, RGB(192, 192, 192), RGB(192, 192, 192));
    if (m_display.GetAreaByteSize())
        DrawImageFitted(&dc, m_displayRect.left, m_displayRect.top, m_displayRect.right, m_displayRect.bottom,
                        &m_display, RGB(0, 0, 0), FALSE);
    if (m_dragging) {
        CRect box(m_dragRect);
        CBrush white(RGB(255, 255, 255)), black(RGB(0, 0, 0));
        dc.FrameRect(&box, &white);
        box.DeflateRect(1, 1);
        dc.FrameRect(&box, &black);
    }
    if (m_percent > 0) {
        const CRect strip(StripRect());
        const int done = strip.Width() * m_percent / 100;
        dc.FillSolidRect(strip.left, strip.top, done, strip.Height(), RGB(128, 128, 128));
        const CRect rest(strip.left + done, strip.top, strip.right, strip.bottom);
        dc.FillRect(&rest, &theAppSettings.m_skinBrush);
        char text[16];
        std::snprintf(text, sizeof text, "%d%%", m_percent);
        CFont* old = dc.SelectObject(GetFont());
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(255, 255, 255));
        CRect label(strip.left + 5, strip.top, strip.right, strip.bottom);
        dc.DrawText(text, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        dc.SelectObject(old);
    }
}

void CContentResizeDlg::StopAndWait()
{
    if (m_runningTag >= 0)
        theAlgorithmThread.StopAlgorithm();
    while (theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_runningTag = -1;
    // The stopped job's notices must not pass for the next job's.
    MSG msg;
    while (::PeekMessage(&msg, m_hWnd, WM_ALGORITHM_NOTIFY, WM_ALGORITHM_NOTIFY, PM_REMOVE)) {
    }
}

void CContentResizeDlg::SetProtectedArea(const CQLChannel& mask)
{
    if (!m_protectMask.DuplicateFrom(&mask))
        return;
    StopAndWait();
    m_first.FreeCache();
    StartAnalysis();
}

void CContentResizeDlg::OnDefine()
{
    const CQLChannel* mask = nullptr;
    if (RunSelectAreaDlg(this, &mask) == IDOK && mask && mask->GetAreaByteSize())
        SetProtectedArea(*mask);
}

void CContentResizeDlg::OnOK()
{
    // The result of the last request, not a half-done one.
    if (m_runningTag >= 0 || m_pending) {
        m_finishWhenIdle = TRUE;
        GetDlgItem(IDOK)->EnableWindow(FALSE);
        return;
    }
    Finish();
}

void CContentResizeDlg::Finish()
{
    m_finishWhenIdle = FALSE;
    if (m_work.GetAreaByteSize()) {
        thePhotoDocument.m_image = std::move(m_work);
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextContentResize));
        thePhotoDocument.m_history.SetRefreshFlag();
    }
    EndDialog(IDOK);
}

void CContentResizeDlg::OnCancel()
{
    StopAndWait();
    EndDialog(IDCANCEL);
}

int RunContentResizeDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CContentResizeDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
