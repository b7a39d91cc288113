#include "editor/adjust/ImageSizeDlg.h"

#include "editor/shell/BackgroundWork.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr int kTextImageSize = 47;
constexpr int kTextLargeSize = 48;
constexpr int kTextUnexpectedError = 137;
constexpr int kResizeTag = 225;
constexpr UINT kMaxTyped = 100000;
constexpr char kSection[] = "Interface";

}  // namespace

namespace imagesize {

UINT HeightFromWidth(UINT width, double aspect)
{
    return std::max<UINT>(1, static_cast<UINT>(width / aspect));
}

UINT WidthFromHeight(UINT height, double aspect)
{
    return std::max<UINT>(1, static_cast<UINT>(height * aspect));
}

UINT SpinValue(UINT value, int delta)
{
    const long long v = static_cast<long long>(value) - delta;
    return static_cast<UINT>(std::clamp<long long>(v, 1, kMaxSide));
}

void ClampSize(UINT* width, UINT* height, int keepProportion, double aspect)
{
    if (*width > kMaxSide) {
        *width = kMaxSide;
        if (keepProportion)
            *height = HeightFromWidth(kMaxSide, aspect);
    }
    if (*height > kMaxSide) {
        *height = kMaxSide;
        if (keepProportion)
            *width = WidthFromHeight(kMaxSide, aspect);
    }
    *width = std::clamp<UINT>(*width, 1, kMaxSide);
    *height = std::clamp<UINT>(*height, 1, kMaxSide);
}

bool NeedsSharpen(UINT newWidth, UINT oldWidth)
{
    return newWidth < 0.8 * oldWidth;
}

void SharpenFourNeighbour(CQLImage* image)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    if (w < 3 || h < 3)
        return;
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    // The unsharpened rows above and at the row being written.
    std::vector<BYTE> above(image->GetBuffer(0, 0), image->GetBuffer(0, 0) + rowBytes);
    std::vector<BYTE> middle(image->GetBuffer(0, 1), image->GetBuffer(0, 1) + rowBytes);
    for (UINT y = 1; y + 1 < h; ++y) {
        const BYTE* below = image->GetBuffer(0, static_cast<int>(y) + 1);
        BYTE* out = image->GetBuffer(0, static_cast<int>(y));
        for (size_t x = 4; x + 4 < rowBytes; x += 4)
            for (size_t c = 0; c < 3; ++c) {
                const size_t i = x + c;
                const int sum = above[i] + below[i] + middle[i - 4] + middle[i + 4];
                out[i] = static_cast<BYTE>(std::clamp(2 * middle[i] - sum / 4, 0, 255));
            }
        above.swap(middle);
        std::copy(below, below + rowBytes, middle.begin());
    }
}

}  // namespace imagesize

BEGIN_MESSAGE_MAP(CImageSizeDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_RESIZE_ADVANCE, OnAdvance)
    ON_CBN_SELCHANGE(IDC_RESIZE_METHOD, OnMethodChanged)
    ON_BN_CLICKED(IDC_KEEP_PROPORTION, OnKeepProportion)
    ON_EN_CHANGE(IDC_NEW_WIDTH, OnWidthChanged)
    ON_EN_CHANGE(IDC_NEW_HEIGHT, OnHeightChanged)
    ON_NOTIFY(UDN_DELTAPOS, IDC_WIDTH_SPIN, OnWidthSpin)
    ON_NOTIFY(UDN_DELTAPOS, IDC_HEIGHT_SPIN, OnHeightSpin)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnWorkerNotify)
END_MESSAGE_MAP()

CImageSizeDlg::CImageSizeDlg(CWnd* parent) : CSkinDialog(IDD_IMAGE_SIZE, parent) {}

CImageSizeDlg::~CImageSizeDlg()
{
    // The job reads and writes this object's images.
    while (m_jobRunning && theAlgorithmThread.IsBusy())
        Sleep(10);
}

BOOL CImageSizeDlg::OnInitDialog()
{
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    m_newWidth = std::max<UINT>(w, 1);
    m_newHeight = std::max<UINT>(h, 1);
    m_sizeAspect = static_cast<double>(m_newWidth) / m_newHeight;
    CWinApp* app = AfxGetApp();
    m_keepEdges = static_cast<int>(app->GetProfileInt(kSection, "qleEdgeKeep", 1));
    m_resizeDetail = static_cast<int>(app->GetProfileInt(kSection, "qleImageSizeDetail", 90));
    m_resizeSharpen = static_cast<int>(app->GetProfileInt(kSection, "qleImageSizeSharpen", 45));
    for (const char* name : kMethodNames)
        SendDlgItemMessage(IDC_RESIZE_METHOD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    for (UINT id : {IDC_RESIZE_DETAIL, IDC_RESIZE_SHARPEN})
        SendDlgItemMessage(id, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendDlgItemMessage(IDC_SIZE_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ++m_settingText;
    CSkinDialog::OnInitDialog();
    --m_settingText;
    CenterWindow();
    // The options lie beyond the separator until "Advance..." shows them.
    RECT window, separator;
    GetWindowRect(&window);
    m_fullWidth = window.right - window.left;
    if (CWnd* line = GetDlgItem(IDC_SIZE_SEPARATOR)) {
        line->GetWindowRect(&separator);
        SetWindowPos(nullptr, 0, 0, separator.left - window.left, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EnableOptions();
    return TRUE;
}

void CImageSizeDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_KEEP_PROPORTION, m_keepProportion);
    DDX_Text(pDX, IDC_NEW_HEIGHT, m_newHeight);
    DDV_MinMaxUInt(pDX, m_newHeight, 1, kMaxTyped);
    DDX_Text(pDX, IDC_NEW_WIDTH, m_newWidth);
    DDV_MinMaxUInt(pDX, m_newWidth, 1, kMaxTyped);
    DDX_CBIndex(pDX, IDC_RESIZE_METHOD, m_resizeMethod);
    DDX_Check(pDX, IDC_KEEP_EDGES, m_keepEdges);
    DDX_Slider(pDX, IDC_RESIZE_DETAIL, m_resizeDetail);
    DDX_Slider(pDX, IDC_RESIZE_SHARPEN, m_resizeSharpen);
}

void CImageSizeDlg::EnableOptions()
{
    const int method = static_cast<int>(SendDlgItemMessage(IDC_RESIZE_METHOD, CB_GETCURSEL));
    const BOOL options = method == kQuilloResize;
    if (CWnd* advance = GetDlgItem(IDC_RESIZE_ADVANCE)) {
        RECT r;
        GetWindowRect(&r);
        // Once the options are shown the button stays disabled.
        advance->EnableWindow(options && r.right - r.left < m_fullWidth);
    }
    for (UINT id : {IDC_KEEP_EDGES, IDC_RESIZE_DETAIL, IDC_RESIZE_SHARPEN})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(options);
}

void CImageSizeDlg::OnAdvance()
{
    RECT r;
    GetWindowRect(&r);
    SetWindowPos(nullptr, 0, 0, m_fullWidth, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (CWnd* advance = GetDlgItem(IDC_RESIZE_ADVANCE))
        advance->EnableWindow(FALSE);
}

void CImageSizeDlg::OnMethodChanged()
{
    EnableOptions();
}

void CImageSizeDlg::SetSide(UINT id, UINT value)
{
    ++m_settingText;
    SetDlgItemInt(static_cast<int>(id), value, FALSE);
    --m_settingText;
}

// Read quietly while typing; OK checks with the range message.
UINT CImageSizeDlg::ReadSide(UINT id) const
{
    char text[32] = {};
    GetDlgItemText(static_cast<int>(id), text, sizeof text);
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || v < 1 || v > kMaxTyped)
        return 0;
    return static_cast<UINT>(v);
}

void CImageSizeDlg::OnKeepProportion()
{
    m_keepProportion = IsDlgButtonChecked(IDC_KEEP_PROPORTION) == BST_CHECKED;
    if (const UINT w = ReadSide(IDC_NEW_WIDTH); m_keepProportion && w)
        SetSide(IDC_NEW_HEIGHT, imagesize::HeightFromWidth(w, m_sizeAspect));
}

void CImageSizeDlg::OnWidthChanged()
{
    if (m_settingText || IsDlgButtonChecked(IDC_KEEP_PROPORTION) != BST_CHECKED)
        return;
    if (const UINT w = ReadSide(IDC_NEW_WIDTH))
        SetSide(IDC_NEW_HEIGHT, imagesize::HeightFromWidth(w, m_sizeAspect));
}

void CImageSizeDlg::OnHeightChanged()
{
    if (m_settingText || IsDlgButtonChecked(IDC_KEEP_PROPORTION) != BST_CHECKED)
        return;
    if (const UINT h = ReadSide(IDC_NEW_HEIGHT))
        SetSide(IDC_NEW_WIDTH, imagesize::WidthFromHeight(h, m_sizeAspect));
}

void CImageSizeDlg::OnWidthSpin(NMHDR* header, LRESULT* result)
{
    const UINT w = imagesize::SpinValue(ReadSide(IDC_NEW_WIDTH), reinterpret_cast<NMUPDOWN*>(header)->iDelta);
    SetSide(IDC_NEW_WIDTH, w);
    if (IsDlgButtonChecked(IDC_KEEP_PROPORTION) == BST_CHECKED)
        SetSide(IDC_NEW_HEIGHT, imagesize::HeightFromWidth(w, m_sizeAspect));
    *result = 1;  // the value lives in the edit, not in the spin
}

void CImageSizeDlg::OnHeightSpin(NMHDR* header, LRESULT* result)
{
    const UINT h = imagesize::SpinValue(ReadSide(IDC_NEW_HEIGHT), reinterpret_cast<NMUPDOWN*>(header)->iDelta);
    SetSide(IDC_NEW_HEIGHT, h);
    if (IsDlgButtonChecked(IDC_KEEP_PROPORTION) == BST_CHECKED)
        SetSide(IDC_NEW_WIDTH, imagesize::WidthFromHeight(h, m_sizeAspect));
    *result = 1;
}

void CImageSizeDlg::OnOK()
{
    if (m_jobRunning || !UpdateData(TRUE))
        return;
    imagesize::ClampSize(&m_newWidth, &m_newHeight, m_keepProportion, m_sizeAspect);
    SetSide(IDC_NEW_WIDTH, m_newWidth);
    SetSide(IDC_NEW_HEIGHT, m_newHeight);
    if (static_cast<unsigned long long>(m_newWidth) * m_newHeight > imagesize::kLargePixels &&
        MessageBox(theUITextTable.GetText(kTextLargeSize), "WARNING", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    UINT oldWidth = 0, oldHeight = 0;
    thePhotoDocument.m_image.GetSize(&oldWidth, &oldHeight);
    if (m_resizeMethod < 2)
        ResizeWithCodec(oldWidth);
    else
        StartKernelJob();
}

void CImageSizeDlg::ResizeWithCodec(UINT oldWidth)
{
    const int method = m_resizeMethod;
    const UINT w = m_newWidth, h = m_newHeight;
    const int ok = RunInBackground(this, [&] {
        CQLImageCodec codec;
        if (!codec.Resample(&thePhotoDocument.m_image, &m_result, static_cast<int>(w), static_cast<int>(h), method))
            return 0;
        if (imagesize::NeedsSharpen(w, oldWidth))
            imagesize::SharpenFourNeighbour(&m_result);
        return 1;
    });
    Finish(ok != 0);
}

void CImageSizeDlg::StartKernelJob()
{
    EffectAlgorithm* job = &m_bicubic;
    if (m_resizeMethod == kQuilloResize) {
        m_quilloResize.SetOptions(m_keepEdges, m_resizeDetail, m_resizeSharpen);
        CWinApp* app = AfxGetApp();
        app->WriteProfileInt(kSection, "qleEdgeKeep", m_keepEdges);
        app->WriteProfileInt(kSection, "qleImageSizeDetail", m_resizeDetail);
        app->WriteProfileInt(kSection, "qleImageSizeSharpen", m_resizeSharpen);
        job = &m_quilloResize;
    }
    m_params = ResizeParams{static_cast<INT>(m_newWidth), static_cast<INT>(m_newHeight)};
    job->SetImages(&thePhotoDocument.m_image, &m_result);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(job, &m_params, kResizeTag, 0, 100)) {
        Finish(false);
        return;
    }
    m_jobRunning = TRUE;
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(FALSE);
}

LRESULT CImageSizeDlg::OnWorkerNotify(WPARAM kind, LPARAM value)
{
    if (!m_jobRunning)
        return 0;
    if (kind == 0) {
        SendDlgItemMessage(IDC_SIZE_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(value));
        return 0;
    }
    if (kind != 1 || value != kResizeTag)
        return 0;
    m_jobRunning = FALSE;
    Finish(theAlgorithmThread.GetResult() == 0);
    return 0;
}

// A failed resize keeps the photo and records nothing; the caller must not
// take it for a change.
void CImageSizeDlg::Finish(bool succeeded)
{
    UINT w = 0, h = 0;
    m_result.GetSize(&w, &h);
    if (!succeeded || w == 0 || h == 0) {
        m_result.Free();
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
        return;
    }
    thePhotoDocument.m_image = std::move(m_result);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextImageSize));
    thePhotoDocument.m_history.SetRefreshFlag();
    EndDialog(IDOK);
}

void CImageSizeDlg::OnCancel()
{
    if (m_jobRunning) {
        theAlgorithmThread.StopAlgorithm();
        while (theAlgorithmThread.IsBusy())
            Sleep(10);
        m_jobRunning = FALSE;
    }
    CSkinDialog::OnCancel();
}

int RunImageSizeDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CImageSizeDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}

int RunImageSizeCommand(CMainFrame* frame)
{
    return RunImageSizeDlg(frame);
}
