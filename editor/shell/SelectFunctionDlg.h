// "Select the function": three picture buttons (Noise Reduction, Digital
// Beauty, Smart Erase) and a few more tools of the enhancement group. The
// tools run at once through the command target's commands; the first three
// choices close the dialog and leave the choice to the caller.
#pragma once

#include "editor/ui/BitmapMenu.h"
#include "editor/ui/ImgButton.h"
#include "editor/ui/SkinDialog.h"

class CMainFrame;

inline constexpr UINT IDD_SELECT_FUNCTION = 207;
inline constexpr UINT IDR_ENHANCE_TOOLS = 218;
inline constexpr UINT IDC_FUNCTION_NOISE = 1168;
inline constexpr UINT IDC_FUNCTION_BEAUTY = 1174;
inline constexpr UINT IDC_FUNCTION_SHARPEN = 1200;
inline constexpr UINT IDC_FUNCTION_SMART_ERASE = 22339;
inline constexpr UINT IDC_FUNCTION_SKIN_CLEAN = 1420;
inline constexpr UINT IDC_FUNCTION_DEFOG = 1421;
inline constexpr UINT IDC_FUNCTION_MORE = 1326;
inline constexpr UINT IDC_FUNCTION_FRAME = 1553;

class CSelectFunctionDlg : public CSkinDialog {
public:
    static constexpr int kPictureSize = 140;
    // The command of each choice: Noise Reduction, Digital Beauty, Quillo Sharpen.
    static constexpr UINT kChoiceCommands[3] = {32799, 32800, 32801};

    // target answers the commands' enabling and runs them (the main frame).
    CSelectFunctionDlg(CWnd* target, CWnd* parent);

    // Whether target has the command enabled now (its update handler, else
    // whether it handles the command at all).
    static BOOL CommandEnabled(CWnd* target, UINT command);
    // Whether any button of the dialog would be enabled.
    BOOL AnyAvailable() const;

    int m_choice = -1;
    CImgButton m_pictures[3];
    CBitmapMenu m_tools;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    DECLARE_MESSAGE_MAP()

private:
    void LayOutPictures();
    void DropToolsMenu();
    void EnableMenuItems(CMenu* menu);

    CWnd* m_target;
};

// Runs "Select the function" for the frame, then the chosen function through
// the frame's command. Shows nothing while no button would be enabled.
// IDOK when a function was started.
int RunSelectFunctionDlg(CMainFrame* frame);
