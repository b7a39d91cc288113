// "Color Theme": the sample themes listed with previews, folders opened and
// left, the amount re-running on release, OK with one undo step, an empty
// theme folder, and a grab on a corpus photo.
#include "../../shell/tests/ShellWindowsTestSupport.h"
#include "ToneTestSupport.h"

#include "algorithms/ColorThemeAlgorithm.h"
#include "editor/adjust/ColorThemeDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;

std::vector<std::string> Items(const CColorThemeDlg* dlg)
{
    std::vector<std::string> names;
    for (int i = 0; i < dlg->list.GetItemCount(); ++i)
        names.emplace_back(dlg->list.GetItem(i)->text);
    return names;
}

int IndexOf(const CColorThemeDlg* dlg, const char* name)
{
    const auto names = Items(dlg);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

class ColorThemeDlgTest : public adjusttest::ToneDialogTest<CColorThemeDlg> {
protected:
    void TearDown() override
    {
        ToneDialogTest::TearDown();
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    }
    void OpenPhoto(const CQLImage* photo = nullptr)
    {
        if (photo)
            thePhotoDocument.m_image.DuplicateFrom(photo);
        else
            shelltest::MakeImage(&thePhotoDocument.m_image, 300, 200, [](int x, int y) {
                return CPixel{static_cast<BYTE>(x % 256), static_cast<BYTE>(y), static_cast<BYTE>((x + y) % 256), 255};
            });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    int Run(std::function<int(CColorThemeDlg*)> work)
    {
        RunCommand(32839, std::move(work));
        return 0;
    }
    static void Select(CColorThemeDlg* dlg, int index)
    {
        dlg->list.SelectItem(0, index);
        dlg->SendMessage(WM_THUMBLIST_NOTIFY, ThumbListSelChange, 0);
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
    }
    static void SetAmount(CColorThemeDlg* dlg, int amount)
    {
        dlg->amountSlider.SetPos(amount);
        NMHDR nm{dlg->amountSlider.m_hWnd, IDC_THEME_AMOUNT, static_cast<UINT>(NM_RELEASEDCAPTURE)};
        dlg->SendMessage(WM_NOTIFY, IDC_THEME_AMOUNT, reinterpret_cast<LPARAM>(&nm));
        EXPECT_TRUE(PumpUntil([&] { return !dlg->JobPending(); }));
    }

};

} // namespace

TEST_F(ColorThemeDlgTest, ListsSampleThemesAndFoldersAndAppliesWithAnUndoStep)
{
    OpenPhoto();
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int steps = thePhotoDocument.m_history.GetCount();
    std::vector<std::string> top, film;
    bool halfway = false, noJobAtOpening = false;
    Run([&](CColorThemeDlg* dlg) {
        noJobAtOpening = !dlg->JobPending();
        top = Items(dlg);
        // Into "Film" and back by the ".." item.
        dlg->list.SelectItem(0, IndexOf(dlg, "Film"));
        dlg->SendMessage(WM_THUMBLIST_NOTIFY, ThumbListActivate, 0);
        film = Items(dlg);
        dlg->list.SelectItem(0, 0);
        dlg->SendMessage(WM_THUMBLIST_NOTIFY, ThumbListActivate, 0);
        EXPECT_EQ(Items(dlg), top);
        // A theme at Amount 50 is half the played theme and half the photo.
        const int cross = IndexOf(dlg, "Cross processing");
        Select(dlg, cross);
        SetAmount(dlg, 50);
        ColorThemeAlgorithm full;
        CQLImage played;
        full.SetImages(&thePhotoDocument.m_image, &played);
        EXPECT_EQ(full.Apply(dlg->SelectedTheme()), 0);
        const BYTE* p = played.GetBuffer(10, 20);
        const BYTE* s = thePhotoDocument.m_image.GetBuffer(10, 20);
        const BYTE* r = dlg->result.GetBuffer(10, 20);
        halfway = true;
        for (int k = 0; k < 3; ++k)
            halfway = halfway && r[k] == (s[k] * 50 + p[k] * 50) / 100;
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_TRUE(noJobAtOpening);
    EXPECT_EQ(top, (std::vector<std::string>{"Film", "Cross processing", "Sepia", "Soft glow", "Warm hues"}));
    EXPECT_EQ(film, (std::vector<std::string>{"..", "Faded film"}));
    EXPECT_TRUE(halfway);
    EXPECT_FALSE(SamePixels(before, thePhotoDocument.m_image));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
}

TEST_F(ColorThemeDlgTest, EmptyThemeFolderSaysSoAndCloses)
{
    OpenPhoto();
    // A program folder with the skin but no themes.
    std::filesystem::create_directory_symlink(std::string(QUILLO_PROGRAM_DIR) + "/skin", m_folder.Path() + "skin");
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s",
                  m_folder.Path().c_str());
    Run([&](CColorThemeDlg*) { return IDCANCEL; });
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], "No theme file found.\nYou can create your color themes by 'Professinal Histograms' function.");
}

TEST_F(ColorThemeDlgTest, GrabOfACorpusPhoto)
{
    CQLImage photo;
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg", &photo))
        GTEST_SKIP() << "corpus photo absent";
    OpenPhoto(&photo);
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    bool changed = false;
    Run([&](CColorThemeDlg* dlg) {
        Select(dlg, IndexOf(dlg, "Cross processing"));
        SetAmount(dlg, 50);
        qlafx::ProcessPendingEvents();
        changed = !SamePixels(dlg->result, photo);
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-colortheme");
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(grab.empty());
    EXPECT_TRUE(changed);
}
