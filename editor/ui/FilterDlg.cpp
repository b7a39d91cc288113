#include "editor/ui/FilterDlg.h"

#include "algorithms/EffectAlgorithm.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/HintWnd.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr UINT kIconEffectDialogs = 227;
constexpr UINT kIconMaskSet = 343;
constexpr UINT kBitmapViewModes = 350;
constexpr int kHandCursor = 131;
constexpr int kTextApplyToSelection = 152;
constexpr int kTextModifySelection = 153;
constexpr int kTextLayer = 238;
constexpr int kModeHints[CViewModeBar::kModes] = {28, 140, 155, 156, 161};
constexpr int kNarrowLayoutWidth = 360;
constexpr int kHistogramHeight = 70;

const qlafx::DialogTemplate kLayerSetupTemplate[] = {
    {IDD_LAYER_SETUP, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 186, 78,
     "Layer setup", "MS Shell Dlg", 8,
     {
         {"Static", "Mode:", 0xFFFF, 7, 9, 40, 8, WS_VISIBLE | SS_LEFT},
         {"ComboBox", "", IDC_LAYER_MODE, 50, 7, 129, 14, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "Opacity:", 0xFFFF, 7, 30, 40, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_trackbar32", "", IDC_LAYER_OPACITY, 50, 26, 129, 16, WS_VISIBLE | WS_TABSTOP},
         {"Button", "OK", IDOK, 75, 57, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 129, 57, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kLayerSetupTemplate};
qlafx::ResourceRegistrar kRegister(kTable);

int ProfileInt(const char* section, const char* key, int def)
{
    CWinApp* app = AfxGetApp();
    return app ? static_cast<int>(app->GetProfileInt(section, key, def)) : def;
}

void WriteProfile(const char* section, const char* key, int value)
{
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileInt(section, key, value);
}

// The view mode every effect dialog of the process last laid out; -1 until
// the first dialog reads it from the profile.
int g_previousMode = -1;

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

bool SameSize(const CQLImage& a, const CQLImage& b)
{
    const SIZE sa = SizeOf(a), sb = SizeOf(b);
    return sa.cx == sb.cx && sa.cy == sb.cy;
}

HICON LoadResourceIcon(UINT id)
{
    return ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(id));
}

}  // namespace

// ---------------------------------------------------------------------------
// CLayerSetupDlg

const char* const CLayerSetupDlg::kModeNames[kBlendModeCount] = {
    "Normal", "Multiply", "Screen", "Lighten", "Darken", "Overlap", "Hard Light", "Soft Light", "Difference"};

CLayerSetupDlg::CLayerSetupDlg(CWnd* parent) : CSkinDialog(IDD_LAYER_SETUP, parent) {}

BOOL CLayerSetupDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    for (const char* name : kModeNames)
        SendDlgItemMessage(IDC_LAYER_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    m_slider.SubclassDlgItem(IDC_LAYER_OPACITY, this);
    m_slider.SetRange(1, 255);
    m_slider.SetPos(255);
    UpdateData(FALSE);
    return TRUE;
}

void CLayerSetupDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_LAYER_MODE, blendMode);
    DDX_Slider(pDX, IDC_LAYER_OPACITY, opacity);
}

void CLayerSetupDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    blendMode = std::clamp(blendMode, 0, kBlendModeCount - 1);
    EndDialog(IDOK);
}

// ---------------------------------------------------------------------------
// CViewModeBar

BEGIN_MESSAGE_MAP(CViewModeBar, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL CViewModeBar::Create(const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

int CViewModeBar::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    images.Create(kBitmapViewModes, kCell, kModes, RGB(0, 255, 0));
    mode = std::clamp(ProfileInt("Interface", "FilterViewMode", 1), 0, kModes - 1);
    return 0;
}

void CViewModeBar::SetViewMode(int newMode)
{
    if (newMode == mode)
        return;
    mode = newMode;
    Invalidate(FALSE);
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_VIEWMODE_CHANGED, static_cast<WPARAM>(mode), 0);
}

BOOL CViewModeBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CViewModeBar::OnPaint()
{
    CPaintDC dc(this);
    const RECT all{0, 0, kCell * kModes, kCell};
    dc.FillRect(&all, &theAppSettings.m_skinBrush);
    const RECT current{mode * kCell, 0, mode * kCell + kCell, kCell};
    dc.FillSolidRect(&current, RGB(192, 200, 220));
    CBrush frame(RGB(128, 128, 192));
    dc.FrameRect(&current, &frame);
    for (int i = 0; i < kModes && i < images.GetImageCount(); ++i)
        images.Draw(&dc, i, POINT{i * kCell, 0}, ILD_TRANSPARENT);
    if (hover >= 0 && hover != mode) {
        const RECT cell{hover * kCell, 0, hover * kCell + kCell, kCell};
        dc.FrameRect(&cell, &frame);
    }
}

void CViewModeBar::SetHover(int cell)
{
    if (cell == hover)
        return;
    hover = cell;
    Invalidate(FALSE);
    ::SetCursor(::LoadCursor(hover >= 0 && hover != mode ? AfxGetInstanceHandle() : nullptr,
                             hover >= 0 && hover != mode ? MAKEINTRESOURCE(kHandCursor) : IDC_ARROW));
    SetTimer(kHintTimer, 400, nullptr);
}

void CViewModeBar::OnMouseMove(UINT, CPoint point)
{
    if (!tracking) {
        tracking = 1;
        SetTimer(kHintTimer, 400, nullptr);
    }
    SetHover(point.x >= 0 && point.x < kCell * kModes && point.y >= 0 && point.y < kCell ? point.x / kCell : -1);
}

void CViewModeBar::OnMouseLeave()
{
    tracking = 0;
    KillTimer(kHintTimer);
    if (g_hintWnd && g_hintWnd->m_hWnd && g_hintWnd->IsWindowVisible())
        CHintWnd::HideWnd(g_hintWnd);
    SetHover(-1);
    KillTimer(kHintTimer);
}

BOOL CViewModeBar::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (hover >= 0 && hover != mode) {
        ::SetCursor(::LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(kHandCursor)));
        return TRUE;
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CViewModeBar::OnLButtonDown(UINT, CPoint)
{
    if (hover < 0 || hover == mode)
        return;
    mode = hover;
    WriteProfile("Interface", "FilterViewMode", mode);
    Invalidate(FALSE);
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_VIEWMODE_CHANGED, static_cast<WPARAM>(mode), 0);
}

void CViewModeBar::OnTimer(UINT_PTR id)
{
    if (id != kHintTimer)
        return;
    KillTimer(kHintTimer);
    if (!g_hintWnd || !g_hintWnd->m_hWnd)
        return;
    if (g_hintWnd->IsWindowVisible())
        CHintWnd::HideWnd(g_hintWnd);
    if (hover < 0 || hover >= kModes)
        return;
    RECT strip;
    GetWindowRect(&strip);
    g_hintWnd->ShowAt(strip.left + hover * kCell + kCell, strip.top + kCell, theUITextTable.GetText(kModeHints[hover]),
                      GetParent());
}

// ---------------------------------------------------------------------------
// CFilterDlg

IMPLEMENT_DYNAMIC(CFilterDlg, CSkinDialog)

BEGIN_MESSAGE_MAP(CFilterDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_CREATE()
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnSyncPreview)
    ON_WM_ERASEBKGND()
    ON_COMMAND(IDC_FILTER_LAYER, OnLayerSetup)
    ON_COMMAND(IDC_FILTER_SELECT, OnSelectArea)
    ON_MESSAGE(WM_VIEWMODE_CHANGED, OnViewModeChanged)
END_MESSAGE_MAP()

namespace {
SelectAreaRunner g_selectAreaRunner = nullptr;
}  // namespace

void SetSelectAreaRunner(SelectAreaRunner runner)
{
    g_selectAreaRunner = runner;
}

std::unique_ptr<CQLChannel> KeepSelection(const CQLChannel* mask)
{
    if (!mask || mask->GetAreaByteSize() == 0)
        return nullptr;
    auto copy = std::make_unique<CQLChannel>();
    return copy->DuplicateFrom(mask) ? std::move(copy) : nullptr;
}

CFilterDlg::CFilterDlg(UINT templateId, CWnd* parent) : CSkinDialog(templateId, parent) {}

CFilterDlg::~CFilterDlg()
{
    StopJobAndWait();
    if (m_hWnd)
        DestroyWindow();
}

CQLImage* CFilterDlg::CurrentImage()
{
    return &thePhotoDocument.m_image;
}

int CFilterDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    const RECT none{0, 0, 10, 10};
    if (!resultView.Create("", none, this, IDC_FILTER_RESULT_VIEW) || !sourceView.Create("", none, this, IDC_FILTER_SOURCE_VIEW)
        || !modeBar.Create(RECT{0, 0, CViewModeBar::kCell * CViewModeBar::kModes, CViewModeBar::kCell}, this,
                           IDC_FILTER_MODE_BAR)
        || !percentBar.Create(nullptr, "", WS_CHILD | WS_VISIBLE, none, this, IDC_FILTER_PERCENT))
        return -1;
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    if (!selectButton.Create(theUITextTable.GetText(kTextApplyToSelection), buttonStyle, none, this, IDC_FILTER_SELECT)
        || !layerButton.Create(theUITextTable.GetText(kTextLayer), buttonStyle, none, this, IDC_FILTER_LAYER))
        return -1;
    for (CButtonST* b : {&selectButton, &layerButton}) {
        b->SetSkinBackground(&theAppSettings.m_skinBrush);
        b->SetHoverCursor(kHandCursor);
    }
    selectButton.EnableWindow(g_selectAreaRunner != nullptr);
    return 0;
}

BOOL CFilterDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    CQLImage* current = CurrentImage();
    ComputeHistogram(current, sourceHistogram);
    // Until the first job ends the result is the photo itself.
    if (!result.DuplicateFrom(current))
        result.Free();
    ComputeHistogram(&result, resultHistogram);
    resultView.SetImage(&result, FALSE);
    sourceView.SetImage(current, FALSE);
    if (theAppSettings.m_layeredMode)
        resultView.EnableMergedDisplay(TRUE);
    if (HICON icon = LoadResourceIcon(kIconEffectDialogs)) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    selectButton.SetFont(GetFont());
    layerButton.SetFont(GetFont());
    FitToMainWindow();
    if (dialogKey && ProfileInt("FilterInitMax", dialogKey, 0))
        ShowWindow(SW_MAXIMIZE);
    SetViewMode(modeBar.GetViewMode());
    return TRUE;
}

void CFilterDlg::FitToMainWindow()
{
    RECT window;
    GetWindowRect(&window);
    templateRect = RECT{0, 0, window.right - window.left, window.bottom - window.top};
    int width = templateRect.right + templateRect.bottom;  // room for a square preview
    int height = templateRect.bottom;
    CWnd* main = AfxGetMainWnd();
    if (main && main != this && main->m_hWnd) {
        RECT client;
        main->GetClientRect(&client);
        width = std::max(width, static_cast<int>(client.right - client.left) - 80);
        height = std::max(height, static_cast<int>(client.bottom - client.top) - 80);
    }
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
    layoutReady = 1;
    RecalcLayout();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CFilterDlg::RecalcLayout()
{
    if (!layoutReady)
        return;
    const int w = templateRect.right - templateRect.left;
    RECT c;
    GetClientRect(&c);
    const int ch = c.bottom - c.top;
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(w - 90, ch - 35, 80, 25);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(w - 180, ch - 35, 80, 25);

    const RECT p{w + 5, 30, c.right - 10, c.bottom - 35};
    const int midX = (p.left + p.right) / 2, midY = (p.top + p.bottom) / 2;
    const int mode = modeBar.GetViewMode();
    sourceHistRect = resultHistRect = RECT{};
    switch (mode) {
    case 2:
        sourceView.MoveWindow(p.left, p.top, midX - p.left, p.bottom - p.top);
        resultView.MoveWindow(midX, p.top, p.right - midX, p.bottom - p.top);
        break;
    case 3:
        sourceView.MoveWindow(p.left, p.top, p.right - p.left, midY - p.top);
        resultView.MoveWindow(p.left, midY, p.right - p.left, p.bottom - midY);
        break;
    case 4: {
        const int viewBottom = p.bottom - kHistogramHeight;
        sourceView.MoveWindow(p.left, p.top, midX - p.left, viewBottom - p.top);
        resultView.MoveWindow(midX, p.top, p.right - midX, viewBottom - p.top);
        sourceHistRect = RECT{p.left, viewBottom, midX, p.bottom};
        resultHistRect = RECT{midX, viewBottom, p.right, p.bottom};
        break;
    }
    default:
        resultView.MoveWindow(p.left, p.top, p.right - p.left, p.bottom - p.top);
        break;
    }
    sourceView.ShowWindow(mode >= 2 && mode <= 4 ? SW_SHOW : SW_HIDE);
    resultView.ZoomToFit(FALSE);
    sourceView.CopyViewFrom(&resultView);

    modeBar.MoveWindow(w + 5, 5, CViewModeBar::kCell * CViewModeBar::kModes, CViewModeBar::kCell);
    if (c.right - c.left <= kNarrowLayoutWidth) {
        selectButton.MoveWindow(c.right - 155, 5, 118, 20);
        layerButton.MoveWindow(c.right - 37, 5, 32, 20);
    } else {
        selectButton.MoveWindow(c.right - 235, 5, 160, 20);
        layerButton.MoveWindow(c.right - 70, 5, 60, 20);
    }
    percentBar.MoveWindow(w + 5, c.bottom - 25, (c.right - c.left) - w - 10, 15);
}

void CFilterDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    if (type == SIZE_MAXIMIZED)
        maximized = 1;
    else if (type == SIZE_RESTORED)
        maximized = 0;
    RecalcLayout();
    if (layoutReady)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

POINT CFilterDlg::GetResultOffset()
{
    return POINT{0, 0};
}

void CFilterDlg::OnProgress(int) {}

void CFilterDlg::RunAlgorithm() {}

BOOL CFilterDlg::RunJob(EffectAlgorithm* alg, void* argument, int tag, int low, int high)
{
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(alg, argument, tag, low, high))
        return FALSE;
    ++jobsStarted;
    return TRUE;
}

void CFilterDlg::UpdatePreview()
{
    UpdateData(TRUE);
    if (closing)
        return;
    // A job counts until its notice is handled: its picture is swapped in
    // then, so no second job may write the work image before.
    if (JobPending() || theAlgorithmThread.IsBusy()) {
        rerunPending = 1;
        theAlgorithmThread.StopAlgorithm();
        return;
    }
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    RunAlgorithm();
}

LRESULT CFilterDlg::OnAlgorithmNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        const int percent = static_cast<int>(lParam);
        percentBar.SetStateAndRedraw(percent == 100 ? 0 : percent);
        OnProgress(percent);
        return 0;
    }
    if (wParam != 1 || !JobPending())
        return 0;
    ++jobsDone;
    lastResult = theAlgorithmThread.GetResult();
    // A job that ends without reporting 100 (failed, cancelled) must not
    // leave its last percent standing.
    percentBar.SetStateAndRedraw(0);
    if (lastResult == 0) {
        const bool sizeChanged = !SameSize(result, work);
        std::swap(result, work);
        if (sizeChanged) {
            resultView.SetImage(&result, FALSE);
            sourceView.CopyViewFrom(&resultView);
        }
        if (!SameSize(result, *CurrentImage()))
            layerButton.EnableWindow(FALSE);
        if (selectionMask || layerSetup.IsActive())
            BlendResult();
    }
    OnAlgorithmDone(static_cast<int>(lParam), lastResult);
    return 0;
}

void CFilterDlg::OnAlgorithmDone(int, int)
{
    if (rerunPending && !closing) {
        rerunPending = 0;
        UpdatePreview();
    }
    ComputeHistogram(&result, resultHistogram);
    if (theAppSettings.m_layeredMode)
        resultView.EnableMergedDisplay(TRUE);
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CFilterDlg::WaitUntilIdle()
{
    // A notice that ends a job may start the queued re-run: wait for it too.
    while (JobPending() && m_hWnd)
        ::WaitMessage();
}

int CFilterDlg::WaitForFinalResult()
{
    waitingForResult = true;
    CWnd* ok = GetDlgItem(IDOK);
    if (ok)
        ok->EnableWindow(FALSE);
    const bool rerunQueued = rerunPending != 0;
    WaitUntilIdle();
    // The queued re-run already was the one more run with the last values.
    if (lastResult != 0 && !rerunQueued) {
        UpdatePreview();
        WaitUntilIdle();
    }
    if (ok && m_hWnd)
        ok->EnableWindow(TRUE);
    waitingForResult = false;
    if (lastResult == 0)
        return 0;
    return lastResult == kNoResult ? static_cast<int>(E_FAIL) : lastResult;
}

void CFilterDlg::StopJobAndWait()
{
    closing = true;
    rerunPending = 0;
    if (!JobPending() && !theAlgorithmThread.IsBusy())
        return;
    theAlgorithmThread.StopAlgorithm();
    // The notice may never come once the window is gone: watch the thread.
    while (theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    jobsDone = jobsStarted;
}

void CFilterDlg::BlendResult()
{
    CQLImage* source = CurrentImage();
    if (!SameSize(result, *source))
        layerButton.EnableWindow(FALSE);
    const LayerBlend layer{layerSetup.blendMode, layerSetup.opacity, layerSetup.IsActive() != FALSE};
    ::BlendResult(*source, &result, layer, selectionMask.get(), GetResultOffset());
}

void CFilterDlg::ComputeHistogram(CQLImage* image, HistogramTable table)
{
    ::ComputeHistogram(image, table);
}

void CFilterDlg::SetSelectionMask(const CQLChannel* mask)
{
    selectionMask = KeepSelection(mask);
    UpdatePreview();
    selectButton.SetWindowText(theUITextTable.GetText(selectionMask ? kTextModifySelection : kTextApplyToSelection));
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CFilterDlg::OnSelectArea()
{
    const CQLChannel* mask = nullptr;
    if (g_selectAreaRunner && g_selectAreaRunner(this, &mask) == IDOK)
        SetSelectionMask(mask);
}

void CFilterDlg::OnLayerSetup()
{
    layerSetup.m_pParentWnd = this;
    if (layerSetup.DoModal() == IDOK)
        UpdatePreview();
}

LRESULT CFilterDlg::OnViewModeChanged(WPARAM wParam, LPARAM)
{
    SetViewMode(static_cast<int>(wParam));
    return 0;
}

void CFilterDlg::SetViewMode(int mode)
{
    if (g_previousMode < 0)
        g_previousMode = ProfileInt("Interface", "FilterViewMode", 1);
    // Modes 0 and 1 show the photo or the result in the one view at the
    // same zoom and scroll.
    auto show = [this](CQLImage* image) {
        resultView.SaveZoomState();
        resultView.SetImage(image, FALSE);
        resultView.RestoreZoomState();
    };
    if (mode == 0 || mode == 1) {
        show(mode == 0 ? CurrentImage() : &result);
        if (g_previousMode == 1 - mode) {
            g_previousMode = mode;
            return;
        }
    } else if (mode == 2 || mode == 3) {
        show(&result);
    }
    RecalcLayout();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    g_previousMode = mode;
}

LRESULT CFilterDlg::OnSyncPreview(WPARAM wParam, LPARAM lParam)
{
    if (!layoutReady || wParam != kZoomNoticeChanged || !lParam)
        return 0;
    const auto* notice = reinterpret_cast<const ZoomViewNotice*>(lParam);
    if (notice->view == &resultView)
        sourceView.CopyViewFrom(&resultView);
    else if (notice->view == &sourceView)
        resultView.CopyViewFrom(&sourceView);
    return 0;
}

BOOL CFilterDlg::OnEraseBkgnd(CDC* dc)
{
    CSkinDialog::OnEraseBkgnd(dc);
    const int w = templateRect.right - templateRect.left;
    RECT c;
    GetClientRect(&c);
    const int top = templateRect.top + 10;
    const int length = (c.bottom - c.top) - 50;
    if (layoutReady && length > 0) {
        dc->FillSolidRect(w, top, 1, length, RGB(128, 128, 128));
        dc->FillSolidRect(w + 1, top, 1, length, RGB(255, 255, 255));
    }
    if (selectionMask && selectButton.m_hWnd) {
        RECT b;
        selectButton.GetWindowRect(&b);
        ScreenToClient(&b);
        if (HICON icon = LoadResourceIcon(kIconMaskSet))
            ::DrawIconEx(dc->GetSafeHdc(), b.left - 18, b.top + 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
    }
    if (modeBar.GetViewMode() == 4)
        DrawHistograms(dc);
    return TRUE;
}

void CFilterDlg::DrawHistograms(CDC* dc)
{
    uint32_t scale = 1;  // an empty table must not divide by zero
    for (const auto& bin : sourceHistogram)
        for (uint32_t count : bin)
            scale = std::max(scale, count);
    const std::pair<RECT, const HistogramTable*> panels[] = {{sourceHistRect, &sourceHistogram},
                                                             {resultHistRect, &resultHistogram}};
    std::vector<BYTE> pixels;
    for (const auto& [outer, table] : panels) {
        RECT r = outer;
        InflateRect(&r, -1, -1);
        if (r.right - r.left <= 2 || r.bottom - r.top <= 2)
            continue;
        dc->FillSolidRect(&r, RGB(64, 64, 64));
        CBrush black(RGB(0, 0, 0));
        dc->FrameRect(&r, &black);
        InflateRect(&r, -1, -1);
        const int w = r.right - r.left, h = r.bottom - r.top;
        const HistogramTable& t = *table;
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
        for (int x = 0; x < w; ++x) {
            const int64_t p = static_cast<int64_t>(x) * 256 * 256 / w;  // in 1/256 of a bin
            const int bin = static_cast<int>(p >> 8), frac = static_cast<int>(p & 255);
            int bars[3];
            for (int ch = 0; ch < 3; ++ch) {
                const int64_t count = bin < 255
                    ? (static_cast<int64_t>(t[bin][ch]) * (256 - frac) + static_cast<int64_t>(t[bin + 1][ch]) * frac) / 256
                    : t[255][ch];
                bars[ch] = static_cast<int>(count * h / scale);
            }
            for (int i = 0; i < h; ++i) {
                BYTE* px = &pixels[(static_cast<size_t>(h - 1 - i) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 4];
                px[2] = bars[kHistR] > i ? 255 : 64;
                px[1] = bars[kHistG] > i ? 255 : 64;
                px[0] = bars[kHistB] > i ? 255 : 64;
            }
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        ::StretchDIBits(dc->GetSafeHdc(), r.left, r.top, w, h, 0, 0, w, h, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);

        std::vector<POINT> line;
        for (int i = 0; i < 256; i += 2) {
            const int x = w * i / 256;
            if (!line.empty() && x <= line.back().x - r.left)
                continue;
            const int64_t lum = (static_cast<int64_t>(t[i][kHistLuminance]) + t[i + 1][kHistLuminance]) / 2;
            const int y = std::max<int64_t>(0, h - h * lum / scale);
            line.push_back(POINT{r.left + x, r.top + y});
        }
        CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
        CPen* oldPen = dc->SelectObject(&pen);
        const int oldRop = dc->SetROP2(R2_XORPEN);
        dc->Polyline(line.data(), static_cast<int>(line.size()));
        dc->SetROP2(oldRop);
        dc->SelectObject(oldPen);
    }
}

void CFilterDlg::OnOK()
{
    StopJobAndWait();
    if (dialogKey)
        WriteProfile("FilterInitMax", dialogKey, maximized);
    CSkinDialog::OnOK();
}

void CFilterDlg::OnCancel()
{
    StopJobAndWait();
    if (dialogKey)
        WriteProfile("FilterInitMax", dialogKey, maximized);
    CSkinDialog::OnCancel();
}

void CFilterDlg::OnClose()
{
    Default();
}

void CFilterDlg::OnDestroy()
{
    StopJobAndWait();
    CSkinDialog::OnDestroy();
}
