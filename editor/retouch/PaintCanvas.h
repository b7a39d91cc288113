// The paint window's canvas: shows the photo at a zoom of its own, scrolls
// it, turns mouse input into calls of the current paint tool and keeps the
// stroke-by-stroke undo store.
#pragma once

#include "editor/retouch/PaintUndoStore.h"
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"
#include "plugins/PluginInterface.h"

class CPaintToolPanel;
class CQLImage;

class CPaintCanvas : public CWnd {
    DECLARE_DYNAMIC(CPaintCanvas)
public:
    static constexpr UINT kHBarId = 100;
    static constexpr UINT kVBarId = 101;
    // The tool panel's zoom menu.
    static constexpr UINT kZoom25Cmd = 0x9000;
    static constexpr UINT kBestFitCmd = 0x9007;
    static constexpr UINT kLastZoomCmd = 0x9009;
    // ZoomStep's keys for View > Zoom In and Zoom Out.
    static constexpr UINT kZoomInKeys = static_cast<UINT>(-1);
    static constexpr UINT kZoomOutKeys = static_cast<UINT>(-2);

    CPaintCanvas();
    ~CPaintCanvas() override;

    void SetPanel(CPaintToolPanel* panel) { m_panel = panel; }
    CPaintToolPanel* GetPanel() const { return m_panel; }

    void SetImage(CQLImage* image, BOOL redraw);
    void InitUndoStore();
    void ClearUndo();
    // Leaving paint mode: all strokes become one history step "Painting".
    void CommitPaint();
    BOOL CanUndo() const { return m_undo.CanUndo(); }
    void Undo();
    void RecordStroke(int left, int top, int right, int bottom);
    void ZoomStep(int x, int y, UINT keys);
    int BestFit();
    int ActualSize();
    BOOL HasImage() const;
    POINT ViewToImage(int x, int y) const;
    POINT ImageToView(int x, int y) const;

    // Bars, view and clamping for the current client size, then the panel's
    // read-out.
    void RecalcLayout();
    // Draws the view straight into the window, then the tool's cursor.
    void DrawImageNow();

    const CPaintUndoStore& UndoStore() const { return m_undo; }
    CPaintUndoStore& UndoStore() { return m_undo; }
    CScrollBar m_hBar;
    CScrollBar m_vBar;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void Draw(CDC* dc);
    void DrawToolCursor(CDC* dc);
    void Redraw();
    void Scroll(int& offset, UINT code, UINT pos, int visible);
    int CurrentToolId(UINT flags) const;
    PaintToolRecord* PluginRecord(int id) const;
    void SetBar(CScrollBar& bar, bool needed, int x, int y, int w, int h, int range, int page, int pos);

    CPaintToolPanel* m_panel = nullptr;
    CPaintUndoStore m_undo;
    bool m_panning = false;
    POINT m_panStart{0, 0};
    POINT m_scrollStart{0, 0};
    bool m_stroking = false;
    RECT m_dirtyRect{0, 0, 0, 0};
    // A stroke that changed pixels but could not be recorded still belongs
    // in the history.
    bool m_unrecordedPaint = false;
    POINT m_mouse{-1, -1};
    UINT m_mouseKeys = 0;
    bool m_mouseInside = false;
};
