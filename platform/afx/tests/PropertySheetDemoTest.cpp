// The demo's property sheet: page data comes back on OK, and the colour
// page's button runs the colour dialog and marks the sheet changed.
#include "platform/afx/Afx.h"
#include "platform/afx/demo/DemoSheet.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoSheet, OkTakesEveryPagesValues)
{
    CDemoSheet sheet;
    bool applyEnabledBefore = true, applyEnabledAfter = false;
    qlafx::SetModalHook([&](CWnd* w, const char*, const char*, UINT) {
        if (auto* colour = dynamic_cast<CColorDialog*>(w)) {
            qlafx::AnswerColorDialog(*colour, RGB(1, 2, 3));
            return IDOK;
        }
        sheet.m_photo.SetDlgItemText(IDC_DEMO_TITLE, "Harbour at dusk");
        sheet.m_photo.CheckDlgButton(IDC_DEMO_GRID, BST_UNCHECKED);
        applyEnabledBefore = ::IsWindowEnabled(::GetDlgItem(sheet, ID_APPLY_NOW)) != FALSE;
        sheet.SetActivePage(&sheet.m_colour);
        ::SendMessage(::GetDlgItem(sheet.m_colour, IDC_DEMO_CHOOSE), BM_CLICK, 0, 0);
        applyEnabledAfter = ::IsWindowEnabled(::GetDlgItem(sheet, ID_APPLY_NOW)) != FALSE;
        CString swatch;
        sheet.m_colour.GetDlgItemText(IDC_DEMO_SWATCH, swatch);
        EXPECT_EQ(swatch, "RGB(1, 2, 3)");
        ::SendMessage(::GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
        return qlafx::kModalRun;
    });
    const int result = sheet.DoModal();
    qlafx::SetModalHook({});
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(applyEnabledBefore);
    EXPECT_TRUE(applyEnabledAfter);
    EXPECT_EQ(sheet.m_photo.m_title, "Harbour at dusk");
    EXPECT_EQ(sheet.m_photo.m_grid, 0);
    EXPECT_EQ(sheet.m_colour.m_colour, RGB(1, 2, 3));
}

}  // namespace
