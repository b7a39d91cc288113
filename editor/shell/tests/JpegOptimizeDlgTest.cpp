// "Jpeg Slimming": the size rule, proposed names, saving (OK makes the saved
// JPEG the photo's file with an undo step), Cancel, schemes and a grab on a
// corpus photo.
#include "ShellWindowsTestSupport.h"

#include "editor/shell/JpegOptimizeDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <QWidget>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char kCannotSave[] = "Can not save file!";

std::vector<char> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PumpUntil(const std::function<bool()>& done, int ms = 60000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        qlafx::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

std::vector<std::string> InfoLines(CJpegOptimizeDlg* dlg)
{
    std::vector<std::string> lines;
    const int n = static_cast<int>(dlg->SendDlgItemMessage(IDC_JPEG_INFO, LB_GETCOUNT));
    for (int i = 0; i < n; ++i) {
        char text[512] = {};
        dlg->SendDlgItemMessage(IDC_JPEG_INFO, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        lines.emplace_back(text);
    }
    return lines;
}

bool PreviewDone(CJpegOptimizeDlg* dlg)
{
    return dlg->m_outputBytes > 0 && !dlg->JobPending() && dlg->SendDlgItemMessage(IDC_JPEG_INFO, LB_GETCOUNT) > 0;
}

class JpegOptimizeDlgTest : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        m_frame = new CMainFrame;
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
        qlafx::SetModalHook([this](CWnd* dialog, const char* caption, const char* text, UINT) -> int {
            if (!dialog) {
                m_boxes.emplace_back(text ? text : "");
                return IDOK;
            }
            if (auto* files = dynamic_cast<CFileDialog*>(dialog)) {
                m_proposed = files->m_ofn.lpstrFile ? files->m_ofn.lpstrFile : "";
                m_fileCaption = caption ? caption : "";
                if (m_saveAs.empty())
                    return IDCANCEL;
                qlafx::AnswerFileDialog(*files, {m_saveAs});
                return IDOK;
            }
            if (auto* slim = dynamic_cast<CJpegOptimizeDlg*>(dialog))
                return m_work ? m_work(slim) : IDCANCEL;
            if (dialog->GetDlgItem(IDC_PROMPT_EDIT) && !m_schemeName.empty()) {
                dialog->SetDlgItemText(IDC_PROMPT_EDIT, m_schemeName.c_str());
                dialog->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
                return qlafx::kModalRun;
            }
            return IDCANCEL;
        });
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        m_frame = nullptr;
        m_app.m_pMainWnd = nullptr;
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
        ShellWindowsTest::TearDown();
    }
    // A 1600 x 1200 JPEG opened as the photo; its path.
    std::string OpenPhoto(const char* name = "photo.jpg")
    {
        const std::string path = m_folder.Path() + name;
        CQLImage image;
        shelltest::MakeImage(&image, 1600, 1200, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x / 7), static_cast<BYTE>(y / 5), static_cast<BYTE>((x + y) % 256), 255};
        });
        CQLImageCodec codec;
        EXPECT_NE(codec.SaveJpegFile(path.c_str(), &image, 90, 72), 0);
        EXPECT_TRUE(m_frame->OpenImageFile(path.c_str(), 1));
        return path;
    }
    // Runs the dialog; work gets it once it is up and answers for it.
    int Run(std::function<int(CJpegOptimizeDlg*)> work)
    {
        m_work = std::move(work);
        return RunJpegOptimizeDlg(m_frame);
    }
    // Presses a button and waits until a save job started by it has ended.
    static void PressAndWait(CJpegOptimizeDlg* dlg, UINT id)
    {
        dlg->SendMessage(WM_COMMAND, id, 0);
        EXPECT_TRUE(PumpUntil([&] { return dlg->m_saveTag == 0 && !dlg->JobPending(); }));
    }

    CMainFrame* m_frame = nullptr;
    std::function<int(CJpegOptimizeDlg*)> m_work;
    std::vector<std::string> m_boxes;
    std::string m_saveAs, m_proposed, m_fileCaption, m_schemeName;
};

} // namespace

TEST(JpegSlimmingRules, SizeRuleLimitsTheSideItNames)
{
    struct Case {
        int w, h, mode, pixels, cx, cy;
    };
    const Case cases[] = {
        {1600, 1200, 3, 1280, 1280, 960}, // landscape: the width
        {1200, 1600, 3, 1280, 960, 1280}, // portrait: the height
        {1600, 1600, 3, 800, 800, 800},   // square counts as portrait
        {1600, 1200, 1, 800, 800, 600},   {1600, 1200, 2, 600, 800, 600},
        {1600, 1200, 1, 1600, 1600, 1200}, // not smaller: kept
        {1600, 1200, 2, 5000, 1600, 1200}, {1600, 1200, 0, 10, 1600, 1200},
        {4000, 2, 1, 100, 100, 1},         // never below one pixel
    };
    for (const Case& c : cases) {
        const SIZE s = SlimmedSize(c.w, c.h, c.mode, c.pixels);
        EXPECT_EQ(s.cx, c.cx) << c.w << "x" << c.h << " mode " << c.mode << " " << c.pixels;
        EXPECT_EQ(s.cy, c.cy) << c.w << "x" << c.h << " mode " << c.mode << " " << c.pixels;
    }
}

TEST(JpegSlimmingRules, SharpeningFollowsTheScale)
{
    EXPECT_EQ(ResizeSharpenAmount(0.25), 30);
    EXPECT_EQ(ResizeSharpenAmount(0.49), 30);
    EXPECT_EQ(ResizeSharpenAmount(0.5), 30);
    EXPECT_EQ(ResizeSharpenAmount(0.6), 25);
    EXPECT_EQ(ResizeSharpenAmount(0.75), 17);
    EXPECT_EQ(ResizeSharpenAmount(1.0), 5);
}

TEST(JpegSlimmingRules, ProposedNames)
{
    struct Case {
        const char* title;
        int mode, w, h;
        double kb;
        const char* name;
    };
    const Case cases[] = {
        {"", 3, 1280, 960, 153907 / 1024.0, "untittle.1280x960.150.3K.jpg"},
        {nullptr, 0, 1280, 960, 10.0, "untittle.10.0K.jpg"},
        {"Canon_40D", 1, 800, 533, (80000 + 20480) / 1024.0, "Canon_40D.800x533.98.1K.jpg"},
        {"holiday", 0, 3000, 2000, 512.04, "holiday.512.0K.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProposedJpegName(c.title, c.mode, c.w, c.h, c.kb), c.name);
}

TEST_F(JpegOptimizeDlgTest, OkMakesTheSavedJpegThePhotosFileWithAnUndoStep)
{
    const std::string original = OpenPhoto();
    const std::vector<char> originalBytes = FileBytes(original);
    const int steps = thePhotoDocument.m_history.GetCount();
    m_saveAs = m_folder.Path() + "web/small.jpg";
    fs::create_directories(m_folder.Path() + "web");
    std::vector<std::string> info;
    DWORD measured = 0;
    const int answer = Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        info = InfoLines(dlg);
        measured = dlg->m_outputBytes;
        PressAndWait(dlg, IDOK);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(answer, IDOK);
    EXPECT_TRUE(m_boxes.empty());
    char expected[64];
    std::snprintf(expected, sizeof expected, "photo.1280x960.%.1fK.jpg", measured / 1024.0);
    EXPECT_EQ(fs::path(m_proposed).filename().string(), expected);
    ASSERT_GE(info.size(), 4u);
    EXPECT_EQ(info[1].rfind("Output quality(for reference):", 0), 0u) << info[1];
    EXPECT_EQ(info[2].rfind("Original photo:1280x960\xEF\xBC\x8C" "3600.0KB", 0), 0u) << info[2];

    // The file holds the photo now shown, and the photo is that file.
    ASSERT_TRUE(fs::exists(m_saveAs));
    EXPECT_EQ(fs::file_size(m_saveAs), measured);
    EXPECT_STREQ(thePhotoDocument.m_path, m_saveAs.c_str());
    EXPECT_EQ(thePhotoDocument.m_fileSize, static_cast<int>(fs::file_size(m_saveAs)));
    EXPECT_STREQ(thePhotoDocument.m_folderList.CurrentPath(), m_saveAs.c_str());
    EXPECT_FALSE(thePhotoDocument.IsModified());
    CString title;
    m_frame->GetWindowText(title);
    EXPECT_NE(std::string(title).find("small"), std::string::npos) << title;
    CQLImage saved;
    CQLImageCodec codec;
    ASSERT_NE(codec.LoadFile(m_saveAs.c_str(), &saved), 0);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 1280);
    EXPECT_TRUE(std::equal(saved.GetBuffer(0, 0), saved.GetBuffer(0, 0) + saved.GetAreaByteSize(),
                           thePhotoDocument.m_image.GetBuffer(0, 0)));

    // One undo step named after the mode leads back; the original is untouched.
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
    char actions[512];
    thePhotoDocument.m_history.GetActionText(sizeof actions, actions);
    EXPECT_NE(std::string(actions).find("Save for web or email,"), std::string::npos) << actions;
    ASSERT_NE(thePhotoDocument.m_history.Undo(&thePhotoDocument.m_image), 0);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 1600);
    EXPECT_EQ(FileBytes(original), originalBytes);
}

TEST_F(JpegOptimizeDlgTest, SaveACopyKeepsTheDialogAndThePhoto)
{
    const std::string original = OpenPhoto();
    m_saveAs = m_folder.Path() + "copy.jpg";
    int copies = 0;
    const int answer = Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        PressAndWait(dlg, IDC_JPEG_SAVE_COPY);
        copies = fs::exists(m_saveAs) ? 1 : 0;
        EXPECT_TRUE(::IsWindow(dlg->m_hWnd) && dlg->IsWindowVisible());
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        EXPECT_TRUE(dlg->GetDlgItem(IDCANCEL)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(copies, 1);
    EXPECT_STREQ(thePhotoDocument.m_path, original.c_str());
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 1600);
}

TEST_F(JpegOptimizeDlgTest, CancelRestoresTheUntouchedPhoto)
{
    OpenPhoto();
    CQLImage before;
    ASSERT_TRUE(before.DuplicateFrom(&thePhotoDocument.m_image));
    const int steps = thePhotoDocument.m_history.GetCount();
    SIZE during{};
    const int answer = Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        during = SizeOf(thePhotoDocument.m_image);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(during.cx, 1280);
    EXPECT_EQ(during.cy, 960);
    ASSERT_EQ(thePhotoDocument.m_image.GetAreaByteSize(), before.GetAreaByteSize());
    EXPECT_TRUE(std::equal(before.GetBuffer(0, 0), before.GetBuffer(0, 0) + before.GetAreaByteSize(),
                           thePhotoDocument.m_image.GetBuffer(0, 0)));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps);
}

TEST_F(JpegOptimizeDlgTest, FailedSaveSaysSoAndKeepsTheDialogOpen)
{
    const std::string original = OpenPhoto();
    m_saveAs = m_folder.Path() + "missing folder/x.jpg";
    bool openAfter = false;
    const int answer = Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        PressAndWait(dlg, IDOK);
        openAfter = ::IsWindow(dlg->m_hWnd) && dlg->IsWindowVisible();
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(m_boxes, std::vector<std::string>{kCannotSave});
    EXPECT_FALSE(fs::exists(m_folder.Path() + "missing folder"));
    EXPECT_STREQ(thePhotoDocument.m_path, original.c_str());
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 1600);
}

TEST_F(JpegOptimizeDlgTest, SchemeKeepsTheBudgetLessExifAndShowsItAsTheLimit)
{
    OpenPhoto();
    m_schemeName = "forum";
    std::string shownLimit;
    std::vector<std::string> lines;
    const int answer = Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        // Schemes go to the test's own SaveSet from here on.
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s",
                      m_folder.Path().c_str());
        // As if the photo had a 20 KB EXIF block.
        dlg->m_exifBytes = 20 * 1024;
        dlg->m_includeExif = 1;
        dlg->m_tradeOff = 2;
        dlg->m_limitKB = 200;
        dlg->m_pixels = 640;
        dlg->ShowValues();
        dlg->SendMessage(WM_COMMAND, IDC_JPEG_SCHEME_SAVE, 0);

        // The list is read again on the next opening; here by hand.
        dlg->LoadSchemeList();
        for (int i = 0; i < static_cast<int>(dlg->SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETCOUNT)); ++i) {
            char text[256] = {};
            dlg->SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            lines.emplace_back(text);
        }
        dlg->SendDlgItemMessage(IDC_JPEG_SCHEME, CB_SETCURSEL, 1);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_JPEG_SCHEME, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_JPEG_SCHEME)->m_hWnd));
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        CString limit;
        dlg->GetDlgItemText(IDC_JPEG_LIMIT, limit);
        shownLimit = static_cast<const char*>(limit);
        EXPECT_EQ(dlg->m_custom, 0);
        EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 640);
        EXPECT_TRUE(dlg->GetDlgItem(IDC_JPEG_SCHEME_DELETE)->IsWindowEnabled());

        dlg->SendMessage(WM_COMMAND, IDC_JPEG_SCHEME_DELETE, 0);
        EXPECT_EQ(dlg->SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETCOUNT), 1);
        EXPECT_FALSE(dlg->GetDlgItem(IDC_JPEG_SCHEME_DELETE)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(lines, (std::vector<std::string>{"Customize ...", "forum"}));
    EXPECT_EQ(shownLimit, "180");
    EXPECT_FALSE(fs::exists(m_folder.Path() + "SaveSet/forum.tsp"));
}

TEST_F(JpegOptimizeDlgTest, EnablingFollowsTheModesAndTheExifBlock)
{
    OpenPhoto();
    const int answer = Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        // The generated photo has no EXIF block.
        EXPECT_FALSE(dlg->GetDlgItem(IDC_JPEG_INCLUDE_EXIF)->IsWindowEnabled());
        EXPECT_TRUE(dlg->GetDlgItem(IDC_JPEG_PIXELS)->IsWindowEnabled());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_JPEG_LIMIT)->IsWindowEnabled());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_JPEG_SCHEME_DELETE)->IsWindowEnabled());
        dlg->SendDlgItemMessage(IDC_JPEG_SIZE_MODE, CB_SETCURSEL, 0);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_JPEG_SIZE_MODE, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_JPEG_SIZE_MODE)->m_hWnd));
        dlg->SendDlgItemMessage(IDC_JPEG_TRADE_OFF, CB_SETCURSEL, 1);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_JPEG_TRADE_OFF, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_JPEG_TRADE_OFF)->m_hWnd));
        EXPECT_FALSE(dlg->GetDlgItem(IDC_JPEG_PIXELS)->IsWindowEnabled());
        EXPECT_TRUE(dlg->GetDlgItem(IDC_JPEG_LIMIT)->IsWindowEnabled());
        // Size mode 0 gives the photo back at its own size.
        EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 1600);
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg) && dlg->m_outputSize.cx == 1600; }));
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(answer, IDCANCEL);
}

TEST_F(JpegOptimizeDlgTest, GrabOfACorpusPhoto)
{
    const std::string photo = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Canon_40D.jpg";
    if (!fs::exists(photo))
        GTEST_SKIP() << "corpus photo absent";
    ASSERT_TRUE(m_frame->OpenImageFile(photo.c_str(), 1));
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::vector<std::string> info;
    std::string grab;
    Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        EXPECT_GT(dlg->m_exifBytes, 0);
        EXPECT_TRUE(dlg->GetDlgItem(IDC_JPEG_INCLUDE_EXIF)->IsWindowEnabled());
        qlafx::ProcessPendingEvents();
        info = InfoLines(dlg);
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "jpeg_slimming");
        m_saveAs = m_folder.Path() + "canon-copy.jpg";
        PressAndWait(dlg, IDC_JPEG_SAVE_COPY);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(grab.empty());
    ASSERT_EQ(info.size(), 4u);
    EXPECT_EQ(info[0].rfind("Output file size:", 0), 0u) << info[0];
    EXPECT_NE(info[0].find("KB\xEF\xBC\x8CRatio"), std::string::npos) << info[0];
    EXPECT_EQ(info[2].rfind("Original photo:", 0), 0u) << info[2];
    EXPECT_EQ(info[3].rfind("Original file size:", 0), 0u) << info[3];
    // The copy carries the camera's EXIF.
    ExifInfo copied;
    ASSERT_EQ(copied.ReadFromFile(m_saveAs.c_str()), 1);
    EXPECT_STREQ(copied.GetFields().model, thePhotoDocument.m_exif.GetFields().model);
    EXPECT_NE(copied.GetFields().model[0], '\0');
}

namespace {

struct SizeRequest {
    SIZE image{};
    int highQuality = -1;
    int exifBytes = -1;
    bool table = false;
};
SizeRequest g_sizeRequest;

int AnswerSaveWithSize(CWnd*, const CQLImage* image, int highQuality, int exifBytes, const unsigned int* table,
                       int* quality)
{
    g_sizeRequest = {SizeOf(*image), highQuality, exifBytes, table != nullptr};
    *quality = 42;
    return IDOK;
}

} // namespace

TEST_F(JpegOptimizeDlgTest, AdjustQualityBySizeSearchesThePreparedPhoto)
{
    OpenPhoto();
    SetSaveWithSizeRunner(AnswerSaveWithSize);
    g_sizeRequest = {};
    int quality = 0;
    bool enabled = false;
    Run([&](CJpegOptimizeDlg* dlg) {
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        enabled = dlg->GetDlgItem(IDC_JPEG_ADJUST_BY_SIZE)->IsWindowEnabled();
        dlg->CheckDlgButton(IDC_JPEG_ADAPTIVE, BST_CHECKED);
        dlg->SendMessage(WM_COMMAND, IDC_JPEG_ADAPTIVE, 0);
        dlg->SendMessage(WM_COMMAND, IDC_JPEG_ADJUST_BY_SIZE, 0);
        EXPECT_TRUE(PumpUntil([&] { return PreviewDone(dlg); }));
        quality = static_cast<int>(dlg->SendDlgItemMessage(IDC_JPEG_QUALITY, TBM_GETPOS));
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    SetSaveWithSizeRunner(nullptr);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(g_sizeRequest.image.cx, 1280);
    EXPECT_EQ(g_sizeRequest.image.cy, 960);
    EXPECT_EQ(g_sizeRequest.exifBytes, 0);
    EXPECT_TRUE(g_sizeRequest.table);
    EXPECT_EQ(quality, 42);
}
