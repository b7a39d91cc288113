// The skinned picture button: a face picture whose lower half is its mask,
// composed with the background and a bevel in a back buffer. Idle faces are
// half grey, disabled ones fully grey, the hovered one in colour.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Controls.h"
#include "platform/afx/GdiObjects.h"

class CImgButton : public CButton {
    DECLARE_DYNAMIC(CImgButton)
public:
    CImgButton();
    ~CImgButton() override;

    // layout 0: face centred at the top, caption below; 1: face at the
    // left, caption to its right. FALSE (no window) when the face cannot be
    // loaded or the buffer or font cannot be made.
    BOOL Create(LPCSTR caption, const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, LPCSTR tipText,
                int layout);
    BOOL LoadHotImage(LPCSTR file);
    // The codec's load result: non-zero on success.
    int LoadBackground(LPCSTR file);
    void SetBkColorRGB(int r, int g, int b);
    void SetBkColor(COLORREF color);
    void SetGrayEffect(BOOL on) { m_grayEffect = on; }
    BOOL IsMouseOver();
    // Every B, G, R byte of the buffer lighter: mild v * 0.8 + 51.2, else (v + 256) / 2.
    void LightenBuffer(BOOL mild);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    virtual void DrawCaption(CDC* dc, BOOL pressed);
    virtual void DrawBevel(BOOL raised);
    virtual void DrawFace(int greyPercent, CDC* dc, RECT rect, BOOL useHot, BOOL pressed);

    // The background tile, or the background colour, into the whole buffer.
    void FillBackBuffer();
    int FacePictureHeight() const;
    UINT FaceWidth() const;

    int m_layout = 0;
    int m_bevel = 0;
    int m_hover = 0;
    BYTE m_bkB = 192, m_bkG = 192, m_bkR = 192;
    CQLImage m_face;
    CQLImage m_backBuffer;
    CQLImage m_hotFace;
    CQLImage m_background;
    CFont m_font;
    int m_hasTip = 0;
    int m_grayEffect = 1;
    char m_tipText[256] = {};

    // Timer ticks spent hovering, shared by every button.
    static int s_hoverTicks;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    // The buffer to the window at 1:1, then the caption.
    void ShowBuffer(CDC* dc, BOOL pressed);
    void HideTip();
    // The face's picture rows, coloured from colours (the face or the hot
    // face) and moved greyPercent toward grey, over the buffer at (x0, y0)
    // through the face's mask.
    void BlendFace(const CQLImage& colours, int x0, int y0, int greyPercent, bool keepFaceAlpha);
};

// The zoom view's tool buttons: the face centred, in its own colours.
class CZoomToolButton : public CImgButton {
    DECLARE_DYNAMIC(CZoomToolButton)
public:
    void DrawFace(int greyPercent, CDC* dc, RECT rect, BOOL useHot, BOOL pressed) override;
};
