// "Open File": its rules (path names, file types, order, information lines,
// volumes), the dialog worked as a person would (folders, Back and Up, the
// stored folder, thumbnails, activation, OK, the hand-overs), File > Open,
// and a grab over the corpus's camera photos.
#include "PhotosTestSupport.h"

#include "algorithms/EffectAlgorithm.h"
#include "editor/shell/EditorApp.h"
#include "editor/shell/ExifInfo.h"
#include "editor/shell/OpenFileDialog.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/tests/RawTestFiles.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using photostest::PhotosTest;

const char kOpenFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|"
    "Jpeg Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|"
    "Compuserve GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|"
    "Truevision Targa(*.tga)|*.tga||";

// ---- rules ------------------------------------------------------------------

TEST(OpenDialogRules, PathNamesSkipEmptyAndRepeatedSeparators)
{
    struct Case {
        const char* path;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"/", {}},
        {"", {}},
        {"/home/ann/", {"home", "ann"}},
        {"//home///ann", {"home", "ann"}},
        {"C:\\Photos\\2024\\", {"C:", "Photos", "2024"}},
        {"/mixed\\sep/arators/", {"mixed", "sep", "arators"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenFileDialog::SplitPath(c.path), c.names) << c.path;
}

TEST(OpenDialogRules, FileTypesComeFromTheFilterPairs)
{
    const std::vector<OpenFileType> types = OpenFileDialog::ParseFilter(kOpenFilter);
    ASSERT_EQ(types.size(), 8u);
    EXPECT_EQ(types[0].name, "All Image Files");
    EXPECT_EQ(types[0].extensions,
              (std::vector<std::string>{"bmp", "jpg", "jpeg", "gif", "pcx", "tif", "tiff", "tga", "png"}));
    EXPECT_EQ(types[2].name, "Jpeg Files(*.jpg;*.jpeg)");
    EXPECT_EQ(types[2].extensions, (std::vector<std::string>{"jpg", "jpeg"}));
    EXPECT_EQ(types[6].name, "Zsoft PaintBrush Fils(*.pcx)");
    EXPECT_EQ(types[7].extensions, std::vector<std::string>{"tga"});

    // A pair without extensions, a name without patterns: no entry.
    const std::vector<OpenFileType> odd = OpenFileDialog::ParseFilter("All|*.*|Png|*.png|Lonely");
    ASSERT_EQ(odd.size(), 1u);
    EXPECT_EQ(odd[0].name, "Png");
    EXPECT_TRUE(OpenFileDialog::ParseFilter("").empty());
}

TEST(OpenDialogRules, FoldersFirstThenNamesWithoutRegardToCase)
{
    struct Item {
        const char* name;
        int folder;
    };
    const Item items[] = {{"b.jpg", 0}, {"Zeta", 1}, {"A.png", 0}, {"alpha", 1}, {"a.JPG", 0}, {"Beta", 1}};
    std::vector<ThumbJobEntry> entries;
    for (const Item& item : items) {
        ThumbJobEntry entry{};
        std::snprintf(entry.name, sizeof entry.name, "%s", item.name);
        entry.done = item.folder;
        entries.push_back(entry);
    }
    std::vector<const ThumbJobEntry*> order;
    for (const ThumbJobEntry& entry : entries)
        order.push_back(&entry);
    std::sort(order.begin(), order.end(), [](const ThumbJobEntry* a, const ThumbJobEntry* b) {
        return OpenFileDialog::ListsBefore(a, b);
    });
    std::vector<std::string> names;
    for (const ThumbJobEntry* entry : order)
        names.push_back(entry->name);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Zeta", "a.JPG", "A.png", "b.jpg"}));
}

TEST(OpenDialogRules, ExifLinesFollowTheRecord)
{
    struct Case {
        const char* name;
        double exposure;
        short flash;
        double aperture;
        short iso;
        DWORD height;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"short exposure, flash", 1.0 / 250, 1, 5.6, 200, 480,
         {"EXIF Data", "Size: 640 x 480", "Camera: Cam", "ShotTime:  2024:05:01 10:11:12", "Aperture: F5.6",
          "Shutter: 1/250(s)", "Flush On", "Sensitive: ISO200"}},
        {"half a second, no flash", 0.5, 0, 2.8, 0, 480,
         {"EXIF Data", "Size: 640 x 480", "Camera: Cam", "ShotTime:  2024:05:01 10:11:12", "Aperture: F2.8",
          "Shutter: 0.5(s)"}},
        {"nothing known", 0, -1, 0, 0, 0, {"EXIF Data", "Camera: Cam", "ShotTime:  2024:05:01 10:11:12"}},
        {"1/3 s rounds", 1.0 / 3 - 1e-9, 0, 0, 0, 0,
         {"EXIF Data", "Camera: Cam", "ShotTime:  2024:05:01 10:11:12", "Shutter: 0.3(s)"}},
        {"1/10 s", 0.1, 0, 0, 0, 0,
         {"EXIF Data", "Camera: Cam", "ShotTime:  2024:05:01 10:11:12", "Shutter: 1/10(s)"}},
    };
    for (const Case& c : cases) {
        ExifFields f{};
        f.width = 640;
        f.height = c.height;
        std::snprintf(f.model, sizeof f.model, "Cam");
        std::snprintf(f.dateTime, sizeof f.dateTime, "2024:05:01 10:11:12");
        f.exposureTime = c.exposure;
        f.flash = c.flash;
        f.aperture = c.aperture;
        f.isoSpeed = c.iso;
        EXPECT_EQ(OpenFileDialog::ExifLines(f), c.lines) << c.name;
    }
}

TEST(OpenDialogRules, VolumesUnderTheMountFolders)
{
    const std::string table = "/dev/sda1 / ext4 rw 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
                              "/dev/sr0 /run/media/ann/HOLIDAY iso9660 ro 0 0\n"
                              "/dev/sdc1 /mnt/backup ext4 rw 0 0\n"
                              "/dev/loop0 /mnt/disc udf ro 0 0\n"
                              "/dev/sdd1 /mediaX/no ext4 rw 0 0\n"
                              "broken line\n";
    struct Expect {
        const char* text;
        const char* path;
        int icon;
    };
    const Expect expected[] = {{"USB STICK", "/media/ann/USB STICK/", 2},
                               {"HOLIDAY", "/run/media/ann/HOLIDAY/", 1},
                               {"backup", "/mnt/backup/", 2},
                               {"disc", "/mnt/disc/", 1}};
    const std::vector<LookInEntry> volumes = OpenFileDialog::VolumesOf(table);
    ASSERT_EQ(volumes.size(), std::size(expected));
    for (size_t i = 0; i < volumes.size(); ++i) {
        EXPECT_STREQ(volumes[i].text, expected[i].text);
        EXPECT_STREQ(volumes[i].path, expected[i].path);
        EXPECT_EQ(volumes[i].icon, expected[i].icon) << expected[i].text;
    }
}

TEST(OpenDialogRules, InformationLinesOfACameraPhoto)
{
    const std::string folder = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/";
    if (!std::filesystem::exists(folder + "Canon_40D.jpg"))
        GTEST_SKIP() << "corpus absent";
    const std::vector<std::string> lines = OpenFileDialog::InformationLines(folder.c_str(), "Canon_40D.jpg");
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], "File Info");
    EXPECT_EQ(lines[1], "Name:    Canon_40D.jpg");
    EXPECT_EQ(lines[2], "Length:    " + std::to_string(std::filesystem::file_size(folder + "Canon_40D.jpg")) +
                            "(bytes)");
    EXPECT_EQ(lines[3].rfind("Created:  ", 0), 0u);
    EXPECT_EQ(lines[4].rfind("Midified:  ", 0), 0u);
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "EXIF Data");
    const auto has = [&lines](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("Camera: Canon EOS 40D"));
    EXPECT_TRUE(has("Shutter: 1/160(s)"));
    EXPECT_TRUE(has("Sensitive: ISO100"));
    EXPECT_EQ(lines.back(), "Property\" after open this file.");
}

TEST(OpenDialogRules, InformationLinesOfAFileWithoutExif)
{
    skintest::TempFolder folder;
    const std::string path = folder.Path() + "plain.png";
    CQLImage image;
    shelltest::MakeImage(&image, 8, 8, [](int, int) { return CPixel{10, 20, 30, 255}; });
    CQLImageCodec codec;
    ASSERT_NE(codec.SaveFile(path.c_str(), &image), 0);
    const std::vector<std::string> lines = OpenFileDialog::InformationLines(folder.Path().c_str(), "plain.png");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "Name:    plain.png");
    EXPECT_EQ(lines[5], "");
    // A folder or a missing file shows nothing.
    EXPECT_TRUE(OpenFileDialog::InformationLines(folder.Path().c_str(), "missing.jpg").empty());
}

// ---- the dialog ------------------------------------------------------------

// Sleeps in Apply, so the worker is busy for a while.
class SlowAlgorithm : public EffectAlgorithm {
public:
    HRESULT Apply(const void*) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return 0;
    }
};

class OpenDialog : public PhotosTest {
protected:
    void SetUp() override
    {
        PhotosTest::SetUp();
        m_root = m_folder.Path() + "photos/";
        std::filesystem::create_directories(m_root + "alpha");
        std::filesystem::create_directories(m_root + "Beta");
        std::filesystem::create_directories(m_root + ".hidden");
        WritePhoto(m_root + "b.jpg", 320, 240);
        WritePhoto(m_root + "A.png", 160, 160);
        WritePhoto(m_root + "c.bmp", 300, 120);
        WritePhoto(m_root + "alpha/inner.jpg");
        std::FILE* text = std::fopen((m_root + "notes.txt").c_str(), "w");
        std::fputs("not a photo", text);
        std::fclose(text);
        UseProgramFolder();
        MakeFrame();
    }
    void TearDown() override
    {
        qlafx::SetPopupMenuHook({});
        PhotosTest::TearDown();
    }

    // Runs the dialog; work gets it after its initialisation. Message boxes
    // are answered from m_answers, file dialogs with m_chosenFile.
    int Run(const std::function<int(OpenFileDialog*)>& work, std::string* path = nullptr)
    {
        qlafx::SetModalHook([this, work](CWnd* dialog, const char*, const char* text, UINT) {
            if (!dialog) {
                m_messages.push_back(text ? text : "");
                const int answer = m_answers.empty() ? IDOK : m_answers.front();
                if (!m_answers.empty())
                    m_answers.pop_front();
                return answer;
            }
            if (auto* open = dynamic_cast<OpenFileDialog*>(dialog))
                return work(open);
            if (auto* file = dynamic_cast<CFileDialog*>(dialog); file && !m_chosenFile.empty())
                qlafx::AnswerFileDialog(*file, {m_chosenFile});
            return m_dialogAnswer;
        });
        OpenFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, kOpenFilter, m_frame);
        const int result = static_cast<int>(dialog.DoModal());
        if (path)
            *path = dialog.GetPathName();
        return result;
    }
    void StoreLastFolder(const std::string& folder)
    {
        AfxGetApp()->WriteProfileString("Open", "LastFolder", folder.c_str());
    }
    static std::vector<std::string> ShownNames(OpenFileDialog* d)
    {
        std::vector<std::string> names;
        for (int i = 0; i < d->GetList().GetItemCount(); ++i)
            names.push_back(d->GetList().GetItem(i)->text);
        return names;
    }
    static int ShownIndexOf(OpenFileDialog* d, const char* name)
    {
        for (int i = 0; i < d->GetList().GetItemCount(); ++i)
            if (std::string(d->GetList().GetItem(i)->text) == name)
                return i;
        return -1;
    }
    static bool IsEnabled(OpenFileDialog* d, UINT id) { return d->GetDlgItem(id)->IsWindowEnabled(); }
    static void Click(OpenFileDialog* d, UINT id) { d->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // Runs messages until every file item shows its thumbnail.
    static bool WaitForThumbnails(OpenFileDialog* d)
    {
        for (int round = 0; round < 5000; ++round) {
            QCoreApplication::processEvents();
            bool all = true;
            for (int i = 0; i < d->GetList().GetItemCount() && all; ++i) {
                const DWORD entry = d->GetList().GetItemData(i);
                all = d->GetEntries()[entry].done == 1 || d->GetList().GetItem(i)->thumbnail != nullptr;
            }
            if (all)
                return true;
            QThread::msleep(2);
        }
        return false;
    }
    static std::vector<std::string> InfoLines(OpenFileDialog* d)
    {
        std::vector<std::string> lines;
        const int count = static_cast<int>(d->SendDlgItemMessage(IDC_OPEN_INFO, LB_GETCOUNT));
        for (int i = 0; i < count; ++i) {
            char line[256] = {};
            d->SendDlgItemMessage(IDC_OPEN_INFO, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
            lines.push_back(line);
        }
        return lines;
    }

    std::string m_root;
};

TEST_F(OpenDialog, ListsFoldersThenMatchingPhotosOfTheStoredFolder)
{
    StoreLastFolder(m_root);
    Run([this](OpenFileDialog* d) -> int {
        EXPECT_STREQ(d->GetFolder(), m_root.c_str());
        EXPECT_EQ(ShownNames(d), (std::vector<std::string>{"alpha", "Beta", "A.png", "b.jpg", "c.bmp"}));
        // The path's names follow the root that holds them, indented, the last selected.
        const std::vector<LookInEntry>& lookIn = d->GetLookIn();
        const int selected = static_cast<int>(d->SendDlgItemMessage(IDC_OPEN_LOOK_IN, CB_GETCURSEL));
        if (selected < 1) {
            ADD_FAILURE() << "nothing selected";
            return IDCANCEL;
        }
        EXPECT_STREQ(lookIn[static_cast<size_t>(selected)].text, "photos");
        EXPECT_STREQ(lookIn[static_cast<size_t>(selected)].path, m_root.c_str());
        EXPECT_EQ(lookIn[static_cast<size_t>(selected)].icon, 4);
        EXPECT_EQ(lookIn[static_cast<size_t>(selected)].indent, lookIn[static_cast<size_t>(selected) - 1].indent + 1);
        EXPECT_STREQ(lookIn[0].path, "/");
        EXPECT_EQ(static_cast<int>(d->SendDlgItemMessage(IDC_OPEN_LOOK_IN, CB_GETCOUNT)),
                  static_cast<int>(lookIn.size()));
        // Back has no history, no photo is open, and there is no capture program.
        EXPECT_FALSE(IsEnabled(d, IDC_OPEN_BACK));
        EXPECT_TRUE(IsEnabled(d, IDC_OPEN_UP));
        EXPECT_FALSE(IsEnabled(d, IDC_OPEN_CURRENT));
        EXPECT_FALSE(IsEnabled(d, IDC_OPEN_CAPTURE));
        Click(d, IDC_OPEN_CURRENT);
        EXPECT_STREQ(d->GetFolder(), m_root.c_str()) << "no photo: no folder";

        // Only PNG files.
        d->SendDlgItemMessage(IDC_OPEN_TYPE, CB_SETCURSEL, 5);
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPEN_TYPE, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(d->GetDlgItem(IDC_OPEN_TYPE)->m_hWnd));
        EXPECT_EQ(ShownNames(d), (std::vector<std::string>{"alpha", "Beta", "A.png"}));
        return IDCANCEL;
    });
}

TEST_F(OpenDialog, UpBackAndFolderItemsMoveThroughTheHistory)
{
    StoreLastFolder(m_root);
    Run([this](OpenFileDialog* d) -> int {
        d->GetList().SendMessage(WM_THUMBLIST_NOTIFY, 0, 0); // harmless with nothing selected
        d->SendMessage(WM_THUMBLIST_NOTIFY, ThumbListActivate, ShownIndexOf(d, "alpha"));
        EXPECT_STREQ(d->GetFolder(), (m_root + "alpha/").c_str());
        EXPECT_EQ(ShownNames(d), std::vector<std::string>{"inner.jpg"});
        EXPECT_TRUE(IsEnabled(d, IDC_OPEN_BACK));
        Click(d, IDC_OPEN_UP);
        EXPECT_STREQ(d->GetFolder(), m_root.c_str());
        EXPECT_EQ(d->GetHistory().size(), 2u);
        Click(d, IDC_OPEN_BACK);
        EXPECT_STREQ(d->GetFolder(), (m_root + "alpha/").c_str());
        Click(d, IDC_OPEN_BACK);
        EXPECT_STREQ(d->GetFolder(), m_root.c_str());
        EXPECT_FALSE(IsEnabled(d, IDC_OPEN_BACK));

        // At the root Up is disabled.
        EXPECT_TRUE(d->MoveTo("/", TRUE));
        EXPECT_FALSE(IsEnabled(d, IDC_OPEN_UP));
        Click(d, IDC_OPEN_UP);
        EXPECT_STREQ(d->GetFolder(), "/");

        // A folder that cannot be listed is refused and the list kept.
        const size_t shown = d->GetShown().size();
        EXPECT_FALSE(d->MoveTo((m_root + "missing/").c_str(), TRUE));
        EXPECT_STREQ(d->GetFolder(), "/");
        EXPECT_EQ(d->GetShown().size(), shown);

        // A "Look in" line goes to its folder.
        d->MoveTo(m_root.c_str(), TRUE);
        const int photos = static_cast<int>(d->SendDlgItemMessage(IDC_OPEN_LOOK_IN, CB_GETCURSEL));
        d->SendDlgItemMessage(IDC_OPEN_LOOK_IN, CB_SETCURSEL, photos - 1);
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPEN_LOOK_IN, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(d->GetDlgItem(IDC_OPEN_LOOK_IN)->m_hWnd));
        std::string parent = m_folder.Path();
        if (parent.back() != '/')
            parent += '/';
        EXPECT_STREQ(d->GetFolder(), parent.c_str());
        return IDCANCEL;
    });
}

TEST_F(OpenDialog, AStoredFolderThatIsGoneOpensTheProgramFolder)
{
    const std::string gone = m_folder.Path() + "gone/";
    StoreLastFolder(gone);
    Run([&](OpenFileDialog* d) -> int {
        EXPECT_STREQ(d->GetFolder(), g_programFolder);
        EXPECT_EQ(d->GetHistory().size(), 1u);
        if (!d->GetHistory().empty())
            EXPECT_STREQ(d->GetHistory()[0].path, gone.c_str());
        EXPECT_TRUE(IsEnabled(d, IDC_OPEN_BACK));
        const std::vector<std::string> before = ShownNames(d);
        Click(d, IDC_OPEN_BACK);
        EXPECT_STREQ(d->GetFolder(), g_programFolder) << "refused";
        EXPECT_TRUE(d->GetHistory().empty()) << "and dropped";
        EXPECT_EQ(ShownNames(d), before);
        EXPECT_FALSE(IsEnabled(d, IDC_OPEN_BACK));
        return IDCANCEL;
    });
}

TEST_F(OpenDialog, ThumbnailsArriveAndTheLastRedrawsTheWholeList)
{
    StoreLastFolder(m_root);
    Run([](OpenFileDialog* d) -> int {
        EXPECT_TRUE(WaitForThumbnails(d));
        EXPECT_EQ(d->GetList().GetWholeRedraws(), 1);
        for (const ThumbJobEntry* entry : d->GetShown()) {
            if (entry->done == 1) {
                EXPECT_EQ(entry->thumbnail, nullptr) << entry->name;
                continue;
            }
            UINT w = 0, h = 0;
            entry->thumbnail->GetSize(&w, &h);
            EXPECT_EQ(std::max(w, h), 100u) << entry->name;
        }
        return IDCANCEL;
    });
}

// Listed by name, never by reading the file: a broken photo is listed and
// its thumbnail comes as a blank picture.
TEST_F(OpenDialog, BrokenPhotosAreListedAndGetABlankThumbnail)
{
    const std::string folder = m_folder.Path() + "broken/";
    std::filesystem::create_directories(folder);
    std::FILE* empty = std::fopen((folder + "empty.jpg").c_str(), "w");
    std::fclose(empty);
    std::FILE* fake = std::fopen((folder + "fake.png").c_str(), "w");
    std::fputs("just text", fake);
    std::fclose(fake);
    StoreLastFolder(folder);
    Run([](OpenFileDialog* d) -> int {
        EXPECT_EQ(ShownNames(d), (std::vector<std::string>{"empty.jpg", "fake.png"}));
        EXPECT_TRUE(WaitForThumbnails(d));
        for (int i = 0; i < d->GetList().GetItemCount(); ++i) {
            const CQLImage* thumb = d->GetList().GetItem(i)->thumbnail;
            if (!thumb)
                continue;
            EXPECT_EQ(skintest::BgrOf(thumb->GetPixel2(50, 50)), (skintest::Bgr{255, 255, 255}));
        }
        return IDCANCEL;
    });
}

TEST_F(OpenDialog, LayoutFollowsTheSizeAndStopsAtItsSmallest)
{
    StoreLastFolder(m_root);
    Run([](OpenFileDialog* d) -> int {
        d->SetWindowPos(nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
        CRect client;
        d->GetClientRect(&client);
        const int w = client.Width(), h = client.Height();
        struct Place {
            UINT id;
            int x, y, cx, cy;
        };
        const Place places[] = {
            {IDC_OPEN_NAME, 120, h - 70, w - 280, 25}, {IDC_OPEN_DOCUMENTS, 10, 45, 180, 22},
            {IDC_OPEN_CURRENT, 10, 114, 180, 22},      {IDC_OPEN_RAW, w - 255, h - 35, 100, 25},
            {IDC_OPEN_CAPTURE, w - 365, h - 35, 105, 25}, {IDC_OPEN_LIST, 195, 45, w - 205, h - 130},
            {IDC_OPEN_INFO, 10, 140, 180, h - 225},    {IDOK, w - 140, h - 70, 130, 25},
            {IDCANCEL, w - 140, h - 35, 130, 25},
        };
        for (const Place& p : places) {
            CRect r;
            d->GetDlgItem(p.id)->GetWindowRect(&r);
            d->ScreenToClient(&r);
            EXPECT_EQ(r, CRect(p.x, p.y, p.x + p.cx, p.y + p.cy)) << p.id;
        }
        MINMAXINFO info{};
        d->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, 600);
        EXPECT_EQ(info.ptMinTrackSize.y, 400);
        return IDCANCEL;
    });
}

TEST_F(OpenDialog, CaptureFollowsItsProgramAndCurrentPhotoTheOpenPhoto)
{
    const std::string snap = std::string(g_programFolder) + "QuilloSnap";
    std::FILE* program = std::fopen(snap.c_str(), "w");
    std::fputs("#!/bin/sh\n", program);
    std::fclose(program);
    std::filesystem::permissions(snap, std::filesystem::perms::owner_all);
    WritePhoto(m_root + "alpha/open.jpg");
    ASSERT_TRUE(m_frame->OpenImageFile((m_root + "alpha/open.jpg").c_str(), 1));
    StoreLastFolder(m_root);
    Run([this](OpenFileDialog* d) -> int {
        EXPECT_TRUE(IsEnabled(d, IDC_OPEN_CAPTURE));
        EXPECT_TRUE(IsEnabled(d, IDC_OPEN_CURRENT));
        Click(d, IDC_OPEN_CURRENT);
        EXPECT_STREQ(d->GetFolder(), (m_root + "alpha/").c_str());
        return IDCANCEL;
    });
}

TEST_F(OpenDialog, SelectingAFileShowsItsLinesAndName)
{
    StoreLastFolder(m_root);
    Run([](OpenFileDialog* d) -> int {
        d->GetList().SelectItem(0, ShownIndexOf(d, "b.jpg"));
        const std::vector<std::string> lines = InfoLines(d);
        EXPECT_GE(lines.size(), 6u);
        if (lines.size() >= 2) {
            EXPECT_EQ(lines[0], "File Info");
            EXPECT_EQ(lines[1], "Name:    b.jpg");
        }
        char name[64] = {};
        d->GetDlgItemText(IDC_OPEN_NAME, name, sizeof name);
        EXPECT_STREQ(name, "b.jpg");
        // A folder shows nothing and leaves the name.
        d->GetList().SelectItem(0, ShownIndexOf(d, "alpha"));
        EXPECT_TRUE(InfoLines(d).empty());
        d->GetDlgItemText(IDC_OPEN_NAME, name, sizeof name);
        EXPECT_STREQ(name, "b.jpg");
        return IDCANCEL;
    });
}

TEST_F(OpenDialog, ActivatingAFileWaitsForTheWorkerAndReturnsItsPath)
{
    StoreLastFolder(m_root);
    SlowAlgorithm slow;
    std::string path;
    const int result = Run(
        [&](OpenFileDialog* d) -> int {
            EXPECT_TRUE(theAlgorithmThread.RunAlgorithm(&slow, nullptr, 7, 0, 100));
            d->SendMessage(WM_THUMBLIST_NOTIFY, ThumbListActivate, ShownIndexOf(d, "c.bmp"));
            EXPECT_EQ(theAlgorithmThread.IsBusy(), 0);
            return IDCANCEL; // ended already
        },
        &path);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(path, m_root + "c.bmp");
    EXPECT_EQ(std::string(AfxGetApp()->GetProfileString("Open", "LastFolder", "")), m_root);
}

// A photo picked in the list, then Enter opens it.
TEST_F(OpenDialog, EnterOpensThePickedPhoto)
{
    StoreLastFolder(m_root);
    std::string path;
    const int result = Run(
        [](OpenFileDialog* d) -> int {
            d->GetList().SetFocus();
            d->GetList().SelectItem(0, ShownIndexOf(d, "c.bmp"));
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(qlafx::WidgetOf(d->GetList().m_hWnd), &press);
            return IDCANCEL; // ended already when Enter worked
        },
        &path);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(path, m_root + "c.bmp");
}

TEST_F(OpenDialog, OkTakesTheTypedNameOrTheSelection)
{
    StoreLastFolder(m_root);
    struct Case {
        const char* typed;
        const char* selected;
        int result;
        const char* chosen;  // below the root
        const char* folder;  // below the root, when it stays open
    };
    const Case cases[] = {
        {"B.JPG", nullptr, IDOK, "b.jpg", nullptr},
        {"unknown.jpg", "A.png", IDOK, "A.png", nullptr},
        {"unknown.jpg", nullptr, IDCANCEL, nullptr, ""},
        {"alpha", nullptr, IDCANCEL, nullptr, "alpha/"},
        {"", "Beta", IDCANCEL, nullptr, "Beta/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string path;
        const int result = Run(
            [&](OpenFileDialog* d) -> int {
                if (c.selected)
                    d->GetList().SelectItem(0, ShownIndexOf(d, c.selected));
                d->SetDlgItemText(IDC_OPEN_NAME, c.typed);
                d->SendMessage(WM_COMMAND, IDOK, 0);
                if (c.folder)
                    EXPECT_STREQ(d->GetFolder(), (m_root + c.folder).c_str());
                return IDCANCEL;
            },
            &path);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(path, c.chosen ? m_root + c.chosen : "");
        StoreLastFolder(m_root);
    }
}

TEST_F(OpenDialog, TraditionalDialogHandsOverItsChoice)
{
    StoreLastFolder(m_root);
    m_chosenFile = m_root + "b.jpg";
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        theAppSettings.m_userOldStyle = 0;
        m_answers = {answer};
        m_messages.clear();
        std::string path;
        const int result = Run(
            [](OpenFileDialog* d) -> int {
                Click(d, IDC_OPEN_CLASSIC);
                return IDCANCEL;
            },
            &path);
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(path, m_chosenFile);
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_messages[0], "Use traditional file-open dialog forever?\nYou can set the way of file-open in "
                                 "'View-Settings' menu item");
        EXPECT_EQ(theAppSettings.m_userOldStyle, answer == IDYES ? 1 : 0);
    }
    theAppSettings.m_userOldStyle = 0;
}

TEST_F(OpenDialog, OpenRawOffersBothWaysAndPostsTheChoice)
{
    StoreLastFolder(m_root);
    std::vector<std::pair<std::string, bool>> items;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) -> UINT {
        for (QAction* action : shown->actions())
            if (!action->isSeparator())
                items.emplace_back(action->text().toStdString(), action->isEnabled());
        return 32900;
    });
    const int result = Run([](OpenFileDialog* d) -> int {
        Click(d, IDC_OPEN_RAW);
        return IDOK; // ended already
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first, "Open Raw (Wizard) ...");
    EXPECT_FALSE(items[0].second) << "no developer program here";
    EXPECT_EQ(items[1].first, "Open Raw (Directly) ...");
    EXPECT_TRUE(items[1].second);

    // The posted command opens a DNG chosen in its own file dialog.
    RawTestDng dng;
    dng.width = 120;
    dng.height = 80;
    m_chosenFile = m_folder.Path() + "shot.dng";
    ASSERT_TRUE(WriteRawTestDng(m_chosenFile, dng));
    for (int i = 0; i < 5000 && !thePhotoDocument.IsLoaded(); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    EXPECT_EQ(w, 120u);
    EXPECT_EQ(h, 80u);
}

// File > Open (Ctrl+O) shows this dialog unless the traditional one was chosen.
TEST_F(OpenDialog, FileOpenRunsThisDialogAndOpensTheChoice)
{
    StoreLastFolder(m_root);
    theAppSettings.m_userOldStyle = 0;
    bool shown = false;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char*, UINT) {
        if (auto* open = dynamic_cast<OpenFileDialog*>(dialog)) {
            shown = true;
            EXPECT_STREQ(caption, "Open File");
            ChooseInOpenDialog(open, m_root + "A.png");
        }
        return IDOK;
    });
    Command(57601);
    EXPECT_TRUE(shown);
    EXPECT_EQ(std::string(thePhotoDocument.m_path), m_root + "A.png");
}

TEST_F(OpenDialog, GrabOfTheCameraPhotos)
{
    const std::string folder = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/";
    if (!std::filesystem::exists(folder + "Canon_40D.jpg"))
        GTEST_SKIP() << "corpus absent";
    StoreLastFolder(folder);
    Run([](OpenFileDialog* d) -> int {
        d->SetWindowPos(nullptr, 0, 0, 900, 640, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_TRUE(WaitForThumbnails(d));
        const int canon = ShownIndexOf(d, "Canon_40D.jpg");
        EXPECT_GE(canon, 0);
        d->GetList().SelectItem(0, canon);
        d->GetList().EnsureVisible(canon);
        const std::vector<std::string> lines = InfoLines(d);
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Camera: Canon EOS 40D"), lines.end());
        QCoreApplication::processEvents();
        EXPECT_FALSE(shelltest::SaveGrab(d->GetWidget()->grab().toImage(), "open_dialog").empty());
        return IDCANCEL;
    });
}

}  // namespace
