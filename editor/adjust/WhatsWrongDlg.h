// "What's wrong with your photo?": the user names the problem and the wizard
// runs the dialog, or the short chain of dialogs, that fixes it; a second
// tab lists other functions with a description each.
#pragma once

#include "editor/ui/ImgButton.h"
#include "editor/ui/SkinDialog.h"
#include "platform/afx/CommCtrl.h"

#include <vector>

class CMainFrame;

inline constexpr UINT IDD_WHATS_WRONG = 231;
inline constexpr UINT IDC_WIZARD_FEATURES = 1000;
inline constexpr UINT IDC_WIZARD_AUTO = 1167;
inline constexpr UINT IDC_WIZARD_SHOW_AFTER_OPEN = 1267;
inline constexpr UINT IDC_WIZARD_TAB = 1375;
inline constexpr UINT IDC_WIZARD_GO = 1376;
inline constexpr UINT IDC_WIZARD_GALLERY = 1487;

// Set by the check box of the wizard: the wizard shows after every file
// opened in this run. Never stored.
extern int ShowFixWizardAfterOpen;

namespace fixwizard {

// The dialogs the wizard reaches; each has a runner from its owner.
enum Dialog {
    kAutoExposure, kDynamicRange, kSpotMetering, kWhiteBalance, kVisualColor, kCorrectDistortion,
    kNoiseReduction, kDefog, kColorEnhancement, kDigitalBeauty, kRedEye, kAntiPurple, kSmartErase,
    kModifyShape, kImageSize, kFreeRotate, kDarkCorners, kAutoProcess, kColorTheme, kToneMaker,
    kGradientFilter, kStarLight, kGaussDiffuse, kHighlightDiffuse, kDialogCount
};
using Runner = int (*)(CWnd* parent);
// Returns the runner it replaced; none leaves the dialog's button disabled.
Runner SetRunner(Dialog dialog, Runner run);
Runner GetRunner(Dialog dialog);

struct Problem {
    RECT rect;
    UINT command;
    const char* face;
    int caption, hint;  // UI texts
    Dialog dialogs[3];
    int count;
    int tipText;        // the chain's information box, 0 for none
    bool hideWizard;
};
inline constexpr int kProblems = 12;
// In the order the buttons are made.
extern const Problem kProblemTable[kProblems];

struct Feature {
    const char* name;
    const char* description;
    const char* message;  // a message box instead of a dialog
    Dialog dialog;
};
inline constexpr int kFeatures = 9;
extern const Feature kFeatureTable[kFeatures];

}  // namespace fixwizard

class CWhatsWrongDlg : public CSkinDialog {
public:
    explicit CWhatsWrongDlg(CWnd* parent);
    ~CWhatsWrongDlg() override;

    // Runs the problem or the never-shown command id (4103, 4114); the last
    // dialog's end code, IDCANCEL when none ran.
    int RunProblem(UINT command);
    // Runs the feature of the first selected row, then redraws the main window.
    void RunSelectedFeature();
    void ShowTab(int tab);

    CImgButton m_problems[fixwizard::kProblems];
    CListCtrl m_features;
    CTabCtrl m_tab;
    std::vector<CWnd*> m_whatsWrongGroup;
    std::vector<CWnd*> m_otherFunctionsGroup;
    BOOL m_showAfterOpen = FALSE;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnProblem(UINT id);
    afx_msg void OnAutoProcessing();
    afx_msg void OnEffectGallery();
    afx_msg void OnGo();
    afx_msg void OnTabChanged(NMHDR* header, LRESULT* result);
    afx_msg void OnFeatureDoubleClick(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    void FillFeatures();
    void ApplyTab();
    int RunDialog(fixwizard::Dialog dialog);
    int RunHidden(fixwizard::Dialog dialog);
    void StoreCheckBox();
    static void RedrawMain();
};

// Image > By problem: the wizard over the open photo.
int RunWhatsWrongDlg(CWnd* parent);
// After a file was opened: the wizard when the box was ticked.
int RunFixWizardAfterOpen(CWnd* parent);
