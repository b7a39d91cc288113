// The choosers of the function bar's Color and Exposure buttons: three
// picture buttons for the three ways to correct, and a menu of the group's
// other tools.
#pragma once

#include "editor/ui/ImgButton.h"
#include "editor/ui/SkinDialog.h"

inline constexpr UINT IDD_ADJUST_COLOR_CHOOSER = 176;
inline constexpr UINT IDD_ADJUST_EXPOSURE_CHOOSER = 233;
inline constexpr UINT IDC_CHOOSER_FIRST = 12289;  // 12289..12291: choices 0..2
inline constexpr UINT IDC_CHOOSER_MORE = 1326;

class CAdjustColorChooserDlg : public CSkinDialog {
public:
    explicit CAdjustColorChooserDlg(CWnd* parent);

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    int choice = 0;
    CImgButton buttons[3];
    // The main window command picked from "More powelful tools...", 0 none.
    UINT moreCommand = 0;

protected:
    CAdjustColorChooserDlg(UINT templateId, CWnd* parent);
    void DropMoreMenu();

    int firstX = 5;
    int hintTexts[3] = {69, 24, 68};
    UINT moreMenu = 221;
    bool tintFaces = false;
};

class CAdjustExposureDlg : public CAdjustColorChooserDlg {
public:
    explicit CAdjustExposureDlg(CWnd* parent);
};

// Run the chooser, then the dialog it names; IDOK when that one applied.
int RunAdjustColorChooser(CWnd* parent);
int RunAdjustExposureChooser(CWnd* parent);
