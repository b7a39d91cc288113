// The camera dialog: the live picture of a PC camera, one frame taken on OK.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"
#include "platform/afx/Dialog.h"
#include "platform/capture/CaptureWindow.h"

namespace snap {

class CCameraDlg;

// The preview frame 1002: a black frame showing the dialog's last frame
// (drawing into the dialog would sit under this child).
class CPreviewFrame : public CWnd {
public:
    CCameraDlg* m_owner = nullptr;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

class CCameraDlg : public CDialog {
    friend class CPreviewFrame;

public:
    explicit CCameraDlg(CWnd* parent = nullptr);
    ~CCameraDlg() override;

    static LRESULT OnFrame(HWND capture, LPVIDEOHDR header);
    // Draws the frame fitted into the preview; takes it when grab is set.
    void ShowFrame(const BITMAPINFOHEADER* format, const BYTE* bits, std::size_t size);
    // The preview's inner rectangle, in client coordinates.
    RECT PreviewTarget();

    // Draws frame fitted into the preview on dc, whose origin is at the
    // dialog client point origin.
    void DrawFrame(CDC* dc, const CQLImage& frame, POINT origin);

    HWND m_capture = nullptr;
    int m_grab = 0;
    CQLImage m_image;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSetup();
    afx_msg void OnFormatSetup();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void StopCamera();
    POINT PreviewOrigin();
    void DrawNow(const CQLImage& frame);

    CPreviewFrame m_preview;
    CQLImage m_shown;  // the frame on show
};

// The dialog that receives frames (at most one).
CCameraDlg*& FrameReceiver();

} // namespace snap
