// "Correct Distortion": the photo-fix wizard's chooser of the three steps
// that straighten a photo, barrel, perspective and a slight rotation.
#pragma once

#include "platform/afx/Afx.h"

class CMainFrame;

inline constexpr UINT IDD_CORRECT_DISTORTION = 311;
inline constexpr UINT IDC_DISTORTION_PERSPECTIVE = 1393;
inline constexpr UINT IDC_DISTORTION_BARREL = 1394;
inline constexpr UINT IDC_DISTORTION_ROTATE = 1395;

class CCorrectDistortionDlg : public CDialog {
public:
    explicit CCorrectDistortionDlg(CWnd* parent);

protected:
    afx_msg void OnBarrel();
    afx_msg void OnPerspective();
    afx_msg void OnRotate();
    DECLARE_MESSAGE_MAP()

private:
    // Redraws the main window after a step changed the photo.
    void StepDone(int result);
};

int RunCorrectDistortionDlg(CMainFrame* frame);
