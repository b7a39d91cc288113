// "Create Free Shape Frame Template": an image-based frame template made of
// two reference pictures (landscape and portrait) whose key colour marks the
// photo's window; it writes the template file itself.
#pragma once

#include "editor/retouch/FrameCategory.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/SkinDialog.h"

#include <cstdint>

inline constexpr UINT IDD_FREE_FRAME_TEMPLATE = 280;
inline constexpr UINT IDC_FREE_NAME = 1076;
inline constexpr UINT IDC_FREE_SIGNATURE = 1087;
inline constexpr UINT IDC_FREE_ADVANCE = 1332;
inline constexpr UINT IDC_FREE_LANDSCAPE = 1333;
inline constexpr UINT IDC_FREE_PORTRAIT = 1334;
inline constexpr UINT IDC_FREE_LANDSCAPE_BROWSE = 1335;
inline constexpr UINT IDC_FREE_PORTRAIT_BROWSE = 1336;
inline constexpr UINT IDC_FREE_KEY = 1337;
inline constexpr UINT IDC_FREE_SETUP = 1338;
inline constexpr UINT IDC_FREE_HELP = 1339;

class CFreeFrameTemplateDlg : public CSkinDialog {
public:
    static constexpr int kKeyCount = 3;
    static const CPixel kKeyColours[kKeyCount];

    CFreeFrameTemplateDlg(FrameCategory& category, CWnd* parent);

    BOOL OnInitDialog() override;

    // The share of pixels (whole percent) whose B, G and R are the key's.
    static int KeyShare(const CQLImage& picture, CPixel key);
    // Loads and checks one reference picture, asking and warning as it
    // goes; false when it cannot be used.
    bool CheckPicture(const char* path, bool portrait, CQLImage* picture);
    // Where OK writes the template.
    std::string TemplatePath() const;

    FrameTemplate m_template;
    CString m_name;
    CString m_landscapePath;
    CString m_portraitPath;
    int m_key = 0;
    int m_signature = 0;
    bool m_editMode = false;
    CButtonST m_landscapeButton;
    CButtonST m_portraitButton;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnAdvance();
    afx_msg void OnSignatureBox();
    afx_msg void OnSetup();
    afx_msg void OnHelp();
    afx_msg void OnBrowseLandscape();
    afx_msg void OnBrowsePortrait();
    DECLARE_MESSAGE_MAP()

private:
    void Browse(CString& path, UINT field);

    FrameCategory& m_category;
};
