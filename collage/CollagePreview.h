// The composed result fitted into the window; boxes that show no photo are
// outlined and numbered, and a double-click on a box asks for its photo.
#pragma once

#include "collage/CollageTemplate.h"
#include "platform/afx/Afx.h"

namespace collage {

inline constexpr UINT kPreviewId = 16419;
// Choose a photo for box n: command kBoxCommand + n.
inline constexpr UINT kBoxCommand = 0xF900;

class CCollagePreview : public CWnd {
public:
    BOOL Create(const RECT& rect, CWnd* parent);

    // The template whose boxes are marked (held by the caller); empty marks
    // the boxes that show no photo.
    void SetTemplate(const CollageTemplate* tpl) { m_template = tpl; }
    void SetEmptyBoxes(unsigned mask) { m_empty = mask; }
    // The last finished composition; shown until the next one replaces it.
    CQLImage& Result() { return m_result; }
    void Refresh();

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    const CollageTemplate* m_template = nullptr;
    CQLImage m_result;
    unsigned m_empty = 0;
};

} // namespace collage
