#include "editor/shell/JpegQualityDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SaveWithSizeDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr UINT WM_TEST_ENCODED = WM_APP + 150;
constexpr UINT kViewId = 1021;
constexpr int kMargin = 7;

int ExifBytes()
{
    return thePhotoDocument.m_exif.GetExifByteSize(TRUE);
}

}  // namespace

BEGIN_MESSAGE_MAP(CJpegQualityDlg, CSkinDialog)
    ON_COMMAND_RANGE(IDC_QUALITY_LOW, IDC_QUALITY_HIGH, OnPreset)
    ON_WM_HSCROLL()
    ON_BN_CLICKED(IDC_QUALITY_HQ_COLOR, OnHighQualityColor)
    ON_BN_CLICKED(IDC_QUALITY_PREVIEW, OnPreviewCheck)
    ON_BN_CLICKED(IDC_QUALITY_BY_SIZE, OnQualityBySize)
    ON_MESSAGE(WM_TEST_ENCODED, OnTestDone)
END_MESSAGE_MAP()

CJpegQualityDlg::CJpegQualityDlg(CWnd* parent) : CSkinDialog(IDD_JPEG_QUALITY, parent)
{
    if (CWinApp* app = AfxGetApp()) {
        m_quality = std::clamp(static_cast<int>(app->GetProfileInt("Interface", "qleJpegQuality", 85)), 1, 100);
        m_highQuality = app->GetProfileInt("Interface", "qleJpegHQColor", 0) ? 1 : 0;
    }
    m_testPath = std::string(theAppSettings.m_tempFolder) + "Preview0.jpg";
}

CJpegQualityDlg::~CJpegQualityDlg()
{
    m_encoder.Stop();
    ::DeleteFile(m_testPath.c_str());
}

CString CJpegQualityDlg::SizeText(double fileBytes, double testBytes)
{
    char text[256];
    std::snprintf(text, sizeof text, theUITextTable.GetText(219), fileBytes / 1024, testBytes / 1024);
    return CString(text);
}

BOOL CJpegQualityDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (CWnd* slider = GetDlgItem(IDC_QUALITY_SLIDER)) {
        slider->SendMessage(TBM_SETRANGE, TRUE, MAKELPARAM(1, 100));
        slider->SendMessage(TBM_SETPAGESIZE, 0, 10);
        for (int tic = 5; tic < 100; tic += 5)
            slider->SendMessage(TBM_SETTIC, 0, tic);
    }
    UpdateData(FALSE);

    GetWindowRect(&m_wideRect);
    m_narrowRect = m_wideRect;
    CRect separator, client;
    GetClientRect(&client);
    if (CWnd* line = GetDlgItem(IDC_QUALITY_SEPARATOR)) {
        line->GetWindowRect(&separator);
        ScreenToClient(&separator);
        // Narrow: everything right of the separator's left edge cut off.
        m_narrowRect.right -= client.right - separator.left;
    }
    const CRect viewRect(separator.right + kMargin, kMargin, client.right - kMargin, client.bottom - kMargin);
    m_view.Create("Preview", viewRect, this, kViewId);

    m_encoder.Start(m_hWnd, WM_TEST_ENCODED, &thePhotoDocument.m_image, m_testPath);
    ShowSizeText();
    ShowWide(m_preview);
    if (m_preview)
        Renew();
    return TRUE;
}

void CJpegQualityDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_QUALITY_SLIDER, m_quality);
    DDX_Check(pDX, IDC_QUALITY_HQ_COLOR, m_highQuality);
    DDX_Check(pDX, IDC_QUALITY_EXPORT_STEPS, m_exportSteps);
    DDX_Check(pDX, IDC_QUALITY_PREVIEW, m_preview);
}

void CJpegQualityDlg::Renew()
{
    UpdateData(TRUE);
    if (!m_preview)
        return;
    m_encoder.Request(m_highQuality ? m_quality + 100 : m_quality);
}

void CJpegQualityDlg::ShowWide(BOOL wide)
{
    const CRect& r = wide ? m_wideRect : m_narrowRect;
    SetWindowPos(nullptr, 0, 0, r.Width(), r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_view.GetSafeHwnd())
        m_view.ShowWindow(wide ? SW_SHOW : SW_HIDE);
}

void CJpegQualityDlg::ShowSizeText()
{
    SetDlgItemText(IDC_QUALITY_SIZES, SizeText(thePhotoDocument.m_fileSize, m_testSize));
}

void CJpegQualityDlg::OnPreset(UINT id)
{
    static const struct {
        UINT id;
        int quality, highQuality;
    } kPresets[] = {{IDC_QUALITY_LOW, 40, 0}, {IDC_QUALITY_MIDDLE, 60, 1}, {IDC_QUALITY_HIGH, 95, 1}};
    UpdateData(TRUE);
    for (const auto& p : kPresets)
        if (p.id == id) {
            m_quality = p.quality;
            m_highQuality = p.highQuality;
        }
    UpdateData(FALSE);
    Renew();
}

void CJpegQualityDlg::OnHScroll(UINT, UINT, CScrollBar* bar)
{
    if (bar && bar->GetDlgCtrlID() == static_cast<int>(IDC_QUALITY_SLIDER))
        Renew();
}

void CJpegQualityDlg::OnHighQualityColor()
{
    Renew();
}

void CJpegQualityDlg::OnPreviewCheck()
{
    UpdateData(TRUE);
    ShowWide(m_preview);
    if (m_preview)
        Renew();
}

void CJpegQualityDlg::OnQualityBySize()
{
    UpdateData(TRUE);
    // The test encodes read the photo too; the search only reads it.
    CSaveWithSizeDlg search(this, &thePhotoDocument.m_image);
    search.m_highQuality = m_highQuality;
    search.m_exifSize = ExifBytes();
    if (search.DoModal() != IDOK)
        return;
    m_quality = std::clamp(search.m_quality, 1, 100);
    UpdateData(FALSE);
    Renew();
}

LRESULT CJpegQualityDlg::OnTestDone(WPARAM, LPARAM)
{
    CQLImage loaded;
    DWORD bytes = 0;
    // A failed encode leaves the preview and the text as they were.
    if (!m_encoder.TakeResult(&loaded, &bytes))
        return 0;
    m_previewImage = std::move(loaded);
    m_testSize = bytes + static_cast<DWORD>(ExifBytes());
    if (!m_fitted) {
        m_view.SetImage(&m_previewImage, TRUE);
        m_fitted = TRUE;
    } else {
        m_view.RepaintNow();
    }
    ShowSizeText();
    return 0;
}

void CJpegQualityDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    m_encoder.Stop();
    ::DeleteFile(m_testPath.c_str());
    if (CWinApp* app = AfxGetApp()) {
        app->WriteProfileInt("Interface", "qleJpegQuality", m_quality);
        app->WriteProfileInt("Interface", "qleJpegHQColor", m_highQuality);
    }
    EndDialog(IDOK);
}

void CJpegQualityDlg::OnCancel()
{
    m_encoder.Stop();
    ::DeleteFile(m_testPath.c_str());
    EndDialog(IDCANCEL);
}
