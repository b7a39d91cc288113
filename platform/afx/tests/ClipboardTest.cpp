#include "platform/afx/Afx.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// A block holding header then bytes, as a program builds it.
HGLOBAL Block(const BITMAPINFOHEADER& h, const std::vector<unsigned char>& rows)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof h + rows.size());
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    std::memcpy(p, &h, sizeof h);
    if (!rows.empty())
        std::memcpy(p + sizeof h, rows.data(), rows.size());
    GlobalUnlock(block);
    return block;
}

BITMAPINFOHEADER Header(LONG width, LONG height, WORD bits)
{
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = BI_RGB;
    return h;
}

// 3 x 2, 24 bits, bottom-up: rows of 9 bytes padded to 12. The first stored
// row is the picture's bottom row.
HGLOBAL Dib24()
{
    return Block(Header(3, 2, 24), {
                                       // bottom: blue, green, red (B, G, R order in memory)
                                       255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0,
                                       // top: (10, 20, 30), (40, 50, 60), white
                                       30, 20, 10, 60, 50, 40, 255, 255, 255, 0, 0, 0,
                                   });
}

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override { QApplication::clipboard()->clear(); }
    void TearDown() override
    {
        CloseClipboard();
        QApplication::clipboard()->clear();
    }
    static bool Put(UINT format, HGLOBAL block)
    {
        if (!OpenClipboard(nullptr))
            return false;
        EmptyClipboard();
        const bool ok = SetClipboardData(format, block) == block;
        CloseClipboard();
        return ok;
    }
};

TEST_F(Clipboard, Dib24GoesOutAsThePicture)
{
    ASSERT_TRUE(Put(CF_DIB, Dib24()));
    const QImage image = QApplication::clipboard()->image();
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(image.pixel(1, 0), qRgb(40, 50, 60));
    EXPECT_EQ(image.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP));
}

TEST_F(Clipboard, Dib32TopDownKeepsAlphaAndTheBlockComesBack)
{
    // 2 x 1, top-down: (B,G,R,A) = (1,2,3,255), (4,5,6,128).
    HGLOBAL block = Block(Header(2, -1, 32), {1, 2, 3, 255, 4, 5, 6, 128});
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_EQ(SetClipboardData(CF_DIB, block), block);
    EXPECT_EQ(GetClipboardData(CF_DIB), block) << "our own block, as it was given";
    CloseClipboard();
    const QImage image = QApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(image.pixel(0, 0), qRgba(3, 2, 1, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgba(6, 5, 4, 128));
}

TEST_F(Clipboard, Dib32WithoutAlphaIsOpaque)
{
    ASSERT_TRUE(Put(CF_DIB, Block(Header(1, 1, 32), {7, 8, 9, 0})));
    EXPECT_EQ(QApplication::clipboard()->image().pixel(0, 0), qRgb(9, 8, 7));
}

TEST_F(Clipboard, PictureOfAnotherProgramReadsAsA32BitDib)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(1, 2, 3, 255));
    picture.setPixel(1, 0, qRgba(4, 5, 6, 255));
    picture.setPixel(0, 1, qRgba(7, 8, 9, 255));
    picture.setPixel(1, 1, qRgba(10, 11, 12, 200));
    QApplication::clipboard()->setImage(picture);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));

    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL block = GetClipboardData(CF_DIB);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(GlobalSize(block), 40u + 16u);
    const auto* p = static_cast<const unsigned char*>(GlobalLock(block));
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 2);
    EXPECT_EQ(h.biHeight, 2) << "bottom-up";
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, BI_RGB);
    // Bottom row first, each pixel B, G, R, A.
    const std::vector<unsigned char> rows(p + 40, p + 56);
    EXPECT_EQ(rows, (std::vector<unsigned char>{9, 8, 7, 255, 12, 11, 10, 200, 3, 2, 1, 255, 6, 5, 4, 255}));
    GlobalUnlock(block);
    EXPECT_EQ(GetClipboardData(CF_DIB), block) << "the same block while the contents stay";
    CloseClipboard();
}

// Out as a picture, back in as another program would hand it over.
TEST_F(Clipboard, RoundTripThroughAnotherProgramKeepsThePixels)
{
    ASSERT_TRUE(Put(CF_DIB, Dib24()));
    const QImage outgoing = QApplication::clipboard()->image();
    QApplication::clipboard()->setImage(outgoing.copy()); // now it is someone else's
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL block = GetClipboardData(CF_DIB);
    ASSERT_NE(block, nullptr);
    const auto* p = static_cast<const unsigned char*>(GlobalLock(block));
    // 32-bit bottom-up rows of the 3 x 2 picture of Dib24, each pixel B, G, R, A.
    const std::vector<unsigned char> rows(p + 40, p + 40 + 24);
    EXPECT_EQ(rows, (std::vector<unsigned char>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                                                30, 20, 10, 255, 60, 50, 40, 255, 255, 255, 255, 255}));
    GlobalUnlock(block);
    CloseClipboard();
}

TEST_F(Clipboard, BadDibHeadersAreRefusedAndTheOldContentsStay)
{
    ASSERT_TRUE(Put(CF_DIB, Dib24()));
    const std::vector<unsigned char> rows12(24, 0); // two 24-bit rows of 3 pixels
    struct Case {
        const char* name;
        BITMAPINFOHEADER h;
        std::vector<unsigned char> rows;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, auto change, std::vector<unsigned char> rows) {
        BITMAPINFOHEADER h = Header(3, 2, 24);
        change(h);
        cases.push_back({name, h, std::move(rows)});
    };
    add("header size 12", [](auto& h) { h.biSize = 12; }, rows12);
    add("header larger than the block", [](auto& h) { h.biSize = 4000; }, rows12);
    add("two planes", [](auto& h) { h.biPlanes = 2; }, rows12);
    add("8 bits", [](auto& h) { h.biBitCount = 8; }, rows12);
    add("16 bits", [](auto& h) { h.biBitCount = 16; }, rows12);
    add("run-length compressed", [](auto& h) { h.biCompression = 1; }, rows12);
    add("zero width", [](auto& h) { h.biWidth = 0; }, rows12);
    add("negative width", [](auto& h) { h.biWidth = -3; }, rows12);
    add("zero height", [](auto& h) { h.biHeight = 0; }, rows12);
    add("rows one byte short", [](auto&) {}, std::vector<unsigned char>(23, 0));
    add("rows beyond a colour table", [](auto& h) { h.biClrUsed = 1; }, rows12);
    add("huge colour table", [](auto& h) { h.biClrUsed = 0x40000000; }, rows12);
    add("huge width", [](auto& h) { h.biWidth = 0x7FFFFFFF; }, rows12);
    add("most negative height", [](auto& h) { h.biHeight = INT32_MIN; }, rows12);

    for (const Case& c : cases) {
        HGLOBAL block = Block(c.h, c.rows);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EXPECT_EQ(SetClipboardData(CF_DIB, block), nullptr) << c.name;
        CloseClipboard();
        EXPECT_NE(GlobalFree(block), block) << c.name << ": the refused block stays the caller's";
        EXPECT_EQ(QApplication::clipboard()->image().pixel(0, 0), qRgb(10, 20, 30)) << c.name;
    }
    HGLOBAL tiny = GlobalAlloc(GMEM_MOVEABLE, 39);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(SetClipboardData(CF_DIB, tiny), nullptr) << "smaller than a header";
    CloseClipboard();
    GlobalFree(tiny);
}

HGLOBAL DropBlock(const std::string& list, bool wide = false, DWORD offset = 20)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 20 + list.size());
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    const DROPFILES header{offset, {0, 0}, FALSE, wide ? TRUE : FALSE};
    std::memcpy(p, &header, 20);
    std::memcpy(p + 20, list.data(), list.size());
    GlobalUnlock(block);
    return block;
}

TEST_F(Clipboard, FileListsGoOutAsLocalFiles)
{
    const std::string list = std::string("/photos/a.jpg") + '\0' + "/photos/b\xC3\xA4r.png" + '\0' + '\0';
    ASSERT_TRUE(Put(CF_HDROP, DropBlock(list)));
    const QList<QUrl> urls = QApplication::clipboard()->mimeData()->urls();
    EXPECT_EQ(urls, (QList<QUrl>{QUrl::fromLocalFile("/photos/a.jpg"),
                                 QUrl::fromLocalFile(QString::fromUtf8("/photos/b\xC3\xA4r.png"))}));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));

    // UTF-16 lists too: "/x" and "/y".
    const std::string wide("/\0x\0\0\0/\0y\0\0\0\0\0", 14);
    ASSERT_TRUE(Put(CF_HDROP, DropBlock(wide, true)));
    EXPECT_EQ(QApplication::clipboard()->mimeData()->urls(),
              (QList<QUrl>{QUrl::fromLocalFile("/x"), QUrl::fromLocalFile("/y")}));
}

TEST_F(Clipboard, FilesOfAnotherProgramReadAsADropFilesBlock)
{
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile("/a/one.jpg"), QUrl("https://example.org/x.png"), QUrl::fromLocalFile("/b/two.tif")});
    QApplication::clipboard()->setMimeData(mime);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL block = GetClipboardData(CF_HDROP);
    ASSERT_NE(block, nullptr);
    const std::string expectedList = std::string("/a/one.jpg") + '\0' + "/b/two.tif" + '\0' + '\0';
    ASSERT_EQ(GlobalSize(block), 20 + expectedList.size());
    const auto* p = static_cast<const unsigned char*>(GlobalLock(block));
    DROPFILES header;
    std::memcpy(&header, p, 20);
    EXPECT_EQ(header.pFiles, 20u);
    EXPECT_EQ(header.fWide, FALSE);
    EXPECT_EQ(header.fNC, FALSE);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 20), expectedList.size()), expectedList);
    GlobalUnlock(block);
    EXPECT_EQ(GetClipboardData(CF_DIB), nullptr) << "no picture there";
    CloseClipboard();
}

TEST_F(Clipboard, BadFileListsAreRefused)
{
    struct Case {
        const char* name;
        HGLOBAL block;
    };
    const Case cases[] = {
        {"list offset beyond the block", DropBlock(std::string("/a\0\0", 4), false, 400)},
        {"list offset inside the header", DropBlock(std::string("/a\0\0", 4), false, 8)},
        {"no end to the list", DropBlock("/a/b.jpg")},
        {"odd wide list", DropBlock(std::string("/\0a", 3), true)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EXPECT_EQ(SetClipboardData(CF_HDROP, c.block), nullptr) << c.name;
        CloseClipboard();
        GlobalFree(c.block);
    }
}

TEST_F(Clipboard, OpeningRules)
{
    HGLOBAL block = Dib24();
    EXPECT_EQ(SetClipboardData(CF_DIB, block), nullptr) << "not open";
    EXPECT_EQ(GetClipboardData(CF_DIB), nullptr);
    EXPECT_FALSE(CloseClipboard());
    EXPECT_FALSE(EmptyClipboard());

    CWnd a;
    CWnd b;
    ASSERT_TRUE(a.CreateEx(0, AfxRegisterWndClass(0), "a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_TRUE(b.CreateEx(0, AfxRegisterWndClass(0), "b", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_TRUE(a.OpenClipboard());
    EXPECT_FALSE(b.OpenClipboard()) << "Cannot open the Clipboard while another window has it";
    BOOL fromThread = TRUE;
    std::thread([&] { fromThread = OpenClipboard(nullptr); }).join();
    EXPECT_FALSE(fromThread);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(b.OpenClipboard());
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_TRUE(CloseClipboard());
    GlobalFree(block);
    a.DestroyWindow();
    b.DestroyWindow();
}

} // namespace
