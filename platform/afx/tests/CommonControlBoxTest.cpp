// Combo boxes and list boxes: items and their data, searching, the user's
// choices against the program's, owner drawing.
#include "CommonControlTestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

using cctest::CommonControlTest;

namespace {

// ---- searching, shared by both ----

struct FindCase {
    const char* name;
    UINT message;  // CB_ / LB_ FINDSTRING or FINDSTRINGEXACT
    int startAfter;
    const char* text;
    int found;
};

class BoxFind : public CommonControlTest, public ::testing::WithParamInterface<FindCase> {};

// Items in order: "Apple", "apricot", "Banana", "apple pie".
TEST_P(BoxFind, PrefixOrWholeTextWithoutCaseWrappingRound)
{
    const FindCase& c = GetParam();
    const bool combo = c.message == CB_FINDSTRING || c.message == CB_FINDSTRINGEXACT;
    HWND box = combo ? Make("ComboBox", CBS_DROPDOWNLIST, 1, {0, 0, 150, 24})
                     : Make("ListBox", LBS_NOTIFY, 1, {0, 0, 150, 100});
    ASSERT_NE(box, nullptr);
    for (const char* t : {"Apple", "apricot", "Banana", "apple pie"})
        SendMessage(box, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    EXPECT_EQ(SendMessage(box, c.message, static_cast<WPARAM>(c.startAfter), reinterpret_cast<LPARAM>(c.text)),
              c.found)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxFind,
    ::testing::Values(FindCase{"cb_prefix", CB_FINDSTRING, -1, "ap", 0},
                      FindCase{"cb_prefix_after", CB_FINDSTRING, 0, "AP", 1},
                      FindCase{"cb_wraps", CB_FINDSTRING, 3, "b", 2},
                      FindCase{"cb_exact", CB_FINDSTRINGEXACT, -1, "APPLE", 0},
                      FindCase{"cb_exact_not_prefix", CB_FINDSTRINGEXACT, -1, "appl", CB_ERR},
                      FindCase{"cb_exact_after", CB_FINDSTRINGEXACT, 0, "apple", 0},
                      FindCase{"lb_prefix_after_wraps", LB_FINDSTRING, 3, "apple", 0},
                      FindCase{"lb_none", LB_FINDSTRING, -1, "cherry", LB_ERR},
                      FindCase{"lb_exact", LB_FINDSTRINGEXACT, -1, "apple PIE", 3}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- combo box ----

using ComboBoxTest = CommonControlTest;

TEST_F(ComboBoxTest, SortedItemsKeepTheirDataAndProgramChangesAreSilent)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, CRect(0, 0, 150, 24), &m_parent, 13));
    EXPECT_EQ(combo.AddString("pear"), 0);
    EXPECT_EQ(combo.AddString("Apple"), 0);
    EXPECT_EQ(combo.AddString("fig"), 1);
    combo.SetItemData(0, 100);
    combo.SetItemData(2, 300);
    EXPECT_EQ(combo.InsertString(-1, "zz"), 3) << "InsertString does not sort";
    EXPECT_EQ(combo.GetCurSel(), CB_ERR) << "nothing selected until someone selects";
    CString text;
    combo.GetLBText(2, text);
    EXPECT_STREQ(text, "pear");
    EXPECT_EQ(combo.GetItemData(0), 100u);
    EXPECT_EQ(combo.GetItemData(2), 300u);
    EXPECT_EQ(combo.GetItemData(9), static_cast<DWORD_PTR>(static_cast<LRESULT>(CB_ERR)));
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.SelectString(-1, "PE"), 2);
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(combo.SetCurSel(7), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR) << "an index out of range clears the selection";
    EXPECT_EQ(m_parent.CommandCount(CBN_SELCHANGE), 0);
    EXPECT_EQ(combo.DeleteString(0), 3);
    EXPECT_EQ(combo.GetItemData(1), 300u) << "data moves with its item";
}

TEST_F(ComboBoxTest, UserChoiceNotifiesSelEndOkAndSelChange)
{
    HWND box = Make("ComboBox", CBS_DROPDOWNLIST, 13, {0, 0, 150, 24});
    for (const char* t : {"Fast", "Normal", "Best"})
        SendMessage(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    SendMessage(box, CB_SETCURSEL, 0, 0);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(qlafx::WidgetOf(box), &down);
    EXPECT_EQ(SendMessage(box, CB_GETCURSEL, 0, 0), 1);
    ASSERT_EQ(m_parent.CommandCount(CBN_SELCHANGE), 1);
    EXPECT_EQ(m_parent.CommandCount(CBN_SELENDOK), 1);
    EXPECT_EQ(m_parent.commands.back().id, 13u);
    char text[32] = {};
    GetWindowText(box, text, sizeof text);
    EXPECT_STREQ(text, "Normal");
}

TEST_F(ComboBoxTest, DropDownIsEditableAndReportsEdits)
{
    HWND box = Make("ComboBox", CBS_DROPDOWN, 14, {0, 0, 150, 24});
    auto* combo = dynamic_cast<QComboBox*>(qlafx::WidgetOf(box));
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(combo->isEditable());
    SetWindowText(box, "typed");
    char text[32] = {};
    GetWindowText(box, text, sizeof text);
    EXPECT_STREQ(text, "typed");
    EXPECT_EQ(m_parent.CommandCount(CBN_EDITCHANGE), 0) << "program text is silent";
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(combo->lineEdit(), &key);
    EXPECT_EQ(m_parent.CommandCount(CBN_EDITCHANGE), 1);
    EXPECT_EQ(m_parent.CommandCount(CBN_EDITUPDATE), 1);
}

TEST_F(ComboBoxTest, ShowingTheListNotifiesDropDownAndCloseUp)
{
    HWND box = Make("ComboBox", CBS_DROPDOWNLIST, 16, {0, 0, 150, 24});
    SendMessage(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("only"));
    SendMessage(box, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(m_parent.CommandCount(CBN_DROPDOWN), 1);
    EXPECT_TRUE(SendMessage(box, CB_GETDROPPEDSTATE, 0, 0));
    SendMessage(box, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(m_parent.CommandCount(CBN_CLOSEUP), 1);
    EXPECT_FALSE(SendMessage(box, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(m_parent.CommandCount(CBN_SELCHANGE), 0);
}

// A drop-down box is as high as its selection field, which its font sets;
// the height the program asks for is the field and its list. A simple box
// keeps the height asked.
TEST_F(ComboBoxTest, DropDownBoxIsAsHighAsItsFieldAndTheAskedHeightIsTheList)
{
    const struct {
        const char* name;
        DWORD style;
        bool dropsDown;
    } cases[] = {{"drop-down list", CBS_DROPDOWNLIST, true},
                 {"drop-down", CBS_DROPDOWN, true},
                 {"simple", CBS_SIMPLE, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND box = Make("ComboBox", c.style, 17, {0, 0, 150, 160});
        auto* combo = static_cast<QComboBox*>(qlafx::WidgetOf(box));
        auto height = [&] {
            RECT rc{};
            GetWindowRect(box, &rc);
            return static_cast<int>(rc.bottom - rc.top);
        };
        if (!c.dropsDown) {
            EXPECT_EQ(height(), 160);
            DestroyWindow(box);
            continue;
        }
        EXPECT_EQ(height(), combo->sizeHint().height());
        EXPECT_LT(height(), 40);
        // A bigger font, a bigger field; moving keeps the field's height.
        HFONT big = CreateFont(-28, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
        const int small = height();
        SendMessage(box, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
        EXPECT_GT(height(), small);
        EXPECT_EQ(height(), combo->sizeHint().height());
        SendMessage(box, WM_SETFONT, 0, TRUE);
        MoveWindow(box, 0, 0, 150, 240, TRUE);
        EXPECT_EQ(height(), small);
        // The list shows what fits in the rest of the asked height.
        for (int i = 0; i < 40; ++i)
            SendMessage(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
        SendMessage(box, CB_SHOWDROPDOWN, TRUE, 0);
        EXPECT_EQ(combo->view()->window()->height(), 240 - small);
        SendMessage(box, CB_SHOWDROPDOWN, FALSE, 0);
        DestroyWindow(box);
        DeleteObject(big);
    }
}

// An owner-drawn combo box without strings keeps each item's lParam as its
// data, measures at creation and draws its selection field through the parent.
TEST_F(ComboBoxTest, OwnerDrawFixedMeasuresOnceAndDrawsTheField)
{
    m_parent.measuredHeight = 18;
    m_parent.draw = [](DRAWITEMSTRUCT* dis) {
        HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
        FillRect(dis->hDC, &dis->rcItem, b);
        DeleteObject(b);
    };
    HWND box = Make("ComboBox", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, 15, {0, 0, 150, 26});
    ASSERT_EQ(m_parent.measures.size(), 2u);
    EXPECT_EQ(m_parent.measures[0].CtlType, ODT_COMBOBOX);
    EXPECT_EQ(m_parent.measures[0].itemID, static_cast<UINT>(-1)) << "the selection field";
    EXPECT_EQ(m_parent.measures[1].itemID, 0u) << "the list items";
    EXPECT_EQ(SendMessage(box, CB_GETITEMHEIGHT, 0, 0), 18);

    static int folders[2];
    SendMessage(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(&folders[0]));
    SendMessage(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(&folders[1]));
    EXPECT_EQ(SendMessage(box, CB_GETITEMDATA, 1, 0), reinterpret_cast<LRESULT>(&folders[1]));
    SendMessage(box, CB_SETCURSEL, 1, 0);
    const QImage img = qlafx::WidgetOf(box)->grab().toImage();
    ASSERT_FALSE(m_parent.draws.empty());
    const DRAWITEMSTRUCT& dis = m_parent.draws.back();
    EXPECT_EQ(dis.CtlType, ODT_COMBOBOX);
    EXPECT_EQ(dis.CtlID, 15u);
    EXPECT_EQ(dis.itemID, 1u);
    EXPECT_EQ(dis.itemData, reinterpret_cast<ULONG_PTR>(&folders[1]));
    EXPECT_TRUE(dis.itemState & 0x1000) << "ODS_COMBOBOXEDIT";
    const int cx = (dis.rcItem.left + dis.rcItem.right) / 2, cy = (dis.rcItem.top + dis.rcItem.bottom) / 2;
    EXPECT_EQ(cctest::PixelOf(img, cx, cy), RGB(10, 20, 30));
}

// The open dialog's folder combo: a subclass that draws its own items
// gets them through the parent's reflected WM_MEASUREITEM / WM_DRAWITEM.
class CSwatchCombo : public CComboBox {
public:
    std::vector<int> drawn;
    std::vector<UINT> measured;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        drawn.push_back(static_cast<int>(dis->itemID));
        HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(dis->itemData));
        FillRect(dis->hDC, &dis->rcItem, b);
        DeleteObject(b);
    }
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        measured.push_back(mis->itemID);
        mis->itemHeight = 20;
    }
};

TEST(ComboBoxReflect, SubclassDrawsAndMeasuresItsOwnItems)
{
    InitCommonControls();
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr));
    CSwatchCombo combo;
    HWND box = CreateWindowEx(0, "ComboBox", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE,
                              0, 0, 150, 26, parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<uintptr_t>(40)),
                              nullptr, nullptr);
    ASSERT_TRUE(combo.SubclassWindow(box));
    combo.AddString(reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(RGB(200, 0, 0))));
    combo.AddString(reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(RGB(0, 0, 200))));
    EXPECT_EQ(combo.measured, (std::vector<UINT>{0, 1}));
    EXPECT_EQ(combo.GetItemHeight(1), 20);
    combo.SetCurSel(1);
    const QImage img = combo.GetWidget()->grab().toImage();
    ASSERT_FALSE(combo.drawn.empty());
    EXPECT_EQ(combo.drawn.back(), 1);
    EXPECT_EQ(cctest::PixelOf(img, 20, 13), RGB(0, 0, 200));
    combo.DestroyWindow();
    parent.DestroyWindow();
}

// ---- list box ----

using ListBoxTest = CommonControlTest;

TEST_F(ListBoxTest, ClicksNotifyAndProgramSelectionDoesNot)
{
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(0, 0, 150, 120), &m_parent, 20));
    for (const char* t : {"one", "two", "three"})
        list.AddString(t);
    list.SetItemData(2, 33);
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(m_parent.CommandCount(LBN_SELCHANGE), 0);
    auto* w = dynamic_cast<QListWidget*>(list.GetWidget());
    ASSERT_NE(w, nullptr);
    w->doItemsLayout();
    RECT rc{};
    ASSERT_NE(list.GetItemRect(2, &rc), LB_ERR);
    const QPoint at((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    cctest::Click(w->viewport(), at - w->viewport()->pos());
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(m_parent.CommandCount(LBN_SELCHANGE), 1);
    EXPECT_EQ(list.GetItemData(list.GetCurSel()), 33u);
    BOOL outside = TRUE;
    EXPECT_EQ(list.ItemFromPoint(CPoint(at.x(), at.y()), outside), 2u);
    EXPECT_FALSE(outside);
    cctest::DoubleClick(w->viewport(), at - w->viewport()->pos());
    EXPECT_EQ(m_parent.CommandCount(LBN_DBLCLK), 1);
    CString text;
    list.GetText(2, text);
    EXPECT_STREQ(text, "three");
}

TEST_F(ListBoxTest, MultipleSelectionListsTheSelectedItems)
{
    HWND box = Make("ListBox", LBS_EXTENDEDSEL, 21, {0, 0, 150, 120});
    for (const char* t : {"a", "b", "c", "d"})
        SendMessage(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    EXPECT_EQ(SendMessage(box, LB_SETCURSEL, 1, 0), LB_ERR) << "not for multiple selection";
    SendMessage(box, LB_SETSEL, TRUE, 1);
    SendMessage(box, LB_SETSEL, TRUE, 3);
    EXPECT_EQ(SendMessage(box, LB_GETSELCOUNT, 0, 0), 2);
    int sel[4] = {-1, -1, -1, -1};
    EXPECT_EQ(SendMessage(box, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(sel)), 2);
    EXPECT_EQ(sel[0], 1);
    EXPECT_EQ(sel[1], 3);
    SendMessage(box, LB_SETSEL, FALSE, -1);
    EXPECT_EQ(SendMessage(box, LB_GETSELCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, OwnerDrawVariableMeasuresEachItem)
{
    UINT next = 10;
    HWND box = Make("ListBox", LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, 22, {0, 0, 150, 200});
    m_parent.measures.clear();
    for (const char* t : {"small", "large"}) {
        m_parent.measuredHeight = next;
        next += 20;
        SendMessage(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    }
    ASSERT_EQ(m_parent.measures.size(), 2u);
    EXPECT_EQ(m_parent.measures[1].itemID, 1u);
    EXPECT_EQ(m_parent.measures[1].CtlType, ODT_LISTBOX);
    EXPECT_EQ(SendMessage(box, LB_GETITEMHEIGHT, 0, 0), 10);
    EXPECT_EQ(SendMessage(box, LB_GETITEMHEIGHT, 1, 0), 30);
    auto* w = dynamic_cast<QListWidget*>(qlafx::WidgetOf(box));
    w->doItemsLayout();
    RECT r0{}, r1{};
    SendMessage(box, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
    SendMessage(box, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
    EXPECT_EQ(r0.bottom - r0.top, 10);
    EXPECT_EQ(r1.bottom - r1.top, 30);
    EXPECT_EQ(r1.top, r0.bottom);
    w->grab();
    ASSERT_GE(m_parent.draws.size(), 2u);
    EXPECT_EQ(m_parent.draws[1].rcItem.bottom - m_parent.draws[1].rcItem.top, 30);
}

}  // namespace
