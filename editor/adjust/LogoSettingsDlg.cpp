#include "editor/adjust/LogoSettingsDlg.h"

#include "editor/adjust/RepairRules.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"

namespace {

const char kImageFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|Jpeg "
    "Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|Compuserve "
    "GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|Truevision "
    "Targa(*.tga)|*.tga||";

} // namespace

BEGIN_MESSAGE_MAP(CLogoSettingsDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_LOGO_X_SPIN, IDC_LOGO_SIZE_SPIN, OnSpin)
    ON_BN_CLICKED(IDC_LOGO_BROWSE, OnBrowseLogo)
    ON_BN_CLICKED(IDC_LOGO_MASK_BROWSE, OnBrowseMask)
    ON_CBN_SELCHANGE(IDC_LOGO_MODE, OnModeChange)
END_MESSAGE_MAP()

CLogoSettingsDlg::CLogoSettingsDlg(CWnd* parent) : CDialog(IDD_LOGO_SETTINGS, parent) {}

void CLogoSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LOGO_FILE, logoFile);
    DDX_CBIndex(pDX, IDC_LOGO_MODE, overlayMode);
    DDX_Text(pDX, IDC_LOGO_MASK, maskFile);
    DDX_Text(pDX, IDC_LOGO_X, logoX);
    DDV_MinMaxInt(pDX, logoX, -100, 200);
    DDX_Text(pDX, IDC_LOGO_Y, logoY);
    DDV_MinMaxInt(pDX, logoY, -100, 200);
    DDX_Text(pDX, IDC_LOGO_SIZE, logoSize);
    DDV_MinMaxUInt(pDX, logoSize, 1, 100);
}

BOOL CLogoSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    font.CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    for (const char* name : {"Light only", "Dark only", "Using Mask", "Using Mask in GIF or PNG files"})
        SendDlgItemMessage(IDC_LOGO_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    UpdateData(FALSE);
    EnableMask();
    return TRUE;
}

RECT CLogoSettingsDlg::PhotoRect() const
{
    RECT panel{};
    if (CWnd* item = GetDlgItem(IDC_LOGO_PREVIEW)) {
        item->GetWindowRect(&panel);
        ScreenToClient(&panel);
    }
    return repair::LogoPhotoRect(panel);
}

void CLogoSettingsDlg::OnPaint()
{
    CPaintDC dc(this);
    RECT panel{};
    GetDlgItem(IDC_LOGO_PREVIEW)->GetWindowRect(&panel);
    ScreenToClient(&panel);
    dc.IntersectClipRect(&panel);
    dc.FillSolidRect(&panel, RGB(255, 255, 255));
    const RECT photo = PhotoRect();
    dc.FillSolidRect(&photo, RGB(192, 192, 192));
    CBrush black(RGB(0, 0, 0));
    dc.FrameRect(&photo, &black);
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.TextOut(photo.left + 8, photo.top, "Photo");
    dc.SelectObject(oldFont);
    const RECT box = repair::LogoBox(photo, logoX, logoY, static_cast<int>(logoSize));
    CBrush red(RGB(255, 0, 0));
    dc.FrameRect(&box, &red);
}

void CLogoSettingsDlg::OnLButtonDown(UINT flags, CPoint point)
{
    RECT panel{};
    GetDlgItem(IDC_LOGO_PREVIEW)->GetWindowRect(&panel);
    ScreenToClient(&panel);
    if (!::PtInRect(&panel, point)) {
        CDialog::OnLButtonDown(flags, point);
        return;
    }
    const POINT p = repair::LogoClickPercent(point, PhotoRect());
    logoX = p.x;
    logoY = p.y;
    SetDlgItemInt(IDC_LOGO_X, static_cast<UINT>(logoX), TRUE);
    SetDlgItemInt(IDC_LOGO_Y, static_cast<UINT>(logoY), TRUE);
    InvalidateRect(&panel, FALSE);
}

void CLogoSettingsDlg::OnSpin(UINT id, NMHDR* nm, LRESULT* answer)
{
    const int delta = reinterpret_cast<NMUPDOWN*>(nm)->iDelta;
    // The value in the edit as typed, or the field when it does not read.
    auto read = [this](UINT edit, int fallback) {
        BOOL ok = FALSE;
        const int v = static_cast<int>(GetDlgItemInt(edit, &ok, TRUE));
        return ok ? v : fallback;
    };
    if (id == IDC_LOGO_SIZE_SPIN) {
        logoSize = static_cast<UINT>(repair::SpinValue(read(IDC_LOGO_SIZE, static_cast<int>(logoSize)), delta, 1, 40));
        SetDlgItemInt(IDC_LOGO_SIZE, logoSize, FALSE);
    } else if (id == IDC_LOGO_X_SPIN) {
        logoX = repair::SpinValue(read(IDC_LOGO_X, logoX), delta, -100, 200);
        SetDlgItemInt(IDC_LOGO_X, static_cast<UINT>(logoX), TRUE);
    } else {
        logoY = repair::SpinValue(read(IDC_LOGO_Y, logoY), delta, -100, 200);
        SetDlgItemInt(IDC_LOGO_Y, static_cast<UINT>(logoY), TRUE);
    }
    Invalidate(FALSE);
    // The dialog moved the value itself.
    *answer = 1;
}

bool CLogoSettingsDlg::Browse(CString* path)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kImageFilter, this);
    if (dialog.DoModal() != IDOK)
        return false;
    *path = dialog.GetPathName();
    return true;
}

void CLogoSettingsDlg::OnBrowseLogo()
{
    if (Browse(&logoFile))
        SetDlgItemText(IDC_LOGO_FILE, logoFile);
}

void CLogoSettingsDlg::OnBrowseMask()
{
    if (Browse(&maskFile))
        SetDlgItemText(IDC_LOGO_MASK, maskFile);
}

void CLogoSettingsDlg::OnModeChange()
{
    overlayMode = static_cast<int>(SendDlgItemMessage(IDC_LOGO_MODE, CB_GETCURSEL));
    EnableMask();
}

void CLogoSettingsDlg::EnableMask()
{
    for (UINT id : {IDC_LOGO_MASK, IDC_LOGO_MASK_BROWSE})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(overlayMode == 2);
}
