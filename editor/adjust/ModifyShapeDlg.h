// "Modify Shape": step 1 picks the range to reshape, step 2 paints
// displacements into a coarse grid with a soft brush; the warp renders the
// photo through the grid on the algorithm thread.
#pragma once

#include "algorithms/ModifyShapeAlgorithm.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

#include <vector>

class CMainFrame;

inline constexpr UINT IDD_MODIFY_SHAPE = 337;
inline constexpr UINT IDC_SHAPE_SEPARATOR = 1019;
inline constexpr UINT IDC_BRUSH_SIZE = 1194;
inline constexpr UINT IDC_SHAPE_RESET = 1285;
inline constexpr UINT IDC_SHAPE_NEXT = 1449;
inline constexpr UINT IDC_SHAPE_UNDO = 1452;
inline constexpr UINT IDC_SHOW_ORIGINAL = 1453;

namespace modifyshape {

// trunc(2.7188282^(-i^2 / (2 sigma^2)) * 256) for i < 2r, sigma = 0.4 r.
std::vector<int> FalloffTable(int radius);
int CellSize(int radius);

struct WarpGrid {
    std::vector<float> pairs;  // dx, dy per node, row by row
    int columns = 0, rows = 0, cellSize = 4;

    // Zeroed nodes for an image; false when there is no memory.
    bool Allocate(int imageWidth, int imageHeight, int cell);
    float* Node(int column, int row) { return &pairs[(static_cast<size_t>(row) * columns + column) * 2]; }
};

// Pushes the nodes within 2r of (x, y) against the step (dx, dy).
void Deposit(WarpGrid& grid, const std::vector<int>& falloff, int radius, int x, int y, double dx, double dy);

// Where the preview shows the photo in step 2.
struct PreviewMap {
    RECT active;   // the drawn picture less 1 pixel
    RECT visible;  // image pixels shown
    double scale;  // preview pixels per image pixel
};
// One deposit per preview pixel of the stroke from a to b; false when the
// points are equal.
bool Stroke(WarpGrid& grid, const std::vector<int>& falloff, int radius, POINT a, POINT b, const PreviewMap& map);

// The range in image pixels: the dragged rectangle (any corner order), or
// the middle half of the drawn picture when none was dragged or it is under
// 8 pixels on a side.
RECT RangeToImage(POINT from, POINT to, BOOL dragged, const RECT& drawn, int imageWidth, int imageHeight);
// Step 2's zoom onto the range for a preview of previewW x previewH.
void ZoomOnto(const RECT& range, int previewW, int previewH, int imageWidth, int imageHeight, double* scale,
              RECT* visible);

}  // namespace modifyshape

class CModifyShapeDlg : public CSkinDialog {
public:
    explicit CModifyShapeDlg(CWnd* parent);
    ~CModifyShapeDlg() override;

    CQLImage workImage;
    RECT rangeRect{-1, 0, 0, 0};
    RECT visibleRect{};
    double scale = 1.0;
    RECT activeRect{};
    modifyshape::WarpGrid grid, undoGrid;
    std::vector<int> falloff;
    int brushRadius = 1;
    int showOriginal = 0;

    BOOL InStepTwo() const { return rangeRect.left >= 0; }
    BOOL IsRendering() const { return m_jobRunning; }
    // Strokes from a to b in preview pixels, as a drag does.
    void ApplyStroke(POINT a, POINT b);
    void BeginDrag(POINT from, POINT to) { m_dragStart = from; m_dragEnd = to; m_rangeDragged = TRUE; }
    RECT GetPreviewRect() const { return m_previewRect; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnNext();
    afx_msg void OnReset();
    afx_msg void OnUndoRedo();
    afx_msg void OnShowOriginal();
    afx_msg LRESULT OnWorkerNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    void EnableForStep();
    void Render();
    void StartRender();
    void WaitForRender();
    void DrawBrush(CDC* dc, POINT centre);  // XOR: erases the previous outline first
    void EraseBrush(CDC* dc);
    void XorOutline(CDC* dc);  // the saved outline, clipped to the picture
    modifyshape::PreviewMap Map() const { return {activeRect, visibleRect, scale}; }

    ModifyShapeAlgorithm m_warp;
    CQLImage m_renderImage;  // the job's target, swapped in when done
    RECT m_previewRect{};
    RECT m_drawnRect{};
    POINT m_dragStart{}, m_dragEnd{}, m_lastPoint{};
    BOOL m_rangeDragged = FALSE;
    BOOL m_dragging = FALSE;
    BOOL m_jobRunning = FALSE;
    BOOL m_rerun = FALSE;
    int m_gridVersion = 0, m_jobVersion = 0, m_renderedVersion = 0;
    std::vector<POINT> m_brushOutline;  // as last drawn
};

int RunModifyShapeDlg(CWnd* parent);
int RunModifyShapeCommand(CMainFrame* frame);
