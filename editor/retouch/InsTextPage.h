// "Text": the text placed over the photo. Renders on every change (typing
// at most every 900 ms), keeps its settings in "default.tset" in the program
// folder, and saves and loads ".tset" files.
#pragma once

#include "editor/retouch/TextRender.h"
#include "editor/retouch/TextSettings.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/SkinPropertyPage.h"

#include <string>

inline constexpr UINT IDD_TEXT_PAGE = 246;
enum : UINT {
    IDC_TEXT_BOLD = 1060,
    IDC_TEXT_SWATCH = 1104,
    IDC_TEXT_COLOR = 1116,
    IDC_TEXT_SIZE = 1140,
    IDC_TEXT_ALIGN = 1141,
    IDC_TEXT_VERTICAL = 1171,
    IDC_TEXT_EDIT = 1257,
    IDC_TEXT_FONT = 1258,
    IDC_TEXT_ITALIC = 1261,
    IDC_TEXT_UNDERLINE = 1262,
    IDC_TEXT_PLACE = 1263,
    IDC_TEXT_SIZE_SPIN = 1264,
    IDC_TEXT_SAVE = 1265,
    IDC_TEXT_LOAD = 1266,
    IDC_TEXT_CALENDAR = 1436,
    IDC_BALLOON_NONE = 1537,   // 1538..1541 shapes 0..3
    IDC_BALLOON_TAIL0 = 1542,  // ..1545 tails 0..3
    IDC_BALLOON_SWATCH = 1546,
};

class CInsTextPage : public CSkinPropertyPage {
    DECLARE_DYNAMIC(CInsTextPage)
public:
    static constexpr UINT_PTR kTimer = 123;
    static constexpr UINT kTimerMs = 900;
    static constexpr int kMaxText = 320;

    CInsTextPage();

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Reads the controls and has the sheet draw the text and place it.
    void RenderAndPlace(BOOL showNavigator);
    BOOL SaveSettings(const char* path);
    BOOL LoadSettings(const char* path);
    // The page's and the sheet's values as a ".tset" holds them, and back.
    TextSettings CurrentSettings() const;
    void ApplySettings(const TextSettings& settings);
    TextStyle CurrentStyle() const;
    // Selects a face in the font list; FALSE when the list lacks it.
    BOOL SelectFace(const char* face);
    // Replaces the text (as "Select a Month" does) and renders.
    void SetText(const std::string& text);

    std::string faceName = "Arial";
    int size = 32;
    std::string text = "Type text here";
    int bold = 0, italic = 0, underline = 0;
    BYTE textColour[4] = {255, 255, 255, 255};  // B, G, R, A
    int vertical = 0;
    int alignment = 0;
    int balloonShape = -1;
    int balloonTail = 2;
    COLORREF balloonColour = 0x0080FFFF;
    bool textChanged = false;
    std::string defaultPath;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void FillFontList();
    void ShowValues();
    void ReadControls();
    void OnTextColour();
    void OnBalloonColour();
    void OnCalendar();
    void OnSave();
    void OnLoad();
    void RepaintSwatches();

    CButtonST m_iconButtons[10];  // the nine balloon buttons and "place"
    bool m_writing = false;
};
