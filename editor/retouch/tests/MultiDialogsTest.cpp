#include "editor/ui/tests/EffectDialogTestEnv.h"

#include "editor/retouch/MultiProgressDlg.h"
#include "editor/retouch/MultiWork.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

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

    // Three 1200 x 900 crops of the corpus photo, listed in the work.
    bool MakeCrops(CMultiWork& work)
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

}  // namespace
