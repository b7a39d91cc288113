// "What's wrong with your photo?": the chains and their information boxes,
// the show-after-open flag, the two tabs, the feature list, a missing hover
// face, the gallery address, and grabs.
#include "AdjustTestSupport.h"

#include "editor/adjust/WhatsWrongDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/QtBridge.h"
#include "platform/win/Process.h"

#include <QPainter>
#include <QWidget>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace fixwizard;

// What the test runners saw, in order, and what they answer.
std::vector<std::string> g_log;
std::deque<int> g_answers;
CWnd* g_wizard = nullptr;

const char* const kNames[kDialogCount] = {
    "AutoExposure", "DynamicRange", "SpotMetering", "WhiteBalance", "VisualColor", "CorrectDistortion",
    "NoiseReduction", "Defog", "ColorEnhancement", "DigitalBeauty", "RedEye", "AntiPurple", "SmartErase",
    "ModifyShape", "ImageSize", "FreeRotate", "DarkCorners", "AutoProcess", "ColorTheme", "ToneMaker",
    "GradientFilter", "StarLight", "GaussDiffuse", "HighlightDiffuse"};

template <int D>
int FakeRunner(CWnd*)
{
    std::string entry = kNames[D];
    if (g_wizard && !g_wizard->IsWindowVisible())
        entry += " (wizard hidden)";
    g_log.push_back(entry);
    if (g_answers.empty())
        return IDCANCEL;
    const int answer = g_answers.front();
    g_answers.pop_front();
    return answer;
}

template <int... D>
void SetFakeRunners(std::integer_sequence<int, D...>)
{
    (SetRunner(static_cast<Dialog>(D), &FakeRunner<D>), ...);
}

class WhatsWrongDlgTest : public adjusttest::AdjustDialogTest {
protected:
    void SetUp() override
    {
        AdjustDialogTest::SetUp();
        for (int d = 0; d < kDialogCount; ++d)
            m_saved[d] = GetRunner(static_cast<Dialog>(d));
        SetFakeRunners(std::make_integer_sequence<int, kDialogCount>{});
        g_log.clear();
        g_answers.clear();
        ShowFixWizardAfterOpen = 0;
        m_answer = [](const adjusttest::Box& box) {
            g_log.push_back(box.caption == "Quillo" ? "box: " + box.text : "box (" + box.caption + "): " + box.text);
            return IDOK;
        };
    }
    void TearDown() override
    {
        for (int d = 0; d < kDialogCount; ++d)
            SetRunner(static_cast<Dialog>(d), m_saved[d]);
        CMainFrame::SetAfterOpenRunner(nullptr);
        qlwin::SetShellExecuteHook({});
        ShowFixWizardAfterOpen = 0;
        g_wizard = nullptr;
        AdjustDialogTest::TearDown();
    }
    // Runs the wizard; work gets it and returns its end code.
    int Run(std::function<int(CWhatsWrongDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CWhatsWrongDlg*>(dialog);
            if (!dlg)
                return IDCANCEL;
            g_wizard = dlg;
            const int result = work(dlg);
            g_wizard = nullptr;
            return result;
        };
        return RunWhatsWrongDlg(m_frame);
    }
    static void SelectRow(CWhatsWrongDlg* dlg, int row)
    {
        for (int i = 0; i < dlg->m_features.GetItemCount(); ++i) {
            LVITEM lv{};
            lv.mask = LVIF_PARAM;
            lv.iItem = i;
            dlg->m_features.GetItem(&lv);
            dlg->m_features.SetItemState(i, lv.lParam == row ? LVIS_SELECTED : 0, LVIS_SELECTED);
        }
    }

    Runner m_saved[kDialogCount] = {};
};

const std::string kThreeWays = "box: Tip:\nWe will give you three ways to solve this problem, if you are not satisfied "
                               "with the result, \nsimply click 'Cancel' to skip it and try next one.";
const std::string kTwoWays = "box: Tip:\nWe will give you two ways to solve this problem, if you are not satisfied "
                             "with the result of \nthe first one, simply click 'Cancel' to skip it and try the second way.";

TEST_F(WhatsWrongDlgTest, ProblemsRunTheirDialogsAndChainsGoOnOnlyAfterCancel)
{
    struct Case {
        UINT command;
        std::vector<int> answers;
        std::vector<std::string> log;
        int result;
    };
    const Case cases[] = {
        {4097, {IDOK}, {kThreeWays, "AutoExposure"}, IDOK},
        {4097, {IDCANCEL, IDOK}, {kThreeWays, "AutoExposure", "DynamicRange"}, IDOK},
        {4097, {IDCANCEL, IDCANCEL, IDCANCEL}, {kThreeWays, "AutoExposure", "DynamicRange", "SpotMetering"}, IDCANCEL},
        {4098, {IDOK}, {kTwoWays, "WhiteBalance"}, IDOK},
        {4098, {IDCANCEL, IDCANCEL}, {kTwoWays, "WhiteBalance", "VisualColor"}, IDCANCEL},
        {4100, {IDCANCEL, IDOK}, {kTwoWays, "AutoExposure", "Defog"}, IDOK},
        {4099, {IDOK}, {"ColorEnhancement"}, IDOK},
        {4101, {IDOK}, {"NoiseReduction"}, IDOK},
        {4102, {IDCANCEL}, {"DigitalBeauty"}, IDCANCEL},
        {4104, {IDOK}, {"RedEye"}, IDOK},
        {4105, {IDOK}, {"ImageSize"}, IDOK},
        {4112, {IDOK}, {"AntiPurple"}, IDOK},
        {4115, {IDOK}, {"ModifyShape"}, IDOK},
        {4116, {IDOK}, {"SmartErase"}, IDOK},
        {4113, {IDOK}, {"CorrectDistortion (wizard hidden)"}, IDOK},
        {4103, {IDOK}, {"FreeRotate"}, IDOK},
        {4114, {IDOK}, {"DarkCorners"}, IDOK},
    };
    OpenPhoto(64, 48);
    Run([&](CWhatsWrongDlg* dlg) {
        for (const Case& c : cases) {
            g_log.clear();
            g_answers.assign(c.answers.begin(), c.answers.end());
            EXPECT_EQ(dlg->RunProblem(c.command), c.result) << c.command;
            EXPECT_EQ(g_log, c.log) << c.command;
            EXPECT_TRUE(dlg->IsWindowVisible()) << c.command;
        }
        // The buttons send the same commands.
        g_log.clear();
        g_answers = {IDOK};
        dlg->SendMessage(WM_COMMAND, 4104, 0);
        EXPECT_EQ(g_log, std::vector<std::string>{"RedEye"});
        return IDCANCEL;
    });
}

TEST_F(WhatsWrongDlgTest, MissingDialogCountsAsCancelledAndDisablesItsButtons)
{
    SetRunner(kDynamicRange, nullptr);
    SetRunner(kCorrectDistortion, nullptr);
    SetRunner(kColorTheme, nullptr);
    OpenPhoto(64, 48);
    Run([&](CWhatsWrongDlg* dlg) {
        g_answers = {IDCANCEL, IDOK};
        EXPECT_EQ(dlg->RunProblem(4097), IDOK);
        EXPECT_EQ(g_log, (std::vector<std::string>{kThreeWays, "AutoExposure", "SpotMetering"}));
        EXPECT_FALSE(dlg->GetDlgItem(4113)->IsWindowEnabled());
        EXPECT_TRUE(dlg->GetDlgItem(4097)->IsWindowEnabled());
        g_log.clear();
        EXPECT_EQ(dlg->RunProblem(4113), IDCANCEL);
        EXPECT_TRUE(g_log.empty());
        // The Color Theme row is left out; the others keep their own meaning.
        EXPECT_EQ(dlg->m_features.GetItemCount(), kFeatures - 1);
        SelectRow(dlg, 2);
        dlg->SendMessage(WM_COMMAND, IDC_WIZARD_GO, 0);
        EXPECT_EQ(g_log, std::vector<std::string>{"ToneMaker"});
        return IDCANCEL;
    });
}

TEST_F(WhatsWrongDlgTest, FeatureRowsShowTheirTextsOrRunTheirDialogs)
{
    struct Case {
        int row;
        std::string log;
    };
    const Case cases[] = {
        {0, "box: This function is in 'QuilloShelf' program!\r\nSelect the photos you wangto edit, and click menu "
            "'Edit-Batch processing'"},
        {7, "box: This function is in 'QuilloShelf' program!\r\n\r\nCopy your favorite photos into one folder then "
            "select 'Tools-Make Screen Saver'"},
        {8, "box: This function is in 'QuilloShelf' program!\r\n\r\nSelect the photos need to print in 'Album', then "
            "select 'File-Print' or 'File-Typeset before print'"},
        {1, "ColorTheme"},
        {5, "GaussDiffuse"},
        {6, "HighlightDiffuse"},
    };
    OpenPhoto(64, 48);
    Run([&](CWhatsWrongDlg* dlg) {
        EXPECT_EQ(dlg->m_features.GetItemCount(), kFeatures);
        // Nothing selected: only the redraw.
        dlg->SendMessage(WM_COMMAND, IDC_WIZARD_GO, 0);
        EXPECT_TRUE(g_log.empty());
        for (const Case& c : cases) {
            g_log.clear();
            SelectRow(dlg, c.row);
            dlg->SendMessage(WM_COMMAND, IDC_WIZARD_GO, 0);
            EXPECT_EQ(g_log, std::vector<std::string>{c.log}) << c.row;
        }
        // A double click runs the selected row too.
        g_log.clear();
        SelectRow(dlg, 3);
        NMHDR header{dlg->m_features.m_hWnd, IDC_WIZARD_FEATURES, static_cast<UINT>(NM_DBLCLK)};
        dlg->SendMessage(WM_NOTIFY, IDC_WIZARD_FEATURES, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(g_log, std::vector<std::string>{"GradientFilter"});
        return IDCANCEL;
    });
}

TEST_F(WhatsWrongDlgTest, TabsShowOneGroupAndARepaintKeepsIt)
{
    OpenPhoto(64, 48);
    Run([&](CWhatsWrongDlg* dlg) {
        auto visible = [](const std::vector<CWnd*>& group) {
            int n = 0;
            for (CWnd* w : group)
                n += w->IsWindowVisible() ? 1 : 0;
            return n;
        };
        const int problems = static_cast<int>(dlg->m_whatsWrongGroup.size());
        const int others = static_cast<int>(dlg->m_otherFunctionsGroup.size());
        EXPECT_EQ(problems, kProblems + 2);
        EXPECT_EQ(others, 2);
        for (int tab : {1, 0, 1}) {
            dlg->m_tab.SetCurSel(tab);
            NMHDR header{dlg->m_tab.m_hWnd, IDC_WIZARD_TAB, static_cast<UINT>(TCN_SELCHANGE)};
            dlg->SendMessage(WM_NOTIFY, IDC_WIZARD_TAB, reinterpret_cast<LPARAM>(&header));
            for (int repaint = 0; repaint < 2; ++repaint) {
                EXPECT_EQ(visible(dlg->m_whatsWrongGroup), tab == 0 ? problems : 0) << tab;
                EXPECT_EQ(visible(dlg->m_otherFunctionsGroup), tab == 1 ? others : 0) << tab;
                dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                qlafx::ProcessPendingEvents();
            }
        }
        return IDCANCEL;
    });
}

TEST_F(WhatsWrongDlgTest, EveryCloseStoresTheCheckBox)
{
    struct Case {
        const char* how;
        UINT command;
        int result;
    };
    OpenPhoto(64, 48);
    for (const Case& c : {Case{"Close", IDCANCEL, IDCANCEL}, Case{"OK", IDOK, IDOK}, Case{"Escape", 0, IDCANCEL}}) {
        for (int ticked : {1, 0}) {
            ShowFixWizardAfterOpen = 1 - ticked;
            const int result = Run([&](CWhatsWrongDlg* dlg) {
                EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_WIZARD_SHOW_AFTER_OPEN), static_cast<UINT>(1 - ticked));
                dlg->CheckDlgButton(IDC_WIZARD_SHOW_AFTER_OPEN, ticked ? BST_CHECKED : BST_UNCHECKED);
                if (c.command)
                    dlg->SendMessage(WM_COMMAND, c.command, 0);
                else
                    dlg->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0), dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
                return qlafx::kModalRun;
            });
            EXPECT_EQ(result, c.result) << c.how;
            EXPECT_EQ(ShowFixWizardAfterOpen, ticked) << c.how;
        }
    }
}

TEST_F(WhatsWrongDlgTest, OpeningAFileShowsTheWizardOnceTicked)
{
    CMainFrame::SetAfterOpenRunner([](CMainFrame* frame) { return RunFixWizardAfterOpen(frame); });
    CQLImage picture;
    shelltest::MakeImage(&picture, 40, 30, [](int x, int y) { return CPixel{BYTE(x), BYTE(y), 90, 255}; });
    const std::string path = m_folder.Path() + "photo.bmp";
    ASSERT_EQ(picture.SaveToFile(path.c_str()), 0);
    int shown = 0;
    m_work = [&](CWnd* dialog) {
        if (dynamic_cast<CWhatsWrongDlg*>(dialog))
            ++shown;
        return IDCANCEL;
    };
    for (int flag : {0, 1, 1}) {
        const int before = shown;
        ShowFixWizardAfterOpen = flag;
        ASSERT_TRUE(m_frame->OpenImageFile(path.c_str(), 1));
        EXPECT_EQ(shown - before, flag);
    }
}

TEST_F(WhatsWrongDlgTest, MissingHoverFaceStopsTheWizard)
{
    namespace fs = std::filesystem;
    const fs::path skin = fs::path(m_folder.Path()) / "program" / "skin";
    fs::create_directories(skin);
    for (const auto& entry : fs::directory_iterator(fs::path(QUILLO_PROGRAM_DIR) / "skin"))
        if (entry.path().filename() != "p_redeye.bmp")
            fs::copy_file(entry.path(), skin / entry.path().filename());
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%sprogram/",
                  m_folder.Path().c_str());
    OpenPhoto(64, 48);
    int shown = 0;
    const int result = Run([&](CWhatsWrongDlg*) {
        ++shown;
        return IDCANCEL;
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(shown, 0);
}

TEST_F(WhatsWrongDlgTest, EffectGalleryOpensTheGalleryPage)
{
    std::vector<std::string> opened;
    qlwin::SetShellExecuteHook([&](LPCSTR verb, LPCSTR file, LPCSTR) {
        opened.push_back(std::string(verb) + " " + file);
        return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(42));
    });
    OpenPhoto(64, 48);
    Run([&](CWhatsWrongDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, IDC_WIZARD_GALLERY, 0);
        return IDCANCEL;
    });
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "open " + CMainFrame::WebAddressOf(32895));
    EXPECT_NE(opened[0].find("/eng/QL/Effects/index.htm"), std::string::npos);
}

TEST_F(WhatsWrongDlgTest, Grabs)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/canon-ixus.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1000, 720);
    m_frame->m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_frame->ShowWindow(SW_SHOW);
    std::string grab, list;
    Run([&](CWhatsWrongDlg* dlg) {
        EXPECT_EQ(dlg->m_features.GetItemCount(), kFeatures);
        CImgButton& redEye = dlg->m_problems[7];
        EXPECT_EQ(redEye.GetDlgCtrlID(), 4104);
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        // The pointer arrives over "Red Eyes": its hover face.
        redEye.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(redEye.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(redEye.m_hover, 1);
        CRect where;
        dlg->GetWindowRect(&where);
        m_frame->ScreenToClient(&where);
        QImage picture = m_frame->GetWidget()->grab().toImage();
        {
            QPainter p(&picture);
            p.drawImage(where.TopLeft().x, where.TopLeft().y, dlg->GetWidget()->grab().toImage());
        }
        grab = shelltest::SaveGrab(picture, "adjust-wizard");
        dlg->ShowTab(1);
        SelectRow(dlg, 3);
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        list = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-wizard-list");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
    EXPECT_FALSE(list.empty());
}

}  // namespace
