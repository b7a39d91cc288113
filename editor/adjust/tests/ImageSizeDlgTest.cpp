// "Image Size": proportion and spin arithmetic, OK's limits and question,
// the codec methods' sharpen, the kernel methods on the algorithm thread,
// the options in the profile, a failed resize, and a grab.
#include "AdjustTestSupport.h"

#include "editor/adjust/ImageSizeDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::SizeOf;

const char kLargeQuestion[] = "WARNING: Large image size will low down the running speed.\nContinue?";

TEST(ImageSizeRules, ProportionAndSpinArithmetic)
{
    const double aspect = 800.0 / 600;
    struct Case {
        UINT in;
        UINT height, width;
    };
    const Case cases[] = {{1000, 750, 1333}, {801, 600, 1068}, {1, 1, 1}, {800, 600, 1066}};
    for (const Case& c : cases) {
        EXPECT_EQ(imagesize::HeightFromWidth(c.in, aspect), c.height) << c.in;
        EXPECT_EQ(imagesize::WidthFromHeight(c.in, aspect), c.width) << c.in;
    }
    // A very wide photo never gives a zero height.
    EXPECT_EQ(imagesize::HeightFromWidth(3, 4000.0), 1u);
    struct Spin {
        UINT value;
        int delta;
        UINT result;
    };
    const Spin spins[] = {{800, -1, 801}, {800, 1, 799}, {1, 1, 1}, {10000, -1, 10000}, {0, -1, 1}, {20000, 1, 10000}};
    for (const Spin& s : spins)
        EXPECT_EQ(imagesize::SpinValue(s.value, s.delta), s.result) << s.value << " " << s.delta;
}

TEST(ImageSizeRules, OkClampsToTenThousand)
{
    struct Case {
        UINT w, h;
        int keep;
        double aspect;
        UINT cw, ch;
    };
    const Case cases[] = {
        {20000, 100, 1, 800.0 / 600, 10000, 7500},
        {20000, 100, 0, 800.0 / 600, 10000, 100},
        {100, 30000, 1, 800.0 / 600, 10000, 10000},  // the width follows, then is limited
        {400, 300, 1, 4.0 / 3, 400, 300},
        {20000, 100, 1, 40000.0, 10000, 1},  // never below one pixel
    };
    for (const Case& c : cases) {
        UINT w = c.w, h = c.h;
        imagesize::ClampSize(&w, &h, c.keep, c.aspect);
        EXPECT_EQ(w, c.cw) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.ch) << c.w << "x" << c.h;
    }
}

TEST(ImageSizeRules, SharpenBelowEightTenths)
{
    EXPECT_TRUE(imagesize::NeedsSharpen(799, 1000));
    EXPECT_FALSE(imagesize::NeedsSharpen(800, 1000));
    EXPECT_FALSE(imagesize::NeedsSharpen(1200, 1000));
}

TEST(ImageSizeRules, FourNeighbourSharpenByHand)
{
    // Blue channel values; green and red are fixed, alpha is kept.
    const BYTE blue[3][3] = {{10, 20, 30}, {40, 100, 60}, {70, 80, 90}};
    CQLImage image;
    shelltest::MakeImage(&image, 3, 3, [&](int x, int y) { return CPixel{blue[y][x], 200, 0, 77}; });
    imagesize::SharpenFourNeighbour(&image);
    // Centre: 2 * 100 - (20 + 40 + 60 + 80) / 4 = 150; green 2 * 200 - 200
    // = 200; red 0; the border stays.
    const CPixel centre = image.GetPixel2(1, 1);
    EXPECT_EQ(centre.b, 150);
    EXPECT_EQ(centre.g, 200);
    EXPECT_EQ(centre.r, 0);
    EXPECT_EQ(centre.a, 77);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            if (x != 1 || y != 1) {
                EXPECT_EQ(image.GetPixel2(x, y).b, blue[y][x]) << x << "," << y;
            }
        }
    // Limited to 0..255, and computed from unsharpened neighbours.
    const BYTE row[3][4] = {{0, 0, 0, 0}, {0, 250, 0, 0}, {0, 0, 0, 0}};
    CQLImage bright;
    shelltest::MakeImage(&bright, 4, 3, [&](int x, int y) { return CPixel{row[y][x], 0, 0, 255}; });
    imagesize::SharpenFourNeighbour(&bright);
    EXPECT_EQ(bright.GetPixel2(1, 1).b, 255);
    EXPECT_EQ(bright.GetPixel2(2, 1).b, 0);  // 0 - 250 / 4, not from the sharpened 255
}

class ImageSizeDlgTest : public adjusttest::AdjustDialogTest {
protected:
    // Runs the dialog; work gets it once it is up.
    int Run(std::function<int(CImageSizeDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CImageSizeDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunImageSizeDlg(m_frame);
    }
    static UINT Side(CImageSizeDlg* dlg, UINT id) { return dlg->GetDlgItemInt(static_cast<int>(id), nullptr, FALSE); }
    static void SetText(CImageSizeDlg* dlg, UINT id, const char* text)
    {
        dlg->SetDlgItemText(static_cast<int>(id), text);
    }
    static void Spin(CImageSizeDlg* dlg, UINT id, int delta)
    {
        NMUPDOWN nm{};
        nm.hdr.hwndFrom = dlg->GetDlgItem(id)->m_hWnd;
        nm.hdr.idFrom = id;
        nm.hdr.code = UDN_DELTAPOS;
        nm.iDelta = delta;
        dlg->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&nm));
    }
    // Sets the size and method and presses OK; returns when the dialog ended.
    static int Resize(CImageSizeDlg* dlg, int method, const char* width, const char* height)
    {
        dlg->CheckDlgButton(IDC_KEEP_PROPORTION, BST_UNCHECKED);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_KEEP_PROPORTION, BN_CLICKED),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_KEEP_PROPORTION)->m_hWnd));
        dlg->SendDlgItemMessage(IDC_RESIZE_METHOD, CB_SETCURSEL, static_cast<WPARAM>(method));
        SetText(dlg, IDC_NEW_WIDTH, width);
        SetText(dlg, IDC_NEW_HEIGHT, height);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    }
    int HistoryCount() const { return thePhotoDocument.m_history.GetCount(); }
};

TEST_F(ImageSizeDlgTest, EditsAndSpinsKeepTheProportion)
{
    OpenPhoto(800, 600);
    Run([](CImageSizeDlg* dlg) {
        EXPECT_EQ(Side(dlg, IDC_NEW_WIDTH), 800u);
        EXPECT_EQ(Side(dlg, IDC_NEW_HEIGHT), 600u);
        EXPECT_EQ(dlg->SendDlgItemMessage(IDC_RESIZE_METHOD, CB_GETCURSEL), 3);
        SetText(dlg, IDC_NEW_WIDTH, "1000");
        EXPECT_EQ(Side(dlg, IDC_NEW_HEIGHT), 750u);
        SetText(dlg, IDC_NEW_HEIGHT, "300");
        EXPECT_EQ(Side(dlg, IDC_NEW_WIDTH), 400u);
        SetText(dlg, IDC_NEW_WIDTH, "800");
        Spin(dlg, IDC_WIDTH_SPIN, -1);
        EXPECT_EQ(Side(dlg, IDC_NEW_WIDTH), 801u);
        EXPECT_EQ(Side(dlg, IDC_NEW_HEIGHT), 600u);
        Spin(dlg, IDC_HEIGHT_SPIN, 1);
        EXPECT_EQ(Side(dlg, IDC_NEW_HEIGHT), 599u);
        EXPECT_EQ(Side(dlg, IDC_NEW_WIDTH), 798u);
        return IDCANCEL;
    });
}

TEST_F(ImageSizeDlgTest, OptionsOnlyForQuilloResizeAndRevealedByAdvance)
{
    OpenPhoto(80, 60);
    Run([](CImageSizeDlg* dlg) {
        RECT cut, full;
        dlg->GetWindowRect(&cut);
        EXPECT_TRUE(dlg->GetDlgItem(IDC_RESIZE_ADVANCE)->IsWindowEnabled());
        dlg->SendDlgItemMessage(IDC_RESIZE_METHOD, CB_SETCURSEL, 1);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RESIZE_METHOD, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_RESIZE_METHOD)->m_hWnd));
        EXPECT_FALSE(dlg->GetDlgItem(IDC_RESIZE_ADVANCE)->IsWindowEnabled());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_KEEP_EDGES)->IsWindowEnabled());
        dlg->SendDlgItemMessage(IDC_RESIZE_METHOD, CB_SETCURSEL, 3);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RESIZE_METHOD, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_RESIZE_METHOD)->m_hWnd));
        EXPECT_TRUE(dlg->GetDlgItem(IDC_KEEP_EDGES)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDC_RESIZE_ADVANCE, 0);
        dlg->GetWindowRect(&full);
        EXPECT_GT(full.right - full.left, cut.right - cut.left + 100);
        EXPECT_FALSE(dlg->GetDlgItem(IDC_RESIZE_ADVANCE)->IsWindowEnabled());
        return IDCANCEL;
    });
}

TEST_F(ImageSizeDlgTest, OkLimitsAndAsksAboutLargeSizes)
{
    OpenPhoto(800, 600);
    m_answer = [](const adjusttest::Box&) { return IDNO; };
    Run([](CImageSizeDlg* dlg) {
        SetText(dlg, IDC_NEW_WIDTH, "20000");
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_EQ(Side(dlg, IDC_NEW_WIDTH), 10000u);
        EXPECT_EQ(Side(dlg, IDC_NEW_HEIGHT), 7500u);
        return IDCANCEL;
    });
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, kLargeQuestion);
    EXPECT_EQ(m_boxes[0].caption, "WARNING");

    struct Case {
        const char *w, *h;
        size_t boxes;
        int result;
    };
    const Case cases[] = {{"3000", "2001", 1, IDCANCEL}, {"3000", "2000", 0, IDOK}};
    for (const Case& c : cases) {
        m_boxes.clear();
        const int steps = HistoryCount();
        const int result = Run([&](CImageSizeDlg* dlg) {
            Resize(dlg, 0, c.w, c.h);
            return dlg->m_hWnd && ::IsWindow(dlg->m_hWnd) ? IDCANCEL : qlafx::kModalRun;
        });
        EXPECT_EQ(m_boxes.size(), c.boxes) << c.h;
        EXPECT_EQ(result, c.result) << c.h;
        EXPECT_EQ(HistoryCount(), steps + (c.result == IDOK ? 1 : 0)) << c.h;
    }
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 3000);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cy, 2000);
}

TEST_F(ImageSizeDlgTest, BilinearSharpensReductionsBelowEightTenths)
{
    struct Case {
        const char* width;
        int w;
        bool sharpened;
    };
    const Case cases[] = {{"799", 799, true}, {"800", 800, false}};
    for (const Case& c : cases) {
        OpenPhoto(1000, 750);
        CQLImage expected;
        CQLImageCodec codec;
        ASSERT_EQ(codec.Resample(&thePhotoDocument.m_image, &expected, c.w, 600, 1), 1);
        if (c.sharpened)
            imagesize::SharpenFourNeighbour(&expected);
        const int result = Run([&](CImageSizeDlg* dlg) { return Resize(dlg, 1, c.width, "600"); });
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(adjusttest::SamePixels(thePhotoDocument.m_image, expected)) << c.width;
        EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 2);
        EXPECT_STREQ(thePhotoDocument.m_history.GetGroups().back().steps.back().name, "Image Size");
    }
}

TEST_F(ImageSizeDlgTest, KernelMethodsRunOnTheWorkerAndOnlyQuilloResizeWritesOptions)
{
    struct Case {
        int method;
        bool writes;
    };
    for (const Case c : {Case{2, false}, Case{3, true}}) {
        OpenPhoto(400, 300);
        WriteProfile("[General]\nUserName=Tester\n");
        bool okDisabled = false;
        const int result = Run([&](CImageSizeDlg* dlg) {
            dlg->SendDlgItemMessage(IDC_RESIZE_SHARPEN, TBM_SETPOS, TRUE, 30);
            Resize(dlg, c.method, "200", "150");
            okDisabled = dlg->IsResizing() && !dlg->GetDlgItem(IDOK)->IsWindowEnabled();
            EXPECT_TRUE(adjusttest::PumpUntil([&] { return !dlg->IsResizing(); }));
            return qlafx::kModalRun;
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(okDisabled);
        EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 200);
        EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cy, 150);
        const std::string profile = ReadProfile();
        EXPECT_EQ(profile.find("qleImageSizeSharpen=30") != std::string::npos, c.writes) << profile;
        EXPECT_EQ(profile.find("qleEdgeKeep=1") != std::string::npos, c.writes) << profile;
    }
}

TEST_F(ImageSizeDlgTest, FailedResizeKeepsThePhotoAndRecordsNothing)
{
    OpenPhoto(400, 300);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([](CImageSizeDlg* dlg) {
        Resize(dlg, 2, "1600", "1200");
        // The job is stopped before it can finish: it reports failure.
        theAlgorithmThread.StopAlgorithm();
        EXPECT_TRUE(adjusttest::PumpUntil([&] { return !dlg->IsResizing(); }));
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "Unexpected error");
    EXPECT_TRUE(adjusttest::SamePixels(thePhotoDocument.m_image, before));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(ImageSizeDlgTest, CancelDuringAJobStopsItAndKeepsThePhoto)
{
    OpenPhoto(400, 300);
    const int result = Run([](CImageSizeDlg* dlg) {
        Resize(dlg, 3, "3000", "2000");
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(theAlgorithmThread.IsBusy());
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 400);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ImageSizeDlgTest, CommandRunsTheDialog)
{
    OpenPhoto(80, 60);
    bool shown = false;
    m_work = [&](CWnd* dialog) {
        shown = dynamic_cast<CImageSizeDlg*>(dialog) != nullptr;
        return IDCANCEL;
    };
    RegisterDialogRunners();
    m_frame->SendMessage(WM_COMMAND, 32811, 0);
    EXPECT_TRUE(shown);
}

TEST_F(ImageSizeDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/olympus-c960.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run([&](CImageSizeDlg* dlg) {
        SetText(dlg, IDC_NEW_WIDTH, "1000");
        EXPECT_EQ(Side(dlg, IDC_NEW_HEIGHT), 750u);
        EXPECT_EQ(dlg->SendDlgItemMessage(IDC_RESIZE_METHOD, CB_GETCURSEL), 3);
        dlg->SendMessage(WM_COMMAND, IDC_RESIZE_ADVANCE, 0);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-imagesize");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
