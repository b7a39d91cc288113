// "SysTreeView32": a QTreeWidget whose items carry handles, data, images
// and states. The selection and the user's expanding go through the
// parent as on Windows: TVN_SELCHANGING (refusable) and TVN_SELCHANGED,
// TVN_ITEMEXPANDING (refusable) and TVN_ITEMEXPANDED; label editing ends
// with TVN_ENDLABELEDIT, whose answer decides whether the new text stays.
#include "platform/afx/CommCtrlSupport.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTreeWidget>

#include <algorithm>
#include <cstring>
#include <map>

namespace qlafx {
namespace {

class TreeNode : public QTreeWidgetItem {
public:
    HTREEITEM handle = nullptr;
    LPARAM param = 0;
    int image = 0;
    int selectedImage = 0;
    UINT state = 0;  // TVIS_* kept here (bold, cut, drop highlight, user bits)
};

class TreeControl;

class TreeSelection : public QItemSelectionModel {
public:
    TreeSelection(TreeControl& tree, QAbstractItemModel* model) : QItemSelectionModel(model), m_tree(tree) {}
    void select(const QModelIndex& index, SelectionFlags command) override;
    void select(const QItemSelection& selection, SelectionFlags command) override;
    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override;
    bool applying = false;

private:
    TreeControl& m_tree;
};

class LabelDelegate : public QStyledItemDelegate {
public:
    LabelDelegate(TreeControl& tree, QObject* parent);
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    TreeControl& m_tree;
};

class TreeControl : public QTreeWidget {
public:
    TreeControl(HWND hwnd, DWORD style, QWidget* parent) : QTreeWidget(parent), hwnd(hwnd)
    {
        setHeaderHidden(true);
        setColumnCount(1);
        setItemsExpandable(false);  // expanding goes through TVN_ITEMEXPANDING
        setExpandsOnDoubleClick(false);
        setSelectionMode(SingleSelection);
        setEditTriggers(NoEditTriggers);
        setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        setFrameShape((style & WS_BORDER) ? QFrame::Box : QFrame::NoFrame);
        setRootIsDecorated((style & TVS_LINESATROOT) != 0);
        selection = new TreeSelection(*this, model());
        QItemSelectionModel* old = selectionModel();
        setSelectionModel(selection);
        delete old;
        setItemDelegate(new LabelDelegate(*this, this));
        connect(itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] { EditorClosed(); });
    }

    HWND hwnd;
    TreeSelection* selection = nullptr;
    std::map<HTREEITEM, TreeNode*> nodes;
    std::uintptr_t nextHandle = 1;
    HIMAGELIST images[3] = {nullptr, nullptr, nullptr};
    HTREEITEM dropHighlight = nullptr;
    COLORREF bk = CLR_NONE;    // -1: the system colour
    COLORREF text = CLR_NONE;
    UINT cause = TVC_UNKNOWN;  // what the next selection change comes from
    HTREEITEM editing = nullptr;
    bool editCommitted = false;
    bool m_forwarding = false;

    TreeNode* Node(HTREEITEM h) const
    {
        const auto it = nodes.find(h);
        return it == nodes.end() ? nullptr : it->second;
    }
    static TreeNode* AsNode(QTreeWidgetItem* item) { return static_cast<TreeNode*>(item); }
    TreeNode* Selected() const
    {
        const QModelIndex cur = selection->currentIndex();
        return cur.isValid() ? AsNode(itemFromIndex(cur)) : nullptr;
    }
    QModelIndex IndexOf(TreeNode* node) const { return node ? indexFromItem(node) : QModelIndex(); }

    void RefreshIcon(TreeNode* node)
    {
        HIMAGELIST list = images[TVSIL_NORMAL];
        const bool sel = node == Selected();
        const QImage img = list ? ImageListPicture(list, sel ? node->selectedImage : node->image) : QImage();
        node->setIcon(0, img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img)));
        if (!img.isNull())
            setIconSize(img.size());
    }
    void RefreshAll()
    {
        for (auto& [h, node] : nodes)
            RefreshIcon(node);
    }

    TVITEM Describe(TreeNode* node) const
    {
        TVITEM it{};
        if (!node)
            return it;
        it.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        it.hItem = node->handle;
        it.lParam = node->param;
        it.state = StateOf(node);
        it.stateMask = 0xFFFF;
        it.iImage = node->image;
        it.iSelectedImage = node->selectedImage;
        return it;
    }
    UINT StateOf(TreeNode* node) const
    {
        UINT s = node->state & ~(TVIS_SELECTED | TVIS_EXPANDED | TVIS_DROPHILITED);
        if (node == Selected())
            s |= TVIS_SELECTED;
        if (node->isExpanded())
            s |= TVIS_EXPANDED;
        if (node->handle == dropHighlight)
            s |= TVIS_DROPHILITED;
        return s;
    }

    // The selection moves to node (NULL: none) when the parent lets it.
    bool Select(TreeNode* node, UINT action)
    {
        TreeNode* old = Selected();
        if (node == old)
            return true;
        NMTREEVIEW nm{};
        nm.action = action;
        nm.itemOld = Describe(old);
        nm.itemNew = Describe(node);
        const HTREEITEM target = node ? node->handle : nullptr;
        if (SendNotify(hwnd, TVN_SELCHANGING, &nm.hdr) != 0 || !IsWindow(hwnd))
            return false;
        node = Node(target);
        old = Selected();
        if (target && !node)
            return false;
        if (node)
            EnsureVisible(node);
        if (!IsWindow(hwnd))
            return false;
        selection->applying = true;
        selection->setCurrentIndex(IndexOf(node), QItemSelectionModel::ClearAndSelect);
        if (!node)
            selection->clearSelection();
        selection->applying = false;
        if (old)
            RefreshIcon(old);
        if (node)
            RefreshIcon(node);
        NMTREEVIEW done{};
        done.action = action;
        done.itemOld = Describe(old);
        done.itemNew = Describe(node);
        SendNotify(hwnd, TVN_SELCHANGED, &done.hdr);
        return true;
    }

    // Expanding or collapsing with TVN_ITEMEXPANDING first (notify), or
    // silently as TVM_EXPAND does.
    bool Expand(TreeNode* node, UINT code, bool notify)
    {
        const bool expand = (code & TVE_TOGGLE) == TVE_TOGGLE ? !node->isExpanded() : (code & TVE_EXPAND) != 0;
        if (expand == node->isExpanded() && !(code & TVE_COLLAPSERESET))
            return !notify;  // Windows answers FALSE when nothing changed
        const HTREEITEM h = node->handle;
        if (notify) {
            NMTREEVIEW nm{};
            nm.action = expand ? TVE_EXPAND : TVE_COLLAPSE;
            nm.itemNew = Describe(node);
            if (SendNotify(hwnd, TVN_ITEMEXPANDING, &nm.hdr) != 0 || !IsWindow(hwnd))
                return false;
            node = Node(h);  // the parent may have deleted it
            if (!node)
                return false;
        }
        node->setExpanded(expand);
        if (expand)
            node->state |= TVIS_EXPANDEDONCE;
        if (!expand && (code & TVE_COLLAPSERESET)) {
            DeleteChildren(node);
            node->state &= ~TVIS_EXPANDEDONCE;
        }
        if (notify) {
            NMTREEVIEW nm{};
            nm.action = expand ? TVE_EXPAND : TVE_COLLAPSE;
            nm.itemNew = Describe(node);
            SendNotify(hwnd, TVN_ITEMEXPANDED, &nm.hdr);
        }
        return true;
    }

    void EnsureVisible(TreeNode* node)
    {
        const HTREEITEM h = node->handle;
        for (auto* p = AsNode(node->parent()); p; p = AsNode(p->parent())) {
            if (!p->isExpanded())
                Expand(p, TVE_EXPAND, true);
            if (!Node(h) || !IsWindow(hwnd))
                return;
        }
        scrollToItem(node);
    }

    void Forget(TreeNode* node)
    {
        for (int i = 0; i < node->childCount(); ++i)
            Forget(AsNode(node->child(i)));
        NMTREEVIEW nm{};
        nm.itemOld = Describe(node);
        nodes.erase(node->handle);
        if (dropHighlight == node->handle)
            dropHighlight = nullptr;
        SendNotify(hwnd, TVN_DELETEITEM, &nm.hdr);
    }
    void DeleteChildren(TreeNode* node)
    {
        while (node->childCount() > 0)
            Delete(AsNode(node->child(0)));
    }
    void Delete(TreeNode* node)
    {
        // A deleted selection moves on to a neighbour, as on Windows.
        if (Selected() && (Selected() == node || IsAncestor(node, Selected()))) {
            QTreeWidgetItem* next = itemBelow(node);
            while (next && IsAncestor(node, AsNode(next)))
                next = itemBelow(next);
            if (!next)
                next = itemAbove(node);
            selection->applying = true;
            selection->clear();
            selection->applying = false;
            Forget(node);
            delete node;
            if (next && IsWindow(hwnd))
                Select(AsNode(next), TVC_UNKNOWN);
            return;
        }
        Forget(node);
        delete node;
    }
    static bool IsAncestor(QTreeWidgetItem* a, QTreeWidgetItem* b)
    {
        for (QTreeWidgetItem* p = b ? b->parent() : nullptr; p; p = p->parent())
            if (p == a)
                return true;
        return false;
    }

    void EditorClosed()
    {
        if (!editing)
            return;
        const HTREEITEM h = editing;
        editing = nullptr;
        if (editCommitted)
            return;
        // Cancelled: the parent hears of it with no text.
        NMTVDISPINFO nm{};
        nm.item.mask = TVIF_HANDLE | TVIF_PARAM;
        nm.item.hItem = h;
        if (TreeNode* node = Node(h))
            nm.item.lParam = node->param;
        nm.item.pszText = nullptr;
        SendNotify(hwnd, TVN_ENDLABELEDIT, &nm.hdr);
    }

    void ForwardDrop(QDropEvent* e)
    {
        if (m_forwarding || !(GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) || !e->mimeData()->hasUrls()) {
            e->ignore();
            return;
        }
        e->acceptProposedAction();
        if (e->type() != QEvent::Drop)
            return;
        // Qt hands a drop to the widget that took the drag's entry: this
        // widget takes it first, then gets the drop.
        const QPoint at = viewport()->mapTo(this, e->position().toPoint());
        m_forwarding = true;
        QDragEnterEvent enter(at, e->possibleActions(), e->mimeData(), e->buttons(), e->modifiers());
        QApplication::sendEvent(this, &enter);
        QDropEvent drop(QPointF(at), e->possibleActions(), e->mimeData(), e->buttons(), e->modifiers());
        QApplication::sendEvent(this, &drop);
        m_forwarding = false;
    }

    // Ends label editing: keeping the text (the parent decides) or not.
    bool EndEdit(bool cancel)
    {
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                editor = e;
        if (!editing || !editor)
            return false;
        if (!cancel)
            commitData(editor);
        closeEditor(editor, cancel ? QAbstractItemDelegate::RevertModelCache : QAbstractItemDelegate::NoHint);
        EditorClosed();  // the view's slot does not pass through the delegate's signal
        return true;
    }

protected:
    // Files dropped on the items (the viewport) reach the window as on its
    // own widget, where the window layer makes WM_DROPFILES of them, with
    // the point in client coordinates.
    void dragEnterEvent(QDragEnterEvent* e) override { ForwardDrop(e); }
    void dragMoveEvent(QDragMoveEvent* e) override { ForwardDrop(e); }
    void dropEvent(QDropEvent* e) override { ForwardDrop(e); }

    void mousePressEvent(QMouseEvent* e) override
    {
        const QModelIndex at = indexAt(e->position().toPoint());
        if (at.isValid() && e->button() == Qt::LeftButton) {
            TreeNode* node = AsNode(itemFromIndex(at));
            const QRect r = visualRect(at);
            // The expand button sits in the indentation left of the item.
            if (e->position().x() < r.left() && e->position().x() >= r.left() - indentation() &&
                node->childIndicatorPolicy() != QTreeWidgetItem::DontShowIndicator &&
                (node->childCount() > 0 || node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator)) {
                Expand(node, TVE_TOGGLE, true);
                return;
            }
        }
        cause = TVC_BYMOUSE;
        QTreeWidget::mousePressEvent(e);
        cause = TVC_UNKNOWN;
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QTreeWidget::mouseReleaseEvent(e);
        if (IsWindow(hwnd) && (e->button() == Qt::LeftButton || e->button() == Qt::RightButton))
            SendNotify(hwnd, e->button() == Qt::LeftButton ? NM_CLICK : NM_RCLICK);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        QTreeWidget::mouseDoubleClickEvent(e);
        if (!IsWindow(hwnd) || e->button() != Qt::LeftButton)
            return;
        if (SendNotify(hwnd, NM_DBLCLK) != 0 || !IsWindow(hwnd))
            return;
        const QModelIndex at = indexAt(e->position().toPoint());
        if (at.isValid())
            Expand(AsNode(itemFromIndex(at)), TVE_TOGGLE, true);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        NMTVKEYDOWN nm{};
        nm.wVKey = static_cast<WORD>(VirtualKeyFromQt(e->key(), e->modifiers()));
        SendNotify(hwnd, TVN_KEYDOWN, &nm.hdr);
        if (!IsWindow(hwnd))
            return;
        TreeNode* cur = Selected();
        if (cur) {
            const bool has = cur->childCount() > 0 || cur->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
            switch (e->key()) {
            case Qt::Key_Plus:
                Expand(cur, TVE_EXPAND, true);
                return;
            case Qt::Key_Minus:
                Expand(cur, TVE_COLLAPSE, true);
                return;
            case Qt::Key_Right:
                if (has && !cur->isExpanded()) {
                    Expand(cur, TVE_EXPAND, true);
                    return;
                }
                if (cur->childCount() > 0)
                    Select(AsNode(cur->child(0)), TVC_BYKEYBOARD);
                return;
            case Qt::Key_Left:
                if (cur->isExpanded()) {
                    Expand(cur, TVE_COLLAPSE, true);
                    return;
                }
                if (cur->parent())
                    Select(AsNode(cur->parent()), TVC_BYKEYBOARD);
                return;
            default:
                break;
            }
        }
        cause = TVC_BYKEYBOARD;
        QTreeWidget::keyPressEvent(e);
        cause = TVC_UNKNOWN;
    }
};

void TreeSelection::select(const QModelIndex& index, SelectionFlags command)
{
    if (applying) {
        QItemSelectionModel::select(index, command);
        return;
    }
    if ((command & (Select | Toggle)) && index.isValid())
        m_tree.Select(TreeControl::AsNode(m_tree.itemFromIndex(index)), m_tree.cause);
}

void TreeSelection::select(const QItemSelection& selection, SelectionFlags command)
{
    if (applying) {
        QItemSelectionModel::select(selection, command);
        return;
    }
    if ((command & (Select | Toggle)) && !selection.isEmpty())
        select(selection.last().topLeft(), command);
}

void TreeSelection::setCurrentIndex(const QModelIndex& index, SelectionFlags command)
{
    if (applying) {
        QItemSelectionModel::setCurrentIndex(index, command);
        return;
    }
    if (index.isValid())
        m_tree.Select(TreeControl::AsNode(m_tree.itemFromIndex(index)), m_tree.cause);
}

LabelDelegate::LabelDelegate(TreeControl& tree, QObject* parent) : QStyledItemDelegate(parent), m_tree(tree) {}

// The new label is the parent's to accept (TVN_ENDLABELEDIT answering TRUE).
void LabelDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    TreeNode* node = TreeControl::AsNode(m_tree.itemFromIndex(index));
    if (!line || !node)
        return;
    m_tree.editCommitted = true;
    const HTREEITEM h = node->handle;
    m_tree.editing = nullptr;
    std::string text = ToUtf8(line->text());
    NMTVDISPINFO nm{};
    nm.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
    nm.item.hItem = h;
    nm.item.lParam = node->param;
    nm.item.pszText = text.data();
    nm.item.cchTextMax = static_cast<int>(text.size()) + 1;
    const LRESULT keep = SendNotify(m_tree.hwnd, TVN_ENDLABELEDIT, &nm.hdr);
    if (keep && IsWindow(m_tree.hwnd))
        if (TreeNode* still = m_tree.Node(h))
            still->setText(0, FromUtf8(text.c_str()));
}

TreeControl* ControlOf(HWND hwnd) { return dynamic_cast<TreeControl*>(WidgetOf(hwnd)); }

void ApplyItem(TreeControl& t, TreeNode* node, const TVITEM& it)
{
    if (it.mask & TVIF_TEXT)
        node->setText(0, it.pszText == LPSTR_TEXTCALLBACK ? QString() : FromUtf8(it.pszText));
    if (it.mask & TVIF_IMAGE)
        node->image = it.iImage;
    if (it.mask & TVIF_SELECTEDIMAGE)
        node->selectedImage = it.iSelectedImage;
    if (it.mask & TVIF_PARAM)
        node->param = it.lParam;
    if (it.mask & TVIF_CHILDREN)
        node->setChildIndicatorPolicy(it.cChildren != 0 ? QTreeWidgetItem::ShowIndicator
                                                        : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (it.mask & TVIF_STATE) {
        const UINT mask = it.stateMask & ~(TVIS_SELECTED | TVIS_EXPANDED);
        node->state = (node->state & ~mask) | (it.state & mask);
        QFont f = node->font(0);
        f.setBold((node->state & TVIS_BOLD) != 0);
        node->setFont(0, f);
        if (it.stateMask & TVIS_EXPANDED)
            node->setExpanded((it.state & TVIS_EXPANDED) != 0);
    }
    t.RefreshIcon(node);
}

HTREEITEM Insert(TreeControl& t, const TVINSERTSTRUCT& ins)
{
    TreeNode* parent = nullptr;
    if (ins.hParent && ins.hParent != TVI_ROOT) {
        parent = t.Node(ins.hParent);
        if (!parent)
            return nullptr;
    }
    auto* node = new TreeNode;
    node->handle = reinterpret_cast<HTREEITEM>(t.nextHandle++);
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    TVITEM it = ins.item;
    ApplyItem(t, node, it);
    const int count = parent ? parent->childCount() : t.topLevelItemCount();
    auto childAt = [&](int i) { return parent ? parent->child(i) : t.topLevelItem(i); };
    int at = count;
    if (ins.hInsertAfter == TVI_FIRST) {
        at = 0;
    } else if (ins.hInsertAfter == TVI_SORT) {
        at = 0;
        while (at < count && childAt(at)->text(0).compare(node->text(0), Qt::CaseInsensitive) <= 0)
            ++at;
    } else if (ins.hInsertAfter && ins.hInsertAfter != TVI_LAST) {
        TreeNode* after = t.Node(ins.hInsertAfter);
        if (after && after->parent() == parent)
            at = (parent ? parent->indexOfChild(after) : t.indexOfTopLevelItem(after)) + 1;
    }
    if (parent)
        parent->insertChild(at, node);
    else
        t.insertTopLevelItem(at, node);
    t.nodes[node->handle] = node;
    t.RefreshIcon(node);
    return node->handle;
}

HTREEITEM NextItem(TreeControl& t, HTREEITEM h, UINT code)
{
    TreeNode* node = t.Node(h);
    QTreeWidgetItem* found = nullptr;
    switch (code) {
    case TVGN_ROOT:
        found = t.topLevelItem(0);
        break;
    case TVGN_CARET:
        found = t.Selected();
        break;
    case TVGN_DROPHILITE:
        return t.dropHighlight;
    case TVGN_FIRSTVISIBLE:
        found = t.itemAt(QPoint(2, 2));
        break;
    case TVGN_LASTVISIBLE: {
        QTreeWidgetItem* last = t.topLevelItem(t.topLevelItemCount() - 1);
        while (last && last->isExpanded() && last->childCount() > 0)
            last = last->child(last->childCount() - 1);
        found = last;
        break;
    }
    case TVGN_CHILD:
        if (!h || h == TVI_ROOT)
            found = t.topLevelItem(0);
        else if (node)
            found = node->child(0);
        break;
    case TVGN_NEXT:
    case TVGN_PREVIOUS:
        if (node) {
            QTreeWidgetItem* parent = node->parent();
            const int i = parent ? parent->indexOfChild(node) : t.indexOfTopLevelItem(node);
            const int j = code == TVGN_NEXT ? i + 1 : i - 1;
            found = parent ? (j >= 0 && j < parent->childCount() ? parent->child(j) : nullptr)
                           : (j >= 0 ? t.topLevelItem(j) : nullptr);
        }
        break;
    case TVGN_PARENT:
        found = node ? node->parent() : nullptr;
        break;
    case TVGN_NEXTVISIBLE:
        found = node ? t.itemBelow(node) : nullptr;
        break;
    case TVGN_PREVIOUSVISIBLE:
        found = node ? t.itemAbove(node) : nullptr;
        break;
    default:
        break;
    }
    return found ? TreeControl::AsNode(found)->handle : nullptr;
}

LRESULT TreeMessage(HWND hwnd, TreeControl& t, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETFONT:
        t.setFont(wParam ? FontOf(reinterpret_cast<HFONT>(wParam)) : QFont());
        t.setProperty("qlafx_font", QVariant::fromValue(static_cast<qulonglong>(wParam)));
        return 0;
    case WM_GETFONT:
        return static_cast<LRESULT>(t.property("qlafx_font").toULongLong());
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_STYLECHANGED:
        t.setRootIsDecorated((StyleOfWindow(hwnd) & TVS_LINESATROOT) != 0);
        t.viewport()->setAcceptDrops((GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case TVM_INSERTITEM: {
        auto* ins = reinterpret_cast<const TVINSERTSTRUCT*>(lParam);
        return ins ? reinterpret_cast<LRESULT>(Insert(t, *ins)) : 0;
    }
    case TVM_DELETEITEM: {
        const auto h = reinterpret_cast<HTREEITEM>(lParam);
        if (!h || h == TVI_ROOT) {
            while (t.topLevelItemCount() > 0 && IsWindow(hwnd))
                t.Delete(TreeControl::AsNode(t.topLevelItem(t.topLevelItemCount() - 1)));
            return TRUE;
        }
        TreeNode* node = t.Node(h);
        if (!node)
            return FALSE;
        t.Delete(node);
        return TRUE;
    }
    case TVM_EXPAND: {
        TreeNode* node = t.Node(reinterpret_cast<HTREEITEM>(lParam));
        return node && t.Expand(node, static_cast<UINT>(wParam), false) ? TRUE : FALSE;
    }
    case TVM_GETITEMRECT: {
        auto* rc = reinterpret_cast<RECT*>(lParam);
        TreeNode* node = rc ? t.Node(*reinterpret_cast<HTREEITEM*>(lParam)) : nullptr;
        if (!node)
            return FALSE;
        QRect r = t.visualItemRect(node);
        if (r.isEmpty() || !t.viewport()->rect().intersects(r))
            return FALSE;
        if (!wParam)
            r.setLeft(0), r.setRight(t.viewport()->width() - 1);
        r.translate(t.viewport()->geometry().topLeft());
        *rc = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        return TRUE;
    }
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(t.nodes.size());
    case TVM_GETINDENT:
        return t.indentation();
    case TVM_SETINDENT:
        t.setIndentation(static_cast<int>(wParam));
        return 0;
    case TVM_GETIMAGELIST:
        return wParam < 3 ? reinterpret_cast<LRESULT>(t.images[wParam]) : 0;
    case TVM_SETIMAGELIST: {
        if (wParam >= 3)
            return 0;
        const HIMAGELIST old = t.images[wParam];
        t.images[wParam] = reinterpret_cast<HIMAGELIST>(lParam);
        t.RefreshAll();
        return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM:
        return reinterpret_cast<LRESULT>(NextItem(t, reinterpret_cast<HTREEITEM>(lParam), static_cast<UINT>(wParam)));
    case TVM_SELECTITEM: {
        const auto h = reinterpret_cast<HTREEITEM>(lParam);
        TreeNode* node = t.Node(h);
        if (h && !node)
            return FALSE;
        switch (wParam) {
        case TVGN_CARET:
            return t.Select(node, TVC_UNKNOWN) ? TRUE : FALSE;
        case TVGN_DROPHILITE: {
            TreeNode* old = t.Node(t.dropHighlight);
            t.dropHighlight = h;
            for (TreeNode* n : {old, node})
                if (n)
                    n->setBackground(0, n == node ? QBrush(ToQColor(GetSysColor(COLOR_HIGHLIGHT))) : QBrush());
            return TRUE;
        }
        case TVGN_FIRSTVISIBLE:
            if (node)
                t.scrollToItem(node, QAbstractItemView::PositionAtTop);
            return TRUE;
        default:
            return FALSE;
        }
    }
    case TVM_GETITEM: {
        auto* it = reinterpret_cast<TVITEM*>(lParam);
        TreeNode* node = it ? t.Node(it->hItem) : nullptr;
        if (!node)
            return FALSE;
        if (it->mask & TVIF_TEXT)
            CopyText(node->text(0), it->pszText, it->cchTextMax);
        if (it->mask & TVIF_IMAGE)
            it->iImage = node->image;
        if (it->mask & TVIF_SELECTEDIMAGE)
            it->iSelectedImage = node->selectedImage;
        if (it->mask & TVIF_PARAM)
            it->lParam = node->param;
        if (it->mask & TVIF_STATE)
            it->state = t.StateOf(node) & it->stateMask;
        if (it->mask & TVIF_CHILDREN)
            it->cChildren = node->childCount() > 0 || node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
        return TRUE;
    }
    case TVM_SETITEM: {
        auto* it = reinterpret_cast<const TVITEM*>(lParam);
        TreeNode* node = it ? t.Node(it->hItem) : nullptr;
        if (!node)
            return FALSE;
        ApplyItem(t, node, *it);
        return TRUE;
    }
    case TVM_EDITLABEL: {
        TreeNode* node = t.Node(reinterpret_cast<HTREEITEM>(lParam));
        if (!node || !(StyleOfWindow(hwnd) & TVS_EDITLABELS))
            return 0;
        NMTVDISPINFO nm{};
        nm.item = t.Describe(node);
        std::string text = ToUtf8(node->text(0));
        nm.item.mask |= TVIF_TEXT;
        nm.item.pszText = text.data();
        if (SendNotify(hwnd, TVN_BEGINLABELEDIT, &nm.hdr) != 0 || !IsWindow(hwnd) || !t.Node(nm.item.hItem))
            return 0;
        t.editing = node->handle;
        t.editCommitted = false;
        t.editItem(node, 0);
        return 0;  // the editor is a Qt line edit, not a window of its own
    }
    case TVM_ENDEDITLABELNOW:
        return t.EndEdit(wParam != 0) ? TRUE : FALSE;
    case TVM_GETVISIBLECOUNT: {
        const int h = t.sizeHintForRow(0);
        return h > 0 ? t.viewport()->height() / h : 0;
    }
    case TVM_HITTEST: {
        auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!info)
            return 0;
        const QPoint vp = QPoint(info->pt.x, info->pt.y) - t.viewport()->geometry().topLeft();
        info->hItem = nullptr;
        if (!t.viewport()->rect().contains(vp)) {
            info->flags = vp.y() < 0 ? TVHT_ABOVE : vp.y() >= t.viewport()->height() ? TVHT_BELOW
                          : vp.x() < 0 ? TVHT_TOLEFT : TVHT_TORIGHT;
            return 0;
        }
        QTreeWidgetItem* item = t.itemAt(vp);
        if (!item) {
            info->flags = TVHT_NOWHERE;
            return 0;
        }
        auto* node = TreeControl::AsNode(item);
        info->hItem = node->handle;
        const QRect r = t.visualItemRect(item);
        const int icon = node->icon(0).isNull() ? 0 : t.iconSize().width() + 4;
        if (vp.x() < r.left())
            info->flags = vp.x() >= r.left() - t.indentation() ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
        else if (vp.x() < r.left() + icon)
            info->flags = TVHT_ONITEMICON;
        else if (vp.x() < r.left() + icon + t.fontMetrics().horizontalAdvance(item->text(0)) + 6)
            info->flags = TVHT_ONITEMLABEL;
        else
            info->flags = TVHT_ONITEMRIGHT;
        return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_SORTCHILDREN: {
        const auto h = reinterpret_cast<HTREEITEM>(lParam);
        if (!h || h == TVI_ROOT) {
            t.sortItems(0, Qt::AscendingOrder);
            return TRUE;
        }
        TreeNode* node = t.Node(h);
        if (!node)
            return FALSE;
        node->sortChildren(0, Qt::AscendingOrder);
        return TRUE;
    }
    case TVM_ENSUREVISIBLE: {
        TreeNode* node = t.Node(reinterpret_cast<HTREEITEM>(lParam));
        if (!node)
            return FALSE;
        t.EnsureVisible(node);
        return TRUE;
    }
    case TVM_SETITEMHEIGHT: {
        const int old = t.sizeHintForRow(0);
        const int h = static_cast<SHORT>(wParam);
        t.setUniformRowHeights(true);
        t.setStyleSheet(h > 0 ? QStringLiteral("QTreeView::item { height: %1px; }").arg(h) : QString());
        return old;
    }
    case TVM_GETITEMHEIGHT:
        return t.sizeHintForRow(0) > 0 ? t.sizeHintForRow(0) : t.fontMetrics().height() + 2;
    case TVM_SETBKCOLOR:
    case TVM_SETTEXTCOLOR: {
        COLORREF& slot = msg == TVM_SETBKCOLOR ? t.bk : t.text;
        const COLORREF old = slot;
        slot = static_cast<COLORREF>(lParam);
        QPalette pal = t.palette();
        const int sys = msg == TVM_SETBKCOLOR ? COLOR_WINDOW : COLOR_WINDOWTEXT;
        const QColor color = ToQColor(slot == CLR_NONE ? GetSysColor(sys) : slot);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, msg == TVM_SETBKCOLOR ? QPalette::Base : QPalette::Text, color);
        t.setPalette(pal);
        return static_cast<LRESULT>(old);
    }
    case TVM_GETBKCOLOR:
        return static_cast<LRESULT>(t.bk);
    case TVM_GETTEXTCOLOR:
        return static_cast<LRESULT>(t.text);
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT TreeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TreeControl* t = ControlOf(hwnd);
    if (!t)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return TreeMessage(hwnd, *t, msg, wParam, lParam);
}

}  // namespace

void RegisterTreeViewClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &TreeProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        auto* tree = new TreeControl(hwnd, static_cast<DWORD>(cs.style), parent);
        tree->viewport()->setAcceptDrops((cs.dwExStyle & WS_EX_ACCEPTFILES) != 0);
        BridgeWidgetEvents(hwnd, tree->viewport());
        return tree;
    };
    RegisterBuiltinClass(WC_TREEVIEW, std::move(cls));
}

}  // namespace qlafx

// ---- CTreeCtrl ----

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create(WC_TREEVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCT ins{};
    ins.hParent = hParent;
    ins.hInsertAfter = hInsertAfter;
    ins.item.mask = nMask;
    ins.item.pszText = const_cast<LPSTR>(lpszItem);
    ins.item.iImage = nImage;
    ins.item.iSelectedImage = nSelectedImage;
    ins.item.state = nState;
    ins.item.stateMask = nStateMask;
    ins.item.lParam = lParam;
    return InsertItem(&ins);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0,
                      hParent, hInsertAfter);
}

CImageList* CTreeCtrl::GetImageList(int nImageList) const
{
    return CImageList::FromHandle(
        reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, static_cast<WPARAM>(nImageList))));
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(
        TVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType),
        reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    TVITEM it{};
    it.hItem = hItem;
    it.mask = nMask;
    it.pszText = const_cast<LPSTR>(lpszItem);
    it.iImage = nImage;
    it.iSelectedImage = nSelectedImage;
    it.state = nState;
    it.stateMask = nStateMask;
    it.lParam = lParam;
    return SetItem(&it);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    for (int size = 256;; size *= 4) {
        std::string buf(static_cast<std::size_t>(size), '\0');
        TVITEM it{};
        it.hItem = hItem;
        it.mask = TVIF_TEXT;
        it.pszText = buf.data();
        it.cchTextMax = size;
        if (!GetItem(&it))
            return CString();
        const std::size_t n = std::strlen(buf.c_str());
        if (n + 4 < static_cast<std::size_t>(size) || size > (1 << 24))
            return CString(buf.c_str());
    }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCSTR lpszItem)
{
    return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    TVITEM it{};
    it.hItem = hItem;
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    if (!GetItem(&it))
        return FALSE;
    nImage = it.iImage;
    nSelectedImage = it.iSelectedImage;
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
    return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    TVITEM it{};
    it.hItem = hItem;
    it.mask = TVIF_STATE;
    it.stateMask = nStateMask;
    GetItem(&it);
    return it.state & nStateMask;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
    return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    TVITEM it{};
    it.hItem = hItem;
    it.mask = TVIF_PARAM;
    GetItem(&it);
    return static_cast<DWORD_PTR>(it.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, static_cast<LPARAM>(dwData));
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    if (!lpRect)
        return FALSE;
    *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
    return static_cast<BOOL>(
        SendMessage(TVM_GETITEMRECT, static_cast<WPARAM>(bTextOnly), reinterpret_cast<LPARAM>(lpRect)));
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem)
{
    SendMessage(TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(hItem));
    return nullptr;
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    TVHITTESTINFO info{};
    info.pt = pt;
    const HTREEITEM h = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return h;
}
