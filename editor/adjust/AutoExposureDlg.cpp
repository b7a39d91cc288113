#include "editor/adjust/AutoExposureDlg.h"

#include "editor/adjust/FrameTitle.h"

#include "editor/adjust/ToneFunctions.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

namespace {

constexpr int kTextAdjustExposure = 23;
constexpr int kTextSelectBest = 26;
constexpr int kTextVividColor = 61;
constexpr int kTextUnexpectedError = 137;
constexpr UINT kIconDialog = 228;
constexpr int kBand = 40;
constexpr int kGap = 5;

// Which view each step fills: the first correction goes to the last view.
constexpr int kStepView[3] = {3, 1, 2};

const char* const kViewNames[2][4] = {
    {"Original", "Auto Level", "Auto Contrast", "Adaptive Level"},
    {"Original", "Color Contrasty", "Saturation Improve", "Color Sharpen"},
};

}  // namespace

BEGIN_MESSAGE_MAP(CAutoExposureDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_GETMINMAXINFO()
    ON_CONTROL_RANGE(BN_CLICKED, IDC_EXPOSURE_VIEW_FIRST, IDC_EXPOSURE_VIEW_FIRST + 3, OnView)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotify)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnJobNotify)
END_MESSAGE_MAP()

CAutoExposureDlg::CAutoExposureDlg(CWnd* parent, Config config) : CSkinDialog(IDD_AUTO_EXPOSURE, parent), config(config)
{
    if (config == kVividColor)
        undoText = kTextVividColor;
}

CAutoExposureDlg::~CAutoExposureDlg()
{
    if (Running()) {
        theAlgorithmThread.StopAlgorithm();
        while (theAlgorithmThread.IsBusy())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

BOOL CAutoExposureDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (!font.CreateFont(32, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma")) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWindowText(config == kVividColor ? theUITextTable.GetText(kTextVividColor) : "Auto Exposure Adjustment");
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconDialog))) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    CQLImage* current = &thePhotoDocument.m_image;
    const RECT none{0, 0, 100, 100};
    for (int i = 0; i < 4; ++i) {
        CQLImage* image = i == 0 ? current : &corrections[i - 1];
        if (!views[i].Create(kViewNames[config][i], none, this, IDC_EXPOSURE_VIEW_FIRST + i, image)) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
    }
    ready = true;
    ShowWindow(SW_MAXIMIZE);
    RecalcLayout();
    views[0].SetSelected(TRUE);
    chosen = current;
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!StartStep(0))
        StepEnded(0, false);
    return TRUE;
}

void CAutoExposureDlg::RecalcLayout()
{
    if (!ready)
        return;
    RECT c;
    GetClientRect(&c);
    const int w = c.right, h = c.bottom;
    if (CWnd* frame = GetDlgItem(IDC_EXPOSURE_FRAME))
        frame->MoveWindow(1, 1, w - 2, h - 40);
    if (CWnd* bar = GetDlgItem(IDC_EXPOSURE_PROGRESS))
        bar->MoveWindow(10, h - 34, std::max(10, w - 250), 28);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(w - 115, h - 35, 105, 30);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(w - 225, h - 35, 105, 30);
    // A 2 x 2 grid under the band: "Original", 36865 / 36866, 36867.
    const int left = 1 + kGap, top = 1 + kBand;
    const int cellW = std::max(10, (w - 2 - 3 * kGap) / 2);
    const int cellH = std::max(10, (h - 40 - kBand - 2 * kGap) / 2);
    for (int i = 0; i < 4; ++i)
        views[i].MoveWindow(left + (i % 2) * (cellW + kGap), top + (i / 2) * (cellH + kGap), cellW, cellH);
    Invalidate(FALSE);
}

void CAutoExposureDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    RecalcLayout();
}

void CAutoExposureDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize = POINT{600, 450};
}

void CAutoExposureDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!ready)
        return;
    RECT c;
    GetClientRect(&c);
    DrawFrameTitle(dc, RECT{1, 1, c.right - 1, c.bottom - 39}, font, POINT{10, 5}, theUITextTable.GetText(kTextSelectBest));
}

bool CAutoExposureDlg::StartStep(int s)
{
    step = s;
    CQLImage* current = &thePhotoDocument.m_image;
    CQLImage* target = &corrections[kStepView[s] - 1];
    EffectAlgorithm* algorithm = nullptr;
    void* argument = &stepParam;
    if (config == kAutoExposure) {
        stepParam = s == 2 ? 1 : 0;
        algorithm = s == 0 ? static_cast<EffectAlgorithm*>(&autoExposure) : &autoLevels;
    } else if (s == 0) {
        algorithm = &sharpen;
        argument = reinterpret_cast<void*>(&tone::ColourSharpenFunction);
    } else if (s == 1) {
        algorithm = &film;
        argument = &filmParams;
    } else {
        algorithm = &saturation;
        argument = &saturationParams;
    }
    algorithm->SetImages(current, target);
    const int low = s == 0 ? 0 : s == 1 ? 33 : 66;
    const int high = s == 0 ? 33 : s == 1 ? 66 : 100;
    return theAlgorithmThread.RunAlgorithm(algorithm, argument, s, low, high) != FALSE;
}

LRESULT CAutoExposureDlg::OnJobNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        SendDlgItemMessage(IDC_EXPOSURE_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(lParam));
        return 0;
    }
    if (wParam != 1 || !Running() || static_cast<int>(lParam) != step)
        return 0;
    const int s = step;
    StepEnded(s, theAlgorithmThread.GetResult() == 0 && corrections[kStepView[s] - 1].GetAreaByteSize() != 0);
    return 0;
}

void CAutoExposureDlg::StepEnded(int s, bool ok)
{
    CPreviewButton& view = views[kStepView[s]];
    succeeded[kStepView[s] - 1] = ok;
    view.EnableWindow(ok);
    view.FitAndRedraw();
    int next = closing ? kCorrections : s + 1;
    while (next < kCorrections && !StartStep(next)) {
        succeeded[kStepView[next] - 1] = false;
        views[kStepView[next]].EnableWindow(FALSE);
        ++next;
    }
    if (next < kCorrections)
        return;
    step = kCorrections;
    finished = true;
    SendDlgItemMessage(IDC_EXPOSURE_PROGRESS, PBM_SETPOS, 0);
    GetDlgItem(IDOK)->EnableWindow(TRUE);
}

void CAutoExposureDlg::Choose(int view)
{
    if (view < 0 || view > kCorrections || (view > 0 && !succeeded[view - 1]))
        return;
    for (int i = 0; i < 4; ++i)
        views[i].SetSelected(i == view);
    chosen = view == 0 ? &thePhotoDocument.m_image : &corrections[view - 1];
}

void CAutoExposureDlg::OnView(UINT id)
{
    Choose(static_cast<int>(id - IDC_EXPOSURE_VIEW_FIRST));
}

LRESULT CAutoExposureDlg::OnViewNotify(WPARAM code, LPARAM lParam)
{
    CPreviewButton::SyncRow(views, static_cast<int>(std::size(views)), code, lParam);
    return 0;
}

void CAutoExposureDlg::WaitForChain()
{
    while (Running() && m_hWnd)
        ::WaitMessage();
}

void CAutoExposureDlg::OnOK()
{
    if (!finished)
        return;
    if (!chosen || chosen == &thePhotoDocument.m_image || chosen->GetAreaByteSize() == 0) {
        OnCancel();
        return;
    }
    if (!thePhotoDocument.m_image.DuplicateFrom(chosen)) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        return;
    }
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(undoText));
    font.DeleteObject();
    CSkinDialog::OnOK();
}

void CAutoExposureDlg::OnCancel()
{
    closing = true;
    if (Running())
        theAlgorithmThread.StopAlgorithm();
    WaitForChain();
    font.DeleteObject();
    CSkinDialog::OnCancel();
}

namespace {

int RunPickBest(CWnd* parent, CAutoExposureDlg::Config config)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CAutoExposureDlg dialog(parent, config);
    const int result = static_cast<int>(dialog.DoModal());
    if (result == IDOK && AfxGetMainWnd())
        AfxGetMainWnd()->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}

}  // namespace

int RunAutoExposureDlg(CWnd* parent)
{
    return RunPickBest(parent, CAutoExposureDlg::kAutoExposure);
}

int RunVividColorDlg(CWnd* parent)
{
    return RunPickBest(parent, CAutoExposureDlg::kVividColor);
}
