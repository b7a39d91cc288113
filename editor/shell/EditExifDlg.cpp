#include "editor/shell/EditExifDlg.h"

#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/DataExchange.h"
#include "platform/win/FileOps.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kAuthorChars = 32, kTextChars = 64;
// The ISO tag is an unsigned 16-bit value.
constexpr int kMaxIso = 65535;

// The whole text (blanks around it allowed) as a finite number.
bool ReadNumber(const std::string& text, double* value)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    *value = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE || !std::isfinite(*value))
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0';
}

void CopyInto(char (&field)[256], const CString& text)
{
    std::snprintf(field, sizeof field, "%s", text.GetString());
}

}  // namespace

CEditExifDlg::CEditExifDlg(ExifInfo& exif, const char* path, CWnd* parent)
    : CSkinDialog(IDD_EDIT_EXIF, parent), m_exif(exif), m_path(path ? path : "")
{
}

double CEditExifDlg::ParseShutter(const char* text)
{
    const std::string s = text ? text : "";
    double value = 0;
    const size_t slash = s.find('/');
    if (slash != std::string::npos) {
        double a = 0, b = 0;
        if (!ReadNumber(s.substr(0, slash), &a) || !ReadNumber(s.substr(slash + 1), &b) || a <= 0 || b <= 0)
            return 0;
        value = a / b;
    } else if (!ReadNumber(s, &value)) {
        return 0;
    }
    return value > 0 && std::isfinite(value) ? value : 0;
}

std::string CEditExifDlg::DefaultDateTime(const char* path)
{
    std::time_t when = std::time(nullptr);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path && *path && GetFileAttributesEx(path, GetFileExInfoStandard, &data)) {
        const unsigned long long ticks =
            (static_cast<unsigned long long>(data.ftCreationTime.dwHighDateTime) << 32) |
            data.ftCreationTime.dwLowDateTime;
        constexpr unsigned long long kTicksTo1970 = 116444736000000000ULL;
        if (ticks >= kTicksTo1970)
            when = static_cast<std::time_t>((ticks - kTicksTo1970) / 10000000ULL);
    }
    std::tm t{};
    localtime_r(&when, &t);
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
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
    m_dateTime = f.dateTime[0] ? f.dateTime : DefaultDateTime(m_path.c_str()).c_str();
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
    const double shutter = ParseShutter(m_shutter.GetString());
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
