#include "editor/adjust/VisualColorDlg.h"

#include "editor/adjust/FrameTitle.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr int kTextSelectBest = 26;
constexpr int kTextAdjustColor = 27;
constexpr int kTextUnexpectedError = 137;
constexpr UINT kCursorAccept = 179;
constexpr UINT kCursorPick = 131;
constexpr int kNameLine = 16;

const char* const kViewNames[CVisualColorDlg::kViews] = {
    "Original Photo", "Current Photo", "More Red", "More Yellow", "More Green", "More Cyan", "More Blue", "More Magenta",
};
const char* const kParts[] = {"All image",      "Red part only",     "Green part only", "Blue part only",
                              "Cyan part only", "Magenta part only", "Yellow part only"};

// Progress ranges of the six variant jobs.
constexpr int kRange[7] = {0, 16, 33, 50, 66, 83, 100};

// Places of the seven views right of "Original Photo" in cells of a 3 x 3
// grid (column, row in halves): red over current over cyan, yellow and
// green to the left, magenta and blue to the right.
struct Cell {
    int column, halfRow;
};
constexpr Cell kCells[CVisualColorDlg::kViews] = {
    {0, 0}, {1, 2}, {1, 0}, {0, 1}, {0, 3}, {1, 4}, {2, 3}, {2, 1},
};

}  // namespace

BEGIN_MESSAGE_MAP(CVisualColorDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_GETMINMAXINFO()
    ON_WM_SETCURSOR()
    ON_CBN_SELCHANGE(IDC_VISUAL_PART, OnPart)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotify)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnJobNotify)
END_MESSAGE_MAP()

CVisualColorDlg::CVisualColorDlg(CWnd* parent) : CSkinDialog(IDD_VISUAL_COLOR, parent) {}

CVisualColorDlg::~CVisualColorDlg()
{
    closing = true;
    if (jobTag >= 0) {
        theAlgorithmThread.StopAlgorithm();
        while (theAlgorithmThread.IsBusy())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

BOOL CVisualColorDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (!fullCurrent.DuplicateFrom(&thePhotoDocument.m_image)
        || !font.CreateFont(28, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, "Arial")) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        EndDialog(IDCANCEL);
        return TRUE;
    }
    const RECT none{0, 0, 10, 10};
    for (int v = 0; v < kViews; ++v) {
        if (!views[v].Create(kViewNames[v], none, this, IDC_VISUAL_VIEW_FIRST + v)) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
        views[v].SetNotifyMode(TRUE);
        // The views are for picking: their names rather than zoom tools.
        views[v].ShowToolButtons(FALSE);
    }
    views[kOriginal].SetImage(&smallOriginal, FALSE);
    views[kCurrent].SetImage(&smallCurrent, FALSE);
    for (int i = 0; i < tone::kVariantCount; ++i)
        views[kVariantView + i].SetImage(&variants[i], FALSE);
    for (const char* name : kParts)
        SendDlgItemMessage(IDC_VISUAL_PART, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessage(IDC_VISUAL_PART, CB_SETCURSEL, 0);
    SendDlgItemMessage(IDC_VISUAL_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    ready = true;
    ShowWindow(SW_MAXIMIZE);
    RecalcLayout();
    RemakeSmall();
    return TRUE;
}

void CVisualColorDlg::RecalcLayout()
{
    if (!ready)
        return;
    RECT c;
    GetClientRect(&c);
    const int w = c.right, h = c.bottom;
    if (CWnd* frame = GetDlgItem(IDC_VISUAL_FRAME))
        frame->MoveWindow(5, 5, w - 10, h - 55);
    if (CWnd* combo = GetDlgItem(IDC_VISUAL_PART))
        combo->MoveWindow(15, 55, 150, 150);
    if (CWnd* bar = GetDlgItem(IDC_VISUAL_PROGRESS))
        bar->MoveWindow(5, h - 35, std::max(10, w - 235), 30);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(w - 110, h - 40, 100, 30);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(w - 215, h - 40, 100, 30);
    const int top = 45, bottom = h - 55;
    const int split = (w - 10) * 30 / 100;
    // Each view has its name on a line above it.
    views[kOriginal].MoveWindow(10, 90 + kNameLine, std::max(10, split - 15), std::max(10, bottom - 95 - kNameLine));
    const int cellW = std::max(10, (w - 10 - split - 10) / 3);
    const int cellH = std::max(10 + kNameLine, (bottom - top) / 3);
    for (int v = kCurrent; v < kViews; ++v)
        views[v].MoveWindow(split + 5 + kCells[v].column * cellW, top + kCells[v].halfRow * cellH / 2 + kNameLine,
                            cellW - 4, cellH - 4 - kNameLine);
    for (ZoomView& view : views)
        view.ZoomToFit(FALSE);
    Invalidate(FALSE);
}

void CVisualColorDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    RecalcLayout();
}

void CVisualColorDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize = POINT{500, 450};
}

void CVisualColorDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!ready)
        return;
    RECT c;
    GetClientRect(&c);
    DrawFrameTitle(dc, RECT{5, 5, c.right - 5, c.bottom - 50}, font, POINT{15, 10}, theUITextTable.GetText(kTextSelectBest));
    CFont* old = dc.SelectObject(GetFont());
    for (int v = 0; v < kViews; ++v) {
        RECT r;
        views[v].GetWindowRect(&r);
        ScreenToClient(&r);
        dc.TextOut(r.left, r.top - kNameLine + 1, kViewNames[v]);
    }
    dc.SelectObject(old);
}

BOOL CVisualColorDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (pendingApply >= 0 || jobTag == kTagApply) {
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
    }
    return CSkinDialog::OnSetCursor(wnd, hitTest, message);
}

bool CVisualColorDlg::Run(EffectAlgorithm* algorithm, void* argument, int tag, int low, int high)
{
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(algorithm, argument, tag, low, high))
        return false;
    jobTag = tag;
    return true;
}

void CVisualColorDlg::RemakeSmall()
{
    UINT w = 0, h = 0;
    fullCurrent.GetSize(&w, &h);
    if (static_cast<long long>(w) * h > kSmallPixels) {
        resize.SetImages(&fullCurrent, &smallCurrent);
        if (Run(&resize, &resizeSpec, kTagSmall, 0, 100))
            return;
    } else if (smallCurrent.DuplicateFrom(&fullCurrent)) {
        SmallReady();
        return;
    }
    AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
}

void CVisualColorDlg::SmallReady()
{
    if (firstSmall) {
        firstSmall = false;
        smallOriginal.DuplicateFrom(&smallCurrent);
        for (CQLImage& v : variants)
            v.DuplicateFrom(&smallCurrent);
        for (ZoomView& view : views)
            view.SetImage(view.GetImage(), FALSE);
    }
    Refresh(kOriginal);
    Refresh(kCurrent);
    ComputeVariants();
}

void CVisualColorDlg::Refresh(int v)
{
    views[v].ZoomToFit(FALSE);
    views[v].Invalidate(FALSE);
}

void CVisualColorDlg::ComputeVariants()
{
    if (jobTag >= 0) {
        pendingVariants = true;
        return;
    }
    pendingVariants = false;
    StartVariant(0);
}

void CVisualColorDlg::StartVariant(int i)
{
    tone::SetVariantHueRange(balance, part);
    reference = tone::VariantReference(i);
    balance.SetImages(&smallCurrent, &variants[i]);
    if (!Run(&balance, &reference, i, kRange[i], kRange[i + 1]))
        JobEnded(i, false);
}

void CVisualColorDlg::StartApply(int variant)
{
    pendingApply = -1;
    tone::SetVariantHueRange(balance, part);
    reference = tone::VariantReference(variant);
    balance.SetImages(&fullCurrent, &fullPending);
    if (!Run(&balance, &reference, kTagApply, 0, 100))
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
}

LRESULT CVisualColorDlg::OnJobNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        const int percent = static_cast<int>(lParam);
        SendDlgItemMessage(IDC_VISUAL_PROGRESS, PBM_SETPOS, percent >= 100 ? 0 : percent);
        return 0;
    }
    if (wParam != 1 || static_cast<int>(lParam) != jobTag)
        return 0;
    const int tag = jobTag;
    jobTag = -1;
    JobEnded(tag, theAlgorithmThread.GetResult() == 0);
    return 0;
}

void CVisualColorDlg::JobEnded(int tag, bool ok)
{
    SendDlgItemMessage(IDC_VISUAL_PROGRESS, PBM_SETPOS, 0);
    if (tag == kTagApply) {
        if (ok && fullPending.GetAreaByteSize() == fullCurrent.GetAreaByteSize())
            std::swap(fullCurrent, fullPending);
        else
            AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));  // the current image stays
        if (!closing)
            RemakeSmall();
        return;
    }
    if (closing)
        return;
    if (tag != kTagSmall)
        Refresh(kVariantView + tag);
    // What was asked for while this job ran goes first.
    if (pendingApply >= 0) {
        StartApply(pendingApply);
        return;
    }
    if (pendingOriginal) {
        RestoreOriginal();
        return;
    }
    if (tag == kTagSmall) {
        if (ok)
            SmallReady();
        else
            AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        return;
    }
    if (pendingVariants) {
        ComputeVariants();
        return;
    }
    if (tag + 1 < tone::kVariantCount)
        StartVariant(tag + 1);
}

void CVisualColorDlg::RestoreOriginal()
{
    pendingOriginal = false;
    if (!fullCurrent.DuplicateFrom(&thePhotoDocument.m_image)) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        return;
    }
    RemakeSmall();
}

void CVisualColorDlg::ClickView(int v)
{
    if (v == kCurrent) {
        OnOK();
        return;
    }
    if (jobTag == kTagApply || pendingApply >= 0)
        return;
    if (v == kOriginal) {
        if (jobTag >= 0)
            pendingOriginal = true;
        else
            RestoreOriginal();
        return;
    }
    // The variants shown are of the small copy being remade: not yet.
    if (jobTag == kTagSmall || pendingOriginal)
        return;
    const int variant = v - kVariantView;
    if (jobTag >= 0) {
        pendingApply = variant;
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    } else {
        StartApply(variant);
    }
}

void CVisualColorDlg::OnPart()
{
    part = static_cast<int>(SendDlgItemMessage(IDC_VISUAL_PART, CB_GETCURSEL));
    ComputeVariants();
}

LRESULT CVisualColorDlg::OnViewNotify(WPARAM code, LPARAM lParam)
{
    const auto* notice = reinterpret_cast<const ZoomViewNotice*>(lParam);
    if (!notice)
        return 0;
    int v = 0;
    while (v < kViews && &views[v] != notice->view)
        ++v;
    if (v == kViews)
        return 0;
    if (code == kZoomNoticeSetCursor) {
        const bool waiting = pendingApply >= 0 || jobTag == kTagApply;
        ::SetCursor(waiting ? ::LoadCursor(nullptr, IDC_WAIT)
                            : ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(v == kCurrent ? kCursorAccept : kCursorPick)));
    } else if (code == kZoomNoticeButtonDown) {
        ClickView(v);
    }
    return 0;
}

void CVisualColorDlg::WaitForJobs()
{
    pendingVariants = false;
    while (jobTag >= 0 && m_hWnd)
        ::WaitMessage();
}

void CVisualColorDlg::OnOK()
{
    // A clicked variant still waiting is applied first; nothing else starts.
    closing = true;
    pendingVariants = pendingOriginal = false;
    while ((jobTag >= 0 || pendingApply >= 0) && m_hWnd) {
        if (jobTag < 0 && pendingApply >= 0)
            StartApply(pendingApply);
        else
            ::WaitMessage();
    }
    if (!thePhotoDocument.m_image.DuplicateFrom(&fullCurrent)) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        closing = false;
        return;
    }
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextAdjustColor));
    font.DeleteObject();
    CSkinDialog::OnOK();
}

void CVisualColorDlg::OnCancel()
{
    closing = true;
    pendingApply = -1;
    pendingOriginal = false;
    WaitForJobs();
    font.DeleteObject();
    CSkinDialog::OnCancel();
}

int RunVisualColorDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CVisualColorDlg dialog(parent);
    const int result = static_cast<int>(dialog.DoModal());
    if (result == IDOK && AfxGetMainWnd())
        AfxGetMainWnd()->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}
