#include "editor/shell/EditExifDlg.h"

#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/DataExchange.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kAuthorChars = 32, kTextChars = 64;
// The ISO tag is an unsigned 16-bit value.
constexpr int kMaxIso = 65535;

void CopyInto(char (&field)[256], const CString& text)
{
    std::snprintf(field, sizeof field, "%s", text.GetString());
}

}  // namespace

CEditExifDlg::CEditExifDlg(ExifInfo& exif, const char* path, CWnd* parent)
    : CSkinDialog(IDD_EDIT_EXIF, parent), m_exif(exif), m_path(path ? path : "")
{
}

BOOL CEditExifDlg::OnInitDialog()
{
    const ExifFields& f = m_exif.GetFields();
    m_fNumber = f.aperture != 0 ? f.aperture : f.fNumber;
    m_exposureBias = f.exposureBias;
    m_focalLength = f.focalLength;
    m_iso = static_cast<WORD>(f.isoSpeed);
    m_flash = f.flash;
    char shutter[64];
    std::snprintf(shutter, sizeof shutter, "%f", f.shutterSpeed != 0 ? f.shutterSpeed : f.exposureTime);
    m_shutter = shutter;
    const char* user = theAppSettings.m_userName;
    m_author = f.artist[0] ? f.artist : user;
    if (f.copyright[0]) {
        m_copyright = f.copyright;
    } else {
        char copyright[256];
        std::snprintf(copyright, sizeof copyright, "Copyright %s, All right reserved.", user);
        m_copyright = copyright;
    }
    m_model = f.model;
    m_dateTime = f.dateTime[0] ? f.dateTime : FileTimeText(m_path.c_str()).c_str();
    return CSkinDialog::OnInitDialog();
}

void CEditExifDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EXIF_FNUMBER, m_fNumber);
    DDV_MinMaxDouble(pDX, m_fNumber, 0, 128);
    DDX_Text(pDX, IDC_EXIF_BIAS, m_exposureBias);
    DDV_MinMaxDouble(pDX, m_exposureBias, -10, 10);
    DDX_Text(pDX, IDC_EXIF_FOCAL, m_focalLength);
    DDV_MinMaxDouble(pDX, m_focalLength, 0, 6000);
    DDX_Text(pDX, IDC_EXIF_ISO, m_iso);
    DDV_MinMaxInt(pDX, m_iso, 0, kMaxIso);
    DDX_Text(pDX, IDC_EXIF_FLASH, m_flash);
    DDV_MinMaxInt(pDX, m_flash, -1, 10);
    DDX_Text(pDX, IDC_EXIF_SHUTTER, m_shutter);
    DDX_Text(pDX, IDC_EXIF_AUTHOR, m_author);
    DDV_MaxChars(pDX, m_author, kAuthorChars);
    DDX_Text(pDX, IDC_EXIF_COPYRIGHT, m_copyright);
    DDV_MaxChars(pDX, m_copyright, kTextChars);
    DDX_Text(pDX, IDC_EXIF_MODEL, m_model);
    DDV_MaxChars(pDX, m_model, kTextChars);
    DDX_Text(pDX, IDC_EXIF_DATE, m_dateTime);
    DDV_MaxChars(pDX, m_dateTime, kTextChars);
}

void CEditExifDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    const double shutter = ParseShutterText(m_shutter.GetString());
    if (shutter <= 0) {
        AfxMessageBox("Shutter speed: Input wrong format!", MB_OK | MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(IDC_EXIF_SHUTTER));
        return;
    }
    if (ParseExifDateTime(m_dateTime.GetString()).wYear == 0) {
        AfxMessageBox(theUITextTable.GetText(95), MB_OK | MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(IDC_EXIF_DATE));
        return;
    }
    ExifFields& f = m_exif.GetFields();
    f.exposureBias = m_exposureBias;
    f.isoSpeed = static_cast<short>(static_cast<WORD>(m_iso));
    f.focalLength = m_focalLength;
    f.flash = static_cast<short>(m_flash);
    f.shutterSpeed = shutter;
    f.exposureTime = shutter;
    f.aperture = m_fNumber;
    f.fNumber = m_fNumber;
    CopyInto(f.artist, m_author);
    CopyInto(f.copyright, m_copyright);
    CopyInto(f.model, m_model);
    CopyInto(f.dateTime, m_dateTime);
    f.hasExif = 1;
    EndDialog(IDOK);
}
