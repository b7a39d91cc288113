// "Templates Edit" on a scratch library: the listing with its folder items,
// the buttons, moving, renaming, folders, deleting and creating templates
// with the files on disk changing as the list shows, and a grab.
#include "FrameTestSupport.h"
#include "FrameWindowsTestSupport.h"

#include "editor/retouch/TemplateEditDlg.h"
#include "editor/retouch/TemplatesEditDlg.h"
#include "editor/ui/PromptForText.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using framedialogtest::FrameWindowsTest;

class TemplatesEditDlgTest : public FrameWindowsTest {
protected:
    // Runs the dialog; work gets it once it is up, then it closes.
    void Run(const std::function<void(CTemplatesEditDlg*)>& work)
    {
        onDialog = [&](CWnd* dialog) -> int {
            if (auto* list = dynamic_cast<CTemplatesEditDlg*>(dialog)) {
                work(list);
                return IDOK;
            }
            return OtherDialog(dialog);
        };
        CTemplatesEditDlg dialog(m_frame);
        dialog.DoModal();
    }
    // Types m_typed into a text prompt; other dialogs are cancelled.
    int OtherDialog(CWnd* dialog)
    {
        if (dialog->GetDlgItem(IDC_PROMPT_EDIT) && !m_typed.empty()) {
            dialog->SetDlgItemText(IDC_PROMPT_EDIT, m_typed.c_str());
            dialog->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
            return qlafx::kModalRun;
        }
        if (auto* edit = dynamic_cast<CTemplateEditDlg*>(dialog))
            return m_onTemplateEdit ? m_onTemplateEdit(edit) : IDCANCEL;
        return IDCANCEL;
    }
    static std::vector<std::string> Texts(CTemplatesEditDlg* dlg)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < dlg->list.GetCount(); ++i) {
            CString text;
            dlg->list.GetText(i, text);
            texts.emplace_back(static_cast<const char*>(text));
        }
        return texts;
    }
    static void Select(CTemplatesEditDlg* dlg, const char* text)
    {
        const std::vector<std::string> texts = Texts(dlg);
        const auto at = std::find(texts.begin(), texts.end(), text);
        ASSERT_NE(at, texts.end()) << text;
        dlg->list.SetCurSel(static_cast<int>(at - texts.begin()));
        dlg->UpdateButtons();
    }
    static bool Enabled(CTemplatesEditDlg* dlg, UINT id) { return dlg->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
    std::string File(const std::string& relative) const { return m_program + "Frame/" + relative; }

    std::string m_typed;
    std::function<int(CTemplateEditDlg*)> m_onTemplateEdit;
};

} // namespace

TEST_F(TemplatesEditDlgTest, FoldersOpenByTheirItemAndTheButtonsFollowTheSelection)
{
    Run([&](CTemplatesEditDlg* dlg) {
        EXPECT_EQ(Texts(dlg), (std::vector<std::string>{"[Sub]", ".x", "A.Smith", "Sub"}));
        EXPECT_FALSE(Enabled(dlg, IDC_TEMPLATES_EDIT)) << "nothing selected";
        Select(dlg, "Sub");
        EXPECT_TRUE(Enabled(dlg, IDC_TEMPLATES_EDIT));
        EXPECT_TRUE(Enabled(dlg, IDC_TEMPLATES_MOVE));
        EXPECT_FALSE(Enabled(dlg, IDC_FOLDER_DELETE));
        Select(dlg, "[Sub]");
        EXPECT_FALSE(Enabled(dlg, IDC_TEMPLATES_RENAME));
        EXPECT_TRUE(Enabled(dlg, IDC_FOLDER_DELETE));
        // A template named like the folder, or starting with a dot, stays a template.
        Select(dlg, ".x");
        dlg->OpenSelected();
        EXPECT_EQ(GetCurrentFrameCategory(), m_root.get());
        Select(dlg, "[Sub]");
        dlg->OpenSelected();
        EXPECT_EQ(Texts(dlg), (std::vector<std::string>{"[..]", "Inner"}));
        Select(dlg, "Inner");
        EXPECT_TRUE(Enabled(dlg, IDC_TEMPLATES_MOVE)) << "the parent is a target";
        const std::string grab = Grab(dlg, "templates-edit");
        EXPECT_FALSE(grab.empty());
        Select(dlg, "[..]");
        EXPECT_FALSE(Enabled(dlg, IDC_FOLDER_DELETE)) << "the up entry cannot be deleted";
        dlg->OpenSelected();
        EXPECT_EQ(Texts(dlg).size(), 4u);
    });
}

TEST_F(TemplatesEditDlgTest, MoveToMovesTheFileAndRefusesToReplaceOne)
{
    framedialogtest::WriteTemplate(m_program, "Sub", "smith", "Other Smith");
    const auto before = fs::file_size(File("Sub/smith.frm"));
    m_root->Clear();
    m_root->Scan();
    Run([&](CTemplatesEditDlg* dlg) {
        Select(dlg, "A.Smith");
        dlg->MoveSelectedTo(0);
        EXPECT_TRUE(fs::exists(File("smith.frm"))) << "a same-named file is never replaced";
        EXPECT_EQ(fs::file_size(File("Sub/smith.frm")), before);
        Select(dlg, ".x");
        dlg->MoveSelectedTo(0);
        EXPECT_FALSE(fs::exists(File("dot.frm")));
        EXPECT_TRUE(fs::exists(File("Sub/dot.frm")));
        EXPECT_EQ(Texts(dlg), (std::vector<std::string>{"[Sub]", "A.Smith", "Sub"}));
    });
}

TEST_F(TemplatesEditDlgTest, RenameKeepsTheFileAndThePlaceAndCleansTheName)
{
    m_typed = "New:Name";
    Run([&](CTemplatesEditDlg* dlg) {
        Select(dlg, "A.Smith");
        dlg->RenameSelected();
        EXPECT_EQ(Texts(dlg), (std::vector<std::string>{"[Sub]", ".x", "New_Name", "Sub"}));
    });
    FrameTemplate stored;
    ASSERT_EQ(stored.Read(File("smith.frm").c_str()), 1);
    EXPECT_STREQ(stored.m_info.name, "New_Name");
}

TEST_F(TemplatesEditDlgTest, SubFoldersAreMadeWithCleanNamesAndOnlyEmptyOnesDeleted)
{
    Run([&](CTemplatesEditDlg* dlg) {
        for (const char* refused : {".", ".."}) {
            m_typed = refused;
            dlg->CreateFolder();
        }
        EXPECT_EQ(Texts(dlg).size(), 4u);
        m_typed = "a/b";
        dlg->CreateFolder();
        EXPECT_TRUE(fs::is_directory(File("a_b")));
        EXPECT_EQ(Texts(dlg).size(), 5u);
        Select(dlg, "[a_b]");
        dlg->DeleteSelectedFolder();
        EXPECT_FALSE(fs::exists(File("a_b")));
        Select(dlg, "[Sub]");
        dlg->DeleteSelectedFolder();
    });
    EXPECT_TRUE(fs::exists(File("Sub/inner.frm")));
    EXPECT_EQ(m_boxes, (std::vector<std::string>{"Can not delete folder, not empty."}));
}

TEST_F(TemplatesEditDlgTest, DeleteRemovesTheFileAndANewTemplateAsksBeforeReplacingOne)
{
    const auto old = frametest::ReadBytes(File("sub.frm"));
    m_onTemplateEdit = [](CTemplateEditDlg* edit) {
        edit->SetDlgItemText(IDC_TEMPLATE_NAME, "sub");
        edit->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    };
    Run([&](CTemplatesEditDlg* dlg) {
        Select(dlg, ".x");
        dlg->DeleteSelectedTemplate();
        EXPECT_FALSE(fs::exists(File("dot.frm")));
        m_answers = {IDNO};
        dlg->CreateSimple();
        EXPECT_EQ(frametest::ReadBytes(File("sub.frm")), old) << "No keeps the file";
        m_answers = {IDYES};
        dlg->CreateSimple();
        EXPECT_EQ(Texts(dlg), (std::vector<std::string>{"[Sub]", "A.Smith", "sub"}));
    });
    EXPECT_EQ(m_boxes, (std::vector<std::string>{"Template exist, overwrite it?", "Template exist, overwrite it?"}));
    FrameTemplate stored;
    ASSERT_EQ(stored.Read(File("sub.frm").c_str()), 1);
    EXPECT_STREQ(stored.m_info.name, "sub");
}

TEST_F(TemplatesEditDlgTest, EditingSavesTheChangesButNeverRenames)
{
    m_onTemplateEdit = [](CTemplateEditDlg* edit) {
        edit->SetDlgItemText(IDC_TEMPLATE_NAME, "Renamed");
        edit->CheckDlgButton(IDC_BORDER_ENABLE, BST_CHECKED);
        edit->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    };
    Run([&](CTemplatesEditDlg* dlg) {
        Select(dlg, "A.Smith");
        dlg->OpenSelected();
    });
    FrameTemplate stored;
    ASSERT_EQ(stored.Read(File("smith.frm").c_str()), 1);
    EXPECT_STREQ(stored.m_info.name, "A.Smith");
    EXPECT_EQ(stored.m_border.enabled, 1);
}
