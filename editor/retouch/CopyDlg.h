// "Copy": the user drags the rectangle of the photo that Edit > Copy puts on
// the clipboard; a click without a drag keeps the whole photo.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

class CMainFrame;

inline constexpr UINT IDD_COPY = 400;
inline constexpr UINT IDC_COPY_PICTURE = 1029;

namespace copyrect {

// The drag from a to b (picture coordinates) as image pixels, normalised
// and clamped to the image; the whole image when narrower or lower than 2.
RECT SelectionFromDrag(POINT a, POINT b, RECT picture, SIZE image);
// Blue, green and red divided by 3 outside the selection (in the image's own
// pixels); alpha kept.
void DimOutside(CQLImage* image, RECT selection);

}  // namespace copyrect

class CCopyDlg : public CDialog {
public:
    CCopyDlg(const CQLImage& image, CWnd* parent);

    // Image pixels; the whole image until a drag chooses less.
    RECT m_selection{};

    // The fitted picture inside static 1029, in dialog coordinates.
    RECT PictureRect() const;

protected:
    BOOL OnInitDialog() override;

    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void Track(CPoint point);
    // The shown copy dimmed again around the selection.
    void Dim();
    RECT WholeImage() const;

    const CQLImage& m_image;
    // The photo at the picture's size: dimming stays cheap on large photos.
    CQLImage m_shown;
    CQLImage m_dimmed;
    CPoint m_dragStart;
    BOOL m_dragging = FALSE;
    BOOL m_drawRect = FALSE;
    RECT m_drawn{};  // picture coordinates of the XOR rectangle
};

// Runs the dialog on the open photo and copies the chosen rectangle to the
// clipboard; IDOK when it was copied.
int RunCopyDlg(CMainFrame* frame);
