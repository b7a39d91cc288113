#include "SkinTestSupport.h"

#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/ThumbListCtrl.h"
#include "platform/afx/WndRecord.h"

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using skintest::Bgr;
using skintest::BgrAt;

// Records the list's notices as (code, lParam).
class NoticeParent : public skintest::CParentWnd {
public:
    std::vector<std::pair<int, LPARAM>> notices;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_THUMBLIST_NOTIFY) {
            notices.emplace_back(static_cast<int>(wParam), lParam);
            return 0;
        }
        return skintest::CParentWnd::WindowProc(message, wParam, lParam);
    }
};

// Key messages as the layer makes them: scan code in bits 16..23, the
// extended flag in bit 24.
LPARAM KeyLParam(UINT scan, bool extended)
{
    return static_cast<LPARAM>(1u | (scan << 16) | (extended ? 1u << 24 : 0u));
}

// A 622 x 302 list: list area 600 x 300, five columns of 120, two rows
// visible.
class ThumbList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 700, 400));
        ASSERT_TRUE(m_list.Create(AfxRegisterWndClass(CS_DBLCLKS), "", WS_CHILD | WS_VISIBLE,
                                  RECT{0, 0, 622, 302}, &m_parent, 1000));
    }
    void TearDown() override
    {
        m_list.DestroyWindow();
        m_parent.DestroyWindow();
    }
    void AddItems(int n)
    {
        for (int i = 0; i < n; ++i)
            m_list.AddItem(("item" + std::to_string(i)).c_str(), nullptr);
    }
    void AddNamed(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            m_list.AddItem(name, nullptr);
    }
    std::set<int> Selected() const
    {
        std::set<int> out;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            if (m_list.GetItem(i)->selected)
                out.insert(i);
        return out;
    }
    void Key(UINT vk, UINT scan, bool extended)
    {
        m_list.SendMessage(WM_KEYDOWN, vk, KeyLParam(scan, extended));
    }
    void Click(int x, int y, UINT flags = 0)
    {
        m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | flags, MAKELPARAM(x, y));
        m_list.SendMessage(WM_LBUTTONUP, flags, MAKELPARAM(x, y));
    }
    std::vector<int> Codes() const
    {
        std::vector<int> out;
        for (const auto& n : m_parent.notices)
            out.push_back(n.first);
        return out;
    }

    NoticeParent m_parent;
    CThumbListCtrl m_list;
};

TEST_F(ThumbList, CellsRunRowByRowAndHitTestMatches)
{
    AddItems(12);
    ASSERT_EQ(m_list.GetColumns(), 5);
    const struct {
        int index;
        RECT rect;
    } cells[] = {
        {0, {0, 0, 119, 149}},
        {4, {480, 0, 599, 149}},
        {7, {240, 150, 359, 299}},
        {11, {120, 300, 239, 449}},  // third row: starts inside the 300 px area
        {12, {0, 0, 0, 0}},          // no such item
        {-1, {0, 0, 0, 0}},
    };
    for (const auto& c : cells) {
        const RECT r = m_list.GetItemRect(c.index);
        EXPECT_EQ(r.left, c.rect.left) << c.index;
        EXPECT_EQ(r.top, c.rect.top) << c.index;
        EXPECT_EQ(r.right, c.rect.right) << c.index;
        EXPECT_EQ(r.bottom, c.rect.bottom) << c.index;
    }
    const struct {
        int x, y, index;
    } hits[] = {
        {0, 0, 0}, {599, 149, 4}, {600, 10, -1},  // column 5 is past the five columns
        {130, 160, 6}, {130, 310, 11}, {250, 310, -1},  // cell 12 is empty
    };
    for (const auto& h : hits)
        EXPECT_EQ(m_list.HitTest(h.x, h.y), h.index) << h.x << "," << h.y;
}

TEST_F(ThumbList, ContentHeightIsOneRowMoreThanFullRows)
{
    const struct {
        int items, height;
    } cases[] = {{0, 150}, {4, 150}, {5, 300}, {10, 450}, {12, 450}};
    for (const auto& c : cases) {
        m_list.DeleteAllItems();
        AddItems(c.items);
        EXPECT_EQ(m_list.GetContentHeight(), c.height) << c.items;
    }
}

TEST_F(ThumbList, ScrollingStaysWithinTheContent)
{
    // 12 items: content 450, area 300, so positions 0..150.
    AddItems(12);
    const struct {
        const char* name;
        UINT msg;
        WPARAM wParam;
        int expected;
    } steps[] = {
        {"line down", WM_VSCROLL, SB_LINEDOWN, 5},
        {"line up", WM_VSCROLL, SB_LINEUP, 0},
        {"line up at top", WM_VSCROLL, SB_LINEUP, 0},
        {"page down", WM_VSCROLL, SB_PAGEDOWN, 150},
        {"thumb to 40", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 40},
        {"thumb past the end", WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 900), 150},
        {"page up", WM_VSCROLL, SB_PAGEUP, 0},
        {"wheel one notch down", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 120},
        {"wheel two notches down", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 150},
        {"wheel one notch up", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 30},
    };
    for (const auto& s : steps) {
        m_list.SendMessage(s.msg, s.wParam, 0);
        EXPECT_EQ(m_list.GetScrollPosition(), s.expected) << s.name;
    }
    // Scrolled by 30, item 0 is still partly in view; item 12 would not be.
    EXPECT_EQ(m_list.GetItemRect(0).top, -30);
    EXPECT_EQ(m_list.HitTest(10, 130), 5);
}

TEST_F(ThumbList, ContentThatFitsIgnoresTheWheelAndHidesTheBar)
{
    AddItems(4);  // one row: content 150 in a 300 area
    m_list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(m_list.GetScrollPosition(), 0);
    CWnd* bar = m_list.GetDlgItem(1);
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->IsWindowVisible());
    AddItems(8);
    EXPECT_TRUE(bar->IsWindowVisible());
}

TEST_F(ThumbList, CaptionsAreCutTo127Characters)
{
    const std::string longText(200, 'x');
    EXPECT_EQ(m_list.AddItem(longText.c_str(), nullptr), 0);
    EXPECT_EQ(std::string(m_list.GetItem(0)->text), std::string(127, 'x'));
    EXPECT_EQ(m_list.GetItemData(0), 0u);
    m_list.SetItemData(0, 77);
    EXPECT_EQ(m_list.GetItemData(0), 77u);
    EXPECT_EQ(m_list.GetItemData(5), 0u);
}

TEST_F(ThumbList, SelectionChangesAndTheirNotices)
{
    enum Op { ClickAt, CtrlClickAt, ShiftSelect, SelectAll, ClickEmpty, SingleCtrlClick };
    const struct {
        const char* name;
        std::set<int> before;
        Op op;
        int index;
        std::set<int> after;
        bool notified;
    } cases[] = {
        {"click", {}, ClickAt, 2, {2}, true},
        {"click replaces", {1, 3}, ClickAt, 2, {2}, true},
        {"ctrl-click adds", {2}, CtrlClickAt, 4, {2, 4}, true},
        {"ctrl-click on a selected item drops it on button-up", {2, 4}, CtrlClickAt, 4, {2}, true},
        {"shift range forward", {2}, ShiftSelect, 5, {2, 3, 4, 5}, false},
        {"shift range backward keeps others", {4, 9}, ShiftSelect, 1, {1, 2, 3, 4, 9}, false},
        {"shift range from nothing starts at 0", {}, ShiftSelect, 2, {0, 1, 2}, false},
        {"Ctrl+A", {3}, SelectAll, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, false},
        {"click on empty space clears", {1, 3}, ClickEmpty, 0, {}, true},
        {"single select: ctrl-click replaces", {1}, SingleCtrlClick, 3, {3}, true},
    };
    AddItems(12);
    for (const auto& c : cases) {
        m_list.SetMultiSelect(TRUE);
        m_list.SelectItem(0, -1);
        for (int i : c.before)
            m_list.SelectItem(MK_CONTROL, i);
        m_parent.notices.clear();
        const RECT cell = m_list.GetItemRect(c.index);
        const int cx = cell.left + 60, cy = cell.top + 60;
        switch (c.op) {
        case ClickAt: Click(cx, cy); break;
        case CtrlClickAt: Click(cx, cy, MK_CONTROL); break;
        case ShiftSelect: m_list.SelectItem(MK_SHIFT, c.index); break;
        case SelectAll: m_list.SendMessage(WM_CHAR, 1, 0); break;
        case ClickEmpty: Click(610, 10); break;
        case SingleCtrlClick:
            m_list.SetMultiSelect(FALSE);
            Click(cx, cy, MK_CONTROL);
            break;
        }
        EXPECT_EQ(Selected(), c.after) << c.name;
        EXPECT_EQ(Codes(), c.notified ? std::vector<int>{ThumbListSelChange} : std::vector<int>{}) << c.name;
        if (c.notified)
            EXPECT_EQ(m_parent.notices[0].second, reinterpret_cast<LPARAM>(&m_list)) << c.name;
    }
}

TEST_F(ThumbList, ActivationAndDeleteNotices)
{
    AddItems(12);
    m_list.SelectItem(0, 7);
    m_list.SelectItem(MK_CONTROL, 9);
    m_parent.notices.clear();
    m_list.SendMessage(WM_CHAR, 13, 0);
    m_list.SendMessage(WM_CHAR, 10, 0);  // Ctrl+Enter
    m_list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(370, 20));  // item 3
    m_list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(610, 20));  // no item
    Key(VK_DELETE, 83, true);
    const std::vector<std::pair<int, LPARAM>> expected{
        {ThumbListActivate, 7},
        {ThumbListActivate, 7},
        {ThumbListActivate, 3},
        {ThumbListDelete, reinterpret_cast<LPARAM>(&m_list)},
    };
    EXPECT_EQ(m_parent.notices, expected);
}

TEST_F(ThumbList, ArrowKeysMoveInTheGrid)
{
    // 12 items in five columns: rows 0..4, 5..9, 10..11.
    const struct {
        const char* name;
        int from;
        UINT vk;
        bool shift;
        std::set<int> after;
    } cases[] = {
        {"left at the start", 0, VK_LEFT, false, {0}},
        {"left", 3, VK_LEFT, false, {2}},
        {"up", 7, VK_UP, false, {2}},
        {"up in the first row", 3, VK_UP, false, {3}},
        {"right at the end", 11, VK_RIGHT, false, {11}},
        {"right", 4, VK_RIGHT, false, {5}},
        {"down", 6, VK_DOWN, false, {11}},
        {"down into an empty cell", 7, VK_DOWN, false, {7}},
        {"home", 8, VK_HOME, false, {0}},
        {"end", 2, VK_END, false, {11}},
        {"shift+right extends", 2, VK_RIGHT, true, {2, 3}},
        {"shift+down extends", 1, VK_DOWN, true, {1, 2, 3, 4, 5, 6}},
    };
    AddItems(12);
    for (const auto& c : cases) {
        m_list.SelectItem(0, c.from);
        qlafx::UpdateKeyState(VK_SHIFT, c.shift);
        Key(c.vk, 75, true);
        qlafx::UpdateKeyState(VK_SHIFT, false);
        EXPECT_EQ(Selected(), c.after) << c.name;
    }
}

TEST_F(ThumbList, NavigationBringsTheItemIntoView)
{
    AddItems(20);  // content 750, area 300: positions 0..450
    m_list.SelectItem(0, 0);
    Key(VK_END, 79, true);
    EXPECT_EQ(m_list.GetScrollPosition(), 450);  // row 3 at 450, the last position
    Key(VK_UP, 72, true);  // item 14: its row starts at 300, above the view
    EXPECT_EQ(m_list.GetScrollPosition(), 300);
    Key(VK_HOME, 71, true);
    EXPECT_EQ(m_list.GetScrollPosition(), 0);
}

TEST_F(ThumbList, FirstKeyWithoutSelectionSelectsItemZero)
{
    Key('B', 48, false);
    EXPECT_TRUE(m_parent.notices.empty()) << "an empty list ignores keys";

    AddNamed({"apple", "banana"});
    Key('B', 48, false);
    EXPECT_EQ(Selected(), std::set<int>{0});
    EXPECT_EQ(Codes(), std::vector<int>{ThumbListSelChange});
    Key('B', 48, false);
    EXPECT_EQ(Selected(), std::set<int>{1});
}

TEST_F(ThumbList, TypeToFindSkipsTheCurrentGroup)
{
    AddNamed({"apple", "banana", "avocado", "Bean", "bread", "cherry", "7up", "axe"});
    const struct {
        int from;
        UINT key;
        int expected;
    } cases[] = {
        {0, 'A', 2},  // lower-case captions match the letter key
        {2, 'A', 7},
        {7, 'A', 2},  // the run axe, apple wraps; banana is passed
        {1, 'B', 3},  // upper-case captions match too
        {3, 'B', 1},  // past Bean and bread, wrapping to banana
        {0, '7', 6},
        {0, 'C', 5},
        {4, 'Z', 4},  // no match: unchanged
    };
    for (const auto& c : cases) {
        m_list.SelectItem(0, c.from);
        Key(c.key, 30, false);
        EXPECT_EQ(Selected(), std::set<int>{c.expected}) << c.from << " " << static_cast<char>(c.key);
    }
}

TEST_F(ThumbList, KeypadBlockIsNavigationNotTypeToFind)
{
    // VK_LEFT is 0x25 ('%'): a caption starting with it would be found if
    // the keypad key went to type-to-find.
    AddNamed({"a", "%b", "c"});
    m_list.SelectItem(0, 2);
    Key(VK_LEFT, 75, false);  // keypad 4 without Num Lock
    EXPECT_EQ(Selected(), std::set<int>{1});
    m_list.SelectItem(0, 0);
    Key(VK_LEFT, 30, false);  // outside the block: goes to type-to-find
    EXPECT_EQ(Selected(), std::set<int>{1});
}

TEST_F(ThumbList, WhenEveryItemMatchesNothingHappens)
{
    AddNamed({"a", "A", "ab"});
    m_list.SelectItem(0, 1);
    m_parent.notices.clear();
    Key('A', 30, false);
    EXPECT_EQ(Selected(), std::set<int>{1});
    EXPECT_TRUE(m_parent.notices.empty());
}

// ---- drawing --------------------------------------------------------------

TEST_F(ThumbList, WideAndTallThumbnailsAreFittedWithShadow)
{
    CQLImage wide, tall;
    skintest::Fill(&wide, 100, 50, CPixel{0, 0, 255, 255});
    skintest::Fill(&tall, 50, 100, CPixel{255, 0, 0, 255});
    m_list.AddItem("", &wide);
    m_list.AddItem("", &tall);
    const QImage s = skintest::SurfaceOf(m_list.m_hWnd);
    ASSERT_FALSE(s.isNull());
    const Bgr red{0, 0, 255}, blue{255, 0, 0}, black{0, 0, 0}, bg{240, 240, 240};
    const Bgr shadow{122, 122, 122}, light{200, 200, 200};
    // Picture box 9..110 x 5..105 (101 x 100). Wide: 101 x 50 at y 30..80.
    const struct {
        int x, y;
        Bgr colour;
        const char* what;
    } pixels[] = {
        {50, 55, red, "wide picture"},
        {9, 55, black, "wide frame, left"},
        {50, 30, black, "wide frame, top"},
        {50, 79, black, "wide frame, bottom"},
        {50, 29, bg, "above the wide picture"},
        {110, 55, shadow, "shadow right of the frame"},
        {50, 80, shadow, "shadow below the frame"},
        {111, 55, light, "shadow frame"},
        {50, 81, light, "shadow frame below"},
        {10, 80, bg, "shadow starts 3 in"},
        // Tall: 50 x 100 at x 120 + 34..84.
        {160, 50, blue, "tall picture"},
        {154, 50, black, "tall frame, left"},
        {153, 50, bg, "left of the tall picture"},
        {204, 50, shadow, "tall shadow"},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(BgrAt(s, p.x, p.y), p.colour) << p.what;
}

TEST_F(ThumbList, SelectedCellsAreDarkerWithFocusAndHoverIsFramed)
{
    AddItems(3);
    m_list.SelectItem(0, 1);
    QImage s = skintest::SurfaceOf(m_list.m_hWnd);
    EXPECT_EQ(BgrAt(s, 125, 3), (Bgr{128, 128, 128})) << "selected, no focus";
    EXPECT_EQ(BgrAt(s, 5, 3), (Bgr{240, 240, 240})) << "unselected";
    EXPECT_EQ(BgrAt(s, 0, 100), (Bgr{0, 0, 0})) << "the frame of the list";

    m_list.SetFocus();
    m_list.RefreshItem(1);
    s = skintest::SurfaceOf(m_list.m_hWnd);
    EXPECT_EQ(BgrAt(s, 125, 3), (Bgr{64, 64, 64})) << "selected with focus";
    EXPECT_EQ(BgrAt(s, 239, 3), (Bgr{64, 64, 64})) << "the fill covers the cell grown by one";

    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 60));  // item 2
    s = skintest::SurfaceOf(m_list.m_hWnd);
    EXPECT_EQ(BgrAt(s, 358, 60), (Bgr{128, 128, 128})) << "hover frame, right edge";
    EXPECT_EQ(BgrAt(s, 300, 148), (Bgr{128, 128, 128})) << "hover frame, bottom edge";
    EXPECT_EQ(BgrAt(s, 357, 60), (Bgr{240, 240, 240})) << "inside the hover frame";
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 60));  // item 0
    s = skintest::SurfaceOf(m_list.m_hWnd);
    EXPECT_EQ(BgrAt(s, 358, 60), (Bgr{240, 240, 240})) << "old hover repainted";
}

TEST_F(ThumbList, PaintsWhileTheOwnerHoldsTheThumbnailLock)
{
    // The open-file dialog rebuilds its list holding the worker's lock; the
    // list takes the same lock to paint thumbnails, so it must be re-entrant.
    CQLImage thumb;
    skintest::Fill(&thumb, 40, 40, CPixel{0, 255, 0, 255});
    CSingleLock held(&theAlgorithmThread.GetThumbnailLock(), TRUE);
    m_list.DeleteAllItems();
    m_list.AddItem("a", &thumb);
    m_list.RefreshItem(0);
    const QImage s = skintest::SurfaceOf(m_list.m_hWnd);
    EXPECT_EQ(BgrAt(s, 60, 55), (Bgr{0, 255, 0}));
}

// Items without a thumbnail show their owner's icon: a blue 32 x 32 square.
class CIconList : public CThumbListCtrl {
public:
    HICON icon = nullptr;

protected:
    HICON GetItemIcon(int) override { return icon; }
};

TEST_F(ThumbList, ItemsWithoutThumbnailShowTheIconCentredAtTheTop)
{
    skintest::TempFolder folder;
    const std::string path = folder.Path() + "icon.png";
    QImage square(32, 32, QImage::Format_ARGB32);
    square.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(square.save(QString::fromStdString(path)));
    CIconList list;
    list.icon = static_cast<HICON>(::LoadImage(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(list.icon, nullptr);
    ASSERT_TRUE(list.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 622, 302}, &m_parent, 7));
    list.AddItem("", nullptr);
    const QImage s = skintest::SurfaceOf(list.m_hWnd);
    // (119 - 32) / 2 = 43: the icon covers 43..74 both ways.
    int inside = 0, outside = 0;
    for (int y = 1; y < 100; ++y)
        for (int x = 1; x < 119; ++x) {
            const bool blue = BgrAt(s, x, y) == Bgr{255, 0, 0};
            const bool inIcon = x >= 43 && x < 75 && y >= 43 && y < 75;
            (inIcon ? inside : outside) += blue ? 1 : 0;
        }
    EXPECT_EQ(inside, 32 * 32);
    EXPECT_EQ(outside, 0);
    list.DestroyWindow();
    ::DestroyIcon(list.icon);
}

// Rows of a cell that hold caption ink.
std::set<int> InkRows(const QImage& s, int left, int right, int top, int bottom)
{
    std::set<int> rows;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (BgrAt(s, x, y).r < 128)
                rows.insert(y);
    return rows;
}

TEST_F(ThumbList, LongCaptionsBreakIntoLinesOf14Pixels)
{
    m_list.AddItem("Short", nullptr);
    m_list.AddItem("A caption much too long for one line of the cell", nullptr);
    const QImage s = skintest::SurfaceOf(m_list.m_hWnd);
    // Text starts at y 149 - 45 = 104; lines every 14 pixels.
    const std::set<int> shortRows = InkRows(s, 1, 119, 90, 149);
    ASSERT_FALSE(shortRows.empty());
    EXPECT_GE(*shortRows.begin(), 104);
    EXPECT_LT(*shortRows.rbegin(), 118);
    const std::set<int> longRows = InkRows(s, 121, 239, 90, 149);
    ASSERT_FALSE(longRows.empty());
    EXPECT_GE(*longRows.begin(), 104);
    EXPECT_GE(*longRows.rbegin(), 132) << "at least three lines";
    // A centred short caption leaves the same margin on both sides, give or
    // take a pixel; a broken one starts at x 125.
    int first = 119, last = 0;
    for (int y : shortRows)
        for (int x = 1; x < 119; ++x)
            if (BgrAt(s, x, y).r < 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    EXPECT_NEAR(first - 0, 118 - last, 3);
}

}  // namespace
