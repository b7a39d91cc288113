#include "album/tools/SetupPaperDlg.h"

#include "album/shell/tests/ShelfKitTestSupport.h"
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/QtBridge.h"

#include <QCoreApplication>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

class SetupPaper : public shelfkit::ShelfWindowTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        shelfkit::ShelfWindowTest::TearDown();
    }
    // Runs the dialog with what the person does in it; the DoModal result.
    int RunDialog(shelf::CSetupPaperDlg& dlg, std::function<void(CWnd*)> act)
    {
        qlafx::SetModalHook([&](CWnd* w, const char* caption, const char* text, UINT) {
            if (w != &dlg) {
                m_messages.push_back(text ? text : "");
                return IDOK;
            }
            EXPECT_STREQ(caption, "Setup Paper");
            act(w);
            return IDOK;
        });
        return static_cast<int>(dlg.DoModal());
    }
    static void Choose(CWnd* dialog, int combo, int row)
    {
        dialog->SendDlgItemMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(dialog->GetDlgItem(combo)->m_hWnd));
    }
    static double Shown(CWnd* dialog, int edit)
    {
        CString text;
        dialog->GetDlgItemText(edit, text);
        return std::atof(text.GetString());
    }
    std::vector<std::string> m_messages;
};

TEST_F(SetupPaper, UnitsAndPaperRows)
{
    shelf::CSetupPaperDlg dlg;
    std::string grabbed;
    const int result = RunDialog(dlg, [&](CWnd* w) {
        EXPECT_EQ(w->IsDlgButtonChecked(1135), 1u);
        EXPECT_NEAR(Shown(w, 1081), 11.7, 1e-9);
        Choose(w, 1133, 1); // cm
        EXPECT_NEAR(Shown(w, 1081), 29.718, 1e-6);
        EXPECT_NEAR(Shown(w, 1132), 21.082, 1e-6);
        QCoreApplication::processEvents();
        grabbed = shelfkit::SaveGrab(qlafx::WidgetOf(w->m_hWnd)->grab().toImage(), "setup_paper");
        Choose(w, 1133, 0); // and back
        EXPECT_NEAR(Shown(w, 1081), 11.7, 1e-6);
        EXPECT_NEAR(Shown(w, 1132), 8.3, 1e-6);

        const struct {
            int row;
            double width, height;
        } rows[] = {{11, 10, 8}, {12, 12, 10}, {5, 1.378, 0.98}};
        for (const auto& r : rows) {
            Choose(w, 1131, r.row);
            EXPECT_NEAR(Shown(w, 1081), r.width, 1e-6) << r.row;
            EXPECT_NEAR(Shown(w, 1132), r.height, 1e-6) << r.row;
            EXPECT_FALSE(w->GetDlgItem(1081)->IsWindowEnabled());
        }
        // A custom size typed in cm is kept in inches.
        Choose(w, 1131, 0);
        EXPECT_TRUE(w->GetDlgItem(1081)->IsWindowEnabled());
        Choose(w, 1133, 1);
        w->SetDlgItemText(1081, "25.4");
        w->SetDlgItemText(1132, "12.7");
        w->CheckRadioButton(1134, 1135, 1134);
        w->SendMessage(WM_COMMAND, MAKEWPARAM(1134, BN_CLICKED), reinterpret_cast<LPARAM>(w->GetDlgItem(1134)->m_hWnd));
        w->SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(grabbed.empty());
    EXPECT_NEAR(dlg.m_widthInches, 10, 1e-9);
    EXPECT_NEAR(dlg.m_heightInches, 5, 1e-9);
    double width = 0, height = 0;
    dlg.PageInches(&width, &height);
    EXPECT_NEAR(width, 10, 1e-9);
    EXPECT_NEAR(height, 5, 1e-9);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SetupPaper, PaperOfHalfAnInchIsRefused)
{
    shelf::CSetupPaperDlg dlg;
    const int result = RunDialog(dlg, [&](CWnd* w) {
        w->SetDlgItemText(1132, "0.5");
        w->SendMessage(WM_COMMAND, IDOK);
        EXPECT_EQ(m_messages.size(), 1u);
        w->SendMessage(WM_COMMAND, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(SetupPaperPage, PortraitTurnsThePaper)
{
    shelf::CSetupPaperDlg dlg;
    double width = 0, height = 0;
    dlg.PageInches(&width, &height);
    EXPECT_NEAR(width, 8.3, 1e-9);
    EXPECT_NEAR(height, 11.7, 1e-9);
}

} // namespace
