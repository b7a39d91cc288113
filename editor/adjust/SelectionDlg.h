// "Select an Area": polygons drawn over the photo, added or subtracted, or
// tone, colour and edge selections, feathered into the program-wide mask.
#pragma once

#include "editor/adjust/SelectionMask.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <vector>

class CMainFrame;

inline constexpr UINT IDD_SELECTION = 341;
inline constexpr UINT IDR_SELECTION_RANGE_MENU = 359;
inline constexpr UINT IDC_SELECTION_FEATHER_LABEL = 1464;
inline constexpr UINT IDC_SELECTION_FEATHER = 1465;
inline constexpr UINT IDC_SELECTION_LINE = 1019;
inline constexpr UINT IDC_SELECTION_HINT = 1380;
inline constexpr UINT IDC_SELECTION_CLEAR = 1285;
inline constexpr UINT ID_SELECT_SHADOW = 32885;
inline constexpr UINT ID_SELECT_EDGE = 32894;

// Our pictures: the tool strip's icons and the cursors over the image.
inline constexpr UINT IDI_SELECTION_POLYGON = 3410;  // then add, subtract, clear, invert, range, show mask
inline constexpr UINT IDC_CURSOR_POLYGON = 3420;     // then add, subtract, close polygon

struct SelectionToolButton {
    RECT* rect;
    int state;  // 0 normal, 1 on, 2 hovered
    int id;
    int icon;
};

class CSelectionDlg : public CSkinDialog {
public:
    static constexpr int kToolCount = 7;
    static constexpr UINT_PTR kCursorTimer = 123;

    explicit CSelectionDlg(CWnd* parent);
    ~CSelectionDlg() override;

    CQLChannel* GetMask() { return mask; }

    // kind 0: the progress strip at percent (cleared at 0 and 100).
    virtual void OnProgress(int kind, int percent);
    virtual void ClearSelection();
    // The algorithm thread's done notice for a job this dialog started.
    virtual void OnAlgorithmDone(int tag);

    // Shift and Ctrl choose the mode while held.
    BOOL PreTranslateMessage(MSG* msg) override;
    // The mouse and the strip, also driven by the tests.
    void ClickTool(int id);
    void RunRangeCommand(UINT command);
    void AddPoint(POINT client);
    void ClosePolygon();
    void SetFeather(int value);
    void RenderPreview();

    CQLChannel* mask = nullptr;
    CQLChannel rawMask;
    CQLImage preview;
    std::vector<POINT> points;
    POINT rubberEnd{-1, -1};
    int mode = selection::kNewSelection;
    int keyMode = 0;
    int showMask = 0;
    int highlightSelected = 0;
    int ignoreNextUp = 0;
    int menuOpen = 0;
    int feather = 30;
    const char* profileKey = "SelectionDialog";
    SelectionToolButton tools[kToolCount]{};
    RECT toolRects[kToolCount]{};
    RECT stripRect{};
    RECT frameRect{};
    RECT imageRect{};
    RECT progressRect{};
    int progressPercent = 0;

protected:
    BOOL OnInitDialog() override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnClear();
    afx_msg void OnRangeCommand(UINT id);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Runs work off the interface thread with the wait cursor and the
    // progress strip; work gets the progress reporter.
    int RunWork(const std::function<int(const selection::Progress&)>& work);
    void Layout(int cx, int cy);
    void RefreshToolStates();
    void UpdateCursor();
    void DrawToolStrip(CDC* dc);
    void DrawProgress(CDC* dc);
    void DrawRubberBand(POINT to);
    void Refeather();
    int ToolAt(POINT p) const;
    bool NearFirstPoint(POINT p) const;
    void SetMode(int newMode, int byKey);

    // The photo scaled to the screen once, off the interface thread, so that
    // sizing the dialog never scales the full photo; none for a small photo.
    void MakeScreenCopy();
    CQLImage screenCopy;
    CQLImage scaled;  // the photo at the image rectangle's size, kept between tints
    int wasMaximized = -1;
};

// Runs "Select an Area" for the current photo; IDOK or IDCANCEL, the mask
// (possibly empty) in *mask on IDOK.
int RunSelectAreaDlg(CWnd* parent, const CQLChannel** mask);
