// "Transform": band and crop arithmetic, the status line, rotate and crop on
// the work copy, keys in and out of crop mode, Image Size from inside, the
// undo step only after a change, and a grab.
#include "AdjustTestSupport.h"

#include "editor/adjust/ImageSizeDlg.h"
#include "editor/adjust/TransformDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::SizeOf;

TEST(TransformRules, BandToImagePixels)
{
    const RECT drawn{100, 50, 300, 150};  // 200 x 100 showing 800 x 400
    struct Case {
        POINT from, to;
        RECT image;
    };
    const Case cases[] = {
        {{100, 50}, {300, 150}, {0, 0, 800, 400}},    // the whole picture, right and bottom exclusive
        {{150, 75}, {200, 100}, {200, 100, 400, 200}},
        {{200, 100}, {150, 75}, {200, 100, 400, 200}}, // any corner order
        {{50, 0}, {400, 300}, {0, 0, 800, 400}},      // clamped to the picture
        {{120, 60}, {120, 90}, {80, 40, 80, 160}},    // no width
    };
    for (const Case& c : cases) {
        const RECT r = transform::BandToImage(c.from, c.to, drawn, 800, 400);
        EXPECT_TRUE(EqualRect(&r, &c.image)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(TransformRules, StatusText)
{
    EXPECT_EQ(transform::StatusText(RECT{0, 0, 300, 800}), "top=0 left=0 bottom=800 right=300 width=300 height=800");
    EXPECT_EQ(transform::StatusText(RECT{10, 20, 40, 25}), "top=20 left=10 bottom=25 right=40 width=30 height=5");
}

TEST(TransformRules, CropKeepsTheInsideAndRefusesBadRectangles)
{
    CQLImage image;
    shelltest::MakeImage(&image, 10, 8, [](int x, int y) { return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 0, 255}; });
    const RECT bad[] = {{-1, 0, 5, 5}, {0, 0, 11, 5}, {0, 0, 5, 9}, {3, 3, 3, 6}, {4, 4, 2, 6}};
    for (const RECT& r : bad) {
        EXPECT_FALSE(transform::CropImage(&image, r));
        EXPECT_EQ(SizeOf(image).cx, 10);
    }
    ASSERT_TRUE(transform::CropImage(&image, RECT{2, 3, 10, 8}));
    EXPECT_EQ(SizeOf(image).cx, 8);
    EXPECT_EQ(SizeOf(image).cy, 5);
    EXPECT_EQ(image.GetPixel2(0, 0).b, 2);
    EXPECT_EQ(image.GetPixel2(0, 0).g, 3);
    EXPECT_EQ(image.GetPixel2(7, 4).b, 9);
    EXPECT_EQ(image.GetPixel2(7, 4).g, 7);
}

class TransformDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CTransformDlg*)> work)
    {
        m_work = [this, work](CWnd* dialog) {
            if (auto* dlg = dynamic_cast<CTransformDlg*>(dialog))
                return work(dlg);
            return m_inner ? m_inner(dialog) : IDCANCEL;
        };
        return RunTransformDlg(m_frame, nullptr);
    }
    static void Key(CTransformDlg* dlg, WPARAM key)
    {
        MSG msg{};
        msg.hwnd = dlg->m_hWnd;
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        EXPECT_TRUE(dlg->PreTranslateMessage(&msg));
    }
    static void Select(CTransformDlg* dlg, RECT r)
    {
        dlg->cropView.SetSelection(r.left, r.top, r.right, r.bottom, TRUE);
    }
    int Steps() const { return thePhotoDocument.m_history.GetCount(); }
    std::function<int(CWnd*)> m_inner;  // a dialog the Transform dialog opens
};

TEST_F(TransformDlgTest, OkWithoutAChangeRecordsNoStep)
{
    OpenPhoto(40, 30);
    EXPECT_EQ(Run([](CTransformDlg* dlg) {
                  dlg->SendMessage(WM_COMMAND, IDOK, 0);
                  return qlafx::kModalRun;
              }),
              IDOK);
    EXPECT_EQ(Steps(), 1);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(TransformDlgTest, RotateAndFlipChangeOnlyTheWorkCopyUntilOk)
{
    OpenPhoto(40, 30);
    const CPixel corner = thePhotoDocument.m_image.GetPixel2(0, 29);
    struct Case {
        UINT button;
        int result;
    };
    for (const Case c : {Case{IDC_ROTATE_RIGHT, IDCANCEL}, Case{IDC_ROTATE_RIGHT, IDOK}}) {
        Run([&](CTransformDlg* dlg) {
            dlg->SendMessage(WM_COMMAND, c.button, 0);
            EXPECT_EQ(SizeOf(dlg->transformWorkImage).cx, 30);
            EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 40);
            dlg->SendMessage(WM_COMMAND, static_cast<WPARAM>(c.result), 0);
            return qlafx::kModalRun;
        });
    }
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 30);
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cy, 40);
    // Turned right, the bottom-left corner comes to the top-left.
    EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(0, 0).b, corner.b);
    EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(0, 0).g, corner.g);
    EXPECT_EQ(Steps(), 2);
    EXPECT_STREQ(thePhotoDocument.m_history.GetGroups().back().steps.back().name, "Transform");
}

TEST_F(TransformDlgTest, EscLeavesCropModeAndNeverCloses)
{
    OpenPhoto(40, 30);
    Run([](CTransformDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, IDC_CROP_TOOL, 0);
        EXPECT_EQ(dlg->cropMode, 1);
        RECT s;
        dlg->cropView.GetSelection(&s);
        EXPECT_EQ(s.right, 40);
        EXPECT_EQ(s.bottom, 30);
        Key(dlg, VK_ESCAPE);
        EXPECT_EQ(dlg->cropMode, 0);
        dlg->cropView.GetSelection(&s);
        EXPECT_TRUE(IsRectEmpty(&s));
        Key(dlg, VK_ESCAPE);  // to the view: the dialog stays
        EXPECT_TRUE(::IsWindow(dlg->m_hWnd));
        return IDCANCEL;
    });
    EXPECT_EQ(Steps(), 1);
}

TEST_F(TransformDlgTest, CropsAskOrNotAsTheyCome)
{
    struct Case {
        const char* name;
        bool notice;      // the view's notice 1 instead of OK
        RECT selection;
        int answer;
        size_t boxes;
        SIZE size;
    };
    const Case cases[] = {
        {"notice crops without asking", true, {5, 5, 25, 20}, IDNO, 0, {20, 15}},
        {"OK asks, Yes crops", false, {5, 5, 25, 20}, IDYES, 1, {20, 15}},
        {"OK asks, No keeps", false, {5, 5, 25, 20}, IDNO, 1, {40, 30}},
        {"whole picture: no question", false, {0, 0, 40, 30}, IDYES, 0, {40, 30}},
    };
    for (const Case& c : cases) {
        OpenPhoto(40, 30);
        m_boxes.clear();
        m_answer = [&](const adjusttest::Box&) { return c.answer; };
        Run([&](CTransformDlg* dlg) {
            dlg->SendMessage(WM_COMMAND, IDC_CROP_TOOL, 0);
            Select(dlg, c.selection);
            if (c.notice)
                dlg->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeConfirm, 0);
            dlg->SendMessage(WM_COMMAND, IDOK, 0);
            return qlafx::kModalRun;
        });
        EXPECT_EQ(m_boxes.size(), c.boxes) << c.name;
        if (c.boxes) {
            EXPECT_EQ(m_boxes[0].text, "Crop the image?") << c.name;
            EXPECT_EQ(m_boxes[0].caption, "Crop") << c.name;
        }
        EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, c.size.cx) << c.name;
        EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cy, c.size.cy) << c.name;
        EXPECT_EQ(Steps(), c.size.cx == 40 ? 1 : 2) << c.name;
    }
}

TEST_F(TransformDlgTest, ImageSizeFromInsideDropsEarlierTurns)
{
    OpenPhoto(40, 30);
    m_inner = [](CWnd* dialog) {
        dialog->CheckDlgButton(IDC_KEEP_PROPORTION, BST_UNCHECKED);
        dialog->SendDlgItemMessage(IDC_RESIZE_METHOD, CB_SETCURSEL, 0);
        dialog->SetDlgItemText(IDC_NEW_WIDTH, "20");
        dialog->SetDlgItemText(IDC_NEW_HEIGHT, "10");
        dialog->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    };
    Run([](CTransformDlg* dlg) {
        dlg->SendMessage(WM_COMMAND, IDC_ROTATE_RIGHT, 0);
        dlg->SendMessage(WM_COMMAND, IDC_TRANSFORM_SIZE, 0);
        EXPECT_EQ(SizeOf(dlg->transformWorkImage).cx, 20);
        EXPECT_EQ(SizeOf(dlg->transformWorkImage).cy, 10);
        EXPECT_TRUE(adjusttest::SamePixels(dlg->transformWorkImage, thePhotoDocument.m_image));
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(SizeOf(thePhotoDocument.m_image).cx, 20);
    EXPECT_EQ(Steps(), 2);  // "Image Size" only
    EXPECT_STREQ(thePhotoDocument.m_history.GetGroups().back().steps.back().name, "Image Size");
}

TEST_F(TransformDlgTest, StatusFollowsTheSelectionAndMoreIsHiddenWithoutAMenu)
{
    OpenPhoto(40, 30);
    Run([](CTransformDlg* dlg) {
        EXPECT_FALSE(dlg->GetDlgItem(IDC_TRANSFORM_MORE)->IsWindowVisible());
        dlg->SendMessage(WM_COMMAND, IDC_CROP_TOOL, 0);
        Select(dlg, RECT{1, 2, 11, 22});
        dlg->OnStatusTimer();
        char text[128] = {};
        dlg->GetDlgItemText(IDC_TRANSFORM_STATUS, text, sizeof text);
        EXPECT_STREQ(text, "top=2 left=1 bottom=22 right=11 width=10 height=20");
        dlg->GetDlgItemText(IDC_LOCK_RATIO, text, sizeof text);
        EXPECT_STREQ(text, "&Lock Ratio");
        EXPECT_TRUE(dlg->cropView.IsWindowVisible());
        Key(dlg, VK_ESCAPE);
        dlg->OnStatusTimer();
        dlg->GetDlgItemText(IDC_TRANSFORM_STATUS, text, sizeof text);
        EXPECT_STREQ(text, "");
        EXPECT_FALSE(dlg->cropView.IsWindowVisible());
        return IDCANCEL;
    });
}

TEST_F(TransformDlgTest, MaximisedStateIsKept)
{
    OpenPhoto(40, 30);
    WriteProfile("[FilterInitMax]\nTransform=1\n");
    int maximised = 0;
    Run([&](CTransformDlg* dlg) {
        maximised = dlg->transformMaximized;
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);  // writes the state back
        return qlafx::kModalRun;
    });
    EXPECT_EQ(maximised, 1);
    EXPECT_NE(ReadProfile().find("Transform=1"), std::string::npos) << ReadProfile();
}

TEST_F(TransformDlgTest, CommandRunsTheDialog)
{
    OpenPhoto(40, 30);
    bool shown = false;
    m_work = [&](CWnd* dialog) {
        shown = dynamic_cast<CTransformDlg*>(dialog) != nullptr;
        return IDCANCEL;
    };
    RegisterDialogRunners();
    m_frame->SendMessage(WM_COMMAND, 32810, 0);
    EXPECT_TRUE(shown);
}

TEST_F(TransformDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/nikon-e950.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab, status;
    Run([&](CTransformDlg* dlg) {
        dlg->MoveWindow(0, 0, 900, 700);
        dlg->SendMessage(WM_COMMAND, IDC_ROTATE_RIGHT, 0);
        EXPECT_EQ(SizeOf(dlg->transformWorkImage).cx, 600);
        EXPECT_EQ(SizeOf(dlg->transformWorkImage).cy, 800);
        dlg->SendMessage(WM_COMMAND, IDC_CROP_TOOL, 0);
        Select(dlg, RECT{0, 0, 300, 800});
        dlg->OnStatusTimer();
        qlafx::ProcessPendingEvents();
        char text[128] = {};
        dlg->GetDlgItemText(IDC_TRANSFORM_STATUS, text, sizeof text);
        status = text;
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-transform");
        return IDCANCEL;
    });
    EXPECT_EQ(status, "top=0 left=0 bottom=800 right=300 width=300 height=800");
    EXPECT_FALSE(grab.empty());
}

}  // namespace
