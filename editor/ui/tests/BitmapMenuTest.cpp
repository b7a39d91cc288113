// The owner-drawn bitmap menus: loading menu tables, the item tree, icons
// from toolbars, accelerator keys and alignment, measuring and drawing, and
// the editor's menus 128 and 234 shown through the layer.
#include "editor/ui/BitmapMenu.h"

#include "SkinTestSupport.h"
#include "editor/ui/AppSettings.h"

#include <QMenu>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using skintest::Bgr;
using skintest::BgrAt;
using skintest::BgrOf;

constexpr UINT kMenuId = 7700;

// File (Open, separator, Exit), Edit (Open again, a nested pop-up with
// Paste), and a plain bar item.
const qlafx::MenuTable kMenus[] = {
    {kMenuId,
     {{"&File", 0, 0,
       {{"&Open File ...\tCtrl+O", 57601, 0, {}},
        {nullptr, 0, MF_SEPARATOR, {}},
        {"E&xit", 901, MF_GRAYED, {}},
        {"&Close\tCtrl+W", 57602, 0, {}}}},
      {"&Edit", 0, 0,
       {{"Again &Open", 57601, 0, {}}, {"&More", 0, 0, {{"&Paste\tCtrl+V", 57637, 0, {}}}}, {"&Undo", 57643, 0, {}}}},
      {"&Bar", 902, 0, {}}}},
};
const qlafx::ResourceTable kTable{.menus = kMenus};

class BitmapMenuTest : public ::testing::Test {
protected:
    qlafx::ResourceRegistrar m_reg{kTable};
    CBitmapMenu m_menu;
    void SetUp() override { ASSERT_TRUE(m_menu.LoadMenu(kMenuId)); }
    void TearDown() override { qlafx::SetPopupMenuHook({}); }
    CBitmapMenu* File() { return m_menu.SubMenuAt(0); }
    CBitmapMenu* Edit() { return m_menu.SubMenuAt(1); }
};

std::string Text(const CBitmapMenuItem& item) { return MenuTextToUtf8(item.m_text); }

std::string Head(const std::string& text) { return text.substr(0, text.find('\t')); }

int WidthInMenuFont(const std::string& text)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), CBitmapMenu::MenuFont());
    const int w = dc.GetTextExtent(text.c_str(), static_cast<int>(text.size())).cx;
    ::SelectObject(dc.GetSafeHdc(), old);
    return w;
}

UINT ItemType(HMENU menu, int pos)
{
    MENUITEMINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfo(menu, static_cast<UINT>(pos), TRUE, &info);
    return info.fType;
}

struct RecordCase {
    int popup;  // position on the bar
    int pos;
    const char* head;  // text before any TAB
    UINT_PTR command;  // 0 for separators and pop-ups
    UINT flags;        // MF_POPUP / MF_SEPARATOR / MF_GRAYED
};

TEST_F(BitmapMenuTest, TemplateBecomesOwnerDrawnPopupsUnderAPlainBar)
{
    ASSERT_EQ(m_menu.Items().size(), 3u);
    ASSERT_EQ(GetMenuItemCount(m_menu.m_hMenu), 3);
    // The bar keeps plain string items that show the texts.
    const char* bar[] = {"&File", "&Edit", "&Bar"};
    for (int i = 0; i < 3; ++i) {
        char buf[32] = {};
        GetMenuString(m_menu.m_hMenu, static_cast<UINT>(i), buf, sizeof buf, MF_BYPOSITION);
        EXPECT_STREQ(buf, bar[i]);
        EXPECT_EQ(ItemType(m_menu.m_hMenu, i) & MFT_OWNERDRAW, 0u) << i;
    }
    EXPECT_EQ(GetMenuItemID(m_menu.m_hMenu, 2), 902u);

    const RecordCase cases[] = {
        {0, 0, "&Open File ...", 57601, 0},
        {0, 1, "", 0, MF_SEPARATOR},
        {0, 2, "E&xit", 901, MF_GRAYED},
        {0, 3, "&Close", 57602, 0},
        {1, 0, "Again &Open", 57601, 0},
        {1, 1, "&More", 0, MF_POPUP},
        {1, 2, "&Undo", 57643, 0},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.head);
        CBitmapMenu* sub = m_menu.SubMenuAt(c.popup);
        ASSERT_NE(sub, nullptr);
        EXPECT_TRUE(CBitmapMenu::IsOwnedSubMenu(sub->m_hMenu));
        ASSERT_LT(c.pos, static_cast<int>(sub->Items().size()));
        const CBitmapMenuItem& item = *sub->Items()[c.pos];
        EXPECT_EQ(Head(Text(item)).substr(0, std::string(c.head).size()), c.head);
        EXPECT_EQ(item.m_flags & (MF_POPUP | MF_SEPARATOR | MF_GRAYED), c.flags);
        if (!(c.flags & MF_POPUP)) {
            EXPECT_EQ(item.m_command, c.command);
        }
        EXPECT_NE(ItemType(sub->m_hMenu, c.pos) & MFT_OWNERDRAW, 0u);
        // The menu's own state follows the template.
        EXPECT_EQ(GetMenuState(sub->m_hMenu, static_cast<UINT>(c.pos), MF_BYPOSITION) & MF_GRAYED,
                  c.flags & MF_GRAYED);
    }
    CBitmapMenu* more = Edit()->SubMenuAt(1);
    ASSERT_NE(more, nullptr);
    ASSERT_EQ(more->Items().size(), 1u);
    EXPECT_EQ(more->Items()[0]->m_command, 57637u);
}

TEST_F(BitmapMenuTest, MissingMenuFailsAndLeavesNoMenu)
{
    CBitmapMenu menu;
    EXPECT_FALSE(menu.LoadMenu(kMenuId + 1));
    EXPECT_EQ(menu.m_hMenu, nullptr);
    EXPECT_TRUE(menu.Items().empty());
}

TEST_F(BitmapMenuTest, FindMenuItemSearchesDepthFirst)
{
    struct Case {
        UINT command;
        CBitmapMenu* owner;
        int pos;
    };
    const Case cases[] = {
        {57601, File(), 0},  // also in Edit: the first pop-up wins
        {57602, File(), 3},
        {57637, Edit()->SubMenuAt(1), 0},
        {57643, Edit(), 2},  // after the nested pop-up
        {999, nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        int pos = 77;
        EXPECT_EQ(m_menu.FindMenuItem(c.command, &pos), c.owner);
        EXPECT_EQ(pos, c.pos);
    }
}

TEST_F(BitmapMenuTest, TextsBySearchOrPosition)
{
    CString text;
    EXPECT_TRUE(m_menu.GetMenuText(57643, text, MF_BYCOMMAND));
    EXPECT_EQ(std::string(text), "&Undo");
    EXPECT_TRUE(m_menu.SetMenuText(57643, u"&Redo", MF_BYCOMMAND));
    EXPECT_TRUE(Edit()->GetMenuText(2, text, MF_BYPOSITION));
    EXPECT_EQ(std::string(text), "&Redo");
    EXPECT_FALSE(Edit()->GetMenuText(3, text, MF_BYPOSITION));
    EXPECT_FALSE(m_menu.SetMenuText(999, u"x", MF_BYCOMMAND));
}

TEST_F(BitmapMenuTest, AcceleratorsAreAlignedInOneColumn)
{
    // Widest head plus one blank, over the File pop-up's original texts.
    int widest = 0;
    for (const char* head : {"&Open File ...", "", "E&xit", "&Close"})
        widest = std::max(widest, WidthInMenuFont(std::string(head) + " "));
    const int blank = WidthInMenuFont(" ");
    ASSERT_GT(blank, 0);
    struct Case {
        int pos;
        const char* head;
        const char* accel;
    };
    for (const Case& c : {Case{0, "&Open File ...", "Ctrl+O"}, Case{3, "&Close", "Ctrl+W"}}) {
        SCOPED_TRACE(c.head);
        const std::string text = Text(*File()->Items()[c.pos]);
        const std::string head = Head(text);
        EXPECT_EQ(text.substr(head.size()), std::string("\t") + c.accel);
        EXPECT_EQ(head.substr(0, std::strlen(c.head)), c.head);
        EXPECT_EQ(head.find_first_not_of(' ', std::strlen(c.head)), std::string::npos);
        // Padded to the column, with no blank more than needed.
        EXPECT_GE(WidthInMenuFont(head), widest);
        EXPECT_LT(WidthInMenuFont(head) - blank, widest);
    }
    // Items without TAB are left alone.
    EXPECT_EQ(Text(*File()->Items()[2]), "E&xit");
}

struct AccelCase {
    UINT ch;
    UINT flags;
    LRESULT result;
};

TEST_F(BitmapMenuTest, FindAccelCharExecutesTheFirstItemWithThatMnemonic)
{
    const AccelCase cases[] = {
        {'o', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
        {'O', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
        {'x', MF_POPUP, MAKELRESULT(2, MNC_EXECUTE)},
        {'C', MF_POPUP, MAKELRESULT(3, MNC_EXECUTE)},
        {'q', MF_POPUP, 0},
        {'o', 0, 0},  // not a pop-up
    };
    for (const AccelCase& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.ch));
        EXPECT_EQ(CBitmapMenu::FindAccelChar(c.ch, c.flags, File()), c.result);
    }
    EXPECT_EQ(CBitmapMenu::FindAccelChar('o', MF_POPUP, nullptr), 0);
    // A plain menu is not ours.
    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu(MF_STRING, 5, "&Open");
    EXPECT_EQ(CBitmapMenu::FindAccelChar('o', MF_POPUP, &plain), 0);
}

TEST_F(BitmapMenuTest, ItemsAddedBehindTheMenusBackAreFoundAfterARebuild)
{
    HMENU file = File()->m_hMenu;
    ASSERT_TRUE(::AppendMenu(file, MF_STRING, 903, "&Quit"));
    EXPECT_EQ(CBitmapMenu::FindAccelChar('Q', MF_POPUP, File()), MAKELRESULT(4, MNC_EXECUTE));
    ASSERT_EQ(File()->Items().size(), 5u);
    // The old records kept their texts; the new item is owner-drawn now.
    EXPECT_EQ(Head(Text(*File()->Items()[0])).substr(0, 14), "&Open File ...");
    EXPECT_EQ(File()->Items()[4]->m_command, 903u);
    EXPECT_NE(ItemType(file, 4) & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(CBitmapMenu::FindAccelChar('x', MF_POPUP, File()), MAKELRESULT(2, MNC_EXECUTE));
}

TEST_F(BitmapMenuTest, AddedAndDeletedItemsKeepTheRecordsAndPopupListInStep)
{
    CBitmapMenu* edit = Edit();
    const HMENU more = edit->SubMenuAt(1)->m_hMenu;
    ASSERT_TRUE(CBitmapMenu::IsOwnedSubMenu(more));
    ASSERT_TRUE(edit->InsertItem(57643, MF_STRING, 57634, "&Copy"));  // before Undo
    ASSERT_TRUE(edit->AppendItem(MF_STRING, 0, static_cast<const char*>(nullptr)));
    ASSERT_EQ(edit->Items().size(), 5u);
    EXPECT_EQ(edit->Items()[2]->m_command, 57634u);
    EXPECT_NE(edit->Items()[4]->m_flags & MF_SEPARATOR, 0u);
    EXPECT_EQ(GetMenuItemID(edit->m_hMenu, 2), 57634u);

    EXPECT_TRUE(m_menu.DeleteMenu(57637, MF_BYCOMMAND));  // inside the nested pop-up
    EXPECT_TRUE(edit->DeleteMenu(1, MF_BYPOSITION));       // the nested pop-up itself
    EXPECT_FALSE(CBitmapMenu::IsOwnedSubMenu(more));
    EXPECT_FALSE(IsMenu(more));
    ASSERT_EQ(edit->Items().size(), 4u);
    EXPECT_EQ(GetMenuItemCount(edit->m_hMenu), 4);
    EXPECT_EQ(edit->Items()[1]->m_command, 57634u);
    EXPECT_FALSE(m_menu.DeleteMenu(999, MF_BYCOMMAND));

    const HMENU file = File()->m_hMenu;
    m_menu.DestroyMenu();
    EXPECT_FALSE(CBitmapMenu::IsOwnedSubMenu(file));
    EXPECT_FALSE(IsMenu(file));
}

TEST_F(BitmapMenuTest, ToolbarImagesReachEveryOccurrenceOfACommand)
{
    int index = -1;
    // Open is button 0, image 0: the button index; Copy follows a separator.
    EXPECT_TRUE(CBitmapMenu::GetToolbarImageIndex(57601, 128, &index));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(CBitmapMenu::GetToolbarImageIndex(57634, 128, &index));
    EXPECT_EQ(index, 6);
    EXPECT_FALSE(CBitmapMenu::GetToolbarImageIndex(999, 128, &index));
    EXPECT_FALSE(CBitmapMenu::GetToolbarImageIndex(57601, 4242, &index));

    EXPECT_FALSE(m_menu.LoadToolbarImages(4242));
    ASSERT_TRUE(m_menu.LoadToolbarImages(128));
    struct Case {
        CBitmapMenu* menu;
        int pos;
        bool image;
    };
    for (const Case& c : {Case{File(), 0, true}, Case{Edit(), 0, true}, Case{File(), 2, false},
                          Case{File(), 3, true}, Case{Edit()->SubMenuAt(1), 0, true}}) {
        const CBitmapMenuItem& item = *c.menu->Items()[c.pos];
        SCOPED_TRACE(Text(item));
        EXPECT_EQ(item.m_imagePresent >= 0, c.image);
        EXPECT_EQ(item.m_imageList != nullptr, c.image);
        if (c.image) {
            EXPECT_EQ(item.m_imageList->GetImageCount(), 1);
        }
    }
    // Removing an image by a NULL list.
    EXPECT_TRUE(m_menu.SetItemImage("Open", 57601, nullptr, 0));
    EXPECT_EQ(File()->Items()[0]->m_imageList, nullptr);
    EXPECT_EQ(Text(*Edit()->Items()[0]), "Open");
}

TEST(LightenColor, MovesEachChannelTowardWhite)
{
    struct Case {
        COLORREF in;
        double f;
        COLORREF out;
    };
    const Case cases[] = {
        {RGB(212, 208, 200), 0.35, RGB(227, 224, 219)},
        {RGB(10, 36, 106), 0.85, RGB(218, 222, 232)},
        {RGB(10, 36, 106), 1.0, RGB(255, 255, 255)},
        {RGB(10, 36, 106), 0.0, RGB(10, 36, 106)},
        {RGB(10, 36, 106), 1.5, RGB(10, 36, 106)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LightenColor(c.in, c.f), c.out) << c.f;
}

TEST(MenuText, Utf8RoundTrip)
{
    const char* text = "A\xC3\xA9\xE6\x8F\x90\xF0\x9F\x98\x80";
    const std::u16string u = MenuTextFromUtf8(text);
    EXPECT_EQ(u, (std::u16string{u'A', 0xE9, 0x63D0, 0xD83D, 0xDE00}));
    EXPECT_EQ(MenuTextToUtf8(u), text);
    EXPECT_EQ(MenuTextFromUtf8("\xC3"), std::u16string(1, 0xFFFD));
}

// ---- measuring and drawing ----

// Draws one item of the File pop-up on a 200 x 27 surface.
QImage DrawOne(CBitmapMenu* menu, int pos, UINT state, int width = 200, int height = 27)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateBitmap(width, height, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, width, height, RGB(1, 2, 3));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = static_cast<UINT>(menu->Items()[pos]->m_command);
    dis.itemState = state;
    dis.hDC = dc.GetSafeHdc();
    dis.rcItem = {0, 0, width, height};
    dis.itemData = reinterpret_cast<ULONG_PTR>(menu->Items()[pos].get());
    menu->DrawItem(&dis);
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = ::GetPixel(dc.GetSafeHdc(), x, y);
            img.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    dc.SelectObject(old);
    return img;
}

TEST_F(BitmapMenuTest, MeasuresIconColumnsAroundTheText)
{
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(File()->Items()[1].get());
    File()->MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 0u);
    EXPECT_EQ(mis.itemHeight, static_cast<UINT>(menuHeight / 2));

    mis.itemData = reinterpret_cast<ULONG_PTR>(File()->Items()[2].get());
    File()->MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, static_cast<UINT>(WidthInMenuFont("E&xit") + 49));
    EXPECT_EQ(mis.itemHeight, static_cast<UINT>(std::max(menuHeight, 27)));
}

TEST_F(BitmapMenuTest, FlatStyleDrawsColumnSelectionAndCheckMark)
{
    CBitmapMenu::s_flatStyleSameColours = CBitmapMenu::s_flatStyleOtherColours = 1;
    CQLImage* skin = g_skinButtonImage;
    g_skinButtonImage = nullptr;  // the plain tint instead of the skin bar
    // The layer's face and menu colours are equal (one palette colour): white
    // menu, the face lightened by 0.35 in the column, the highlight tinted by 0.85.
    ASSERT_EQ(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_MENU));
    const Bgr white{255, 255, 255}, frame{220, 180, 180}, ink{0, 0, 0};
    const Bgr column = skintest::BgrOf(LightenColor(GetSysColor(COLOR_BTNFACE), 0.35));
    const Bgr tint = skintest::BgrOf(LightenColor(GetSysColor(COLOR_HIGHLIGHT), 0.85));
    const Bgr highlight = skintest::BgrOf(GetSysColor(COLOR_HIGHLIGHT));

    const QImage plain = DrawOne(File(), 2, 0);
    EXPECT_EQ(BgrAt(plain, 0, 13), column);
    EXPECT_EQ(BgrAt(plain, 28, 13), column);  // icon width + 5 wide
    EXPECT_EQ(BgrAt(plain, 29, 1), white);
    EXPECT_EQ(BgrAt(plain, 199, 26), white);

    const QImage selected = DrawOne(File(), 2 + 1, ODS_SELECTED);  // "&Close"
    EXPECT_EQ(BgrAt(selected, 28, 0), column);  // frame corners left out
    EXPECT_EQ(BgrAt(selected, 199, 0), white);
    EXPECT_EQ(BgrAt(selected, 29, 0), frame);
    EXPECT_EQ(BgrAt(selected, 28, 13), frame);
    EXPECT_EQ(BgrAt(selected, 199, 13), frame);
    EXPECT_EQ(BgrAt(selected, 190, 2), tint);
    EXPECT_EQ(BgrAt(selected, 10, 13), column);

    // Grayed items are never drawn selected.
    const QImage grayed = DrawOne(File(), 2, ODS_SELECTED | ODS_GRAYED);
    EXPECT_EQ(BgrAt(grayed, 29, 0), white);

    // A checked item without image: a box at (2, 2) of icon size, the mark
    // at (box + 8, box + 7): strokes 3 high, tops 2,3,4,3,2,1,0 below.
    const QImage checked = DrawOne(File(), 2, ODS_CHECKED);
    EXPECT_EQ(BgrAt(checked, 2, 2), highlight);
    EXPECT_EQ(BgrAt(checked, 25, 24), highlight);
    EXPECT_EQ(BgrAt(checked, 3, 3), tint);
    const int x = 10, y = 9;
    const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(BgrAt(checked, x + i, y + tops[i] - 1), tint);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(BgrAt(checked, x + i, y + tops[i] + k), ink);
        EXPECT_EQ(BgrAt(checked, x + i, y + tops[i] + 3), tint);
    }
    // A radio item gets a 6 x 6 dot at the same place instead.
    ASSERT_TRUE(CheckMenuRadioItem(File()->m_hMenu, 901, 901, 901, MF_BYCOMMAND));
    const QImage radio = DrawOne(File(), 2, ODS_CHECKED);
    EXPECT_EQ(BgrAt(radio, 12, 11), ink);
    EXPECT_EQ(BgrAt(radio, 16, 9), tint);  // the check mark's last stroke
    g_skinButtonImage = skin;
}

TEST_F(BitmapMenuTest, AcceleratorIsRightAlignedOneIconWidthFromTheEdge)
{
    // "&Close" with Ctrl+W: the last ink column of the accelerator lies
    // within the last 24 + a few pixels, the head starts at 24 + 9.
    const QImage img = DrawOne(File(), 3, 0, 300, 27);
    auto inkColumn = [&](int x) {
        for (int y = 0; y < 27; ++y)
            if (qGray(img.pixel(x, y)) < 100)
                return true;
        return false;
    };
    int first = -1, last = -1;
    for (int x = 30; x < 300; ++x)
        if (inkColumn(x)) {
            if (first < 0)
                first = x;
            last = x;
        }
    EXPECT_GE(first, 33);
    EXPECT_LE(first, 36);
    EXPECT_LE(last, 300 - 24);
    EXPECT_GE(last, 300 - 24 - 4);
    // Without TAB the text is left-aligned and stops well short of the edge.
    const QImage exit = DrawOne(File(), 2, 0, 300, 27);
    for (int x = 150; x < 300; ++x)
        EXPECT_GT(qGray(exit.pixel(x, 13)), 200) << x;
}

TEST_F(BitmapMenuTest, IconIsDrawnFromTheItemsOwnList)
{
    ASSERT_TRUE(m_menu.LoadToolbarImages(128));
    CImageList strip;
    ASSERT_TRUE(strip.Create(128u, 24, 1, RGB(192, 192, 192)));
    const QImage expected = qlafx::ImageListPicture(strip.m_hImageList, 0);  // Open
    ASSERT_FALSE(expected.isNull());
    const QImage img = DrawOne(File(), 0, 0);
    // Item height 27: the icon at (3, 0 + 2), transparent over the column.
    int opaque = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 24; ++x) {
            const QColor e = expected.pixelColor(x, y);
            if (e.alpha() == 0)
                continue;
            ++opaque;
            EXPECT_EQ(BgrAt(img, 3 + x, 2 + y), (Bgr{e.blue(), e.green(), e.red()})) << x << "," << y;
        }
    EXPECT_GT(opaque, 100);
}

// ---- the editor's menus ----

TEST(EditorMenus, LoadWithTheIconsOfTheirToolbars)
{
    struct Case {
        UINT id;
        std::vector<std::string> bar;
    };
    const Case cases[] = {
        {128, {"&File", "&Edit", "&Image", "&Acquire", "&View", "&Help"}},
        {234, {"&File", "&Edit", "&View", "&Help"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CBitmapMenu menu;
        ASSERT_TRUE(menu.LoadMenu(c.id));
        ASSERT_EQ(menu.Items().size(), c.bar.size());
        for (size_t i = 0; i < c.bar.size(); ++i)
            EXPECT_EQ(Text(*menu.Items()[i]), c.bar[i]);
        for (UINT toolbar : {128u, 134u, 365u})
            EXPECT_TRUE(menu.LoadToolbarImages(toolbar)) << toolbar;
        // Every toolbar command in the menu got its icon.
        for (UINT toolbar : {128u, 134u, 365u})
            for (UINT command : qlafx::FindToolbar(toolbar)->commands) {
                int pos = -1;
                CBitmapMenu* owner = command ? menu.FindMenuItem(command, &pos) : nullptr;
                if (owner) {
                    EXPECT_NE(owner->Items()[pos]->m_imageList, nullptr) << command;
                }
            }
    }
    CBitmapMenu image;
    ASSERT_TRUE(image.LoadMenu(128));
    // The frame inserts the effect plug-ins into pop-up 2, sub-pop-up 5.
    int pos = -1;
    EXPECT_EQ(image.FindMenuItem(32839, &pos), image.SubMenuAt(2)->SubMenuAt(5));
    int all = 0;
    for (UINT toolbar : {128u, 134u, 365u})
        for (UINT command : qlafx::FindToolbar(toolbar)->commands)
            all += command != 0 && image.FindMenuItem(command, &pos) != nullptr;
    EXPECT_EQ(all, 10 + 15 + 10);
}

TEST(EditorMenus, PopupIsShownOwnerDrawnThroughTheLayer)
{
    skintest::CParentWnd owner;
    ASSERT_TRUE(owner.CreateParent());
    CBitmapMenu menu;
    ASSERT_TRUE(menu.LoadMenu(128));
    ASSERT_TRUE(menu.LoadToolbarImages(128));
    CBitmapMenu* file = menu.SubMenuAt(0);
    int shown = 0;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* qm) {
        const QList<QAction*> actions = qm->actions();
        EXPECT_EQ(actions.size(), static_cast<int>(file->Items().size()));
        auto* wa = qobject_cast<QWidgetAction*>(actions.value(0));
        EXPECT_NE(wa, nullptr);
        if (wa) {
            QWidget* w = wa->defaultWidget();
            EXPECT_EQ(w->sizeHint().height(), std::max(GetSystemMetrics(SM_CYMENU), 27));
            w->resize(w->sizeHint());
            const QImage img = w->grab().toImage();
            EXPECT_EQ(BgrAt(img, 0, 0), skintest::BgrOf(LightenColor(GetSysColor(COLOR_BTNFACE), 0.35)));
            EXPECT_EQ(BgrAt(img, img.width() - 1, 0), (Bgr{255, 255, 255}));
            ++shown;
        }
        return 57603u;
    });
    EXPECT_EQ(file->TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 57603);
    EXPECT_EQ(shown, 1);
    qlafx::SetPopupMenuHook({});
}

}  // namespace
