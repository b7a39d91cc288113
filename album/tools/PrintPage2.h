// The print wizard's page for one print size and number of copies for all
// photos, with a preview of how the size lies on the page.
#pragma once

#include "album/shell/SkinPropertyPage.h"
#include "editor/shell/ImagePrinter.h"

#include <string>
#include <vector>

namespace shelf {

class CPrintPage2 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 185;

    CPrintPage2() : CSkinPropertyPage(kTemplate) {}

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The chosen print size in inches.
    void SizeInches(float* width, float* height) const;
    // The job list: every photo with the copies of the chosen size.
    void FillJobs();

    std::vector<std::string> m_paths;
    float m_customWidth = 5.0f;
    float m_customHeight = 3.5f;
    UINT m_copies = 1;
    int m_sizeRow = 3;
    CImagePrinter* m_printer = nullptr;

protected:
    afx_msg void OnSizeChanged();
    afx_msg void OnEditChanged();
    afx_msg void OnCopiesSpin(NMHDR* header, LRESULT* result);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void EnableCustomEdits();
    void DrawPreview(CDC* dc);
};

} // namespace shelf
