// The pick-the-best dialog in both configurations: OK waits for the third
// correction, choosing "Original" changes nothing, a chosen correction is
// applied with the configuration's step, and grabs of the four views.
#include "ToneTestSupport.h"

#include "editor/adjust/AutoExposureDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

class AutoExposureDlgTest : public adjusttest::ToneDialogTest<CAutoExposureDlg> {
protected:
    static void OpenDull()
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, 180, 120, [](int x, int y) {
            return CPixel{static_cast<BYTE>(60 + x / 4), static_cast<BYTE>(70 + y / 3), static_cast<BYTE>(80 + (x + y) / 8), 255};
        });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    static void Finish(CAutoExposureDlg* dlg) { EXPECT_TRUE(PumpUntil([&] { return dlg->finished; })); }
    static void ClickView(CAutoExposureDlg* dlg, int i)
    {
        const UINT id = IDC_EXPOSURE_VIEW_FIRST + i;
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dlg->views[i].m_hWnd));
    }
    static std::string LastStep()
    {
        char actions[1024];
        return thePhotoDocument.m_history.GetActionText(sizeof actions, actions);
    }
};

}  // namespace

TEST_F(AutoExposureDlgTest, OkStaysDisabledUntilTheThirdCorrection)
{
    OpenDull();
    bool disabledAtOpening = false;
    int stepsSeen = 0;
    m_work = [&](CAutoExposureDlg* dlg) {
        disabledAtOpening = !dlg->GetDlgItem(IDOK)->IsWindowEnabled();
        // Every end of a step but the last leaves OK off.
        while (!dlg->finished) {
            EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
            qlafx::ProcessPendingEvents();
            ++stepsSeen;
        }
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(dlg->succeeded[i]) << i;
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    };
    EXPECT_EQ(RunAutoExposureDlg(nullptr), IDCANCEL);
    EXPECT_TRUE(disabledAtOpening);
    EXPECT_GT(stepsSeen, 0);
}

TEST_F(AutoExposureDlgTest, OriginalAndOkChangeNothing)
{
    struct Row {
        const char* name;
        std::vector<int> clicks;
    };
    const Row rows[] = {{"original only", {0}}, {"correction then original", {2, 0}}, {"nothing chosen", {}}};
    for (const Row& r : rows) {
        OpenDull();
        CQLImage before;
        before.DuplicateFrom(&thePhotoDocument.m_image);
        const std::string steps = LastStep();
        m_work = [&](CAutoExposureDlg* dlg) {
            Finish(dlg);
            for (int v : r.clicks)
                ClickView(dlg, v);
            dlg->SendMessage(WM_COMMAND, IDOK, 0);
            return qlafx::kModalRun;
        };
        EXPECT_EQ(RunAutoExposureDlg(nullptr), IDCANCEL) << r.name;
        EXPECT_TRUE(SamePixels(before, thePhotoDocument.m_image)) << r.name;
        EXPECT_EQ(LastStep(), steps) << r.name;
    }
}

TEST_F(AutoExposureDlgTest, OkAppliesTheChosenCorrectionWithTheConfigurationsStep)
{
    struct Row {
        int (*run)(CWnd*);
        int view;
        const char* step;
    };
    const Row rows[] = {{RunAutoExposureDlg, 3, "Adjust Exposure,"}, {RunVividColorDlg, 2, "Vivid color,"}};
    for (const Row& r : rows) {
        OpenDull();
        CQLImage expected;
        m_work = [&](CAutoExposureDlg* dlg) {
            Finish(dlg);
            ClickView(dlg, r.view);
            expected.DuplicateFrom(&dlg->corrections[r.view - 1]);
            dlg->SendMessage(WM_COMMAND, IDOK, 0);
            return qlafx::kModalRun;
        };
        EXPECT_EQ(r.run(nullptr), IDOK);
        EXPECT_TRUE(SamePixels(expected, thePhotoDocument.m_image));
        EXPECT_TRUE(LastStep().ends_with(r.step)) << LastStep();
    }
}

TEST_F(AutoExposureDlgTest, GrabsOfACorpusPhoto)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    const struct {
        int (*run)(CWnd*);
        const char* grab;
    } rows[] = {{RunAutoExposureDlg, "adjust-autoexposure"}, {RunVividColorDlg, "adjust-vividcolor"}};
    for (const auto& r : rows) {
        m_work = [&](CAutoExposureDlg* dlg) {
            Finish(dlg);
            EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
            ClickView(dlg, 1);
            qlafx::ProcessPendingEvents();
            EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), r.grab).empty());
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
            return qlafx::kModalRun;
        };
        r.run(nullptr);
    }
}
