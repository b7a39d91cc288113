// "Settings of Logo Image": the logo element of a frame template: its
// picture, how it is laid over the photo, a mask, and its place and size in
// percent of the photo on a schematic that can be clicked.
#pragma once

#include "platform/afx/Dialog.h"
#include "platform/afx/GdiObjects.h"

inline constexpr UINT IDD_LOGO_SETTINGS = 195;
inline constexpr UINT IDC_LOGO_X_SPIN = 1120;
inline constexpr UINT IDC_LOGO_Y_SPIN = 1121;
inline constexpr UINT IDC_LOGO_SIZE = 1131;
inline constexpr UINT IDC_LOGO_SIZE_SPIN = 1132;
inline constexpr UINT IDC_LOGO_X = 1142;
inline constexpr UINT IDC_LOGO_Y = 1144;
inline constexpr UINT IDC_LOGO_PREVIEW = 1148;
inline constexpr UINT IDC_LOGO_FILE = 1149;
inline constexpr UINT IDC_LOGO_BROWSE = 1150;
inline constexpr UINT IDC_LOGO_MODE = 1151;
inline constexpr UINT IDC_LOGO_MASK = 1152;
inline constexpr UINT IDC_LOGO_MASK_BROWSE = 1153;

// The frame template editor fills the fields, runs DoModal and reads them
// back on IDOK.
class CLogoSettingsDlg : public CDialog {
public:
    explicit CLogoSettingsDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    // The photo rectangle of the schematic, in client pixels.
    RECT PhotoRect() const;

    CString logoFile;
    int overlayMode = 3;
    CString maskFile;
    int logoX = 1;
    int logoY = 1;
    UINT logoSize = 5;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnSpin(UINT id, NMHDR* nm, LRESULT* answer);
    afx_msg void OnBrowseLogo();
    afx_msg void OnBrowseMask();
    afx_msg void OnModeChange();
    DECLARE_MESSAGE_MAP()

private:
    void EnableMask();
    bool Browse(CString* path);

    CFont font;
};
