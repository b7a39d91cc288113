// The pages' image window: a picture of its own at 1:1 (mode 0), a 16-bit
// image with zoom, panning and wheel zoom about the pointer (mode 1), or an
// 8-bit image fitted to the window (mode 2).
#pragma once

#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"
#include "platform/afx/Wnd.h"

#include <vector>

namespace develop {

class DevelopPreviewView : public CWnd {
public:
    static constexpr double kLadder[11] = {0.1, 0.2, 0.3333, 0.5, 0.6666, 1, 2, 3, 4, 6, 8};

    BOOL Create(UINT id, const RECT& rect, CWnd* parent);

    BOOL LoadPicture(const char* path);
    void SetImage16(const C16BitBitmap* image);
    void SetImage8(const CQLImage* image);
    // (x, y): an image point to centre on, (0, 0) for none.
    void ZoomIn(int x, int y);
    void ZoomOut(int x, int y);
    void ActualSize();
    void FitToWindow();
    // While a run writes the shown image the view keeps its last rendering.
    void Freeze(bool frozen) { m_frozen = frozen; }

    // The ladder's next value up or down from zoom.
    static double NextZoomUp(double zoom);
    static double NextZoomDown(double zoom);

    int Mode() const { return m_mode; }
    const C16BitBitmap* Image16() const { return m_image16; }
    const CQLImage* Image8() const { return m_image8; }
    double Zoom() const { return m_zoom; }
    CPoint Offset() const { return {m_offsetX, m_offsetY}; }
    CRect ImageRect() const { return m_imageRect; }
    // Image coordinates shown now.
    CRect VisibleRegion() const;
    // Whether the shown image is larger than what is visible.
    bool CanPan() const;
    // The display buffer: 8-bit pixels of the visible region.
    const CQLImage& DisplayBuffer() const { return m_display; }
    // Pixels converted by the last rendering.
    long long ConvertedPixels() const { return m_converted; }
    // The picture as painted now, for tests and the benchmark.
    void PaintInto(CDC* dc);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    CSize ClientSize() const;
    int ImageWidth() const;
    int ImageHeight() const;
    void ClampOffsets();
    void ComputeImageRect();
    void Render();
    void ZoomTo(double zoom, int x, int y);
    void Redraw();

    int m_mode = 0;
    CQLImage m_picture;   // mode 0: the own picture
    CQLImage m_display;   // mode 1: the visible region at 8 bits
    CQLImage m_scaled;    // the display buffer resampled for the screen
    const C16BitBitmap* m_image16 = nullptr;
    const CQLImage* m_image8 = nullptr;
    double m_zoom = 0.5;
    int m_offsetX = 0;
    int m_offsetY = 0;
    CRect m_imageRect;
    bool m_dragging = false;
    bool m_frozen = false;
    CPoint m_last;
    long long m_converted = 0;
    std::vector<char> m_columns, m_rows; // which the resampler reads
};

} // namespace develop
