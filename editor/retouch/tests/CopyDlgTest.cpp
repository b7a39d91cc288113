// "Copy": the drag's rectangle in image pixels, the dimming, a click that
// keeps the whole photo, Edit > Copy onto the clipboard, and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/CopyDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <string>

namespace {

using adjusttest::SizeOf;

bool SameRect(RECT a, RECT b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(CopyRect, DragMapsToImagePixels)
{
    const RECT picture{10, 20, 110, 70};  // 100 x 50 showing 1000 x 500
    const SIZE image{1000, 500};
    struct Case {
        POINT a, b;
        RECT expected;
    };
    const Case cases[] = {
        {{20, 30}, {60, 45}, {100, 100, 500, 250}},
        {{60, 45}, {20, 30}, {100, 100, 500, 250}},      // normalised
        {{0, 0}, {300, 300}, {0, 0, 1000, 500}},         // clamped to the image
        {{50, 40}, {50, 40}, {0, 0, 1000, 500}},         // a click: all
        {{50, 40}, {90, 40}, {0, 0, 1000, 500}},         // no height: all
    };
    for (const Case& c : cases)
        EXPECT_TRUE(SameRect(copyrect::SelectionFromDrag(c.a, c.b, picture, image), c.expected))
            << c.a.x << "," << c.a.y << " " << c.b.x << "," << c.b.y;
    // Below two image pixels is no selection either.
    EXPECT_TRUE(SameRect(copyrect::SelectionFromDrag({10, 20}, {10, 30}, {10, 20, 1010, 520}, {2, 2}),
                         RECT{0, 0, 2, 2}));
}

TEST(CopyRect, DimsOutsideOnly)
{
    CQLImage image;
    shelltest::MakeImage(&image, 4, 3, [](int, int) { return CPixel{90, 60, 30, 200}; });
    copyrect::DimOutside(&image, RECT{1, 1, 3, 2});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x < 3 && y == 1;
            const CPixel p = image.GetPixel2(x, y);
            EXPECT_EQ(p.b, inside ? 90 : 30) << x << "," << y;
            EXPECT_EQ(p.r, inside ? 30 : 10) << x << "," << y;
            EXPECT_EQ(p.a, 200);
        }
}

class CopyDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CCopyDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CCopyDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunCopyDlg(m_frame);
    }
    static CPoint At(CCopyDlg* dlg, double fx, double fy)
    {
        const RECT r = dlg->PictureRect();
        return CPoint(r.left + static_cast<int>((r.right - r.left) * fx),
                      r.top + static_cast<int>((r.bottom - r.top) * fy));
    }
    static void Drag(CCopyDlg* dlg, CPoint from, CPoint to)
    {
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
};

TEST_F(CopyDlgTest, ClickWithoutDragCopiesAll)
{
    OpenPhoto(200, 100);
    RECT chosen{};
    const int result = Run([&](CCopyDlg* dlg) {
        Drag(dlg, At(dlg, 0.2, 0.2), At(dlg, 0.6, 0.7));
        EXPECT_LT(dlg->m_selection.right - dlg->m_selection.left, 200);
        const CPoint p = At(dlg, 0.5, 0.5);
        Drag(dlg, p, p);
        chosen = dlg->m_selection;
        return IDOK;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(SameRect(chosen, RECT{0, 0, 200, 100}));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(CopyDlgTest, DragChoosesTheRectangleOnTheClipboard)
{
    OpenPhoto(200, 100);
    RECT chosen{};
    Run([&](CCopyDlg* dlg) {
        Drag(dlg, At(dlg, 0.25, 0.25), At(dlg, 0.75, 0.75));
        chosen = dlg->m_selection;
        return IDOK;
    });
    EXPECT_NEAR(chosen.left, 50, 2);
    EXPECT_NEAR(chosen.right, 150, 2);
    EXPECT_NEAR(chosen.top, 25, 2);
    EXPECT_NEAR(chosen.bottom, 75, 2);
    ASSERT_TRUE(::IsClipboardFormatAvailable(CF_DIB));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    auto block = static_cast<HGLOBAL>(::GetClipboardData(CF_DIB));
    ASSERT_NE(block, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(block));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, chosen.right - chosen.left);
    EXPECT_EQ(header->biHeight, chosen.bottom - chosen.top);
    ::GlobalUnlock(block);
    ::CloseClipboard();
}

TEST_F(CopyDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run([&](CCopyDlg* dlg) {
        Drag(dlg, At(dlg, 0.2, 0.25), At(dlg, 0.7, 0.8));
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "copy");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
