// View Photo: one photo of the open folder at a time, with stepping, the
// editor, wallpaper, deleting, full screen and the analysis views.
#pragma once

#include "album/shell/AnalysisRunner.h"
#include "album/shell/PhotoAnalysis.h"
#include "album/shell/PhotoPreloadCache.h"
#include "album/shell/SkinDialog.h"
#include "album/shell/ViewerPanel.h"
#include "platform/afx/Controls.h"
#include "platform/afx/GdiObjects.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace shelf {

class CViewPhotoDlg;
class CPhotoListView;

// The photo on the whole screen, flying in from its list cell and back.
class CFullWindowDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 218;
    static constexpr UINT kPanelId = 39321;

    explicit CFullWindowDlg(CViewPhotoDlg* owner);
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // Shows or hides the view; animated when full screen and animation are on.
    void Show(BOOL show);
    // The panel takes the dialog's current picture again.
    void Refresh();

    CViewerPanel m_panel;
    int m_screenWidth = 0, m_screenHeight = 0;
    // The window rectangles of the last animation (tests read them).
    std::vector<RECT> m_lastSteps;

protected:
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    void Animate(const std::vector<RECT>& steps, int longPauseAfter, int shortPause, int longPause, int growPause);
    BOOL ListCell(const std::string& path, BOOL first, RECT* cell) const;

    CViewPhotoDlg* m_owner;
};

class CViewPhotoDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 135;
    static constexpr UINT kEdit = 1007, kPrevious = 1040, kNext = 1041, kWallpaper = 1049, kDelete = 1034,
                          kFullScreen = 1140;
    static constexpr UINT_PTR kStripTimer = 124;
    static constexpr UINT WM_ANALYSIS_READY = WM_USER + 124;
    static constexpr RECT kStrip{70, 5, 270, 28};

    explicit CViewPhotoDlg(PhotoPreloadCache::Decoder decoder = {});
    ~CViewPhotoDlg() override;

    // Made hidden, owned by the desktop.
    BOOL CreateHidden();
    // The photo list's hand-over: paths in list order and the start index.
    void Open(std::vector<std::string> paths, int index);

    BOOL ShowPhotoAtIndex(int index);
    void ShowNext();
    void ShowPrevious();
    void OpenInEditor();
    void SetAsWallpaper();
    void DeletePhoto();
    void OnFullScreenCheck();
    void SetAnalysisMode(int mode);
    // The keys of the dialog and of the full-window view; TRUE when used.
    BOOL HandleKey(UINT key);
    // Waits for the analysis view asked for last and shows it (tests).
    void FinishAnalysisNow();
    // Paints the strip and, in mode 11, the information page now.
    void PaintStripAndPage();

    const CQLImage* ShownImage() const;
    std::shared_ptr<CQLImage> m_source;
    std::unique_ptr<CQLImage> m_work;
    std::vector<std::string> m_paths;
    int m_index = 0;
    int m_mode = PhotoAnalysis::kPhoto;
    PhotoAnalysis::Histograms m_histograms;
    BOOL m_fullScreenCheck = FALSE;
    BOOL m_stripDirty = FALSE;
    BOOL m_shownOnce = FALSE;
    int m_hoverMode = -1;
    CViewerPanel m_panel;
    CFullWindowDlg m_fullWindow;
    CButton m_editButton, m_previousButton, m_nextButton, m_wallpaperButton, m_deleteButton, m_fullScreenButton;
    CFont m_font;
    CBitmap m_bitmaps[5];
    HICON m_fullScreenIcon = nullptr;
    PhotoPreloadCache m_cache;
    PhotoPreloadCache::Decoder m_decode;
    // The list the full-window view flies from and to; may be null.
    CPhotoListView* m_pList = nullptr;
    // Where Refresh goes after a delete; the main window when null.
    CWnd* m_pRefreshTarget = nullptr;

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;
    void OnOK() override {}
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg LRESULT OnAnalysisReady(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void StartAnalysis();
    void EndAnalysisWait();
    void ApplyAnalysis(std::unique_ptr<AnalysisRunner::Result> result);
    void ShowCurrentPicture();
    void PaintStrip(CDC* dc);
    void PaintInformation(CDC* dc);
    void WriteModeName(CDC* dc, int mode);
    int StripModeAt(CPoint point) const;

    std::unique_ptr<AnalysisRunner> m_runner;
    std::uint64_t m_generation = 0;
    BOOL m_analysisWait = FALSE;
};

// Sets a photo as the desktop wallpaper with owner holding the wait cursor
// and the error message (the command bar's routine).
void SetPhotoAsWallpaper(const std::string& photo, CWnd* owner);

} // namespace shelf
