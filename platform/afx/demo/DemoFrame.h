// The demo's main window: a frame with a menu bar, a flat tool bar and a
// view pane whose right-button menu shows owner-drawn colour swatches. Its
// menu opens the controls dialog and the property sheet.
#pragma once

#include "platform/afx/FrameWnd.h"
#include "platform/afx/ToolBar.h"
#include "platform/afx/demo/DemoDialog.h"

inline constexpr unsigned IDR_DEMO_FRAME = 300;
inline constexpr unsigned ID_DEMO_CONTROLS = 32800;
inline constexpr unsigned ID_DEMO_PROPERTIES = 32801;
inline constexpr unsigned ID_DEMO_GRID = 32802;
inline constexpr unsigned ID_DEMO_ABOUT = 32803;
inline constexpr unsigned ID_DEMO_COLOUR_FIRST = 32810;  // one per swatch
inline constexpr unsigned ID_APP_EXIT = 0xE141;

// The right-button menu: its colour items are owner-drawn swatches.
class CDemoSwatchMenu : public CMenu {
public:
    static constexpr COLORREF kColours[] = {RGB(40, 120, 200), RGB(200, 60, 40), RGB(40, 160, 80)};
    static constexpr const char* kNames[] = {"Blue", "Red", "Green"};

    BOOL Build();
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
};

// The frame's pane: the current colour, with a grid when it is on.
class CDemoView : public CWnd {
public:
    COLORREF m_colour = CDemoSwatchMenu::kColours[0];
    BOOL m_grid = TRUE;

    // Shows the swatch menu at a screen point and applies the choice.
    void ShowSwatchMenu(CPoint screen);

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    DECLARE_MESSAGE_MAP()
};

class CDemoFrame : public CFrameWnd {
public:
    CToolBar m_toolBar;
    CDemoView m_view;
    CDemoDialog m_controls;

    // The sheet's result when it last closed (IDOK, IDCANCEL), -1 before.
    int m_lastSheetResult = -1;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    void OnDestroy();
    void OnControls();
    void OnProperties();
    void OnGrid();
    void OnUpdateGrid(CCmdUI* pCmdUI);
    void OnAbout();
    void OnAppExit();
    DECLARE_MESSAGE_MAP()

private:
    HIMAGELIST m_images = nullptr;
};
