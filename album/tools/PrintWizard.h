// The album's print wizard: the four pages on the skinned sheet, over the
// selected photos and one printing context.
#pragma once

#include "album/tools/PrintPage1.h"
#include "album/tools/PrintPage2.h"
#include "album/tools/PrintPage3.h"
#include "album/tools/PrintSettingsPage.h"

#include <string>
#include <vector>

namespace shelf {

class CPrintWizard {
public:
    CPrintWizard(CImagePrinter* printer, const std::vector<std::string>& paths, CWnd* owner);
    // ID_WIZFINISH after a run, else IDCANCEL.
    int DoModal() { return m_sheet.DoModal(); }

    CQLSheet m_sheet;
    CPrintPage1 m_page1;
    CPrintPage2 m_page2;
    CPrintSettingsPage m_settings;
    CPrintPage3 m_page3;
};

} // namespace shelf
