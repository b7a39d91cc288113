#include "editor/retouch/AntiShakeStepDlg.h"

#include "editor/retouch/MultiWork.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileFind.h"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <thread>

namespace {

constexpr int kTextCannotOpen = 5;
constexpr int kTextAnalyse = 134;
constexpr int kTextTooFewAligned = 138;
constexpr int kTextAskContinue = 139;

void WaitWhileBusy()
{
    while (theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

ULONGLONG Ticks(const FILETIME& t)
{
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Birth time, else modification time; now when the file is gone.
FILETIME CreationTime(const char* path)
{
    WIN32_FIND_DATA data{};
    if (qlwin::DescribeFile(path, &data))
        return data.ftCreationTime;
    // 100-ns steps since 1601, as file times count.
    const ULONGLONG ticks = (static_cast<ULONGLONG>(std::time(nullptr)) + 11644473600ULL) * 10000000ULL;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

ULONGLONG MeanLuminance(const CQLImage& thumb)
{
    UINT w = 0, h = 0;
    thumb.GetSize(&w, &h);
    if (w == 0 || h == 0)
        return 0;
    ULONGLONG sum = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const CPixel p = thumb.GetPixel2(x, y);
            sum += MergeLuminance(p.b, p.g, p.r);
        }
    return sum / (static_cast<ULONGLONG>(w) * h);
}

}  // namespace

BEGIN_MESSAGE_MAP(CAntiShakeStepDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_SHAKE_ENABLE, OnEnableToggled)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CAntiShakeStepDlg::CAntiShakeStepDlg(CMultiWork* work, CWnd* parent)
    : CSkinDialog(IDD_ANTI_SHAKE_STEP, parent), m_work(work)
{
}

BOOL CAntiShakeStepDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    for (const char* text : {"Small", "Normal", "Large"})
        SendDlgItemMessage(IDC_SHAKE_RANGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    for (const char* text : {"Fast, may wrong", "Normal", "Slow, accurately"})
        SendDlgItemMessage(IDC_SHAKE_ACCURACY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessage(IDC_SHAKE_RANGE, CB_SETCURSEL, 2);
    SendDlgItemMessage(IDC_SHAKE_ACCURACY, CB_SETCURSEL, 1);
    CheckDlgButton(IDC_SHAKE_ENABLE, BST_CHECKED);
    SendDlgItemMessage(IDC_SHAKE_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    return TRUE;
}

int CAntiShakeStepDlg::ChooseByRank(const std::vector<ULONGLONG>& ranks)
{
    const int n = static_cast<int>(ranks.size());
    for (int i = 0; i < n; ++i) {
        int higher = 0;
        for (int j = 0; j < n; ++j)
            higher += j != i && ranks[j] > ranks[i];
        if (higher == n / 2)
            return i;
    }
    return n / 2;
}

int CAntiShakeStepDlg::ChooseReference() const
{
    std::vector<ULONGLONG> ranks;
    for (MergePhoto* photo : m_work->photos) {
        if (hdrMode) {
            ranks.push_back(MeanLuminance(photo->thumb));
        } else {
            photo->created = CreationTime(photo->path);
            ranks.push_back(Ticks(photo->created));
        }
    }
    return ChooseByRank(ranks);
}

void CAntiShakeStepDlg::OnEnableToggled()
{
    const BOOL on = IsDlgButtonChecked(IDC_SHAKE_ENABLE) == BST_CHECKED;
    GetDlgItem(IDC_SHAKE_RANGE)->EnableWindow(on);
    GetDlgItem(IDC_SHAKE_ACCURACY)->EnableWindow(on);
}

void CAntiShakeStepDlg::OnOK()
{
    m_params.enabled = IsDlgButtonChecked(IDC_SHAKE_ENABLE) == BST_CHECKED;
    // The range travels in the field the algorithm does not read.
    m_params.reserved = static_cast<INT>(SendDlgItemMessage(IDC_SHAKE_RANGE, CB_GETCURSEL));
    m_params.searchSize = static_cast<INT>(SendDlgItemMessage(IDC_SHAKE_ACCURACY, CB_GETCURSEL));
    m_work->referenceIndex = ChooseReference();
    CQLImageCodec codec;
    if (!codec.LoadFile(m_work->photos[m_work->referenceIndex]->path, &m_referenceImage)) {
        MessageBox(theUITextTable.GetText(kTextCannotOpen), nullptr, MB_OK);
        Close(IDCANCEL);
        return;
    }
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    m_current = 0;
    AnalyseNext();
}

void CAntiShakeStepDlg::AnalyseNext()
{
    WaitWhileBusy();
    const int n = m_work->PhotoCount();
    if (m_current == m_work->referenceIndex)
        ++m_current;
    if (m_current < n) {
        char text[128];
        std::snprintf(text, sizeof text, theUITextTable.GetText(kTextAnalyse), m_current + 1);
        SetDlgItemText(IDC_SHAKE_STATUS, text);
        int lo = m_current * 100 / n;
        const int hi = (m_current * 100 + 100) / n;
        CQLImageCodec codec;
        if (!codec.LoadFile(m_work->photos[m_current]->path, &m_photoImage)) {
            MessageBox(theUITextTable.GetText(kTextCannotOpen), nullptr, MB_OK);
            Close(IDCANCEL);
            return;
        }
        lo += (hi - lo) / 20;
        SendDlgItemMessage(IDC_SHAKE_BAR, PBM_SETPOS, lo);
        m_algorithm.SetImages(&m_referenceImage, &m_photoImage);
        if (hdrMode)
            m_algorithm.SetBlurredMatchMode();
        theAlgorithmThread.SetNotifyWnd(m_hWnd);
        if (!theAlgorithmThread.RunAlgorithm(&m_algorithm, &m_params, m_current, lo, hi)) {
            MessageBox(theUITextTable.GetText(kTextCannotOpen), nullptr, MB_OK);
            Close(IDCANCEL);
        }
        return;
    }
    int aligned = 0;
    for (const MergePhoto* photo : m_work->photos)
        aligned += photo->aligned != 0;
    if (aligned < m_work->minPhotos) {
        MessageBox(theUITextTable.GetText(kTextTooFewAligned), nullptr, MB_OK);
        Close(IDCANCEL);
    } else if (aligned < n) {
        if (MessageBox(theUITextTable.GetText(kTextAskContinue), nullptr, MB_YESNO) != IDYES) {
            Close(IDCANCEL);
            return;
        }
        PruneUnaligned();
        Close(IDOK);
    } else {
        Close(IDOK);
    }
}

void CAntiShakeStepDlg::PruneUnaligned()
{
    const MergePhoto* reference = m_work->photos[m_work->referenceIndex];
    std::vector<MergePhoto*> kept;
    for (MergePhoto* photo : m_work->photos) {
        if (photo->aligned || photo == reference) {
            if (photo == reference)
                m_work->referenceIndex = static_cast<int>(kept.size());
            kept.push_back(photo);
        } else {
            delete photo;
        }
    }
    m_work->photos = std::move(kept);
}

LRESULT CAntiShakeStepDlg::OnAlgorithmNotify(WPARAM kind, LPARAM value)
{
    if (kind == 0) {
        SendDlgItemMessage(IDC_SHAKE_BAR, PBM_SETPOS, value == 100 ? 0 : value);
    } else if (kind == 1 && m_current < m_work->PhotoCount()) {
        MergePhoto* photo = m_work->photos[m_current];
        // A run that failed (too small, cancelled) found no transform.
        photo->aligned = theAlgorithmThread.GetResult() == 0 && m_algorithm.IsTransformValid();
        const ShakeMapping& m = m_algorithm.GetMapping();
        const double t[6] = {m.xFromX, m.xFromY, m.xOffset, m.yFromX, m.yFromY, m.yOffset};
        std::copy(std::begin(t), std::end(t), photo->transform);
        ++m_current;
        AnalyseNext();
    }
    return 0;
}

// Images held by a running job must outlive it.
void CAntiShakeStepDlg::Close(int answer)
{
    theAlgorithmThread.StopAlgorithm();
    WaitWhileBusy();
    m_referenceImage.Free();
    m_photoImage.Free();
    EndDialog(answer);
}

void CAntiShakeStepDlg::OnCancel()
{
    Close(IDCANCEL);
}
