// "Setup Paper": the paper of a typeset run, from a list or typed in inches
// or centimetres, and its orientation.
#pragma once

#include "album/shell/SkinDialog.h"

namespace shelf {

class CSetupPaperDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 214;
    static constexpr int kPaperRows = 13;

    explicit CSetupPaperDlg(CWnd* parent = nullptr) : CSkinDialog(kTemplate, parent) {}

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    // The size of a paper row in inches, the longer side first; false for
    // row 0 (custom) and rows out of the list.
    static bool PaperSize(int row, double* width, double* height);
    // The page the run prints on: width x height in landscape, turned in portrait.
    void PageInches(double* width, double* height) const;

    int m_unit = 0; // 0 inch, 1 cm
    int m_paper = 0;
    double m_shownWidth = 11.7;
    double m_shownHeight = 8.3;
    double m_widthInches = 11.7;
    double m_heightInches = 8.3;
    int m_landscape = 0;

protected:
    afx_msg void OnPaperChanged();
    afx_msg void OnUnitChanged();
    afx_msg void OnLandscape();
    afx_msg void OnPortrait();
    DECLARE_MESSAGE_MAP()

private:
    void TakeInches();
    void EnableEdits();
};

} // namespace shelf
