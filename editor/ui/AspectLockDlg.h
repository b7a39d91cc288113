// "Lock/Unlock": locks the zoom view's selection to a width : height ratio
// chosen from print sizes and common ratios, or typed in.
#pragma once

#include "platform/afx/Afx.h"

inline constexpr UINT IDD_ASPECT_LOCK = 168;
inline constexpr UINT IDC_LOCK_PROPORTION = 1047;
inline constexpr UINT IDC_RATIO_CHOICE = 1048;
inline constexpr UINT IDC_RATIO_PREVIEW = 1049;
inline constexpr UINT IDC_CUSTOM_WIDTH = 1131;
inline constexpr UINT IDC_CUSTOM_HEIGHT = 1204;

class CAspectLockDlg : public CDialog {
public:
    static constexpr int kChoiceCount = 22;
    static constexpr int kChoiceCurrent = 0;
    static constexpr int kChoiceCustom = 1;
    static const char* const kChoiceNames[kChoiceCount];

    explicit CAspectLockDlg(CWnd* parent);

    // The ratio of a fixed choice (2 and up).
    static float ChoiceRatio(int choice);
    // The preview's ratio rectangle inside area (deflated by 10, centred).
    static RECT PreviewRect(RECT area, float ratio);

    int m_lockRatio = 0;
    int m_ratioChoice = 0;
    double m_customWidth = 1.0;
    double m_customHeight = 1.0;
    float m_currentRatio = 1.0f;
    float m_lockedRatio = 1.0f;
    BOOL m_previewDirty = TRUE;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    int CurrentChoice() const;  // the combo's selection
    void UpdateEnabling();
    void DrawPreview();

    afx_msg void OnLockChanged();
    afx_msg void OnChoiceChanged();
    afx_msg void OnCustomChanged();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
