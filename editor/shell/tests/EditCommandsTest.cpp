// The frame's editing commands, undo and redo, the clipboard and the turn by
// EXIF orientation.
#include "PhotosTestSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/Clipboard.h"

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

using photostest::PhotosTest;

class EditCommands : public PhotosTest {
protected:
    void OpenPhoto(int w = 32, int h = 24)
    {
        const std::string path = m_folder.Path() + "photo.jpg";
        WritePhoto(path, w, h);
        MakeFrame();
        ASSERT_TRUE(m_frame->OpenImageFile(path.c_str(), 1));
    }
    // B, G, R of every pixel: undo steps keep no alpha.
    static std::vector<BYTE> Pixels(const CQLImage& image)
    {
        UINT w = 0, h = 0;
        image.GetSize(&w, &h);
        std::vector<BYTE> out;
        const BYTE* p = image.GetBuffer(0, 0);
        for (size_t i = 0; i < static_cast<size_t>(w) * h * 4; ++i)
            if (i % 4 != 3)
                out.push_back(p[i]);
        return out;
    }
    static std::string LastStepName()
    {
        const auto& groups = thePhotoDocument.m_history.GetGroups();
        return groups.empty() ? "" : groups.back().steps.back().name;
    }
};

// Every command pushes its named step and undoes back to the photo.
TEST_F(EditCommands, EachCommandPushesItsStepAndUndoes)
{
    struct Case {
        UINT command;
        int textId;
        bool turns;
    };
    const Case cases[] = {
        {32785, 44, true},   {32786, 43, true},   {32787, 45, false}, {32775, 46, false},
        {32788, 23, false},  {32831, 23, false},  {32846, 89, false}, {32843, 91, false},
        {32844, 92, false},  {32870, 122, false}, {32879, 144, false},
    };
    OpenPhoto();
    const std::vector<BYTE> original = Pixels(thePhotoDocument.m_image);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Command(c.command);
        WaitForEdit();
        EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
        EXPECT_EQ(LastStepName(), theUITextTable.GetText(c.textId));
        UINT w = 0, h = 0;
        thePhotoDocument.m_image.GetSize(&w, &h);
        EXPECT_EQ(w, c.turns ? 24u : 32u);
        EXPECT_TRUE(Enabled(57643));
        Command(57643);
        EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 1);
        EXPECT_TRUE(Pixels(thePhotoDocument.m_image) == original);
        EXPECT_TRUE(Enabled(57644));
        Command(57644);
        EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 2);
        Command(57643);
    }
}

// Until the done notice is handled, nothing may change or replace the photo.
TEST_F(EditCommands, PhotoCommandsAreOffWhileAJobRuns)
{
    OpenPhoto();
    ASSERT_TRUE(m_frame->StartEdit(32785));
    for (UINT id : {32785u, 32846u, 57601u, 57602u, 57643u, 57637u, 32881u, 57603u, 32810u})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(m_frame->StartEdit(32786)) << "one job at a time";
    WaitForEdit();
    EXPECT_TRUE(Enabled(32785));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
}

// The clipboard copy: 40-byte header, 32 bits, bottom-up rows, alpha 255 in
// the copy only, the rectangle clamped to the photo.
TEST_F(EditCommands, CopyBlockBytes)
{
    CQLImage image;
    shelltest::MakeImage(&image, 4, 3, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 7, 10};
    });
    HGLOBAL block = MakeDibBlock(image, RECT{1, 0, 9, 2});
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(GlobalSize(block), 40u + 3 * 2 * 4);
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(block));
    BITMAPINFOHEADER h;
    std::memcpy(&h, bytes, sizeof h);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    const BYTE* first = bytes + 40;
    EXPECT_EQ(first[0], 1) << "x of the rectangle's left";
    EXPECT_EQ(first[1], 1) << "the bottom row comes first";
    EXPECT_EQ(first[3], 255);
    EXPECT_EQ(first[12 + 1], 0) << "then the top row";
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(image.GetPixel2(1, 1).a, 10) << "the photo keeps its alpha";
    EXPECT_EQ(MakeDibBlock(image, RECT{5, 0, 9, 2}), nullptr) << "outside the photo";
}

std::vector<BYTE> Dib(LONG width, LONG height, WORD bits, DWORD compression = BI_RGB, DWORD headerSize = 40,
                      size_t cut = 0)
{
    BITMAPINFOHEADER h{};
    h.biSize = headerSize;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    const size_t stride = (static_cast<size_t>(width < 0 ? 0 : width) * bits + 31) / 32 * 4;
    const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
    std::vector<BYTE> block(40 + (width > 0 && width < 100 ? stride * rows : 0));
    std::memcpy(block.data(), &h, sizeof h);
    for (size_t i = 40; i < block.size(); ++i)
        block[i] = static_cast<BYTE>(i);
    block.resize(block.size() - cut);
    return block;
}

// Pasting into the empty editor: 24-bit rows padded to 12 bytes for width 3,
// 32-bit rows keep their alpha; one step "Paste" and no path.
TEST_F(EditCommands, PasteIntoTheEmptyEditor)
{
    MakeFrame();
    struct Case {
        WORD bits;
        BYTE expectedAlpha;
    };
    for (const Case& c : {Case{24, 255}, Case{32, 0}}) {
        SCOPED_TRACE(c.bits);
        thePhotoDocument.Clear();
        std::vector<BYTE> block = Dib(3, 2, c.bits);
        ASSERT_TRUE(m_frame->PasteDib(block.data(), block.size()));
        UINT w = 0, h = 0;
        thePhotoDocument.m_image.GetSize(&w, &h);
        EXPECT_EQ(w, 3u);
        EXPECT_EQ(h, 2u);
        // DIB row 0 is the bottom row; its second pixel starts at 40 + bytes per pixel.
        const int step = c.bits / 8;
        const CPixel p = thePhotoDocument.m_image.GetPixel2(1, 1);
        EXPECT_EQ(p.b, static_cast<BYTE>(40 + step));
        const CPixel top = thePhotoDocument.m_image.GetPixel2(0, 0);
        EXPECT_EQ(top.b, static_cast<BYTE>(40 + 12)) << "rows of 12 bytes";
        if (c.bits == 32)
            EXPECT_EQ(p.a, static_cast<BYTE>(40 + step + 3));
        else
            EXPECT_EQ(p.a, c.expectedAlpha);
        EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
        EXPECT_EQ(LastStepName(), theUITextTable.GetText(51));
        EXPECT_STREQ(thePhotoDocument.m_path, "");
    }
    EXPECT_FALSE(m_frame->PasteDib(Dib(3, 2, 24).data(), 58)) << "an open photo takes no paste here";
}

TEST_F(EditCommands, HostileBlocksAreRefused)
{
    MakeFrame();
    const std::vector<BYTE> blocks[] = {
        Dib(3, 2, 24, BI_RGB, 12),       // header too small
        Dib(3, 2, 24, 3),                // bit fields
        Dib(3, 2, 8),                    // palette
        Dib(3, 2, 24, BI_RGB, 40, 1),    // rows cut short
        Dib(0, 2, 24),                   // no width
        Dib(70000, 2, 32),               // wider than any photo, rows missing
        Dib(3, 2, 24, BI_RGB, 4000),     // header beyond the block
    };
    for (const std::vector<BYTE>& block : blocks) {
        thePhotoDocument.Clear();
        EXPECT_FALSE(m_frame->PasteDib(block.data(), block.size()));
        EXPECT_FALSE(thePhotoDocument.IsLoaded());
    }
    std::vector<BYTE> topDown = Dib(3, -2, 24);
    ASSERT_TRUE(m_frame->PasteDib(topDown.data(), topDown.size()));
    EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(0, 0).b, 40) << "top-down rows start at the top";
}

// Through the clipboard: what Copy writes, Paste takes into an empty editor.
TEST_F(EditCommands, ClipboardRoundTrip)
{
    OpenPhoto();
    ASSERT_TRUE(CopyImageToClipboard(m_frame, thePhotoDocument.m_image, RECT{0, 0, 8, 5}));
    EXPECT_FALSE(Enabled(57637)) << "pasting into a photo needs the overlay sheet";
    EXPECT_FALSE(Enabled(57634)) << "Copy waits for its dialog";
    // With the sheet, Paste hands it the clipboard's picture.
    static UINT sheetWidth, sheetHeight;
    sheetWidth = sheetHeight = 0;
    CMainFrame::SetPasteSheetRunner([](CWnd*, CQLImage&& picture) {
        picture.GetSize(&sheetWidth, &sheetHeight);
        return IDCANCEL;
    });
    EXPECT_TRUE(Enabled(57637));
    Command(57637);
    CMainFrame::SetPasteSheetRunner(nullptr);
    EXPECT_EQ(sheetWidth, 8u);
    EXPECT_EQ(sheetHeight, 5u);
    thePhotoDocument.m_history.SetModified(FALSE);
    Command(57602);
    ASSERT_FALSE(thePhotoDocument.IsLoaded());
    EXPECT_TRUE(Enabled(57637));
    Command(57637);
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    EXPECT_EQ(w, 8u);
    EXPECT_EQ(h, 5u);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

// Photos of the corpus: wider-than-tall ones with orientation 6 or 8 are
// turned once and get orientation 1; the others are left as they are.
TEST_F(EditCommands, AutoRotationByExif)
{
    const std::string dir = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/orientation/";
    if (!std::filesystem::exists(dir + "portrait_6.jpg"))
        GTEST_SKIP() << "corpus absent";
    struct Case {
        const char* file;
        bool turned;
        WORD orientation;
    };
    const Case cases[] = {
        {"portrait_6.jpg", true, 1},
        {"portrait_8.jpg", true, 1},
        {"landscape_6.jpg", false, 6},
        {"landscape_3.jpg", false, 3},
    };
    MakeFrame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(m_frame->OpenImageFile((dir + c.file).c_str(), 1));
        UINT w0 = 0, h0 = 0;
        thePhotoDocument.m_image.GetSize(&w0, &h0);
        m_frame->AutoRotateByExif();
        WaitForEdit();
        UINT w = 0, h = 0;
        thePhotoDocument.m_image.GetSize(&w, &h);
        EXPECT_EQ(w, c.turned ? h0 : w0);
        EXPECT_EQ(thePhotoDocument.m_exif.GetOrientation(), c.orientation);
        EXPECT_EQ(thePhotoDocument.m_history.GetCount(), c.turned ? 2 : 1);
        if (c.turned)
            EXPECT_LT(w, h);
    }
    ASSERT_TRUE(m_frame->OpenImageFile((dir + "portrait_6.jpg").c_str(), 1));
    m_frame->AutoRotateByExif();
    WaitForEdit();
    m_frame->RecalcLayout();
    const QImage grab = m_frame->GetWidget()->grab().toImage();
    EXPECT_FALSE(shelltest::SaveGrab(grab, "main_autorotated").empty());
}

}  // namespace
