// The album's picture button: the editor's button with the album's face
// placement, mask blend, pressed face, texture tiled from the top-left,
// a Tahoma caption in its own colour and a tip window of its own.
#pragma once

#include "album/shell/HintWnd.h"
#include "editor/ui/ImgButton.h"

namespace shelf {

class CImgButton : public ::CImgButton {
    DECLARE_DYNAMIC(CImgButton)
public:
    static constexpr UINT kHandCursor = 138;

    // layout 1: caption right of the face; 0: below it. 1 on success.
    int Create(LPCSTR caption, const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, LPCSTR tipText, int layout);
    void SetTextColor(COLORREF color) { m_captionColor = color; }
    // The pressed face and the texture load with the codec's BMP reader.
    BOOL SetPressedFace(LPCSTR file) { return m_hotFace.LoadFromFile(file) == 0; }
    BOOL SetTexture(LPCSTR file) { return m_background.LoadFromFile(file) == 0; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void DrawFace(int fade, CDC* dc, RECT rect, BOOL useHot, BOOL pressed) override;
    void DrawCaption(CDC* dc, BOOL pressed) override;
    // Background colour, or the texture tiled from the top-left corner.
    void FillWorkImage();
    // Where the face's top-left lands in a button of this size.
    POINT FacePosition(int width, int height, BOOL pressed);

    int m_tipPosition = 0; // 0 below the button, 1 above it
    COLORREF m_captionColor = RGB(0, 0, 0);
    CHintWnd m_tip;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void HideOwnTip();
};

} // namespace shelf
