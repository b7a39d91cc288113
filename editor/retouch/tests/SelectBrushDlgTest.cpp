// "Select Brush": the sample's levels for both shapes, the scaled sample,
// the spin limits, OK writing the bytes back (Cancel not), and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/SelectBrushDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <cstring>
#include <string>

namespace {

TEST(BrushSample, DistanceAndLevelTable)
{
    struct Case {
        int shape, dx, dy, r1, r2, pressure, level;
    };
    const Case cases[] = {
        {0, 3, 4, 10, 0, 255, 255},   // d 5, inside the core
        {0, 6, 8, 5, 10, 255, 127},   // d 10: (15 - 10) * 255 / 10
        {1, 6, 8, 5, 10, 255, 178},   // rectangle: d 8
        {0, 12, 9, 5, 10, 255, 0},    // d 15: outside
        {0, 0, 0, 5, 10, 128, 128},   // pressure scales
        {1, -7, 2, 8, 0, 255, 255},   // no blur: a hard edge
        {1, -8, 2, 8, 0, 255, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(brush::Level(brush::Distance(c.shape, c.dx, c.dy), c.r1, c.r2, c.pressure), c.level)
            << c.shape << " " << c.dx << "," << c.dy;
}

TEST(BrushSample, WideBrushIsScaledIntoTheBox)
{
    const BYTE wide[4] = {0, 200, 100, 255};
    CQLImage sample;
    bool scaled = false;
    brush::DrawSample(wide, 60, 60, &sample, &scaled);
    EXPECT_TRUE(scaled);
    // r1 = 30 * 100 / 150 = 20: solid at 19, fading beyond 20.
    EXPECT_EQ(sample.GetPixel2(30 + 19, 30).b, 255);
    EXPECT_LT(sample.GetPixel2(30 + 25, 30).b, 255);
    const BYTE small[4] = {1, 10, 4, 255};
    brush::DrawSample(small, 60, 60, &sample, &scaled);
    EXPECT_FALSE(scaled);
    EXPECT_EQ(sample.GetPixel2(30 + 4, 30 + 4).b, 255);  // a rectangle's corner
    EXPECT_EQ(sample.GetPixel2(30 + 8, 30).b, 0);
}

TEST(BrushSample, SpinLimits)
{
    EXPECT_EQ(brush::Spin(10, -1, 1, 255), 11);
    EXPECT_EQ(brush::Spin(1, 1, 1, 255), 1);
    EXPECT_EQ(brush::Spin(0, 1, 0, 16), 0);
    EXPECT_EQ(brush::Spin(16, -1, 0, 16), 16);
    EXPECT_EQ(brush::Spin(255, -1, 1, 255), 255);
}

class SelectBrushDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(BYTE* bytes, int maxSize, std::function<int(CSelectBrushDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CSelectBrushDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        CSelectBrushDlg dialog(bytes, maxSize, m_frame);
        return static_cast<int>(dialog.DoModal());
    }
    static void Spin(CSelectBrushDlg* dlg, UINT id, int delta)
    {
        NMUPDOWN nm{};
        nm.hdr.hwndFrom = dlg->GetDlgItem(id)->m_hWnd;
        nm.hdr.idFrom = id;
        nm.hdr.code = UDN_DELTAPOS;
        nm.iDelta = delta;
        dlg->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&nm));
    }
};

TEST_F(SelectBrushDlgTest, OkWritesTheBytesWithinTheRanges)
{
    BYTE bytes[4] = {0, 15, 15, 255};
    const int result = Run(bytes, 16, [](CSelectBrushDlg* dlg) {
        EXPECT_EQ(dlg->GetDlgItemInt(IDC_BRUSH_SIZE_EDIT, nullptr, FALSE), 15u);
        Spin(dlg, IDC_BRUSH_SIZE_SPIN, -1);
        Spin(dlg, IDC_BRUSH_SIZE_SPIN, -1);  // held at the maximum
        Spin(dlg, IDC_BRUSH_PRESSURE_SPIN, 1);
        dlg->SendDlgItemMessage(IDC_BRUSH_SHAPE, CB_SETCURSEL, 1);
        dlg->SetDlgItemText(IDC_BRUSH_BLUR_EDIT, "3");
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    const BYTE expected[4] = {1, 16, 3, 254};
    EXPECT_EQ(std::memcmp(bytes, expected, 4), 0);
}

TEST_F(SelectBrushDlgTest, OutOfRangeKeepsTheDialogAndCancelKeepsTheBytes)
{
    BYTE bytes[4] = {0, 8, 8, 200};
    const int result = Run(bytes, 16, [this](CSelectBrushDlg* dlg) {
        dlg->SetDlgItemText(IDC_BRUSH_SIZE_EDIT, "40");
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(m_boxes.empty());
        return IDCANCEL;
    });
    EXPECT_EQ(result, IDCANCEL);
    const BYTE expected[4] = {0, 8, 8, 200};
    EXPECT_EQ(std::memcmp(bytes, expected, 4), 0);
}

TEST_F(SelectBrushDlgTest, Grab)
{
    BYTE bytes[4] = {0, 30, 20, 255};
    std::string grab;
    Run(bytes, 255, [&](CSelectBrushDlg* dlg) {
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "select-brush");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
