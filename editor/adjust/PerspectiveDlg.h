// "Perspective Crop": four corner points placed over a distorted rectangle
// are mapped onto a whole new image, which becomes the photo.
#pragma once

#include "algorithms/PerspectiveAlgorithm.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

class CMainFrame;

inline constexpr UINT IDD_PERSPECTIVE = 308;
inline constexpr UINT IDC_PERSPECTIVE_PANEL = 1029;
inline constexpr UINT IDC_PERSPECTIVE_HINT = 1380;
inline constexpr UINT IDC_SHOW_SAMPLE = 1400;
inline constexpr UINT IDC_PERSPECTIVE_HELP = 1408;

namespace perspective {

enum Corner { kTopLeft = 0, kTopRight = 1, kBottomLeft = 2, kBottomRight = 3 };

// The corners 10 pixels inside a w x h picture.
void PlaceCorners(POINT corners[4], int w, int h);
// Left corners at least 10 pixels left of both right corners and top corners
// 10 above both bottom ones (the moved corner gives way: a left or top one
// is pulled back, a right or bottom one pushed out), then every coordinate
// held within 5 .. size - 5.
void ConstrainCorners(POINT corners[4], int moved, int w, int h);
// The first corner less than 4 pixels away in x and y, else -1.
int CornerAt(const POINT corners[4], POINT p);
// Corners relative to a shown w x h rectangle in pixels of an image.
PerspectiveParams ToImage(const POINT corners[4], int shownW, int shownH, int imageW, int imageH);
// The mapping leaves alpha 0, which a PNG would save as transparent.
void MakeOpaque(CQLImage* image);

}  // namespace perspective

class CPerspectiveDlg : public CSkinDialog {
public:
    explicit CPerspectiveDlg(CWnd* parent);

    CQLImage sampleImage;
    CQLImage perspectiveResult;
    CQLImage* shownImage = nullptr;
    RECT perspectiveImageRect{};
    POINT cropCorners[4] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
    int hotCorner = -1;
    BOOL cornerDragging = FALSE;
    int showSample = 0;

    BOOL CornersSet() const { return cropCorners[0].x >= 0; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnShowSample();
    DECLARE_MESSAGE_MAP()

private:
    void DrawCorners(CDC* dc);
    POINT ToCornerSpace(POINT client) const;
};

int RunPerspectiveDlg(CWnd* parent);
int RunPerspectiveCommand(CMainFrame* frame);
