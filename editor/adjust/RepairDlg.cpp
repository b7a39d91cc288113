#include "editor/adjust/RepairDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kTextUnexpectedError = 137;

} // namespace

BEGIN_MESSAGE_MAP(CRepairDlg, CFilterDlg)
    ON_NOTIFY_RANGE(NM_RELEASEDCAPTURE, 1000, 1999, OnSliderReleased)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnStageNotify)
END_MESSAGE_MAP()

CRepairDlg::CRepairDlg(UINT templateId, int text, CWnd* parent) : CFilterDlg(templateId, parent), historyText(text) {}

void CRepairDlg::InitSlider(CImgSliderCtrl& slider, UINT id, int low, int high, int pos)
{
    slider.SubclassDlgItem(id, this);
    slider.SetRange(low, high);
    slider.SetPos(pos);
}

void CRepairDlg::OnSliderReleased(UINT, NMHDR*, LRESULT* answer)
{
    UpdatePreview();
    if (answer)
        *answer = 0;
}

LRESULT CRepairDlg::OnStageNotify(WPARAM wParam, LPARAM lParam)
{
    if (!twoStage || wParam != 1 || lParam != 0 || !JobPending())
        return CFilterDlg::OnAlgorithmNotify(wParam, lParam);
    // The first stage ended: the job goes on with the second unless it
    // failed, was stopped for newer settings, or the dialog is closing.
    const int first = theAlgorithmThread.GetResult();
    if (first == 0 && !rerunPending && !closing) {
        ++jobsDone;
        if (RunSecondStage())
            return 0;
        --jobsDone;
    }
    // Counted as a finished job without a picture: the result stays as it
    // was and a pending re-run starts from the base.
    ++jobsDone;
    lastResult = first == 0 ? static_cast<int>(E_FAIL) : first;
    percentBar.SetStateAndRedraw(0);
    OnAlgorithmDone(0, lastResult);
    return 0;
}

void DrawRepairImage(CDC* dc, const CQLImage& image, const RECT& dst)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    if (w == 0 || h == 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int oldMode = dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, 0, 0,
                    static_cast<int>(w), static_cast<int>(h), image.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
}

RECT FitRect(int w, int h, const RECT& box)
{
    const int bw = std::max<int>(1, box.right - box.left), bh = std::max<int>(1, box.bottom - box.top);
    w = std::max(w, 1);
    h = std::max(h, 1);
    int fw = bw, fh = static_cast<int>(static_cast<long long>(h) * bw / w);
    if (fh > bh) {
        fh = bh;
        fw = static_cast<int>(static_cast<long long>(w) * bh / h);
    }
    const int left = box.left + (bw - fw) / 2, top = box.top + (bh - fh) / 2;
    return RECT{left, top, left + fw, top + fh};
}

RECT ItemRect(const CWnd* dialog, UINT id)
{
    RECT r{};
    if (CWnd* item = dialog->GetDlgItem(id)) {
        item->GetWindowRect(&r);
        dialog->ScreenToClient(&r);
    }
    return r;
}

void CRepairDlg::OnOK()
{
    if (waitingForResult)
        return;
    if (WaitForFinalResult() != 0 || result.GetAreaByteSize() == 0) {
        // The photo stays as it was; the dialog stays open for another try.
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    // The dialog closes now: hand its result to the photo without a copy.
    std::swap(thePhotoDocument.m_image, result);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(historyText));
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd && main != this)
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CFilterDlg::OnOK();
}
