// QuilloSnap's main window: "From Screen" with its menu of capture modes,
// "From PC Camera", and the result file the editor reads.
#pragma once

#include "imagecore/QLImage.h"
#include "snap/SnapButton.h"
#include "snap/SnapSkinDialog.h"

#include <string>

namespace snap {

inline constexpr UINT kScreenButton = 21248, kCameraButton = 21249;

class CSnapDlg : public CSnapSkinDialog {
public:
    explicit CSnapDlg(CWnd* parent = nullptr);
    ~CSnapDlg() override;

    void LoadMenuSkin();
    void PrepareResultFile();
    void OnScreenButton();
    void OnCameraButton();
    void StartCapture(int mode);
    // Writes image as the result through a temporary file; false (and the
    // message "cannotsave") when it cannot.
    bool SaveResult(const CQLImage& image);

    std::string m_programFolder;
    std::string m_resultPath;
    CQLImage m_menuSkin;
    CSnapButton m_screenButton;
    CSnapButton m_cameraButton;
    HICON m_icon = nullptr;

protected:
    // The overlay and the camera dialog run here; tests put fakes in.
    virtual int RunOverlay(int mode, CQLImage* result);
    virtual int RunCamera(CQLImage* result);

    BOOL OnInitDialog() override;
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnCaptureCommand(UINT id);
    DECLARE_MESSAGE_MAP()
};

// The capture mode of a menu command, -1 for none.
int CaptureModeOf(UINT command);

} // namespace snap
