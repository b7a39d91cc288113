// Tree views: selection and expansion through the parent, label editing,
// keys, items and their data.
#include "CommonControlTestSupport.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QTreeWidget>

using cctest::CommonControlTest;

namespace {

// The folder tree's style: buttons, lines, lines at root, label editing,
// selection always shown, track select.
constexpr DWORD kFolderTree = 0x5000022F & 0xFFFF;

// "root" (data 1) with "one" (2) and "two" (3), collapsed.
class TreeViewTest : public CommonControlTest {
protected:
    void SetUp() override
    {
        CommonControlTest::SetUp();
        ASSERT_TRUE(m_tree.Create(WS_CHILD | WS_VISIBLE | kFolderTree, CRect(0, 0, 200, 200), &m_parent, 4100));
        m_root = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "root", 0, 0, 0, 0, 1, TVI_ROOT, TVI_LAST);
        m_one = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "one", 0, 0, 0, 0, 2, m_root, TVI_LAST);
        m_two = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "two", 0, 0, 0, 0, 3, m_root, TVI_LAST);
        m_widget = dynamic_cast<QTreeWidget*>(m_tree.GetWidget());
        ASSERT_NE(m_widget, nullptr);
        m_widget->resize(200, 200);
        m_widget->doItemsLayout();
        m_parent.Clear();
    }
    void TearDown() override
    {
        m_tree.DestroyWindow();
        CommonControlTest::TearDown();
    }
    QTreeWidgetItem* Item(HTREEITEM h) const
    {
        for (QTreeWidgetItemIterator it(m_widget); *it; ++it) {
            if ((*it)->text(0) == QString::fromUtf8(static_cast<const char*>(m_tree.GetItemText(h))))
                return *it;
        }
        return nullptr;
    }
    QPoint LabelPoint(HTREEITEM h) const { return m_widget->visualItemRect(Item(h)).center(); }
    // The expand button, in the indentation left of the item.
    QPoint ButtonPoint(HTREEITEM h) const
    {
        const QRect r = m_widget->visualItemRect(Item(h));
        return QPoint(r.left() - m_widget->indentation() / 2, r.center().y());
    }
    void Key(int qtKey)
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QApplication::sendEvent(m_widget, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
        QApplication::sendEvent(m_widget, &release);
    }

    CTreeCtrl m_tree;
    QTreeWidget* m_widget = nullptr;
    HTREEITEM m_root = nullptr, m_one = nullptr, m_two = nullptr;
};

TEST_F(TreeViewTest, ItemsNavigateLikeWindows)
{
    EXPECT_EQ(m_tree.GetCount(), 3u);
    EXPECT_EQ(m_tree.GetRootItem(), m_root);
    EXPECT_EQ(m_tree.GetChildItem(m_root), m_one);
    EXPECT_EQ(m_tree.GetNextSiblingItem(m_one), m_two);
    EXPECT_EQ(m_tree.GetNextSiblingItem(m_two), nullptr);
    EXPECT_EQ(m_tree.GetParentItem(m_two), m_root);
    EXPECT_EQ(m_tree.GetParentItem(m_root), nullptr);
    EXPECT_EQ(m_tree.GetItemData(m_two), 3u);
    EXPECT_STREQ(m_tree.GetItemText(m_one), "one");
    HTREEITEM first = m_tree.InsertItem("aaa", m_root, TVI_FIRST);
    EXPECT_EQ(m_tree.GetChildItem(m_root), first);
    HTREEITEM sorted = m_tree.InsertItem("three", m_root, TVI_SORT);
    EXPECT_EQ(m_tree.GetNextSiblingItem(sorted), m_two) << "\"three\" sorts before \"two\"";
    EXPECT_TRUE(m_tree.DeleteItem(m_one));
    EXPECT_EQ(m_tree.GetItemData(m_one), 0u) << "a deleted handle stays invalid";
    EXPECT_EQ(m_parent.Count(TVN_DELETEITEM), 1);
    EXPECT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(m_tree.GetCount(), 0u);
}

TEST_F(TreeViewTest, SelectionReportsOldAndNewItems)
{
    m_tree.Expand(m_root, TVE_EXPAND);
    m_widget->doItemsLayout();
    EXPECT_EQ(m_parent.Count(TVN_ITEMEXPANDING), 0) << "TVM_EXPAND does not notify";
    cctest::Click(m_widget->viewport(), LabelPoint(m_two));
    EXPECT_EQ(m_tree.GetSelectedItem(), m_two);
    ASSERT_EQ(m_parent.Count(TVN_SELCHANGING), 1);
    const auto changed = m_parent.Of(TVN_SELCHANGED);
    ASSERT_EQ(changed.size(), 1u);
    NMTREEVIEW nm = changed[0].As<NMTREEVIEW>();
    EXPECT_EQ(nm.action, TVC_BYMOUSE);
    EXPECT_EQ(nm.itemNew.hItem, m_two);
    EXPECT_EQ(nm.itemNew.lParam, 3);
    EXPECT_EQ(nm.itemOld.hItem, nullptr);
    EXPECT_EQ(nm.hdr.idFrom, 4100u);

    m_parent.Clear();
    EXPECT_TRUE(m_tree.SelectItem(m_one));
    nm = m_parent.Of(TVN_SELCHANGED).at(0).As<NMTREEVIEW>();
    EXPECT_EQ(nm.action, TVC_UNKNOWN) << "TVM_SELECTITEM notifies too";
    EXPECT_EQ(nm.itemOld.hItem, m_two);
    EXPECT_EQ(nm.itemNew.hItem, m_one);
    EXPECT_EQ(m_tree.GetItemState(m_one, TVIS_SELECTED), TVIS_SELECTED);
}

TEST_F(TreeViewTest, RefusedSelectionChangeKeepsTheOldItem)
{
    m_tree.Expand(m_root, TVE_EXPAND);
    m_widget->doItemsLayout();
    m_tree.SelectItem(m_one);
    m_parent.Clear();
    m_parent.answer = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_SELCHANGING ? 1 : 0; };
    cctest::Click(m_widget->viewport(), LabelPoint(m_two));
    EXPECT_EQ(m_tree.GetSelectedItem(), m_one);
    EXPECT_EQ(m_parent.Count(TVN_SELCHANGED), 0);
    EXPECT_EQ(m_widget->currentItem(), Item(m_one));
    EXPECT_FALSE(m_tree.SelectItem(m_two));
}

struct ExpandCase {
    const char* name;
    bool refuse;
    bool byDoubleClick;
};

class TreeExpand : public TreeViewTest, public ::testing::WithParamInterface<ExpandCase> {};

TEST_P(TreeExpand, UserExpansionAsksTheParentFirst)
{
    const ExpandCase& c = GetParam();
    if (c.refuse)
        m_parent.answer = [](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_ITEMEXPANDING ? 1 : 0; };
    if (c.byDoubleClick)
        cctest::DoubleClick(m_widget->viewport(), LabelPoint(m_root));
    else
        cctest::Click(m_widget->viewport(), ButtonPoint(m_root));
    const auto expanding = m_parent.Of(TVN_ITEMEXPANDING);
    ASSERT_EQ(expanding.size(), 1u) << c.name;
    const NMTREEVIEW nm = expanding[0].As<NMTREEVIEW>();
    EXPECT_EQ(nm.action, TVE_EXPAND);
    EXPECT_EQ(nm.itemNew.hItem, m_root);
    EXPECT_EQ(nm.itemNew.lParam, 1);
    EXPECT_EQ(m_tree.GetItemState(m_root, TVIS_EXPANDED) != 0, !c.refuse) << c.name;
    EXPECT_EQ(m_parent.Count(TVN_ITEMEXPANDED), c.refuse ? 0 : 1) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeExpand,
                         ::testing::Values(ExpandCase{"button", false, false},
                                           ExpandCase{"button_refused", true, false},
                                           ExpandCase{"double_click", false, true},
                                           ExpandCase{"double_click_refused", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The album refreshes a folder while it expands: the children are
// replaced during TVN_ITEMEXPANDING, and the new ones show.
TEST_F(TreeViewTest, ParentMayReplaceChildrenWhileExpanding)
{
    m_parent.answer = [this](NMHDR* hdr) -> LRESULT {
        if (hdr->code != TVN_ITEMEXPANDING)
            return 0;
        const HTREEITEM item = reinterpret_cast<NMTREEVIEW*>(hdr)->itemNew.hItem;
        while (HTREEITEM child = m_tree.GetChildItem(item))
            m_tree.DeleteItem(child);
        m_tree.InsertItem("fresh", item, TVI_LAST);
        return 0;
    };
    cctest::Click(m_widget->viewport(), ButtonPoint(m_root));
    EXPECT_EQ(m_tree.GetItemState(m_root, TVIS_EXPANDED), TVIS_EXPANDED);
    HTREEITEM child = m_tree.GetChildItem(m_root);
    ASSERT_NE(child, nullptr);
    EXPECT_STREQ(m_tree.GetItemText(child), "fresh");
    EXPECT_EQ(m_tree.GetNextSiblingItem(child), nullptr);
}

TEST_F(TreeViewTest, KeysReachTheParentAndExpandCollapse)
{
    m_tree.SelectItem(m_root);
    m_parent.Clear();
    Key(Qt::Key_Delete);
    const auto keys = m_parent.Of(TVN_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].As<NMTVKEYDOWN>().wVKey, VK_DELETE);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_parent.Count(TVN_ITEMEXPANDING), 1);
    EXPECT_EQ(m_tree.GetItemState(m_root, TVIS_EXPANDED), TVIS_EXPANDED);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_tree.GetSelectedItem(), m_one) << "an expanded item's right key goes to its first child";
    EXPECT_EQ(m_parent.Of(TVN_SELCHANGED).back().As<NMTREEVIEW>().action, TVC_BYKEYBOARD);
}

struct LabelCase {
    const char* name;
    LRESULT answer;  // TVN_ENDLABELEDIT's: TRUE keeps the new text
    bool cancel;
    const char* reported;
    const char* label;
};

class TreeLabel : public TreeViewTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(TreeLabel, EndLabelEditDecidesTheText)
{
    const LabelCase& c = GetParam();
    m_tree.Expand(m_root, TVE_EXPAND);
    m_parent.answer = [&c](NMHDR* hdr) -> LRESULT { return hdr->code == TVN_ENDLABELEDIT ? c.answer : 0; };
    m_tree.EditLabel(m_one);
    EXPECT_EQ(m_parent.Count(TVN_BEGINLABELEDIT), 1);
    auto* editor = m_widget->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    editor->setText("renamed");
    m_tree.SendMessage(TVM_ENDEDITLABELNOW, c.cancel ? TRUE : FALSE, 0);
    qlafx::ProcessPendingEvents();
    ASSERT_EQ(m_parent.labels.size(), 1u) << c.name;
    EXPECT_EQ(m_parent.labels[0], c.reported) << c.name;
    EXPECT_STREQ(m_tree.GetItemText(m_one), c.label) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeLabel,
                         ::testing::Values(LabelCase{"accepted", TRUE, false, "renamed", "renamed"},
                                           LabelCase{"refused", FALSE, false, "renamed", "one"},
                                           LabelCase{"cancelled", TRUE, true, "<null>", "one"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeViewTest, ImagesFollowTheSelection)
{
    CImageList images;
    ASSERT_TRUE(images.Create(4, 4, ILC_COLOR24, 0, 4));
    for (COLORREF color : {RGB(255, 0, 0), RGB(0, 255, 0)}) {
        std::vector<std::uint32_t> px(16, (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
        CBitmap bm;
        bm.CreateBitmap(4, 4, 1, 32, px.data());
        images.Add(&bm, static_cast<CBitmap*>(nullptr));
    }
    m_tree.SetImageList(&images, TVSIL_NORMAL);
    m_tree.SetItemImage(m_root, 0, 1);
    auto pixel = [&] {
        const QImage img = Item(m_root)->icon(0).pixmap(4, 4).toImage();
        return img.isNull() ? QRgb(0) : img.pixel(1, 1) & 0xFFFFFFu;
    };
    EXPECT_EQ(pixel(), 0xFF0000u);
    m_tree.SelectItem(m_root);
    EXPECT_EQ(pixel(), 0x00FF00u) << "the selected image";
    int image = -1, selected = -1;
    ASSERT_TRUE(m_tree.GetItemImage(m_root, image, selected));
    EXPECT_EQ(image, 0);
    EXPECT_EQ(selected, 1);
    m_tree.SetImageList(nullptr, TVSIL_NORMAL);
}

// The album's folder tree takes files dropped on its items.
class CDropTree : public CTreeCtrl {
public:
    std::vector<std::string> files;
    POINT at{-1, -1};

protected:
    void OnDropFiles(HDROP drop)
    {
        const UINT n = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            char path[512] = {};
            DragQueryFile(drop, i, path, sizeof path);
            files.emplace_back(path);
        }
        DragQueryPoint(drop, &at);
        DragFinish(drop);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDropTree, CTreeCtrl)
    ON_WM_DROPFILES()
END_MESSAGE_MAP()

TEST(TreeViewDrop, FilesDroppedOnItemsBecomeDropFiles)
{
    InitCommonControls();
    cctest::CControlParent parent;
    ASSERT_TRUE(parent.CreateParent());
    CDropTree tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | kFolderTree, CRect(0, 0, 200, 200), &parent, 4100));
    tree.DragAcceptFiles(TRUE);
    HTREEITEM item = tree.InsertItem("folder");
    auto* w = dynamic_cast<QTreeWidget*>(tree.GetWidget());
    ASSERT_NE(w, nullptr);
    w->resize(200, 200);
    w->doItemsLayout();
    RECT rc{};
    ASSERT_TRUE(tree.GetItemRect(item, &rc, TRUE));
    const QPoint inViewport = w->visualItemRect(w->topLevelItem(0)).center();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/photos/a.jpg"), QUrl::fromLocalFile("/photos/b c.jpg")});
    QDragEnterEvent enter(inViewport, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(inViewport), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->viewport(), &drop);
    EXPECT_EQ(tree.files, (std::vector<std::string>{"/photos/a.jpg", "/photos/b c.jpg"}));
    TVHITTESTINFO hit{};
    hit.pt = tree.at;
    EXPECT_EQ(tree.HitTest(&hit), item) << "the point is in client coordinates";
    tree.DestroyWindow();
    parent.DestroyWindow();
}

}  // namespace
