// "SysListView32": the items live here (texts per column, image, state,
// data); a QTreeView shows them in report view, a QListView in the icon,
// small-icon and list views. Item states are ours: every change, the
// user's included, asks the parent first with LVN_ITEMCHANGING (a non-zero
// answer refuses it) and reports LVN_ITEMCHANGED. Items are painted here,
// with NM_CUSTOMDRAW for the whole view, each item and each sub-item.
#include "platform/afx/CommCtrlSupport.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WndRecord.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace qlafx {
namespace {

struct ListItem {
    std::vector<QString> texts;  // per column; [0] the item's label
    int image = -1;
    LPARAM param = 0;
    UINT state = 0;
    int indent = 0;
};

struct ListColumn {
    QString title;
    int fmt = LVCFMT_LEFT;
    int width = 100;
    int subItem = 0;
};

// What custom draw decided for the item being painted.
struct ItemPaint {
    LRESULT result = CDRF_DODEFAULT;
    COLORREF text = 0;
    COLORREF textBk = CLR_NONE;
    HFONT font = nullptr;
    UINT state = 0;
};

struct ListCore;

constexpr int kNoFocus = -2;

class ListModel : public QAbstractTableModel {
public:
    explicit ListModel(ListCore& core) : m_core(core) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void Reset()
    {
        beginResetModel();
        endResetModel();
    }
    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveColumns;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveColumns;
    using QAbstractTableModel::endRemoveRows;

private:
    ListCore& m_core;
};

class ListSelection;

struct ListCore {
    HWND hwnd = nullptr;
    std::vector<ListItem> items;
    std::vector<ListColumn> columns;
    HIMAGELIST images[3] = {nullptr, nullptr, nullptr};
    COLORREF bk = CLR_DEFAULT;
    COLORREF text = CLR_DEFAULT;
    COLORREF textBk = CLR_DEFAULT;
    DWORD exStyle = 0;
    HCURSOR hotCursor = nullptr;
    int selectionMark = -1;
    HFONT font = nullptr;
    bool report = false;
    bool applying = false;  // our own changes to Qt's selection
    int pendingFocus = kNoFocus;
    LRESULT paintResult = CDRF_DODEFAULT;
    ItemPaint row;  // report view: the row being drawn
    QAbstractItemView* view = nullptr;
    ListModel* model = nullptr;
    ListSelection* selection = nullptr;

    bool Valid(int i) const { return i >= 0 && i < static_cast<int>(items.size()); }
    int Count() const { return static_cast<int>(items.size()); }
    QString Text(int i, int sub) const
    {
        if (!Valid(i) || sub < 0 || sub >= static_cast<int>(items[static_cast<std::size_t>(i)].texts.size()))
            return {};
        return items[static_cast<std::size_t>(i)].texts[static_cast<std::size_t>(sub)];
    }
    HIMAGELIST ItemImages() const
    {
        const DWORD type = StyleOfWindow(hwnd) & LVS_TYPEMASK;
        return type == LVS_ICON ? images[LVSIL_NORMAL] : images[LVSIL_SMALL];
    }
    COLORREF TextColor() const { return text == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : text; }
    COLORREF TextBkColor() const { return textBk == CLR_DEFAULT ? CLR_NONE : textBk; }
    COLORREF BkColor() const { return bk == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : bk; }
    HFONT Font() const { return font ? font : DefaultGuiFont(); }
    int FocusedRow() const
    {
        for (int i = 0; i < Count(); ++i)
            if (items[static_cast<std::size_t>(i)].state & LVIS_FOCUSED)
                return i;
        return -1;
    }

    // The client rectangle of a Qt item rectangle of the viewport.
    QRect ToClient(const QRect& r) const { return r.translated(view->viewport()->geometry().topLeft()); }
    QRect RowRect(int row) const;
    QRect CellRect(int row, int col) const;

    std::vector<bool> SelectedRows() const
    {
        std::vector<bool> sel(static_cast<std::size_t>(Count()));
        for (int i = 0; i < Count(); ++i)
            sel[static_cast<std::size_t>(i)] = (items[static_cast<std::size_t>(i)].state & LVIS_SELECTED) != 0;
        return sel;
    }
    // A move of the current item that no selection followed.
    void FlushFocus()
    {
        if (pendingFocus == kNoFocus)
            return;
        const int focus = pendingFocus;
        pendingFocus = kNoFocus;
        ApplyStates(SelectedRows(), focus);
    }

    bool ChangeState(int row, UINT state, UINT mask);
    void ApplyStates(const std::vector<bool>& selected, int focus);
    void SyncSelection();
    void InsertAt(int index, ListItem item);
    void Remove(int index);
};

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_core.Count(); }

int ListModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_core.report ? std::max<int>(1, static_cast<int>(m_core.columns.size())) : 1;
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_core.Text(index.row(), index.column());
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(m_core.columns.size()))
        return {};
    const ListColumn& c = m_core.columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return c.title;
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(((c.fmt & 3) == LVCFMT_RIGHT    ? Qt::AlignRight
                                 : (c.fmt & 3) == LVCFMT_CENTER ? Qt::AlignHCenter
                                                                : Qt::AlignLeft) |
                                Qt::AlignVCenter);
    return {};
}

// Selections and the current item requested by the view (the user's
// clicks and keys) become state changes the parent may refuse. The view
// moves the current item first and selects after; both go out as one
// change per item, as Windows reports a click.
class ListSelection : public QItemSelectionModel {
public:
    ListSelection(ListCore& core, QAbstractItemModel* model) : QItemSelectionModel(model), m_core(core) {}

    void select(const QModelIndex& index, SelectionFlags command) override
    {
        select(QItemSelection(index, index), command);
    }
    void select(const QItemSelection& selection, SelectionFlags command) override
    {
        if (m_core.applying) {
            QItemSelectionModel::select(selection, command);
            return;
        }
        const int focus = m_core.pendingFocus != kNoFocus ? m_core.pendingFocus : m_core.FocusedRow();
        m_core.pendingFocus = kNoFocus;
        m_core.ApplyStates(Wanted(selection, command), focus);
    }
    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override
    {
        if (m_core.applying) {
            QItemSelectionModel::setCurrentIndex(index, command);
            return;
        }
        const int row = index.isValid() ? index.row() : -1;
        if (command == NoUpdate) {
            m_core.pendingFocus = row;  // a selection usually follows
            return;
        }
        m_core.pendingFocus = kNoFocus;
        m_core.ApplyStates(Wanted(QItemSelection(index, index), command), row);
    }

private:
    std::vector<bool> Wanted(const QItemSelection& selection, SelectionFlags command) const
    {
        std::vector<bool> sel = m_core.SelectedRows();
        if (command & Clear)
            std::fill(sel.begin(), sel.end(), false);
        for (const QItemSelectionRange& range : selection)
            for (int r = range.top(); r <= range.bottom(); ++r) {
                if (!m_core.Valid(r))
                    continue;
                auto&& slot = sel[static_cast<std::size_t>(r)];
                if (command & Toggle)
                    slot = !slot;
                else if (command & Select)
                    slot = true;
                else if (command & Deselect)
                    slot = false;
            }
        if ((StyleOfWindow(m_core.hwnd) & LVS_SINGLESEL) && std::count(sel.begin(), sel.end(), true) > 1) {
            // One selected item at most: the last one asked for wins.
            const int keep = selection.isEmpty() ? -1 : selection.last().bottom();
            for (int i = 0; i < static_cast<int>(sel.size()); ++i)
                sel[static_cast<std::size_t>(i)] = i == keep;
        }
        return sel;
    }

    ListCore& m_core;
};

bool ListCore::ChangeState(int row, UINT state, UINT mask)
{
    if (!Valid(row))
        return false;
    ListItem& it = items[static_cast<std::size_t>(row)];
    const UINT old = it.state;
    const UINT now = (old & ~mask) | (state & mask);
    if (now == old)
        return true;
    NMLISTVIEW nm{};
    nm.iItem = row;
    nm.uNewState = now;
    nm.uOldState = old;
    nm.uChanged = LVIF_STATE;
    nm.lParam = it.param;
    if (SendNotify(hwnd, LVN_ITEMCHANGING, &nm.hdr) != 0 || !IsWindow(hwnd) || !Valid(row))
        return false;
    items[static_cast<std::size_t>(row)].state = now;
    NMLISTVIEW done = nm;
    SendNotify(hwnd, LVN_ITEMCHANGED, &done.hdr);
    return true;
}

// Items losing their selection or focus go first, as on Windows.
void ListCore::ApplyStates(const std::vector<bool>& selected, int focus)
{
    const HWND self = hwnd;
    auto target = [&](int r) {
        const bool sel = r < static_cast<int>(selected.size()) && selected[static_cast<std::size_t>(r)];
        return (sel ? LVIS_SELECTED : 0u) | (r == focus ? LVIS_FOCUSED : 0u);
    };
    for (int pass = 0; pass < 2; ++pass)
        for (int r = 0; r < Count(); ++r) {
            const UINT old = items[static_cast<std::size_t>(r)].state & (LVIS_SELECTED | LVIS_FOCUSED);
            const UINT want = target(r);
            const bool losing = (old & ~want) != 0;
            if (old == want || (pass == 0) != losing)
                continue;
            ChangeState(r, want, LVIS_SELECTED | LVIS_FOCUSED);
            if (!IsWindow(self))
                return;
        }
    if (Valid(focus) && (items[static_cast<std::size_t>(focus)].state & LVIS_SELECTED))
        selectionMark = focus;
    SyncSelection();
}

// Qt's selection and current item follow the items' states.
void ListCore::SyncSelection()
{
    if (!view || !selection)
        return;
    applying = true;
    QItemSelection sel;
    for (int r = 0; r < Count(); ++r)
        if (items[static_cast<std::size_t>(r)].state & LVIS_SELECTED)
            sel.select(model->index(r, 0), model->index(r, model->columnCount() - 1));
    selection->select(sel, QItemSelectionModel::ClearAndSelect);
    const int focus = FocusedRow();
    selection->setCurrentIndex(focus >= 0 ? model->index(focus, 0) : QModelIndex(), QItemSelectionModel::NoUpdate);
    applying = false;
    view->viewport()->update();
}

QRect ListCore::RowRect(int row) const
{
    if (!Valid(row))
        return {};
    QRect r = view->visualRect(model->index(row, 0));
    if (report)
        for (int c = 1; c < model->columnCount(); ++c)
            r = r.united(view->visualRect(model->index(row, c)));
    return ToClient(r);
}

QRect ListCore::CellRect(int row, int col) const
{
    if (!Valid(row) || col < 0 || col >= model->columnCount())
        return {};
    return ToClient(view->visualRect(model->index(row, col)));
}

void ListCore::InsertAt(int index, ListItem item)
{
    model->beginInsertRows({}, index, index);
    items.insert(items.begin() + index, std::move(item));
    model->endInsertRows();
    if (selectionMark >= index)
        ++selectionMark;
    SyncSelection();
}

void ListCore::Remove(int index)
{
    model->beginRemoveRows({}, index, index);
    items.erase(items.begin() + index);
    model->endRemoveRows();
    if (selectionMark == index)
        selectionMark = -1;
    else if (selectionMark > index)
        --selectionMark;
    SyncSelection();
}

// ---- painting ----

UINT ItemStateBits(const ListCore& core, int row, const QStyleOptionViewItem& option)
{
    UINT s = 0;
    const UINT st = core.items[static_cast<std::size_t>(row)].state;
    if (st & LVIS_SELECTED)
        s |= CDIS_SELECTED;
    if ((st & LVIS_FOCUSED) && core.view->hasFocus())
        s |= CDIS_FOCUS;
    if (option.state & QStyle::State_MouseOver)
        s |= CDIS_HOT;
    if (!IsWindowEnabled(core.hwnd))
        s |= CDIS_DISABLED;
    return s;
}

// One NM_CUSTOMDRAW round for an item (sub = -1) or a sub-item, drawn on
// canvas placed at rect (client coordinates). paint holds the colours,
// font and state in and out.
LRESULT AskItem(ListCore& core, DWORD stage, int row, int sub, const QRect& rect, ItemCanvas& canvas,
                ItemPaint& paint)
{
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.dwDrawStage = stage;
    cd.nmcd.hdc = canvas.Dc();
    cd.nmcd.rc = RECT{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    cd.nmcd.uItemState = paint.state;
    cd.nmcd.lItemlParam = core.items[static_cast<std::size_t>(row)].param;
    cd.clrText = paint.text;
    cd.clrTextBk = paint.textBk;
    cd.iSubItem = sub < 0 ? 0 : sub;
    HGDIOBJ before = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    const LRESULT r = SendNotify(core.hwnd, NM_CUSTOMDRAW, &cd.nmcd.hdr);
    paint.text = cd.clrText;
    paint.textBk = cd.clrTextBk;
    paint.state = cd.nmcd.uItemState;
    HGDIOBJ after = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    if (after != before)
        paint.font = static_cast<HFONT>(after);
    return r;
}

ItemCanvas* NewCanvas(ListCore& core, const QRect& rect)
{
    auto* canvas = new ItemCanvas(rect.width(), rect.height(), core.BkColor());
    SetViewportOrgEx(canvas->Dc(), -rect.left(), -rect.top(), nullptr);
    SelectObject(canvas->Dc(), core.Font());
    return canvas;
}

// The default look of one cell: background, the image in the first
// column, the text.
void DrawCell(ListCore& core, QPainter* painter, const QRect& r, int row, int col, const ItemPaint& paint,
              bool iconMode)
{
    const bool selectedLook = (paint.state & CDIS_SELECTED) &&
                              (core.view->hasFocus() || (StyleOfWindow(core.hwnd) & LVS_SHOWSELALWAYS)) &&
                              (col == 0 || (core.exStyle & LVS_EX_FULLROWSELECT));
    COLORREF fore = paint.text;
    if (selectedLook) {
        painter->fillRect(r, ToQColor(GetSysColor(core.view->hasFocus() ? COLOR_HIGHLIGHT : COLOR_BTNFACE)));
        if (core.view->hasFocus())
            fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (paint.textBk != CLR_NONE && paint.textBk != CLR_DEFAULT) {
        painter->fillRect(r, ToQColor(paint.textBk));
    }
    QRect textRect = r.adjusted(2, 0, -2, 0);
    const ListItem& item = core.items[static_cast<std::size_t>(row)];
    HIMAGELIST list = core.ItemImages();
    int cx = 0, cy = 0;
    if (col == 0 && list && ImageList_GetIconSize(list, &cx, &cy)) {
        const QImage img = ImageListPicture(list, item.image);
        if (iconMode) {
            if (!img.isNull())
                painter->drawImage(QPoint(r.left() + (r.width() - cx) / 2, r.top() + 2), img);
            textRect = QRect(r.left(), r.top() + cy + 4, r.width(), r.height() - cy - 4);
        } else {
            const int x = r.left() + 2 + item.indent * cx;
            if (!img.isNull())
                painter->drawImage(QPoint(x, r.top() + (r.height() - cy) / 2), img);
            textRect.setLeft(x + cx + 2);
        }
    }
    painter->setFont(FontOf(paint.font ? paint.font : core.Font()));
    painter->setPen(ToQColor(fore));
    int align = Qt::AlignVCenter | Qt::AlignLeft;
    if (iconMode)
        align = Qt::AlignTop | Qt::AlignHCenter;
    else if (col > 0 && col < static_cast<int>(core.columns.size())) {
        const int fmt = core.columns[static_cast<std::size_t>(col)].fmt & 3;
        align = Qt::AlignVCenter |
            (fmt == LVCFMT_RIGHT        ? Qt::AlignRight
                 : fmt == LVCFMT_CENTER ? Qt::AlignHCenter
                                        : Qt::AlignLeft);
    }
    const QString text = painter->fontMetrics().elidedText(core.Text(row, col), Qt::ElideRight, textRect.width());
    painter->drawText(textRect, align, text);
}

class ListDelegate : public QStyledItemDelegate {
public:
    ListDelegate(ListCore& core, QObject* parent) : QStyledItemDelegate(parent), m_core(core) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int row = index.row(), col = index.column();
        if (!m_core.Valid(row))
            return;
        const QRect client = m_core.ToClient(option.rect);
        ItemPaint paint;
        if (m_core.report) {
            paint = m_core.row;  // the item's round ran in drawRow
        } else {
            paint.text = m_core.TextColor();
            paint.textBk = m_core.TextBkColor();
            paint.state = ItemStateBits(m_core, row, option);
            if (m_core.paintResult & CDRF_NOTIFYITEMDRAW) {
                std::unique_ptr<ItemCanvas> canvas(NewCanvas(m_core, client));
                paint.result = AskItem(m_core, CDDS_ITEMPREPAINT, row, -1, client, *canvas, paint);
                if (paint.result & CDRF_SKIPDEFAULT) {
                    painter->drawImage(option.rect.topLeft(), canvas->Picture());
                    return;
                }
            }
        }
        if (m_core.report && (paint.result & CDRF_NOTIFYSUBITEMDRAW)) {
            std::unique_ptr<ItemCanvas> canvas(NewCanvas(m_core, client));
            paint.result = AskItem(m_core, CDDS_ITEMPREPAINT | CDDS_SUBITEM, row, col, client, *canvas, paint);
            if (!IsWindow(m_core.hwnd))
                return;
            if (paint.result & CDRF_SKIPDEFAULT) {
                painter->drawImage(option.rect.topLeft(), canvas->Picture());
                return;
            }
        }
        DrawCell(m_core, painter, option.rect, row, col, paint, !m_core.report &&
                 (StyleOfWindow(m_core.hwnd) & LVS_TYPEMASK) == LVS_ICON);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        int cx = 0, cy = 0;
        if (HIMAGELIST list = m_core.ItemImages())
            ImageList_GetIconSize(list, &cx, &cy);
        const QFontMetrics fm(FontOf(m_core.Font()));
        const DWORD type = StyleOfWindow(m_core.hwnd) & LVS_TYPEMASK;
        if (type == LVS_ICON)
            return QSize(std::max(cx + 8, 75), cy + 2 * fm.height() + 6);
        const int h = std::max(fm.height() + 4, cy + 2);
        if (m_core.report)
            return QSize(option.rect.width(), h);
        return QSize(cx + 8 + fm.horizontalAdvance(m_core.Text(index.row(), 0)), h);
    }

private:
    ListCore& m_core;
};

// ---- the two views ----

class ListHost {
public:
    virtual ~ListHost() = default;
    ListCore core;
};

NMITEMACTIVATE Activation(ListCore& core, const QPoint& viewportPos, Qt::KeyboardModifiers mods)
{
    NMITEMACTIVATE nm{};
    const QModelIndex at = core.view->indexAt(viewportPos);
    nm.iItem = at.isValid() ? at.row() : -1;
    nm.iSubItem = at.isValid() ? at.column() : 0;
    const QPoint client = core.ToClient(QRect(viewportPos, QSize(1, 1))).topLeft();
    nm.ptAction = POINT{client.x(), client.y()};
    if (core.Valid(nm.iItem)) {
        nm.lParam = core.items[static_cast<std::size_t>(nm.iItem)].param;
        nm.uNewState = nm.uOldState = core.items[static_cast<std::size_t>(nm.iItem)].state;
    }
    if (mods & Qt::ShiftModifier)
        nm.uKeyFlags |= 0x4;  // LVKF_SHIFT
    if (mods & Qt::ControlModifier)
        nm.uKeyFlags |= 0x2;  // LVKF_CONTROL
    return nm;
}

template <class Base>
class ListWidget : public Base, public ListHost {
public:
    explicit ListWidget(QWidget* parent) : Base(parent) {}

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ListCore& c = core;
        const QRect client = c.ToClient(this->viewport()->rect());
        ItemCanvas canvas(client.width(), client.height(), c.BkColor());
        // Every stage carries the list's structure: owners cast to it.
        NMLVCUSTOMDRAW lcd{};
        NMCUSTOMDRAW& cd = lcd.nmcd;
        cd.dwDrawStage = CDDS_PREPAINT;
        cd.hdc = canvas.Dc();
        cd.rc = RECT{client.left(), client.top(), client.right() + 1, client.bottom() + 1};
        lcd.clrText = c.TextColor();
        lcd.clrTextBk = c.TextBkColor();
        c.paintResult = SendNotify(c.hwnd, NM_CUSTOMDRAW, &cd.hdr);
        if (!IsWindow(c.hwnd))
            return;
        if (c.paintResult & CDRF_SKIPDEFAULT) {
            QPainter p(this->viewport());
            p.drawImage(0, 0, canvas.Picture());
            return;
        }
        Base::paintEvent(e);
        if (c.paintResult & CDRF_NOTIFYPOSTPAINT) {
            cd.dwDrawStage = CDDS_POSTPAINT;
            SendNotify(c.hwnd, NM_CUSTOMDRAW, &cd.hdr);
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        Base::mousePressEvent(e);
        if (IsWindow(core.hwnd))
            core.FlushFocus();
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        Base::mouseReleaseEvent(e);
        if (!IsWindow(core.hwnd))
            return;
        NMITEMACTIVATE nm = Activation(core, e->position().toPoint(), e->modifiers());
        const UINT code = e->button() == Qt::RightButton ? NM_RCLICK : NM_CLICK;
        if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton)
            SendNotify(core.hwnd, code, &nm.hdr);
        if (IsWindow(core.hwnd) && e->button() == Qt::LeftButton && core.Valid(nm.iItem) &&
            (core.exStyle & LVS_EX_ONECLICKACTIVATE)) {
            NMITEMACTIVATE act = nm;
            SendNotify(core.hwnd, LVN_ITEMACTIVATE, &act.hdr);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        Base::mouseDoubleClickEvent(e);
        if (!IsWindow(core.hwnd))
            return;
        NMITEMACTIVATE nm = Activation(core, e->position().toPoint(), e->modifiers());
        SendNotify(core.hwnd, e->button() == Qt::RightButton ? NM_RDBLCLK : NM_DBLCLK, &nm.hdr);
        if (IsWindow(core.hwnd) && e->button() == Qt::LeftButton && core.Valid(nm.iItem) &&
            !(core.exStyle & LVS_EX_ONECLICKACTIVATE)) {
            NMITEMACTIVATE act = nm;
            SendNotify(core.hwnd, LVN_ITEMACTIVATE, &act.hdr);
        }
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        NMLVKEYDOWN nm{};
        nm.wVKey = static_cast<WORD>(VirtualKeyFromQt(e->key(), e->modifiers()));
        SendNotify(core.hwnd, LVN_KEYDOWN, &nm.hdr);
        if (!IsWindow(core.hwnd))
            return;
        Base::keyPressEvent(e);
        if (IsWindow(core.hwnd))
            core.FlushFocus();
    }
};

class ReportView : public ListWidget<QTreeView> {
public:
    explicit ReportView(QWidget* parent) : ListWidget<QTreeView>(parent) {}

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        ListCore& c = const_cast<ListCore&>(core);
        const int row = index.row();
        if (!c.Valid(row))
            return;
        ItemPaint paint;
        paint.text = c.TextColor();
        paint.textBk = c.TextBkColor();
        paint.state = ItemStateBits(c, row, option);
        const QRect client = c.RowRect(row);
        if (c.paintResult & CDRF_NOTIFYITEMDRAW) {
            std::unique_ptr<ItemCanvas> canvas(NewCanvas(c, client));
            paint.result = AskItem(c, CDDS_ITEMPREPAINT, row, -1, client, *canvas, paint);
            if (!IsWindow(c.hwnd))
                return;
            if (paint.result & CDRF_SKIPDEFAULT) {
                painter->drawImage(client.topLeft() - c.view->viewport()->geometry().topLeft(), canvas->Picture());
                return;
            }
        }
        c.row = paint;
        QTreeView::drawRow(painter, option, index);
        if (paint.result & CDRF_NOTIFYPOSTPAINT) {
            std::unique_ptr<ItemCanvas> canvas(NewCanvas(c, client));
            AskItem(c, CDDS_ITEMPOSTPAINT, row, -1, client, *canvas, paint);
        }
    }
};

using IconView = ListWidget<QListView>;

ListCore* CoreOf(HWND hwnd)
{
    auto* host = dynamic_cast<ListHost*>(WidgetOf(hwnd));
    return host ? &host->core : nullptr;
}

void ApplyViewStyle(ListCore& c, DWORD style)
{
    c.view->setSelectionMode((style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    c.view->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    if (auto* tree = dynamic_cast<QTreeView*>(c.view))
        tree->header()->setVisible(!(style & LVS_NOCOLUMNHEADER));
    QPalette pal = c.view->viewport()->palette();
    pal.setColor(QPalette::Base, c.bk == CLR_NONE ? QColor(Qt::transparent) : ToQColor(c.BkColor()));
    c.view->viewport()->setPalette(pal);
    c.view->viewport()->setAutoFillBackground(true);
}

// ---- messages ----

bool CopyItemOut(const ListCore& c, LVITEM& it)
{
    if (!c.Valid(it.iItem))
        return false;
    const ListItem& item = c.items[static_cast<std::size_t>(it.iItem)];
    if (it.mask & LVIF_TEXT)
        CopyText(c.Text(it.iItem, it.iSubItem), it.pszText, it.cchTextMax);
    if (it.mask & LVIF_IMAGE)
        it.iImage = item.image;
    if (it.mask & LVIF_PARAM)
        it.lParam = item.param;
    if (it.mask & LVIF_STATE)
        it.state = item.state & it.stateMask;
    if (it.mask & LVIF_INDENT)
        it.iIndent = item.indent;
    return true;
}

// Text, image, data and indent of an item or sub-item; an item's change
// asks LVN_ITEMCHANGING with the fields changed.
bool SetItemFields(ListCore& c, const LVITEM& it)
{
    if (!c.Valid(it.iItem) || it.iSubItem < 0)
        return false;
    const UINT fields = it.mask & (LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT);
    if (fields && it.iSubItem == 0) {
        NMLISTVIEW nm{};
        nm.iItem = it.iItem;
        nm.uChanged = fields;
        nm.lParam = c.items[static_cast<std::size_t>(it.iItem)].param;
        if (SendNotify(c.hwnd, LVN_ITEMCHANGING, &nm.hdr) != 0 || !c.Valid(it.iItem))
            return false;
    }
    ListItem& item = c.items[static_cast<std::size_t>(it.iItem)];
    if (it.mask & LVIF_TEXT) {
        if (item.texts.size() <= static_cast<std::size_t>(it.iSubItem))
            item.texts.resize(static_cast<std::size_t>(it.iSubItem) + 1);
        item.texts[static_cast<std::size_t>(it.iSubItem)] =
            it.pszText == LPSTR_TEXTCALLBACK ? QString() : FromUtf8(it.pszText);
    }
    if (it.iSubItem == 0) {
        if (it.mask & LVIF_IMAGE)
            item.image = it.iImage;
        if (it.mask & LVIF_PARAM)
            item.param = it.lParam;
        if (it.mask & LVIF_INDENT)
            item.indent = it.iIndent;
    }
    if (fields && it.iSubItem == 0) {
        NMLISTVIEW nm{};
        nm.iItem = it.iItem;
        nm.uChanged = fields;
        nm.lParam = item.param;
        SendNotify(c.hwnd, LVN_ITEMCHANGED, &nm.hdr);
    }
    if (IsWindow(c.hwnd))
        c.view->viewport()->update();
    return true;
}

int InsertItem(ListCore& c, const LVITEM& it)
{
    ListItem item;
    item.texts.resize(1);
    if (it.mask & LVIF_TEXT)
        item.texts[0] = it.pszText == LPSTR_TEXTCALLBACK ? QString() : FromUtf8(it.pszText);
    if (it.mask & LVIF_IMAGE)
        item.image = it.iImage;
    if (it.mask & LVIF_PARAM)
        item.param = it.lParam;
    if (it.mask & LVIF_INDENT)
        item.indent = it.iIndent;
    const DWORD style = StyleOfWindow(c.hwnd);
    int index = std::clamp(it.iItem, 0, c.Count());
    if (style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
        const bool asc = (style & LVS_SORTASCENDING) != 0;
        index = 0;
        while (index < c.Count()) {
            const int cmp = c.Text(index, 0).compare(item.texts[0], Qt::CaseInsensitive);
            if (asc ? cmp > 0 : cmp < 0)
                break;
            ++index;
        }
    }
    const UINT state = (it.mask & LVIF_STATE) ? (it.state & it.stateMask) : 0;
    item.state = state & ~(LVIS_SELECTED | LVIS_FOCUSED);
    c.InsertAt(index, std::move(item));
    NMLISTVIEW nm{};
    nm.iItem = index;
    SendNotify(c.hwnd, LVN_INSERTITEM, &nm.hdr);
    if (IsWindow(c.hwnd) && (state & (LVIS_SELECTED | LVIS_FOCUSED)) && c.Valid(index)) {
        c.ChangeState(index, state, LVIS_SELECTED | LVIS_FOCUSED);
        c.SyncSelection();
    }
    return index;
}

bool DeleteItem(ListCore& c, int index)
{
    if (!c.Valid(index))
        return false;
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.lParam = c.items[static_cast<std::size_t>(index)].param;
    SendNotify(c.hwnd, LVN_DELETEITEM, &nm.hdr);
    if (!IsWindow(c.hwnd) || !c.Valid(index))
        return false;
    c.Remove(index);
    return true;
}

int NextItem(const ListCore& c, int start, UINT flags)
{
    const UINT want = flags & (LVNI_SELECTED | LVNI_FOCUSED | LVNI_CUT | LVNI_DROPHILITED);
    for (int i = std::max(start + 1, 0); i < c.Count(); ++i)
        if ((c.items[static_cast<std::size_t>(i)].state & want) == want)
            return i;
    return -1;
}

int FindItem(const ListCore& c, int start, const LVFINDINFO& fi)
{
    const int n = c.Count();
    const int first = std::max(start + 1, 0);
    const int limit = (fi.flags & LVFI_WRAP) ? n : n - first;
    const QString text = FromUtf8(fi.psz);
    for (int k = 0; k < limit; ++k) {
        const int i = (first + k) % std::max(n, 1);
        if (fi.flags & LVFI_PARAM) {
            if (c.items[static_cast<std::size_t>(i)].param == fi.lParam)
                return i;
        } else if (fi.flags & (LVFI_STRING | LVFI_PARTIAL)) {
            const QString t = c.Text(i, 0);
            const bool hit = (fi.flags & LVFI_PARTIAL) ? t.startsWith(text, Qt::CaseInsensitive)
                                                       : t.compare(text, Qt::CaseInsensitive) == 0;
            if (hit)
                return i;
        }
    }
    return -1;
}

UINT HitTest(ListCore& c, LVHITTESTINFO& info, bool sub)
{
    const QPoint client(info.pt.x, info.pt.y);
    const QPoint vp = client - c.view->viewport()->geometry().topLeft();
    info.iItem = -1;
    info.iSubItem = 0;
    info.flags = LVHT_NOWHERE;
    if (!c.view->viewport()->rect().contains(vp)) {
        if (vp.y() < 0)
            info.flags = LVHT_ABOVE;
        else if (vp.y() >= c.view->viewport()->height())
            info.flags = LVHT_BELOW;
        else
            info.flags = vp.x() < 0 ? LVHT_TOLEFT : LVHT_TORIGHT;
        return info.flags;
    }
    const QModelIndex at = c.view->indexAt(vp);
    if (!at.isValid())
        return info.flags;
    info.iItem = at.row();
    info.iSubItem = sub ? at.column() : 0;
    info.flags = LVHT_ONITEMLABEL;
    int cx = 0, cy = 0;
    if (at.column() == 0 && c.ItemImages() && ImageList_GetIconSize(c.ItemImages(), &cx, &cy)) {
        const QRect cell = c.view->visualRect(at);
        if (vp.x() < cell.left() + 2 + cx)
            info.flags = LVHT_ONITEMICON;
    }
    return info.flags;
}

LRESULT ListMessage(HWND hwnd, ListCore& c, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    switch (msg) {
    case WM_SETFONT:
        c.font = reinterpret_cast<HFONT>(wParam);
        c.view->setFont(c.font ? FontOf(c.font) : QFont());
        c.view->viewport()->update();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(c.font);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETCURSOR: {
        // Hot tracking: over an item the pointer is the hot cursor (a hand
        // unless the owner set one).
        const DWORD hot = LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_TRACKSELECT;
        WindowRecord* rec = RecordOnThread(hwnd);
        if (reinterpret_cast<HWND>(wParam) == hwnd && (c.exStyle & hot) && rec) {
            LVHITTESTINFO info{};
            info.pt = POINT{rec->lastMouse.x(), rec->lastMouse.y()};
            if (HitTest(c, info, false) & LVHT_ONITEM) {
                SetCursor(c.hotCursor ? c.hotCursor : LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_STYLECHANGED:
        ApplyViewStyle(c, StyleOfWindow(hwnd));
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case LVM_GETBKCOLOR:
        return static_cast<LRESULT>(c.BkColor());
    case LVM_SETBKCOLOR:
        c.bk = static_cast<COLORREF>(lParam);
        ApplyViewStyle(c, StyleOfWindow(hwnd));
        return TRUE;
    case LVM_GETTEXTCOLOR:
        return static_cast<LRESULT>(c.TextColor());
    case LVM_SETTEXTCOLOR:
        c.text = static_cast<COLORREF>(lParam);
        c.view->viewport()->update();
        return TRUE;
    case LVM_GETTEXTBKCOLOR:
        return static_cast<LRESULT>(c.textBk == CLR_DEFAULT ? c.BkColor() : c.textBk);
    case LVM_SETTEXTBKCOLOR:
        c.textBk = static_cast<COLORREF>(lParam);
        c.view->viewport()->update();
        return TRUE;
    case LVM_GETIMAGELIST:
        return (index >= 0 && index < 3) ? reinterpret_cast<LRESULT>(c.images[index]) : 0;
    case LVM_SETIMAGELIST: {
        if (index < 0 || index >= 3)
            return 0;
        const HIMAGELIST old = c.images[index];
        c.images[index] = reinterpret_cast<HIMAGELIST>(lParam);
        c.view->doItemsLayout();
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETITEMCOUNT:
        return c.Count();
    case LVM_GETITEM: {
        auto* it = reinterpret_cast<LVITEM*>(lParam);
        return it && CopyItemOut(c, *it) ? TRUE : FALSE;
    }
    case LVM_SETITEM: {
        auto* it = reinterpret_cast<const LVITEM*>(lParam);
        if (!it || !SetItemFields(c, *it))
            return FALSE;
        if ((it->mask & LVIF_STATE) && it->iSubItem == 0 && IsWindow(hwnd)) {
            c.ChangeState(it->iItem, it->state, it->stateMask);
            c.SyncSelection();
        }
        return TRUE;
    }
    case LVM_INSERTITEM: {
        auto* it = reinterpret_cast<const LVITEM*>(lParam);
        return it && it->iSubItem == 0 ? InsertItem(c, *it) : -1;
    }
    case LVM_DELETEITEM:
        return DeleteItem(c, index) ? TRUE : FALSE;
    case LVM_DELETEALLITEMS: {
        NMLISTVIEW nm{};
        nm.iItem = -1;
        // A non-zero answer: no LVN_DELETEITEM per item.
        const bool quiet = SendNotify(hwnd, LVN_DELETEALLITEMS, &nm.hdr) != 0;
        if (!IsWindow(hwnd))
            return FALSE;
        while (c.Count() > 0) {
            if (quiet)
                c.Remove(c.Count() - 1);
            else if (!DeleteItem(c, c.Count() - 1))
                return FALSE;
        }
        c.selectionMark = -1;
        return TRUE;
    }
    case LVM_GETNEXTITEM:
        return NextItem(c, index, static_cast<UINT>(lParam));
    case LVM_FINDITEM: {
        auto* fi = reinterpret_cast<const LVFINDINFO*>(lParam);
        return fi ? FindItem(c, index, *fi) : -1;
    }
    case LVM_GETITEMRECT: {
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (!out || !c.Valid(index))
            return FALSE;
        const int code = out->left;
        QRect r = c.RowRect(index);
        if (code == LVIR_ICON || code == LVIR_LABEL) {
            const QRect first = c.CellRect(index, 0);
            int cx = 0, cy = 0;
            if (c.ItemImages())
                ImageList_GetIconSize(c.ItemImages(), &cx, &cy);
            r = code == LVIR_ICON ? QRect(first.left(), first.top(), cx + 2, first.height())
                                  : first.adjusted(cx + 2, 0, 0, 0);
        }
        *out = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        return TRUE;
    }
    case LVM_GETSUBITEMRECT: {
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (!out || !c.Valid(index) || out->top < 0 || out->top >= c.model->columnCount())
            return FALSE;
        const QRect r = out->top == 0 && out->left == LVIR_BOUNDS ? c.RowRect(index) : c.CellRect(index, out->top);
        *out = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        return TRUE;
    }
    case LVM_GETITEMPOSITION: {
        auto* pt = reinterpret_cast<POINT*>(lParam);
        if (!pt || !c.Valid(index))
            return FALSE;
        const QRect r = c.CellRect(index, 0);
        *pt = POINT{r.left(), r.top()};
        return TRUE;
    }
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST: {
        auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!info)
            return -1;
        HitTest(c, *info, msg == LVM_SUBITEMHITTEST);
        return info->iItem;
    }
    case LVM_ENSUREVISIBLE:
        if (!c.Valid(index))
            return FALSE;
        c.view->scrollTo(c.model->index(index, 0));
        return TRUE;
    case LVM_REDRAWITEMS:
        c.view->viewport()->update();
        return TRUE;
    case LVM_GETCOLUMN: {
        auto* col = reinterpret_cast<LVCOLUMN*>(lParam);
        if (!col || index < 0 || index >= static_cast<int>(c.columns.size()))
            return FALSE;
        const ListColumn& lc = c.columns[static_cast<std::size_t>(index)];
        if (col->mask & LVCF_FMT)
            col->fmt = lc.fmt;
        if (col->mask & LVCF_WIDTH)
            col->cx = lc.width;
        if (col->mask & LVCF_TEXT)
            CopyText(lc.title, col->pszText, col->cchTextMax);
        if (col->mask & LVCF_SUBITEM)
            col->iSubItem = lc.subItem;
        return TRUE;
    }
    case LVM_SETCOLUMN:
    case LVM_INSERTCOLUMN: {
        auto* col = reinterpret_cast<const LVCOLUMN*>(lParam);
        if (!col || index < 0)
            return msg == LVM_INSERTCOLUMN ? -1 : FALSE;
        int at = index;
        if (msg == LVM_INSERTCOLUMN) {
            at = std::min(index, static_cast<int>(c.columns.size()));
            const bool grows = at >= c.model->columnCount() || !c.columns.empty();
            if (c.report && grows)
                c.model->beginInsertColumns({}, at, at);
            ListColumn lc;
            lc.subItem = at;
            c.columns.insert(c.columns.begin() + at, lc);
            if (c.report && grows)
                c.model->endInsertColumns();
            else
                c.model->headerDataChanged(Qt::Horizontal, at, at);
        } else if (at >= static_cast<int>(c.columns.size())) {
            return FALSE;
        }
        ListColumn& lc = c.columns[static_cast<std::size_t>(at)];
        if (col->mask & LVCF_FMT)
            lc.fmt = col->fmt;
        if (col->mask & LVCF_WIDTH)
            lc.width = col->cx;
        if (col->mask & LVCF_TEXT)
            lc.title = FromUtf8(col->pszText);
        if (col->mask & LVCF_SUBITEM)
            lc.subItem = col->iSubItem;
        if (auto* tree = dynamic_cast<QTreeView*>(c.view))
            tree->setColumnWidth(at, lc.width);
        c.model->headerDataChanged(Qt::Horizontal, at, at);
        return msg == LVM_INSERTCOLUMN ? at : TRUE;
    }
    case LVM_DELETECOLUMN: {
        if (index < 0 || index >= static_cast<int>(c.columns.size()))
            return FALSE;
        const bool shrinks = c.report && c.columns.size() > 1;
        if (shrinks)
            c.model->beginRemoveColumns({}, index, index);
        c.columns.erase(c.columns.begin() + index);
        for (ListItem& it : c.items)
            if (static_cast<std::size_t>(index) < it.texts.size())
                it.texts.erase(it.texts.begin() + index);
        if (shrinks)
            c.model->endRemoveColumns();
        return TRUE;
    }
    case LVM_GETCOLUMNWIDTH: {
        if (auto* tree = dynamic_cast<QTreeView*>(c.view))
            return index >= 0 && index < static_cast<int>(c.columns.size()) ? tree->columnWidth(index) : 0;
        return c.view->sizeHintForColumn(0);
    }
    case LVM_SETCOLUMNWIDTH: {
        auto* tree = dynamic_cast<QTreeView*>(c.view);
        if (!tree || index < 0 || index >= static_cast<int>(c.columns.size()))
            return FALSE;
        int w = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
        if (w == LVSCW_AUTOSIZE)
            w = c.view->sizeHintForColumn(index);
        else if (w == LVSCW_AUTOSIZE_USEHEADER)
            w = std::max(c.view->sizeHintForColumn(index), tree->header()->sectionSizeHint(index));
        c.columns[static_cast<std::size_t>(index)].width = w;
        tree->setColumnWidth(index, w);
        return TRUE;
    }
    case LVM_GETTOPINDEX: {
        const QModelIndex top = c.view->indexAt(QPoint(2, 2));
        return top.isValid() ? top.row() : 0;
    }
    case LVM_GETCOUNTPERPAGE: {
        const int h = c.view->sizeHintForRow(0);
        return h > 0 ? c.view->viewport()->height() / h : 0;
    }
    case LVM_SETITEMSTATE: {
        auto* it = reinterpret_cast<const LVITEM*>(lParam);
        if (!it)
            return FALSE;
        if (index == -1) {
            for (int i = 0; i < c.Count() && IsWindow(hwnd); ++i)
                c.ChangeState(i, it->state, it->stateMask);
        } else {
            // A single-selection list lets the old selection go first.
            if ((StyleOfWindow(hwnd) & LVS_SINGLESEL) && (it->stateMask & it->state & LVIS_SELECTED))
                for (int i = 0; i < c.Count() && IsWindow(hwnd); ++i)
                    if (i != index && (c.items[static_cast<std::size_t>(i)].state & LVIS_SELECTED))
                        c.ChangeState(i, 0, LVIS_SELECTED);
            if (!IsWindow(hwnd) || !c.ChangeState(index, it->state, it->stateMask))
                return FALSE;
        }
        if (IsWindow(hwnd)) {
            // Only one item has the focus.
            if ((it->stateMask & LVIS_FOCUSED) && (it->state & LVIS_FOCUSED) && index >= 0)
                for (int i = 0; i < c.Count(); ++i)
                    if (i != index)
                        c.items[static_cast<std::size_t>(i)].state &= ~LVIS_FOCUSED;
            if ((it->stateMask & LVIS_SELECTED) && (it->state & LVIS_SELECTED) && index >= 0)
                c.selectionMark = index;
            c.SyncSelection();
        }
        return TRUE;
    }
    case LVM_GETITEMSTATE:
        return c.Valid(index) ? static_cast<LRESULT>(c.items[static_cast<std::size_t>(index)].state & lParam) : 0;
    case LVM_GETITEMTEXT: {
        auto* it = reinterpret_cast<LVITEM*>(lParam);
        if (!it || !c.Valid(index))
            return 0;
        return CopyText(c.Text(index, it->iSubItem), it->pszText, it->cchTextMax);
    }
    case LVM_SETITEMTEXT: {
        auto* it = reinterpret_cast<const LVITEM*>(lParam);
        if (!it)
            return FALSE;
        LVITEM copy = *it;
        copy.iItem = index;
        copy.mask = LVIF_TEXT;
        return SetItemFields(c, copy) ? TRUE : FALSE;
    }
    case LVM_GETSELECTEDCOUNT:
        return std::count_if(c.items.begin(), c.items.end(),
                             [](const ListItem& it) { return it.state & LVIS_SELECTED; });
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const DWORD old = c.exStyle;
        const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        c.exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
        if (auto* tree = dynamic_cast<QTreeView*>(c.view))
            tree->setAllColumnsShowFocus((c.exStyle & LVS_EX_FULLROWSELECT) != 0);
        c.view->viewport()->update();
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return c.exStyle;
    case LVM_SETHOTCURSOR: {
        const HCURSOR old = c.hotCursor;
        c.hotCursor = reinterpret_cast<HCURSOR>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETHOTCURSOR:
        return reinterpret_cast<LRESULT>(c.hotCursor);
    case LVM_GETSELECTIONMARK:
        return c.selectionMark;
    case LVM_SETSELECTIONMARK: {
        const int old = c.selectionMark;
        c.selectionMark = static_cast<int>(lParam);
        return old;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ListCore* c = CoreOf(hwnd);
    if (!c)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return ListMessage(hwnd, *c, msg, wParam, lParam);
}

template <class View>
View* MakeView(HWND hwnd, DWORD style, QWidget* parent, bool report)
{
    auto* view = new View(parent);
    ListCore& c = view->core;
    c.hwnd = hwnd;
    c.report = report;
    c.view = view;
    c.model = new ListModel(c);
    view->setModel(c.model);
    c.selection = new ListSelection(c, c.model);
    QItemSelectionModel* old = view->selectionModel();
    view->setSelectionModel(c.selection);
    delete old;
    // The view owns both; the selection goes first, while its model is whole.
    c.selection->setParent(view);
    c.model->setParent(view);
    view->setItemDelegate(new ListDelegate(c, view));
    view->setMouseTracking(true);
    view->viewport()->setAttribute(Qt::WA_Hover);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFrameShape((style & WS_BORDER) ? QFrame::Box : QFrame::NoFrame);
    ApplyViewStyle(c, style);
    return view;
}

}  // namespace

void RegisterListViewClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &ListProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        const DWORD style = static_cast<DWORD>(cs.style);
        const DWORD type = style & LVS_TYPEMASK;
        QAbstractItemView* view = nullptr;
        if (type == LVS_REPORT) {
            auto* tree = MakeView<ReportView>(hwnd, style, parent, true);
            tree->setRootIsDecorated(false);
            tree->setItemsExpandable(false);
            tree->setUniformRowHeights(true);
            tree->header()->setStretchLastSection(false);
            tree->header()->setSectionsClickable(!(style & LVS_NOSORTHEADER));
            QObject::connect(tree->header(), &QHeaderView::sectionClicked, tree, [hwnd](int section) {
                NMLISTVIEW nm{};
                nm.iItem = -1;
                nm.iSubItem = section;
                SendNotify(hwnd, LVN_COLUMNCLICK, &nm.hdr);
            });
            view = tree;
        } else {
            auto* list = MakeView<IconView>(hwnd, style, parent, false);
            list->setViewMode(type == LVS_ICON ? QListView::IconMode : QListView::ListMode);
            list->setFlow(type == LVS_LIST ? QListView::TopToBottom : QListView::LeftToRight);
            list->setWrapping(true);
            list->setResizeMode(QListView::Adjust);
            list->setMovement(QListView::Static);
            view = list;
        }
        BridgeWidgetEvents(hwnd, view->viewport());
        return view;
    };
    RegisterBuiltinClass(WC_LISTVIEW, std::move(cls));
}

}  // namespace qlafx

// ---- CListCtrl ----

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create(WC_LISTVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

CImageList* CListCtrl::GetImageList(int nImageList) const
{
    return CImageList::FromHandle(
        reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(nImageList))));
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(
        LVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType),
        reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCSTR lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    LVITEM it{};
    it.mask = nMask;
    it.iItem = nItem;
    it.iSubItem = nSubItem;
    it.state = nState;
    it.stateMask = nStateMask;
    it.pszText = const_cast<LPSTR>(lpszItem);
    it.iImage = nImage;
    it.lParam = lParam;
    return SetItem(&it);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam)
{
    LVITEM it{};
    it.mask = nMask;
    it.iItem = nItem;
    it.state = nState;
    it.stateMask = nStateMask;
    it.pszText = const_cast<LPSTR>(lpszItem);
    it.iImage = nImage;
    it.lParam = lParam;
    return InsertItem(&it);
}

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem) { return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0); }

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    const int first = GetNextItem(-1, LVNI_SELECTED);
    return first < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(first) + 1);
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const
{
    const int current = static_cast<int>(reinterpret_cast<std::uintptr_t>(pos)) - 1;
    const int next = GetNextItem(current, LVNI_SELECTED);
    pos = next < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(next) + 1);
    return current;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    if (!lpRect)
        return FALSE;
    lpRect->left = static_cast<LONG>(nCode);
    return static_cast<BOOL>(
        SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const
{
    RECT rc{nArea, iSubItem, 0, 0};
    const BOOL ok =
        static_cast<BOOL>(SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(iItem), reinterpret_cast<LPARAM>(&rc)));
    if (ok)
        ref = rc;
    return ok;
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO info{};
    info.pt = pt;
    const int item = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return item;
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMN col{};
    col.mask = LVCF_TEXT | LVCF_FMT;
    col.pszText = const_cast<LPSTR>(lpszColumnHeading);
    col.fmt = nFormat;
    if (nWidth != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = nWidth;
    }
    if (nSubItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &col);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEM it{};
    it.state = nState;
    it.stateMask = nMask;
    return SetItemState(nItem, &it);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // Grown until the text fits, as texts have no limit here.
    for (int size = 256;; size *= 4) {
        std::string buf(static_cast<std::size_t>(size), '\0');
        const int n = GetItemText(nItem, nSubItem, buf.data(), size);
        if (n < size - 4 || size > (1 << 24)) {
            buf.resize(static_cast<std::size_t>(std::max(n, 0)));
            return CString(buf.c_str());
        }
    }
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const
{
    LVITEM it{};
    it.iSubItem = nSubItem;
    it.pszText = lpszText;
    it.cchTextMax = nLen;
    return static_cast<int>(SendMessage(LVM_GETITEMTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&it)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText)
{
    LVITEM it{};
    it.iSubItem = nSubItem;
    it.pszText = const_cast<LPSTR>(lpszText);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&it)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEM it{};
    it.mask = LVIF_PARAM;
    it.iItem = nItem;
    GetItem(&it);
    return static_cast<DWORD_PTR>(it.lParam);
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    return SetItem(nItem, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(dwData));
}
