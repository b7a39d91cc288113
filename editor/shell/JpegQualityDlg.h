// "Set JPEG File Quality": asks for the quality of a JPEG about to be saved,
// test-encodes the photo at it and shows the re-loaded result and the sizes.
#pragma once

#include "editor/shell/JpegTestEncoder.h"
#include "editor/ui/SkinDialog.h"
#include "editor/ui/ZoomView.h"
#include "imagecore/QLImage.h"

#include <string>

inline constexpr UINT IDD_JPEG_QUALITY = 150;
inline constexpr UINT IDC_QUALITY_SLIDER = 1009;
inline constexpr UINT IDC_QUALITY_LOW = 1014;
inline constexpr UINT IDC_QUALITY_MIDDLE = 1015;
inline constexpr UINT IDC_QUALITY_HIGH = 1016;
inline constexpr UINT IDC_QUALITY_PREVIEW = 1018;
inline constexpr UINT IDC_QUALITY_SEPARATOR = 1019;
inline constexpr UINT IDC_QUALITY_SIZES = 1020;
inline constexpr UINT IDC_QUALITY_HQ_COLOR = 1391;
inline constexpr UINT IDC_QUALITY_EXPORT_STEPS = 1409;
inline constexpr UINT IDC_QUALITY_BY_SIZE = 1422;

class CJpegQualityDlg : public CSkinDialog {
public:
    explicit CJpegQualityDlg(CWnd* parent);
    ~CJpegQualityDlg() override;

    int m_quality = 85;
    int m_highQuality = 0;
    int m_exportSteps = 1;
    int m_preview = 1;

    std::string m_testPath;  // the temporary folder's "Preview0.jpg"
    CQLImage m_previewImage;
    ZoomView m_view;
    CRect m_wideRect, m_narrowRect;
    DWORD m_testSize = 0;  // the last test file plus the EXIF block
    BOOL m_fitted = FALSE;

    // The size text for a photo file and a test file of these byte counts.
    static CString SizeText(double fileBytes, double testBytes);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void Renew();
    void ShowWide(BOOL wide);
    void ShowSizeText();

    afx_msg void OnPreset(UINT id);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnHighQualityColor();
    afx_msg void OnPreviewCheck();
    afx_msg void OnQualityBySize();
    afx_msg LRESULT OnTestDone(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    CJpegTestEncoder m_encoder;
};
