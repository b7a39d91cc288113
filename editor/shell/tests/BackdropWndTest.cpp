#include "ShellWindowsTestSupport.h"

#include "editor/shell/BackdropWnd.h"
#include "editor/shell/EditorApp.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/Simd.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"

#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

using shelltest::MakeImage;

namespace {

std::string Corners(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

BYTE B(const CQLImage& image, int x, int y)
{
    return image.GetPixel2(x, y).b;
}

TEST(BackdropBlur, FiveByFiveKeepsTheBorderAndWeighsTheNeighbours)
{
    // 160 everywhere but a dark centre; alpha marks each pixel.
    CQLImage src, dst;
    MakeImage(&src, 5, 5, [](int x, int y) {
        const BYTE v = x == 2 && y == 2 ? 0 : 160;
        return CPixel{v, static_cast<BYTE>(v / 2), 16, static_cast<BYTE>(10 * y + x)};
    });
    CBackdropWnd::Blur(src, dst);
    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    ASSERT_EQ(w, 5u);
    ASSERT_EQ(h, 5u);
    const BYTE expected[5][5] = {
        {160, 160, 160, 160, 160},
        {160, 130, 120, 130, 160},  // diagonal: (2 x 800 + 480) / 16; direct: (2 x 640 + 640) / 16
        {160, 120, 120, 120, 160},  // centre: (2 x 640 + 640) / 16
        {160, 130, 120, 130, 160},
        {160, 160, 160, 160, 160},
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(B(dst, x, y), expected[y][x]);
            EXPECT_EQ(dst.GetPixel2(x, y).g, expected[y][x] / 2);
            const bool border = x == 0 || y == 0 || x == 4 || y == 4;
            EXPECT_EQ(dst.GetPixel2(x, y).r, border ? 16 : 14) << "a flat area darkens to 14/16";
            EXPECT_EQ(dst.GetPixel2(x, y).a, 10 * y + x) << "alpha is kept";
        }
}

TEST(BackdropBlur, TinyImagesAreCopied)
{
    for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 7}, std::pair{9, 2}}) {
        CQLImage src, dst;
        MakeImage(&src, w, h, [](int x, int y) { return CPixel{static_cast<BYTE>(x * 20 + y), 7, 9, 255}; });
        CBackdropWnd::Blur(src, dst);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(B(dst, x, y), B(src, x, y)) << w << "x" << h;
    }
    CQLImage empty, dst;
    CBackdropWnd::Blur(empty, dst);
    EXPECT_EQ(dst.GetAreaByteSize(), 0u);
}

// A large grab goes to several threads: each row must still see its own
// neighbours. On ramps the symmetric kernel gives 14/16 of the centre.
TEST(BackdropBlur, RampsOnAllThreadsGiveFourteenSixteenths)
{
    CQLImage src;
    MakeImage(&src, 1024, 700, [](int x, int y) {
        return CPixel{static_cast<BYTE>(y % 200), static_cast<BYTE>(x % 200), 77, 255};
    });
    for (auto level : {imagecore::SimdLevel::Scalar, imagecore::SimdLevel::Avx2}) {
        SCOPED_TRACE(static_cast<int>(level));
        imagecore::ScopedSimdCeiling ceiling(level);
        CQLImage dst;
        CBackdropWnd::Blur(src, dst);
        for (int y = 1; y < 699; ++y)
            for (int x = 1; x < 1023; ++x) {
                if (y % 200 == 0 || y % 200 == 199 || x % 200 == 0 || x % 200 == 199)
                    continue;  // the ramps wrap there
                const CPixel p = dst.GetPixel2(x, y);
                ASSERT_EQ(p.b, (14 * (y % 200)) >> 4) << x << "," << y;
                ASSERT_EQ(p.g, (14 * (x % 200)) >> 4) << x << "," << y;
                ASSERT_EQ(p.r, (14 * 77) >> 4) << x << "," << y;
            }
    }
}

// A small skinned dialog to show over the backdrop.
const qlafx::DialogTemplate kTestDialog{
    39901,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0,
    0,
    0,
    200,
    90,
    "Quillo Settings",
    nullptr,
    0,
    {{"Static", "Blur background when poping up dialog", 100, 10, 12, 180, 10, WS_CHILD | WS_VISIBLE},
     {"Button", "Show text under toolbar (restart needed)", 101, 10, 32, 180, 12,
      WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX},
     {"Button", "OK", IDOK, 86, 66, 50, 14, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON},
     {"Button", "Cancel", IDCANCEL, 142, 66, 50, 14, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON}}};
const qlafx::DialogTemplate kTestDialogs[] = {kTestDialog};
const qlafx::ResourceTable kTestTable{.dialogs = kTestDialogs};

class Backdrop : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        std::snprintf(g_programFolder, sizeof g_programFolder, "%s/", QUILLO_PROGRAM_DIR);
        qlafx::RegisterResources(&kTestTable);
        qlafx::SetModalHook([](CWnd*, const char*, const char*, UINT) { return IDOK; });
    }
    void TearDown() override
    {
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();  // deletes itself
        m_frame = nullptr;
        m_app.m_pMainWnd = nullptr;
        qlafx::SetModalHook({});
        qlafx::UnregisterResources(&kTestTable);
        theAppSettings.m_popBlur = 1;
        ShellWindowsTest::TearDown();
    }
    // The frame with the corpus photo, restored to a known size; false when
    // the corpus is absent.
    bool MakeFrameWithPhoto()
    {
        const std::string photo = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Canon_40D.jpg";
        if (!std::filesystem::exists(photo))
            return false;
        WriteProfile("[General]\nUserName=Tester\n");
        theAppSettings.LoadProfileAndSkin();
        std::free(m_app.m_lpCmdLine);
        m_app.m_lpCmdLine = strdup(photo.c_str());
        m_frame = new CMainFrame;
        m_app.m_pMainWnd = m_frame;
        EXPECT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
        m_frame->ShowWindow(SW_RESTORE);
        m_frame->MoveWindow(0, 0, 1000, 700);
        m_frame->RecalcLayout();
        qlafx::ProcessPendingEvents();
        return thePhotoDocument.IsLoaded();
    }
    static int Average(const CQLImage& image)
    {
        UINT w = 0, h = 0;
        image.GetSize(&w, &h);
        long long sum = 0;
        for (UINT y = 1; y + 1 < h; ++y)
            for (UINT x = 1; x + 1 < w; ++x)
                sum += image.GetPixel2(static_cast<int>(x), static_cast<int>(y)).g;
        return static_cast<int>(sum / ((w - 2) * (h - 2)));
    }

    CMainFrame* m_frame = nullptr;
};

TEST_F(Backdrop, CoversTheFrameWithItsBlurredPictureOncePerDialog)
{
    if (!MakeFrameWithPhoto())
        GTEST_SKIP() << "corpus photo absent";
    CBackdropWnd& backdrop = m_frame->m_backdrop;
    ASSERT_TRUE(::IsWindow(backdrop.m_hWnd));
    EXPECT_FALSE(backdrop.IsWindowVisible());
    ASSERT_NE(g_showBackdrop, nullptr);

    CQLImage grab;
    ASSERT_TRUE(CBackdropWnd::GrabWindow(m_frame, grab));
    EXPECT_EQ(g_showBackdrop(), 1);
    EXPECT_TRUE(backdrop.IsWindowVisible());
    EXPECT_EQ(g_showBackdrop(), 0) << "already shown";
    CRect covered, client;
    backdrop.GetWindowRect(&covered);
    m_frame->GetClientRect(&client);
    m_frame->ClientToScreen(&client);
    // Cut to the screen's work area, which is smaller than the frame offscreen.
    const QRect work = qlafx::WidgetOf(m_frame->m_hWnd)->screen()->availableGeometry();
    client.IntersectRect(&client, CRect(work.left(), work.top(), work.right() + 1, work.bottom() + 1));
    EXPECT_EQ(Corners(covered), Corners(client));
    UINT gw = 0, gh = 0, bw = 0, bh = 0;
    grab.GetSize(&gw, &gh);
    backdrop.m_picture.GetSize(&bw, &bh);
    EXPECT_EQ(bw, gw);
    EXPECT_EQ(bh, gh);
    EXPECT_GT(Average(grab), 100) << "the window, not a blank picture";
    EXPECT_NEAR(Average(backdrop.m_picture), Average(grab) * 14 / 16, 2) << "blurred and darkened";
    g_hideBackdrop();
    EXPECT_FALSE(backdrop.IsWindowVisible());

    // A skinned dialog shows it while it is up, and only with the setting on.
    for (int popBlur : {1, 0}) {
        theAppSettings.m_popBlur = popBlur;
        auto* dialog = new CSkinDialog(kTestDialog.id, m_frame);
        ASSERT_TRUE(dialog->Create(kTestDialog.id, m_frame));
        EXPECT_EQ(backdrop.IsWindowVisible(), popBlur == 1);
        delete dialog;
        EXPECT_FALSE(backdrop.IsWindowVisible());
    }
}

TEST_F(Backdrop, HooksGoWithTheFrame)
{
    if (!MakeFrameWithPhoto())
        GTEST_SKIP() << "corpus photo absent";
    m_frame->DestroyWindow();
    m_frame = nullptr;
    EXPECT_EQ(g_showBackdrop, nullptr);
    EXPECT_EQ(g_hideBackdrop, nullptr);
}

TEST_F(Backdrop, GrabOfASkinnedDialogOverTheBlurredFrame)
{
    if (!MakeFrameWithPhoto())
        GTEST_SKIP() << "corpus photo absent";
    auto* dialog = new CSkinDialog(kTestDialog.id, m_frame);
    ASSERT_TRUE(dialog->Create(kTestDialog.id, m_frame));
    dialog->CenterWindow();
    dialog->ShowWindow(SW_SHOW);
    qlafx::ProcessPendingEvents();
    CBackdropWnd& backdrop = m_frame->m_backdrop;
    ASSERT_TRUE(backdrop.IsWindowVisible());
    backdrop.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    QImage picture = qlafx::WidgetOf(backdrop.m_hWnd)->grab().toImage();
    {
        // Offscreen there is no window manager to stack them: the dialog
        // goes where it stands over the backdrop.
        const QImage front = qlafx::WidgetOf(dialog->m_hWnd)->grab().toImage();
        CRect under, over;
        backdrop.GetWindowRect(&under);
        dialog->GetClientRect(&over);
        dialog->ClientToScreen(&over);
        QPainter p(&picture);
        p.drawImage(QPoint(over.left - under.left, over.top - under.top), front);
    }
    EXPECT_FALSE(shelltest::SaveGrab(picture, "backdrop").empty());
    delete dialog;
}

}  // namespace
