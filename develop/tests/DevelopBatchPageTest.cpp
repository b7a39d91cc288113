// The batch page and its file list: the list logic, the output folder's
// caption, the list's painting and mouse, a run through the wizard and the
// -f start.
#include "develop/DevelopBatchPage.h"
#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/DevelopWizardDlg.h"
#include "develop/ProcessThread.h"

#include "DevelopTestDng.h"
#include "DevelopUiTestSupport.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/ProgramFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace develop;
namespace fs = std::filesystem;

namespace {

TEST(FolderCaption, WholeOrCutByWidth)
{
    const auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 7; };
    const std::string forty = "/home/someone/Pictures/2021/holiday/raw/";
    ASSERT_EQ(forty.size(), 40u);
    const std::string sixty = forty + "second-day/morning/x/";
    struct Case {
        std::string folder;
        int width;
        std::string expected;
    } cases[] = {
        {"/short/", 10, "/short/"},                    // under 32 characters: whole
        {forty, 300, forty},                           // fits: whole
        {sixty, 300, sixty.substr(0, 43) + "..."},     // cut where the prefix reaches the width
        {forty, 100, forty.substr(0, 32) + "..."},     // never shorter than 32 characters
    };
    for (const Case& c : cases)
        EXPECT_EQ(FolderCaption(c.folder, c.width, measure), c.expected) << c.folder << " " << c.width;
    // A character of several bytes is never split.
    const std::string wide = std::string(31, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9/";
    EXPECT_EQ(FolderCaption(wide, 0, measure), std::string(31, 'a') + "\xC3\xA9...");
}

class BatchPageTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CQLImageCodec::Start();
        qlwin::SetProgramFolder(QUILLO_PROGRAM_DIR);
        static CWinApp app("QuilloDevelop");
    }
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("qlbatch-ui-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "out");
        qlafx::SetModalHook([this](CWnd* dialog, const char*, const char* text, UINT) {
            if (dialog) {
                if (auto* files = dynamic_cast<CFileDialog*>(dialog); files && !answer_.empty()) {
                    qlafx::AnswerFileDialog(*files, answer_);
                    if (onAnswer_)
                        onAnswer_();
                    return IDOK;
                }
                return qlafx::kModalRun;
            }
            messages_.push_back(text ? text : "");
            return IDOK;
        });
    }
    void TearDown() override
    {
        PumpUntil([] { return !ProcessThread().IsBusy(); });
        // Not the main window when it goes, or its end would quit the
        // next test's modal loop.
        AfxGetApp()->m_pMainWnd = nullptr;
        if (dlg_ && dlg_->m_hWnd)
            dlg_->DestroyWindow();
        dlg_.reset();
        qlafx::SetModalHook({});
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
    std::string NextCaption() const
    {
        CString s;
        dlg_->m_buttons[3].GetWindowText(s);
        return s.GetString();
    }
    std::vector<std::string> Rows(const DevelopFileList& list) const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < list.GetCount(); ++i)
            rows.push_back(list.GetItemText(i));
        return rows;
    }
    std::string Dng(const std::string& relative, bool mosaic, const CQLImage* photo = nullptr)
    {
        CQLImage scene;
        if (!photo)
            DrawScene(scene, 96, 64);
        const fs::path path = dir_ / relative;
        fs::create_directories(path.parent_path());
        EXPECT_TRUE(WritePhotoDng(path.string(), photo ? *photo : scene, mosaic, 0));
        return path.string();
    }
    std::vector<std::string> Outputs() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_ / "out"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    std::vector<std::string> messages_;
    std::vector<std::string> answer_;
    std::function<void()> onAnswer_;
    std::unique_ptr<DevelopWizardDlg> dlg_;
};

TEST_F(BatchPageTest, ListLogic)
{
    DevelopWizardDlg& dlg = Open();
    DevelopBatchPage& page = dlg.m_batchPage;
    Click(DevelopOpenPage::kBatchButton);
    ASSERT_EQ(dlg.CurrentPage(), &page);
    EXPECT_EQ(NextCaption(), Texts().GetText("go"));
    EXPECT_FALSE(NextEnabled()) << "no entry, no folder";

    const std::string a = (dir_ / "in" / "a.dng").string();
    page.AddFile(a.c_str());
    page.AddFile(a.c_str());
    page.AddFile((dir_ / "in" / "A.dng").string().c_str());
    page.AddFile((dir_ / "other" / "b.dng").string().c_str());
    page.RefreshList();
    EXPECT_EQ(page.m_entries.size(), 3u) << "one entry per exact path";
    EXPECT_EQ(page.m_folder, (dir_ / "in").string() + "/") << "the first file's folder";
    EXPECT_EQ(std::string(page.m_folderCaption.m_entries.at(1).text), page.m_folder);
    EXPECT_TRUE(NextEnabled());

    page.RemoveSelected();
    EXPECT_EQ(page.m_entries.size(), 3u) << "nothing selected, nothing removed";
    page.m_list.SelectRow(0, 0);
    page.m_list.SelectRow(2, 1);
    page.RemoveSelected();
    // Rows are sorted without regard to case: a.dng, A.dng, b.dng.
    ASSERT_EQ(page.m_list.GetCount(), 1);
    EXPECT_EQ(page.m_list.GetItemText(0), (dir_ / "in" / "A.dng").string());
    page.m_list.SelectRow(0, 0);
    page.RemoveSelected();
    EXPECT_TRUE(page.m_entries.empty());
    EXPECT_FALSE(NextEnabled()) << "an empty list disables Go!";

    page.AddFile(a.c_str());
    page.SetOutputFolder("");
    page.RefreshList();
    EXPECT_FALSE(NextEnabled()) << "Go! needs a folder";
    EXPECT_STREQ(page.m_folderCaption.m_entries.at(1).text, Texts().GetText("nofolder"));
    page.SetOutputFolder((dir_ / "out").c_str());
    EXPECT_TRUE(NextEnabled());
    EXPECT_EQ(page.m_folder.back(), '/');

    // Long folders are cut in the caption, never in the page.
    const std::string deep = "/" + std::string(200, 'd') + "/";
    page.SetOutputFolder(deep.c_str());
    EXPECT_EQ(page.m_folder, deep);
    const std::string shown = page.m_folderCaption.m_entries.at(1).text;
    EXPECT_LT(shown.size(), deep.size());
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");

    // Cancel while idle goes back to Step 1.
    Click(kCancelButton);
    EXPECT_EQ(dlg.CurrentPage(), &dlg.m_openPage);
    EXPECT_EQ(NextCaption(), Texts().GetText("next"));
}

TEST_F(BatchPageTest, FileListPaintsAndTakesTheMouse)
{
    Open();
    DevelopFileList& list = dlg_->m_batchPage.m_list;
    list.ShowWindow(SW_SHOW);
    list.MoveWindow(0, 0, 300, 160);
    const auto paint = [&] {
        list.SendMessage(WM_PAINT);
        return CClientDC(&list);
    };
    {
        CClientDC dc = paint();
        EXPECT_FALSE(list.HasScrollBar());
        EXPECT_TRUE(list.m_thumb.IsRectEmpty());
        bool text = false;
        for (int x = 5; x < 60; ++x)
            for (int y = 5; y < 20; ++y)
                text = text || dc.GetPixel(x, y) == 0xC0C0C0;
        EXPECT_TRUE(text) << "No Item";
        EXPECT_EQ(dc.GetPixel(0, 0), 0u) << "black frame";
    }
    for (int i = 0; i < 100; ++i)
        list.AddItem(("row " + std::to_string(1000 + i)).c_str(), i);
    paint();
    ASSERT_TRUE(list.HasScrollBar());
    ASSERT_FALSE(list.m_thumb.IsRectEmpty());
    const CPoint grab = list.m_thumb.CenterPoint();
    list.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(grab.x, grab.y));
    list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab.x, 400));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(grab.x, 400));
    paint();
    EXPECT_EQ(list.m_first, 90) << "rows 90 to 99 shown";
    list.SelectRow(95, 0);
    SaveGrab(list.m_hWnd, "develop_file_list");

    // Clicks on rows: plain, Ctrl, Shift, below the last row.
    list.Clear();
    for (int i = 0; i < 5; ++i)
        list.AddItem(("r" + std::to_string(i)).c_str(), i);
    const auto click = [&](int row, UINT keys) {
        list.SendMessage(WM_LBUTTONDOWN, keys, MAKELPARAM(20, row * 16 + 8));
        list.SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(20, row * 16 + 8));
    };
    const auto selected = [&] {
        std::string s;
        for (int i = 0; i < 5; ++i)
            s += list.IsSelected(i) ? '1' : '0';
        return s;
    };
    struct Step {
        int row;
        UINT keys;
        const char* expected;
    } steps[] = {
        {1, 0, "01000"}, {3, MK_CONTROL, "01010"}, {1, MK_CONTROL, "00010"},
        {0, MK_SHIFT, "11110"}, {4, 0, "00001"}, {8, 0, "00000"},
    };
    for (const Step& s : steps) {
        click(s.row, s.keys);
        EXPECT_EQ(selected(), s.expected) << s.row << " " << s.keys;
    }
    EXPECT_EQ(list.IsSelected(-1), 0);
    EXPECT_EQ(list.IsSelected(5), 0);

    // After sorting the data still name their entries.
    list.Clear();
    list.AddItem("b.dng", 0);
    list.AddItem("A.dng", 1);
    list.AddItem("c.dng", 2);
    list.Sort();
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"A.dng", "b.dng", "c.dng"}));
    EXPECT_EQ(list.FindByData(0), 1);
    EXPECT_EQ(list.FindByData(7), -1);
    list.SetItemText(list.FindByData(0), "b.dng - OK");
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"A.dng", "b.dng - OK", "c.dng"}));
    EXPECT_EQ(list.SetItemText(3, "x"), 0);
}

TEST_F(BatchPageTest, RunFromDroppedFilesShowsTheStatuses)
{
    CQLImage photo;
    const bool corpus = LoadCorpusPhoto("exif-samples/jpg/mobile/jolla.jpg", 1024, photo);
    std::vector<std::string> files = {Dng("in/alpha.dng", true), Dng("in/beta.dng", false)};
    files.push_back(corpus ? Dng("in/jolla.dng", true, &photo) : Dng("in/jolla.dng", true));
    const fs::path fake = dir_ / "in" / "fake.nef";
    {
        CQLImage scene;
        DrawScene(scene, 64, 48);
        ASSERT_TRUE(CQLImageCodec().SaveJpegFile((dir_ / "in" / "fake.jpg").c_str(), &scene, 90, 72));
        fs::rename(dir_ / "in" / "fake.jpg", fake);
    }
    files.push_back(fake.string());
    DevelopWizardDlg& dlg = Open();
    DevelopBatchPage& page = dlg.m_batchPage;
    dlg.DropFiles(files);
    ASSERT_EQ(dlg.CurrentPage(), &page);
    page.SetOutputFolder((dir_ / "out").c_str());
    ASSERT_TRUE(NextEnabled());
    Click(kNextButton);
    EXPECT_FALSE(page.m_add.IsWindowEnabled()) << "no changes while it runs";
    ASSERT_TRUE(PumpUntil([&] { return dlg.CurrentPage() == &dlg.m_openPage && !ProcessThread().IsBusy(); }, 60000));
    EXPECT_EQ(Outputs(), (std::vector<std::string>{"alpha.jpg", "beta.jpg", "jolla.jpg"}));
    // The rows keep their statuses for a look back.
    Click(DevelopOpenPage::kBatchButton);
    Pump(100);
    const std::string ok = std::string(" - ") + Texts().GetText("ok");
    EXPECT_EQ(Rows(page.m_list), (std::vector<std::string>{"alpha.dng" + ok, "beta.dng" + ok,
                                                           "fake.nef - " + std::string(Texts().GetText("notsupport")),
                                                           "jolla.dng" + ok}));
    EXPECT_TRUE(page.m_add.IsWindowEnabled());
    SaveGrab(dlg.m_hWnd, "develop_batch");
}

std::atomic<bool> g_release{false};
UINT HoldWorker(LPVOID)
{
    while (!g_release.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 0;
}

TEST_F(BatchPageTest, CancelWhileBusyOnlyAsksTheRunToStop)
{
    std::vector<std::string> files = {Dng("in/a.dng", true), Dng("in/b.dng", true)};
    DevelopWizardDlg& dlg = Open();
    DevelopBatchPage& page = dlg.m_batchPage;
    dlg.DropFiles(files);
    page.SetOutputFolder((dir_ / "out").c_str());
    // The worker is held, so the run waits behind another job.
    g_release = false;
    ASSERT_TRUE(ProcessThread().PostJob(&HoldWorker, nullptr, nullptr));
    Click(kNextButton);
    Click(kCancelButton);
    EXPECT_EQ(dlg.CurrentPage(), &page) << "only the flag while the worker is busy";
    EXPECT_EQ(page.m_cancel.load(), 1);
    g_release = true;
    ASSERT_TRUE(PumpUntil([&] { return dlg.CurrentPage() == &dlg.m_openPage && !ProcessThread().IsBusy(); }));
    EXPECT_TRUE(Outputs().empty());
    EXPECT_EQ(NextCaption(), Texts().GetText("next"));
}

TEST_F(BatchPageTest, FolderStartConvertsAndEnds)
{
    answer_ = {Dng("in/one.dng", true), Dng("in/two.dng", false)};
    State().commandLine.folder = (dir_ / "out").string();
    // Go! once the page is filled, as a person would.
    onAnswer_ = [&] {
        if (CWnd* main = AfxGetApp()->m_pMainWnd)
            main->PostMessage(WM_DEVELOP_NOTIFY, (static_cast<WPARAM>(kNotifyClick) << 16) + kNextButton, 0);
    };
    DevelopWizardDlg dlg;
    AfxGetApp()->m_pMainWnd = &dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(Outputs(), (std::vector<std::string>{"one.jpg", "two.jpg"}));
    EXPECT_EQ(dlg.m_batchPage.m_folder, (dir_ / "out").string() + "/");
}

} // namespace
