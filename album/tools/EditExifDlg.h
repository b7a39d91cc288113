// "Edit EXIF data" of the album: the main values of one photo's EXIF
// record, filled from the photo, another photo or a ".exif" file.
#pragma once

#include "album/shell/SkinDialog.h"
#include "album/tools/ExifRecordFile.h"

namespace shelf {

class CEditExifDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 209;

    CEditExifDlg(const ExifFields& fields, const char* path, const char* userName, CWnd* parent = nullptr);

    void Fill(const ExifFields& fields, const char* path);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    ExifEditValues m_values;
    double m_shutterSeconds = 0;
    std::string m_userName;

protected:
    afx_msg void OnImport();
    DECLARE_MESSAGE_MAP()
};

// The album's command: nothing when the photo's EXIF cannot be read; text
// 75 when the record cannot be written.
void EditExifOfFile(const char* path, CWnd* parent);
// Saves the photo's record into a ".exif" file the user names.
void ExportExifToFile(const char* path, CWnd* parent);

} // namespace shelf
