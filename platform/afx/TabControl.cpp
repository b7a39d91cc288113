// "SysTabControl32": a QTabBar. A click on another tab asks the parent
// with TCN_SELCHANGING (a non-zero answer keeps the old tab) and reports
// TCN_SELCHANGE; TCM_SETCURSEL changes the tab without notifying, as on
// Windows. The control shows only its row of tabs, so it also serves as a
// tab row without pages.
#include "platform/afx/CommCtrlSupport.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>

#include <algorithm>

namespace qlafx {
namespace {


class TabControl : public QTabBar {
public:
    TabControl(HWND hwnd, DWORD style, QWidget* parent) : QTabBar(parent), m_hwnd(hwnd)
    {
        setExpanding(false);
        setDrawBase(true);
        setUsesScrollButtons(!(style & TCS_MULTILINE));
        setShape((style & TCS_BOTTOM) ? RoundedSouth : RoundedNorth);
        setFocusPolicy((style & TCS_FOCUSNEVER) ? Qt::NoFocus
                                                : ((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus));
    }

    HIMAGELIST images = nullptr;
    std::vector<int> imageOf;  // per tab, -1 none

    // The user's change of tab, through the parent.
    void UserSelect(int index)
    {
        if (index < 0 || index >= count() || index == currentIndex())
            return;
        if (SendNotify(m_hwnd, TCN_SELCHANGING) != 0 || !IsWindow(m_hwnd))
            return;
        Quietly(index);
        SendNotify(m_hwnd, TCN_SELCHANGE);
    }
    void Quietly(int index)
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
    }
    void RefreshIcon(int i)
    {
        const int image = i < static_cast<int>(imageOf.size()) ? imageOf[static_cast<std::size_t>(i)] : -1;
        const QImage img = images && image >= 0 ? ImageListPicture(images, image) : QImage();
        setTabIcon(i, img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img)));
    }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton) {
            UserSelect(tabAt(e->position().toPoint()));
            return;
        }
        QTabBar::mousePressEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        NMHDR hdr{};
        SendNotify(m_hwnd, TCN_KEYDOWN, &hdr);
        if (!IsWindow(m_hwnd))
            return;
        if (e->key() == Qt::Key_Left)
            UserSelect(currentIndex() - 1);
        else if (e->key() == Qt::Key_Right)
            UserSelect(currentIndex() + 1);
        else
            QTabBar::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent*) override {}

private:
    HWND m_hwnd;
};

TabControl* ControlOf(HWND hwnd) { return dynamic_cast<TabControl*>(WidgetOf(hwnd)); }

void ApplyItem(TabControl& tabs, int i, const TCITEM& it)
{
    if (it.mask & TCIF_TEXT)
        tabs.setTabText(i, FromUtf8(it.pszText));
    if (it.mask & TCIF_PARAM)
        tabs.setTabData(i, QVariant::fromValue<qlonglong>(static_cast<qlonglong>(it.lParam)));
    if (it.mask & TCIF_IMAGE) {
        if (tabs.imageOf.size() <= static_cast<std::size_t>(i))
            tabs.imageOf.resize(static_cast<std::size_t>(i) + 1, -1);
        tabs.imageOf[static_cast<std::size_t>(i)] = it.iImage;
        tabs.RefreshIcon(i);
    }
}

// The height of the tab row, which TCM_ADJUSTRECT takes off or adds.
int RowHeight(const TabControl& tabs) { return std::max(tabs.sizeHint().height(), tabs.fontMetrics().height() + 8); }

LRESULT TabMessage(HWND hwnd, TabControl& tabs, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    const bool valid = index >= 0 && index < tabs.count();
    switch (msg) {
    case WM_SETFONT:
        tabs.setFont(wParam ? FontOf(reinterpret_cast<HFONT>(wParam)) : QFont());
        tabs.setProperty("qlafx_font", QVariant::fromValue(static_cast<qulonglong>(wParam)));
        return 0;
    case WM_GETFONT:
        return static_cast<LRESULT>(tabs.property("qlafx_font").toULongLong());
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case TCM_GETITEMCOUNT:
        return tabs.count();
    case TCM_INSERTITEM: {
        auto* it = reinterpret_cast<const TCITEM*>(lParam);
        if (!it || index < 0)
            return -1;
        const int at = std::min(index, tabs.count());
        const int cur = tabs.currentIndex();
        {
            const QSignalBlocker quiet(&tabs);
            tabs.insertTab(at, QString());
            tabs.imageOf.insert(tabs.imageOf.begin() + std::min<std::size_t>(at, tabs.imageOf.size()), -1);
            // The first tab becomes current; later ones leave it where it was.
            tabs.setCurrentIndex(cur < 0 ? 0 : (cur >= at ? cur + 1 : cur));
        }
        ApplyItem(tabs, at, *it);
        return at;
    }
    case TCM_DELETEITEM: {
        if (!valid)
            return FALSE;
        const QSignalBlocker quiet(&tabs);
        tabs.removeTab(index);
        if (static_cast<std::size_t>(index) < tabs.imageOf.size())
            tabs.imageOf.erase(tabs.imageOf.begin() + index);
        return TRUE;
    }
    case TCM_DELETEALLITEMS: {
        const QSignalBlocker quiet(&tabs);
        while (tabs.count() > 0)
            tabs.removeTab(0);
        tabs.imageOf.clear();
        return TRUE;
    }
    case TCM_GETITEM: {
        auto* it = reinterpret_cast<TCITEM*>(lParam);
        if (!it || !valid)
            return FALSE;
        if (it->mask & TCIF_TEXT)
            CopyText(tabs.tabText(index), it->pszText, it->cchTextMax);
        if (it->mask & TCIF_PARAM)
            it->lParam = static_cast<LPARAM>(tabs.tabData(index).toLongLong());
        if (it->mask & TCIF_IMAGE)
            it->iImage = static_cast<std::size_t>(index) < tabs.imageOf.size()
                ? tabs.imageOf[static_cast<std::size_t>(index)]
                : -1;
        return TRUE;
    }
    case TCM_SETITEM: {
        auto* it = reinterpret_cast<const TCITEM*>(lParam);
        if (!it || !valid)
            return FALSE;
        ApplyItem(tabs, index, *it);
        return TRUE;
    }
    case TCM_GETCURSEL:
    case TCM_GETCURFOCUS:
        return tabs.currentIndex();
    case TCM_SETCURSEL: {
        const int old = tabs.currentIndex();
        if (!valid)
            return -1;
        tabs.Quietly(index);
        return old;
    }
    case TCM_SETCURFOCUS:
        tabs.UserSelect(index);
        return 0;
    case TCM_GETITEMRECT: {
        auto* rc = reinterpret_cast<RECT*>(lParam);
        if (!rc || !valid)
            return FALSE;
        const QRect r = tabs.tabRect(index);
        *rc = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        return TRUE;
    }
    case TCM_HITTEST: {
        auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
        if (!info)
            return -1;
        const int at = tabs.tabAt(QPoint(info->pt.x, info->pt.y));
        info->flags = at >= 0 ? TCHT_ONITEMLABEL : TCHT_NOWHERE;
        return at;
    }
    case TCM_ADJUSTRECT: {
        auto* rc = reinterpret_cast<RECT*>(lParam);
        if (!rc)
            return 0;
        const int h = RowHeight(tabs);
        const bool bottom = (StyleOfWindow(hwnd) & TCS_BOTTOM) != 0;
        const int d = wParam ? -1 : 1;  // larger: from display area to window
        if (bottom)
            rc->bottom -= d * h;
        else
            rc->top += d * h;
        rc->left += d * 2;
        rc->right -= d * 2;
        (bottom ? rc->top : rc->bottom) -= d * 2;
        return 0;
    }
    case TCM_GETROWCOUNT:
        return 1;
    case TCM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(tabs.images);
    case TCM_SETIMAGELIST: {
        const HIMAGELIST old = tabs.images;
        tabs.images = reinterpret_cast<HIMAGELIST>(lParam);
        for (int i = 0; i < tabs.count(); ++i)
            tabs.RefreshIcon(i);
        return reinterpret_cast<LRESULT>(old);
    }
    case TCM_SETITEMSIZE:
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TabControl* tabs = ControlOf(hwnd);
    if (!tabs)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return TabMessage(hwnd, *tabs, msg, wParam, lParam);
}

}  // namespace

void RegisterTabControlClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &TabProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        return new TabControl(hwnd, static_cast<DWORD>(cs.style), parent);
    };
    RegisterBuiltinClass(WC_TABCONTROL, std::move(cls));
}

}  // namespace qlafx

// ---- CTabCtrl ----

IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID);
}

CImageList* CTabCtrl::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST)));
}

CImageList* CTabCtrl::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

LONG CTabCtrl::InsertItem(int nItem, LPCSTR lpszItem)
{
    TCITEM it{};
    it.mask = TCIF_TEXT;
    it.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(nItem, &it);
}

LONG CTabCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage)
{
    TCITEM it{};
    it.mask = TCIF_TEXT | TCIF_IMAGE;
    it.pszText = const_cast<LPSTR>(lpszItem);
    it.iImage = nImage;
    return InsertItem(nItem, &it);
}
