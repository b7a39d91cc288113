// "ComboBox": a QComboBox driven by the CB_* messages; CBS_DROPDOWN is
// editable, CBS_DROPDOWNLIST is not. The user's choices are reported with
// CBN_* notifications, the program's are not, as on Windows. Owner-drawn
// boxes draw the items of the list and the selection field through the
// parent (WM_DRAWITEM, the field with ODS_COMBOBOXEDIT).
#include "platform/afx/CommCtrlSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

namespace qlafx {
namespace {

class ComboControl : public QComboBox {
public:
    ComboControl(HWND hwnd, DWORD style, QWidget* parent) : QComboBox(parent), m_hwnd(hwnd)
    {
        const DWORD kind = style & 3;
        setEditable(kind == CBS_DROPDOWN || kind == CBS_SIMPLE);
        setInsertPolicy(NoInsert);
        setMaxVisibleItems(30);
        setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
            delegate = new OwnerDrawDelegate(hwnd, ODT_COMBOBOX, this);
            setItemDelegate(delegate);
        }
        connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) { Chosen(index); });
        if (lineEdit())
            connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
                NotifyParent(m_hwnd, CBN_EDITUPDATE);
                if (IsWindow(m_hwnd))
                    NotifyParent(m_hwnd, CBN_EDITCHANGE);
            });
    }

    bool OwnerDrawn() const { return delegate != nullptr; }
    bool HasStrings() const { return !OwnerDrawn() || (StyleOfWindow(m_hwnd) & CBS_HASSTRINGS); }
    bool Variable() const { return (StyleOfWindow(m_hwnd) & CBS_OWNERDRAWVARIABLE) != 0; }

    bool DropsDown() const { return (StyleOfWindow(m_hwnd) & 3) != CBS_SIMPLE; }

    // A drop-down box is as high as its selection field, which its font (or
    // an owner-drawn field's measured height) sets, as Windows sizes it.
    int FieldWindowHeight() const
    {
        return std::max(sizeHint().height(), fieldHeight > 0 ? fieldHeight + 6 : 0);
    }
    void FitHeight()
    {
        if (DropsDown() && height() != FieldWindowHeight())
            resize(width(), FieldWindowHeight());
    }

    void showPopup() override
    {
        NotifyParent(m_hwnd, CBN_DROPDOWN);
        if (!IsWindow(m_hwnd))
            return;
        if (droppedWidth > 0)
            view()->setMinimumWidth(droppedWidth);
        QComboBox::showPopup();
        dropped = true;
        // The height the program gave the box is the field and its list: a
        // longer list opens below the field in the rest, as on Windows.
        QWidget* popup = view()->window();
        const int rest = listHeight - height();
        if (rest > 0 && popup->height() > rest) {
            popup->setGeometry(QRect(mapToGlobal(QPoint(0, height())), QSize(popup->width(), rest)));
            view()->scrollTo(view()->currentIndex());
        }
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (!dropped)
            return;
        dropped = false;
        NotifyParent(m_hwnd, CBN_CLOSEUP);
    }

    OwnerDrawDelegate* delegate = nullptr;
    int fieldHeight = 0;
    int droppedWidth = 0;
    int listHeight = 0;  // the height asked for a drop-down box: field and list
    int lastSel = -1;  // the selection the parent last heard of
    bool dropped = false;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (!OwnerDrawn() || isEditable()) {
            QComboBox::paintEvent(e);
            return;
        }
        QStylePainter painter(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText.clear();
        opt.currentIcon = QIcon();
        painter.drawComplexControl(QStyle::CC_ComboBox, opt);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        const int cur = currentIndex();
        const ULONG_PTR data = cur >= 0 ? static_cast<ULONG_PTR>(itemData(cur, kDataRole).toULongLong()) : 0;
        UINT state = ODS_COMBOBOXEDIT;
        if (hasFocus())
            state |= ODS_SELECTED | ODS_FOCUS;
        DrawOwnerItem(m_hwnd, ODT_COMBOBOX, cur, data, state, &painter, field);
    }

private:
    void Chosen(int index)
    {
        NotifyParent(m_hwnd, CBN_SELENDOK);
        if (IsWindow(m_hwnd) && index != lastSel) {
            lastSel = index;
            NotifyParent(m_hwnd, CBN_SELCHANGE);
        }
    }

    HWND m_hwnd;
};

ComboControl* ControlOf(HWND hwnd) { return dynamic_cast<ComboControl*>(WidgetOf(hwnd)); }

QString TextAt(const ComboControl& box, int i) { return box.itemText(i); }

int Insert(HWND hwnd, ComboControl& box, int index, LPARAM lParam, bool sorted)
{
    const int count = box.count();
    const QString text = box.HasStrings() ? FromUtf8(reinterpret_cast<const char*>(lParam)) : QString();
    if (sorted && box.HasStrings())
        index = SortedInsertPos([&](int i) { return TextAt(box, i); }, count, text);
    else if (index < 0)
        index = count;
    else if (index > count)
        return CB_ERR;
    const QSignalBlocker quiet(&box);
    const int cur = box.currentIndex();
    box.insertItem(index, text);
    // Windows keeps the selection where it was (an empty box stays unselected).
    box.setCurrentIndex(cur < 0 ? -1 : (cur >= index ? cur + 1 : cur));
    box.lastSel = box.currentIndex();
    box.setItemData(index, QVariant::fromValue<qulonglong>(box.HasStrings() ? 0 : static_cast<qulonglong>(lParam)),
                    kDataRole);
    if (box.OwnerDrawn() && box.Variable()) {
        const int h = MeasureOwnerItem(hwnd, ODT_COMBOBOX, index,
                                       static_cast<ULONG_PTR>(box.itemData(index, kDataRole).toULongLong()),
                                       box.width(), box.fontMetrics().height() + 2);
        box.setItemData(index, h, kHeightRole);
    }
    return index;
}

void Select(ComboControl& box, int index)
{
    const QSignalBlocker quiet(&box);
    box.setCurrentIndex(index);
    if (index < 0 && box.isEditable())
        box.setEditText(QString());
    box.lastSel = box.currentIndex();
}

LRESULT ComboMessage(HWND hwnd, ComboControl& box, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int count = box.count();
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    const bool valid = index >= 0 && index < count;
    switch (msg) {
    case WM_CREATE:
        if (box.OwnerDrawn()) {
            const int deflt = box.fontMetrics().height() + 2;
            box.fieldHeight = MeasureOwnerItem(hwnd, ODT_COMBOBOX, -1, 0, box.width(), deflt);
            if (!box.Variable())
                box.delegate->fixedHeight = MeasureOwnerItem(hwnd, ODT_COMBOBOX, 0, 0, box.width(), deflt);
        }
        if (box.DropsDown())
            box.listHeight = reinterpret_cast<const CREATESTRUCT*>(lParam)->cy;
        box.FitHeight();
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_WINDOWPOSCHANGING: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        if (box.DropsDown() && !(wp->flags & SWP_NOSIZE)) {
            box.listHeight = wp->cy;
            wp->cy = box.FieldWindowHeight();
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        if (IsWindow(hwnd))
            NotifyParent(hwnd, msg == WM_SETFOCUS ? CBN_SETFOCUS : CBN_KILLFOCUS);
        return r;
    }
    case WM_SETTEXT: {
        DefWindowProc(hwnd, msg, wParam, lParam);
        if (!box.isEditable())
            return CB_ERR;
        const QSignalBlocker quiet(&box);
        box.setEditText(FromUtf8(reinterpret_cast<const char*>(lParam)));
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyWindowText(ToUtf8(box.currentText()), wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(ToUtf8(box.currentText()).size());
    case WM_SETFONT:
        box.setFont(wParam ? FontOf(reinterpret_cast<HFONT>(wParam)) : QFont());
        box.setProperty("qlafx_font", QVariant::fromValue(static_cast<qulonglong>(wParam)));
        box.FitHeight();
        return 0;
    case WM_GETFONT:
        return static_cast<LRESULT>(box.property("qlafx_font").toULongLong());
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (box.isEditable() ? DLGC_HASSETSEL : 0);
    case CB_ADDSTRING:
        return Insert(hwnd, box, -1, lParam, (StyleOfWindow(hwnd) & CBS_SORT) != 0);
    case CB_INSERTSTRING:
        return Insert(hwnd, box, index, lParam, false);
    case CB_DELETESTRING: {
        if (!valid)
            return CB_ERR;
        const QSignalBlocker quiet(&box);
        box.removeItem(index);
        box.lastSel = box.currentIndex();
        return box.count();
    }
    case CB_RESETCONTENT: {
        const QSignalBlocker quiet(&box);
        box.clear();
        if (box.isEditable())
            box.setEditText(QString());
        box.lastSel = -1;
        return CB_OKAY;
    }
    case CB_GETCOUNT:
        return count;
    case CB_GETCURSEL:
        return box.currentIndex();
    case CB_SETCURSEL:
        Select(box, valid ? index : -1);
        return valid ? index : CB_ERR;
    case CB_GETLBTEXT:
        if (!valid)
            return CB_ERR;
        // The caller's buffer is as large as CB_GETLBTEXTLEN says.
        return CopyText(TextAt(box, index), reinterpret_cast<char*>(lParam),
                        static_cast<int>(ToUtf8(TextAt(box, index)).size()) + 1);
    case CB_GETLBTEXTLEN:
        return valid ? static_cast<LRESULT>(ToUtf8(TextAt(box, index)).size()) : CB_ERR;
    case CB_GETITEMDATA:
        return valid ? static_cast<LRESULT>(box.itemData(index, kDataRole).toULongLong()) : CB_ERR;
    case CB_SETITEMDATA:
        if (!valid)
            return CB_ERR;
        box.setItemData(index, QVariant::fromValue<qulonglong>(static_cast<qulonglong>(lParam)), kDataRole);
        return TRUE;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING: {
        const QString text = FromUtf8(reinterpret_cast<const char*>(lParam));
        const int found = FindListString([&](int i) { return TextAt(box, i); }, count, index, text,
                                         msg == CB_FINDSTRINGEXACT);
        if (found >= 0 && msg == CB_SELECTSTRING)
            Select(box, found);
        return found >= 0 ? found : CB_ERR;
    }
    case CB_SHOWDROPDOWN:
        if (wParam && !box.dropped)
            box.showPopup();
        else if (!wParam && box.dropped)
            box.hidePopup();
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return box.dropped ? TRUE : FALSE;
    case CB_SETITEMHEIGHT: {
        const int h = static_cast<int>(lParam);
        if (h <= 0 || h > 255)
            return CB_ERR;
        if (index == -1) {
            box.fieldHeight = h;
            box.FitHeight();
        } else if (box.Variable()) {
            if (!valid)
                return CB_ERR;
            box.setItemData(index, h, kHeightRole);
        } else if (box.delegate) {
            box.delegate->fixedHeight = h;
        } else {
            for (int i = 0; i < count; ++i)
                box.setItemData(i, QSize(-1, h), Qt::SizeHintRole);
        }
        return 0;
    }
    case CB_GETITEMHEIGHT:
        if (index == -1)
            return box.fieldHeight > 0 ? box.fieldHeight : box.height();
        if (box.Variable())
            return valid ? box.itemData(index, kHeightRole).toInt() : CB_ERR;
        if (box.delegate && box.delegate->fixedHeight > 0)
            return box.delegate->fixedHeight;
        return box.fontMetrics().height() + 2;
    case CB_SETDROPPEDWIDTH: {
        box.droppedWidth = static_cast<int>(wParam);
        return std::max(box.droppedWidth, box.width());
    }
    case CB_GETDROPPEDWIDTH:
        return std::max(box.droppedWidth, box.width());
    case CB_LIMITTEXT:
        if (box.lineEdit())
            box.lineEdit()->setMaxLength(wParam ? static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE);
        return TRUE;
    case CB_GETEDITSEL: {
        if (!box.lineEdit())
            return CB_ERR;
        QLineEdit* le = box.lineEdit();
        const int s = le->hasSelectedText() ? le->selectionStart() : le->cursorPosition();
        const int e = le->hasSelectedText() ? s + static_cast<int>(le->selectedText().size()) : s;
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(s);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(e);
        return MAKELONG(static_cast<WORD>(s), static_cast<WORD>(e));
    }
    case CB_SETEDITSEL: {
        if (!box.lineEdit())
            return CB_ERR;
        const int s = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
        int e = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
        if (s < 0) {
            box.lineEdit()->deselect();
            return TRUE;
        }
        const int len = static_cast<int>(box.lineEdit()->text().size());
        if (e < 0 || e > len)
            e = len;
        box.lineEdit()->setSelection(std::min(s, len), e - std::min(s, len));
        return TRUE;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ComboControl* box = ControlOf(hwnd);
    if (!box)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return ComboMessage(hwnd, *box, msg, wParam, lParam);
}

}  // namespace

void RegisterComboBoxClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &ComboProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        auto* box = new ComboControl(hwnd, static_cast<DWORD>(cs.style), parent);
        if (box->lineEdit())
            BridgeWidgetEvents(hwnd, box->lineEdit());
        return box;
    };
    RegisterBuiltinClass("ComboBox", std::move(cls));
}

}  // namespace qlafx

// ---- CComboBox ----

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create("ComboBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    qlafx::ItemText(GetLBTextLen(nIndex), [&](char* buf) { GetLBText(nIndex, buf); }, rString);
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (qlafx::ReflectOwnerDraw(*this, message, lParam, pResult))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
