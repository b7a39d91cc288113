// List views: state changes the parent may refuse, activation, custom
// drawing per item and sub-item, items and columns.
#include "CommonControlTestSupport.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

using cctest::CommonControlTest;

namespace {

// A report list "name" / "size" with three items a, b, c (data 10, 20, 30).
class ListViewTest : public CommonControlTest {
protected:
    void SetUp() override
    {
        CommonControlTest::SetUp();
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | m_extraStyle,
                                  CRect(0, 0, 300, 200), &m_parent, 4112));
        m_list.InsertColumn(0, "name", LVCFMT_LEFT, 120);
        m_list.InsertColumn(1, "size", LVCFMT_LEFT, 120);
        const char* names[] = {"a", "b", "c"};
        for (int i = 0; i < 3; ++i) {
            m_list.InsertItem(i, names[i]);
            m_list.SetItemText(i, 1, std::to_string(i * 100).c_str());
            m_list.SetItemData(i, static_cast<DWORD_PTR>((i + 1) * 10));
        }
        m_view = dynamic_cast<QAbstractItemView*>(m_list.GetWidget());
        ASSERT_NE(m_view, nullptr);
        m_view->resize(300, 200);
        m_view->doItemsLayout();
        m_parent.Clear();
    }
    void TearDown() override
    {
        m_list.DestroyWindow();
        CommonControlTest::TearDown();
    }
    // The middle of item i's first column, in viewport coordinates.
    QPoint ItemPoint(int i, int col = 0) const { return m_view->visualRect(m_view->model()->index(i, col)).center(); }
    bool QtSelected(int i) const { return m_view->selectionModel()->isRowSelected(i, QModelIndex()); }

    DWORD m_extraStyle = 0;
    CListCtrl m_list;
    QAbstractItemView* m_view = nullptr;
};

TEST_F(ListViewTest, ItemsColumnsAndDataRoundTrip)
{
    EXPECT_EQ(m_list.GetItemCount(), 3);
    EXPECT_STREQ(m_list.GetItemText(1, 0), "b");
    EXPECT_STREQ(m_list.GetItemText(2, 1), "200");
    EXPECT_EQ(m_list.GetItemData(2), 30u);
    EXPECT_EQ(m_list.GetColumnWidth(1), 120);
    LVFINDINFO fi{};
    fi.flags = LVFI_PARAM;
    fi.lParam = 20;
    EXPECT_EQ(m_list.FindItem(&fi), 1);
    fi.flags = LVFI_STRING;
    fi.psz = "C";
    EXPECT_EQ(m_list.FindItem(&fi), 2) << "without regard to case";
    EXPECT_TRUE(m_list.DeleteItem(0));
    EXPECT_STREQ(m_list.GetItemText(0, 0), "b");
    EXPECT_EQ(m_parent.Count(LVN_DELETEITEM), 1);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), -1);
}

TEST_F(ListViewTest, ClickSelectsThroughChangingAndChanged)
{
    cctest::Click(m_view->viewport(), ItemPoint(1));
    const auto changing = m_parent.Of(LVN_ITEMCHANGING);
    const auto changed = m_parent.Of(LVN_ITEMCHANGED);
    ASSERT_EQ(changing.size(), 1u);
    ASSERT_EQ(changed.size(), 1u);
    const NMLISTVIEW nm = changed[0].As<NMLISTVIEW>();
    EXPECT_EQ(nm.iItem, 1);
    EXPECT_EQ(nm.uChanged, LVIF_STATE);
    EXPECT_EQ(nm.uOldState, 0u);
    EXPECT_EQ(nm.uNewState, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(nm.lParam, 20);
    EXPECT_EQ(m_list.GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(m_list.GetSelectionMark(), 1);
    EXPECT_EQ(m_parent.Count(NM_CLICK), 1);
    EXPECT_EQ(m_parent.Of(NM_CLICK)[0].As<NMITEMACTIVATE>().iItem, 1);

    // Another item: the old one is let go first, then the new one taken.
    m_parent.Clear();
    cctest::Click(m_view->viewport(), ItemPoint(2));
    const auto second = m_parent.Of(LVN_ITEMCHANGED);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].As<NMLISTVIEW>().iItem, 1);
    EXPECT_EQ(second[0].As<NMLISTVIEW>().uNewState, 0u);
    EXPECT_EQ(second[1].As<NMLISTVIEW>().iItem, 2);
    EXPECT_EQ(second[1].As<NMLISTVIEW>().uNewState, LVIS_SELECTED | LVIS_FOCUSED);
}

TEST_F(ListViewTest, RefusedChangeLeavesSelectionAsItWas)
{
    m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_parent.Clear();
    m_parent.answer = [](NMHDR* hdr) -> LRESULT { return hdr->code == LVN_ITEMCHANGING ? 1 : 0; };
    cctest::Click(m_view->viewport(), ItemPoint(2));
    EXPECT_GE(m_parent.Count(LVN_ITEMCHANGING), 1);
    EXPECT_EQ(m_parent.Count(LVN_ITEMCHANGED), 0);
    EXPECT_EQ(m_list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(m_list.GetItemState(2, LVIS_SELECTED), 0u);
    EXPECT_TRUE(QtSelected(0)) << "the view shows the states, not the click";
    EXPECT_FALSE(QtSelected(2));

    // Programmatic changes ask too.
    EXPECT_FALSE(m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(m_list.GetItemState(1, LVIS_SELECTED), 0u);
}

// Refusing only the new item: the old one has already let go.
TEST_F(ListViewTest, RefusingOnlyTheNewItemStillReleasesTheOld)
{
    m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_parent.answer = [](NMHDR* hdr) -> LRESULT {
        return hdr->code == LVN_ITEMCHANGING && reinterpret_cast<NMLISTVIEW*>(hdr)->iItem == 2 ? 1 : 0;
    };
    cctest::Click(m_view->viewport(), ItemPoint(2));
    EXPECT_EQ(m_list.GetItemState(0, LVIS_SELECTED), 0u);
    EXPECT_EQ(m_list.GetItemState(2, LVIS_SELECTED), 0u);
    EXPECT_EQ(m_list.GetSelectedCount(), 0u);
}

TEST_F(ListViewTest, DoubleClickReportsItemAndSubItem)
{
    cctest::DoubleClick(m_view->viewport(), ItemPoint(2, 1));
    const auto dbl = m_parent.Of(NM_DBLCLK);
    ASSERT_EQ(dbl.size(), 1u);
    const NMITEMACTIVATE nm = dbl[0].As<NMITEMACTIVATE>();
    EXPECT_EQ(nm.iItem, 2);
    EXPECT_EQ(nm.iSubItem, 1);
    EXPECT_EQ(nm.hdr.idFrom, 4112u);
    RECT item{};
    ASSERT_TRUE(m_list.GetItemRect(2, &item, LVIR_BOUNDS));
    EXPECT_TRUE(item.top <= nm.ptAction.y && nm.ptAction.y < item.bottom) << "ptAction in client coordinates";
    EXPECT_EQ(m_parent.Count(LVN_ITEMACTIVATE), 1);
}

TEST_F(ListViewTest, HitTestFindsItemsInClientCoordinates)
{
    CRect rc;
    ASSERT_TRUE(m_list.GetSubItemRect(1, 1, LVIR_BOUNDS, rc));
    LVHITTESTINFO info{};
    info.pt = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    EXPECT_EQ(m_list.SubItemHitTest(&info), 1);
    EXPECT_EQ(info.iSubItem, 1);
    EXPECT_EQ(m_list.HitTest(CPoint(5, 190)), -1);
    EXPECT_EQ(m_list.GetColumnWidth(0), rc.left) << "sub-item 1 starts where column 0 ends";
}

// One-click activation (the hyperlink list's style): over an item the
// pointer becomes the hot cursor the owner set.
TEST_F(ListViewTest, HotCursorShowsOverItemsWithOneClickActivate)
{
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    const HCURSOR cross = LoadCursor(nullptr, IDC_CROSS);
    m_list.SetHotCursor(cross);
    EXPECT_EQ(m_list.GetHotCursor(), cross);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    cctest::Mouse(m_view->viewport(), QEvent::MouseMove, ItemPoint(1));
    EXPECT_EQ(GetCursor(), cross);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    cctest::Mouse(m_view->viewport(), QEvent::MouseMove, QPoint(5, m_view->viewport()->height() - 3));
    EXPECT_NE(GetCursor(), cross) << "not below the items";
}

// Custom drawing: pre-paint asks for item notices, each item for sub-item
// notices; every sub-item gets its own text background.
TEST_F(ListViewTest, CustomDrawReachesEveryItemAndSubItem)
{
    std::vector<std::pair<int, int>> subItems;
    std::vector<int> items;
    const COLORREF bk[2] = {RGB(250, 0, 0), RGB(0, 0, 250)};
    m_parent.answer = [&](NMHDR* hdr) -> LRESULT {
        if (hdr->code != NM_CUSTOMDRAW)
            return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        switch (cd->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            items.push_back(static_cast<int>(cd->nmcd.dwItemSpec));
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            subItems.emplace_back(static_cast<int>(cd->nmcd.dwItemSpec), cd->iSubItem);
            cd->clrTextBk = bk[cd->iSubItem];
            cd->clrText = RGB(255, 255, 255);
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
        }
    };
    const QImage img = m_view->grab().toImage();
    EXPECT_EQ(items, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(subItems, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}));
    for (int i = 0; i < 3; ++i)
        for (int col = 0; col < 2; ++col) {
            const QRect cell = m_view->visualRect(m_view->model()->index(i, col));
            const QPoint p = cell.topRight() + QPoint(-2, 1) + m_view->viewport()->pos();
            EXPECT_EQ(cctest::PixelOf(img, p.x(), p.y()), bk[col]) << i << "," << col;
        }
}

TEST_F(ListViewTest, CustomDrawSkipDefaultShowsWhatParentDrew)
{
    m_parent.answer = [&](NMHDR* hdr) -> LRESULT {
        if (hdr->code != NM_CUSTOMDRAW)
            return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && cd->nmcd.dwItemSpec == 1) {
            HBRUSH b = CreateSolidBrush(RGB(0, 128, 0));
            FillRect(cd->nmcd.hdc, &cd->nmcd.rc, b);  // rc in client coordinates
            DeleteObject(b);
            return CDRF_SKIPDEFAULT;
        }
        return CDRF_DODEFAULT;
    };
    const QImage img = m_view->grab().toImage();
    const QRect row1 = m_view->visualRect(m_view->model()->index(1, 1)).translated(m_view->viewport()->pos());
    EXPECT_EQ(cctest::PixelOf(img, row1.center().x(), row1.center().y()), RGB(0, 128, 0));
    const QRect row2 = m_view->visualRect(m_view->model()->index(2, 1)).translated(m_view->viewport()->pos());
    EXPECT_NE(cctest::PixelOf(img, row2.right() - 2, row2.top() + 1), RGB(0, 128, 0));
}

// Icon view: items with images from the normal list; custom draw asks per
// item, never per sub-item.
TEST(ListViewStyles, IconViewDrawsItemsThroughCustomDraw)
{
    InitCommonControls();
    cctest::CControlParent parent;
    ASSERT_TRUE(parent.CreateParent());
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_ICON, CRect(0, 0, 300, 200), &parent, 9));
    CImageList images;
    ASSERT_TRUE(images.Create(8, 8, ILC_COLOR24, 0, 1));
    std::vector<std::uint32_t> px(64, 0x00C800);
    CBitmap bm;
    bm.CreateBitmap(8, 8, 1, 32, px.data());
    images.Add(&bm, static_cast<CBitmap*>(nullptr));
    list.SetImageList(&images, LVSIL_NORMAL);
    list.InsertItem(0, "first", 0);
    list.InsertItem(1, "second", 0);
    std::vector<DWORD> stages;
    parent.answer = [&](NMHDR* hdr) -> LRESULT {
        if (hdr->code != NM_CUSTOMDRAW)
            return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        stages.push_back(cd->nmcd.dwDrawStage);
        return cd->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_NOTIFYSUBITEMDRAW;
    };
    auto* view = dynamic_cast<QAbstractItemView*>(list.GetWidget());
    ASSERT_NE(view, nullptr);
    view->resize(300, 200);
    view->doItemsLayout();
    const QImage img = view->grab().toImage();
    EXPECT_EQ(stages, (std::vector<DWORD>{CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT}));
    RECT icon{};
    ASSERT_TRUE(list.GetItemRect(1, &icon, LVIR_BOUNDS));
    const QRect cell = view->visualRect(view->model()->index(1, 0)).translated(view->viewport()->pos());
    // The image sits centred at the top of its cell.
    EXPECT_EQ(cctest::PixelOf(img, cell.center().x(), cell.top() + 4), RGB(0, 200, 0));
    cctest::Click(view->viewport(), view->visualRect(view->model()->index(1, 0)).center());
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    list.DestroyWindow();
    parent.DestroyWindow();
}

// The timeline list: single selection, no header, images from a list.
TEST(ListViewStyles, SingleSelectionKeepsOneItem)
{
    InitCommonControls();
    cctest::CControlParent parent;
    ASSERT_TRUE(parent.CreateParent());
    CListCtrl list;
    ASSERT_TRUE(list.Create(0x5000400D, CRect(0, 0, 200, 200), &parent, 4112));
    list.InsertColumn(0, "", LVCFMT_LEFT, 200);
    for (const char* t : {"Y2005-01", "Y2005-02", "Y2006-01"})
        list.InsertItem(list.GetItemCount(), t);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    auto* view = dynamic_cast<QAbstractItemView*>(list.GetWidget());
    ASSERT_NE(view, nullptr);
    view->resize(200, 200);
    view->doItemsLayout();
    cctest::Click(view->viewport(), view->visualRect(view->model()->index(1, 0)).center());
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    POSITION pos = list.GetFirstSelectedItemPosition();
    EXPECT_EQ(list.GetNextSelectedItem(pos), 1);
    EXPECT_EQ(pos, nullptr);
    list.DestroyWindow();
    parent.DestroyWindow();
}

}  // namespace
