// The wizard and its four steps on DNGs written by the tests.
#include "develop/BalancePreview.h"
#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/DevelopWizardDlg.h"
#include "develop/ProcessThread.h"

#include "DevelopTestDng.h"
#include "DevelopUiTestSupport.h"
#include "RawTestFiles.h"
#include "editor/shell/ExifInfo.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/ProgramFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace develop;
namespace fs = std::filesystem;

namespace {

class DevelopWizardTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CQLImageCodec::Start();
        qlwin::SetProgramFolder(QUILLO_PROGRAM_DIR);
        static CWinApp app("QuilloDevelop");
    }
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("qldevelop-ui-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        qlafx::SetModalHook([this](CWnd* dialog, const char*, const char* text, UINT) {
            if (dialog)
                return qlafx::kModalRun;
            messages_.push_back(text ? text : "");
            return IDOK;
        });
    }
    void TearDown() override
    {
        PumpUntil([] { return !ProcessThread().IsBusy(); });
        if (dlg_ && dlg_->m_hWnd)
            dlg_->DestroyWindow();
        dlg_.reset();
        qlafx::SetModalHook({});
        AfxGetApp()->m_pMainWnd = nullptr;
        State().rawPath.clear();
        State().developed.Free();
        State().commandLine = {};
        fs::remove_all(dir_);
    }

    DevelopWizardDlg& Open()
    {
        dlg_ = std::make_unique<DevelopWizardDlg>();
        EXPECT_TRUE(dlg_->Create(102u));
        AfxGetApp()->m_pMainWnd = dlg_.get();
        dlg_->SetWindowPos(nullptr, 0, 0, 820, 580, SWP_NOZORDER | SWP_NOMOVE);
        dlg_->ShowWindow(SW_SHOW);
        Pump();
        return *dlg_;
    }
    void Click(UINT id) { dlg_->SendMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifyClick) << 16) + id, 0); }
    bool NextEnabled() const { return dlg_->m_buttons[3].IsWindowEnabled() != FALSE; }
    bool WaitForPage(DevelopPage* page)
    {
        return PumpUntil([&] { return dlg_->CurrentPage() == page && !ProcessThread().IsBusy(); });
    }

    std::string SceneDng(const char* name, bool mosaic, int previewWidth)
    {
        CQLImage scene;
        DrawScene(scene, 96, 64);
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(WritePhotoDng(path, scene, mosaic, previewWidth));
        return path;
    }

    fs::path dir_;
    std::vector<std::string> messages_;
    std::unique_ptr<DevelopWizardDlg> dlg_;
};

TEST(DevelopWizard, NotificationDecoding)
{
    struct Case {
        WPARAM code;
        bool taken;
        UINT kind, id;
    };
    const Case cases[] = {
        {0x0000FFFF, false, 0, 0},  {0x00010000, true, 1, 0},    {0x00012004, true, 1, 8196},
        {0x00022003, true, 2, 8195}, {0x00032405, true, 3, 9221}, {0x0004FFFF, true, 4, 0xFFFF},
        {0x00050000, false, 0, 0},  {0x00052004, false, 0, 0},
    };
    for (const Case& c : cases) {
        UINT kind = 0, id = 0;
        EXPECT_EQ(DecodeNotification(c.code, kind, id), c.taken) << std::hex << c.code;
        if (c.taken) {
            EXPECT_EQ(kind, c.kind);
            EXPECT_EQ(id, c.id);
        }
    }
}

TEST(DevelopWizard, DragMovesWithTheGrabbedPointAndResizesToTheMinimum)
{
    const CRect start(100, 50, 900, 650);
    struct Case {
        int mode;
        CPoint cursor;
        CRect expected;
    };
    const CPoint press(150, 60);
    const Case cases[] = {
        {1, {170, 90}, {120, 80, 920, 680}},
        {1, {50, 10}, {0, 0, 800, 600}},
        {2, {250, 160}, {100, 50, 1000, 750}},
        {2, {-500, -500}, {100, 50, 700, 500}},  // 600 x 450 at least
        {2, {-150, 60}, {100, 50, 700, 650}},
    };
    for (const Case& c : cases) {
        const CRect r = DragRect(c.mode, start, press, c.cursor);
        EXPECT_EQ(r, c.expected) << c.mode << " " << c.cursor.x << "," << c.cursor.y;
        if (c.mode == 1) {  // the grabbed point stays under the cursor
            EXPECT_EQ(CPoint(press.x - start.left + r.left, press.y - start.top + r.top), c.cursor);
        }
    }
}

TEST(DevelopWizard, GradientRampLimitsAndDither)
{
    struct Case {
        COLORREF from, to;
        int low, high;  // every channel within
    };
    const Case cases[] = {{0x000000, 0x000000, 0, 3}, {0xFFFFFF, 0xFFFFFF, 251, 254}, {0x000000, 0xFFFFFF, 0, 254}};
    for (const Case& c : cases) {
        CQLImage a;
        ASSERT_TRUE(GradientImage(a, 64, 32, {0, 0}, {0, 32}, 1, c.from, c.to));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x) {
                const BYTE* p = a.GetBuffer(x, y);
                for (int k = 0; k < 3; ++k) {
                    EXPECT_GE(p[k], c.low);
                    EXPECT_LE(p[k], c.high);
                }
                EXPECT_EQ(p[0], p[1]);  // one offset for the three channels
                EXPECT_EQ(p[3], 255);
            }
    }
    // The same call paints the same pixels; the ramp runs from colour 1 to 2.
    CQLImage a, b;
    ASSERT_TRUE(GradientImage(a, 40, 40, {0, 0}, {0, 39}, 1, 0xC0C0C0, 0x404040));
    ASSERT_TRUE(GradientImage(b, 40, 40, {0, 0}, {0, 39}, 1, 0xC0C0C0, 0x404040));
    EXPECT_EQ(std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), 40 * 40 * 4), 0);
    EXPECT_NEAR(a.GetBuffer(20, 0)[1], 0xC0, 3);
    EXPECT_NEAR(a.GetBuffer(20, 39)[1], 0x40, 3);
    // Radial: colour 1 at the centre.
    ASSERT_TRUE(GradientImage(a, 41, 41, {20, 20}, {20, 0}, 0, 0xC0C0C0, 0x404040));
    EXPECT_NEAR(a.GetBuffer(20, 20)[1], 0xC0, 3);
    EXPECT_NEAR(a.GetBuffer(20, 0)[1], 0x40, 3);
}

TEST(DevelopWizard, BalancePreviewTakesTheLeastColourfulPixelsAsGrey)
{
    // Half a blue-cast grey, half a strong red: the cast grey is the reference.
    CQLImage thumb;
    thumb.Create(20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            BYTE* p = thumb.GetBuffer(x, y);
            const bool grey = x < 10;
            p[0] = grey ? 150 : 40;
            p[1] = grey ? 120 : 40;
            p[2] = grey ? 100 : 250;
            p[3] = 255;
        }
    CQLImage balanced;
    CPixel reference{};
    BalancePreview(thumb, balanced, reference);
    EXPECT_EQ(reference.b, 150);
    EXPECT_EQ(reference.g, 120);
    EXPECT_EQ(reference.r, 100);
    EXPECT_EQ(reference.a, (6 * 120 + 3 * 100 + 150) / 10);
    const BYTE* p = balanced.GetBuffer(2, 2);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(p[c], reference.a, 2) << c;
    EXPECT_EQ(p[3], 255);

    // Nearly everything too dark to count: the plain average, lifted.
    thumb.Create(8, 8);
    for (int i = 0; i < 64; ++i) {
        BYTE* q = thumb.GetBuffer(i % 8, i / 8);
        q[0] = 40;
        q[1] = q[2] = 10;
        q[3] = 255;
    }
    BalancePreview(thumb, balanced, reference);
    EXPECT_EQ(reference.b, 40 + (64 - 40) * 16 / 64);
    EXPECT_EQ(reference.g, 10 + (64 - 10) * 16 / 64);
    EXPECT_EQ(reference.r, 10 + (64 - 10) * 16 / 64);
    EXPECT_EQ(reference.a, (6 * 23 + 3 * 23 + 46) / 10);
}

TEST_F(DevelopWizardTest, OpenFileByThumbnailResult)
{
    struct Case {
        const char* name;
        int kind;  // 0 DNG with preview, 1 DNG without, 2 a JPEG renamed
        const char* message;
        bool taken;
    };
    const Case cases[] = {
        {"with.dng", 0, nullptr, true},
        {"without.dng", 1, "This file have no thumbnail/preview", true},
        {"photo.nef", 2, nullptr, false},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path;
        if (c.kind == 2) {
            CQLImage photo;
            DrawScene(photo, 40, 30);
            path = (dir_ / c.name).string();
            ASSERT_TRUE(CQLImageCodec().SaveJpegFile(path.c_str(), &photo, 90, 72));
        } else {
            path = SceneDng(c.name, true, c.kind == 0 ? 48 : 0);
        }
        State().rawPath.clear();
        dlg_->m_openPage.OnEnter();
        messages_.clear();
        EXPECT_EQ(dlg_->m_openPage.OpenFile(path.c_str()) != FALSE, c.taken);
        EXPECT_EQ(State().rawPath, c.taken ? path : std::string());
        EXPECT_EQ(NextEnabled(), c.taken);
        if (c.message) {
            ASSERT_EQ(messages_.size(), 1u);
            EXPECT_EQ(messages_[0], c.message);
        }
        if (!c.taken) {
            EXPECT_EQ(messages_.size(), 1u);
        }
        EXPECT_EQ(dlg_->m_openPage.m_view.Mode(), c.kind == 0 ? 2 : 0);
    }
}

TEST_F(DevelopWizardTest, BestOnlyForAThreeColourMosaic)
{
    Open();
    DevelopInterpolatePage& page = dlg_->m_interpolatePage;
    for (BOOL three : {FALSE, TRUE}) {
        page.m_threeColour = three;
        page.OnEnter();
        EXPECT_EQ(page.m_method, three ? 3 : 2);
        EXPECT_EQ(page.m_options[2].IsWindowEnabled(), three);
        EXPECT_EQ(page.m_options[1].GetCheck(), three ? 0 : 1);
        EXPECT_EQ(page.m_options[2].GetCheck(), three ? 1 : 0);
        page.SetMethod(3);
        EXPECT_EQ(page.m_method, three ? 3 : 2);
        page.SetMethod(1);
        EXPECT_EQ(page.m_options[0].GetCheck(), 1);
    }
}

// A job that takes its time and marks pixel 0 with the exposure it got.
class SlowJob : public DevelopJob {
public:
    HRESULT Run(const void* params) override
    {
        ClearStopRequest();
        ++runs;
        ++active;
        maxActive = std::max(maxActive.load(), active.load());
        const int exposure = static_cast<const AdjustParams*>(params)->exposure;
        m_target->DuplicateFrom(m_source);
        for (int i = 0; i < 15; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (TakeStopRequest()) {
                ++stopped;
                --active;
                return 0;
            }
        }
        m_target->GetBuffer(0, 0)->r = static_cast<WORD>(1000 + exposure);
        --active;
        return 0;
    }
    std::atomic<int> runs{0}, active{0}, maxActive{0}, stopped{0};
};

TEST_F(DevelopWizardTest, AdjustPageRestartsOnceAndDevelopsTheLastValues)
{
    State().developed.Create(40, 30);
    Open();
    SlowJob job;
    DevelopAdjustPage& page = dlg_->m_adjustPage;
    page.m_job = &job;
    dlg_->m_openPage.m_next = &page;
    dlg_->PostMessage(WM_DEVELOP_JOB, kGoToNextStep, 0);
    ASSERT_TRUE(PumpUntil([&] { return dlg_->CurrentPage() == &page; }));
    // A quick drag: many changes while the first run works.
    for (int pos = 1; pos <= 8; ++pos) {
        page.m_sliders[0].SetPos(pos);
        dlg_->SendMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifySlider) << 16) + DevelopAdjustPage::kExposure,
                          pos);
        EXPECT_LE(page.m_runs, 1);
    }
    EXPECT_TRUE(page.m_restart);
    ASSERT_TRUE(PumpUntil([&] { return !page.m_running && !ProcessThread().IsBusy(); }));
    EXPECT_EQ(page.m_runs, 2);
    EXPECT_EQ(job.maxActive.load(), 1);
    EXPECT_EQ(page.m_adjusted.GetBuffer(0, 0)->r, 1000 + 8);
    EXPECT_EQ(page.m_view.Image16(), &page.m_adjusted);

    // Unchecking the preview shows the unadjusted image at once.
    dlg_->SendMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifyOption) << 16) + DevelopAdjustPage::kPreviewCheck, 0);
    EXPECT_EQ(page.m_view.Image16(), &State().developed);
    EXPECT_EQ(page.m_preview.GetCheck(), 0);
    EXPECT_EQ(job.runs.load(), 2);
    dlg_->SendMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifyOption) << 16) + DevelopAdjustPage::kPreviewCheck, 0);
    EXPECT_EQ(page.m_view.Image16(), &page.m_adjusted);

    // Next during a run with a restart pending: the last values are saved.
    page.m_sliders[0].SetPos(3);
    page.StartPreviewJob();
    page.m_sliders[0].SetPos(5);
    page.StartPreviewJob();
    Click(kNextButton);
    ASSERT_TRUE(WaitForPage(&dlg_->m_savePage));
    EXPECT_EQ(State().developed.GetBuffer(0, 0)->r, 1000 + 5);
    EXPECT_FALSE(page.m_adjusted.GetBuffer(0, 0));
}

TEST(DevelopSavePage, ProposedNameKeepsFolderAndName)
{
    struct Case {
        const char* raw;
        const char* ext;
        const char* expected;
    };
    const Case cases[] = {
        {"/photos/IMG_1.CR2", ".jpg", "/photos/IMG_1.jpg"},
        {"/photos/IMG_1.CR2", ".tif", "/photos/IMG_1.tif"},
        {"/a b/shot.v2.nef", ".jpg", "/a b/shot.v2.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProposedName(c.raw, c.ext), c.expected);
}

TEST_F(DevelopWizardTest, FullColourFileSkipsStepTwoAndSavesBothKindsWithShootingData)
{
    RawTestDng dng;
    dng.mosaic = false;
    dng.previewWidth = 32;
    const std::string raw = (dir_ / "linear.dng").string();
    ASSERT_TRUE(WriteRawTestDng(raw, dng));
    Open();
    ASSERT_TRUE(dlg_->m_openPage.OpenFile(raw.c_str()));
    Click(kNextButton);
    ASSERT_TRUE(WaitForPage(&dlg_->m_adjustPage));
    EXPECT_TRUE(PumpUntil([&] { return !dlg_->m_adjustPage.m_running; }));
    Click(kNextButton);
    ASSERT_TRUE(WaitForPage(&dlg_->m_savePage));
    EXPECT_FALSE(NextEnabled());
    for (const char* name : {"out.jpg", "out.tif"}) {
        const std::string out = (dir_ / name).string();
        EXPECT_TRUE(dlg_->m_savePage.SaveAs(out.c_str(), name[5] == 'p'));
        ExifInfo exif;
        ASSERT_EQ(exif.ReadFromFile(out.c_str()), 1) << name;
        EXPECT_STREQ(exif.GetFields().make, "Quillotest");
        EXPECT_STREQ(exif.GetFields().model, "Sensor One");
        EXPECT_TRUE(NextEnabled());
    }
    // A failed save says so and leaves Next enabled.
    messages_.clear();
    EXPECT_FALSE(dlg_->m_savePage.SaveAs((dir_ / "no/such/out.jpg").string().c_str(), true));
    EXPECT_EQ(messages_, std::vector<std::string>{"Unexpected Error"});
    // Next Photo: back to Step 1 with no file.
    Click(kNextButton);
    ASSERT_TRUE(WaitForPage(&dlg_->m_openPage));
    EXPECT_TRUE(State().rawPath.empty());
    EXPECT_FALSE(NextEnabled());
}

TEST_F(DevelopWizardTest, WalksTheFourStepsOnACorpusPhoto)
{
    CQLImage photo;
    if (!LoadCorpusPhoto("exif-samples/jpg/mobile/jolla.jpg", 640, photo))
        GTEST_SKIP() << "corpus photo missing";
    const std::string raw = (dir_ / "jolla.dng").string();
    ASSERT_TRUE(WritePhotoDng(raw, photo, true, 320));
    Open();
    ASSERT_TRUE(dlg_->m_openPage.OpenFile(raw.c_str()));
    dlg_->SendMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifyOption) << 16) + DevelopOpenPage::kAutoOption, 0);
    EXPECT_EQ(dlg_->m_openPage.m_autoBalance, 1);
    EXPECT_EQ(dlg_->m_openPage.m_view.Image8(), &dlg_->m_openPage.m_balanced);
    Pump(100);
    SaveGrab(dlg_->m_hWnd, "develop_open");
    // Automatic balance greys a frame that one orange leaf fills (the preview
    // shows it purple); the later steps keep the leaf's colours with the
    // camera's balance.
    dlg_->SendMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifyOption) << 16) + DevelopOpenPage::kCameraOption, 0);
    EXPECT_EQ(dlg_->m_openPage.m_autoBalance, 0);

    Click(kNextButton);
    ASSERT_TRUE(WaitForPage(&dlg_->m_interpolatePage));
    EXPECT_EQ(dlg_->m_interpolatePage.m_method, 3);
    Pump(100);
    SaveGrab(dlg_->m_hWnd, "develop_interpolate");

    Click(kNextButton);
    ASSERT_TRUE(WaitForPage(&dlg_->m_adjustPage));
    DevelopAdjustPage& adjust = dlg_->m_adjustPage;
    ASSERT_TRUE(PumpUntil([&] { return !adjust.m_running; }));
    adjust.m_sliders[0].SetPos(10);
    adjust.StartPreviewJob();
    ASSERT_TRUE(PumpUntil([&] { return !adjust.m_running && !ProcessThread().IsBusy(); }));
    Pump(100);
    EXPECT_EQ(adjust.m_view.Image16(), &adjust.m_adjusted);
    EXPECT_EQ(adjust.m_sliders[0].ValueText(), "1");
    SaveGrab(dlg_->m_hWnd, "develop_adjust");

    Click(kNextButton);
    ASSERT_TRUE(WaitForPage(&dlg_->m_savePage));
    Pump(100);
    SaveGrab(dlg_->m_hWnd, "develop_save");
    EXPECT_TRUE(messages_.empty());

    // The window menu's own entry shows the About box.
    bool shown = false;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        if (!dialog)
            return IDOK;
        shown = true;
        dialog->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Pump(50);
        SaveGrab(dialog->m_hWnd, "develop_about");
        return IDOK;
    });
    dlg_->SendMessage(WM_SYSCOMMAND, 16, 0);
    EXPECT_TRUE(shown);
}

TEST_F(DevelopWizardTest, LinksOpenThroughTheShellExceptCommands)
{
    Open();
    std::vector<std::string> opened;
    qlwin::SetShellExecuteHook([&](LPCSTR, LPCSTR file, LPCSTR) {
        opened.push_back(file ? file : "");
        return reinterpret_cast<HINSTANCE>(42);
    });
    for (const char* link : {"https://quillo.example.org/", "cmd:next", "CMD:quit"})
        dlg_->OnNotify((static_cast<WPARAM>(kNotifyLink) << 16) + 8712, reinterpret_cast<LPARAM>(link));
    qlwin::SetShellExecuteHook({});
    EXPECT_EQ(opened, std::vector<std::string>{"https://quillo.example.org/"});
}

TEST_F(DevelopWizardTest, EnterDoesNothingWhileNextIsDisabled)
{
    Open();
    ASSERT_FALSE(NextEnabled());
    dlg_->SendMessage(WM_COMMAND, IDOK, 0);
    Pump();
    EXPECT_EQ(dlg_->CurrentPage(), &dlg_->m_openPage);
}

} // namespace
