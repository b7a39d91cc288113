// "Correct Distortion": the barrel step runs its dialog and returns to the
// chooser; a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/retouch/CorrectDistortionDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>

namespace {

class CorrectDistortionDlgTest : public adjusttest::AdjustDialogTest {};

TEST_F(CorrectDistortionDlgTest, BarrelStepReturnsToTheChooser)
{
    OpenPhoto(120, 80);
    int barrelRuns = 0;
    m_work = [&](CWnd* dialog) -> int {
        if (dynamic_cast<CBarrelDistortDlg*>(dialog)) {
            ++barrelRuns;
            dialog->SendMessage(WM_COMMAND, IDOK, 0);  // slider at 0: applied at once
            return qlafx::kModalRun;
        }
        auto* chooser = dynamic_cast<CCorrectDistortionDlg*>(dialog);
        if (!chooser)
            return IDCANCEL;
        chooser->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DISTORTION_BARREL, BN_CLICKED), 0);
        EXPECT_TRUE(::IsWindow(chooser->m_hWnd));
        return IDCANCEL;
    };
    EXPECT_EQ(RunCorrectDistortionDlg(m_frame), IDCANCEL);
    EXPECT_EQ(barrelRuns, 1);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
}

TEST_F(CorrectDistortionDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    m_work = [&](CWnd* dialog) {
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dialog->GetWidget()->grab().toImage(), "correct-distortion");
        return IDCANCEL;
    };
    RunCorrectDistortionDlg(m_frame);
    EXPECT_FALSE(grab.empty());
}

}  // namespace
