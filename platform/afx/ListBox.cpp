// "ListBox": a QListWidget driven by the LB_* messages. Selection changes
// made by the user are reported with LBN_SELCHANGE (LBS_NOTIFY), those made
// by the program are not, as on Windows. Owner-drawn boxes measure and
// draw their items through the parent.
#include "platform/afx/CommCtrlSupport.h"

#include <QListWidget>

#include <algorithm>

namespace qlafx {
namespace {

class ListBoxControl : public QListWidget {
public:
    ListBoxControl(HWND hwnd, DWORD style, QWidget* parent) : QListWidget(parent), m_hwnd(hwnd)
    {
        if (style & LBS_NOSEL)
            setSelectionMode(NoSelection);
        else if (style & LBS_EXTENDEDSEL)
            setSelectionMode(ExtendedSelection);
        else if (style & LBS_MULTIPLESEL)
            setSelectionMode(MultiSelection);
        else
            setSelectionMode(SingleSelection);
        setUniformItemSizes(!(style & LBS_OWNERDRAWVARIABLE));
        if (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) {
            delegate = new OwnerDrawDelegate(hwnd, ODT_LISTBOX, this);
            setItemDelegate(delegate);
        }
        setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        setFrameShape((style & WS_BORDER) ? QFrame::Box : QFrame::NoFrame);
        connect(this, &QListWidget::itemSelectionChanged, this, [this] {
            if (!programmatic && Notifies())
                NotifyParent(m_hwnd, LBN_SELCHANGE);
        });
        connect(this, &QListWidget::itemDoubleClicked, this, [this] {
            if (Notifies())
                NotifyParent(m_hwnd, LBN_DBLCLK);
        });
    }

    bool Notifies() const { return (StyleOfWindow(m_hwnd) & LBS_NOTIFY) != 0; }
    bool Single() const { return selectionMode() == SingleSelection; }
    bool OwnerDrawn() const { return delegate != nullptr; }
    bool HasStrings() const { return !OwnerDrawn() || (StyleOfWindow(m_hwnd) & LBS_HASSTRINGS); }
    bool Variable() const { return (StyleOfWindow(m_hwnd) & LBS_OWNERDRAWVARIABLE) != 0; }
    QString TextAt(int i) const { return item(i) ? item(i)->text() : QString(); }

    OwnerDrawDelegate* delegate = nullptr;
    int itemHeight = 0;  // LB_SETITEMHEIGHT of a plain box
    bool programmatic = false;

private:
    HWND m_hwnd;
};

ListBoxControl* ControlOf(HWND hwnd) { return dynamic_cast<ListBoxControl*>(WidgetOf(hwnd)); }

// Program changes do not notify.
class Quiet {
public:
    explicit Quiet(ListBoxControl& box) : m_box(box), m_was(box.programmatic) { box.programmatic = true; }
    ~Quiet() { m_box.programmatic = m_was; }

private:
    ListBoxControl& m_box;
    bool m_was;
};

int Insert(HWND hwnd, ListBoxControl& box, int index, LPARAM lParam, bool sorted)
{
    Quiet quiet(box);
    const int count = box.count();
    // Owner-drawn boxes without LBS_HASSTRINGS keep lParam as the item's data.
    const QString text = box.HasStrings() ? FromUtf8(reinterpret_cast<const char*>(lParam)) : QString();
    if (sorted && box.HasStrings())
        index = SortedInsertPos([&](int i) { return box.TextAt(i); }, count, text);
    else if (index < 0 || index > count)
        index = index < 0 ? count : -2;
    if (index == -2)
        return LB_ERR;
    auto* item = new QListWidgetItem(text);
    item->setData(kDataRole, QVariant::fromValue<qulonglong>(box.HasStrings() ? 0 : static_cast<qulonglong>(lParam)));
    if (box.itemHeight > 0)
        item->setSizeHint(QSize(-1, box.itemHeight));
    box.insertItem(index, item);
    if (box.OwnerDrawn() && box.Variable()) {
        const int h =
            MeasureOwnerItem(hwnd, ODT_LISTBOX, index, static_cast<ULONG_PTR>(item->data(kDataRole).toULongLong()),
                             box.viewport()->width(), box.fontMetrics().height() + 2);
        item->setData(kHeightRole, h);
    }
    return index;
}

void SelectOnly(ListBoxControl& box, int index)
{
    Quiet quiet(box);
    box.clearSelection();
    if (index >= 0 && index < box.count()) {
        box.setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        box.scrollToItem(box.item(index));
    } else {
        box.setCurrentRow(-1, QItemSelectionModel::Clear);
    }
}

LRESULT ListBoxMessage(HWND hwnd, ListBoxControl& box, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int count = box.count();
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    const bool valid = index >= 0 && index < count;
    switch (msg) {
    case WM_CREATE:
        if (box.OwnerDrawn() && !box.Variable())
            box.delegate->fixedHeight =
                MeasureOwnerItem(hwnd, ODT_LISTBOX, 0, 0, box.width(), box.fontMetrics().height() + 2);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        if (IsWindow(hwnd))
            NotifyParent(hwnd, msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return r;
    }
    case WM_SETFONT:
        box.setFont(wParam ? FontOf(reinterpret_cast<HFONT>(wParam)) : QFont());
        box.setProperty("qlafx_font", QVariant::fromValue(static_cast<qulonglong>(wParam)));
        return 0;
    case WM_GETFONT:
        return static_cast<LRESULT>(box.property("qlafx_font").toULongLong());
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_ADDSTRING:
        return Insert(hwnd, box, -1, lParam, (StyleOfWindow(hwnd) & LBS_SORT) != 0);
    case LB_INSERTSTRING:
        return Insert(hwnd, box, index, lParam, false);
    case LB_DELETESTRING: {
        if (!valid)
            return LB_ERR;
        Quiet quiet(box);
        delete box.takeItem(index);
        return box.count();
    }
    case LB_RESETCONTENT: {
        Quiet quiet(box);
        box.clear();
        return 0;
    }
    case LB_GETCOUNT:
        return count;
    case LB_GETTEXT:
        if (!valid)
            return LB_ERR;
        // The caller's buffer is as large as LB_GETTEXTLEN says.
        return CopyText(box.TextAt(index), reinterpret_cast<char*>(lParam),
                        static_cast<int>(ToUtf8(box.TextAt(index)).size()) + 1);
    case LB_GETTEXTLEN:
        return valid ? static_cast<LRESULT>(ToUtf8(box.TextAt(index)).size()) : LB_ERR;
    case LB_GETITEMDATA:
        return valid ? static_cast<LRESULT>(box.item(index)->data(kDataRole).toULongLong()) : LB_ERR;
    case LB_SETITEMDATA:
        if (!valid)
            return LB_ERR;
        box.item(index)->setData(kDataRole, QVariant::fromValue<qulonglong>(static_cast<qulonglong>(lParam)));
        return TRUE;
    case LB_SETCURSEL:
        if (!box.Single())
            return LB_ERR;
        SelectOnly(box, index);
        return valid ? index : LB_ERR;
    case LB_GETCURSEL:
        if (box.Single()) {
            const auto sel = box.selectedItems();
            return sel.isEmpty() ? LB_ERR : box.row(sel.front());
        }
        return box.currentRow();
    case LB_SETSEL: {
        if (box.Single())
            return LB_ERR;
        const int which = static_cast<int>(lParam);
        Quiet quiet(box);
        if (which == -1) {
            for (int i = 0; i < count; ++i)
                box.item(i)->setSelected(wParam != 0);
            return 0;
        }
        if (which < 0 || which >= count)
            return LB_ERR;
        box.item(which)->setSelected(wParam != 0);
        return 0;
    }
    case LB_GETSEL:
        return valid ? (box.item(index)->isSelected() ? 1 : 0) : LB_ERR;
    case LB_GETSELCOUNT:
        return box.Single() ? LB_ERR : static_cast<LRESULT>(box.selectedItems().size());
    case LB_GETSELITEMS: {
        if (box.Single())
            return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int n = 0;
        for (int i = 0; i < count && n < index; ++i)
            if (box.item(i)->isSelected()) {
                if (out)
                    out[n] = i;
                ++n;
            }
        return n;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
        const QString text = FromUtf8(reinterpret_cast<const char*>(lParam));
        const int found = FindListString([&](int i) { return box.TextAt(i); }, count, index, text,
                                         msg == LB_FINDSTRINGEXACT);
        if (found >= 0 && msg == LB_SELECTSTRING) {
            if (box.Single())
                SelectOnly(box, found);
            else {
                Quiet quiet(box);
                box.item(found)->setSelected(true);
            }
        }
        return found >= 0 ? found : LB_ERR;
    }
    case LB_GETTOPINDEX: {
        const QModelIndex top = box.indexAt(QPoint(1, 1));
        return top.isValid() ? top.row() : 0;
    }
    case LB_SETTOPINDEX:
        if (!valid)
            return LB_ERR;
        box.scrollToItem(box.item(index), QAbstractItemView::PositionAtTop);
        return 0;
    case LB_GETITEMRECT: {
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (!valid || !out)
            return LB_ERR;
        const QRect r = box.visualItemRect(box.item(index)).translated(box.viewport()->pos());
        *out = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        return 0;
    }
    case LB_SETCARETINDEX:
        if (!valid)
            return LB_ERR;
        box.setCurrentRow(index, QItemSelectionModel::NoUpdate);
        return 0;
    case LB_GETCARETINDEX:
        return box.currentRow();
    case LB_SETITEMHEIGHT: {
        const int h = static_cast<int>(LOWORD(static_cast<DWORD>(lParam)));
        if (h <= 0 || h > 255)
            return LB_ERR;
        if (box.Variable()) {
            if (!valid)
                return LB_ERR;
            box.item(index)->setData(kHeightRole, h);
        } else {
            box.itemHeight = h;
            if (box.delegate)
                box.delegate->fixedHeight = h;
            for (int i = 0; i < count; ++i)
                box.item(i)->setSizeHint(QSize(-1, h));
        }
        box.doItemsLayout();
        return 0;
    }
    case LB_GETITEMHEIGHT:
        if (box.Variable())
            return valid ? box.item(index)->data(kHeightRole).toInt() : LB_ERR;
        if (box.delegate && box.delegate->fixedHeight > 0)
            return box.delegate->fixedHeight;
        return box.itemHeight > 0 ? box.itemHeight : box.fontMetrics().height() + 2;
    case LB_ITEMFROMPOINT: {
        const QPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        const QModelIndex at = box.indexAt(pt - box.viewport()->pos());
        if (at.isValid())
            return MAKELONG(static_cast<WORD>(at.row()), 0);
        return MAKELONG(static_cast<WORD>(std::max(count - 1, 0)), 1);
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ListBoxControl* box = ControlOf(hwnd);
    if (!box)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return ListBoxMessage(hwnd, *box, msg, wParam, lParam);
}

}  // namespace

void RegisterListBoxClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &ListBoxProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        auto* box = new ListBoxControl(hwnd, static_cast<DWORD>(cs.style), parent);
        BridgeWidgetEvents(hwnd, box->viewport());
        return box;
    };
    RegisterBuiltinClass("ListBox", std::move(cls));
}

}  // namespace qlafx

// ---- CListBox ----

IMPLEMENT_DYNAMIC(CListBox, CWnd)

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create("ListBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    qlafx::ItemText(GetTextLen(nIndex), [&](char* buf) { GetText(nIndex, buf); }, rString);
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const
{
    const DWORD r = static_cast<DWORD>(
        SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y))));
    bOutside = HIWORD(r) != 0;
    return LOWORD(r);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (qlafx::ReflectOwnerDraw(*this, message, lParam, pResult))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
