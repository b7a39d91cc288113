// The main window: the result file, captures cancelled and repeated, the
// About entry and the look.
#include "SnapTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/Menu.h"
#include "snap/SnapButton.h"
#include "snap/SnapDlg.h"

#include <QMenu>
#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

using namespace snaptest;
namespace fs = std::filesystem;

namespace {

// The main window with the overlay and the camera replaced by scripted answers.
class ScriptedSnapDlg : public snap::CSnapDlg {
public:
    std::vector<int> overlayAnswers;  // IDOK or IDCANCEL, in turn
    std::vector<int> modes;
    std::vector<bool> hiddenDuringCapture;
    CQLImage picture;

protected:
    int RunOverlay(int mode, CQLImage* result) override
    {
        modes.push_back(mode);
        hiddenDuringCapture.push_back(!IsWindowVisible());
        const int answer = overlayAnswers.empty() ? IDCANCEL : overlayAnswers.front();
        if (!overlayAnswers.empty())
            overlayAnswers.erase(overlayAnswers.begin());
        if (answer == IDOK)
            result->DuplicateFrom(&picture);
        return answer;
    }
    int RunCamera(CQLImage* result) override
    {
        result->DuplicateFrom(&picture);
        return IDOK;
    }
};

class SnapDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpProgram();
        m_picture.Create(7, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                m_picture.PutPixel(x, y, CPixel{BYTE(x * 30), BYTE(y * 40), 200, 255});
    }
    CQLImage m_picture;
};

} // namespace

TEST_F(SnapDlgTest, ClosingAtOnceLeavesNoResultEvenWhenAnOldOneWasThere)
{
    TempDir tmp;
    fs::create_directories(fs::path(tmp.ResultPath()).parent_path());
    std::ofstream(tmp.ResultPath()) << "old capture";
    ASSERT_TRUE(fs::exists(tmp.ResultPath()));
    snap::CSnapDlg dlg;
    bool goneWhileOpen = false;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d == &dlg)
            goneWhileOpen = !fs::exists(tmp.ResultPath());
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(goneWhileOpen);
    EXPECT_FALSE(fs::exists(tmp.ResultPath()));
}

TEST_F(SnapDlgTest, CancelledCaptureShowsTheWindowAndTheNextOneSaves)
{
    TempDir tmp;
    ScriptedSnapDlg dlg;
    dlg.picture.DuplicateFrom(&m_picture);
    dlg.overlayAnswers = {IDCANCEL, IDOK};
    bool visibleAfterCancel = false, bothButtons = false;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d != &dlg)
            return IDOK;
        dlg.SendMessage(WM_COMMAND, 32773);  // Capture a Window, cancelled
        visibleAfterCancel = dlg.IsWindowVisible() != FALSE;
        bothButtons = dlg.GetDlgItem(snap::kScreenButton) && dlg.GetDlgItem(snap::kCameraButton);
        EXPECT_FALSE(fs::exists(tmp.ResultPath()));
        dlg.SendMessage(WM_COMMAND, 32774);  // Capture after 5 sec., confirmed
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(visibleAfterCancel);
    EXPECT_TRUE(bothButtons);
    EXPECT_EQ(dlg.modes, (std::vector<int>{1, 3}));
    EXPECT_EQ(dlg.hiddenDuringCapture, (std::vector<bool>{true, true}));
    CQLImage saved;
    ASSERT_EQ(saved.LoadFromFile(tmp.ResultPath().c_str()), 0);
    UINT w = 0, h = 0;
    saved.GetSize(&w, &h);
    EXPECT_EQ(w, 7u);
    EXPECT_EQ(h, 5u);
    EXPECT_TRUE(saved.GetPixel2(3, 4) == m_picture.GetPixel2(3, 4));
    EXPECT_FALSE(fs::exists(tmp.ResultPath() + ".part"));
}

TEST_F(SnapDlgTest, MenuCommandsRunTheirModes)
{
    const std::pair<UINT, int> table[] = {{32771, 0}, {32773, 1}, {32772, 2}, {32774, 3}, {32775, 4}, {32776, -1}};
    for (auto [command, mode] : table)
        EXPECT_EQ(snap::CaptureModeOf(command), mode) << command;
}

TEST_F(SnapDlgTest, AResultThatCannotBeWrittenIsReportedAndTheWindowStays)
{
    TempDir tmp;
    ScriptedSnapDlg dlg;
    dlg.overlayAnswers = {IDOK};  // an empty picture: nothing to write
    std::vector<std::string> boxes;
    bool stillOpen = false;
    HookGuard hook([&](CWnd* d, const char*, const char* text, UINT) {
        if (!d) {
            boxes.push_back(text);
            return IDOK;
        }
        dlg.SendMessage(WM_COMMAND, 32771);
        stillOpen = dlg.IsWindowVisible() != FALSE;
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Can not write file"}));
    EXPECT_FALSE(fs::exists(tmp.ResultPath()));
}

TEST_F(SnapDlgTest, CameraResultIsSavedAndEndsTheProgram)
{
    TempDir tmp;
    ScriptedSnapDlg dlg;
    dlg.picture.DuplicateFrom(&m_picture);
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d == &dlg)
            dlg.SendDlgItemMessage(snap::kCameraButton, BM_CLICK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(fs::exists(tmp.ResultPath()));
}

TEST_F(SnapDlgTest, SystemMenuAboutOpensTheAboutBox)
{
    snap::CSnapDlg dlg;
    std::vector<std::string> opened;
    HookGuard hook([&](CWnd* d, const char* caption, const char*, UINT) {
        if (d == &dlg) {
            dlg.SendMessage(WM_SYSCOMMAND, 16);
            return IDCANCEL;
        }
        opened.push_back(caption ? caption : "");
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(opened, (std::vector<std::string>{"About QuilloSnap"}));
}

TEST_F(SnapDlgTest, FaceEdgeIsRaisedUnderTheCursorAndSunkWhenPressed)
{
    EXPECT_EQ(snap::FaceEdgeStep(192, 192, 192), 64);
    EXPECT_EQ(snap::FaceEdgeStep(40, 40, 40), 128);
    EXPECT_EQ(snap::FaceEdgeStep(0, 0, 255), 128);  // blue weighs least... of the red byte
    EXPECT_EQ(snap::FaceEdgeStep(255, 0, 0), 64);
    CQLImage img;
    img.Create(6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            img.PutPixel(x, y, CPixel{100, 100, 100, 255});
    snap::DrawFaceEdge(img, 1, 1, 4, 3, 64);
    EXPECT_EQ(img.GetPixel2(2, 1).b, 164);  // top row lighter
    EXPECT_EQ(img.GetPixel2(1, 2).b, 164);  // left column lighter
    EXPECT_EQ(img.GetPixel2(2, 3).b, 36);   // bottom row darker
    EXPECT_EQ(img.GetPixel2(4, 2).b, 36);   // right column darker
    EXPECT_EQ(img.GetPixel2(2, 2).b, 100);  // inside untouched
    EXPECT_EQ(img.GetPixel2(0, 0).b, 100);  // outside untouched
}

TEST_F(SnapDlgTest, ButtonSkinIsTheMenuSelectionBarWhileTheWindowLives)
{
    bool skinned = false;
    UINT w = 0, h = 0;
    {
        snap::CSnapDlg dlg;
        HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
            if (d == &dlg && g_skinButtonImage) {
                skinned = true;
                g_skinButtonImage->GetSize(&w, &h);
            }
            return IDCANCEL;
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
    EXPECT_TRUE(skinned);
    EXPECT_GT(w, 0u);
    EXPECT_GE(h, 3u);
    EXPECT_EQ(g_skinButtonImage, nullptr);
}

TEST_F(SnapDlgTest, GrabOfTheMainWindowWithTheModeMenu)
{
    snap::CSnapDlg dlg;
    QImage grab, popup;
    size_t items = 0;
    HookGuard hook([&](CWnd* d, const char*, const char*, UINT) {
        if (d != &dlg)
            return IDOK;
        grab = WindowGrab(&dlg);
        qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) -> UINT {
            shown->adjustSize();
            if (shown->actions().size() > 1)
                shown->setActiveAction(shown->actions()[1]);  // the skinned selection bar
            popup = shown->grab().toImage();
            items = shown->actions().size();
            return 0;
        });
        dlg.SendDlgItemMessage(snap::kScreenButton, BM_CLICK);
        qlafx::SetPopupMenuHook({});
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_FALSE(grab.isNull());
    ASSERT_FALSE(popup.isNull());
    EXPECT_EQ(items, 5u);
    // The window with the menu where it opens: the screen button's bottom-right corner.
    QImage sheet(grab.width() + popup.width(), grab.height() + popup.height(), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter p(&sheet);
        p.drawImage(0, 0, grab);
        p.drawImage(150, 180, popup);
    }
    EXPECT_FALSE(SaveGrab(sheet, "snap_main").empty());
    EXPECT_EQ(grab.width(), 330 - (330 - grab.width()));  // client of a 330 x 220 window
}
