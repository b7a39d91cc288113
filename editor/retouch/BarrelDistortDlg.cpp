#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/retouch/PictureSize.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int kTextBarrel = 110;
constexpr int kTextUnexpectedError = 137;
constexpr int kPreviewTag = 0;
constexpr int kFinalTag = 1;
constexpr int kMinCropSide = 10;

bool IsBlack(const CQLImage& image, LONG x, LONG y)
{
    const BYTE* p = image.GetBuffer(static_cast<UINT>(x), static_cast<UINT>(y));
    return (6 * p[1] + 3 * p[2] + p[0]) / 10 == 0;
}

// The first and one past the last non-black of n samples; (n, 0) when all are black.
template <typename Black>
std::pair<LONG, LONG> NonBlackSpan(LONG n, Black black)
{
    LONG first = 0;
    while (first < n && black(first))
        ++first;
    LONG end = n;
    while (end > 0 && black(end - 1))
        --end;
    return {first, end};
}

BOOL CopyRect(const CQLImage& image, RECT r, CQLImage* target)
{
    CQLImage out;
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    if (out.Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return FALSE;
    for (LONG y = 0; y < h; ++y)
        std::memcpy(out.GetBuffer(0, static_cast<UINT>(y)),
                    image.GetBuffer(static_cast<UINT>(r.left), static_cast<UINT>(r.top + y)), static_cast<size_t>(w) * 4);
    *target = std::move(out);
    return TRUE;
}

}  // namespace

namespace barrel {

RECT BlackBorderCrop(const CQLImage& image)
{
    const SIZE s = PictureSize(image);
    const RECT whole{0, 0, s.cx, s.cy};
    if (s.cx == 0 || s.cy == 0)
        return whole;
    const auto [left, right] = NonBlackSpan(s.cx, [&](LONG x) { return IsBlack(image, x, s.cy / 2); });
    const auto [top, bottom] = NonBlackSpan(s.cy, [&](LONG y) { return IsBlack(image, s.cx / 2, y); });
    const RECT r{left + 1, top + 1, right - 1, bottom - 1};
    if (r.right - r.left < kMinCropSide || r.bottom - r.top < kMinCropSide)
        return whole;
    return r;
}

BOOL CropBlackBorder(const CQLImage& image, CQLImage* target)
{
    return CopyRect(image, BlackBorderCrop(image), target);
}

}  // namespace barrel

BEGIN_MESSAGE_MAP(CBarrelDistortDlg, CSkinDialog)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_BARREL_AMOUNT, OnAmountReleased)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CBarrelDistortDlg::CBarrelDistortDlg(CWnd* parent) : CSkinDialog(IDD_BARREL_DISTORT, parent) {}

CBarrelDistortDlg::~CBarrelDistortDlg()
{
    // The job reads and writes this object's images.
    StopAndWait();
}

int CBarrelDistortDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    const SIZE s = PictureSize(thePhotoDocument.m_image);
    if (s.cx == 0 || s.cy == 0)
        return -1;
    const double scale = static_cast<double>(barrel::kPreviewSide) / std::max(s.cx, s.cy);
    const int w = std::max(1, static_cast<int>(s.cx * scale)), h = std::max(1, static_cast<int>(s.cy * scale));
    CQLImageCodec codec;
    if (!codec.Resample(&thePhotoDocument.m_image, &m_previewSource, w, h, 1) ||
        !CopyRect(m_previewSource, RECT{0, 0, w, h}, &m_preview))
        return -1;
    return 0;
}

BOOL CBarrelDistortDlg::OnInitDialog()
{
    m_slider.SubclassDlgItem(IDC_BARREL_AMOUNT, this);
    m_slider.SetRange(-50, 50);
    m_slider.SetPos(0);
    CSkinDialog::OnInitDialog();
    SendDlgItemMessage(IDC_BARREL_PROGRESS, PBM_SETRANGE32, 0, 100);
    return TRUE;
}

void CBarrelDistortDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_BARREL_AMOUNT, m_amount);
    DDX_Check(pDX, IDC_BARREL_AUTO_CROP, m_autoCrop);
}

BOOL CBarrelDistortDlg::Start(CQLImage* source, CQLImage* target, int tag)
{
    UpdateData(TRUE);
    m_param = m_amount + 50;
    m_algorithm.SetImages(source, target);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(&m_algorithm, &m_param, tag, 0, 100))
        return FALSE;
    m_runningTag = tag;
    return TRUE;
}

void CBarrelDistortDlg::StopAndWait()
{
    if (m_runningTag < 0)
        return;
    theAlgorithmThread.StopAlgorithm();
    while (theAlgorithmThread.IsBusy())
        Sleep(10);
    m_runningTag = -1;
}

void CBarrelDistortDlg::OnAmountReleased(NMHDR*, LRESULT* result)
{
    if (result)
        *result = 0;
    if (m_runningTag == kFinalTag)
        return;
    // One run at a time: the newer position follows the running preview.
    if (m_runningTag == kPreviewTag) {
        m_previewAgain = TRUE;
        return;
    }
    Start(&m_previewSource, &m_previewJob, kPreviewTag);
}

void CBarrelDistortDlg::OnOK()
{
    if (m_runningTag == kFinalTag)
        return;
    StopAndWait();
    m_previewAgain = FALSE;
    UpdateData(TRUE);
    // The correction is the identity at 0; the algorithm would still blacken
    // the outermost pixels it cannot interpolate.
    if (m_amount == 0) {
        if (m_result.DuplicateFrom(&thePhotoDocument.m_image))
            Finish();
        else
            MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    if (!Start(&thePhotoDocument.m_image, &m_result, kFinalTag)) {
        GetDlgItem(IDOK)->EnableWindow(TRUE);
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
    }
}

void CBarrelDistortDlg::OnCancel()
{
    StopAndWait();
    CSkinDialog::OnCancel();
}

LRESULT CBarrelDistortDlg::OnAlgorithmNotify(WPARAM kind, LPARAM value)
{
    if (kind == 0) {
        SendDlgItemMessage(IDC_BARREL_PROGRESS, PBM_SETPOS, value == 100 ? 0 : static_cast<WPARAM>(value));
        return 0;
    }
    if (kind != 1 || value != m_runningTag)
        return 0;
    m_runningTag = -1;
    SendDlgItemMessage(IDC_BARREL_PROGRESS, PBM_SETPOS, 0);
    const BOOL succeeded = theAlgorithmThread.GetResult() == 0;
    if (value == kFinalTag) {
        if (succeeded) {
            Finish();
            return 0;
        }
        GetDlgItem(IDOK)->EnableWindow(TRUE);
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return 0;
    }
    if (succeeded)
        std::swap(m_preview, m_previewJob);
    Invalidate(FALSE);
    if (m_previewAgain) {
        m_previewAgain = FALSE;
        Start(&m_previewSource, &m_previewJob, kPreviewTag);
    }
    return 0;
}

void CBarrelDistortDlg::Finish()
{
    if (m_autoCrop && !barrel::CropBlackBorder(m_result, &m_result)) {
        GetDlgItem(IDOK)->EnableWindow(TRUE);
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    thePhotoDocument.m_image = std::move(m_result);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextBarrel));
    thePhotoDocument.m_history.SetRefreshFlag();
    EndDialog(IDOK);
}

void CBarrelDistortDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_BARREL_PICTURE);
    if (!frame)
        return;
    CRect r;
    frame->GetWindowRect(&r);
    ScreenToClient(&r);
    r.DeflateRect(1, 1);
    dc.Draw3dRect(&r, RGB(128, 128, 128), RGB(240, 240, 240));
    r.DeflateRect(1, 1);
    DrawImageFitted(&dc, r.left, r.top, r.right, r.bottom, &m_preview, RGB(0, 0, 0), FALSE);
}

int RunBarrelDistortDlg(CMainFrame* frame)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CBarrelDistortDlg dialog(frame);
    return static_cast<int>(dialog.DoModal());
}
