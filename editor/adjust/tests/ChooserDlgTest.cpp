// The choosers of the function bar's Color and Exposure buttons: each face
// opens its dialog, "More powelful tools..." hands its command to the main
// window, and grabs of the three faces.
#include "ToneTestSupport.h"

#include "editor/adjust/AdjustColorChooserDlg.h"
#include "editor/adjust/AdjustColorDlg.h"
#include "editor/adjust/AutoExposureDlg.h"
#include "editor/adjust/BrightnessContrastDlg.h"
#include "editor/adjust/ChannelMixerDlg.h"
#include "editor/adjust/ProfHistogramDlg.h"
#include "editor/adjust/SpotMeteringDlg.h"
#include "editor/adjust/VisualColorDlg.h"
#include "editor/adjust/WhiteBalanceDlg.h"
#include "editor/shell/FunctionBar.h"
#include "editor/shell/PhotoDocument.h"

#include <QMenu>
#include <QWidget>

#include <string>
#include <typeinfo>

namespace {

class ChooserDlgTest : public adjusttest::ToneDialogTest<CAdjustColorChooserDlg> {
protected:
    // The dialog the chooser opens is recorded and cancelled.
    int OtherDialog(CWnd* dialog) override
    {
        opened = typeid(*dialog).name();
        return IDCANCEL;
    }
    void SetUp() override
    {
        ToneDialogTest::SetUp();
        shelltest::MakeImage(&thePhotoDocument.m_image, 120, 80, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 90, 255};
        });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    std::string opened;
};

}  // namespace

TEST_F(ChooserDlgTest, EachFaceOpensItsDialog)
{
    struct Row {
        UINT button;
        int face;
        const char* dialog;
    };
    const Row rows[] = {
        {CFunctionBar::kColor, 0, typeid(CVisualColorDlg).name()},
        {CFunctionBar::kColor, 1, typeid(CWhiteBalanceDlg).name()},
        {CFunctionBar::kColor, 2, typeid(CAdjustColorDlg).name()},
        {CFunctionBar::kExposure, 0, typeid(CAutoExposureDlg).name()},
        {CFunctionBar::kExposure, 1, typeid(CSpotMeteringDlg).name()},
        {CFunctionBar::kExposure, 2, typeid(CProfHistogramDlg).name()},
    };
    for (const Row& r : rows) {
        opened.clear();
        bool isExposure = false;
        m_work = [&](CAdjustColorChooserDlg* dlg) {
            isExposure = dynamic_cast<CAdjustExposureDlg*>(dlg) != nullptr;
            const UINT id = IDC_CHOOSER_FIRST + r.face;
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dlg->GetDlgItem(id)->m_hWnd));
            return qlafx::kModalRun;
        };
        const FrameDialogRunner run = CFunctionBar::SetButtonRunner(r.button, nullptr);
        CFunctionBar::SetButtonRunner(r.button, run);
        ASSERT_NE(run, nullptr);
        EXPECT_EQ(run(m_frame), IDCANCEL);
        EXPECT_EQ(opened, r.dialog) << r.button << " face " << r.face;
        EXPECT_EQ(isExposure, r.button == CFunctionBar::kExposure);
    }
}

TEST_F(ChooserDlgTest, GrabsOfTheThreeFaces)
{
    const struct {
        UINT button;
        const char* grab;
    } rows[] = {{CFunctionBar::kColor, "adjust-colorchooser"}, {CFunctionBar::kExposure, "adjust-exposurechooser"}};
    for (const auto& r : rows) {
        m_work = [&](CAdjustColorChooserDlg* dlg) {
            for (CImgButton& b : dlg->buttons)
                EXPECT_TRUE(b.GetSafeHwnd() != nullptr);
            qlafx::ProcessPendingEvents();
            EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), r.grab).empty());
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
            return qlafx::kModalRun;
        };
        const FrameDialogRunner run = CFunctionBar::SetButtonRunner(r.button, nullptr);
        CFunctionBar::SetButtonRunner(r.button, run);
        EXPECT_EQ(run(m_frame), IDCANCEL);
    }
}

TEST_F(ChooserDlgTest, MoreToolsHandsTheMenuCommandToTheMainWindow)
{
    struct Row {
        UINT button;
        UINT command;
        const char* dialog;
    };
    const Row rows[] = {
        {CFunctionBar::kColor, 32899, typeid(CChannelMixerDlg).name()},
        {CFunctionBar::kExposure, 32812, typeid(CBrightnessContrastDlg).name()},
    };
    for (const Row& r : rows) {
        opened.clear();
        bool listed = false;
        qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) -> UINT {
            listed = ::GetMenuState(menu, r.command, MF_BYCOMMAND) != static_cast<UINT>(-1);
            return r.command;
        });
        m_work = [&](CAdjustColorChooserDlg* dlg) {
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHOOSER_MORE, BN_CLICKED),
                             reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_CHOOSER_MORE)->m_hWnd));
            return qlafx::kModalRun;
        };
        const FrameDialogRunner run = CFunctionBar::SetButtonRunner(r.button, nullptr);
        CFunctionBar::SetButtonRunner(r.button, run);
        EXPECT_EQ(run(m_frame), IDCANCEL);
        qlafx::SetPopupMenuHook({});
        EXPECT_TRUE(listed) << r.command;
        // The command runs once the chooser has gone.
        EXPECT_TRUE(opened.empty());
        EXPECT_TRUE(adjusttest::PumpUntil([&] { return !opened.empty(); }, 5000));
        EXPECT_EQ(opened, r.dialog);
    }
}
