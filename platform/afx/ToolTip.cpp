// "tooltips_class32": keeps the tools (a window, or a rectangle of one,
// with a text or LPSTR_TEXTCALLBACK) and answers Qt's tool-tip events on
// the tools' widgets, so no mouse messages need relaying. A callback tool
// asks its window with TTN_GETDISPINFO when the tip is about to show.
#include "platform/afx/CommCtrlSupport.h"
#include "platform/afx/ResourceTables.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPointer>
#include <QToolTip>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qlafx {
namespace {

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;  // the window that gets TTN_GETDISPINFO
    UINT_PTR id = 0;
    RECT rect{};
    bool callback = false;
    std::string text;
    LPARAM param = 0;

    // The window whose area the tool covers.
    HWND Area() const { return (flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(id) : hwnd; }
};

class ToolTipWidget : public QWidget {
public:
    ToolTipWidget(HWND hwnd, QWidget* parent) : QWidget(parent), m_hwnd(hwnd) { hide(); }

    std::vector<Tool> tools;
    bool active = true;

    Tool* Find(HWND hwnd, UINT_PTR id)
    {
        for (Tool& t : tools)
            if (t.hwnd == hwnd && t.id == id)
                return &t;
        return nullptr;
    }
    // The tool at point of window area (client coordinates).
    const Tool* At(HWND area, POINT pt) const
    {
        for (const Tool& t : tools) {
            if (t.Area() != area)
                continue;
            if ((t.flags & TTF_IDISHWND) || PtInRect(&t.rect, pt))
                return &t;
        }
        return nullptr;
    }
    std::string TextOf(const Tool& t) const
    {
        if (!t.callback)
            return t.text;
        NMTTDISPINFO nm{};
        nm.uFlags = t.flags;
        nm.lParam = t.param;
        nm.hdr.hwndFrom = m_hwnd;
        nm.hdr.idFrom = t.id;
        nm.hdr.code = TTN_GETDISPINFO;
        SendMessage(t.hwnd, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&nm));
        if (nm.lpszText && nm.lpszText != LPSTR_TEXTCALLBACK) {
            if (IS_INTRESOURCE(nm.lpszText)) {
                char buf[256] = {};
                LoadString(nm.hinst, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(nm.lpszText)), buf, sizeof buf);
                return buf;
            }
            return nm.lpszText;
        }
        return std::string(nm.szText, strnlen(nm.szText, sizeof nm.szText));
    }
    void Watch(HWND area)
    {
        QWidget* w = WidgetOf(area);
        if (w && !m_watched.contains(w)) {
            w->installEventFilter(this);
            m_watched.push_back(w);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip || !active)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        const HWND area = w ? WindowOf(w) : nullptr;
        if (!area)
            return false;
        auto* help = static_cast<QHelpEvent*>(event);
        const Tool* tool = At(area, POINT{help->pos().x(), help->pos().y()});
        if (!tool)
            return false;
        const std::string text = TextOf(*tool);
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), FromUtf8(text.c_str()), w);
        return true;
    }

private:
    HWND m_hwnd;
    QList<QPointer<QWidget>> m_watched;
};

ToolTipWidget* ControlOf(HWND hwnd) { return dynamic_cast<ToolTipWidget*>(WidgetOf(hwnd)); }

std::vector<HWND>& AllTips()
{
    static std::vector<HWND> tips;
    return tips;
}

void Store(Tool& t, const TOOLINFO& ti)
{
    t.flags = ti.uFlags;
    t.hwnd = ti.hwnd;
    t.id = ti.uId;
    t.rect = ti.rect;
    t.param = ti.lParam;
    t.callback = ti.lpszText == LPSTR_TEXTCALLBACK;
    if (t.callback) {
        t.text.clear();
    } else if (ti.lpszText && IS_INTRESOURCE(ti.lpszText)) {
        char buf[256] = {};
        LoadString(ti.hinst, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(ti.lpszText)), buf, sizeof buf);
        t.text = buf;
    } else {
        t.text = ti.lpszText ? ti.lpszText : "";
    }
}

LRESULT ToolTipMessage(HWND hwnd, ToolTipWidget& tip, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
    switch (msg) {
    case WM_DESTROY:
        AllTips().erase(std::remove(AllTips().begin(), AllTips().end(), hwnd), AllTips().end());
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case TTM_ACTIVATE:
        tip.active = wParam != 0;
        if (!tip.active)
            QToolTip::hideText();
        return 0;
    case TTM_ADDTOOL: {
        if (!ti || !IsWindow(ti->hwnd))
            return FALSE;
        Tool* t = tip.Find(ti->hwnd, ti->uId);
        if (!t) {
            tip.tools.emplace_back();
            t = &tip.tools.back();
        }
        Store(*t, *ti);
        tip.Watch(t->Area());
        return TRUE;
    }
    case TTM_DELTOOL:
        if (ti)
            tip.tools.erase(std::remove_if(tip.tools.begin(), tip.tools.end(),
                                           [&](const Tool& t) { return t.hwnd == ti->hwnd && t.id == ti->uId; }),
                            tip.tools.end());
        return 0;
    case TTM_NEWTOOLRECT:
        if (ti)
            if (Tool* t = tip.Find(ti->hwnd, ti->uId))
                t->rect = ti->rect;
        return 0;
    case TTM_UPDATETIPTEXT:
    case TTM_SETTOOLINFO:
        if (ti)
            if (Tool* t = tip.Find(ti->hwnd, ti->uId)) {
                if (msg == TTM_SETTOOLINFO) {
                    Store(*t, *ti);
                } else {
                    Tool updated = *t;
                    TOOLINFO copy = *ti;
                    copy.uFlags = t->flags;
                    copy.rect = t->rect;
                    copy.lParam = t->param;
                    Store(updated, copy);
                    *t = updated;
                }
            }
        return 0;
    case TTM_GETTEXT:
        if (ti && ti->lpszText)
            if (Tool* t = tip.Find(ti->hwnd, ti->uId)) {
                // The caller's buffer holds 80 characters unless wParam says more.
                const int size = wParam ? static_cast<int>(wParam) : 80;
                CopyText(FromUtf8(tip.TextOf(*t).c_str()), ti->lpszText, size);
            }
        return 0;
    case TTM_GETTOOLINFO:
        if (ti)
            if (Tool* t = tip.Find(ti->hwnd, ti->uId)) {
                ti->uFlags = t->flags;
                ti->rect = t->rect;
                ti->lParam = t->param;
                return TRUE;
            }
        return FALSE;
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(tip.tools.size());
    case TTM_POP:
        QToolTip::hideText();
        return 0;
    case TTM_RELAYEVENT:
    case TTM_SETDELAYTIME:
    case TTM_SETMAXTIPWIDTH:
        return 0;  // Qt sees the tools' events itself and times the tips
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT ToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ToolTipWidget* tip = ControlOf(hwnd);
    if (!tip)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return ToolTipMessage(hwnd, *tip, msg, wParam, lParam);
}

}  // namespace

void RegisterToolTipClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.defProc = &ToolTipProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT&, QWidget* parent) -> QWidget* {
        AllTips().push_back(hwnd);
        return new ToolTipWidget(hwnd, parent);
    };
    RegisterBuiltinClass(TOOLTIPS_CLASS, std::move(cls));
}

std::string ToolTipTextAt(HWND hwnd, POINT point)
{
    for (HWND h : AllTips()) {
        ToolTipWidget* tip = ControlOf(h);
        if (!tip || !tip->active)
            continue;
        if (const Tool* tool = tip->At(hwnd, point))
            return tip->TextOf(*tool);
    }
    return {};
}

}  // namespace qlafx

// ---- CToolTipCtrl ----

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, 0, 0, 0, 0, qlafx::HwndOf(pParentWnd),
                          nullptr);
}

namespace {

TOOLINFO ToolFor(CWnd* pWnd, UINT_PTR nIDTool, LPCSTR text)
{
    TOOLINFO ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = qlafx::HwndOf(pWnd);
    ti.uId = nIDTool;
    ti.lpszText = const_cast<LPSTR>(text);
    return ti;
}

}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!pWnd)
        return FALSE;
    TOOLINFO ti = ToolFor(pWnd, nIDTool, lpszText);
    if (lpRectTool) {
        ti.rect = *lpRectTool;
    } else if (nIDTool == 0) {
        // The whole window: the tool is the window itself.
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
        HWND parent = ::GetParent(pWnd->m_hWnd);
        ti.hwnd = parent ? parent : pWnd->m_hWnd;
    } else {
        ::GetClientRect(pWnd->m_hWnd, &ti.rect);
    }
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    return AddTool(pWnd, MAKEINTRESOURCE(nIDText), lpRectTool, nIDTool);
}

// A whole-window tool was stored under its parent with the window as id.
static TOOLINFO StoredTool(CWnd* pWnd, UINT_PTR nIDTool, LPCSTR text)
{
    TOOLINFO ti = ToolFor(pWnd, nIDTool, text);
    if (pWnd && nIDTool == 0) {
        HWND parent = ::GetParent(pWnd->m_hWnd);
        ti.hwnd = parent ? parent : pWnd->m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
    }
    return ti;
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti = StoredTool(pWnd, nIDTool, nullptr);
    SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti = StoredTool(pWnd, nIDTool, lpszText);
    SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool)
{
    UpdateTipText(MAKEINTRESOURCE(nIDText), pWnd, nIDTool);
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
    char buf[1024] = {};
    TOOLINFO ti = StoredTool(pWnd, nIDTool, buf);
    SendMessage(TTM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(&ti));
    str = buf;
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    if (!lpRect)
        return;
    TOOLINFO ti = StoredTool(pWnd, nIDTool, nullptr);
    ti.rect = *lpRect;
    SendMessage(TTM_NEWTOOLRECT, 0, reinterpret_cast<LPARAM>(&ti));
}
