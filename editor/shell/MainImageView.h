// The zoom view in the middle of the main view: the current photo, a grey
// gradient while none is open, a double click that opens one, and the
// context menu 139 on a right click.
#pragma once

#include "editor/ui/ZoomView.h"

class CBitmapMenu;

class CMainImageView : public MergedZoomView {
    DECLARE_DYNAMIC(CMainImageView)
public:
    static constexpr UINT kContextMenuId = 139;

    CMainImageView() = default;

    BOOL EraseBackground(CDC* dc) override;
    void Paint(CDC* dc, BOOL invalidateOnly, int reserved) override;
    void DoubleClick(UINT flags, CPoint point) override;
    void RightButtonDown(UINT flags, CPoint point) override;

    // The empty view's gradient over rect.
    static void PaintEmptyBackground(CDC* dc, const RECT& rect);
    // The -i mode's context menu: no Save, Open, Next or Prev. Photo.
    static void TrimForKitMode(CBitmapMenu* popup);

    // The frame's kit mode flag; NULL outside a frame.
    const int* m_kitMode = nullptr;
};
