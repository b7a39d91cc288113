#include "album/shell/AnalyseWork.h"
#include "album/shell/MainFrame.h"
#include "album/shell/PhotoListView.h"
#include "album/shell/tests/ShelfKitTestSupport.h"
#include "album/shell/tests/ShelfTestSupport.h"
#include "editor/ui/tests/SkinTestSupport.h"
#include "platform/afx/Clipboard.h"
#include "platform/afx/Menu.h"
#include "platform/afx/OleDrag.h"
#include "platform/afx/tests/WndTestSupport.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileOps.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace shelf;
namespace fs = std::filesystem;

namespace {

// The list over a scratch folder whose entries are made here, as the
// thumbnail thread would make them.
class PhotoList : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        ShelfWindowTest::SetUp();
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 1000, 640));
        m_node = std::make_unique<FolderNode>(nullptr, m_folder.Path());
    }
    void TearDown() override
    {
        qlwin::SetFileConfirmHook(nullptr);
        qlafx::SetDragHook({});
        m_list.DestroyWindow();
        m_parent.DestroyWindow();
        m_model.FreeEntries();
        ShelfWindowTest::TearDown();
    }
    void Create(int mode = 0)
    {
        AfxGetApp()->WriteProfileInt("Interface", "qlaListView", mode);
        ASSERT_TRUE(m_list.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1000, 640), &m_parent, 4100));
        m_list.m_pCutFlag = &m_cut;
    }
    // Lists the model's folder and makes every entry's thumbnail and EXIF
    // summary, as the thumbnail thread would.
    static void MakeEntries(FolderEntries& model)
    {
        std::vector<AnalyseJob> jobs;
        model.ScanFolder(jobs);
        CQLImageCodec codec;
        for (const AnalyseJob& job : jobs) {
            ThumbnailResult thumb;
            MakeThumbnail(codec, job.path.c_str(), 0, thumb);
            PhotoInfoResult info;
            ReadPhotoInfo(job.path.c_str(), info);
            ApplyPhotoInfo(info, job.entry->m_info);
            job.entry->m_info.nWidth = thumb.width;
            job.entry->m_info.nHeight = thumb.height;
            job.entry->m_thumb = std::move(thumb.thumb);
            job.entry->m_info.nThumbState = kThumbDone;
        }
        for (auto& entry : model.m_entries)
            if (entry->m_bFolder)
                model.BuildFolderPreview(entry.get());
    }
    void Load(int sortMode = 0)
    {
        m_model.FreeEntries();
        m_model.m_pCurrent = m_node.get();
        m_node->RefreshChildren();
        MakeEntries(m_model);
        m_list.Fill(m_model, sortMode);
    }
    std::string File(const std::string& name, const std::string& bytes = "x")
    {
        shelftest::WriteBytes(m_folder.Path() + name, bytes);
        return m_folder.Path() + name;
    }
    QWidget* Widget() { return qlafx::WidgetOf(m_list.m_hWnd); }
    // A click whose button comes up at once (the drag wait takes it).
    void Click(CPoint at, UINT flags = MK_LBUTTON)
    {
        QTimer::singleShot(0, [this] {
            QMouseEvent up(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                           Qt::NoModifier);
            QCoreApplication::sendEvent(Widget(), &up);
        });
        m_list.SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(at.x, at.y));
    }
    CPoint Centre(int index) const
    {
        const RECT r = m_list.GetItemRect(index);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    skintest::CParentWnd m_parent;
    shelftest::ScratchFolder m_folder;
    std::unique_ptr<FolderNode> m_node;
    FolderEntries m_model;
    CPhotoListView m_list;
    int m_cut = 0;
};

std::vector<std::string> ClipboardFiles()
{
    std::vector<std::string> paths;
    if (!::OpenClipboard(nullptr))
        return paths;
    if (HGLOBAL data = ::GetClipboardData(CF_HDROP)) {
        ParseDropBlock(GlobalLock(data), GlobalSize(data), paths);
        GlobalUnlock(data);
    }
    ::CloseClipboard();
    return paths;
}

// A main window that notes the folder it is asked to enter.
class CEnterWnd : public skintest::CParentWnd {
public:
    LPARAM m_node = 0;
    int m_count = 0;

protected:
    LRESULT OnEnter(WPARAM, LPARAM lParam)
    {
        ++m_count;
        m_node = lParam;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEnterWnd, skintest::CParentWnd)
    ON_MESSAGE(WM_SELECT_FOLDER, OnEnter)
END_MESSAGE_MAP()

std::vector<std::string> g_asked;
bool RecordAndAllow(HWND, qlwin::FileQuestion, const char* path)
{
    g_asked.push_back(path);
    return true;
}

} // namespace

// Folders first, then photos by name; the selected files skip folders and
// links; paths come from the entry's whole name.
TEST_F(PhotoList, FillOrderAndSelectedFiles)
{
    Create();
    const std::string longName = std::string(196, 'p') + ".jpg"; // 200 bytes
    File("b.jpg");
    File(longName, "long");
    File("a.jpg");
    shelftest::MakeFolder(m_folder.Path() + "sub");
    Load();
    auto link = std::make_unique<PhotoEntry>(); // as the scanner lists a link file
    std::strcpy(link->m_info.szFileName, "far.jpg.qlk");
    link->m_bPresent = 1;
    link->m_thumb.Create(2, 2);
    m_model.m_entries.push_back(std::move(link));
    m_list.Fill(m_model, 0);
    ASSERT_EQ(m_list.GetItemCount(), 5);
    EXPECT_STREQ(m_list.GetItem(0).text, "sub");
    m_list.SelectItem(0, -2);
    std::vector<std::string> files;
    EXPECT_EQ(m_list.GetSelectedFiles(files), 3);
    for (const auto& f : files) {
        EXPECT_NE(f, m_folder.Path() + "sub");
        EXPECT_NE(f, m_folder.Path() + "far.jpg.qlk");
    }
    const int longIndex = m_list.FindItemByPath((m_folder.Path() + longName).c_str());
    ASSERT_GE(longIndex, 0);
    EXPECT_EQ(std::strlen(m_list.GetItem(longIndex).text), 127u);
    EXPECT_EQ(m_list.ItemPath(longIndex), m_folder.Path() + longName);
    EXPECT_EQ(m_list.FindItemByPath((m_folder.Path() + "sub").c_str()), -1) << "folders are not found by path";
    EXPECT_TRUE(m_list.SelectItemByText("B.JPG"));
    EXPECT_EQ(m_list.GetSelectedCount(), 1);
    EXPECT_EQ(m_list.GetSelectedPath(), m_folder.Path() + "b.jpg");
    EXPECT_FALSE(m_list.SelectItemByText("none.jpg"));
}

// A finished entry repaints only for the current generation; an unknown
// entry changes nothing.
TEST_F(PhotoList, WorkerRepaintsArePostedAndChecked)
{
    Create();
    File("a.jpg");
    Load();
    PhotoEntry* entry = EntryOf(m_list.GetItem(0));
    ASSERT_NE(entry, nullptr);
    m_list.RepaintEntry(entry, m_model.m_generation + 1);
    m_list.RepaintEntry(nullptr, m_model.m_generation);
    m_list.RepaintEntry(entry, m_model.m_generation);
    QCoreApplication::processEvents();
    m_list.DropItems();
    EXPECT_EQ(m_list.GetItemCount(), 0);
    m_list.RepaintEntry(entry, m_model.m_generation);
    QCoreApplication::processEvents(); // forgotten entries are never touched
}

// Copy puts the selected files on the clipboard; a paste with the cut flag
// moves them and clears the flag; a paste into their own folder moves
// nothing.
TEST_F(PhotoList, CopyCutAndPaste)
{
    shelftest::ScratchFolder other;
    Create();
    const std::string longName = std::string(196, 'q') + ".jpg";
    File("a.jpg", "A");
    File(longName, "L");
    Load();
    m_list.SelectItem(0, -2);
    m_list.OnCopyRequest();
    const auto copied = ClipboardFiles();
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(copied[1], m_folder.Path() + longName);

    m_cut = 1;
    m_list.OnPasteRequest(); // same folder: nothing moves
    EXPECT_EQ(m_cut, 0);
    EXPECT_TRUE(fs::exists(m_folder.Path() + "a.jpg"));

    m_cut = 1;
    m_list.SetFolder(other.Path());
    m_list.OnPasteRequest();
    EXPECT_EQ(m_cut, 0);
    EXPECT_FALSE(fs::exists(m_folder.Path() + "a.jpg"));
    EXPECT_EQ(shelftest::ReadBytes(other.Path() + longName), "L");

    // A copy keeps the source.
    shelftest::ScratchFolder third;
    shelftest::WriteBytes(other.Path() + "c.jpg", "C");
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const std::string block = MakeDropBlock({other.Path() + "c.jpg"});
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, block.size());
    std::memcpy(GlobalLock(data), block.data(), block.size());
    GlobalUnlock(data);
    ASSERT_NE(::SetClipboardData(CF_HDROP, data), nullptr);
    ::CloseClipboard();
    EXPECT_TRUE(m_list.CanPaste());
    m_list.SetFolder(third.Path());
    m_list.OnPasteRequest();
    EXPECT_TRUE(fs::exists(other.Path() + "c.jpg"));
    EXPECT_EQ(shelftest::ReadBytes(third.Path() + "c.jpg"), "C");
}

// Dropped files: a clash arrives renamed, an unknown type and a file of
// the folder itself are not copied.
TEST_F(PhotoList, DroppedFiles)
{
    shelftest::ScratchFolder outside;
    Create();
    File("a.jpg", "here");
    shelftest::WriteBytes(outside.Path() + "a.jpg", "there");
    shelftest::WriteBytes(outside.Path() + "notes.txt", "t");
    Load();
    SendFileDrop(Widget(),
                 {QUrl::fromLocalFile(QString::fromStdString(outside.Path() + "a.jpg")),
                  QUrl::fromLocalFile(QString::fromStdString(outside.Path() + "notes.txt")),
                  QUrl::fromLocalFile(QString::fromStdString(m_folder.Path() + "a.jpg"))},
                 QPoint(50, 50));
    EXPECT_EQ(shelftest::ReadBytes(m_folder.Path() + "a.jpg"), "here");
    EXPECT_EQ(shelftest::ReadBytes(m_folder.Path() + "a (2).jpg"), "there");
    EXPECT_FALSE(fs::exists(m_folder.Path() + "notes.txt"));
    EXPECT_FALSE(fs::exists(m_folder.Path() + "a (3).jpg"));
}

// Delete asks through the file-operation hook and removes the right file.
TEST_F(PhotoList, DeleteThroughTheShell)
{
    Create();
    const std::string longName = std::string(196, 'r') + ".jpg";
    File(longName);
    File(std::string(123, 'r') + ".jpg"); // what the caption would name
    File("keep.jpg");
    Load();
    g_asked.clear();
    qlwin::SetFileConfirmHook(RecordAndAllow);
    m_list.OnDeleteKey(); // no selection: nothing
    EXPECT_TRUE(g_asked.empty());
    ASSERT_TRUE(m_list.SelectItemByText(m_list.GetItem(m_list.FindItemByPath((m_folder.Path() + longName).c_str())).text));
    m_list.OnDeleteKey();
    EXPECT_FALSE(g_asked.empty());
    EXPECT_FALSE(fs::exists(m_folder.Path() + longName));
    EXPECT_TRUE(fs::exists(m_folder.Path() + std::string(123, 'r') + ".jpg"));
    EXPECT_TRUE(fs::exists(m_folder.Path() + "keep.jpg"));
}

// The tick-box corner toggles without a drag; a press elsewhere offers the
// selection's files only once the pointer leaves the square, and a press
// released at once still completes the click.
TEST_F(PhotoList, TickBoxAndDrag)
{
    Create();
    File("a.jpg");
    File("b.jpg");
    File("c.jpg");
    Load();
    int drags = 0;
    QList<QUrl> offered;
    qlafx::SetDragHook([&](const QMimeData& data, DROPEFFECT allowed) {
        ++drags;
        offered = data.urls();
        EXPECT_EQ(allowed, DROPEFFECT_COPY | DROPEFFECT_LINK);
        return DROPEFFECT_COPY;
    });
    m_list.SelectItem(0, 0);
    const RECT r1 = m_list.GetItemRect(1);
    m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r1.right - 3, r1.bottom - 3));
    m_list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(r1.right - 3, r1.bottom - 3));
    EXPECT_EQ(m_list.GetSelectedCount(), 2) << "the corner toggles";
    EXPECT_EQ(drags, 0);

    Click(Centre(0)); // a plain click inside a selection selects only that item on release
    EXPECT_EQ(drags, 0);
    EXPECT_EQ(m_list.GetSelectedCount(), 1);
    EXPECT_EQ(m_list.GetCurSel(), 0);

    m_list.SelectItem(MK_CONTROL, 2);
    POINT cursor;
    ::GetCursorPos(&cursor);
    QTimer::singleShot(0, [&] {
        for (QPoint at : {QPoint(cursor.x + 10, cursor.y), QPoint(cursor.x + 11, cursor.y)}) {
            QMouseEvent move(QEvent::MouseMove, Widget()->mapFromGlobal(at), at, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(Widget(), &move);
            if (at.x() == cursor.x + 10)
                EXPECT_EQ(drags, 0) << "inside the square";
        }
    });
    m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Centre(2).x, Centre(2).y));
    EXPECT_EQ(drags, 1);
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered[0].toLocalFile().toStdString(), m_folder.Path() + "a.jpg");
    EXPECT_EQ(offered[1].toLocalFile().toStdString(), m_folder.Path() + "c.jpg");
}

// Opening a folder item asks the main window to enter it.
TEST_F(PhotoList, OpeningAFolderPostsToTheMainWindow)
{
    Create();
    shelftest::MakeFolder(m_folder.Path() + "sub");
    File("a.jpg");
    Load();
    ASSERT_TRUE(EntryOf(m_list.GetItem(0))->m_bFolder);
    CEnterWnd main;
    ASSERT_TRUE(main.CreateParent(0, 0, 100, 100));
    CWinThread* thread = AfxGetThread();
    CWnd* oldMain = thread->m_pMainWnd;
    thread->m_pMainWnd = &main;
    m_list.OpenItem(0);
    m_list.OpenItem(1); // a photo: nothing until the View Photo dialog lands
    EXPECT_TRUE(PumpUntil([&] { return main.m_count > 0; }, 2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(main.m_count, 1);
    EXPECT_EQ(main.m_node, reinterpret_cast<LPARAM>(EntryOf(m_list.GetItem(0))->m_pNode));
    thread->m_pMainWnd = oldMain;
    main.DestroyWindow();
}

namespace {

// The corpus's camera photos, a link and a subfolder with a mosaic.
class PhotoListGrab : public PhotoList {
protected:
    bool FillFromCorpus()
    {
        const std::string corpus = shelfkit::CorpusPhoto("exif-samples/jpg/Canon_40D.jpg");
        if (corpus.empty())
            return false;
        const fs::path source = fs::path(corpus).parent_path();
        shelftest::MakeFolder(m_folder.Path() + "Mosaic");
        int copied = 0;
        for (const auto& item : fs::directory_iterator(source)) {
            if (item.path().extension() != ".jpg" || item.path().filename() == "corrupted.jpg")
                continue;
            fs::copy_file(item.path(), m_folder.Path() + item.path().filename().string());
            if (copied++ < 4)
                fs::copy_file(item.path(), m_folder.Path() + "Mosaic/" + item.path().filename().string());
        }
        FolderNode mosaic(nullptr, m_folder.Path() + "Mosaic/");
        FolderEntries inside;
        inside.m_pCurrent = &mosaic;
        MakeEntries(inside);
        inside.SavePropertyFile(&mosaic); // the mosaic is made from it
        Load();
        auto link = std::make_unique<PhotoEntry>();
        std::strcpy(link->m_info.szFileName, "Canon_40D.jpg.qlk");
        link->m_bPresent = 1;
        for (auto& entry : m_model.m_entries)
            if (std::strcmp(entry->m_info.szFileName, "Canon_40D.jpg") == 0)
                CQLImageCodec().Resample(&entry->m_thumb, &link->m_thumb, 100, 66, 1);
        m_model.m_entries.push_back(std::move(link));
        for (auto& entry : m_model.m_entries)
            if (std::strcmp(entry->m_info.szFileName, "Nikon_D70.jpg") == 0)
                entry->m_info.nThumbState = kThumbFirstPass;
        m_list.Fill(m_model, 0);
        return true;
    }
    QImage Grab()
    {
        m_list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        QCoreApplication::processEvents();
        return Widget()->grab().toImage();
    }
};

} // namespace

TEST_F(PhotoListGrab, Thumbnails)
{
    Create(0);
    if (!FillFromCorpus())
        GTEST_SKIP() << "corpus absent";
    m_list.SetFocus();
    m_list.SelectItem(0, 2);
    m_list.SelectItem(MK_SHIFT, 4);
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(Centre(6).x, Centre(6).y));
    EXPECT_EQ(m_list.GetHoverItem(), 6);
    const QImage picture = Grab();
    EXPECT_FALSE(shelfkit::SaveGrab(picture, "shelf_list_thumbs").empty());
}

TEST_F(PhotoListGrab, Details)
{
    Create(1);
    EXPECT_EQ(m_list.GetViewMode(), 1) << "the view mode comes from the profile";
    if (!FillFromCorpus())
        GTEST_SKIP() << "corpus absent";
    m_list.SelectItem(0, 3);
    const QImage picture = Grab();
    EXPECT_FALSE(shelfkit::SaveGrab(picture, "shelf_list_details").empty());
}

// The context menu with its icons, drawn by the album's owner-drawn menu.
TEST_F(PhotoListGrab, ContextMenu)
{
    Create(0);
    if (!FillFromCorpus())
        GTEST_SKIP() << "corpus absent";
    QImage shown;
    int calls = 0;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* menu) -> UINT {
        ++calls;
        menu->resize(menu->sizeHint()); // the whole menu, not the part a small screen shows
        shown = menu->grab().toImage();
        return 0;
    });
    const CPoint at = Centre(2);
    m_list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    qlafx::SetPopupMenuHook({});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(m_list.GetCurSel(), 2) << "an unselected item becomes the selection";
    ASSERT_FALSE(shown.isNull());
    const QImage list = Grab();
    QImage picture(list.width(), std::max(list.height(), shown.height()), QImage::Format_ARGB32);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, list);
        painter.drawImage(at.x, 0, shown);
    }
    EXPECT_FALSE(shelfkit::SaveGrab(picture, "shelf_list_menu").empty());
}

namespace {

// The main frame's commands on the list (the frame needs no window for them).
class FrameCommands : public PhotoList {
protected:
    void Run(UINT id) { m_frame.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }
    CMainFrame m_frame;
};

} // namespace

TEST_F(FrameCommands, DisabledWithoutTheList)
{
    for (UINT id : {57634u, 57635u, 57637u, 32783u, 32817u, 32818u, 32823u, 32814u, 32801u, 59410u})
        EXPECT_FALSE(m_frame.IsCommandEnabled(id)) << id;
}

TEST_F(FrameCommands, CopyCutFlagsAndListView)
{
    Create();
    File("a.jpg");
    Load();
    m_frame.SetPhotoList(&m_list);
    EXPECT_FALSE(m_frame.IsCommandEnabled(57635)) << "nothing selected";
    m_list.SelectItem(0, 0);
    Run(57635);
    EXPECT_EQ(m_frame.m_clipboardCut, 1);
    EXPECT_EQ(ClipboardFiles(), std::vector<std::string>{m_folder.Path() + "a.jpg"});
    Run(57634);
    EXPECT_EQ(m_frame.m_clipboardCut, 0);
    EXPECT_TRUE(m_frame.IsCommandEnabled(57637));
    Run(59410);
    EXPECT_EQ(m_list.GetViewMode(), 1);
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Interface", "qlaListView", 0), 1u);
    Run(32801);
    EXPECT_EQ(m_list.GetViewMode(), 0);
    m_frame.SetPhotoList(nullptr);
}

// Automatically rotate all, through the album's scanner: photos stored on
// their side turn once; a second run turns nothing; other files stay.
TEST_F(FrameCommands, AutomaticallyRotateAll)
{
    const std::string samples = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/orientation/";
    if (!fs::exists(samples + "portrait_6.jpg"))
        GTEST_SKIP() << "corpus absent";
    for (const char* name : {"portrait_6.jpg", "portrait_8.jpg", "landscape_6.jpg"}) {
        fs::copy_file(samples + name, m_folder.Path() + name);
        fs::permissions(m_folder.Path() + name, fs::perms::owner_write, fs::perm_options::add);
    }
    CQLImage wide;
    ASSERT_EQ(wide.Create(40, 20), 0);
    ASSERT_NE(CQLImageCodec().SaveFile((m_folder.Path() + "wide.png").c_str(), &wide), 0);
    Create();
    AlbumScanner& scanner = theAlbum->m_scanner;
    ASSERT_EQ(scanner.OpenFolder(m_node.get()), 1);
    scanner.GetThread()->WaitIdle();
    m_frame.SetPhotoList(&m_list);
    m_list.Fill(scanner.m_model, 0);
    ASSERT_EQ(m_list.GetItemCount(), 4);
    std::map<std::string, std::string> before;
    for (const char* name : {"portrait_6.jpg", "portrait_8.jpg", "landscape_6.jpg", "wide.png"})
        before[name] = shelftest::ReadBytes(m_folder.Path() + name);
    ASSERT_TRUE(m_frame.IsCommandEnabled(32823));
    Run(32823);
    EXPECT_NE(shelftest::ReadBytes(m_folder.Path() + "portrait_6.jpg"), before["portrait_6.jpg"]);
    EXPECT_NE(shelftest::ReadBytes(m_folder.Path() + "portrait_8.jpg"), before["portrait_8.jpg"]);
    EXPECT_EQ(shelftest::ReadBytes(m_folder.Path() + "landscape_6.jpg"), before["landscape_6.jpg"]);
    EXPECT_EQ(shelftest::ReadBytes(m_folder.Path() + "wide.png"), before["wide.png"]);
    EXPECT_EQ(m_list.GetItemCount(), 4) << "the list is filled again";
    const std::string turned = shelftest::ReadBytes(m_folder.Path() + "portrait_6.jpg");
    Run(32823);
    EXPECT_EQ(shelftest::ReadBytes(m_folder.Path() + "portrait_6.jpg"), turned) << "a second run turns nothing";
    m_frame.SetPhotoList(nullptr);
    scanner.CloseFolder();
}
