// The small self-drawn controls and the font cache: percent bar and label,
// text list selection, scrolling and thumb dragging (also on lists too small
// for a track), the number edit's character filter and the link list.
#include "editor/ui/FontCache.h"
#include "editor/ui/ImageComboBox.h"
#include "editor/ui/MenuButton.h"
#include "editor/ui/LinkListCtrl.h"
#include "editor/ui/NumEdit.h"
#include "editor/ui/PercentBar.h"
#include "editor/ui/TextListBox.h"

#include "SkinTestSupport.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

using skintest::Bgr;
using skintest::BgrAt;

TEST(FontCache, ReusesAFontOfTheSameFaceInAnyCaseAndHeight)
{
    CFontCache cache;
    ASSERT_EQ(cache.SelectFont("Arial", 14), 1);
    CFont* arial = cache.Current();
    ASSERT_NE(arial, nullptr);
    EXPECT_EQ(cache.SelectFont("arial", 14), 1);
    EXPECT_EQ(cache.Current(), arial);
    EXPECT_EQ(cache.m_entries.size(), 1u);
    EXPECT_EQ(cache.SelectFont("Arial", 12), 1);
    EXPECT_NE(cache.Current(), arial);
    EXPECT_EQ(cache.FindFont("ARIAL", 14), 0);
    EXPECT_EQ(cache.FindFont("Arial", 13), -1);
    EXPECT_EQ(cache.m_entries[0].charset, 0);
    ASSERT_EQ(cache.SelectFont("\xE5\xAE\x8B\xE4\xBD\x93", 12), 1);  // a CJK face name
    EXPECT_EQ(cache.m_entries.back().charset, 134);
    // Faces are kept to 31 characters.
    ASSERT_EQ(cache.SelectFont("A face name that is much longer than thirty-one", 10), 1);
    EXPECT_EQ(std::strlen(cache.m_entries.back().face), 31u);
}

class SmallControlTest : public ::testing::Test {
protected:
    skintest::CParentWnd m_parent;
    void SetUp() override { ASSERT_TRUE(m_parent.CreateParent(0, 0, 320, 240)); }
};

bool IsGrey(const QImage& img, int x, int y) { return BgrAt(img, x, y) == (Bgr{128, 128, 128}); }
// Text pixels: white, or nearly so at glyph edges; brighter than the face
// (the palette's button colour) around the bar.
bool IsWhite(const QImage& img, int x, int y)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return qGray(img.pixel(x, y)) > std::max(235, qGray(GetRValue(face), GetGValue(face), GetBValue(face)) + 8);
}

struct BarCase {
    int value;
    int filled;  // columns of grey, from the left
    bool text;
};

TEST_F(SmallControlTest, PercentBarClampsTheValueAndShowsItsText)
{
    const BarCase cases[] = {{150, 100, true}, {50, 50, true}, {0, 0, false}, {-5, 0, false}, {100, 100, true}};
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.value);
        CPercentBar bar;
        ASSERT_TRUE(bar.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), &m_parent, 10));
        bar.SetStateAndRedraw(c.value);
        const QImage img = skintest::SurfaceOf(bar.m_hWnd);
        ASSERT_EQ(img.width(), 100);
        // The bar's bottom row carries no text.
        if (c.filled > 0) {
            EXPECT_TRUE(IsGrey(img, c.filled - 1, 19));
        }
        if (c.filled < 100) {
            EXPECT_FALSE(IsGrey(img, c.filled, 19));
        }
        int white = 0, whiteBefore5 = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 100; ++x)
                if (IsWhite(img, x, y))
                    (x < 5 ? whiteBefore5 : white)++;
        EXPECT_EQ(white > 0, c.text);
        EXPECT_EQ(whiteBefore5, 0);
        bar.DestroyWindow();
    }
}

TEST_F(SmallControlTest, PercentLabelShowsTrackOnlyWhileRunning)
{
    struct Case {
        int value;
        bool track;
    };
    for (const Case& c : {Case{40, true}, Case{0, false}, Case{100, false}}) {
        SCOPED_TRACE(c.value);
        CPercentLabel label;
        ASSERT_TRUE(label.Create(nullptr, "Saving ", WS_CHILD | WS_VISIBLE, CRect(0, 0, 120, 30), &m_parent, 11));
        label.SetStateAndRedraw(c.value);
        const QImage img = skintest::SurfaceOf(label.m_hWnd);
        // The track is framed RGB(32,32,32) from (1, 19), 5 pixels high.
        EXPECT_EQ(BgrAt(img, 1, 19) == (Bgr{32, 32, 32}), c.track);
        EXPECT_EQ(BgrAt(img, 60, 23) == (Bgr{32, 32, 32}), c.track);
        label.DestroyWindow();
    }
}

// ---- text list ----

struct SelectCase {
    const char* name;
    std::vector<std::pair<int, int>> steps;  // row, mode
    const char* selected;                    // one character per row
};

TEST(TextListBox, SelectRowModes)
{
    const SelectCase cases[] = {
        {"only", {{2, 0}, {4, 0}}, "....x."},
        {"toggle", {{2, 0}, {4, 1}, {2, 1}}, "....x."},
        {"extend down from above", {{1, 0}, {4, 2}}, ".xxxx."},
        {"extend up from below", {{4, 0}, {2, 2}}, "..xxx."},
        {"extend alone", {{3, 2}}, "...x.."},
        {"past the end clears", {{1, 0}, {3, 1}, {6, 0}}, "......"},
        {"minus one clears", {{1, 0}, {-1, 1}}, "......"},
    };
    for (const SelectCase& c : cases) {
        SCOPED_TRACE(c.name);
        CTextListBox list;
        for (int i = 0; i < 6; ++i)
            list.AddRow("row");
        for (auto [row, mode] : c.steps)
            list.SelectRow(row, mode);
        std::string got;
        for (const auto& r : list.m_rows)
            got += r.selected ? 'x' : '.';
        EXPECT_EQ(got, c.selected);
    }
}

TEST(TextListBox, ThumbDragFollowsTheTrackAndIgnoresTooSmallControls)
{
    struct Case {
        int dy, count, clientHeight, startRow, first;
    };
    const Case cases[] = {
        {10, 100, 134, 0, 10},   // 10 x 100 / 100
        {15, 40, 114, 5, 12},    // 15 x 40 / 80 + 5 = 12.5
        {-8, 40, 114, 10, 6},    // -8 x 40 / 80 + 10
        {10, 100, 34, 3, 3},     // no track: keeps the start row
        {10, 100, 20, 3, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CTextListBox::DragFirstRow(c.dy, c.count, c.clientHeight, c.startRow), c.first)
            << c.dy << " " << c.clientHeight;
}

struct ListFixture : SmallControlTest {
    CTextListBox m_list;
    void Make(int height, int rows)
    {
        ASSERT_TRUE(m_list.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 120, height), &m_parent, 12));
        m_list.m_rowHeight = 10;
        for (int i = 0; i < rows; ++i)
            m_list.AddRow(("row " + std::to_string(i)).c_str());
        skintest::SurfaceOf(m_list.m_hWnd);
    }
    void Mouse(UINT message, UINT flags, int x, int y) { m_list.SendMessage(message, flags, MAKELPARAM(x, y)); }
};

TEST_F(ListFixture, ClicksSelectRowsAndTheScrollBarScrolls)
{
    Make(100, 30);  // 10 rows visible, a scroll bar
    ASSERT_TRUE(m_list.HasScrollBar());
    Mouse(WM_LBUTTONDOWN, 0, 20, 35);  // row 3
    Mouse(WM_LBUTTONUP, 0, 20, 35);
    Mouse(WM_LBUTTONDOWN, MK_CONTROL, 20, 55);  // row 5 toggled on
    Mouse(WM_LBUTTONUP, 0, 20, 55);
    EXPECT_TRUE(m_list.m_rows[3].selected && m_list.m_rows[5].selected);
    EXPECT_FALSE(m_list.m_rows[4].selected);

    Mouse(WM_LBUTTONDOWN, 0, 110, 95);  // down arrow: one row at once
    Mouse(WM_LBUTTONUP, 0, 110, 95);
    EXPECT_EQ(m_list.m_first, 1);
    skintest::SurfaceOf(m_list.m_hWnd);
    Mouse(WM_LBUTTONDOWN, 0, 110, m_list.m_thumb.bottom + 2);  // the track below the thumb pages
    Mouse(WM_LBUTTONUP, 0, 110, m_list.m_thumb.bottom + 2);
    EXPECT_EQ(m_list.m_first, 11);
    skintest::SurfaceOf(m_list.m_hWnd);
    // The thumb spans track x first / count: track 16..84 (68), 11 and 21 of 30.
    EXPECT_EQ(m_list.m_thumb.top, 16 + 68 * 11 / 30);
    EXPECT_EQ(m_list.m_thumb.bottom, 16 + 68 * 21 / 30);

    // Dragging the thumb 11 pixels: 11 x 30 / (100 - 34) = 5 rows.
    const int y = m_list.m_thumb.top + 1;
    Mouse(WM_LBUTTONDOWN, 0, 110, y);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 110, y + 11);
    EXPECT_EQ(m_list.m_first, 16);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 110, y + 500);  // clamped to count - visible
    EXPECT_EQ(m_list.m_first, 20);
    Mouse(WM_LBUTTONUP, 0, 110, y + 500);
    EXPECT_FALSE(m_list.m_dragging);
}

TEST_F(ListFixture, DraggingOnAListTooSmallForATrackKeepsItsRow)
{
    Make(34, 10);  // client height 34: a 2-pixel track, none under the drag formula
    ASSERT_TRUE(m_list.HasScrollBar());
    ASSERT_EQ(m_list.m_thumb, CRect(104, 16, 120, 20));  // at least 4 pixels
    Mouse(WM_LBUTTONDOWN, 0, 110, 16);
    ASSERT_TRUE(m_list.m_dragging);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 110, 25);
    EXPECT_EQ(m_list.m_first, 0);
    Mouse(WM_LBUTTONUP, 0, 110, 25);
    skintest::SurfaceOf(m_list.m_hWnd);  // paints without trouble
}

// ---- number edit ----

TEST(NumEdit, AcceptsOnlyItsSetAndBackspace)
{
    struct Case {
        const char* set;  // nullptr: the default digits
        UINT ch;
        bool ok;
    };
    const Case cases[] = {
        {nullptr, '7', true}, {nullptr, '-', false}, {nullptr, '.', false}, {nullptr, VK_BACK, true},
        {"0123456789.-", '-', true}, {"", '5', false}, {"", VK_BACK, true}, {"x", 0, false},
    };
    for (const Case& c : cases) {
        CNumEdit edit;
        if (c.set)
            edit.SetAllowedChars(c.set);
        EXPECT_EQ(edit.Allows(c.ch), c.ok) << (c.set ? c.set : "default") << " " << c.ch;
    }
}

TEST_F(SmallControlTest, NumEditIsLimitedToTenCharacters)
{
    CNumEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &m_parent, 13));
    // Text is limited to 10 characters from creation.
    EXPECT_EQ(edit.SendMessage(EM_GETLIMITTEXT), 10);
}

// ---- link list ----

struct LinkParent : skintest::CParentWnd {
    std::vector<std::pair<WPARAM, std::string>> clicks;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LINKLIST_CLICK) {
            clicks.emplace_back(wParam, reinterpret_cast<const char*>(lParam));
            return 0;
        }
        return skintest::CParentWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(LinkListCtrl, ClickOnALineWithACommandTellsTheParent)
{
    LinkParent parent;
    ASSERT_TRUE(parent.CreateParent(0, 0, 300, 200));
    CLinkListCtrl links;
    ASSERT_TRUE(links.Create(40, CRect(0, 0, 300, 200), &parent));
    links.AddItem("Title", "Tahoma", 20, RGB(0, 0, 0), nullptr);
    links.AddItem("Save for the web", "Tahoma", 14, RGB(0, 0, 200), "web");
    skintest::SurfaceOf(links.m_hWnd);
    const CRect title = links.m_entries[0].rect, web = links.m_entries[1].rect;
    ASSERT_GT(title.Height(), 0);
    // The next line starts h + h / 5 lower.
    EXPECT_EQ(web.top, title.Height() + title.Height() / 5);
    const QImage img = skintest::SurfaceOf(links.m_hWnd);
    EXPECT_EQ(BgrAt(img, web.left + 1, web.bottom - 1), (Bgr{200, 0, 0}));  // underline

    links.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(title.left + 2, title.top + 2));
    links.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(web.left + 2, web.top + 2));
    ASSERT_TRUE(PumpUntil([&] { return !parent.clicks.empty(); }, 5000));
    ASSERT_EQ(parent.clicks.size(), 1u);
    EXPECT_EQ(parent.clicks[0].first, static_cast<WPARAM>(40 + 0x20000));
    EXPECT_EQ(parent.clicks[0].second, "web");
}

}  // namespace

// ---- image combo box and menu button ----

namespace {

QImage Grab(CDC& dc, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = dc.GetPixel(x, y);
            img.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    return img;
}

TEST_F(SmallControlTest, ImageComboIndentsFolderIconsInTheList)
{
    static const char* kTexts[] = {"Desktop", "Photos", "Trip"};
    const std::vector<FolderEntry> entries{{0, 0}, {0, 1}, {0, 2}};
    CImageComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE, CRect(0, 0, 200, 200),
                             &m_parent, 14));
    for (const char* t : kTexts)
        combo.SetItemDataPtr(combo.AddString(t), const_cast<char*>(t));
    combo.SetFolderEntries(&entries);
    char out[64] = "x";
    combo.GetCurSelText(out);
    EXPECT_STREQ(out, "");
    combo.SetCurSel(2);
    combo.GetCurSelText(out);
    EXPECT_STREQ(out, "Trip");

    // One red 16 x 16 folder icon.
    CImageList icons;
    ASSERT_TRUE(icons.Create(16, 16, ILC_COLOR24, 1, 1));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap red;
    red.CreateBitmap(16, 16, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&red);
    dc.FillSolidRect(0, 0, 16, 16, RGB(255, 0, 0));
    dc.SelectObject(old);
    ASSERT_GE(icons.Add(&red, static_cast<CBitmap*>(nullptr)), 0);
    combo.m_imageList = &icons;

    CBitmap surface;
    surface.CreateBitmap(200, 40, 1, 32, nullptr);
    old = dc.SelectObject(&surface);
    struct Case {
        int top;     // item rectangle top: 10 and below is the list
        int iconX;   // where the icon starts
    };
    for (const Case& c : {Case{0, 0}, Case{20, 32}}) {
        SCOPED_TRACE(c.top);
        dc.FillSolidRect(0, 0, 200, 40, RGB(0, 0, 255));
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_COMBOBOX;
        dis.itemID = 2;
        dis.itemState = ODS_SELECTED;
        dis.hDC = dc.GetSafeHdc();
        dis.rcItem = {0, c.top, 200, c.top + 18};
        dis.itemData = reinterpret_cast<ULONG_PTR>(kTexts[2]);
        combo.DrawItem(&dis);
        const QImage img = Grab(dc, 200, 40);
        EXPECT_EQ(BgrAt(img, c.iconX, c.top + 9), (Bgr{0, 0, 255}));
        EXPECT_EQ(BgrAt(img, c.iconX + 15, c.top + 9), (Bgr{0, 0, 255}));
        if (c.iconX > 0) {
            EXPECT_EQ(BgrAt(img, c.iconX - 1, c.top + 9), (Bgr{192, 192, 192}));
        }
        EXPECT_EQ(BgrAt(img, c.iconX + 16, c.top + 1), (Bgr{192, 192, 192}));
        EXPECT_EQ(BgrAt(img, 199, c.top + 1), (Bgr{192, 192, 192}));
    }
    dc.SelectObject(old);
}

}  // namespace

namespace {

TEST_F(SmallControlTest, MenuButtonDropsItsFirstPopupWithIcons)
{
    char tmpl[] = "/tmp/menubuttonXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string facePath = std::string(tmpl) + "/face.bmp";
    CQLImage face;
    ASSERT_EQ(face.Create(2, 4), 0);
    ASSERT_EQ(face.SaveToFile(facePath.c_str()), 0);
    ::SetCursorPos(2000, 2000);  // away from the button

    CMenuButton button;
    HMENU filled = nullptr;
    button.m_fill = [&](CMenu* popup) { filled = popup ? popup->m_hMenu : nullptr; };
    ASSERT_TRUE(button.Create(CRect(10, 10, 50, 40), &m_parent, 15, facePath.c_str(), 128));
    ASSERT_NE(button.GetPopupMenu(), nullptr);
    EXPECT_EQ(filled, button.GetPopupMenu()->m_hMenu);
    // The icons of toolbar 128 are on the File pop-up.
    int pos = -1;
    CBitmapMenu* owner = button.m_menu.FindMenuItem(57601, &pos);
    ASSERT_NE(owner, nullptr);
    EXPECT_NE(owner->Items()[pos]->m_imageList, nullptr);

    std::vector<HMENU> shown;
    qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) {
        shown.push_back(menu);
        return 0u;
    });
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    qlafx::SetPopupMenuHook({});
    // The mouse was not over the button when the menu closed: no click is
    // swallowed.
    EXPECT_EQ(shown, (std::vector<HMENU>{filled, filled}));
    button.DestroyWindow();
    std::remove(facePath.c_str());
    ::rmdir(tmpl);
}

}  // namespace
