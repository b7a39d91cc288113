// "Modify Shape": the fall-off by hand, grid sizing, the range of step 1,
// strokes deposited by hand-computed steps, Undo/Redo, "Show original", OK
// right after a stroke, and a grab.
#include "AdjustTestSupport.h"

#include "editor/adjust/ModifyShapeDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <array>
#include <string>

namespace {

using namespace modifyshape;
using adjusttest::SizeOf;

TEST(ModifyShapeRules, FalloffForRadiusTenByHand)
{
    // sigma = 4: 2.7188282^(-i^2 / 32) * 256, truncated.
    const std::vector<int> t = FalloffTable(10);
    ASSERT_EQ(t.size(), 20u);
    EXPECT_EQ(t[0], 256);
    EXPECT_EQ(t[4], 155);   // 256 * 2.7188282^-0.5 = 155.26
    EXPECT_EQ(t[8], 34);    // 256 * 2.7188282^-2 = 34.63
    EXPECT_EQ(t[12], 2);    // 256 * 2.7188282^-4.5 = 2.84
    EXPECT_EQ(t[19], 0);
}

TEST(ModifyShapeRules, GridSizing)
{
    struct Case {
        int radius, w, h, cell, columns, rows;
    };
    const Case cases[] = {{10, 1000, 750, 4, 250, 188}, {30, 1000, 750, 7, 143, 108}, {100, 6000, 4000, 25, 240, 160},
                          {1, 5, 5, 4, 2, 2}};
    for (const Case& c : cases) {
        WarpGrid g;
        ASSERT_TRUE(g.Allocate(c.w, c.h, CellSize(c.radius)));
        EXPECT_EQ(g.cellSize, c.cell) << c.radius;
        EXPECT_EQ(g.columns, c.columns) << c.radius;
        EXPECT_EQ(g.rows, c.rows) << c.radius;
        EXPECT_EQ(g.pairs.size(), static_cast<size_t>(c.columns * c.rows * 2));
    }
}

TEST(ModifyShapeRules, RangeIsTheMiddleHalfWithoutARealDrag)
{
    const RECT drawn{100, 50, 500, 350};  // 400 x 300 showing 800 x 600
    struct Case {
        POINT from, to;
        BOOL dragged;
        RECT range;
    };
    const Case cases[] = {
        {{0, 0}, {0, 0}, FALSE, {200, 150, 600, 450}},
        {{200, 100}, {203, 103}, TRUE, {200, 150, 600, 450}},  // 3 pixels: none
        {{300, 200}, {200, 100}, TRUE, {200, 100, 400, 300}},
    };
    for (const Case& c : cases) {
        const RECT r = RangeToImage(c.from, c.to, c.dragged, drawn, 800, 600);
        EXPECT_TRUE(EqualRect(&r, &c.range)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    double scale = 0;
    RECT visible{};
    ZoomOnto(RECT{200, 150, 600, 450}, 800, 600, 800, 600, &scale, &visible);
    EXPECT_DOUBLE_EQ(scale, 1.0);  // 800 / (2 x 400)
    EXPECT_TRUE(EqualRect(&visible, std::array<RECT, 1>{RECT{0, 0, 800, 600}}.data()));
}

TEST(ModifyShapeRules, StrokesDepositHandComputedSteps)
{
    const std::vector<int> falloff = FalloffTable(10);
    const PreviewMap map{RECT{0, 0, 400, 400}, RECT{0, 0, 400, 400}, 1.0};
    WarpGrid g;
    ASSERT_TRUE(g.Allocate(200, 200, 4));
    EXPECT_FALSE(Stroke(g, falloff, 10, POINT{40, 40}, POINT{40, 40}, map));
    for (float v : g.pairs)
        ASSERT_EQ(v, 0.0f);
    // One preview pixel to the right: one step (1, 0) at the node (10, 10).
    ASSERT_TRUE(Stroke(g, falloff, 10, POINT{40, 40}, POINT{41, 40}, map));
    struct Node {
        int column, row;
        float dx;
    };
    const Node nodes[] = {
        {10, 10, -128 / 256.0f},       // distance 0: weight 256 / 2
        {11, 10, -77 / 256.0f},        // distance 4: 155 / 2
        {12, 12, -2 / 256.0f},         // distance 11.3 -> 11: 5 / 2 = 2
        {15, 10, 0.0f},                // distance 20: beyond 2r
        {10, 15, 0.0f},
    };
    for (const Node& n : nodes) {
        EXPECT_FLOAT_EQ(g.Node(n.column, n.row)[0], n.dx) << n.column << "," << n.row;
        EXPECT_FLOAT_EQ(g.Node(n.column, n.row)[1], 0.0f);
    }
    EXPECT_EQ(falloff[11], 5);  // 256 * 2.7188282^-3.78 = 5.83
}

class ModifyShapeDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CModifyShapeDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CModifyShapeDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunModifyShapeDlg(m_frame);
    }
    static void Paint(CModifyShapeDlg* dlg)
    {
        dlg->Invalidate();
        dlg->UpdateWindow();
        qlafx::ProcessPendingEvents();
    }
    static void Next(CModifyShapeDlg* dlg)
    {
        Paint(dlg);
        dlg->SendMessage(WM_COMMAND, IDC_SHAPE_NEXT, 0);
        Paint(dlg);
    }
    static POINT Centre(CModifyShapeDlg* dlg)
    {
        const RECT a = dlg->activeRect;
        return POINT{(a.left + a.right) / 2, (a.top + a.bottom) / 2};
    }
    static bool AllZero(const WarpGrid& g)
    {
        for (float v : g.pairs)
            if (v != 0)
                return false;
        return true;
    }
};

TEST_F(ModifyShapeDlgTest, StepsUndoRedoAndShowOriginal)
{
    OpenPhoto(400, 300);
    Run([](CModifyShapeDlg* dlg) {
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        EXPECT_TRUE(dlg->GetDlgItem(IDC_SHAPE_NEXT)->IsWindowEnabled());
        Next(dlg);
        EXPECT_TRUE(dlg->InStepTwo());
        // The middle half, give or take the preview's rounding.
        const RECT& r = dlg->rangeRect;
        EXPECT_NEAR(r.left, 100, 2);
        EXPECT_NEAR(r.top, 75, 2);
        EXPECT_NEAR(r.right, 300, 2);
        EXPECT_NEAR(r.bottom, 225, 2);
        EXPECT_EQ(dlg->brushRadius, 2 * ((r.right - r.left) / 2) / 3);
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_SHAPE_NEXT)->IsWindowEnabled());
        const POINT c = Centre(dlg);
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x + 30, c.y));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x + 30, c.y));
        EXPECT_FALSE(AllZero(dlg->grid));
        const std::vector<float> stroked = dlg->grid.pairs;
        dlg->SendMessage(WM_COMMAND, IDC_SHAPE_UNDO, 0);
        EXPECT_TRUE(AllZero(dlg->grid));
        dlg->SendMessage(WM_COMMAND, IDC_SHAPE_UNDO, 0);
        EXPECT_EQ(dlg->grid.pairs, stroked);
        dlg->CheckDlgButton(IDC_SHOW_ORIGINAL, BST_CHECKED);
        dlg->SendMessage(WM_COMMAND, IDC_SHOW_ORIGINAL, 0);
        dlg->ApplyStroke(c, POINT{c.x, c.y + 40});
        EXPECT_EQ(dlg->grid.pairs, stroked);
        dlg->SendMessage(WM_COMMAND, IDC_SHAPE_RESET, 0);
        EXPECT_TRUE(AllZero(dlg->grid));
        return IDCANCEL;
    });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(ModifyShapeDlgTest, OkRightAfterAStrokeAppliesTheLatestGrid)
{
    OpenPhoto(400, 300);
    CQLImage original;
    original.DuplicateFrom(&thePhotoDocument.m_image);
    WarpGrid finalGrid;
    const int result = Run([&](CModifyShapeDlg* dlg) {
        Next(dlg);
        const POINT c = Centre(dlg);
        dlg->ApplyStroke(c, POINT{c.x + 20, c.y});
        dlg->ApplyStroke(POINT{c.x + 20, c.y}, POINT{c.x + 20, c.y + 25});  // while the first renders
        finalGrid = dlg->grid;
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(result, IDOK);
    ModifyShapeAlgorithm warp;
    CQLImage expected;
    warp.SetWarpGrid(finalGrid.pairs.data(), finalGrid.cellSize, finalGrid.columns, finalGrid.rows);
    warp.SetImages(&original, &expected);
    ASSERT_EQ(warp.Apply(nullptr), 0);
    EXPECT_TRUE(adjusttest::SamePixels(thePhotoDocument.m_image, expected));
    EXPECT_FALSE(adjusttest::SamePixels(thePhotoDocument.m_image, original));
    EXPECT_STREQ(thePhotoDocument.m_history.GetGroups().back().steps.back().name, "Modify Shape");
}

TEST_F(ModifyShapeDlgTest, CommandRunsTheDialog)
{
    OpenPhoto(40, 30);
    bool shown = false;
    m_work = [&](CWnd* dialog) {
        shown = dynamic_cast<CModifyShapeDlg*>(dialog) != nullptr;
        return IDCANCEL;
    };
    RegisterDialogRunners();
    m_frame->SendMessage(WM_COMMAND, 32877, 0);
    EXPECT_TRUE(shown);
}

TEST_F(ModifyShapeDlgTest, GrabOfACorpusPhoto)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/exif-org/canon-ixus.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run([&](CModifyShapeDlg* dlg) {
        dlg->ShowWindow(SW_RESTORE);
        dlg->MoveWindow(0, 0, 1000, 700);
        Paint(dlg);
        // The bride's face, low in the middle of the photo.
        const RECT d = dlg->activeRect;
        const int w = d.right - d.left, h = d.bottom - d.top;
        dlg->BeginDrag(POINT{d.left + w * 46 / 100, d.top + h * 40 / 100},
                       POINT{d.left + w * 60 / 100, d.top + h * 58 / 100});
        Next(dlg);
        const POINT c = Centre(dlg);
        // Pulls the right cheek outwards.
        dlg->ApplyStroke(POINT{c.x + 20, c.y - 10}, POINT{c.x + 70, c.y - 10});
        EXPECT_TRUE(adjusttest::PumpUntil([&] { return !dlg->IsRendering(); }));
        Paint(dlg);
        dlg->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(c.x + 70, c.y - 10));
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "adjust-modifyshape");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
