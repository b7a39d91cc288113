// "Perspective Crop": corner placement and constraints, the hot corner, the
// reset on sizing, the sample, a skewed rectangle straightened, and a grab.
#include "AdjustTestSupport.h"

#include "editor/adjust/PerspectiveDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <cstdio>
#include <string>

namespace {

using adjusttest::SizeOf;
using namespace perspective;

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

TEST(PerspectiveRules, ConstraintsInOrder)
{
    struct Case {
        const char* name;
        int moved;
        POINT moveTo;
        int corner;
        POINT expected;
    };
    const Case cases[] = {
        {"top-left past top-right stops 10 short", kTopLeft, {350, 10}, kTopLeft, {280, 10}},
        {"top-right onto top-left is pushed out", kTopRight, {5, 10}, kTopRight, {20, 10}},
        {"bottom-left onto top-left is pushed out", kBottomLeft, {10, 5}, kBottomLeft, {10, 20}},
        {"top-left below bottom-left stops 10 short", kTopLeft, {10, 250}, kTopLeft, {10, 180}},
        {"held 5 inside on the left and top", kTopLeft, {-40, -3}, kTopLeft, {5, 5}},
        {"held 5 inside on the right and bottom", kBottomRight, {900, 700}, kBottomRight, {295, 195}},
    };
    for (const Case& c : cases) {
        POINT corners[4];
        PlaceCorners(corners, 300, 200);
        corners[c.moved] = c.moveTo;
        ConstrainCorners(corners, c.moved, 300, 200);
        EXPECT_TRUE(SamePoint(corners[c.corner], c.expected))
            << c.name << ": " << corners[c.corner].x << "," << corners[c.corner].y;
    }
}

TEST(PerspectiveRules, PlacementHotCornerAndMapping)
{
    POINT corners[4];
    PlaceCorners(corners, 300, 200);
    EXPECT_TRUE(SamePoint(corners[kTopLeft], POINT{10, 10}));
    EXPECT_TRUE(SamePoint(corners[kTopRight], POINT{290, 10}));
    EXPECT_TRUE(SamePoint(corners[kBottomLeft], POINT{10, 190}));
    EXPECT_TRUE(SamePoint(corners[kBottomRight], POINT{290, 190}));
    EXPECT_EQ(CornerAt(corners, POINT{13, 7}), kTopLeft);
    EXPECT_EQ(CornerAt(corners, POINT{14, 10}), -1);  // 4 away is not near
    EXPECT_EQ(CornerAt(corners, POINT{288, 192}), kBottomRight);
    const PerspectiveParams p = ToImage(corners, 300, 200, 3000, 2000);
    EXPECT_TRUE(SamePoint(p.topRight, POINT{2900, 100}));
    EXPECT_TRUE(SamePoint(p.bottomLeft, POINT{100, 1900}));
}

class PerspectiveDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CPerspectiveDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CPerspectiveDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunPerspectiveDlg(m_frame);
    }
    static void Paint(CPerspectiveDlg* dlg)
    {
        dlg->Invalidate();
        dlg->UpdateWindow();
        qlafx::ProcessPendingEvents();
    }
    // Drags a corner to a point of the picture's rectangle.
    static void Drag(CPerspectiveDlg* dlg, int corner, POINT to)
    {
        dlg->hotCorner = corner;
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
        const POINT client{dlg->perspectiveImageRect.left + to.x, dlg->perspectiveImageRect.top + to.y};
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    }
};

TEST_F(PerspectiveDlgTest, DraggingIsConstrainedAndSizingResets)
{
    OpenPhoto(400, 300);
    Run([](CPerspectiveDlg* dlg) {
        Paint(dlg);
        EXPECT_TRUE(dlg->CornersSet());
        const int w = dlg->perspectiveImageRect.right - dlg->perspectiveImageRect.left;
        EXPECT_TRUE(SamePoint(dlg->cropCorners[kTopRight], POINT{w - 10, 10}));
        Drag(dlg, kTopLeft, POINT{w - 2, 10});
        EXPECT_EQ(dlg->cropCorners[kTopLeft].x, w - 20);  // 10 short of the top-right corner
        RECT client;
        dlg->GetClientRect(&client);
        dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - 40, client.bottom - 40));
        EXPECT_FALSE(dlg->CornersSet());
        Paint(dlg);
        EXPECT_TRUE(SamePoint(dlg->cropCorners[kTopLeft], POINT{10, 10}));
        return IDCANCEL;
    });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(PerspectiveDlgTest, SampleDisablesCrop)
{
    OpenPhoto(400, 300);
    Run([](CPerspectiveDlg* dlg) {
        dlg->CheckDlgButton(IDC_SHOW_SAMPLE, BST_CHECKED);
        dlg->SendMessage(WM_COMMAND, IDC_SHOW_SAMPLE, 0);
        EXPECT_EQ(dlg->shownImage, &dlg->sampleImage);
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        dlg->SendMessage(WM_COMMAND, IDOK, 0);  // nothing
        EXPECT_TRUE(::IsWindow(dlg->m_hWnd));
        dlg->CheckDlgButton(IDC_SHOW_SAMPLE, BST_UNCHECKED);
        dlg->SendMessage(WM_COMMAND, IDC_SHOW_SAMPLE, 0);
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        return IDCANCEL;
    });
}

TEST_F(PerspectiveDlgTest, MissingSampleCancels)
{
    OpenPhoto(40, 30);
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", m_folder.Path().c_str());
    bool ran = false;
    const int result = Run([&](CPerspectiveDlg*) {
        ran = true;
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "File not found!");
}

TEST_F(PerspectiveDlgTest, SkewedRectangleComesOutUpright)
{
    // A dark quadrilateral on white; its corners given to the dialog.
    const POINT quad[4] = {{60, 40}, {330, 70}, {40, 260}, {350, 230}};
    shelltest::MakeImage(&thePhotoDocument.m_image, 400, 300, [](int, int) { return CPixel{255, 255, 255, 255}; });
    auto inside = [&](int x, int y) {
        auto side = [](POINT a, POINT b, int px, int py) {
            return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
        };
        return side(quad[0], quad[1], x, y) >= 0 && side(quad[1], quad[3], x, y) >= 0 &&
               side(quad[3], quad[2], x, y) >= 0 && side(quad[2], quad[0], x, y) >= 0;
    };
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            if (inside(x, y))
                thePhotoDocument.m_image.PutPixel(x, y, CPixel{20, 20, 20, 255});
    thePhotoDocument.m_history.Reset();
    ASSERT_EQ(thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open"), 1);
    const int result = Run([&](CPerspectiveDlg* dlg) {
        Paint(dlg);
        const RECT r = dlg->perspectiveImageRect;
        for (int i = 0; i < 4; ++i)  // rounded up so that the mapping back lands on the corner
            dlg->cropCorners[i] = POINT{(quad[i].x * (r.right - r.left) + 399) / 400,
                                        (quad[i].y * (r.bottom - r.top) + 299) / 300};
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(result, IDOK);
    const SIZE size = SizeOf(thePhotoDocument.m_image);
    ASSERT_GT(size.cx, 200);
    ASSERT_GT(size.cy, 150);
    // Upright: everything but a thin rim is the dark inside.
    int light = 0, transparent = 0;
    for (int y = 3; y < size.cy - 3; ++y)
        for (int x = 3; x < size.cx - 3; ++x) {
            light += thePhotoDocument.m_image.GetPixel2(x, y).g > 128;
            transparent += thePhotoDocument.m_image.GetPixel2(x, y).a != 255;
        }
    EXPECT_EQ(light, 0);
    EXPECT_EQ(transparent, 0);  // saved as PNG, the photo must not vanish
    EXPECT_STREQ(thePhotoDocument.m_history.GetGroups().back().steps.back().name, "Perspective Crop");
}

TEST_F(PerspectiveDlgTest, CommandRunsTheDialog)
{
    OpenPhoto(40, 30);
    bool shown = false;
    m_work = [&](CWnd* dialog) {
        shown = dynamic_cast<CPerspectiveDlg*>(dialog) != nullptr;
        return IDCANCEL;
    };
    RegisterDialogRunners();
    m_frame->SendMessage(WM_COMMAND, 32863, 0);
    EXPECT_TRUE(shown);
}

TEST_F(PerspectiveDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/nikon-e950.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run([&](CPerspectiveDlg* dlg) {
        dlg->ShowWindow(SW_RESTORE);
        dlg->MoveWindow(0, 0, 900, 700);
        Paint(dlg);
        const RECT r = dlg->perspectiveImageRect;
        const int w = r.right - r.left, h = r.bottom - r.top;
        Drag(dlg, kTopLeft, POINT{w / 5, h / 8});
        Drag(dlg, kBottomRight, POINT{w * 9 / 10, h * 4 / 5});
        Paint(dlg);
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-perspective");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
