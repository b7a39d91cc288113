#include "album/shell/AlbumTextTable.h"
#include "album/shell/tests/ShelfKitTestSupport.h"
#include "album/shell/tests/ShelfTestSupport.h"
#include "album/tools/CompactTypesetDlg.h"
#include "album/tools/EditExifDlg.h"
#include "album/tools/ExifStatsDlg.h"
#include "album/tools/TagsDlg.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace shelf;

namespace {

class ToolDialogs : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        shelfkit::ShelfWindowTest::SetUp();
        CQLImageCodec::Start();
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        shelfkit::ShelfWindowTest::TearDown();
    }
    // A scratch copy of a corpus photo; "" without the corpus. The corpus
    // is read-only and a copy keeps the mode, so the copy is made writable
    // as a user's own photo is.
    std::string Copy(const char* relative, const char* name)
    {
        const std::string source = shelfkit::CorpusPhoto(relative);
        if (source.empty())
            return {};
        const std::string target = m_scratch.Path() + name;
        fs::copy_file(source, target, fs::copy_options::overwrite_existing);
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
        return target;
    }
    shelftest::ScratchFolder m_scratch;
};

std::string Grab(CWnd* dialog, const char* name)
{
    QCoreApplication::processEvents();
    return shelfkit::SaveGrab(qlafx::WidgetOf(dialog->m_hWnd)->grab().toImage(), name);
}

std::string Text(CWnd* dialog, UINT id)
{
    CString text;
    dialog->GetDlgItemText(id, text);
    return text.GetString();
}

// Runs the window's messages until done() holds.
template <class Done> void PumpUntil(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::string TagsOf(const std::string& path)
{
    ExifInfo exif;
    EXPECT_TRUE(exif.ReadFromFile(path.c_str()));
    return exif.GetPrivateText();
}

} // namespace

TEST_F(ToolDialogs, EditExifShowsTheCanonsValues)
{
    const std::string photo = Copy("exif-samples/jpg/Canon_40D.jpg", "canon.jpg");
    if (photo.empty())
        GTEST_SKIP() << "corpus absent";
    const std::string bytes = shelftest::ReadBytes(photo);
    std::string grabbed, model, aperture;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        model = Text(dialog, 1028);
        aperture = Text(dialog, 1023);
        grabbed = Grab(dialog, "shelf_edit_exif");
        return IDCANCEL;
    });
    EditExifOfFile(photo.c_str(), nullptr);
    EXPECT_FALSE(grabbed.empty());
    EXPECT_EQ(model, "Canon EOS 40D");
    EXPECT_FALSE(aperture.empty());
    EXPECT_EQ(shelftest::ReadBytes(photo), bytes) << "Cancel writes nothing";
}

// A photo with a small record of its own.
std::string SmallPhoto(const std::string& path, const char* tags = nullptr)
{
    std::vector<exiftest::Entry> entries{exiftest::Text(272, "Cam"), exiftest::Text(306, "2021:05:06 07:08:09"),
                                         exiftest::Rational(33437, 28, 10)};
    if (tags)
        entries.push_back(exiftest::Text(53089, tags));
    return exiftest::JpegWithExif(path, entries);
}

TEST_F(ToolDialogs, EditExifFillsRefusesAndWrites)
{
    const std::string photo = SmallPhoto(m_scratch.Path() + "small.jpg");
    ExifInfo before;
    ASSERT_TRUE(before.ReadFromFile(photo.c_str()));
    std::vector<std::string> messages;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char* text, UINT) {
        if (!dialog) {
            messages.push_back(text);
            return IDOK;
        }
        EXPECT_STREQ(caption, "Edit EXIF data");
        EXPECT_EQ(Text(dialog, 1028), "Cam");
        EXPECT_FALSE(dialog->GetDlgItem(1088)->IsWindowEnabled());
        for (const char* bad : {"0/250", "1/0", "abc"}) {
            dialog->SetDlgItemText(1024, bad);
            dialog->SendMessage(WM_COMMAND, IDOK);
        }
        dialog->SetDlgItemText(1024, "1/250");
        dialog->SetDlgItemText(1031, "32768");
        dialog->SendMessage(WM_COMMAND, IDOK);
        dialog->SetDlgItemText(1031, "400");
        dialog->SetDlgItemText(1023, "5.6");
        dialog->SetDlgItemText(1025, "1");
        dialog->SetDlgItemText(1030, "-0.5");
        dialog->SetDlgItemText(1029, "35");
        dialog->SetDlgItemText(1028, "Model X");
        dialog->SetDlgItemText(1117, "Ann");
        dialog->SetDlgItemText(1101, "Mine");
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDCANCEL; // ends a dialog that refused OK
    });
    EditExifOfFile(photo.c_str(), nullptr);
    ASSERT_EQ(messages.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(messages[static_cast<size_t>(i)], "Shutter speed: Input wrong format!");
    ExifInfo after;
    ASSERT_TRUE(after.ReadFromFile(photo.c_str()));
    const ExifFields& f = after.GetFields();
    EXPECT_NEAR(f.exposureTime, 0.004, 1e-9);
    EXPECT_NEAR(f.shutterSpeed, 0.004, 0.0005);
    EXPECT_NEAR(f.fNumber, 5.6, 1e-6);
    EXPECT_NEAR(f.aperture, 5.6, 0.1);
    EXPECT_EQ(f.isoSpeed, 400);
    EXPECT_EQ(f.flash, 1);
    EXPECT_NEAR(f.exposureBias, -0.5, 1e-6);
    EXPECT_NEAR(f.focalLength, 35, 1e-6);
    EXPECT_STREQ(f.model, "Model X");
    EXPECT_STREQ(f.artist, "Ann");
    EXPECT_STREQ(f.copyright, "Mine");
    EXPECT_STREQ(f.dateTime, before.GetFields().dateTime);
}

TEST_F(ToolDialogs, EditExifWritesIntoACameraPhoto)
{
    const std::string photo = Copy("exif-samples/jpg/Canon_40D.jpg", "canon.jpg");
    if (photo.empty())
        GTEST_SKIP() << "corpus absent";
    std::vector<std::string> messages;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
        if (!dialog) {
            messages.push_back(text);
            return IDOK;
        }
        dialog->SetDlgItemText(1024, "1/250");
        dialog->SetDlgItemText(1028, "Model X");
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDCANCEL; // ends a dialog that refused OK
    });
    EditExifOfFile(photo.c_str(), nullptr);
    EXPECT_TRUE(messages.empty()) << messages.front();
    ExifInfo after;
    ASSERT_TRUE(after.ReadFromFile(photo.c_str()));
    EXPECT_STREQ(after.GetFields().model, "Model X");
    EXPECT_NEAR(after.GetFields().exposureTime, 0.004, 1e-9);
}

// A photo marked read-only is refused whoever runs the album (root too);
// a folder that cannot be written into stops the working copy.
TEST_F(ToolDialogs, EditExifOfAReadOnlyPhotoSaysSoAndKeepsIt)
{
    for (const bool lockFolder : {false, true}) {
        SCOPED_TRACE(lockFolder ? "read-only folder" : "read-only photo");
        if (lockFolder && ::geteuid() == 0)
            continue; // root writes into any folder
        shelftest::ScratchFolder scratch;
        const std::string photo = SmallPhoto(scratch.Path() + "ro.jpg");
        ::chmod(photo.c_str(), 0444);
        if (lockFolder)
            ::chmod(scratch.Path().c_str(), 0555);
        const std::string bytes = shelftest::ReadBytes(photo);
        std::vector<std::string> messages;
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
            if (!dialog) {
                messages.push_back(text);
                return IDOK;
            }
            // The small record has no exposure, so the box needs a shutter.
            dialog->SetDlgItemText(1024, "1/125");
            dialog->SendMessage(WM_COMMAND, IDOK);
            return IDCANCEL; // ends a dialog that refused OK
        });
        EditExifOfFile(photo.c_str(), nullptr);
        ::chmod(scratch.Path().c_str(), 0755);
        EXPECT_EQ(messages, (std::vector<std::string>{theAlbumTexts.GetText(75)}));
        EXPECT_EQ(shelftest::ReadBytes(photo), bytes);
        EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1)
            << "no working copy is left behind";
    }
}

TEST_F(ToolDialogs, ExportWritesTheRecordOrNothing)
{
    const std::string photo = Copy("exif-samples/jpg/Canon_40D.jpg", "canon.jpg");
    if (photo.empty())
        GTEST_SKIP() << "corpus absent";
    const std::string target = m_scratch.Path() + "canon.exif";
    std::string proposed;
    qlafx::SetModalHook([&](CWnd*, const char*, const char*, UINT) { return IDCANCEL; });
    ExportExifToFile(photo.c_str(), nullptr);
    EXPECT_FALSE(fs::exists(target)) << "a cancelled save writes nothing";
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        auto* files = dynamic_cast<CFileDialog*>(dialog);
        if (!files)
            return IDCANCEL;
        proposed = files->m_ofn.lpstrFile ? files->m_ofn.lpstrFile : "";
        qlafx::AnswerFileDialog(*files, {target});
        return IDOK;
    });
    ExportExifToFile(photo.c_str(), nullptr);
    EXPECT_EQ(proposed, target);
    ASSERT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 1904u);
    ExifFields back{};
    ASSERT_EQ(LoadExifRecord(target, back), ExifFileResult::Ok);
    ExifInfo exif;
    ASSERT_TRUE(exif.ReadFromFile(photo.c_str()));
    EXPECT_STREQ(back.model, exif.GetFields().model);
}

TEST_F(ToolDialogs, TagsShowTheCommonTagAndWriteTheNewOne)
{
    // Camera photos, with their maker notes, when the corpus is there.
    const auto tagged = [&](const char* corpus, const char* name, const char* tags) {
        std::string photo = Copy(corpus, name);
        if (photo.empty())
            return SmallPhoto(m_scratch.Path() + name, tags);
        ExifInfo exif;
        EXPECT_TRUE(exif.ReadFromFile(photo.c_str()));
        std::snprintf(exif.GetPrivateText(), 256, "%s", tags);
        EXPECT_TRUE(exif.WriteToFile(TRUE, photo.c_str(), TRUE));
        return photo;
    };
    const std::string first = tagged("exif-samples/jpg/Canon_40D.jpg", "one.jpg", "a b");
    const std::string second = tagged("exif-samples/jpg/Nikon_D70.jpg", "two.jpg", "b c");
    ASSERT_EQ(TagsOf(first), "a b");
    ASSERT_EQ(TagsOf(second), "b c");
    CTagSet tagSet;
    tagSet.Parse("Family Travel");
    CTagsDlg dialog({first, second}, tagSet);
    dialog.m_tagSetPath = m_scratch.Path() + "TagSet.ql";
    std::string grabbed;
    std::vector<std::string> messages;
    qlafx::SetModalHook([&](CWnd* window, const char*, const char* text, UINT) {
        if (!window) {
            messages.push_back(text);
            return IDOK;
        }
        EXPECT_EQ(window->SendDlgItemMessage(1125, LB_GETCOUNT), 1);
        EXPECT_EQ(window->SendDlgItemMessage(1124, LB_GETCOUNT), 2);
        grabbed = Grab(window, "tags");
        window->SetDlgItemText(1126, "");
        window->SendMessage(WM_COMMAND, 1127);
        window->SetDlgItemText(1126, "d");
        window->SendMessage(WM_COMMAND, 1127);
        window->SendMessage(WM_COMMAND, IDOK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(grabbed.empty());
    EXPECT_EQ(messages, (std::vector<std::string>{theAlbumTexts.GetText(78)}));
    EXPECT_EQ(TagsOf(first), "a b d");
    EXPECT_EQ(TagsOf(second), "b c d");
    EXPECT_EQ(shelftest::ReadBytes(dialog.m_tagSetPath), "Family Travel b d");
}

TEST_F(ToolDialogs, ExifStatisticsByCameraAndByTime)
{
    const std::string samples = shelfkit::CorpusPhoto("exif-samples/jpg/");
    if (samples.empty())
        GTEST_SKIP() << "corpus absent";
    CExifStatsDlg dialog(samples.c_str());
    std::string grabbed, grabbedTime;
    int collapsedHeight = 0;
    qlafx::SetModalHook([&](CWnd* window, const char* caption, const char*, UINT) {
        if (!window)
            return IDOK;
        EXPECT_STREQ(caption, "EXIF Statistics");
        CRect rect;
        window->GetWindowRect(&rect);
        collapsedHeight = rect.Height();
        window->SendMessage(WM_COMMAND, IDOK);
        PumpUntil([&] { return dialog.m_expanded != 0; });
        window->GetWindowRect(&rect);
        EXPECT_GT(rect.Height(), collapsedHeight);
        EXPECT_FALSE(window->GetDlgItem(IDOK)->IsWindowEnabled());
        grabbed = Grab(window, "exif_stats");
        window->SendDlgItemMessage(1147, CB_SETCURSEL, kByShotTime);
        window->SendMessage(WM_COMMAND, MAKEWPARAM(1147, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(window->GetDlgItem(1147)->m_hWnd));
        EXPECT_EQ(dialog.m_kind, kByShotTime);
        window->UpdateWindow();
        grabbedTime = Grab(window, "exif_stats_time");
        return IDCANCEL;
    });
    dialog.DoModal();
    EXPECT_FALSE(grabbed.empty());
    EXPECT_FALSE(grabbedTime.empty());
    EXPECT_GT(dialog.m_counts.found.load(), 20);
    EXPECT_GT(dialog.m_counts.counted.load(), 10);
    EXPECT_FALSE(dialog.m_table.Group(kByCamera).entries.empty());
    EXPECT_EQ(Text(&dialog, 1149).size(), 0u) << "the window is gone";
}

TEST_F(ToolDialogs, CompactTypesetSavesASheet)
{
    const std::string photo = Copy("exif-samples/jpg/mobile/jolla.jpg", "jolla.jpg");
    if (photo.empty())
        GTEST_SKIP() << "corpus absent";
    CCompactTypesetDlg dialog(photo.c_str(), m_scratch.Path().c_str());
    int rescans = 0;
    dialog.m_rescan = [&] { ++rescans; };
    std::string grabbed;
    qlafx::SetModalHook([&](CWnd* window, const char* caption, const char*, UINT) {
        if (!window)
            return IDOK;
        EXPECT_STREQ(caption, "3R/4R Compact Typeset");
        EXPECT_EQ(window->SendDlgItemMessage(1147, CB_GETCURSEL), 2);
        EXPECT_EQ(window->SendDlgItemMessage(1155, BM_GETCHECK), BST_CHECKED);
        EXPECT_EQ(Text(window, 1004), m_scratch.Path());
        grabbed = Grab(window, "compact_typeset");
        window->SendMessage(WM_COMMAND, IDOK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(grabbed.empty());
    EXPECT_EQ(rescans, 1);
    ASSERT_TRUE(fs::exists(dialog.m_savedPath)) << dialog.m_savedPath;
    EXPECT_NE(dialog.m_savedPath.find("-Fix-4R.jpg"), std::string::npos);
    int w = 0, h = 0;
    ASSERT_TRUE(CQLImageCodec::GetFileShape(dialog.m_savedPath.c_str(), &w, &h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(1800, 1200));
}

TEST_F(ToolDialogs, CompactTypesetClosesWithoutAPhoto)
{
    for (const std::string& path : {std::string(), m_scratch.Path() + "missing.jpg"}) {
        CCompactTypesetDlg dialog(path.c_str(), m_scratch.Path().c_str());
        bool shown = false;
        qlafx::SetModalHook([&](CWnd* window, const char*, const char*, UINT) {
            shown = window != nullptr;
            return IDCANCEL;
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
}
