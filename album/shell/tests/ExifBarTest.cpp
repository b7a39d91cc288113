// The EXIF bar: its lines with every value and with the missing ones left
// out, the exposure text, the histogram's columns, the mode kept in the
// profile, an old preview reply dropped, and grabs of both pages.
#include "album/shell/ExifBar.h"

#include "album/shell/AnalyseWork.h"
#include "album/shell/tests/ShelfKitTestSupport.h"
#include "album/tools/SearchThread.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/tests/WndTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using namespace shelf;

namespace {

PhotoFileInfo FullInfo()
{
    PhotoFileInfo info;
    std::strcpy(info.szFileName, "a.jpg");
    info.nWidth = 3888;
    info.nHeight = 2592;
    info.stDateTaken = {2008, 5, 0, 30, 15, 56, 1, 0};
    info.nFileSize = 8192;
    std::strcpy(info.szModel, "Canon EOS 40D");
    info.fExposureTime = 1.0f / 160;
    info.fFNumber = 7.1f;
    info.fSubjectDistance = 2.5f;
    info.fFocalLength = 135;
    info.wFlash = 1;
    info.fExposureBias = -0.5f;
    info.wISO = 100;
    return info;
}

std::vector<std::string> Texts(const std::vector<CExifBar::Line>& lines, std::vector<int>* icons = nullptr)
{
    std::vector<std::string> texts;
    for (const auto& l : lines) {
        texts.push_back(l.text);
        if (icons)
            icons->push_back(l.icon);
    }
    return texts;
}

} // namespace

TEST(ExifBarLines, EveryValueAndTheMissingOnesSkipped)
{
    std::vector<int> icons;
    EXPECT_EQ(Texts(CExifBar::Lines(FullInfo(), "family trip"), &icons),
              (std::vector<std::string>{"3888 x 2592", "5-30-2008 15:56:1", "8.0 Kbytes", "Canon EOS 40D", "1/160 s",
                                        "F7.1", "2.5 m", "135 mm", "Yes", "-0.5 Ev", "ISO 100", "family trip"}));
    EXPECT_EQ(icons, (std::vector<int>{0, 1, 11, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    PhotoFileInfo bare;
    std::strcpy(bare.szFileName, "b.png");
    bare.nFileSize = 512;
    bare.wISO = 400; // ISO without an F-number is not shown
    EXPECT_EQ(Texts(CExifBar::Lines(bare, "")), (std::vector<std::string>{"0-0-0 0:0:0", "0.5 Kbytes"}));
    PhotoFileInfo noFlash = FullInfo();
    noFlash.wFlash = 0;
    noFlash.wISO = 20;
    const auto texts = Texts(CExifBar::Lines(noFlash, ""));
    EXPECT_NE(std::find(texts.begin(), texts.end(), "No"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "ISO 20"), texts.end());
}

TEST(ExifBarLines, ExposureText)
{
    const std::pair<float, const char*> cases[] = {{1.0f / 60, "1/60 s"}, {0.8f, "0.8 s"}, {1.0f / 3.3f, "0.30303 s"},
                                                   {1.0f / 60.7f, "1/61 s"}, {0.4f, "0.4 s"}, {2.0f, "2 s"},
                                                   {0.5f, "1/2 s"}};
    for (const auto& [t, text] : cases)
        EXPECT_EQ(CExifBar::ExposureText(t), text) << t;
}

TEST(ExifBarLines, HistogramColumns)
{
    BYTE histogram[256] = {};
    histogram[1] = 1;     // at least one pixel
    histogram[128] = 128; // half the height
    histogram[255] = 255;
    const RECT plot{10, 0, 10 + 512, 100}; // two columns a bin
    const auto columns = CExifBar::HistogramColumns(histogram, plot);
    ASSERT_EQ(columns.size(), 510u); // bin 0 only sets the start; the last bin ends at 10 + 510
    EXPECT_EQ(columns.front().x, 11);
    EXPECT_EQ(columns[0].height, 1);
    EXPECT_EQ(columns[1].height, 1);
    EXPECT_EQ(columns[2].height, 0);
    EXPECT_EQ(columns[254].x, 265); // bin 128: x 265..266
    EXPECT_EQ(columns[254].height, 50);
    EXPECT_EQ(columns.back().x, 520);
    EXPECT_EQ(columns.back().height, 99);
    // A narrow plot: bins share columns, none taller than the plot.
    const RECT narrow{0, 0, 100, 40};
    for (const auto& c : CExifBar::HistogramColumns(histogram, narrow))
        EXPECT_LE(c.height, 40);
}

namespace {

class ExifBarWindow : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        shelfkit::ShelfWindowTest::SetUp();
        CQLImageCodec::Start();
        ASSERT_TRUE(m_thread.CreateThread(0));
        m_parent.CreateEx(0, TestClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 260, 420, nullptr, nullptr);
    }
    void TearDown() override
    {
        if (m_bar && m_bar->m_hWnd)
            m_bar->DestroyWindow();
        m_bar.reset();
        m_parent.DestroyWindow();
        m_thread.PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(m_thread.m_hThread, 20000), WAIT_OBJECT_0);
        shelfkit::ShelfWindowTest::TearDown();
    }
    void MakeBar()
    {
        m_bar = std::make_unique<CExifBar>(&m_thread);
        ASSERT_TRUE(m_bar->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 260, 420), &m_parent, 4098));
    }
    // An entry for a photo as the folder cache makes it.
    std::unique_ptr<PhotoEntry> EntryFor(const std::string& path)
    {
        auto entry = std::make_unique<PhotoEntry>();
        CQLImageCodec codec;
        ThumbnailResult thumb;
        MakeThumbnail(codec, path.c_str(), 1, thumb);
        entry->m_thumb = std::move(thumb.thumb);
        entry->m_info.nWidth = thumb.width;
        entry->m_info.nHeight = thumb.height;
        std::memcpy(entry->m_info.histogram, thumb.histogram, 256);
        PhotoInfoResult info;
        ReadPhotoInfo(path.c_str(), info);
        ApplyPhotoInfo(info, entry->m_info);
        entry->m_info.nFileSize = static_cast<std::int32_t>(fs::file_size(path));
        std::snprintf(entry->m_info.szFileName, sizeof entry->m_info.szFileName, "%s",
                      fs::path(path).filename().c_str());
        return entry;
    }
    std::string Grab(const char* name)
    {
        m_bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        QCoreApplication::processEvents();
        return shelfkit::SaveGrab(qlafx::WidgetOf(m_bar->m_hWnd)->grab().toImage(), name);
    }

    CSearchThread m_thread;
    CWnd m_parent;
    std::unique_ptr<CExifBar> m_bar;
};

} // namespace

TEST_F(ExifBarWindow, PropertiesOfACameraPhoto)
{
    const std::string photo = shelfkit::CorpusPhoto("exif-samples/jpg/Canon_40D.jpg");
    if (photo.empty())
        GTEST_SKIP() << "no corpus";
    MakeBar();
    ASSERT_EQ(m_bar->m_mode, 0);
    auto entry = EntryFor(photo);
    m_bar->m_folder = fs::path(photo).parent_path().string() + "/";
    m_bar->ShowPhoto(entry.get());
    ASSERT_GE(m_bar->m_list.GetItemCount(), 8);
    EXPECT_EQ(std::string(m_bar->m_list.GetItemText(0, 0).GetString()),
              std::to_string(entry->m_info.nWidth) + " x " + std::to_string(entry->m_info.nHeight));
    EXPECT_EQ(std::string(m_bar->m_list.GetItemText(3, 0).GetString()), "Canon EOS 40D");
    EXPECT_FALSE(Grab("exif_bar").empty());
    // A folder item shows an empty list; none shows nothing.
    PhotoEntry folder;
    folder.m_bFolder = 1;
    m_bar->ShowPhoto(&folder);
    EXPECT_EQ(m_bar->m_list.GetItemCount(), 0);
    m_bar->ShowPhoto(nullptr);
    EXPECT_EQ(m_bar->m_list.GetItemCount(), 0);
}

TEST_F(ExifBarWindow, PreviewPageModeInProfileAndOldReplyDropped)
{
    const std::string photo = shelfkit::CorpusPhoto("exif-samples/jpg/mobile/jolla.jpg");
    if (photo.empty())
        GTEST_SKIP() << "no corpus";
    MakeBar();
    m_bar->SendMessage(WM_TABSTRIP_CHANGED, 1, 0);
    ASSERT_EQ(m_bar->m_mode, 1);
    EXPECT_FALSE(m_bar->m_list.IsWindowVisible());
    auto entry = EntryFor(photo);
    m_bar->m_folder = fs::path(photo).parent_path().string() + "/";
    m_bar->ShowPhoto(entry.get());
    ASSERT_TRUE(PumpUntil([&] { return m_bar->m_previewReady; }));
    EXPECT_FALSE(Grab("exif_bar_preview").empty());

    // A reply for an entry no longer shown is dropped and the preview freed.
    PhotoEntry other;
    m_bar->SendMessage(WM_SEARCH_PHOTO, 2, reinterpret_cast<LPARAM>(&other));
    EXPECT_FALSE(m_bar->m_previewReady);
    m_thread.LockPreview();
    EXPECT_EQ(m_bar->m_preview.GetAreaByteSize(), 0u);
    m_thread.UnlockPreview();

    m_bar->DestroyWindow();
    EXPECT_NE(ProfileText().find("qlaExifBarShowMode=1"), std::string::npos) << ProfileText();
    MakeBar();
    EXPECT_EQ(m_bar->m_mode, 1);
}
