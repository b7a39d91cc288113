// "Image": the picture file placed over the photo. The file dialog opens as
// soon as the page is shown; choosing nothing cancels the sheet.
#pragma once

#include "editor/ui/SkinPropertyPage.h"

inline constexpr UINT IDD_INSERT_IMAGE = 238;
inline constexpr UINT IDC_INSERT_LOAD = 1223;
inline constexpr UINT IDC_INSERT_PATH = 1224;

class CInsertImageDlg : public CSkinPropertyPage {
    DECLARE_DYNAMIC(CInsertImageDlg)
public:
    CInsertImageDlg();

    BOOL OnInitDialog() override;
    // Loads path as the sheet's object and places it; on failure tells the
    // user and keeps the previous object. TRUE when loaded.
    BOOL LoadPicture(const char* path);

    char path[512] = {};

protected:
    afx_msg void OnLoad();
    DECLARE_MESSAGE_MAP()
};

// The picture filter of the file dialog.
extern const char kInsertImageFilter[];
