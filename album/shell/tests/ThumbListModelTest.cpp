#include "album/shell/PhotoListModel.h"
#include "album/shell/ThumbListModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace shelf;

namespace {

ThumbItems Items(int count, const char* prefix = "item")
{
    ThumbItems items(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        CopyCaption(items[static_cast<std::size_t>(i)].text, (prefix + std::to_string(i)).c_str());
    return items;
}

std::string Selection(const ThumbItems& items)
{
    std::string s;
    for (const auto& item : items)
        s += item.selected ? '1' : '0';
    return s;
}

// A 5-column cell grid (602 pixels wide client) 400 pixels high.
ThumbListGeometry Grid(int count, int clientHeight = 402)
{
    ThumbListGeometry g;
    LayoutList(g, 5 * 120 + 22, clientHeight, kThumbModeCells, true);
    g.content = ListContentHeight(g, count);
    return g;
}

constexpr UINT kPlain = 0x0001;      // scan code 1 (Esc row): not a navigation key
constexpr UINT kExtended = 0x0148;   // extended-key bit with the arrow's scan code
constexpr UINT kKeypad = 72;         // keypad 8 without NumLock

} // namespace

TEST(ThumbListLayout, CellsRowsAndContent)
{
    ThumbListGeometry g = Grid(10);
    EXPECT_EQ(g.columns, 5);
    EXPECT_EQ(g.AreaHeight(), 400);
    EXPECT_EQ(ListContentHeight(g, 10), 450); // one row more than the full rows
    EXPECT_EQ(ListContentHeight(g, 0), 150);
    LayoutList(g, 700, 300, kThumbModeDetails, true);
    EXPECT_EQ(g.columns, 1);
    EXPECT_EQ(g.cellHeight, 22);
    EXPECT_EQ(g.cellWidth, 678);
    LayoutList(g, 50, 300, kThumbModeCells, true);
    EXPECT_EQ(g.columns, 1); // never fewer than one
}

TEST(ThumbListLayout, HitTestAtEdges)
{
    const ThumbListGeometry g = Grid(7);
    const struct {
        int x, y, want;
    } cases[] = {
        {0, 0, 0},     {119, 149, 0}, {120, 0, 1},   {599, 0, 4},  {600, 0, -1}, // past the last column
        {0, 150, 5},   {120, 299, 6}, {240, 150, -1}, // past the last item
        {-1, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListHitTest(g, c.x, c.y, 7), c.want) << c.x << "," << c.y;
    const RECT r = ListItemRect(g, 6, 7);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right, 239);
    EXPECT_EQ(r.bottom, 299);
    EXPECT_TRUE(IsRectEmpty(ListItemRect(g, 7, 7)));
    EXPECT_TRUE(IsRectEmpty(ListItemRect(g, -1, 7)));
}

TEST(ThumbListLayout, ScrollClampsAndWheel)
{
    ThumbListGeometry g = Grid(30); // content 7 rows = 1050
    EXPECT_EQ(ListMaxScroll(g), 650);
    EXPECT_EQ(ListScrollFor(g, 0, SB_LINEUP, 0), 0);
    EXPECT_EQ(ListScrollFor(g, 0, SB_LINEDOWN, 0), 50);
    EXPECT_EQ(ListScrollFor(g, 1, SB_LINEDOWN, 0), 80);
    EXPECT_EQ(ListScrollFor(g, 0, SB_PAGEDOWN, 0), 400);
    EXPECT_EQ(ListScrollFor(g, 0, SB_THUMBTRACK, 5000), 650);
    EXPECT_EQ(ListWheelScroll(g, 0, -1), 50);
    EXPECT_EQ(ListWheelScroll(g, 0, 0), 50);
    g.scroll = 100;
    EXPECT_EQ(ListWheelScroll(g, 0, 1200), 50); // one step whatever the delta
    EXPECT_TRUE(IsRectEmpty(ListItemRect(g, 0, 30)) == false);

    ThumbListGeometry shortList = Grid(3); // content 150 < area 400
    EXPECT_EQ(ListWheelScroll(shortList, 0, -120), 0);
    EXPECT_EQ(ListScrollFor(shortList, 0, SB_PAGEDOWN, 0), 0);
}

TEST(ThumbListLayout, EnsureVisible)
{
    ThumbListGeometry g = Grid(30);
    EXPECT_EQ(ListEnsureVisible(g, 3, 30), 0);         // in view
    EXPECT_EQ(ListEnsureVisible(g, 15, 30), 450);      // row 3
    EXPECT_EQ(ListEnsureVisible(g, 29, 30), 650);      // clamped
    g.scroll = 300;
    EXPECT_EQ(ListEnsureVisible(g, 0, 30), 0);
    EXPECT_EQ(ListEnsureVisible(g, -1, 30), 300);
}

TEST(ThumbListSelection, Table)
{
    const struct {
        const char* before;
        UINT flags;
        int index;
        bool multi;
        const char* after;
    } cases[] = {
        {"0110000000", 0, -1, true, "0000000000"},
        {"0000000000", 0, -2, true, "1111111111"},
        {"0110000000", 0, -2, false, "0000000000"}, // select-all without multi-select clears
        {"0100000000", MK_CONTROL, 3, true, "0101000000"},
        {"0101000000", MK_CONTROL, 3, true, "0100000000"},
        {"0010000000", MK_SHIFT, 6, true, "0011111000"}, // below the anchor
        {"0000001000", MK_SHIFT, 2, true, "0011111000"}, // above it
        {"0000000000", MK_SHIFT, 3, true, "1111000000"}, // no anchor: item 0
        {"0100010000", MK_SHIFT, 8, false, "0000000010"},
        {"0110000000", 0, 5, true, "0000010000"},
    };
    for (const auto& c : cases) {
        ThumbItems items = Items(10);
        for (int i = 0; i < 10; ++i)
            items[static_cast<std::size_t>(i)].selected = c.before[i] == '1';
        ApplySelection(items, c.flags, c.index, c.multi);
        EXPECT_EQ(Selection(items), c.after) << c.before << " " << c.flags << " " << c.index;
    }
}

TEST(ThumbListKeys, NavigationTable)
{
    const struct {
        int count;
        const char* selected;
        UINT vk, keyFlags;
        bool shift;
        KeyAction::Kind kind;
        int index;
        UINT flags;
    } cases[] = {
        {3, "100", VK_DOWN, kExtended, false, KeyAction::None, -1, 0},      // no row below
        {3, "001", VK_RIGHT, kExtended, false, KeyAction::None, -1, 0},     // last item
        {3, "100", VK_LEFT, kExtended, false, KeyAction::None, -1, 0},      // item 0
        {3, "000", VK_DELETE, kExtended, false, KeyAction::SelectFirst, 0, 0}, // first key only selects
        {0, "", VK_DOWN, kExtended, false, KeyAction::None, -1, 0},
        {12, "010000000000", VK_DOWN, kExtended, true, KeyAction::Select, 6, MK_SHIFT},
        {12, "000000100000", VK_UP, kExtended, false, KeyAction::Select, 1, 0},
        {12, "000000100000", VK_UP, kKeypad, false, KeyAction::Select, 1, 0}, // keypad by scan code
        {12, "000000100000", VK_END, kExtended, true, KeyAction::Select, 11, 0},
        {12, "000000100000", VK_HOME, kExtended, true, KeyAction::Select, 0, 0},
        {12, "000000100000", VK_NEXT, kExtended, false, KeyAction::PageDown, -1, 0},
        {12, "000000100000", VK_DELETE, kExtended, false, KeyAction::Delete, -1, 0},
        {12, "000000100000", 'B', kPlain, false, KeyAction::Find, -1, 0},
        {12, "000000100000", VK_UP, 0x2148, false, KeyAction::Select, 1, 0}, // extended with higher bits
        {12, "000000100000", VK_UP, 72 | 0x2000, false, KeyAction::Find, -1, 0}, // keypad code with a higher bit
    };
    for (const auto& c : cases) {
        ThumbItems items = Items(c.count);
        for (int i = 0; i < c.count; ++i)
            items[static_cast<std::size_t>(i)].selected = c.selected[i] == '1';
        const KeyAction a = KeyDownAction(items, 5, c.vk, c.keyFlags, c.shift);
        EXPECT_EQ(a.kind, c.kind) << c.selected << " vk " << c.vk;
        if (c.kind == KeyAction::Select || c.kind == KeyAction::SelectFirst) {
            EXPECT_EQ(a.index, c.index) << c.selected << " vk " << c.vk;
            EXPECT_EQ(a.flags, c.flags) << c.selected << " vk " << c.vk;
        }
    }
}

TEST(ThumbListKeys, TypeToFind)
{
    ThumbItems items(5);
    const char* names[] = {"apple", "Berry", "banana", "cherry", "bean"};
    for (int i = 0; i < 5; ++i)
        CopyCaption(items[static_cast<std::size_t>(i)].text, names[i]);
    items[0].selected = 1;
    EXPECT_EQ(FindNextByChar(items, 'B'), 1);
    items[0].selected = 0;
    items[1].selected = 1;
    EXPECT_EQ(FindNextByChar(items, 'B'), 4); // skips the run of b's at the selection
    EXPECT_EQ(FindNextByChar(items, 'Z'), -1);

    ThumbItems same = Items(4, "b");
    same[2].selected = 1;
    EXPECT_EQ(FindNextByChar(same, 'B'), -1); // every caption matches: nothing
    EXPECT_EQ(FindNextByChar(Items(3), 'I'), -1); // no selection
}

TEST(ThumbListItems, CaptionKeeps127Bytes)
{
    const std::string long200(200, 'x');
    ThumbListItem item;
    CopyCaption(item.text, long200.c_str());
    EXPECT_EQ(std::strlen(item.text), 127u);
}

TEST(ThumbListItems, SortPutsIconItemsFirst)
{
    CQLImage thumb;
    ASSERT_EQ(thumb.Create(4, 4), 0);
    ThumbItems items(4);
    const char* names[] = {"delta", "Alpha", "charlie", "bravo"};
    for (int i = 0; i < 4; ++i) {
        CopyCaption(items[static_cast<std::size_t>(i)].text, names[i]);
        items[static_cast<std::size_t>(i)].data = static_cast<DWORD_PTR>(i);
    }
    items[0].image = &thumb;
    items[1].image = &thumb;
    items[3].selected = 1;
    SortThumbItems(items, ThumbItemLess);
    EXPECT_STREQ(items[0].text, "bravo");
    EXPECT_STREQ(items[1].text, "charlie");
    EXPECT_STREQ(items[2].text, "Alpha");
    EXPECT_STREQ(items[3].text, "delta");
    EXPECT_EQ(items[0].selected, 1); // records move whole
    EXPECT_EQ(items[0].data, 3u);
}

TEST(ThumbListErase, KeepsCompleteRowsOnly)
{
    const ThumbListGeometry g = Grid(12);
    const RECT c{0, 0, 622, 402};
    const RECT block = ListEraseBlock(g, 12, c);
    // Rows 0 and 1 are complete; row 2 (items 10, 11) is erased.
    EXPECT_EQ(block.left, 0);
    EXPECT_EQ(block.top, 0);
    EXPECT_EQ(block.right, 599);
    EXPECT_EQ(block.bottom, 299);
    EXPECT_TRUE(IsRectEmpty(ListEraseBlock(g, 0, c)));
    const RECT clipped = ListEraseBlock(Grid(30), 30, c);
    EXPECT_EQ(clipped.bottom, 402); // held to the client's bottom
}

TEST(ThumbListItems, WrapCaptionKeepsCharactersWhole)
{
    auto bytes = [](const std::string& s) { return static_cast<int>(s.size()) * 6; };
    EXPECT_EQ(WrapCaption("short", bytes, 114, 103).size(), 1u);
    const std::string text = std::string(17, 'a') + "\xC3\xA9" + std::string(10, 'b');
    const auto lines = WrapCaption(text.c_str(), bytes, 114, 103);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(17, 'a') + "\xC3\xA9"); // the line ends with the character that overflowed
    EXPECT_EQ(lines[1], std::string(10, 'b'));
}

TEST(PhotoListTexts, ShortNames)
{
    EXPECT_EQ(MakeShortName("holiday.jpg"), "holiday");
    EXPECT_EQ(MakeShortName((std::string(27, 'n') + ".jpg").c_str()), std::string(27, 'n'));
    EXPECT_EQ(MakeShortName((std::string(28, 'n') + ".jpg").c_str()), std::string(24, 'n') + "...");
    // A two-byte character starting at the 24th byte is kept whole.
    const std::string wide = std::string(23, 'n') + "\xC3\xA9" + std::string(10, 'm');
    EXPECT_EQ(MakeShortName((wide + ".jpg").c_str()), std::string(23, 'n') + "\xC3\xA9...");
    EXPECT_EQ(ExtensionText("a.b.jpeg"), "JPEG");
    EXPECT_EQ(ExtensionText("README"), "");
}

TEST(PhotoListTexts, ShutterSizeAndDate)
{
    const struct {
        float t;
        const char* want;
    } shutter[] = {
        {1.0f / 60, "  1/60(s)"}, {1.0f / 60.7f, "  1/61(s)"}, {0.4f, "  0.4(s)"}, {2.0f, "  2(s)"},
        {0.5f, "  1/2(s)"},       {1.0f / 3, "  1/3(s)"},      {0.3f, "  0.3(s)"},
    };
    for (const auto& c : shutter)
        EXPECT_EQ(ShutterText(c.t), c.want) << c.t;
    EXPECT_EQ(SizeText(1048576), "1.00M");
    EXPECT_EQ(SizeText(1000), "1.0K");
    EXPECT_EQ(SizeText(1022976), "999.0K");
    EXPECT_EQ(SizeText(1024000), "0.98M");
    SYSTEMTIME t{};
    t.wYear = 2009;
    t.wMonth = 7;
    t.wDay = 4;
    t.wHour = 9;
    t.wMinute = 5;
    EXPECT_EQ(DateText(t), "7/4/09 9:5");
}

TEST(PhotoListTexts, ShootingText)
{
    PhotoFileInfo info;
    info.fFNumber = 2.8f;
    info.fExposureTime = 1.0f / 125;
    info.fExposureBias = -0.7f;
    info.wFlash = 1;
    info.wISO = 200;
    EXPECT_EQ(ShootingText(info), "F2.8  1/125(s)  -0.7Ev  Flash  ISO200");
    PhotoFileInfo bare;
    EXPECT_EQ(ShootingText(bare), "");
    bare.wISO = 400; // ISO only with an f-number
    bare.wFlash = 0;
    EXPECT_EQ(ShootingText(bare), "");
}

TEST(PhotoListOrder, NameAndTime)
{
    PhotoEntry folder, early, late, noThumb;
    folder.m_bFolder = 1;
    early.m_thumb.Create(2, 2);
    late.m_thumb.Create(2, 2);
    early.m_info.stDateTaken.wYear = 2001;
    late.m_info.stDateTaken.wYear = 2001;
    late.m_info.stDateTaken.wSecond = 1;
    auto item = [](PhotoEntry& e, const char* name) {
        ThumbListItem i;
        CopyCaption(i.text, name);
        i.image = &e.m_thumb;
        i.data = reinterpret_cast<DWORD_PTR>(&e);
        return i;
    };
    ThumbItems items{item(late, "a.jpg"), item(early, "z.jpg"), item(noThumb, "m.jpg"), item(folder, "zz")};
    SortThumbItems(items, NameOrderLess);
    EXPECT_STREQ(items[0].text, "zz");
    EXPECT_STREQ(items[1].text, "m.jpg");
    EXPECT_STREQ(items[2].text, "a.jpg");
    EXPECT_STREQ(items[3].text, "z.jpg");
    SortThumbItems(items, TimeOrderLess);
    EXPECT_STREQ(items[0].text, "zz");
    EXPECT_STREQ(items[2].text, "z.jpg"); // 2001 00:00:00
    EXPECT_STREQ(items[3].text, "a.jpg"); // one second later
}

TEST(PhotoListDrop, BlocksRoundTripAndLimits)
{
    const std::vector<std::string> paths{"/tmp/a.jpg", "/tmp/\xC3\xA9t\xC3\xA9.jpg"};
    const std::string block = MakeDropBlock(paths);
    EXPECT_EQ(block.size(), 20 + 11 + 15 + 1);
    std::vector<std::string> back;
    ASSERT_TRUE(ParseDropBlock(block.data(), block.size(), back));
    EXPECT_EQ(back, paths);
    EXPECT_FALSE(ParseDropBlock(block.data(), block.size() - 1, back)); // list runs off the end

    auto wideBlock = [](const std::u16string& list) {
        std::string b(20, '\0');
        b[0] = 20;
        b[16] = 1; // fWide
        for (char16_t c : list) {
            b += static_cast<char>(c & 0xFF);
            b += static_cast<char>(c >> 8);
        }
        return b;
    };
    const char16_t list[] = u"/tmp/\u00e9.jpg\0/tmp/\u65e5.jpg\0";
    const std::string wide = wideBlock(std::u16string(list, std::size(list)));
    ASSERT_TRUE(ParseDropBlock(wide.data(), wide.size(), back));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0], "/tmp/\xC3\xA9.jpg");
    EXPECT_EQ(back[1], "/tmp/\xE6\x97\xA5.jpg");
    std::u16string huge(150001, u'\u65e5'); // 450,003 bytes converted
    huge += u'\0';
    huge += u'\0';
    const std::string tooLong = wideBlock(huge);
    EXPECT_FALSE(ParseDropBlock(tooLong.data(), tooLong.size(), back));
    EXPECT_TRUE(back.empty());
}
