// "Template Editing": one drawn frame template, shown applied to the photo
// while its settings change.
#pragma once

#include "editor/retouch/FramePreviewRenderer.h"
#include "editor/ui/FilterDlg.h"

#include <string>

inline constexpr UINT IDD_TEMPLATE_EDIT = 183;
inline constexpr UINT IDC_TEMPLATE_NAME = 1076;
inline constexpr UINT IDC_TEMPLATE_INFO = 1077;
inline constexpr UINT IDC_CANVAS_COLOUR = 1078;
inline constexpr UINT IDC_CANVAS_SIZE = 1079;
inline constexpr UINT IDC_CANVAS_SIZE_TEXT = 1080;
inline constexpr UINT IDC_BORDER_ENABLE = 1081;
inline constexpr UINT IDC_BORDER_COLOUR = 1082;
inline constexpr UINT IDC_BORDER_TYPE = 1083;
inline constexpr UINT IDC_BORDER_SIZE = 1084;
inline constexpr UINT IDC_BORDER_SIZE_TEXT = 1085;
inline constexpr UINT IDC_BORDER_ADVANCE = 1086;
inline constexpr UINT IDC_SIGNATURE_ENABLE = 1087;
inline constexpr UINT IDC_LOGO_ENABLE = 1088;
inline constexpr UINT IDC_SIGNATURE_ADVANCE = 1089;
inline constexpr UINT IDC_LOGO_ADVANCE = 1090;
inline constexpr UINT IDC_RECTANGLES_ADVANCE = 1091;
inline constexpr UINT IDC_CANVAS_SWATCH = 1105;
inline constexpr UINT IDC_BORDER_SWATCH = 1106;

class CTemplateEditDlg : public CFilterDlg {
public:
    static constexpr UINT_PTR kSwatchTimer = 123;

    explicit CTemplateEditDlg(CWnd* parent);
    ~CTemplateEditDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    POINT GetResultOffset() override;
    void OnAlgorithmDone(int tag, int result) override;

    // The mirrors into the template.
    void ReadControls();
    void ApplyEnableRules();
    void ShowSizeTexts();

    FrameTemplate m_template;
    CString m_name;
    int m_borderEnabled = 0;
    int m_borderType = 0;
    int m_signatureEnabled = 0;
    int m_logoEnabled = 0;
    BOOL m_swatchesDirty = TRUE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg void OnInfo();
    afx_msg void OnCanvasColour();
    afx_msg void OnCanvasSize();
    afx_msg void OnBorderColour();
    afx_msg void OnBorderSize();
    afx_msg void OnBorderAdvance();
    afx_msg void OnRectangles();
    afx_msg void OnSignature();
    afx_msg void OnLogo();
    afx_msg void OnToggle();
    afx_msg void OnNameChange();
    DECLARE_MESSAGE_MAP()

private:
    void Changed();

    FramePreviewRenderer renderer;
    FrameTemplate jobTemplate;
    char userName[64] = {};
    bool ready = false;
};
