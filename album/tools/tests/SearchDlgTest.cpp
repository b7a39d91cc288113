// The Search Photo dialog: criteria refusals in the album's words, a whole
// search of the corpus's camera photos shown as thumbnails, the clipboard
// block and "Copy all to ...".
#include "album/shell/AlbumTextTable.h"
#include "album/shell/PhotoListModel.h"
#include "album/shell/tests/ShelfKitTestSupport.h"
#include "album/shell/tests/ShelfTestSupport.h"
#include "album/tools/SearchDlg.h"
#include "album/tools/SearchThread.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/afx/Clipboard.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/tests/WndTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace shelf;

namespace {

class SearchDialog : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        shelfkit::ShelfWindowTest::SetUp();
        CQLImageCodec::Start();
        ASSERT_TRUE(m_thread.CreateThread(0));
        m_dialog = std::make_unique<CSearchDlg>(m_thread);
        m_dialog->m_scope = [this] { return m_scope; };
        m_dialog->m_goTo = [this](const std::string& path) { m_wentTo = path; };
        m_dialog->m_clearCutMark = [this] { ++m_cutCleared; };
        ASSERT_TRUE(m_dialog->CreateHidden());
        m_dialog->MoveWindow(0, 0, 1100, 700);
        m_dialog->ShowOnTop();
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        m_dialog.reset();
        m_thread.StopSearch();
        m_thread.PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(m_thread.m_hThread, 20000), WAIT_OBJECT_0);
        shelfkit::ShelfWindowTest::TearDown();
    }
    // Presses Start and waits until the search is over.
    void Search()
    {
        m_dialog->OnOK();
        ASSERT_TRUE(PumpUntil([&] { return !m_dialog->IsSearching(); }));
        PumpUntil([] { return false; }, 50);
    }

    CSearchThread m_thread;
    std::unique_ptr<CSearchDlg> m_dialog;
    SearchScope m_scope;
    std::string m_wentTo;
    int m_cutCleared = 0;
    shelftest::ScratchFolder m_folder;
};

template <class T>
T* Row(CSearchDlg& dialog, const char* name)
{
    return dynamic_cast<T*>(dialog.m_rows.Find(name));
}

} // namespace

TEST_F(SearchDialog, CriteriaErrorsAreShownAndNothingStarts)
{
    std::vector<std::string> shown;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
        if (!dialog && text)
            shown.push_back(text);
        return IDOK;
    });
    const struct {
        int range;
        const char* from;
        const char* to;
        std::string scopeFolder;
        int text;
    } cases[] = {
        {0, "", "", "", 66},
        {1, "13/01/2004", "", "/tmp/", 68},
        {3, "01/13/2004", "", "/tmp/", 69},
    };
    for (const auto& t : cases) {
        shown.clear();
        m_scope.currentFolder = t.scopeFolder;
        Row<EnumParam>(*m_dialog, "Time range")->index = t.range;
        Row<StringParam>(*m_dialog, "From (At) mm/dd/yyyy")->text = t.from;
        Row<StringParam>(*m_dialog, "To mm/dd/yyyy")->text = t.to;
        m_dialog->OnOK();
        EXPECT_FALSE(m_dialog->IsSearching());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], theAlbumTexts.GetText(t.text));
    }
}

TEST_F(SearchDialog, HitsClipboardAndCopyAll)
{
    for (const char* name : {"one.jpg", "two.jpg", "three.png"})
        exiftest::SavePhoto(m_folder.Path() + name);
    m_scope.currentFolder = m_folder.Path();
    Row<StringParam>(*m_dialog, "File name keywords")->text = ".";
    Search();
    ASSERT_EQ(m_dialog->m_list.GetItemCount(), 3);
    // Selecting a hit shows its path and enables "Go to".
    m_dialog->m_list.SelectItem(0, 0);
    CString path;
    m_dialog->GetDlgItemText(CSearchDlg::kPathBox, path);
    EXPECT_EQ(std::string(path.GetString()), m_dialog->HitPath(0));
    EXPECT_TRUE(m_dialog->GetDlgItem(CSearchDlg::kGoTo)->IsWindowEnabled());
    m_dialog->SendMessage(WM_COMMAND, CSearchDlg::kGoTo);
    EXPECT_EQ(m_wentTo, m_dialog->HitPath(0));

    m_dialog->m_list.SelectItem(0, -2);
    ASSERT_TRUE(m_dialog->CopySelected());
    EXPECT_EQ(m_cutCleared, 1);
    ASSERT_TRUE(::OpenClipboard(m_dialog->m_hWnd));
    HGLOBAL block = ::GetClipboardData(CF_HDROP);
    std::vector<std::string> paths;
    ASSERT_TRUE(block && ParseDropBlock(GlobalLock(block), GlobalSize(block), paths));
    GlobalUnlock(block);
    ::CloseClipboard();
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> expected = m_dialog->SelectedHitPaths();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);

    shelftest::ScratchFolder target;
    EXPECT_EQ(m_dialog->CopyAllTo(target.Path()), 0);
    for (const char* name : {"one.jpg", "two.jpg", "three.png"})
        EXPECT_TRUE(fs::exists(target.Path() + name)) << name;

    // Close empties the list and hides the dialog.
    m_dialog->OnCancel();
    EXPECT_EQ(m_dialog->m_list.GetItemCount(), 0);
    EXPECT_FALSE(m_dialog->IsWindowVisible());
}

TEST_F(SearchDialog, GrabOfACameraSearch)
{
    const std::string canon = shelfkit::CorpusPhoto("exif-samples/jpg/Canon_40D.jpg");
    if (canon.empty())
        GTEST_SKIP() << "no corpus";
    const std::string folder = fs::path(canon).parent_path().string() + "/";
    m_scope.currentFolder = folder;
    Row<StringParam>(*m_dialog, "Keywords")->text = "Canon";
    Row<EnumParam>(*m_dialog, "If photo has no EXIF")->index = 1;
    Search();
    int index = -1;
    for (int i = 0; i < m_dialog->m_list.GetItemCount(); ++i)
        if (m_dialog->HitPath(i) == canon)
            index = i;
    ASSERT_GE(index, 0);
    m_dialog->m_list.SelectItem(0, index);
    m_dialog->m_list.EnsureVisible(index);
    // The "Advance" group in the grid.
    const HTREEITEM root = m_dialog->m_tree.GetRootItem();
    HTREEITEM item = m_dialog->m_tree.GetChildItem(root);
    while (item && m_dialog->m_tree.GetItemData(item) != 4)
        item = m_dialog->m_tree.GetNextSiblingItem(item);
    ASSERT_NE(item, nullptr);
    m_dialog->m_tree.SelectItem(item);
    ASSERT_EQ(m_dialog->m_grid.m_params.size(), 17u);
    CString path;
    m_dialog->GetDlgItemText(CSearchDlg::kPathBox, path);
    EXPECT_EQ(std::string(path.GetString()), canon);
    m_dialog->RedrawWindow();
    QCoreApplication::processEvents();
    EXPECT_FALSE(shelfkit::SaveGrab(qlafx::WidgetOf(m_dialog->m_hWnd)->grab().toImage(), "search").empty());
}
