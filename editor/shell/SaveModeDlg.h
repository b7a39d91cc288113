// "Please select save mode": five ways to save the current photo, each a
// picture button with a titled description beside it, and the JPEG schemes
// for a fast copy.
#pragma once

#include "editor/shell/SaveSchemes.h"
#include "editor/ui/ImgButton.h"
#include "editor/ui/LinkListCtrl.h"
#include "platform/afx/Afx.h"

#include <vector>

inline constexpr UINT IDD_SAVE_MODE = 371;
inline constexpr UINT IDC_SAVE_SCHEMES = 1521;
inline constexpr UINT IDC_SAVE_SCHEMES_LABEL = 1522;
inline constexpr UINT ID_SAVE_BACK = 12289;
inline constexpr UINT ID_SAVE_WEB = 12290;
inline constexpr UINT ID_SAVE_PRINT = 12291;
inline constexpr UINT ID_SAVE_EDIT = 12292;
inline constexpr UINT ID_SAVE_CUSTOM = 12293;
inline constexpr UINT IDC_SAVE_MODE_TEXT_FIRST = 18945;

// A mode's title and lines, over the dialog's gradient panel.
class CSaveModeText : public CLinkListCtrl {
public:
    // The panel's colours at the top and bottom of this control.
    COLORREF m_top = RGB(240, 240, 240), m_bottom = RGB(240, 240, 240);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};

// A mode's picture button, with the focus marked for the keyboard.
class CSaveModeButton : public CImgButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
};

class CSaveModeDlg : public CDialog {
public:
    static constexpr int kModes = 5;

    explicit CSaveModeDlg(CWnd* parent);

    // The command a title's click names: wParam must be 0x20000..0x2FFFF and
    // the handler name is matched by its first characters; 0 otherwise.
    static UINT HandlerCommand(WPARAM wParam, const char* handler);
    // Runs one save mode; TRUE when it saved (the dialog then ends with OK).
    BOOL RunMode(UINT command);
    // Whether a mode can be used now (Save back needs the photo's path).
    BOOL ModeEnabled(UINT command) const;
    // A fast copy through the scheme of the list's line; the dialog stays.
    BOOL FastCopy(int line);

    CSaveModeButton m_buttons[kModes];
    CSaveModeText m_texts[kModes];
    std::vector<SaveScheme> m_schemes;

protected:
    BOOL OnInitDialog() override;
    void LoadSchemes();
    void RecalcLayout();
    void PaintBackground(CDC* dc);

    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnModeCommand(UINT id);
    afx_msg LRESULT OnLinkClick(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSchemeDoubleClick();
    DECLARE_MESSAGE_MAP()
};

// The frame's runner of File > Save.
int RunSaveModeDlg(CWnd* frame);
