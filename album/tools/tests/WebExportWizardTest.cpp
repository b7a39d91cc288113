#include "album/shell/FolderNode.h"
#include "album/shell/MainFrame.h"
#include "album/shell/tests/ShelfKitTestSupport.h"
#include "album/shell/tests/ShelfTestSupport.h"
#include "album/tools/WebExportWizard.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/afx/Afx.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Process.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace shelf;

namespace {

class WebWizard : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        shelfkit::ShelfWindowTest::SetUp();
        CQLImageCodec::Start();
        m_album = m_scratch.Path() + "Holiday";
        shelftest::MakeFolder(m_album);
        AfxGetApp()->WriteProfileString("General", "UserName", "Ann");
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        qlwin::SetShellExecuteHook({});
        shelfkit::ShelfWindowTest::TearDown();
    }

    // Runs the wizard: work drives it; message boxes are answered by
    // answer and recorded. Cancel ends it unless work did.
    void Run(CWebExportWizard& wizard, const std::function<void(CWebExportWizard&)>& work,
             int answer = IDOK)
    {
        qlafx::SetModalHook([&, answer](CWnd* dialog, const char* caption, const char* text, UINT) {
            if (!dialog) {
                m_messages.push_back(std::string(caption ? caption : "") + "|" + text);
                return answer;
            }
            if (dialog != &wizard)
                return IDCANCEL;
            work(wizard);
            if (wizard.m_hWnd && wizard.IsWindowVisible())
                Click(wizard, IDCANCEL);
            return qlafx::kModalRun;
        });
        wizard.DoModal();
        qlafx::SetModalHook({});
    }

    static void Click(CWnd& sheet, UINT id) { ::SendMessage(::GetDlgItem(sheet, static_cast<int>(id)), BM_CLICK, 0, 0); }
    static UINT Active(CWebExportWizard& wizard) { return wizard.GetActivePage()->m_nIDTemplate; }
    static std::string Text(CWnd* page, UINT id)
    {
        CString text;
        page->GetDlgItemText(id, text);
        return text.GetString();
    }
    static std::string Grab(CWnd& window, const char* name)
    {
        QCoreApplication::processEvents();
        return shelfkit::SaveGrab(qlafx::WidgetOf(window.m_hWnd)->grab().toImage(), name);
    }
    template <class Done> static void PumpUntil(Done done)
    {
        while (!done())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    static HTREEITEM Find(CTreeCtrl& tree, HTREEITEM item, const std::string& title)
    {
        for (; item; item = tree.GetNextSiblingItem(item)) {
            if (std::string(tree.GetItemText(item).GetString()) == title)
                return item;
            if (HTREEITEM inner = Find(tree, tree.GetChildItem(item), title))
                return inner;
        }
        return nullptr;
    }

    shelftest::ScratchFolder m_scratch;
    std::string m_album;
    std::vector<std::string> m_messages;
};

} // namespace

TEST(WebExportDate, ReadsMonthDayYear)
{
    struct Case {
        const char* text;
        bool ok;
        WebExportDate date;
    } cases[] = {
        {"12/31/2020", true, {2020, 12, 31}}, {"1-2-1901", true, {1901, 1, 2}}, {"03:04:2200", true, {2200, 3, 4}},
        {"5 6 2001", true, {2001, 5, 6}},     {"13/01/2020", false, {}},        {"01/32/2020", false, {}},
        {"01/01/1900", false, {}},            {"01/01/2201", false, {}},        {"0/1/2000", false, {}},
        {"1/1", false, {}},                   {"1/1/2000x", false, {}},         {"", false, {}},
        {"a/b/c", false, {}},                 {"1//1/2000", false, {}},         {"99999999999/1/2000", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WebExportDate date;
        ASSERT_EQ(ParseWebExportDate(c.text, date), c.ok);
        if (c.ok) {
            EXPECT_EQ(date.year, c.date.year);
            EXPECT_EQ(date.month, c.date.month);
            EXPECT_EQ(date.day, c.date.day);
        }
    }
}

TEST_F(WebWizard, StartsWithTheFoldersValuesAndKeepsTheTreeOnBackAndNext)
{
    exiftest::SavePhoto(m_album + "/a.jpg");
    shelftest::MakeFolder(m_album + "/Day 1");
    exiftest::SavePhoto(m_album + "/Day 1/b.jpg");
    shelftest::MakeFolder(m_album + "/empty");
    shelftest::MakeFolder(m_album + "/Web");
    const std::string out = m_scratch.Path() + "site";
    shelftest::MakeFolder(out + "/Web");
    shelftest::WriteBytes(out + "/Web/index.htm", "old");
    CWebExportWizard wizard(m_album, "Holiday", nullptr);
    Run(wizard, [&](CWebExportWizard& w) {
        CWnd* page1 = &w.m_page1;
        EXPECT_EQ(Text(page1, 1004), m_album);
        EXPECT_EQ(Text(page1, 1100), "Holiday");
        EXPECT_EQ(Text(page1, 1101), "Copyright Ann.");
        CString caption;
        w.GetWindowText(caption);
        EXPECT_STREQ(caption.GetString(), kWebExportCaption);
        page1->SetDlgItemText(1004, out.c_str());
        page1->SetDlgItemText(1007, "Summer");
        Click(w, ID_WIZNEXT);
        EXPECT_EQ(Active(w), CWebExportPage1::kTemplate) << "No keeps the wizard on page 1";
        EXPECT_EQ(m_messages, std::vector<std::string>{"Warning|There are pages created before, overwrite them?"});
    }, IDNO);

    m_messages.clear();
    CWebExportWizard again(m_album, "Holiday", nullptr);
    Run(again, [&](CWebExportWizard& w) {
        w.m_page1.SetDlgItemText(1004, out.c_str());
        w.m_page1.SetDlgItemText(1007, "Summer");
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage2::kTemplate);
        CTreeCtrl& tree = w.m_page2.m_tree;
        EXPECT_EQ(tree.GetCount(), 3u) << "\"Web\" is left out";
        EXPECT_EQ(w.m_settings.photosFound, 2);
        EXPECT_EQ(w.m_settings.root->description, "Summer");
        const HTREEITEM empty = Find(tree, tree.GetRootItem(), "empty");
        ASSERT_NE(empty, nullptr);
        tree.SelectItem(empty);
        EXPECT_FALSE(w.m_page2.IsDlgButtonChecked(1103)) << "an empty folder starts unchecked";
        EXPECT_FALSE(w.m_page2.GetDlgItem(1002)->IsWindowEnabled());
        const HTREEITEM day = Find(tree, tree.GetRootItem(), "Day 1");
        tree.SelectItem(day);
        EXPECT_TRUE(w.m_page2.GetDlgItem(1002)->IsWindowEnabled());
        EXPECT_FALSE(w.m_page2.GetDlgItem(1105)->IsWindowEnabled()) << "same as parent";
        w.m_page2.CheckDlgButton(1104, BST_UNCHECKED);
        w.m_page2.SendMessage(WM_COMMAND, MAKEWPARAM(1104, BN_CLICKED), 0);
        EXPECT_TRUE(w.m_page2.GetDlgItem(1105)->IsWindowEnabled());
        w.m_page2.SetDlgItemText(1002, "First day");
        w.m_page2.SetDlgItemText(1105, "Arrival");
        Click(w, ID_WIZBACK);
        ASSERT_EQ(Active(w), CWebExportPage1::kTemplate);
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage2::kTemplate);
        EXPECT_EQ(tree.GetCount(), 3u);
        EXPECT_EQ(w.m_settings.photosFound, 2) << "Back and Next keep the counts";
        WebExportFolder* node = w.m_settings.root->FindChild("Day 1");
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->title, "First day");
        EXPECT_EQ(node->description, "Arrival");
        EXPECT_EQ(node->sameAsParent, 0);
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage3::kTemplate);
        // The date is checked with the filter off too.
        EXPECT_FALSE(w.m_page3.GetDlgItem(1088)->IsWindowEnabled());
        w.m_page3.SetDlgItemText(1088, "13/01/2020");
        Click(w, ID_WIZNEXT);
        EXPECT_EQ(Active(w), CWebExportPage3::kTemplate);
        w.m_page3.SetDlgItemText(1080, "300");
        w.m_page3.SetDlgItemText(1088, "01/02/2020");
        Click(w, ID_WIZNEXT);
        EXPECT_EQ(Active(w), CWebExportPage3::kTemplate) << "300 is over the thumbnail size's range";
        w.m_page3.SetDlgItemText(1080, "96");
        w.m_page3.CheckDlgButton(1110, BST_CHECKED);
        w.m_page3.SendMessage(WM_COMMAND, MAKEWPARAM(1110, BN_CLICKED), 0);
        EXPECT_TRUE(w.m_page3.GetDlgItem(1088)->IsWindowEnabled());
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage4::kTemplate);
        PumpUntil([&] { return w.m_page4.GetDlgItem(1109)->IsWindowEnabled(); });
        EXPECT_EQ(w.m_settings.thumbSize, 96);
        EXPECT_EQ(w.m_settings.dateFilter, 1);
        EXPECT_EQ(w.m_settings.date.year, 2020);
        Click(w, ID_WIZFINISH);
    }, IDYES);
    const std::string question = "Warning|There are pages created before, overwrite them?";
    EXPECT_EQ(m_messages, (std::vector<std::string>{question, question, "QuilloShelf|Bad time format",
                                                    "QuilloShelf|Please enter an integer between 64 and 256."}))
        << "asked again after Back, then the date and the dialog's own range check";
    const std::string index = shelftest::ReadBytes(out + "/Web/index.htm");
    EXPECT_NE(index.find("Summer"), std::string::npos);
    EXPECT_NE(index.find("Day%201/index.htm"), std::string::npos);
    EXPECT_NE(shelftest::ReadBytes(out + "/Web/Day 1/index.htm").find("Arrival"), std::string::npos);
    EXPECT_TRUE(fs::exists(out + "/Web/folder.gif")) << "copied from the program's webexport folder";
}

TEST_F(WebWizard, ShowsAtMost256Folders)
{
    for (int i = 0; i < 300; ++i)
        shelftest::MakeFolder(m_album + "/f" + std::to_string(1000 + i));
    CWebExportWizard wizard(m_album, "Holiday", nullptr);
    Run(wizard, [&](CWebExportWizard& w) {
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage2::kTemplate);
        EXPECT_EQ(w.m_page2.m_tree.GetCount(), 256u);
    });
}

TEST_F(WebWizard, ViewResultOpensTheIndexWithOrWithoutASeparator)
{
    std::vector<std::string> opened;
    qlwin::SetShellExecuteHook([&](LPCSTR verb, LPCSTR file, LPCSTR) {
        opened.push_back(std::string(verb) + " " + file);
        return reinterpret_cast<HINSTANCE>(42);
    });
    CWebExportWizard wizard(m_album, "Holiday", nullptr);
    for (const char* destination : {"/srv/site", "/srv/site/"}) {
        wizard.m_settings.destination = destination;
        wizard.m_page4.OnViewResult();
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"open /srv/site/Web/index.htm", "open /srv/site/Web/index.htm"}));
}

TEST_F(WebWizard, ExportsACorpusAlbum)
{
    const std::string samples = shelfkit::CorpusPhoto("exif-samples/jpg/");
    if (samples.empty())
        GTEST_SKIP() << "corpus absent";
    const std::string album = m_scratch.Path() + "Samples";
    fs::copy(samples, album, fs::copy_options::recursive);
    const std::string out = m_scratch.Path() + "site";
    std::vector<std::string> opened;
    qlwin::SetShellExecuteHook([&](LPCSTR, LPCSTR file, LPCSTR) {
        opened.push_back(file);
        return reinterpret_cast<HINSTANCE>(42);
    });
    CWebExportWizard wizard(album, "Samples", nullptr);
    std::vector<std::string> grabs;
    Run(wizard, [&](CWebExportWizard& w) {
        w.m_page1.SetDlgItemText(1004, out.c_str());
        w.m_page1.SetDlgItemText(1100, "Camera samples");
        w.m_page1.SetDlgItemText(1007, "Photos from many cameras.");
        w.m_page1.SetDlgItemText(1102, "ann@example.org");
        grabs.push_back(Grab(w, "web_start"));
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage2::kTemplate);
        CTreeCtrl& tree = w.m_page2.m_tree;
        const HTREEITEM org = Find(tree, tree.GetRootItem(), "exif-org");
        ASSERT_NE(org, nullptr);
        tree.SelectItem(org);
        w.m_page2.SetDlgItemText(1002, "EXIF examples");
        Click(w.m_page2, 1104);
        EXPECT_FALSE(w.m_page2.IsDlgButtonChecked(1104));
        w.m_page2.SetDlgItemText(1105, "Sample photos of the standard's makers.");
        EXPECT_TRUE(w.m_page2.GetDlgItem(1104)->IsWindowEnabled());
        EXPECT_TRUE(w.m_page2.GetDlgItem(1105)->IsWindowEnabled());
        grabs.push_back(Grab(w, "web_tree"));
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage3::kTemplate);
        w.m_page3.CheckDlgButton(1110, BST_CHECKED);
        w.m_page3.SendMessage(WM_COMMAND, MAKEWPARAM(1110, BN_CLICKED), 0);
        w.m_page3.SetDlgItemText(1088, "01/01/2000");
        grabs.push_back(Grab(w, "web_settings"));
        Click(w, ID_WIZNEXT);
        ASSERT_EQ(Active(w), CWebExportPage4::kTemplate);
        EXPECT_FALSE(w.m_page4.GetDlgItem(1109)->IsWindowEnabled());
        PumpUntil([&] { return w.m_page4.GetDlgItem(1109)->IsWindowEnabled(); });
        grabs.push_back(Grab(w, "web_done"));
        Click(w.m_page4, 1109);
        Click(w, ID_WIZFINISH);
    });
    for (const std::string& grab : grabs)
        EXPECT_FALSE(grab.empty());
    EXPECT_EQ(opened, std::vector<std::string>{out + "/Web/index.htm"});
    EXPECT_TRUE(fs::exists(out + "/Web/exif-org/index.htm"));
    EXPECT_NE(shelftest::ReadBytes(out + "/Web/index.htm").find("EXIF examples"), std::string::npos);
}

TEST_F(WebWizard, TheFramesCommandOpensItOnTheCurrentFolder)
{
    exiftest::SavePhoto(m_album + "/a.jpg");
    AfxGetApp()->WriteProfileInt("ExportWeb", "Keep Original", 1);
    auto* frame = new CMainFrame;
    ASSERT_TRUE(frame->LoadFrame(128, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    EXPECT_FALSE(frame->IsCommandEnabled(32809)) << "no folder open";
    FolderNode root;
    ASSERT_EQ(root.ScanSubfolders(m_scratch.Path(), 1), 1);
    ASSERT_EQ(m_globals->m_scanner.OpenFolder(root.m_children.at(0).get()), 1);
    EXPECT_TRUE(frame->IsCommandEnabled(32809));
    std::string destination, title, copyright;
    int visitor = -1;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        auto* wizard = dynamic_cast<CWebExportWizard*>(dialog);
        if (!wizard)
            return IDCANCEL;
        destination = Text(&wizard->m_page1, 1004);
        title = Text(&wizard->m_page1, 1100);
        copyright = Text(&wizard->m_page1, 1101);
        visitor = wizard->m_settings.visitorDownload;
        return IDCANCEL;
    });
    frame->SendMessage(WM_COMMAND, 32809);
    qlafx::SetModalHook({});
    EXPECT_EQ(fs::path(destination).lexically_normal(), fs::path(m_album + "/").lexically_normal());
    EXPECT_EQ(title, "Holiday");
    EXPECT_EQ(copyright, "Copyright Ann.");
    EXPECT_EQ(visitor, 1);
    frame->DestroyWindow();
    CQLImageCodec::Start();
}
