#include "ShelfKitTestSupport.h"
#include "ShelfTestSupport.h"

#include "album/shell/AlbumTextTable.h"
#include "album/shell/ImportPhotosDlg.h"
#include "album/shell/MainFrame.h"
#include "album/shell/NewAlbumDlg.h"
#include "album/shell/NewFolderDlg.h"
#include "album/shell/RenameDlg.h"
#include "album/shell/SettingsDlg.h"
#include "album/shell/TipsDlg.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/tests/WndTestSupport.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Wallpaper.h"

#include <QCoreApplication>
#include <QCursor>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace shelf;
namespace fs = std::filesystem;

namespace {

// ---- the layout's arithmetic -----------------------------------------------------

TEST(LayoutGeometry, PanesForEachVisibility)
{
    struct Case {
        CLayoutWnd::Panes shown;
        CRect folder, exif, bar;
    };
    const Case cases[] = {
        {{true, true}, CRect(0, 0, 300, 400), CRect(0, 400, 300, 600), CRect(300, 0, 1000, 600)},
        {{true, false}, CRect(0, 0, 300, 600), CRect(), CRect(300, 0, 1000, 600)},
        {{false, true}, CRect(), CRect(0, 0, 300, 600), CRect(300, 0, 1000, 600)},
        {{false, false}, CRect(), CRect(), CRect(0, 0, 1000, 600)},
    };
    for (const Case& c : cases) {
        const auto p = CLayoutWnd::Arrange(1000, 600, 300, 200, c.shown);
        EXPECT_EQ(p.folder, c.folder) << c.shown.folder << c.shown.exif;
        EXPECT_EQ(p.exif, c.exif) << c.shown.folder << c.shown.exif;
        EXPECT_EQ(p.bar, c.bar) << c.shown.folder << c.shown.exif;
    }
}

TEST(LayoutGeometry, SeparatorHitsWithinThreePixels)
{
    using L = CLayoutWnd;
    const L::Panes both{true, true}, folderOnly{true, false}, none{false, false};
    struct Case {
        int x, y;
        L::Panes shown;
        int hit;
    };
    // Left column 300 wide; H = 600, EXIF bar 200 high: horizontal line at 400.
    const Case cases[] = {
        {300, 100, both, L::kDragVertical},   {298, 100, both, L::kDragVertical}, {302, 100, both, L::kDragVertical},
        {297, 100, both, L::kNoDrag},         {303, 100, both, L::kNoDrag},       {100, 400, both, L::kDragHorizontal},
        {100, 398, both, L::kDragHorizontal}, {100, 402, both, L::kDragHorizontal}, {100, 397, both, L::kNoDrag},
        {100, 403, both, L::kNoDrag},         {500, 400, both, L::kNoDrag},       {299, 400, both, L::kDragVertical},
        {100, 400, folderOnly, L::kNoDrag},   {300, 100, folderOnly, L::kDragVertical},
        {300, 100, none, L::kNoDrag},
    };
    for (const Case& c : cases)
        EXPECT_EQ(L::HitTest(c.x, c.y, 600, 300, 200, c.shown), c.hit) << c.x << "," << c.y;
}

TEST(LayoutGeometry, DragLimits)
{
    struct Case {
        int to, size, expected;
    };
    const Case widths[] = {{100, 1000, 250}, {600, 1000, 600}, {900, 1000, 750}, {300, 400, 150}};
    for (const Case& c : widths)
        EXPECT_EQ(CLayoutWnd::DraggedLeftWidth(c.to, c.size), c.expected) << c.to << " in " << c.size;
    // The EXIF bar's height is H - y: at least 250, at most H - 100.
    const Case heights[] = {{500, 1000, 500}, {900, 1000, 250}, {50, 1000, 900}, {100, 300, 200}};
    for (const Case& c : heights)
        EXPECT_EQ(CLayoutWnd::DraggedExifHeight(c.to, c.size), c.expected) << c.to << " in " << c.size;
}

// ---- the command bar's rules -----------------------------------------------------

TEST(CommandBarRules, ButtonsFollowTheFolderAndTheSelection)
{
    using S = CCommandBar::State;
    S photo;
    photo.folderOpen = photo.selected = photo.folderHasParent = photo.folderHasPhotos = photo.projects = true;
    photo.selectedCount = 1;
    photo.editorPresent = photo.developPresent = true;
    auto e = CCommandBar::ButtonRules(photo);
    EXPECT_TRUE(e.view && e.edit && e.del && e.parent && e.sort && e.import && e.importRaw && e.viewMode);
    EXPECT_TRUE(e.batch && e.print && e.search && e.slideShow);

    S folder = photo;
    folder.firstIsFolder = true;
    e = CCommandBar::ButtonRules(folder);
    EXPECT_FALSE(e.view || e.edit || e.del || e.print);
    EXPECT_TRUE(e.slideShow) << "the folder still holds photos";

    S noPhotos = photo;
    noPhotos.folderHasPhotos = false;
    EXPECT_FALSE(CCommandBar::ButtonRules(noPhotos).slideShow);

    S two = photo;
    two.selectedCount = 2;
    two.editorPresent = false;
    EXPECT_TRUE(CCommandBar::ButtonRules(two).edit) << "two photos go to batch editing, editor or not";
    EXPECT_TRUE(CCommandBar::ButtonRules(two).view);

    S noEditor = photo;
    noEditor.editorPresent = noEditor.developPresent = false;
    EXPECT_FALSE(CCommandBar::ButtonRules(noEditor).edit);
    EXPECT_FALSE(CCommandBar::ButtonRules(noEditor).importRaw);

    S timeline = photo;
    timeline.timeline = true;
    EXPECT_FALSE(CCommandBar::ButtonRules(timeline).parent);
    EXPECT_FALSE(CCommandBar::ButtonRules(timeline).import);

    S root = photo;
    root.folderHasParent = false;
    EXPECT_FALSE(CCommandBar::ButtonRules(root).parent);

    S noProject = photo;
    noProject.projects = false;
    EXPECT_FALSE(CCommandBar::ButtonRules(noProject).import);

    S closed;
    e = CCommandBar::ButtonRules(closed);
    EXPECT_FALSE(e.view || e.edit || e.del || e.parent || e.sort || e.import);
    EXPECT_TRUE(e.viewMode);
}

TEST(CommandBarRules, RenameKeepsTheOldExtension)
{
    struct Case {
        const char* old;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {"/p/IMG_1.jpg", "beach.png", "/p/beach.jpg"},
        {"/p/IMG_1.jpg", "beach", "/p/beach.jpg"},
        {"/p/IMG_1.JPG", "my.beach.tif", "/p/my.beach.JPG"},
        {"/p/a b/IMG 1.jpeg", "sea side", "/p/a b/sea side.jpeg"},
        {"/p/README", "notes.txt", "/p/notes"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCommandBar::RenamedPath(c.old, c.typed), c.expected) << c.typed;
}

// ---- the album window on a folder of camera photos ----------------------------------

class AlbumWindow : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        ShelfWindowTest::SetUp();
        m_samples = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/";
        CQLImageCodec::Start();
        m_album = m_scratch.Path() + "Album/";
        for (const char* folder : {"", "Beach", "City", "City/Night", "Empty"})
            shelftest::MakeFolder(m_album + folder);
        // Date albums and project files go to the scratch folder.
        m_globals->m_folderSet = m_scratch.Path() + "FolderSet/";
        shelftest::MakeFolder(m_globals->m_folderSet);
        m_globals->m_scanner.m_programFolder = m_scratch.Path();
        CFolderPane::s_driveSource = [this] {
            return std::vector<qlwin::FixedDrive>{{m_scratch.Path(), "Scratch"}};
        };
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        CQLImageCodec::Start();
        ShelfWindowTest::TearDown();
    }
    bool HaveCorpus() const { return fs::exists(m_samples + "Canon_40D.jpg"); }
    void CopyPhotos(const char* folder, std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            fs::copy_file(m_samples + name, m_album + folder + name);
    }
    // The album as the user's only project; mode 0 shows it.
    void SaveAlbumProject(int mode = CMainFrame::kModeAlbum)
    {
        ProjectList projects;
        auto project = std::make_unique<Project>();
        project->m_root.m_name = m_album;
        project->m_root.m_label = "Holidays";
        project->m_bLoaded = 1;
        projects.push_back(std::move(project));
        ASSERT_EQ(SaveProjectList(m_globals->m_folderSet, projects), 1);
        AfxGetApp()->WriteProfileInt("Project", "Number", 1);
        AfxGetApp()->WriteProfileInt("Project", "ShowAllFixedDisk", mode);
    }
    void Open()
    {
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(128, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        m_frame->MoveWindow(0, 0, 1100, 700);
        QCoreApplication::processEvents();
    }
    CFolderPane& Pane() { return m_frame->m_layout.m_folderPane; }
    CCommandBar& Bar() { return m_frame->m_layout.m_commandBar; }
    FolderNode* Current() { return m_globals->m_scanner.m_model.m_pCurrent; }
    std::string CurrentPath() { return Current() ? Current()->GetPath() : std::string(); }
    FolderNode* Node(const std::string& relative)
    {
        FolderNode* node = &m_globals->m_projects.at(0)->m_root;
        std::string rest = relative;
        while (node && !rest.empty()) {
            const std::size_t slash = rest.find('/');
            node = node->FindChild(rest.substr(0, slash).c_str());
            rest = slash == std::string::npos ? "" : rest.substr(slash + 1);
        }
        return node;
    }
    // As the user does it: the branches on the way are expanded (and so
    // listed), then the folder is clicked.
    void Select(const std::string& relative)
    {
        std::size_t slash = 0;
        while ((slash = relative.find('/', slash + 1)) != std::string::npos) {
            FolderNode* parent = Node(relative.substr(0, slash));
            ASSERT_NE(parent, nullptr) << relative;
            Pane().RefreshNode(parent->m_hItem);
            QCoreApplication::processEvents();
        }
        FolderNode* node = Node(relative);
        ASSERT_NE(node, nullptr) << relative;
        ASSERT_NE(node->m_hItem, nullptr) << relative;
        Pane().SelectFolder(node->GetPath());
        WaitThumbnails();
    }
    void WaitThumbnails()
    {
        m_globals->m_scanner.GetThread()->WaitIdle();
        QCoreApplication::processEvents();
    }
    // Back or Forward, then the posted selection.
    void Step(bool back)
    {
        if (back)
            Pane().GoBack();
        else
            Pane().GoForward();
        PumpUntil([] { return false; }, 100);
        WaitThumbnails();
    }
    std::vector<std::string> ListNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < Bar().m_list.GetItemCount(); ++i)
            names.push_back(Bar().m_list.GetItem(i).text);
        return names;
    }

    shelftest::ScratchFolder m_scratch;
    std::string m_samples;
    std::string m_album;
    CMainFrame* m_frame = nullptr;
};

TEST_F(AlbumWindow, WithoutProjectsAlbumModeStartsInFixedDisk)
{
    AfxGetApp()->WriteProfileInt("Project", "ShowAllFixedDisk", CMainFrame::kModeAlbum);
    Open();
    EXPECT_EQ(Pane().m_mode, CMainFrame::kModeFixedDisk);
    ASSERT_EQ(m_globals->m_projects.size(), 1u) << "the one drive of the test";
    EXPECT_EQ(m_globals->m_projects[0]->m_root.m_label, "Scratch(" + m_scratch.Path() + ")");
    EXPECT_EQ(CurrentPath(), m_scratch.Path()) << "the first project's root opens";
    // Album mode without an album of the user's own says so and stays.
    std::string said;
    qlafx::SetModalHook([&](CWnd*, const char*, const char* text, UINT) {
        said = text ? text : "";
        return IDOK;
    });
    Pane().SwitchMode(CMainFrame::kModeAlbum);
    EXPECT_EQ(said, "You have not create any album.So you can not switch to album mode.");
    EXPECT_EQ(Pane().m_mode, CMainFrame::kModeFixedDisk);
}

TEST_F(AlbumWindow, ProjectListSavesOnlyTheUsersProjectsWithNumber)
{
    SaveAlbumProject(CMainFrame::kModeFixedDisk);
    Open();
    ASSERT_EQ(m_globals->m_projects.size(), 2u) << "the album and the drive";
    EXPECT_EQ(m_globals->m_projects[0]->m_root.m_label, "Holidays");
    // A second album of the user's; the drive is never saved.
    auto second = std::make_unique<Project>();
    second->m_root.m_name = m_album + "City/";
    second->m_root.m_label = "Town";
    second->m_bLoaded = 1;
    m_globals->m_projects.push_back(std::move(second));
    Pane().SaveProjects();
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Project", "Number", 0), 2u);
    EXPECT_TRUE(fs::exists(m_globals->m_folderSet + "Project1.set"));
    EXPECT_FALSE(fs::exists(m_globals->m_folderSet + "Project2.set"));
    Pane().LoadProjects();
    std::vector<std::string> labels;
    for (const auto& p : m_globals->m_projects)
        labels.push_back(p->m_root.m_label + (p->m_bLoaded ? "" : " (drive)"));
    EXPECT_EQ(labels, (std::vector<std::string>{"Holidays", "Town", "Scratch(" + m_scratch.Path() + ") (drive)"}));
    Pane().BuildTree();
}

TEST_F(AlbumWindow, HistoryBackAndForward)
{
    SaveAlbumProject();
    Open();
    ASSERT_EQ(Pane().m_mode, CMainFrame::kModeAlbum);
    ASSERT_EQ(CurrentPath(), m_album);
    Select("Beach"); // A
    Select("City");  // B
    Select("Empty"); // C
    const auto& entries = Pane().m_history.Entries();
    ASSERT_EQ(entries.back(), m_album + "City//") << "entries end in two separators";
    EXPECT_TRUE(m_frame->IsCommandEnabled(32815));
    EXPECT_FALSE(m_frame->IsCommandEnabled(32816));
    Step(true);
    EXPECT_EQ(CurrentPath(), m_album + "City/");
    Step(true);
    EXPECT_EQ(CurrentPath(), m_album + "Beach/");
    const std::size_t count = Pane().m_history.Entries().size();
    Step(false);
    EXPECT_EQ(CurrentPath(), m_album + "City/");
    EXPECT_EQ(Pane().m_history.Entries().size(), count) << "LocatePhoto's changes add no entry";
    EXPECT_TRUE(m_frame->IsCommandEnabled(32816));
    // Back twice, then a new folder: the forward entries go.
    Step(true);
    Select("City/Night");
    EXPECT_FALSE(Pane().m_history.CanGoForward());
    EXPECT_EQ(Pane().m_history.Entries().back(), m_album + "Beach//");
}

TEST_F(AlbumWindow, ParentButtonAndLeavingAnEmptyFolder)
{
    SaveAlbumProject();
    Open();
    Select("Empty");
    Select("City/Night");
    EXPECT_EQ(Node("Empty")->m_nListPos, -1) << "an empty list has no first visible item";
    ASSERT_TRUE(Bar().m_parent.IsWindowEnabled());
    Bar().SendMessage(WM_COMMAND, CCommandBar::kParentFolder);
    PumpUntil([&] { return CurrentPath() == m_album + "City/"; }, 3000);
    EXPECT_EQ(CurrentPath(), m_album + "City/");
}

TEST_F(AlbumWindow, LastVisitIsLocatedAtTheNextStartInFixedDisk)
{
    AfxGetApp()->WriteProfileInt("Project", "ShowAllFixedDisk", CMainFrame::kModeFixedDisk);
    AfxGetApp()->WriteProfileString("Project", "LastVisit", (m_album + "City/Night//").c_str());
    Open();
    PumpUntil([&] { return CurrentPath() == m_album + "City/Night/"; }, 5000);
    EXPECT_EQ(CurrentPath(), m_album + "City/Night/");
    EXPECT_TRUE(Pane().m_history.Entries().empty() ||
                Pane().m_history.Entries().back() != m_album + "City/Night//");
}

TEST_F(AlbumWindow, SeparatorDragWritesBothKeysOnEveryMove)
{
    Open();
    CLayoutWnd& layout = m_frame->m_layout;
    CRect client;
    layout.GetClientRect(&client);
    auto send = [&](UINT message, int x, int y) {
        MSG msg{};
        msg.hwnd = layout.m_hWnd;
        msg.message = message;
        msg.lParam = MAKELPARAM(x, y);
        return layout.PreTranslateMessage(&msg);
    };
    // Over the separator the pointer becomes the sizing arrow, elsewhere not.
    auto cursorAt = [&](int x, int y) {
        POINT at{x, y};
        layout.ClientToScreen(&at);
        QCursor::setPos(at.x, at.y);
        layout.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(layout.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    };
    EXPECT_EQ(cursorAt(layout.m_leftWidth + 2, 100), ::LoadCursor(nullptr, IDC_SIZEWE));
    EXPECT_NE(cursorAt(400, 100), ::LoadCursor(nullptr, IDC_SIZEWE));
    EXPECT_FALSE(send(WM_LBUTTONDOWN, 400, 100)) << "not over a separator";
    EXPECT_TRUE(send(WM_LBUTTONDOWN, layout.m_leftWidth + 2, 100));
    EXPECT_TRUE(send(WM_MOUSEMOVE, 100, 100));
    EXPECT_EQ(layout.m_leftWidth, 250);
    EXPECT_TRUE(send(WM_MOUSEMOVE, 420, 100));
    EXPECT_EQ(layout.m_leftWidth, 420);
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Interface", "qlaHSep", 0), 420u);
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Interface", "qlaVSep", 0), 250u);
    CRect pane;
    Pane().GetWindowRect(&pane);
    EXPECT_EQ(pane.Width(), 420);
    EXPECT_TRUE(send(WM_LBUTTONUP, 420, 100));
    EXPECT_FALSE(send(WM_MOUSEMOVE, 500, 100)) << "the drag ended";
    // Without the folder pane the EXIF bar takes the left column; hiding
    // it too gives the command bar the whole window.
    m_frame->SendMessage(WM_COMMAND, 32771);
    CRect exif;
    layout.m_exifBar.GetWindowRect(&exif);
    EXPECT_EQ(exif.Width(), 420);
    EXPECT_EQ(exif.Height(), client.Height());
    m_frame->SendMessage(WM_COMMAND, 32772);
    EXPECT_FALSE(layout.m_exifBar.IsWindowVisible());
    CRect bar;
    Bar().GetWindowRect(&bar);
    EXPECT_EQ(bar.Width(), client.Width());
    EXPECT_FALSE(send(WM_LBUTTONDOWN, 420, 100));
}

TEST_F(AlbumWindow, RenameTakesTheNameAndNeverReplaces)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    CopyPhotos("Beach/", {"Canon_40D.jpg", "Nikon_D70.jpg"});
    SaveAlbumProject();
    Open();
    Select("Beach");
    ASSERT_EQ(ListNames(), (std::vector<std::string>{"Canon_40D.jpg", "Nikon_D70.jpg"}));
    auto rename = [&](const char* typed) {
        qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char* text, UINT) {
            if (!dialog)
                return text && std::string(text) == theAlbumTexts.GetText(12) ? IDOK : qlafx::kModalRun;
            EXPECT_STREQ(caption, "New Name");
            dialog->SetDlgItemText(1007, typed);
            dialog->SendMessage(WM_COMMAND, IDOK);
            return IDOK;
        });
        Bar().m_list.SelectItem(0, 0);
        Bar().Rename();
        qlafx::SetModalHook({});
    };
    std::string said;
    rename("Sunset.png");
    EXPECT_TRUE(fs::exists(m_album + "Beach/Sunset.jpg"));
    EXPECT_FALSE(fs::exists(m_album + "Beach/Canon_40D.jpg"));
    EXPECT_EQ(Bar().m_list.ItemPath(0), m_album + "Beach/Sunset.jpg");
    const std::string nikon = shelftest::ReadBytes(m_album + "Beach/Nikon_D70.jpg");
    int messages = 0;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
        if (!dialog) {
            said = text ? text : "";
            ++messages;
            return IDOK;
        }
        dialog->SetDlgItemText(1007, "Nikon_D70");
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    Bar().m_list.SelectItem(0, 0);
    Bar().Rename();
    qlafx::SetModalHook({});
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(said, theAlbumTexts.GetText(12));
    EXPECT_TRUE(fs::exists(m_album + "Beach/Sunset.jpg"));
    EXPECT_EQ(shelftest::ReadBytes(m_album + "Beach/Nikon_D70.jpg"), nikon) << "nothing is overwritten";
}

TEST_F(AlbumWindow, FolderRenameByLabelAndRootRefused)
{
    SaveAlbumProject();
    Open();
    Select("City");
    FolderNode* city = Node("City");
    EXPECT_TRUE(Pane().RenameFolder(city->m_hItem, "Town"));
    EXPECT_TRUE(fs::is_directory(m_album + "Town/Night"));
    EXPECT_EQ(city->m_label, "Town");
    EXPECT_EQ(CurrentPath(), m_album + "Town/");
    EXPECT_FALSE(Pane().RenameFolder(city->m_hItem, "Beach")) << "onto an existing folder";
    EXPECT_TRUE(fs::is_directory(m_album + "Beach"));
    EXPECT_EQ(city->m_label, "Town");
    std::string said;
    qlafx::SetModalHook([&](CWnd*, const char*, const char* text, UINT) {
        said = text ? text : "";
        return IDOK;
    });
    EXPECT_FALSE(Pane().RenameFolder(m_globals->m_projects[0]->m_root.m_hItem, "Other"));
    EXPECT_EQ(said, theAlbumTexts.GetText(11));
}

TEST_F(AlbumWindow, DeleteFolderAsksTwiceAndRebuilds)
{
    SaveAlbumProject();
    Open();
    Select("City/Night");
    std::vector<std::string> asked;
    int answers = 0;
    Pane().m_ask = [&](const char* text, const char* caption) {
        asked.push_back(std::string(caption) + ":" + text);
        return ++answers == 1 ? IDYES : IDNO;
    };
    Pane().DeleteSelectedFolder();
    EXPECT_TRUE(fs::exists(m_album + "City/Night")) << "No at the second question";
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], std::string("Warning!:") + theAlbumTexts.GetText(0));
    EXPECT_EQ(asked[1], std::string("Warning!:") + theAlbumTexts.GetText(9));
    Pane().m_ask = [](const char*, const char*) { return IDYES; };
    Pane().DeleteSelectedFolder();
    EXPECT_FALSE(fs::exists(m_album + "City/Night"));
    EXPECT_EQ(Node("City/Night"), nullptr);
    ASSERT_NE(Node("City"), nullptr);
    EXPECT_NE(Node("City")->m_hItem, nullptr) << "the tree was built again";
    EXPECT_TRUE(Current() == nullptr || Current()->m_hItem != nullptr) << "no dangling folder";
    // A root is refused without a question.
    asked.clear();
    Pane().m_tree.SelectItem(m_globals->m_projects[0]->m_root.m_hItem);
    Pane().DeleteSelectedFolder();
    EXPECT_TRUE(asked.empty());
}

TEST_F(AlbumWindow, ExpandingAnAncestorKeepsTheOpenFolder)
{
    SaveAlbumProject();
    Open();
    Select("City/Night");
    FolderNode* city = Node("City");
    Pane().RefreshNode(city->m_hItem);
    QCoreApplication::processEvents(); // the selection follows once the expansion is over
    ASSERT_NE(Current(), nullptr);
    EXPECT_EQ(CurrentPath(), m_album + "City/Night/");
    EXPECT_EQ(Pane().GetSelectedNode(), Current()) << "found again by path";
    // The open folder gone from the disk: closed, list emptied.
    fs::remove_all(m_album + "City/Night");
    Pane().RefreshNode(city->m_hItem);
    EXPECT_EQ(Current(), nullptr);
    EXPECT_EQ(Bar().m_list.GetItemCount(), 0);
}

TEST_F(AlbumWindow, FilesDroppedOnAFolderMoveAfterTheQuestion)
{
    SaveAlbumProject();
    Open();
    shelftest::WriteBytes(m_scratch.Path() + "a.txt", "a");
    Pane().m_tree.Expand(m_globals->m_projects[0]->m_root.m_hItem, TVE_EXPAND);
    FolderNode* beach = Node("Beach");
    CRect item;
    ASSERT_TRUE(Pane().m_tree.GetItemRect(beach->m_hItem, &item, TRUE));
    std::string asked;
    Pane().m_ask = [&](const char* text, const char* caption) {
        asked = std::string(caption) + ":" + text;
        return IDYES;
    };
    QWidget* tree = qlafx::WidgetOf(Pane().m_tree.m_hWnd);
    SendFileDrop(tree, {QUrl::fromLocalFile(QString::fromStdString(m_scratch.Path() + "a.txt"))},
                 QPoint(item.CenterPoint().x, item.CenterPoint().y));
    PumpUntil([&] { return fs::exists(m_album + "Beach/a.txt"); }, 3000);
    EXPECT_EQ(asked, "Move File(s):Move file(s) to folder 'Beach'?");
    EXPECT_TRUE(fs::exists(m_album + "Beach/a.txt"));
    EXPECT_FALSE(fs::exists(m_scratch.Path() + "a.txt"));
}

// The editor gets the path as one argument; the RAW converter gets -f and
// the folder, the window waits, and the list shows what it wrote.
TEST_F(AlbumWindow, EditAndDevelopStartTheirPrograms)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    shelftest::MakeFolder(m_album + "Beach/With Blanks");
    fs::copy_file(m_samples + "Canon_40D.jpg", m_album + "Beach/With Blanks/My Photo.jpg");
    SaveAlbumProject();
    Open();
    Select("Beach/With Blanks");
    Bar().m_editorProgram = QUILLO_STANDIN_PROGRAM;
    Bar().m_developProgram = QUILLO_STANDIN_PROGRAM;
    const std::string log = m_scratch.Path() + "standin.log";
    setenv("QUILLO_STANDIN_LOG", log.c_str(), 1);
    Bar().m_list.SelectItem(0, 0);
    Bar().UpdateButtons();
    ASSERT_TRUE(Bar().m_edit.IsWindowEnabled());
    ASSERT_TRUE(m_frame->IsCommandEnabled(32780));
    m_frame->SendMessage(WM_COMMAND, 32780);
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(log); }, 10000));
    EXPECT_EQ(shelftest::ReadBytes(log), "QuilloEditor\n" + m_album + "Beach/With Blanks/My Photo.jpg\n");
    fs::remove(log);
    setenv("QUILLO_STANDIN_COPY", (m_samples + "Nikon_D70.jpg").c_str(), 1);
    Bar().SendMessage(WM_COMMAND, CCommandBar::kImportRaw);
    EXPECT_TRUE(fs::exists(log)) << "the window waited for the converter";
    EXPECT_EQ(shelftest::ReadBytes(log), "QuilloDevelop\n-f\n" + m_album + "Beach/With Blanks/\n");
    std::vector<std::string> names = ListNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"My Photo.jpg", "converted.jpg"})) << "listing reloaded";
    unsetenv("QUILLO_STANDIN_LOG");
    unsetenv("QUILLO_STANDIN_COPY");
    // Without the programs, the buttons are off.
    Bar().m_editorProgram = m_scratch.Path() + "none";
    Bar().m_developProgram = m_scratch.Path() + "none";
    Bar().UpdateButtons();
    EXPECT_FALSE(Bar().m_edit.IsWindowEnabled());
    EXPECT_FALSE(Bar().m_importRaw.IsWindowEnabled());
    EXPECT_FALSE(m_frame->IsCommandEnabled(32780));
}

TEST_F(AlbumWindow, WallpaperGoesToTheUsersDataFolder)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    CopyPhotos("Beach/", {"Canon_40D.jpg"});
    SaveAlbumProject();
    Open();
    Select("Beach");
    setenv("XDG_DATA_HOME", (m_scratch.Path() + "data").c_str(), 1);
    std::string set;
    qlwin::SetWallpaperHook([&](const char* path) {
        set = path;
        return TRUE;
    });
    Bar().m_list.SelectItem(0, 0);
    m_frame->SendMessage(WM_COMMAND, 32793);
    qlwin::SetWallpaperHook({});
    unsetenv("XDG_DATA_HOME");
    const std::string expected = m_scratch.Path() + "data/quillo/Quillo Wallpaper.bmp";
    EXPECT_EQ(set, expected);
    int w = 0, h = 0;
    EXPECT_EQ(CQLImageCodec::GetFileShape(expected.c_str(), &w, &h), 1);
    EXPECT_EQ(w, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(h, ::GetSystemMetrics(SM_CYSCREEN));
}

// The Album tab with the tree open and a selection among the thumbnails;
// then the Timeline tab with the months of those photos.
TEST_F(AlbumWindow, GrabAlbumAndTimeline)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    CopyPhotos("Beach/", {"Canon_40D.jpg", "Nikon_D70.jpg", "Fujifilm_FinePix_E500.jpg", "Kodak_CX7530.jpg",
                          "Canon_PowerShot_S40.jpg", "Konica_Minolta_DiMAGE_Z3.jpg"});
    CopyPhotos("City/", {"Canon_DIGITAL_IXUS_400.jpg", "Nikon_COOLPIX_P1.jpg", "Fujifilm_FinePix6900ZOOM.jpg"});
    SaveAlbumProject();
    Open();
    Select("City");
    Select("Beach");
    Pane().m_tree.Expand(Node("City")->m_hItem, TVE_EXPAND);
    Bar().m_list.SelectItem(0, 1);
    Bar().m_list.SelectItem(MK_CONTROL, 2);
    PumpUntil([] { return false; }, 300);
    QWidget* frame = qlafx::WidgetOf(m_frame->m_hWnd);
    EXPECT_FALSE(shelfkit::SaveGrab(frame->grab().toImage(), "shelf_window").empty());
    // The thumbnail thread filed the photos under their months.
    Pane().SwitchMode(CMainFrame::kModeTimeline);
    ASSERT_EQ(Pane().m_mode, CMainFrame::kModeTimeline);
    ASSERT_GT(Pane().m_timeline.GetItemCount(), 1);
    EXPECT_EQ(m_frame->m_paneMode, CMainFrame::kModeTimeline);
    Pane().m_timeline.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    const std::string month = Pane().TimelineFolder() + Pane().m_timeline.GetItemText(0, 0).GetString() + "/";
    PumpUntil([&] { return CurrentPath() == month; }, 10000);
    EXPECT_EQ(CurrentPath(), month);
    WaitThumbnails();
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(shelfkit::SaveGrab(frame->grab().toImage(), "shelf_timeline").empty());
    EXPECT_FALSE(Bar().m_parent.IsWindowEnabled()) << "no parent folder in the Timeline";
    // Back to Fixed Disk: the folder left for the Timeline comes back.
    Pane().SwitchMode(CMainFrame::kModeFixedDisk);
    PumpUntil([&] { return CurrentPath() == m_album + "Beach/"; }, 10000);
    EXPECT_EQ(CurrentPath(), m_album + "Beach/");
    EXPECT_TRUE(Pane().m_history.Entries().empty()) << "no entry for the folder left";
}

// Delete Album: No keeps everything; Yes drops the project from the saved
// list and closes the window through its close sequence.
TEST_F(AlbumWindow, DeleteAlbumDropsTheProjectAndCloses)
{
    SaveAlbumProject();
    Open();
    Select("City");
    std::string asked;
    int answer = IDNO;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char* text, UINT) {
        if (!dialog)
            asked = std::string(caption) + ":" + (text ? text : "");
        return answer;
    });
    m_frame->SendMessage(WM_COMMAND, 32796);
    EXPECT_EQ(asked, std::string("Warning:") + theAlbumTexts.GetText(62));
    EXPECT_EQ(m_globals->m_projects.size(), 1u);
    EXPECT_EQ(CurrentPath(), m_album + "City/");
    answer = IDYES;
    const HWND frame = m_frame->m_hWnd;
    m_frame->SendMessage(WM_COMMAND, 32796);
    PumpUntil([&] { return !::IsWindow(frame); }, 5000);
    qlafx::SetModalHook({});
    EXPECT_FALSE(::IsWindow(frame)) << "closed as Exit closes";
    m_frame = nullptr;
    EXPECT_TRUE(m_globals->m_projects.empty());
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Project", "Number", 9), 0u);
    EXPECT_TRUE(fs::is_directory(m_album + "City")) << "the folders stay";
}

TEST_F(AlbumWindow, SortCommandsFollowTheBar)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    CopyPhotos("Beach/", {"Nikon_D70.jpg", "Canon_40D.jpg"});
    SaveAlbumProject();
    Open();
    Select("Beach");
    ASSERT_TRUE(m_frame->IsCommandEnabled(32800)) << "every entry is complete";
    m_frame->SendMessage(WM_COMMAND, 32800);
    EXPECT_EQ(Bar().m_sortMode, 1);
    m_frame->SendMessage(WM_COMMAND, 32799);
    EXPECT_EQ(Bar().m_sortMode, 0);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Canon_40D.jpg", "Nikon_D70.jpg"}));
}

// ---- the small dialogs ----------------------------------------------------------------

// Saves the dialog's picture from inside the modal hook.
std::string GrabDialog(CWnd* dialog, const char* name)
{
    QCoreApplication::processEvents();
    return shelfkit::SaveGrab(qlafx::WidgetOf(dialog->m_hWnd)->grab().toImage(), name);
}

TEST_F(AlbumWindow, NewFolderMakesTheSubfolderAndItsItem)
{
    SaveAlbumProject();
    Open();
    Select("Beach");
    std::string grabbed;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char*, UINT) {
        EXPECT_STREQ(caption, "New Folder");
        dialog->SetDlgItemText(1002, "Sunsets");
        grabbed = GrabDialog(dialog, "shelf_new_folder");
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    m_frame->SendMessage(WM_COMMAND, 32773);
    qlafx::SetModalHook({});
    EXPECT_FALSE(grabbed.empty());
    EXPECT_TRUE(fs::is_directory(m_album + "Beach/Sunsets"));
    ASSERT_NE(Node("Beach/Sunsets"), nullptr);
    EXPECT_NE(Node("Beach/Sunsets")->m_hItem, nullptr);
}

TEST_F(AlbumWindow, NewAlbumNamesAndFolders)
{
    Open();
    struct Case {
        const char* name;
        bool newFolder;
        bool ends;
        std::string result;
    };
    const Case cases[] = {
        {"My:Trip", true, true, m_album + "My_Trip"},
        {"a\"b'c*d/e?f\\g~h", true, true, m_album + "a_b_c_d_e_f_g_h"},
        {"Here", false, true, m_album},
        {"", true, false, ""},
    };
    for (const Case& c : cases) {
        std::string said;
        bool grabbed = false;
        CNewAlbumDlg dlg(m_frame);
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
            if (!dialog) {
                said = text ? text : "";
                return IDOK;
            }
            dialog->SetDlgItemText(1002, c.name);
            dialog->SetDlgItemText(1004, m_album.c_str());
            dialog->CheckDlgButton(1006, c.newFolder);
            if (c.newFolder && !c.ends)
                grabbed = !GrabDialog(dialog, "shelf_new_album").empty();
            dialog->SendMessage(WM_COMMAND, IDOK);
            return IDCANCEL;
        });
        const int result = static_cast<int>(dlg.DoModal());
        qlafx::SetModalHook({});
        if (c.ends) {
            EXPECT_EQ(result, IDOK) << c.name;
            EXPECT_EQ(dlg.m_result, c.result) << c.name;
            EXPECT_TRUE(said.empty());
            EXPECT_TRUE(fs::is_directory(c.result)) << c.result;
        } else {
            EXPECT_EQ(said, theAlbumTexts.GetText(2));
            EXPECT_TRUE(grabbed);
        }
    }
}

TEST_F(AlbumWindow, NewAlbumCommandAddsTheProject)
{
    Open();
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        if (!dialog)
            return IDOK;
        dialog->SetDlgItemText(1002, "Holidays");
        dialog->SetDlgItemText(1004, m_album.c_str());
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    m_frame->SendMessage(WM_COMMAND, 32774);
    qlafx::SetModalHook({});
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Project", "Number", 0), 1u);
    ASSERT_FALSE(m_globals->m_projects.empty());
    EXPECT_EQ(m_globals->m_projects[0]->m_root.m_label, "Holidays");
    EXPECT_EQ(m_globals->m_projects[0]->m_root.m_name, m_album);
    EXPECT_NE(Node("City"), nullptr);
}

TEST_F(AlbumWindow, ImportChoicesAndTheCameraTip)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    SaveAlbumProject();
    Open();
    Select("Beach");
    // From Disk: the chosen files are copied into the open folder.
    std::string grabbed;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char*, UINT) {
        if (!dialog)
            return IDOK;
        if (auto* files = dynamic_cast<CFileDialog*>(dialog)) {
            EXPECT_TRUE(files->m_ofn.Flags & OFN_ALLOWMULTISELECT);
            qlafx::AnswerFileDialog(*files, {m_samples + "Canon_40D.jpg", m_samples + "Nikon_D70.jpg"});
            return IDOK;
        }
        EXPECT_STREQ(caption, "Import Photos");
        EXPECT_EQ(dialog->GetDlgItem(CImportPhotosDlg::kFromCamera)->IsWindowEnabled(), m_frame->IsLoaded())
            << "scanning is offered when there is a source manager";
        grabbed = GrabDialog(dialog, "shelf_import");
        dialog->SendMessage(WM_COMMAND, CImportPhotosDlg::kFromDisk);
        return IDOK;
    });
    ASSERT_TRUE(m_frame->IsCommandEnabled(32779));
    m_frame->SendMessage(WM_COMMAND, 32779);
    qlafx::SetModalHook({});
    EXPECT_FALSE(grabbed.empty());
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Canon_40D.jpg", "Nikon_D70.jpg"}));
    // Command 12 answers 1, the camera 0 after its tip; a cleared check box
    // means the tip is not shown again.
    struct Case {
        UINT command;
        int tipAnswer;
        int source;
        int importKey;
        int tips;
    };
    const Case cases[] = {
        {CImportPhotosDlg::kFromScanner, 1, 1, 1, 0},
        {CImportPhotosDlg::kFromCamera, 1, 0, 1, 1},
        {CImportPhotosDlg::kFromCamera, 0, 0, 0, 1},
        {CImportPhotosDlg::kFromCamera, 1, 0, 0, 0},
    };
    static int tips = 0;
    static int tipAnswer = 0;
    for (const Case& c : cases) {
        tips = 0;
        tipAnswer = c.tipAnswer;
        CImportPhotosDlg dlg(m_frame);
        dlg.m_showTip = [](const char* page, const char* caption, int check) {
            EXPECT_STREQ(page, "import.htm");
            EXPECT_STREQ(caption, "Import Photo from Camera/Scanner");
            EXPECT_EQ(check, 1);
            ++tips;
            return tipAnswer;
        };
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
            dialog->SendMessage(WM_COMMAND, c.command);
            return IDOK;
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        qlafx::SetModalHook({});
        EXPECT_EQ(dlg.m_source, c.source);
        EXPECT_EQ(tips, c.tips);
        EXPECT_EQ(AfxGetApp()->GetProfileInt("Open", "Import", 1), static_cast<UINT>(c.importKey));
    }
}

TEST_F(AlbumWindow, RenameDialogShowsTheCallersCaption)
{
    SaveAlbumProject();
    Open();
    CRenameDlg dlg("New Name", "IMG_0001.jpg", m_frame);
    std::string grabbed;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char*, UINT) {
        EXPECT_STREQ(caption, "New Name");
        CString text;
        dialog->GetDlgItemText(1007, text);
        EXPECT_STREQ(text.GetString(), "IMG_0001.jpg");
        grabbed = GrabDialog(dialog, "shelf_rename");
        dialog->SetDlgItemText(1007, "Harbour");
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    qlafx::SetModalHook({});
    EXPECT_STREQ(dlg.m_name.GetString(), "Harbour");
    EXPECT_FALSE(grabbed.empty());
}

TEST_F(AlbumWindow, SettingsWritesTheUserName)
{
    Open();
    m_globals->m_userName = "Ann";
    m_globals->m_bFullScreen = 0;
    m_globals->m_bAnimateView = 1;
    std::string grabbed;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char*, UINT) {
        EXPECT_STREQ(caption, "Quillo Settings");
        CString name;
        dialog->GetDlgItemText(1002, name);
        EXPECT_STREQ(name.GetString(), "Ann");
        EXPECT_EQ(dialog->IsDlgButtonChecked(1141), 1u);
        grabbed = GrabDialog(dialog, "shelf_settings");
        dialog->SetDlgItemText(1002, "Ann Lee");
        dialog->CheckDlgButton(1025, 1);
        dialog->CheckDlgButton(1141, 0);
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    m_frame->SendMessage(WM_COMMAND, 32795);
    qlafx::SetModalHook({});
    EXPECT_FALSE(grabbed.empty());
    EXPECT_EQ(m_globals->m_userName, "Ann Lee");
    EXPECT_EQ(m_globals->m_bFullScreen, 1);
    EXPECT_EQ(m_globals->m_bAnimateView, 0);
    EXPECT_STREQ(AfxGetApp()->GetProfileString("General", "UserName", "").GetString(), "Ann Lee");
}

TEST_F(AlbumWindow, ShowTipReturnsTheCheckBox)
{
    Open();
    for (int cleared : {0, 1}) {
        std::string grabbed, page;
        qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char*, UINT) {
            if (!dialog || !dynamic_cast<CTipsDlg*>(dialog))
                return qlafx::kModalRun;
            EXPECT_STREQ(caption, "Import Photo from Camera/Scanner");
            EXPECT_EQ(dialog->IsDlgButtonChecked(1025), 1u);
            EXPECT_NE(dialog->GetIcon(TRUE), nullptr);
            EXPECT_NE(dialog->GetIcon(FALSE), nullptr);
            auto* tips = static_cast<CTipsDlg*>(dialog);
            page = tips->m_browser.GetPlainText();
            if (!cleared)
                grabbed = GrabDialog(dialog, "shelf_tips");
            else
                dialog->CheckDlgButton(1025, 0);
            dialog->SendMessage(WM_COMMAND, IDOK);
            return IDOK;
        });
        EXPECT_EQ(ShowTip("import.htm", "Import Photo from Camera/Scanner", 1), cleared ? 0 : 1);
        qlafx::SetModalHook({});
        EXPECT_NE(page.find("From Camera/Scanner"), std::string::npos) << page;
        if (!cleared) {
            EXPECT_FALSE(grabbed.empty());
        }
    }
    // A missing page shows as missing; the box still answers.
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        if (!dialog || !dynamic_cast<CTipsDlg*>(dialog))
            return qlafx::kModalRun;
        EXPECT_NE(static_cast<CTipsDlg*>(dialog)->m_browser.GetPlainText().find("cannot be found"), std::string::npos);
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    EXPECT_EQ(ShowTip("no-such-page.htm", "Tip", 0), 0);
    qlafx::SetModalHook({});
}

// A click on a menu button while its menu is open only closes the menu.
TEST_F(AlbumWindow, MenuButtonClickThatClosesItsMenuDoesNotReopen)
{
    Open();
    CMenuButton& sort = Bar().m_sort;
    CRect r;
    sort.GetWindowRect(&r);
    int opened = 0;
    sort.m_track = [&](CMenu* popup, int x, int y) {
        EXPECT_NE(popup, nullptr);
        EXPECT_EQ(x, r.right);
        EXPECT_EQ(y, r.top);
        ++opened;
        return 0u;
    };
    // Where the click that closes the menu lands: on the button, or elsewhere.
    const QPoint over(r.CenterPoint().x, r.CenterPoint().y), away(r.right + 200, 300);
    auto click = [&](QPoint closedAt) {
        QCursor::setPos(closedAt);
        QCoreApplication::processEvents();
        sort.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    };
    click(over);
    EXPECT_EQ(opened, 1);
    click(over); // the press that closed it over the button
    EXPECT_EQ(opened, 1);
    click(away);
    EXPECT_EQ(opened, 2);
    click(away);
    EXPECT_EQ(opened, 3) << "closed elsewhere: the next click opens it";
    click(over);
    EXPECT_EQ(opened, 4);
    sort.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    click(over);
    EXPECT_EQ(opened, 5) << "a release in between clears the flag";
    sort.m_track = nullptr;
}

} // namespace
