#include "editor/adjust/SmartEraseDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr int kTextSmartErase = 150;
constexpr int kTextNoSelection = 151;
constexpr int kTextRepairFailed = 154;
constexpr int kTextUnexpectedError = 137;
constexpr int kTextCaption = 214;
constexpr int kTextRepair = 215;
constexpr int kTextEnd = 216;
constexpr int kTextHint = 217;
constexpr int kTextUndoAll = 218;

CQLImage* CurrentImage() { return &thePhotoDocument.m_image; }

// The radius estimate blurs the whole mask several times, so it runs on the
// worker with the fill.
int RepairJob(void* param, FilterHost* host)
{
    auto* dlg = static_cast<CSmartEraseDlg*>(param);
    dlg->params = InpaintParams{&dlg->jobMask, dlg->inpaint.EstimateRadius(&dlg->jobMask), 1, 0};
    dlg->inpaint.SetImages(host->GetSource(), host->GetTarget());
    dlg->inpaint.SetCallback(host->GetCallback());
    dlg->inpaint.SetRange(0, 100);
    return dlg->inpaint.Apply(&dlg->params);
}

FilterHost g_repairHost;

}  // namespace

BEGIN_MESSAGE_MAP(CSmartEraseDlg, CSelectionDlg)
    ON_BN_CLICKED(IDC_SELECTION_CLEAR, OnUndoAll)
END_MESSAGE_MAP()

CSmartEraseDlg::CSmartEraseDlg(CWnd* parent) : CSelectionDlg(parent)
{
    profileKey = "ImageImpaint";
    highlightSelected = 1;
}

CSmartEraseDlg::~CSmartEraseDlg()
{
    WaitForThread();
}

BOOL CSmartEraseDlg::OnInitDialog()
{
    CSelectionDlg::OnInitDialog();
    SetWindowText(theUITextTable.GetText(kTextCaption));
    SetDlgItemText(IDOK, theUITextTable.GetText(kTextRepair));
    SetDlgItemText(IDCANCEL, theUITextTable.GetText(kTextEnd));
    SetDlgItemText(IDC_SELECTION_HINT, theUITextTable.GetText(kTextHint));
    SetDlgItemText(IDC_SELECTION_CLEAR, theUITextTable.GetText(kTextUndoAll));
    if (CWnd* undo = GetDlgItem(IDC_SELECTION_CLEAR))
        undo->ShowWindow(SW_SHOW);
    // Without the copy "Undo All" would empty the photo.
    if (!startImage.DuplicateFrom(CurrentImage())) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
    }
    return TRUE;
}

void CSmartEraseDlg::WaitForThread()
{
    while (theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void CSmartEraseDlg::ShowPhotoAgain()
{
    MakeScreenCopy();
    RenderPreview();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// "Repair".
void CSmartEraseDlg::OnOK()
{
    if (running)
        return;
    if (eraseMask.GetAreaByteSize() == 0) {
        MessageBox(theUITextTable.GetText(kTextNoSelection), nullptr, MB_OK);
        return;
    }
    WaitForThread();
    if (!jobMask.DuplicateFrom(&eraseMask)) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    // The fill takes the pixels from 128 up; a wide feather would leave a
    // small drawn area below that, so what was drawn counts in full.
    if (rawMask.GetAreaByteSize() == jobMask.GetAreaByteSize()) {
        BYTE* m = jobMask.GetBuffer(0, 0);
        const BYTE* r = rawMask.GetBuffer(0, 0);
        for (UINT i = 0, n = jobMask.GetAreaByteSize(); i < n; ++i)
            m[i] = std::max(m[i], r[i]);
    }
    g_repairHost.SetImages(CurrentImage(), &resultImage);
    g_repairHost.SetParam(this);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(&g_repairHost, reinterpret_cast<void*>(&RepairJob), kRepairTag, 0, 100))
        return;
    running = 1;
    // The job reads the photo: nothing may put another one in meanwhile.
    EnableRepairButtons(FALSE);
}

void CSmartEraseDlg::EnableRepairButtons(BOOL enable)
{
    for (UINT id : {static_cast<UINT>(IDOK), IDC_SELECTION_CLEAR})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
}

void CSmartEraseDlg::OnAlgorithmDone(int tag)
{
    if (tag != kRepairTag || !running)
        return;
    running = 0;
    OnProgress(0, 0);
    if (theAlgorithmThread.GetResult() != 0 || resultImage.GetAreaByteSize() != CurrentImage()->GetAreaByteSize()) {
        MessageBox(theUITextTable.GetText(kTextRepairFailed), nullptr, MB_OK);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    } else {
        *CurrentImage() = std::move(resultImage);
        rawMask.Free();
        eraseMask.Free();
        repaired = 1;
        ShowPhotoAgain();
    }
    resultImage.Free();
    jobMask.Free();
    EnableRepairButtons(TRUE);
}

void CSmartEraseDlg::OnUndoAll()
{
    if (running)
        return;
    CWinApp* app = AfxGetApp();
    if (app)
        app->DoWaitCursor(1);
    const int copied = CurrentImage()->DuplicateFrom(&startImage);
    if (app)
        app->DoWaitCursor(-1);
    if (!copied)
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
    ShowPhotoAgain();
}

// "End".
void CSmartEraseDlg::OnCancel()
{
    WaitForThread();
    if (running) {
        running = 0;
        resultImage.Free();
    }
    if (repaired) {
        thePhotoDocument.m_history.Push(CurrentImage(), theUITextTable.GetText(kTextSmartErase));
        if (CWnd* main = AfxGetMainWnd())
            main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    CSelectionDlg::OnCancel();
}

int RunSmartEraseDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CSmartEraseDlg dlg(parent);
    return static_cast<int>(dlg.DoModal());
}
