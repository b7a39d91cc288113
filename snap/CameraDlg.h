// The camera dialog: the live picture of a PC camera, one frame taken on OK.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"
#include "platform/afx/Dialog.h"
#include "platform/capture/CaptureWindow.h"

namespace snap {

class CCameraDlg : public CDialog {
public:
    explicit CCameraDlg(CWnd* parent = nullptr);
    ~CCameraDlg() override;

    static LRESULT OnFrame(HWND capture, LPVIDEOHDR header);
    // Draws the frame fitted into the preview; takes it when grab is set.
    void ShowFrame(const BITMAPINFOHEADER* format, const BYTE* bits, std::size_t size);
    // The preview's inner rectangle, in client coordinates.
    RECT PreviewTarget();

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
};

// The dialog that receives frames (at most one).
CCameraDlg*& FrameReceiver();

} // namespace snap
