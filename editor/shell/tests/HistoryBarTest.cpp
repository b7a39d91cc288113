#include "ShellWindowsTestSupport.h"

#include "editor/shell/HistoryBar.h"
#include "editor/shell/PhotoDocument.h"

#include <cstdlib>
#include <string>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

constexpr Bgr kCurrentFill{64, 64, 64};
constexpr Bgr kUndoneFill{240, 240, 240};

class HistoryBar : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 400, 400));
        // 200 x 300: list (10, 16) - (176, 295), 14 rows a page.
        ASSERT_TRUE(m_bar.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 200, 300}, &m_parent, 9));
    }
    void Paint()
    {
        m_bar.RedrawWindow();
        m_surface = skintest::SurfaceOf(m_bar.m_hWnd);
    }
    // A point of list row k (from the top of the page), x from the list's left.
    LPARAM RowPoint(int k, int x) const
    {
        return MAKELPARAM(m_bar.m_list.left + x, m_bar.m_list.top + 20 * k + 10);
    }
    // The fill of row k, right of its text.
    Bgr RowFill(int k) const { return BgrAt(m_surface, m_bar.m_list.right - 4, m_bar.m_list.top + 20 * k + 10); }
    // Whether row k holds a pixel within 20 of this colour where its text
    // goes (text edges are smoothed).
    bool RowHasInk(int k, Bgr ink) const
    {
        const int y0 = m_bar.m_list.top + 20 * k + 2;
        for (int y = y0; y < y0 + 16; ++y)
            for (int x = m_bar.m_list.left + 45; x < m_bar.m_list.left + 110; ++x) {
                const Bgr c = BgrAt(m_surface, x, y);
                if (std::abs(c.b - ink.b) <= 20 && std::abs(c.g - ink.g) <= 20 && std::abs(c.r - ink.r) <= 20)
                    return true;
            }
        return false;
    }
    CPixel Marker() const { return thePhotoDocument.m_image.GetPixel2(0, 0); }

    skintest::CParentWnd m_parent;
    CHistoryBar m_bar;
    QImage m_surface;
};

TEST_F(HistoryBar, LaysOutItsListScrollBarAndButtons)
{
    EXPECT_EQ(m_bar.m_list.left, 10);
    EXPECT_EQ(m_bar.m_list.top, 16);
    EXPECT_EQ(m_bar.m_list.right, 176);
    EXPECT_EQ(m_bar.m_list.bottom, 295);
    EXPECT_EQ(m_bar.m_rowsPerPage, 14);
    RECT r;
    m_bar.m_redoButton.GetWindowRect(&r);
    m_bar.ScreenToClient(&r);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 38);
    EXPECT_EQ(r.right - r.left, 20);
    EXPECT_EQ(thePhotoDocument.m_history.GetOwner(), m_bar.m_hWnd);
}

TEST_F(HistoryBar, WithoutRowsBothButtonsAreDisabled)
{
    Paint();
    EXPECT_TRUE(m_bar.m_rows.empty());
    EXPECT_FALSE(m_bar.m_undoButton.IsWindowEnabled());
    EXPECT_FALSE(m_bar.m_redoButton.IsWindowEnabled());
    EXPECT_FALSE(m_bar.m_scrollBar.IsWindowVisible());

    PushSteps({"Open File", "Crop"});
    Paint();
    EXPECT_TRUE(m_bar.m_undoButton.IsWindowEnabled());
    EXPECT_FALSE(m_bar.m_redoButton.IsWindowEnabled());
    ASSERT_EQ(thePhotoDocument.m_history.Undo(&thePhotoDocument.m_image), 1);
    Paint();
    EXPECT_FALSE(m_bar.m_undoButton.IsWindowEnabled());
    EXPECT_TRUE(m_bar.m_redoButton.IsWindowEnabled());
}

TEST_F(HistoryBar, RowsAreDrawnByKindAndPlace)
{
    PushSteps({"Open File", "Brightness", "brightness", "Crop", "Sharpen"});
    ASSERT_EQ(thePhotoDocument.m_history.Undo(&thePhotoDocument.m_image), 1);  // Sharpen undone
    Paint();
    ASSERT_EQ(m_bar.m_rows.size(), 4u);
    CClientDC dc(&m_bar);
    CFont* old = dc.SelectObject(&m_bar.m_font);
    const struct {
        int kind;
        const char* text;
        Bgr fill;  // right of the text
        Bgr ink;
    } rows[] = {
        {kHistorySingle, "Open File", {}, {255, 255, 255}},
        {kHistoryCollapsed, "brightness (2)", {}, {255, 255, 255}},  // named by its last step
        {kHistorySingle, "Crop", kCurrentFill, {255, 255, 255}},
        {kHistorySingle, "Sharpen", kUndoneFill, {0, 0, 0}},
    };
    for (int k = 0; k < 4; ++k) {
        const HistoryListEntry& row = m_bar.m_rows[static_cast<size_t>(k)];
        EXPECT_EQ(row.kind, rows[k].kind) << k;
        EXPECT_EQ(m_bar.RowText(&dc, row), rows[k].text) << k;
        if (k >= 2)
            EXPECT_EQ(RowFill(k), rows[k].fill) << k;
        else  // the gradient shows through
            EXPECT_NE(RowFill(k), kCurrentFill) << k;
        EXPECT_TRUE(RowHasInk(k, rows[k].ink)) << k;
    }
    dc.SelectObject(old);
    // The collapsed group's box carries a plus: its vertical stroke.
    const int x = m_bar.m_list.left + 40, y = m_bar.m_list.top + 20;
    EXPECT_EQ(BgrAt(m_surface, x - 6, y + 7), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(m_surface, x - 6, y + 11), (Bgr{0, 0, 0}));
    // Single steps have no box.
    EXPECT_NE(BgrAt(m_surface, x - 6, 16 + 7), (Bgr{0, 0, 0}));
}

TEST_F(HistoryBar, LongNamesAreShortenedWithDots)
{
    CClientDC dc(&m_bar);
    CFont* old = dc.SelectObject(&m_bar.m_font);
    const std::string longName(80, 'W');
    const int width = m_bar.m_list.right - (m_bar.m_list.left + 40);
    for (int margin : {8, 22, 32}) {
        const std::string shown = CHistoryBar::Shorten(&dc, longName.c_str(), width - margin);
        ASSERT_GT(shown.size(), 3u);
        EXPECT_EQ(shown.substr(shown.size() - 3), "...");
        EXPECT_LT(dc.GetTextExtent(shown.c_str(), static_cast<int>(shown.size())).cx, width - margin);
        const std::string longer = shown.substr(0, shown.size() - 3) + "W...";
        EXPECT_GE(dc.GetTextExtent(longer.c_str(), static_cast<int>(longer.size())).cx, width - margin);
    }
    EXPECT_EQ(CHistoryBar::Shorten(&dc, "Crop", width - 8), "Crop");
    // Multi-byte characters are dropped whole.
    const std::string shown = CHistoryBar::Shorten(&dc, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 30);
    EXPECT_TRUE(shown.size() % 2 == 1) << shown;
    dc.SelectObject(old);
}

TEST_F(HistoryBar, ScrollingIsClampedToTheRows)
{
    std::vector<std::string> names;
    for (int i = 0; i < 30; ++i)
        names.push_back("Step " + std::to_string(i));
    for (const std::string& n : names)
        PushSteps({n.c_str()});
    Paint();
    ASSERT_EQ(m_bar.m_rows.size(), 30u);
    EXPECT_TRUE(m_bar.m_scrollBar.IsWindowVisible());
    const struct {
        UINT code;
        UINT pos;
        int top;
    } steps[] = {
        {SB_LINEUP, 0, 0},      {SB_LINEDOWN, 0, 1},     {SB_PAGEDOWN, 0, 15},   {SB_PAGEDOWN, 0, 17},
        {SB_THUMBTRACK, 3, 3},  {SB_THUMBPOSITION, 90, 17}, {SB_PAGEUP, 0, 3},   {SB_PAGEUP, 0, 0},
    };
    for (const auto& s : steps) {
        m_bar.SendMessage(WM_VSCROLL, MAKEWPARAM(s.code, s.pos), reinterpret_cast<LPARAM>(m_bar.m_scrollBar.m_hWnd));
        EXPECT_EQ(m_bar.m_top, s.top) << s.code << " " << s.pos;
    }
    // A click goes to the row under the point, counted from the top row shown.
    m_bar.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
    m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(2, 60));
    EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 13);

    // Fewer rows than a page: back to the top, no scroll bar.
    thePhotoDocument.m_history.Reset();
    PushSteps({"Open File"});
    Paint();
    EXPECT_EQ(m_bar.m_top, 0);
    EXPECT_FALSE(m_bar.m_scrollBar.IsWindowVisible());
}

TEST_F(HistoryBar, ExpanderClickOpensAGroupWithoutChangingTheImage)
{
    PushSteps({"Open File", "Brightness", "Brightness", "Brightness"});
    Paint();
    ASSERT_EQ(m_bar.m_rows[1].kind, kHistoryCollapsed);
    const CPixel before = Marker();
    for (int x : {31, 35, 39}) {
        m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(1, x));
        Paint();
        ASSERT_EQ(m_bar.m_rows.size(), 5u) << x;
        EXPECT_EQ(m_bar.m_rows[1].kind, kHistoryGroupHead);
        EXPECT_EQ(m_bar.m_rows[2].kind, kHistoryGroupStep);
        EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 4);
        EXPECT_EQ(Marker(), before);
        // The same column of the head closes it again.
        m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(1, x));
        Paint();
        EXPECT_EQ(m_bar.m_rows.size(), 2u);
    }
    // Outside the column the click goes to the group's last step.
    m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(0, 30));
    EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 1);
    m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(1, 40));
    EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 4);
    EXPECT_EQ(Marker(), before);
}

TEST_F(HistoryBar, ClicksAndButtonsMoveThroughTheSteps)
{
    PushSteps({"Open File", "Crop", "Sharpen"});
    const CPixel last = Marker();
    m_bar.SendMessage(WM_COMMAND, CHistoryBar::kUndoId, 0);
    m_bar.SendMessage(WM_COMMAND, CHistoryBar::kUndoId, 0);
    EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 1);
    EXPECT_NE(Marker(), last);
    Paint();
    EXPECT_EQ(RowFill(2), kUndoneFill);
    // A click on an undone row redoes to it.
    m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(2, 60));
    EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 3);
    EXPECT_EQ(Marker(), last);
    Paint();
    EXPECT_EQ(RowFill(2), kCurrentFill);
    // Below the last row nothing happens.
    m_bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(5, 60));
    EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 3);
    m_bar.SendMessage(WM_COMMAND, CHistoryBar::kUndoId, 0);
    m_bar.SendMessage(WM_COMMAND, CHistoryBar::kRedoId, 0);
    EXPECT_EQ(thePhotoDocument.m_history.GetCurrent(), 3);
    EXPECT_EQ(Marker(), last);
    // The history's notice is answered with 0.
    EXPECT_EQ(m_bar.SendMessage(WM_HISTORY_REFRESH, 1, 0), 0);
}

TEST_F(HistoryBar, GrabShowsTwoGroupsOneCollapsedAndAnUndoneStep)
{
    PushSteps({"Auto Level", "Auto Level", "Auto Level", "Sharpen", "Sharpen"});
    ASSERT_EQ(thePhotoDocument.m_history.Undo(&thePhotoDocument.m_image), 1);
    thePhotoDocument.m_history.GetGroup(1)->expanded = TRUE;
    m_bar.MoveWindow(0, 0, 200, 220);
    Paint();
    ASSERT_EQ(m_bar.m_rows.size(), 4u);
    EXPECT_EQ(RowFill(2), kCurrentFill);
    EXPECT_EQ(RowFill(3), kUndoneFill);
    const QImage grab = m_bar.GetWidget()->grab().toImage();
    const std::string path = shelltest::SaveGrab(grab, "history_bar");
    ASSERT_FALSE(path.empty());
    std::printf("history bar grab: %s\n", path.c_str());
}

}  // namespace
