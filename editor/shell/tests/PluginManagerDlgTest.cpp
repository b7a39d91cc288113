#include "PluginTestSupport.h"

#include "editor/shell/PluginHost.h"
#include "editor/shell/PluginManagerDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/MessageBox.h"

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

class PluginManagerDlgTest : public plugintest::PluginTreeTest {
protected:
    void SetUp() override
    {
        PluginTreeTest::SetUp();
        Place("test_effect_a", "a.qli");
        Place("test_effect_b", "Tone/b.qli");
        Place("test_paint_tool", "daub.qli");
        MakeFolder(".git");
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        PluginTreeTest::TearDown();
    }
    // Runs the manager; work gets the dialog once it is up. Message boxes
    // are recorded and answered by m_answer; a prompt gets m_promptText.
    int Run(const std::function<void(CPluginManagerDlg&)>& work)
    {
        qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char* text, UINT) -> int {
            if (!dialog) {
                m_boxes.push_back(text ? text : "");
                return m_answer;
            }
            if (auto* manager = dynamic_cast<CPluginManagerDlg*>(dialog)) {
                work(*manager);
                return IDOK;
            }
            // The folder-name prompt.
            m_prompts.push_back(caption ? caption : "");
            if (m_promptText.empty())
                return IDCANCEL;
            dialog->SetDlgItemText(IDC_PROMPT_EDIT, m_promptText.c_str());
            dialog->SendMessage(WM_COMMAND, IDOK, 0);
            return IDOK;
        });
        return RunPluginManager(nullptr);
    }
    static std::vector<std::string> Lines(CPluginManagerDlg& d, UINT list)
    {
        auto* box = static_cast<CListBox*>(d.GetDlgItem(list));
        std::vector<std::string> lines;
        for (int i = 0; i < box->GetCount(); ++i) {
            CString text;
            box->GetText(i, text);
            lines.emplace_back(text.GetString());
        }
        return lines;
    }
    static void Select(CPluginManagerDlg& d, UINT list, int line)
    {
        static_cast<CListBox*>(d.GetDlgItem(list))->SetCurSel(line);
        d.UpdateButtons();
    }
    static bool Enabled(CPluginManagerDlg& d, UINT id) { return d.GetDlgItem(id)->IsWindowEnabled(); }

    std::vector<std::string> m_boxes;
    std::vector<std::string> m_prompts;
    std::string m_promptText;
    int m_answer = IDYES;
};

const std::string kRestart = "You should restart Quillo to make changes effect";

TEST_F(PluginManagerDlgTest, PanesListFoldersThenEffectsAndOpenFolders)
{
    Run([&](CPluginManagerDlg& d) {
        CString caption;
        d.GetWindowText(caption);
        EXPECT_STREQ(caption.GetString(), "Plugins Management");
        EXPECT_EQ(Lines(d, CPluginManagerDlg::kLeftList), (std::vector<std::string>{"[Tone]", "A"}));
        // Same folder: both moves off even with a selection.
        Select(d, CPluginManagerDlg::kLeftList, 1);
        EXPECT_FALSE(Enabled(d, CPluginManagerDlg::kMoveRight));
        EXPECT_FALSE(Enabled(d, CPluginManagerDlg::kMoveLeft));
        Select(d, CPluginManagerDlg::kRightList, 0);
        d.SendMessage(WM_COMMAND, CPluginManagerDlg::kOpenRight, 0);
        EXPECT_EQ(d.m_right.folder, "Tone");
        EXPECT_EQ(Lines(d, CPluginManagerDlg::kRightList), (std::vector<std::string>{"[..]", "B"}));
        CString text;
        d.GetDlgItemText(CPluginManagerDlg::kRightFolderText, text);
        EXPECT_STREQ(text.GetString(), "Tone");
        Select(d, CPluginManagerDlg::kLeftList, 1);
        EXPECT_TRUE(Enabled(d, CPluginManagerDlg::kMoveRight));
        EXPECT_FALSE(Enabled(d, CPluginManagerDlg::kMoveLeft));
        // "[..]" goes back to plugins/ itself, where it is not shown.
        Select(d, CPluginManagerDlg::kRightList, 0);
        d.SendMessage(WM_COMMAND, CPluginManagerDlg::kOpenRight, 0);
        EXPECT_EQ(d.m_right.folder, "");
        EXPECT_EQ(Lines(d, CPluginManagerDlg::kRightList)[0], "[Tone]");
    });
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(PluginManagerDlgTest, MoveSetsTheChangedFlag)
{
    Run([&](CPluginManagerDlg& d) {
        d.m_right.folder = "Tone";
        d.FillPanes();
        Select(d, CPluginManagerDlg::kLeftList, 1);
        d.SendMessage(WM_COMMAND, CPluginManagerDlg::kMoveRight, 0);
        EXPECT_EQ(Lines(d, CPluginManagerDlg::kRightList), (std::vector<std::string>{"[..]", "A", "B"}));
        EXPECT_EQ(Lines(d, CPluginManagerDlg::kLeftList), std::vector<std::string>{"[Tone]"});
    });
    EXPECT_TRUE(fs::exists(m_root + "Tone/a.qli"));
    EXPECT_EQ(m_boxes, std::vector<std::string>{kRestart});
}

TEST_F(PluginManagerDlgTest, FailedMoveSaysSoAndKeepsTheFile)
{
    Place("test_effect_a", "Tone/a.qli"); // the target exists
    Run([&](CPluginManagerDlg& d) {
        d.m_right.folder = "Tone";
        d.FillPanes();
        Select(d, CPluginManagerDlg::kLeftList, 1);
        d.SendMessage(WM_COMMAND, CPluginManagerDlg::kMoveRight, 0);
    });
    EXPECT_TRUE(fs::exists(m_root + "a.qli"));
    EXPECT_EQ(m_boxes, (std::vector<std::string>{
                           "Can not move this plugin file. Close and restart Quillo, then try anagin.", kRestart}));
}

TEST_F(PluginManagerDlgTest, DeleteAsksAndNeedsNoRestart)
{
    for (int answer : {IDNO, IDYES}) {
        m_boxes.clear();
        m_answer = answer;
        Run([&](CPluginManagerDlg& d) {
            Select(d, CPluginManagerDlg::kLeftList, 1);
            d.SendMessage(WM_COMMAND, CPluginManagerDlg::kDelete, 0);
        });
        EXPECT_EQ(m_boxes, std::vector<std::string>{"This plugin will be deleted, are you sure?"});
        EXPECT_EQ(fs::exists(m_root + "a.qli"), answer == IDNO);
    }
}

TEST_F(PluginManagerDlgTest, CreateFolderAndItsRefusals)
{
    struct Case {
        std::string name;
        bool made;
    };
    const Case cases[] = {{"", false}, {"New", true}, {"..", false}, {"a/b", false}, {"a\\b", false}};
    for (const Case& c : cases) {
        m_boxes.clear();
        m_promptText = c.name;
        Run([&](CPluginManagerDlg& d) { d.SendMessage(WM_COMMAND, CPluginManagerDlg::kCreateFolder, 0); });
        // Even a cancelled prompt asks for the restart.
        EXPECT_EQ(m_boxes, std::vector<std::string>{kRestart}) << c.name;
        if (!c.name.empty() && c.name != "..")
            EXPECT_EQ(fs::is_directory(m_root + c.name), c.made) << c.name;
    }
    EXPECT_FALSE(fs::exists(m_root + "a"));
    EXPECT_FALSE(fs::exists(m_folder.Path() + "New"));
    EXPECT_EQ(m_prompts.front(), "Create Directory");
}

TEST_F(PluginManagerDlgTest, Grab)
{
    Run([&](CPluginManagerDlg& d) {
        d.m_right.folder = "Tone";
        d.FillPanes();
        Select(d, CPluginManagerDlg::kLeftList, 1);
        d.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_FALSE(shelltest::SaveGrab(d.GetWidget()->grab().toImage(), "plugin_manager").empty());
    });
}

}  // namespace
