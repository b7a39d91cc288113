// "Edit EXIF data": the main camera, exposure and text fields of a photo's
// EXIF record. OK checks every field and changes the record only when all
// of them are good.
#pragma once

#include "editor/shell/ExifInfo.h"
#include "editor/ui/SkinDialog.h"

#include <string>

inline constexpr UINT IDD_EDIT_EXIF = 275;
inline constexpr UINT IDC_EXIF_AUTHOR = 1093;
inline constexpr UINT IDC_EXIF_DATE = 1273;
inline constexpr UINT IDC_EXIF_FNUMBER = 1298;
inline constexpr UINT IDC_EXIF_SHUTTER = 1299;
inline constexpr UINT IDC_EXIF_FLASH = 1300;
inline constexpr UINT IDC_EXIF_ISO = 1301;
inline constexpr UINT IDC_EXIF_BIAS = 1302;
inline constexpr UINT IDC_EXIF_FOCAL = 1303;
inline constexpr UINT IDC_EXIF_MODEL = 1304;
inline constexpr UINT IDC_EXIF_COPYRIGHT = 1306;

class CEditExifDlg : public CSkinDialog {
public:
    // The record of the photo at path (whose creation time is the default date).
    CEditExifDlg(ExifInfo& exif, const char* path, CWnd* parent);

    double m_fNumber = 0;
    double m_exposureBias = 0;
    double m_focalLength = 0;
    int m_iso = 0;
    int m_flash = -1;
    CString m_shutter;
    CString m_author;
    CString m_copyright;
    CString m_model;
    CString m_dateTime;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    ExifInfo& m_exif;
    std::string m_path;
};
