#include "album/tools/EditExifDlg.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"

namespace shelf {

namespace {
constexpr int kTimeChars = 64, kAuthorChars = 32, kTextChars = 64;
// The record keeps ISO as a signed 16-bit value.
constexpr int kMaxIso = 32767;
} // namespace

BEGIN_MESSAGE_MAP(CEditExifDlg, CSkinDialog)
    ON_BN_CLICKED(1059, OnImport)
END_MESSAGE_MAP()

CEditExifDlg::CEditExifDlg(const ExifFields& fields, const char* path, const char* userName, CWnd* parent)
    : CSkinDialog(kTemplate, parent), m_userName(userName ? userName : "")
{
    Fill(fields, path);
}

void CEditExifDlg::Fill(const ExifFields& fields, const char* path)
{
    m_values = ValuesFromRecord(fields, path, m_userName.c_str());
}

BOOL CEditExifDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    return TRUE;
}

void CEditExifDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    ExifEditValues& v = m_values;
    CString time = v.time.c_str(), shutter = v.shutter.c_str(), model = v.model.c_str(), author = v.author.c_str(),
            copyright = v.copyright.c_str();
    DDX_Text(pDX, 1088, time);
    DDV_MaxChars(pDX, time, kTimeChars);
    DDX_Text(pDX, 1023, v.aperture);
    DDV_MinMaxDouble(pDX, v.aperture, 0, 128);
    DDX_Text(pDX, 1024, shutter);
    DDX_Text(pDX, 1025, v.flash);
    DDV_MinMaxInt(pDX, v.flash, -1, 10);
    DDX_Text(pDX, 1031, v.iso);
    DDV_MinMaxInt(pDX, v.iso, 0, kMaxIso);
    DDX_Text(pDX, 1030, v.exposureBias);
    DDV_MinMaxDouble(pDX, v.exposureBias, -10, 10);
    DDX_Text(pDX, 1029, v.focalLength);
    DDV_MinMaxDouble(pDX, v.focalLength, 0, 6000);
    DDX_Text(pDX, 1028, model);
    DDV_MaxChars(pDX, model, kTextChars);
    DDX_Text(pDX, 1117, author);
    DDV_MaxChars(pDX, author, kAuthorChars);
    DDX_Text(pDX, 1101, copyright);
    DDV_MaxChars(pDX, copyright, kTextChars);
    if (pDX->m_bSaveAndValidate) {
        v.time = time.GetString();
        v.shutter = shutter.GetString();
        v.model = model.GetString();
        v.author = author.GetString();
        v.copyright = copyright.GetString();
    }
}

void CEditExifDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    m_shutterSeconds = ParseShutterText(m_values.shutter.c_str());
    if (m_shutterSeconds <= 0) {
        AfxMessageBox("Shutter speed: Input wrong format!", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (ParseExifDateTime(m_values.time.c_str()).wYear == 0) {
        AfxMessageBox(theAlbumTexts.GetText(74), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(IDOK);
}

void CEditExifDlg::OnImport()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, theAlbumTexts.GetText(76), this);
    if (dialog.DoModal() != IDOK)
        return;
    const std::string path = dialog.GetPathName().GetString();
    ExifFields fields{};
    ExifFileResult result{};
    if (!ReadRecordFrom(path, fields, &result)) {
        if (result == ExifFileResult::WrongSize)
            AfxMessageBox(theAlbumTexts.GetText(81), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Fill(fields, path.c_str());
    UpdateData(FALSE);
}

void EditExifOfFile(const char* path, CWnd* parent)
{
    ExifInfo exif;
    if (!path || !exif.ReadFromFile(path))
        return;
    const char* user = theAlbum ? theAlbum->m_userName.c_str() : "";
    CEditExifDlg dialog(exif.GetFields(), path, user, parent);
    if (dialog.DoModal() != IDOK)
        return;
    ExifFields fields = exif.GetFields();
    ValuesIntoRecord(dialog.m_values, dialog.m_shutterSeconds, fields);
    exif.SetFields(fields);
    if (!exif.WriteToFile(TRUE, path, TRUE))
        AfxMessageBox(theAlbumTexts.GetText(75), MB_OK | MB_ICONEXCLAMATION);
}

void ExportExifToFile(const char* path, CWnd* parent)
{
    if (!path)
        return;
    const std::string proposed = ExifExportName(path);
    CFileDialog dialog(FALSE, "exif", proposed.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "EXIF data file (*.exif) |*.exif|All files(*.*)|*.*||", parent);
    if (dialog.DoModal() != IDOK)
        return;
    ExifInfo exif;
    if (!exif.ReadFromFile(path) || !exif.GetFields().hasExif)
        return;
    const std::string target = dialog.GetPathName().GetString();
    if (SaveExifRecord(target, exif.GetFields()) != ExifFileResult::Ok) {
        CString message;
        message.Format(theAlbumTexts.GetText(18), target.c_str());
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    }
}

} // namespace shelf
