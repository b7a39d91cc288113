#include "editor/ui/tests/EffectDialogTestEnv.h"

#include "editor/retouch/AntiShakeStepDlg.h"
#include "editor/retouch/HDRDetailDlg.h"
#include "editor/retouch/MultiPhotoSelectDlg.h"
#include "editor/retouch/MultiProgressDlg.h"
#include "editor/retouch/MultiShootDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/retouch/MultiWork.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using effecttest::PumpUntil;

namespace {

const std::string kCorpusPhoto = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Reconyx_HC500_Hyperfire.jpg";

class MultiDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("quillo-multidlg-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        std::filesystem::remove_all(dir);
    }

    // Three 1200 x 900 crops of the corpus photo, listed in the work; with
    // bracketed, the first darker and the last brighter.
    bool MakeCrops(CMultiWork& work, bool bracketed = false)
    {
        CQLImage full;
        CQLImageCodec codec;
        if (!std::filesystem::exists(kCorpusPhoto) || !codec.LoadFile(kCorpusPhoto.c_str(), &full))
            return false;
        const int shifts[3][2] = {{0, 0}, {14, 9}, {-11, 6}};
        for (int i = 0; i < 3; ++i) {
            CQLImage crop;
            crop.Create(1200, 900);
            for (int y = 0; y < 900; ++y)
                std::memcpy(crop.GetBuffer(0, y), full.GetBuffer(100 + shifts[i][0], 60 + shifts[i][1] + y), 1200 * 4);
            if (bracketed && i != 1) {
                const double gain = i == 0 ? 0.5 : 1.6;
                BYTE* b = crop.GetBuffer(0, 0);
                for (size_t k = 0; k < crop.GetAreaByteSize(); ++k)
                    if (k % 4 != 3)
                        b[k] = static_cast<BYTE>(std::min(255.0, b[k] * gain));
            }
            const std::string path = (dir / ("crop" + std::to_string(i) + ".bmp")).string();
            crop.SaveToFile(path.c_str());
            EXPECT_TRUE(work.AddPhoto(path.c_str()));
            work.photos[i]->transform[2] = -shifts[i][0];
            work.photos[i]->transform[5] = -shifts[i][1];
        }
        return true;
    }

    static void SaveGrab(CWnd& wnd, const char* name)
    {
        wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        qlafx::ProcessPendingEvents();
        const QImage grab = wnd.GetWidget()->grab().toImage();
        std::filesystem::create_directories(QUILLO_GRAB_DIR);
        const std::string path = std::string(QUILLO_GRAB_DIR) + "/" + name;
        EXPECT_TRUE(grab.save(QString::fromStdString(path)));
        std::printf("grab: %s\n", path.c_str());
    }

    std::filesystem::path dir;
};

TEST_F(MultiDialogsTest, ProgressRunsTheMergeAndClosesWithTheResult)
{
    CMultiNRWork work;
    if (!MakeCrops(work))
        GTEST_SKIP() << "corpus photo absent";
    std::vector<std::string> boxes;
    bool grabbed = false;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (!dialog)
            return boxes.push_back(text ? text : ""), IDOK;
        // Grab while the second photo is added.
        char shown[64] = {};
        EXPECT_TRUE(PumpUntil([&] {
            dialog->GetDlgItemText(IDC_MULTI_PROGRESS_TEXT, shown, sizeof shown);
            return std::strcmp(shown, "Processing photo 1") == 0 || !theAlgorithmThread.IsBusy();
        }));
        if (std::strcmp(shown, "Processing photo 1") == 0) {
            SaveGrab(*dialog, "multishot-progress.png");
            grabbed = true;
        }
        return qlafx::kModalRun;
    });
    CMultiProgressDlg dlg(&work, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(grabbed);
    UINT w = 0, h = 0;
    work.GetResult().GetSize(&w, &h);
    EXPECT_GT(w, 1100u);
    EXPECT_LE(w, 1175u);
}

TEST_F(MultiDialogsTest, APhotoThatVanishesIsReportedAndLeavesNoResult)
{
    CMultiNRWork work;
    if (!MakeCrops(work))
        GTEST_SKIP() << "corpus photo absent";
    std::filesystem::remove(work.photos[2]->path);
    std::vector<std::string> boxes;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (!dialog)
            return boxes.push_back(text ? text : ""), IDOK;
        return qlafx::kModalRun;
    });
    CMultiProgressDlg dlg(&work, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes, std::vector<std::string>{"Unexpected error"});
    EXPECT_EQ(work.GetResult().GetAreaByteSize(), 0u);
    EXPECT_FALSE(theAlgorithmThread.IsBusy());
}

TEST_F(MultiDialogsTest, ClosingStopsTheMergeAndWaitsForIt)
{
    CMultiNRWork work;
    if (!MakeCrops(work))
        GTEST_SKIP() << "corpus photo absent";
    std::vector<std::string> boxes;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (!dialog)
            return boxes.push_back(text ? text : ""), IDOK;
        dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    CMultiProgressDlg dlg(&work, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(theAlgorithmThread.IsBusy());
    EXPECT_TRUE(boxes.empty());
    qlafx::ProcessPendingEvents();
    EXPECT_TRUE(boxes.empty());
}

std::string ItemText(CWnd& dlg, UINT id)
{
    char text[256] = {};
    dlg.GetDlgItemText(id, text, sizeof text);
    return text;
}

bool Enabled(CWnd& dlg, UINT id)
{
    return dlg.GetDlgItem(id)->IsWindowEnabled();
}

// Runs Step 1 with the open photo at path; step is called inside it.
int RunStep1(CMultiWork& work, const std::string& path, std::vector<std::string>& boxes,
             const std::function<int(CMultiPhotoSelectDlg&)>& step)
{
    std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "%s", path.c_str());
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (!dialog)
            return boxes.push_back(text ? text : ""), IDOK;
        qlafx::ProcessPendingEvents();
        return step(static_cast<CMultiPhotoSelectDlg&>(*dialog));
    });
    CMultiPhotoSelectDlg dlg(&work, nullptr);
    const int answer = static_cast<int>(dlg.DoModal());
    thePhotoDocument.m_path[0] = '\0';
    return answer;
}

TEST_F(MultiDialogsTest, StepOneListsThePhotosAndCountsThem)
{
    CMultiNRWork work;
    if (!MakeCrops(work))
        GTEST_SKIP() << "corpus photo absent";
    const std::string paths[3] = {work.photos[0]->path, work.photos[1]->path, work.photos[2]->path};
    std::vector<std::string> boxes;
    const int answer = RunStep1(work, paths[0], boxes, [&](CMultiPhotoSelectDlg& d) {
        EXPECT_EQ(ItemText(d, IDC_MULTI_COUNT), "Need 2-256 photos, Now have 1:");
        EXPECT_FALSE(Enabled(d, IDOK));
        EXPECT_EQ(ItemText(d, IDC_MULTI_DESCRIPTION).substr(0, 25), "When using high ISO to sh");
        d.AddFile(paths[1].c_str());
        EXPECT_TRUE(Enabled(d, IDOK));
        d.AddFile(paths[2].c_str());
        d.AddFile(paths[2].c_str()); // refused: already listed
        EXPECT_EQ(ItemText(d, IDC_MULTI_COUNT), "Need 2-256 photos, Now have 3:");
        EXPECT_EQ(d.GetList().GetItemCount(), 3);
        EXPECT_STREQ(d.GetList().GetItem(1)->text, "crop1");
        EXPECT_TRUE(Enabled(d, IDC_MULTI_ADD));
        EXPECT_FALSE(Enabled(d, IDC_MULTI_DEL));
        SaveGrab(d, "multishot-step1.png");

        // The open photo cannot be removed; another one can.
        d.GetList().SelectItem(0, 0);
        d.SendMessage(WM_THUMBLIST_NOTIFY, ThumbListSelChange, 0);
        EXPECT_FALSE(Enabled(d, IDC_MULTI_DEL));
        d.GetList().SelectItem(0, 1);
        d.SendMessage(WM_THUMBLIST_NOTIFY, ThumbListSelChange, 0);
        EXPECT_TRUE(Enabled(d, IDC_MULTI_DEL));
        d.SendMessage(WM_COMMAND, IDC_MULTI_DEL, 0);
        EXPECT_EQ(ItemText(d, IDC_MULTI_COUNT), "Need 2-256 photos, Now have 2:");
        d.SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(boxes, std::vector<std::string>{"This image is in list already"});
    ASSERT_EQ(work.PhotoCount(), 2);
    EXPECT_STREQ(work.photos[1]->name, "crop2");
}

TEST_F(MultiDialogsTest, StepOneEnablesAddAndNextAtTheBounds)
{
    CMultiNRWork nr;
    if (!MakeCrops(nr))
        GTEST_SKIP() << "corpus photo absent";
    const std::string paths[3] = {nr.photos[0]->path, nr.photos[1]->path, nr.photos[2]->path};
    std::vector<std::string> boxes;
    RunStep1(nr, paths[0], boxes, [&](CMultiPhotoSelectDlg& d) {
        for (int i = 1; i < 255; ++i) {
            auto* p = new MergePhoto;
            std::snprintf(p->name, sizeof p->name, "listed%d", i);
            nr.photos.push_back(p);
        }
        d.AddFile(paths[1].c_str()); // the 256th
        EXPECT_EQ(ItemText(d, IDC_MULTI_COUNT), "Need 2-256 photos, Now have 256:");
        EXPECT_FALSE(Enabled(d, IDC_MULTI_ADD));
        EXPECT_TRUE(Enabled(d, IDOK));
        return IDCANCEL;
    });
    CMultiHDRWork hdr;
    RunStep1(hdr, paths[0], boxes, [&](CMultiPhotoSelectDlg& d) {
        d.AddFile(paths[1].c_str());
        EXPECT_TRUE(Enabled(d, IDC_MULTI_ADD));
        d.AddFile(paths[2].c_str());
        EXPECT_EQ(ItemText(d, IDC_MULTI_COUNT), "Need 2-3 photos, Now have 3:");
        EXPECT_FALSE(Enabled(d, IDC_MULTI_ADD));
        EXPECT_TRUE(Enabled(d, IDOK));
        return IDCANCEL;
    });
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MultiDialogsTest, AnOpenPhotoTooSmallClosesStepOneWithTwoMessages)
{
    CQLImage small;
    small.Create(500, 700);
    const std::string path = (dir / "small.bmp").string();
    ASSERT_EQ(small.SaveToFile(path.c_str()), 0);
    CMultiNRWork work;
    std::vector<std::string> boxes;
    int shown = 0;
    const int answer = RunStep1(work, path, boxes, [&](CMultiPhotoSelectDlg&) { return ++shown, IDOK; });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(boxes, (std::vector<std::string>{"This function need big images at least 600x600",
                                               "Unexpected error when add file"}));
    EXPECT_EQ(work.PhotoCount(), 0);
}

TEST(AntiShakeStepRank, ReferenceIsTheMedianOrPhotoHalfN)
{
    struct Case {
        std::vector<ULONGLONG> ranks;
        int reference;
    } cases[] = {
        {{10, 20}, 0},       // two photos: the earlier (or darker) one
        {{20, 10}, 1},
        {{5, 5}, 1},         // same instant: nobody has exactly one later, so n/2
        {{1, 2, 3}, 1},
        {{3, 3, 3}, 1},
        {{7, 1, 4, 9}, 2},
        {{9, 9, 1, 1}, 2},   // the first with two higher
    };
    for (const Case& c : cases)
        EXPECT_EQ(CAntiShakeStepDlg::ChooseByRank(c.ranks), c.reference) << c.ranks.size() << " " << c.ranks[0];
}

TEST(AntiShakeStepPrune, UnalignedPhotosGoAndTheReferenceStays)
{
    CMultiNRWork work;
    const int aligned[5] = {0, 1, 0, 1, 1};
    for (int i = 0; i < 5; ++i) {
        work.photos.push_back(new MergePhoto);
        work.photos.back()->aligned = aligned[i];
        std::snprintf(work.photos.back()->name, sizeof work.photos.back()->name, "p%d", i);
    }
    work.referenceIndex = 2; // not aligned, as the reference never is analysed
    work.photos[2]->aligned = 0;
    CAntiShakeStepDlg dlg(&work, nullptr);
    dlg.PruneUnaligned();
    ASSERT_EQ(work.PhotoCount(), 4);
    EXPECT_STREQ(work.photos[0]->name, "p1");
    EXPECT_STREQ(work.photos[work.referenceIndex]->name, "p2");
    EXPECT_EQ(work.referenceIndex, 1);
    EXPECT_STREQ(work.photos[3]->name, "p4");
}

// Steps 2 and 3 with the real alignment on three crops at known offsets.
TEST_F(MultiDialogsTest, RealCropsAlignInStepTwoAndMerge)
{
    CMultiNRWork work;
    if (!MakeCrops(work))
        GTEST_SKIP() << "corpus photo absent";
    const int shifts[3][2] = {{0, 0}, {14, 9}, {-11, 6}};
    for (MergePhoto* p : work.photos)
        p->transform[2] = p->transform[5] = 0;
    std::vector<std::string> boxes;
    bool grabbed = false;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (!dialog)
            return boxes.push_back(text ? text : ""), IDYES;
        EXPECT_EQ(ItemText(*dialog, IDC_SHAKE_STATUS), "Click 'Next' to start");
        // Without anti-shake the settings do not apply.
        dialog->CheckDlgButton(IDC_SHAKE_ENABLE, BST_UNCHECKED);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHAKE_ENABLE, BN_CLICKED), 0);
        EXPECT_FALSE(Enabled(*dialog, IDC_SHAKE_RANGE));
        EXPECT_FALSE(Enabled(*dialog, IDC_SHAKE_ACCURACY));
        dialog->CheckDlgButton(IDC_SHAKE_ENABLE, BST_CHECKED);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHAKE_ENABLE, BN_CLICKED), 0);
        EXPECT_TRUE(Enabled(*dialog, IDC_SHAKE_RANGE));
        dialog->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(Enabled(*dialog, IDOK));
        // Grab during the last photo's analysis (its own 100 % resets the bar).
        PumpUntil([&] {
            return ItemText(*dialog, IDC_SHAKE_STATUS) == "Analyse shake for photo 3" || !::IsWindow(dialog->m_hWnd);
        });
        if (::IsWindow(dialog->m_hWnd)) {
            PumpUntil([&] { return dialog->SendDlgItemMessage(IDC_SHAKE_BAR, PBM_GETPOS) >= 67 || !::IsWindow(dialog->m_hWnd); }, 5000);
            if (::IsWindow(dialog->m_hWnd)) {
                SaveGrab(*dialog, "multishot-step2.png");
                grabbed = true;
            }
        }
        return qlafx::kModalRun;
    });
    CAntiShakeStepDlg step(&work, nullptr);
    ASSERT_EQ(step.DoModal(), IDOK);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(grabbed);
    const int ref = work.referenceIndex;
    EXPECT_EQ(ref, 1); // created second of three
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(work.photos[i]->aligned) << i;
        EXPECT_NEAR(work.photos[i]->transform[2], shifts[ref][0] - shifts[i][0], 1.0) << i;
        EXPECT_NEAR(work.photos[i]->transform[5], shifts[ref][1] - shifts[i][1], 1.0) << i;
    }

    qlafx::SetModalHook({});
    CMultiProgressDlg progress(&work, nullptr);
    ASSERT_EQ(progress.DoModal(), IDOK);
    UINT w = 0, h = 0;
    work.GetResult().GetSize(&w, &h);
    // Common area in the reference's frame: x in [14, 1174), y in [9, 896);
    // the corners of each uncovered strip trim a little more.
    EXPECT_LE(w, 1175u);
    EXPECT_GE(w, 1120u);
    EXPECT_LE(h, 887u);
    EXPECT_GE(h, 830u);
    for (UINT y = 0; y < h; y += 5)
        for (UINT x = 0; x < w; x += 5)
            ASSERT_EQ(work.GetResult().GetPixel2(x, y).a, 3) << x << "," << y;
}

// The whole tool from the open photo to its undo step.
class MultiRunTest : public MultiDialogsTest {
protected:
    // Opens crop 0 and answers the steps: Step 1 adds crops 1 and 2, Step 2
    // starts the analysis, the progress dialog runs; before the merge
    // beforeMerge is called.
    BOOL RunTool(CMultiWork& work, std::vector<std::string>& boxes, const std::function<void()>& beforeMerge)
    {
        CMultiNRWork files;
        if (!MakeCrops(files))
            return -1;
        paths.clear();
        for (MergePhoto* p : files.photos)
            paths.push_back(p->path);
        CQLImageCodec codec;
        EXPECT_TRUE(codec.LoadFile(paths[0].c_str(), &thePhotoDocument.m_image));
        std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "%s", paths[0].c_str());
        thePhotoDocument.m_history.Reset();
        EXPECT_EQ(thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open"), 1);
        original.DuplicateFrom(&thePhotoDocument.m_image);
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
            if (!dialog)
                return boxes.push_back(text ? text : ""), IDOK;
            if (auto* select = dynamic_cast<CMultiPhotoSelectDlg*>(dialog)) {
                select->AddFile(paths[1].c_str());
                select->AddFile(paths[2].c_str());
            } else if (dynamic_cast<CMultiProgressDlg*>(dialog)) {
                beforeMerge();
                return qlafx::kModalRun;
            }
            dialog->SendMessage(WM_COMMAND, IDOK, 0);
            return qlafx::kModalRun;
        });
        const BOOL done = work.Run();
        qlafx::SetModalHook({});
        thePhotoDocument.m_path[0] = '\0';
        return done;
    }
    bool PhotoUnchanged() const
    {
        const CQLImage& now = thePhotoDocument.m_image;
        return now.GetAreaByteSize() == original.GetAreaByteSize() &&
               std::memcmp(now.GetBuffer(0, 0), original.GetBuffer(0, 0), now.GetAreaByteSize()) == 0;
    }

    std::vector<std::string> paths;
    CQLImage original;
};

TEST_F(MultiRunTest, NoiseReductionEndsInOneUndoStep)
{
    CMultiNRWork work;
    std::vector<std::string> boxes;
    const BOOL done = RunTool(work, boxes, [] {});
    if (done == -1)
        GTEST_SKIP() << "corpus photo absent";
    EXPECT_EQ(done, TRUE);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
    char names[256] = {};
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,Multi-NR,");
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    EXPECT_GT(w, 1100u);
    EXPECT_LT(w, 1200u);
}

TEST_F(MultiRunTest, APhotoThatVanishesLeavesPhotoAndHistoryUnchanged)
{
    CMultiASWork work;
    std::vector<std::string> boxes;
    const BOOL done = RunTool(work, boxes, [&] { std::filesystem::remove(paths[2]); });
    if (done == -1)
        GTEST_SKIP() << "corpus photo absent";
    EXPECT_EQ(done, FALSE);
    EXPECT_EQ(boxes, std::vector<std::string>{"Unexpected error"});
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    EXPECT_TRUE(PhotoUnchanged());
}

TEST_F(MultiDialogsTest, ToolWindowOffersTheToolsAndClosesAfterOne)
{
    CMultiNRWork files;
    if (!MakeCrops(files))
        GTEST_SKIP() << "corpus photo absent";
    std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "%s", files.photos[0]->path);
    int step1Shown = 0;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) -> int {
        if (!dialog)
            return IDOK;
        if (dynamic_cast<CMultiPhotoSelectDlg*>(dialog))
            return ++step1Shown, IDCANCEL;
        auto& d = static_cast<CMultiShootDlg&>(*dialog);
        CRect window;
        d.GetWindowRect(&window);
        EXPECT_EQ(window.Width(), 490);
        CRect cancel;
        d.GetDlgItem(IDCANCEL)->GetWindowRect(&cancel);
        EXPECT_EQ(cancel.Width(), 465);
        for (CImgButton& b : d.m_buttons)
            EXPECT_NE(b.GetSafeHwnd(), nullptr);
        for (UINT id : {IDC_MULTI_NR, IDC_MULTI_AS, IDC_MULTI_HDR})
            EXPECT_TRUE(Enabled(d, id)) << id;
        SaveGrab(d, "multishot-tools.png");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MULTI_NR, BN_CLICKED), 0);
        return qlafx::kModalRun;
    });
    CMultiShootDlg dlg(nullptr);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(step1Shown, 1);
    thePhotoDocument.m_path[0] = '\0';
}

TEST(HDRDetailTables, EnhanceWidensTheSwing)
{
    BYTE bright[256], dark[256];
    CHDRDetailDlg::BuildTables(33, 33, 50, bright, dark);
    struct Case {
        int k, bright, dark;
    } cases[] = {
        {0, 65, 1},     // a = -128 * 50 / 200 = -32
        {128, 33, 33},
        {255, 2, 64},   // a = 127 * 50 / 200 = 31
        {100, 40, 26},  // a = -28 * 50 / 200 = -7
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bright[c.k], c.bright) << c.k;
        EXPECT_EQ(dark[c.k], c.dark) << c.k;
    }
    CHDRDetailDlg::BuildTables(90, 0, 100, bright, dark);
    EXPECT_EQ(bright[0], 100); // 90 + 64 clamped
    EXPECT_EQ(dark[0], 0);     // -64 clamped
}

TEST(HDRDetailTables, RebalancingKeepsTheMovedShare)
{
    struct Case {
        HDRShares before;
        UINT moved;
        HDRShares after;
    } cases[] = {
        {{33, 100, 33}, IDC_HDR_MIDTONE, {0, 100, 0}},
        {{100, 33, 33}, IDC_HDR_HIGHLIGHT, {100, 1, 0}},
        {{50, 33, 33}, IDC_HDR_HIGHLIGHT, {50, 25, 25}},
        {{20, 30, 10}, IDC_HDR_SHADOW, {36, 54, 10}},  // 90 in 2 : 3
        {{0, 50, 0}, IDC_HDR_MIDTONE, {0, 50, 0}},    // both 0: unchanged
    };
    for (const Case& c : cases) {
        const HDRShares s = CHDRDetailDlg::Rebalance(c.before, c.moved);
        EXPECT_EQ(s.highlight, c.after.highlight) << c.moved;
        EXPECT_EQ(s.midtone, c.after.midtone) << c.moved;
        EXPECT_EQ(s.shadow, c.after.shadow) << c.moved;
    }
}

TEST_F(MultiDialogsTest, HdrDetailPreviewsAndWritesTheWeights)
{
    CMultiHDRWork work;
    if (!MakeCrops(work, true))
        GTEST_SKIP() << "corpus photo absent";
    work.referenceIndex = 1;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) -> int {
        if (!dialog)
            return IDOK;
        auto& d = static_cast<CHDRDetailDlg&>(*dialog);
        EXPECT_EQ(d.darkerPhoto, work.photos[0]);
        EXPECT_EQ(d.brighterPhoto, work.photos[2]);
        EXPECT_EQ(d.m_sliders[0].GetPos(), 33);
        EXPECT_EQ(d.m_sliders[1].GetPos(), 33);
        EXPECT_EQ(d.m_sliders[2].GetPos(), 33);
        EXPECT_EQ(d.m_sliders[3].GetPos(), 50);
        UINT w = 0, h = 0;
        d.result.GetSize(&w, &h);
        EXPECT_EQ(w, 512u);
        SaveGrab(d, "multishot-hdr.png");
        d.SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    CHDRDetailDlg dlg(&work, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // Dark tones: the brighter photo 65, the darker 1, the reference 34.
    EXPECT_EQ(work.photos[2]->weights[0], 65);
    EXPECT_EQ(work.photos[0]->weights[0], 1);
    EXPECT_EQ(work.photos[1]->weights[0], 34);
    EXPECT_EQ(work.photos[1]->weights[128], 34);
}

// A real bracketed pair through HDR: a merged photo with one step, or the
// refusal with the photo unchanged; never a hang or a half photo.
TEST_F(MultiRunTest, RealHdrPairMergesOrIsRefused)
{
    const std::string dirHdr = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/hdr/";
    const std::string no = dirHdr + "iphone_hdr_NO.jpg", yes = dirHdr + "iphone_hdr_YES.jpg";
    CQLImageCodec codec;
    if (!std::filesystem::exists(no) || !codec.LoadFile(no.c_str(), &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus pair absent";
    std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "%s", no.c_str());
    thePhotoDocument.m_history.Reset();
    ASSERT_EQ(thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open"), 1);
    original.DuplicateFrom(&thePhotoDocument.m_image);
    std::vector<std::string> boxes;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (!dialog)
            return boxes.push_back(text ? text : ""), IDYES;
        if (auto* select = dynamic_cast<CMultiPhotoSelectDlg*>(dialog))
            select->AddFile(yes.c_str());
        if (!dynamic_cast<CMultiProgressDlg*>(dialog))
            dialog->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    CMultiHDRWork work;
    const BOOL done = work.Run();
    qlafx::SetModalHook({});
    thePhotoDocument.m_path[0] = '\0';
    char names[256] = {};
    std::printf("HDR pair: %s\n", done ? "merged" : "refused");
    if (done) {
        EXPECT_TRUE(boxes.empty());
        EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,Multi-HDR,");
        UINT w = 0, h = 0, ow = 0, oh = 0;
        thePhotoDocument.m_image.GetSize(&w, &h);
        original.GetSize(&ow, &oh);
        EXPECT_GT(w, ow / 2);
        EXPECT_LE(w, ow);
    } else {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].substr(0, 40), "Can not find enough qualified photos to ");
        EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
        EXPECT_TRUE(PhotoUnchanged());
    }
}

}  // namespace
