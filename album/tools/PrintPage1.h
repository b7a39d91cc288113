// The print wizard's first page: one size for all photos, or sizes set
// photo by photo.
#pragma once

#include "album/shell/SkinPropertyPage.h"

namespace shelf {

class CPrintPage1 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 184;

    CPrintPage1() : CSkinPropertyPage(kTemplate) {}

    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    void DoDataExchange(CDataExchange* pDX) override;

    int m_manual = 0; // 1: the settings page sets size and copies per photo
};

} // namespace shelf
