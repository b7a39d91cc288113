// "Transform": rotates, flips and crops a work copy of the open photo; OK
// makes the copy the photo with one undo step, Cancel leaves it untouched.
#pragma once

#include "editor/ui/ButtonST.h"
#include "editor/ui/SkinDialog.h"
#include "editor/ui/ZoomView.h"
#include "imagecore/QLImage.h"

#include <string>

class CMainFrame;

inline constexpr UINT IDD_TRANSFORM = 158;
inline constexpr UINT IDC_ROTATE_RIGHT = 1039;
inline constexpr UINT IDC_ROTATE_LEFT = 1040;
inline constexpr UINT IDC_MIRROR = 1041;
inline constexpr UINT IDC_FLIP = 1042;
inline constexpr UINT IDC_CROP_TOOL = 1043;
inline constexpr UINT IDC_CROP_VIEW = 1044;
inline constexpr UINT IDC_TRANSFORM_VLINE = 1045;
inline constexpr UINT IDC_TRANSFORM_HLINE = 1046;
inline constexpr UINT IDC_TRANSFORM_STATUS = 1347;
inline constexpr UINT IDC_TRANSFORM_SIZE = 1405;
inline constexpr UINT IDC_TRANSFORM_MORE = 1406;
inline constexpr UINT IDC_LOCK_RATIO = 1549;

namespace transform {

// A band drawn over the preview (screen pixels, any corner order) in image
// pixels: scaled by image size / drawn size, clamped to 0 .. size.
RECT BandToImage(POINT from, POINT to, const RECT& drawn, int imageWidth, int imageHeight);
// The status line for a selection.
std::string StatusText(const RECT& selection);
// The pixels inside r (right and bottom exclusive); false, image unchanged,
// when r is empty or outside the image.
bool CropImage(CQLImage* image, const RECT& r);

}  // namespace transform

// The view whose lock flag the lock button shows.
class CTransformCropView : public ZoomView {
public:
    BOOL IsAspectLocked() const { return m_aspectLock; }
};

class CTransformDlg : public CSkinDialog {
public:
    static constexpr UINT_PTR kStatusTimer = 123;

    CTransformDlg(CWnd* parent, HMENU moreMenu);

    CQLImage transformWorkImage;
    CTransformCropView cropView;
    int cropMode = 0;
    int transformChanged = 0;
    int transformMaximized = 0;
    HMENU moreMenu = nullptr;

    // The preview's image rectangle as last drawn (client pixels).
    RECT GetDrawnRect() const { return m_drawnRect; }
    // Crop with or without the question (OK and the crop tool ask).
    void ApplyCrop(BOOL ask);
    void OnStatusTimer();
    // Takes every key: Esc leaves crop mode, the rest go to the view.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnRotateRight();
    afx_msg void OnRotateLeft();
    afx_msg void OnMirror();
    afx_msg void OnFlip();
    afx_msg void OnCropTool();
    afx_msg void OnImageSize();
    afx_msg void OnLockRatio();
    afx_msg void OnMore();
    afx_msg LRESULT OnViewNotify(WPARAM code, LPARAM data);
    DECLARE_MESSAGE_MAP()

private:
    void Layout(int W, int H);
    void RunRotateFlip(DWORD mode);
    void EnterCropMode(const RECT& selection);
    void LeaveCropMode();
    void ShowCropView(BOOL show);
    void DrawPreview(CDC* dc);
    void DrawBanner(CDC* dc);
    void DrawBand(CDC* dc);  // XOR: twice erases
    void SetLockLabel();
    void WriteMaximized();
    BOOL WholeImageSelected(const RECT& selection) const;

    CButtonST m_iconButtons[6];
    RECT m_previewArea{};
    RECT m_drawnRect{};
    POINT m_bandStart{}, m_bandEnd{};
    BOOL m_dragging = FALSE;
    RECT m_shownSelection{};
    BOOL m_hadSelection = FALSE;
};

// Runs the dialog on the open photo; moreMenu may be NULL (then "More >" is
// hidden). IDOK when the photo was replaced.
int RunTransformDlg(CWnd* parent, HMENU moreMenu);
int RunTransformCommand(CMainFrame* frame);
