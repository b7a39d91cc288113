// The client pane of the editor's main window: the photo in the middle and a
// 200-pixel column at the right with the "Navigation" and "Histograms" pages
// above and the "History" page below. Handles the View menu's panel switches
// and the zoom commands; every other command goes on to the parent.
#pragma once

#include "editor/retouch/NavigatorWnd.h"
#include "editor/shell/FunctionBar.h"
#include "editor/shell/HistogramPanel.h"
#include "editor/shell/HistoryBar.h"
#include "editor/shell/MainImageView.h"
#include "editor/shell/ViewContainer.h"
#include "editor/ui/TabStrip.h"
#include "platform/afx/Afx.h"

class CMainView : public CWnd {
    DECLARE_DYNAMIC(CMainView)
public:
    static constexpr int kRightColumn = 200;
    static constexpr int kTopStripHeight = 150;
    static constexpr UINT kImageViewId = 0xFF1103;
    static constexpr UINT kTopStripId = 0xFF1104;
    static constexpr UINT kBottomStripId = 0xFF1105;

    // View menu and zoom commands.
    static constexpr UINT kFunctionBarCmd = 32771;
    static constexpr UINT kNavigationBarCmd = 32772;
    static constexpr UINT kHistoryBarCmd = 32773;
    static constexpr UINT kZoomInCmd = 32776;
    static constexpr UINT kZoomOutCmd = 32777;
    static constexpr UINT kBestFitCmd = 32778;
    static constexpr UINT kActualSizeCmd = 32779;
    static constexpr UINT kHighQualityCmd = 32780;
    static constexpr UINT kPaintModeCmd = 32850;

    CMainView() = default;
    ~CMainView() override;

    // Puts the pages into the tab strips, then creates the pane.
    BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                CCreateContext* context = nullptr) override;

    // The frame calls this after every change of the current photo.
    void RefreshFunctionBar();
    // Places the panes for a client area of w x h.
    void Layout(int w, int h);

    int m_funcBarShown = 1;
    int m_historyShown = 1;
    int m_navShown = 1;
    int m_paintMode = 0;  // saved at close, never read back
    CMainImageView m_imageView;
    CFunctionBar m_funcBar;
    CHistoryBar m_historyBar;
    CHistogramPanel m_histogramPanel;
    CNavigatorWnd m_navigator;  // follows m_imageView
    CViewContainer m_paintContainer;
    CTabStrip m_tabsTop;
    CTabStrip m_tabsBottom;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnFunctionBar();
    afx_msg void OnNavigationBar();
    afx_msg void OnHistoryBar();
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnBestFit();
    afx_msg void OnActualSize();
    afx_msg void OnHighQuality();
    afx_msg void OnPaintMode();
    afx_msg void OnUpdateFunctionBar(CCmdUI* ui);
    afx_msg void OnUpdateNavigationBar(CCmdUI* ui);
    afx_msg void OnUpdateHistoryBar(CCmdUI* ui);
    afx_msg void OnUpdatePaintMode(CCmdUI* ui);
    DECLARE_MESSAGE_MAP()

private:
    void Relayout();
    void EnterPaintMode();
    void LeavePaintMode();
};
