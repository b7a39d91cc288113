#include "platform/afx/ToolBar.h"

#include "platform/afx/DC.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/WinThread.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>
#include <cstring>

namespace qlafx {
namespace {

// The default sizes of the control.
constexpr int kSeparatorWidth = 8;
constexpr COLORREF kBitmapMask = RGB(192, 192, 192);

struct TbButton {
    int image = 0;  // separators: the width, 0 for the default
    int command = 0;
    BYTE state = TBSTATE_ENABLED;
    BYTE style = TBSTYLE_BUTTON;
    DWORD_PTR data = 0;
    std::string text;
};

struct ToolbarState {
    std::vector<TbButton> buttons;
    SIZE buttonSize{24, 22};
    SIZE bitmapSize{16, 15};
    HIMAGELIST images = nullptr;
    HIMAGELIST disabledImages = nullptr;
    HIMAGELIST hotImages = nullptr;
    HIMAGELIST ownImages = nullptr;  // TB_ADDBITMAP's bitmaps
    std::vector<std::string> strings;
    POINT origin{0, 0};
    int hot = -1;
    int pressed = -1;
    bool tracking = false;
};

class ToolbarWidget : public LayerWidget {
public:
    using LayerWidget::LayerWidget;
    ~ToolbarWidget() override
    {
        if (state.ownImages)
            ImageList_Destroy(state.ownImages);
    }
    ToolbarState state;

protected:
    bool event(QEvent* e) override;
};

ToolbarState* StateOf(HWND hwnd)
{
    auto* w = dynamic_cast<ToolbarWidget*>(WidgetOf(hwnd));
    return w ? &w->state : nullptr;
}

int IndexOfCommand(const ToolbarState& st, WPARAM id)
{
    for (size_t i = 0; i < st.buttons.size(); ++i)
        if (st.buttons[i].command == static_cast<int>(id))
            return static_cast<int>(i);
    return -1;
}

int TextHeight(HWND hwnd)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, DefaultGuiFont());
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight;
}

int TextWidth(HWND hwnd, const std::string& text)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, DefaultGuiFont());
    SIZE size{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

// Every button has the size of the largest: the set size, grown to hold a
// label under the image when any button has one.
SIZE ButtonSize(HWND hwnd, const ToolbarState& st)
{
    SIZE size = st.buttonSize;
    bool labels = false;
    int textWidth = 0;
    for (const TbButton& b : st.buttons)
        if (!(b.style & TBSTYLE_SEP) && !b.text.empty()) {
            labels = true;
            textWidth = std::max(textWidth, TextWidth(hwnd, b.text));
        }
    if (labels) {
        size.cx = std::max<LONG>(size.cx, textWidth + 6);
        size.cy = std::max<LONG>(size.cy, st.bitmapSize.cy + 7 + TextHeight(hwnd));
    }
    return size;
}

bool ItemRect(HWND hwnd, const ToolbarState& st, size_t index, RECT& out)
{
    if (index >= st.buttons.size())
        return false;
    const SIZE size = ButtonSize(hwnd, st);
    int x = st.origin.x;
    for (size_t i = 0; i <= index; ++i) {
        const TbButton& b = st.buttons[i];
        const int w = (b.state & TBSTATE_HIDDEN) ? 0
                      : (b.style & TBSTYLE_SEP) ? (b.image > 0 ? b.image : kSeparatorWidth)
                                                : size.cx;
        if (i == index) {
            out = RECT{x, st.origin.y, x + w, st.origin.y + size.cy};
            return true;
        }
        x += w;
    }
    return false;
}

int HitTest(HWND hwnd, const ToolbarState& st, POINT pt)
{
    for (size_t i = 0; i < st.buttons.size(); ++i) {
        RECT rc;
        if (ItemRect(hwnd, st, i, rc) && !(st.buttons[i].style & TBSTYLE_SEP) && PtInRect(&rc, pt))
            return static_cast<int>(i);
    }
    return -1;
}

// The tip of a button: TTN_NEEDTEXT to the parent, which answers with
// lpszText (a string, or a string resource id) or szText.
std::string TipText(HWND hwnd, int command)
{
    NMTTDISPINFO info{};
    info.hdr = NMHDR{hwnd, static_cast<UINT_PTR>(command), TTN_NEEDTEXT};
    SendMessage(GetParent(hwnd), WM_NOTIFY, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
    if (info.lpszText && IS_INTRESOURCE(info.lpszText)) {
        char text[256] = "";
        LoadString(info.hinst, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(info.lpszText)), text, sizeof text);
        return text;
    }
    if (info.lpszText)
        return info.lpszText;
    info.szText[sizeof info.szText - 1] = 0;
    return info.szText;
}

bool ToolbarWidget::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip)
        return LayerWidget::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const HWND hwnd = WindowOf(this);
    const int hit = hwnd && (static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & TBSTYLE_TOOLTIPS)
                        ? HitTest(hwnd, state, POINT{help->pos().x(), help->pos().y()})
                        : -1;
    const std::string text = hit >= 0 ? TipText(hwnd, state.buttons[static_cast<size_t>(hit)].command) : std::string();
    if (text.empty() || !IsWindow(hwnd)) {
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    RECT rc{};
    ItemRect(hwnd, state, static_cast<size_t>(hit), rc);
    QToolTip::showText(help->globalPos(), QString::fromUtf8(text.c_str()), this,
                       QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top));
    return true;
}

void PaintButton(HWND hwnd, HDC dc, const ToolbarState& st, size_t i, const RECT& rcItem)
{
    const TbButton& b = st.buttons[i];
    RECT rc = rcItem;
    if (b.style & TBSTYLE_SEP) {
        RECT line{rc.left + (rc.right - rc.left) / 2 - 1, rc.top + 2, rc.left + (rc.right - rc.left) / 2 + 1,
                  rc.bottom - 2};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
        return;
    }
    const bool flat = (GetWindowLongPtr(hwnd, GWL_STYLE) & TBSTYLE_FLAT) != 0;
    const bool enabled = (b.state & TBSTATE_ENABLED) != 0;
    const bool down = (b.state & (TBSTATE_PRESSED | TBSTATE_CHECKED)) != 0;
    const bool hot = enabled && static_cast<int>(i) == st.hot;
    if (b.state & TBSTATE_CHECKED) {
        RECT inner = rc;
        InflateRect(&inner, -1, -1);
        FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
    if (down)
        DrawEdge(dc, &rc, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!flat || hot)
        DrawEdge(dc, &rc, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);

    HIMAGELIST list = st.images ? st.images : st.ownImages;
    if (!enabled && st.disabledImages)
        list = st.disabledImages;
    else if (hot && st.hotImages)
        list = st.hotImages;
    const int shift = down ? 1 : 0;
    const bool label = !b.text.empty();
    const int imageX = rc.left + (rc.right - rc.left - st.bitmapSize.cx) / 2 + shift;
    const int imageY = (label ? rc.top + 3 : rc.top + (rc.bottom - rc.top - st.bitmapSize.cy) / 2) + shift;
    if (list && b.image >= 0)
        ImageList_Draw(list, b.image, dc, imageX, imageY, ILD_TRANSPARENT);
    if (label) {
        RECT text{rc.left + 1 + shift, imageY + st.bitmapSize.cy + 1, rc.right - 1 + shift, rc.bottom - 1 + shift};
        HGDIOBJ old = SelectObject(dc, DefaultGuiFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        DrawText(dc, b.text.c_str(), -1, &text, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
}

void Paint(HWND hwnd, HDC dc, const ToolbarState& st)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    for (size_t i = 0; i < st.buttons.size(); ++i) {
        RECT rc;
        if (ItemRect(hwnd, st, i, rc) && !(st.buttons[i].state & TBSTATE_HIDDEN))
            PaintButton(hwnd, dc, st, i, rc);
    }
}

void ToButton(const TbButton& b, TBBUTTON* out)
{
    *out = TBBUTTON{};
    out->iBitmap = b.image;
    out->idCommand = b.command;
    out->fsState = b.state;
    out->fsStyle = b.style;
    out->dwData = b.data;
    out->iString = -1;
}

TbButton FromButton(const ToolbarState& st, const TBBUTTON& in)
{
    TbButton b;
    b.image = in.iBitmap;
    b.command = in.idCommand;
    b.state = in.fsState;
    b.style = in.fsStyle;
    b.data = in.dwData;
    if (in.iString >= 0 && static_cast<size_t>(in.iString) < st.strings.size())
        b.text = st.strings[static_cast<size_t>(in.iString)];
    return b;
}

// Clicks go to the parent as WM_COMMAND with the button's command.
void Click(HWND hwnd, ToolbarState& st, int index)
{
    TbButton& b = st.buttons[static_cast<size_t>(index)];
    if (b.style & TBSTYLE_CHECK) {
        if ((b.style & TBSTYLE_GROUP) == TBSTYLE_GROUP) {
            // The group is the run of check-group buttons around this one.
            auto inGroup = [&](size_t i) { return (st.buttons[i].style & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP; };
            size_t first = static_cast<size_t>(index), last = first;
            while (first > 0 && inGroup(first - 1))
                --first;
            while (last + 1 < st.buttons.size() && inGroup(last + 1))
                ++last;
            for (size_t i = first; i <= last; ++i)
                st.buttons[i].state &= static_cast<BYTE>(~TBSTATE_CHECKED);
            b.state |= TBSTATE_CHECKED;
        } else {
            b.state ^= TBSTATE_CHECKED;
        }
    }
    const int command = b.command;
    InvalidateRect(hwnd, nullptr, FALSE);
    if (HWND parent = GetParent(hwnd))
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED),
                    reinterpret_cast<LPARAM>(hwnd));
}

// By command id; the state change repaints.
LRESULT SetStateBit(HWND hwnd, ToolbarState& st, WPARAM id, BYTE bit, bool on)
{
    const int i = IndexOfCommand(st, id);
    if (i < 0)
        return FALSE;
    BYTE& state = st.buttons[static_cast<size_t>(i)].state;
    const BYTE old = state;
    state = on ? static_cast<BYTE>(state | bit) : static_cast<BYTE>(state & ~bit);
    if (state != old)
        InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT StateBit(const ToolbarState& st, WPARAM id, BYTE bit)
{
    const int i = IndexOfCommand(st, id);
    return i < 0 ? 0 : (st.buttons[static_cast<size_t>(i)].state & bit) != 0;
}

LRESULT ButtonInfo(HWND hwnd, ToolbarState& st, WPARAM idOrIndex, TBBUTTONINFO* info, bool set)
{
    if (!info)
        return set ? FALSE : -1;
    const int i = (info->dwMask & TBIF_BYINDEX)
                      ? (idOrIndex < st.buttons.size() ? static_cast<int>(idOrIndex) : -1)
                      : IndexOfCommand(st, idOrIndex);
    if (i < 0)
        return set ? FALSE : -1;
    TbButton& b = st.buttons[static_cast<size_t>(i)];
    if (set) {
        if (info->dwMask & TBIF_COMMAND)
            b.command = info->idCommand;
        if (info->dwMask & TBIF_IMAGE)
            b.image = info->iImage;
        if (info->dwMask & TBIF_STATE)
            b.state = info->fsState;
        if (info->dwMask & TBIF_STYLE)
            b.style = info->fsStyle;
        if (info->dwMask & TBIF_LPARAM)
            b.data = info->lParam;
        if (info->dwMask & TBIF_TEXT)
            b.text = info->pszText ? info->pszText : "";
        if ((info->dwMask & TBIF_SIZE) && (b.style & TBSTYLE_SEP))
            b.image = info->cx;
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    }
    if (info->dwMask & TBIF_COMMAND)
        info->idCommand = b.command;
    if (info->dwMask & TBIF_IMAGE)
        info->iImage = b.image;
    if (info->dwMask & TBIF_STATE)
        info->fsState = b.state;
    if (info->dwMask & TBIF_STYLE)
        info->fsStyle = b.style;
    if (info->dwMask & TBIF_LPARAM)
        info->lParam = b.data;
    if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0)
        CopyWindowText(b.text, static_cast<WPARAM>(info->cchText), reinterpret_cast<LPARAM>(info->pszText));
    if (info->dwMask & TBIF_SIZE) {
        RECT rc{};
        ItemRect(hwnd, st, static_cast<size_t>(i), rc);
        info->cx = static_cast<WORD>(rc.right - rc.left);
    }
    return i;
}

LRESULT AddBitmap(ToolbarState& st, WPARAM count, const TBADDBITMAP* add)
{
    if (!add || add->hInst)
        return -1;
    auto bitmap = reinterpret_cast<HBITMAP>(add->nID);
    if (!st.ownImages)
        st.ownImages = ImageList_Create(st.bitmapSize.cx, st.bitmapSize.cy, ILC_COLOR24 | ILC_MASK,
                                        static_cast<int>(count), 4);
    const int first = ImageList_GetImageCount(st.ownImages);
    return ImageList_AddMasked(st.ownImages, bitmap, kBitmapMask) < 0 ? -1 : first;
}

LRESULT AddStrings(ToolbarState& st, WPARAM instance, LPARAM lParam)
{
    if (instance || !lParam)
        return -1;
    const LRESULT first = static_cast<LRESULT>(st.strings.size());
    // NUL-separated, ending in an empty string.
    for (const char* p = reinterpret_cast<const char*>(lParam); *p; p += std::strlen(p) + 1)
        st.strings.emplace_back(p);
    return first;
}

HIMAGELIST SwapList(HWND hwnd, HIMAGELIST& slot, LPARAM lParam)
{
    HIMAGELIST old = slot;
    slot = reinterpret_cast<HIMAGELIST>(lParam);
    InvalidateRect(hwnd, nullptr, FALSE);
    return old;
}

LRESULT ToolbarMessage(HWND hwnd, ToolbarState& st, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (HDC dc = BeginPaint(hwnd, &ps))
            Paint(hwnd, dc, st);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE: {
        const int hit = HitTest(hwnd, st, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (st.tracking && st.pressed >= 0) {
            TbButton& b = st.buttons[static_cast<size_t>(st.pressed)];
            const BYTE old = b.state;
            b.state = hit == st.pressed ? static_cast<BYTE>(b.state | TBSTATE_PRESSED)
                                        : static_cast<BYTE>(b.state & ~TBSTATE_PRESSED);
            if (b.state != old)
                InvalidateRect(hwnd, nullptr, FALSE);
        }
        if (hit != st.hot) {
            st.hot = hit;
            TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&tme);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        if (st.hot >= 0) {
            st.hot = -1;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int hit = HitTest(hwnd, st, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (hit < 0 || !(st.buttons[static_cast<size_t>(hit)].state & TBSTATE_ENABLED))
            return 0;
        st.pressed = hit;
        st.tracking = true;
        st.buttons[static_cast<size_t>(hit)].state |= TBSTATE_PRESSED;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case WM_LBUTTONUP: {
        if (!st.tracking)
            return 0;
        st.tracking = false;
        const int pressed = st.pressed;
        st.pressed = -1;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        if (pressed < 0 || static_cast<size_t>(pressed) >= st.buttons.size())
            return 0;
        TbButton& b = st.buttons[static_cast<size_t>(pressed)];
        const bool inside = (b.state & TBSTATE_PRESSED) != 0;
        b.state &= static_cast<BYTE>(~TBSTATE_PRESSED);
        InvalidateRect(hwnd, nullptr, FALSE);
        if (inside && (b.state & TBSTATE_ENABLED))
            Click(hwnd, st, pressed);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (st.tracking && reinterpret_cast<HWND>(lParam) != hwnd) {
            st.tracking = false;
            if (st.pressed >= 0 && static_cast<size_t>(st.pressed) < st.buttons.size())
                st.buttons[static_cast<size_t>(st.pressed)].state &= static_cast<BYTE>(~TBSTATE_PRESSED);
            st.pressed = -1;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;

    case TB_BUTTONSTRUCTSIZE:
    case TB_AUTOSIZE:
        return 0;
    case TB_ADDBUTTONS:
    case TB_INSERTBUTTON: {
        const auto* in = reinterpret_cast<LPCTBBUTTON>(lParam);
        if (!in)
            return FALSE;
        if (msg == TB_ADDBUTTONS) {
            for (WPARAM i = 0; i < wParam; ++i)
                st.buttons.push_back(FromButton(st, in[i]));
        } else {
            const size_t at = std::min<size_t>(wParam, st.buttons.size());
            st.buttons.insert(st.buttons.begin() + static_cast<std::ptrdiff_t>(at), FromButton(st, *in));
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    }
    case TB_DELETEBUTTON:
        if (wParam >= st.buttons.size())
            return FALSE;
        st.buttons.erase(st.buttons.begin() + static_cast<std::ptrdiff_t>(wParam));
        st.hot = st.pressed = -1;
        st.tracking = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case TB_GETBUTTON:
        if (wParam >= st.buttons.size() || !lParam)
            return FALSE;
        ToButton(st.buttons[wParam], reinterpret_cast<TBBUTTON*>(lParam));
        return TRUE;
    case TB_BUTTONCOUNT:
        return static_cast<LRESULT>(st.buttons.size());
    case TB_COMMANDTOINDEX:
        return IndexOfCommand(st, wParam);
    case TB_SETCMDID:
        if (wParam >= st.buttons.size())
            return FALSE;
        st.buttons[wParam].command = static_cast<int>(lParam);
        return TRUE;
    case TB_ENABLEBUTTON:
        return SetStateBit(hwnd, st, wParam, TBSTATE_ENABLED, LOWORD(static_cast<DWORD>(lParam)) != 0);
    case TB_CHECKBUTTON:
        return SetStateBit(hwnd, st, wParam, TBSTATE_CHECKED, LOWORD(static_cast<DWORD>(lParam)) != 0);
    case TB_PRESSBUTTON:
        return SetStateBit(hwnd, st, wParam, TBSTATE_PRESSED, LOWORD(static_cast<DWORD>(lParam)) != 0);
    case TB_HIDEBUTTON:
        return SetStateBit(hwnd, st, wParam, TBSTATE_HIDDEN, LOWORD(static_cast<DWORD>(lParam)) != 0);
    case TB_INDETERMINATE:
        return SetStateBit(hwnd, st, wParam, TBSTATE_INDETERMINATE, LOWORD(static_cast<DWORD>(lParam)) != 0);
    case TB_ISBUTTONENABLED:
        return StateBit(st, wParam, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED:
        return StateBit(st, wParam, TBSTATE_CHECKED);
    case TB_ISBUTTONPRESSED:
        return StateBit(st, wParam, TBSTATE_PRESSED);
    case TB_ISBUTTONHIDDEN:
        return StateBit(st, wParam, TBSTATE_HIDDEN);
    case TB_SETSTATE: {
        const int i = IndexOfCommand(st, wParam);
        if (i < 0)
            return FALSE;
        st.buttons[static_cast<size_t>(i)].state = static_cast<BYTE>(LOWORD(static_cast<DWORD>(lParam)));
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    }
    case TB_GETSTATE: {
        const int i = IndexOfCommand(st, wParam);
        return i < 0 ? -1 : st.buttons[static_cast<size_t>(i)].state;
    }
    case TB_ADDBITMAP:
        return AddBitmap(st, wParam, reinterpret_cast<const TBADDBITMAP*>(lParam));
    case TB_ADDSTRING:
        return AddStrings(st, wParam, lParam);
    case TB_GETITEMRECT: {
        RECT rc;
        if (!lParam || !ItemRect(hwnd, st, wParam, rc))
            return FALSE;
        *reinterpret_cast<LPRECT>(lParam) = rc;
        return TRUE;
    }
    case TB_GETRECT: {
        const int i = IndexOfCommand(st, wParam);
        RECT rc;
        if (i < 0 || !lParam || !ItemRect(hwnd, st, static_cast<size_t>(i), rc))
            return FALSE;
        *reinterpret_cast<LPRECT>(lParam) = rc;
        return TRUE;
    }
    case TB_SETBUTTONSIZE:
        st.buttonSize = SIZE{LOWORD(static_cast<DWORD>(lParam)), HIWORD(static_cast<DWORD>(lParam))};
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case TB_GETBUTTONSIZE: {
        const SIZE size = ButtonSize(hwnd, st);
        return MAKELONG(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
    }
    case TB_SETBITMAPSIZE:
        st.bitmapSize = SIZE{LOWORD(static_cast<DWORD>(lParam)), HIWORD(static_cast<DWORD>(lParam))};
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case TB_SETIMAGELIST:
        return reinterpret_cast<LRESULT>(SwapList(hwnd, st.images, lParam));
    case TB_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(st.images);
    case TB_SETDISABLEDIMAGELIST:
        return reinterpret_cast<LRESULT>(SwapList(hwnd, st.disabledImages, lParam));
    case TB_GETDISABLEDIMAGELIST:
        return reinterpret_cast<LRESULT>(st.disabledImages);
    case TB_SETHOTIMAGELIST:
        return reinterpret_cast<LRESULT>(SwapList(hwnd, st.hotImages, lParam));
    case TB_GETHOTIMAGELIST:
        return reinterpret_cast<LRESULT>(st.hotImages);
    case TB_SETSTYLE: {
        const DWORD keep = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)) & 0xFFFF0000u;
        SetWindowLongPtr(hwnd, GWL_STYLE, static_cast<LONG_PTR>(keep | (static_cast<DWORD>(lParam) & 0xFFFFu)));
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case TB_GETSTYLE:
        return static_cast<LRESULT>(static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)) & 0xFFFFu);
    case TB_GETBUTTONINFO:
        return ButtonInfo(hwnd, st, wParam, reinterpret_cast<TBBUTTONINFO*>(lParam), false);
    case TB_SETBUTTONINFO:
        return ButtonInfo(hwnd, st, wParam, reinterpret_cast<TBBUTTONINFO*>(lParam), true);
    case TB_GETBUTTONTEXT: {
        const int i = IndexOfCommand(st, wParam);
        if (i < 0)
            return -1;
        const std::string& text = st.buttons[static_cast<size_t>(i)].text;
        if (lParam)
            std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case TB_HITTEST: {
        if (!lParam)
            return -1;
        const int hit = HitTest(hwnd, st, *reinterpret_cast<const POINT*>(lParam));
        return hit;
    }
    case TB_GETHOTITEM:
        return st.hot;
    case TB_SETHOTITEM: {
        const LRESULT old = st.hot;
        st.hot = static_cast<int>(static_cast<std::intptr_t>(wParam));
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT ToolbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ToolbarState* st = StateOf(hwnd);
    if (!st)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return ToolbarMessage(hwnd, *st, msg, wParam, lParam);
}

}  // namespace

void RegisterToolbarClass()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    BuiltinClass cls;
    cls.layerDrawn = true;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &ToolbarProc;
    cls.createWidget = [](HWND, const CREATESTRUCT&, QWidget* parent) -> QWidget* {
        auto* w = new ToolbarWidget(parent);
        w->setFocusPolicy(Qt::NoFocus);
        return w;
    };
    RegisterBuiltinClass(TOOLBARCLASSNAME, std::move(cls));
}

// CToolBar's borders are inside the control here: buttons start there.
static void SetOrigin(HWND hwnd, int x, int y)
{
    if (ToolbarState* st = StateOf(hwnd)) {
        st->origin = POINT{x, y};
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

}  // namespace qlafx

// ---- CControlBar ----
IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
    if (m_hWnd)
        qlafx::SetOrigin(m_hWnd, cxLeft, cyTop);
}

CSize CControlBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    CSize size(0, 0);
    const int edges = ((m_dwStyle & CBRS_BORDER_TOP) ? 2 : 0) + ((m_dwStyle & CBRS_BORDER_BOTTOM) ? 2 : 0);
    if (bHorz)
        size.cy = m_cyTopBorder + m_cyBottomBorder + edges;
    else
        size.cx = m_cxLeftBorder + m_cxRightBorder;
    return size;
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    CFrameWnd* target = m_pDockSite;
    for (CWnd* w = GetOwner(); !target && w; w = w->GetParent())
        target = DYNAMIC_DOWNCAST(CFrameWnd, w);
    if (target)
        OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
    return 0;
}

// ---- CToolBar ----
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
END_MESSAGE_MAP()

namespace {

// Update handlers set a button's state through its style bits.
class CToolCmdUI : public CCmdUI {
public:
    CToolBar* m_pToolBar = nullptr;

    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        UINT style = m_pToolBar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
        if (!bOn)
            style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;
        m_pToolBar->SetButtonStyle(static_cast<int>(m_nIndex), style);
    }
    void SetCheck(int nCheck) override
    {
        UINT style = m_pToolBar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            style |= TBBS_CHECKED;
        else if (nCheck == 2)
            style |= TBBS_INDETERMINATE;
        m_pToolBar->SetButtonStyle(static_cast<int>(m_nIndex), style | TBBS_CHECKBOX);
    }
    void SetText(LPCSTR) override {}
};

}  // namespace

CToolBar::CToolBar()
{
    m_cxLeftBorder = m_cxRightBorder = 6;
    m_cyTopBorder = m_cyBottomBorder = 2;
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder),
                    nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    qlafx::RegisterToolbarClass();
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD windowStyle = (dwStyle & ~CBRS_ALL) | (dwCtrlStyle & 0xFFFFu);
    if (dwStyle & CBRS_TOOLTIPS)
        windowStyle |= TBSTYLE_TOOLTIPS;
    if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, windowStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    SetBorders(rcBorders.left, rcBorders.top, rcBorders.right, rcBorders.bottom);
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }

BOOL CToolBar::LoadToolBar(LPCSTR lpszResourceName)
{
    if (!IS_INTRESOURCE(lpszResourceName))
        return FALSE;
    const UINT id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(lpszResourceName));
    const qlafx::ToolbarTable* table = qlafx::FindToolbar(id);
    if (!table)
        return FALSE;
    if (!SetButtons(table->commands.data(), static_cast<int>(table->commands.size())))
        return FALSE;
    // The table gives the image size, as a toolbar resource does; buttons
    // are 7 pixels larger each way.
    const CSize image(table->buttonWidth, table->buttonHeight);
    SetSizes(CSize(image.cx + 7, image.cy + 7), image);
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }

BOOL CToolBar::LoadBitmap(LPCSTR lpszResourceName)
{
    HBITMAP bitmap = ::LoadBitmap(AfxGetResourceHandle(), lpszResourceName);
    if (!bitmap)
        return FALSE;
    TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(bitmap)};
    BITMAP info{};
    ::GetObject(bitmap, sizeof info, &info);
    const int count = m_sizeImage.cx > 0 ? info.bmWidth / m_sizeImage.cx : 0;
    // The control keeps its own copy of the images.
    const bool added = SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&add)) >= 0;
    DeleteObject(bitmap);
    return added;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON button{};
        button.fsState = TBSTATE_ENABLED;
        button.iString = -1;
        const UINT id = lpIDArray ? lpIDArray[i] : 0;
        if (lpIDArray && id == ID_SEPARATOR) {
            button.fsStyle = TBSTYLE_SEP;
        } else {
            button.idCommand = static_cast<int>(id);
            button.iBitmap = image++;
        }
        if (!SendMessage(TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&button)))
            return FALSE;
    }
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(static_cast<WORD>(sizeImage.cx), static_cast<WORD>(sizeImage.cy)));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(static_cast<WORD>(sizeButton.cx), static_cast<WORD>(sizeButton.cy)));
    Invalidate();
}

void CToolBar::SetHeight(int cyHeight)
{
    m_nHeight = cyHeight;
    if (m_pDockSite)
        m_pDockSite->RecalcLayout();
}

int CToolBar::CommandToIndex(UINT nIDFind) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind)); }

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button)))
        return 0;
    return (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)) && lpRect)
        *lpRect = RECT{0, 0, 0, 0};
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button)))
        return 0;
    return MAKELONG(button.fsStyle, static_cast<BYTE>(button.fsState ^ TBSTATE_ENABLED));
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    if (SendMessage(TB_GETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info)) < 0)
        return;
    const BYTE style = static_cast<BYTE>(LOWORD(nStyle));
    const BYTE state = static_cast<BYTE>(HIWORD(nStyle) ^ TBSTATE_ENABLED);
    if (info.fsStyle == style && info.fsState == state)
        return;  // no repaint for a state that stays
    info.fsStyle = style;
    info.fsState = state;
    SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON button{};
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button));
    nID = static_cast<UINT>(button.idCommand);
    nStyle = MAKELONG(button.fsStyle, static_cast<BYTE>(button.fsState ^ TBSTATE_ENABLED));
    iImage = button.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_COMMAND | TBIF_IMAGE | TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    info.idCommand = static_cast<int>(nID);
    info.iImage = iImage;
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    info.fsState = static_cast<BYTE>(HIWORD(nStyle) ^ TBSTATE_ENABLED);
    SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

BOOL CToolBar::SetButtonText(int nIndex, LPCSTR lpszText)
{
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = const_cast<LPSTR>(lpszText ? lpszText : "");
    return static_cast<BOOL>(
        SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info)));
}

CString CToolBar::GetButtonText(int nIndex) const
{
    char text[256] = {};
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = text;
    info.cchText = sizeof text;
    SendMessage(TB_GETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
    return CString(text);
}

int CToolBar::GetCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    const int count = GetCount();
    RECT last{0, 0, 0, 0};
    if (count > 0)
        GetItemRect(count - 1, &last);
    const DWORD buttonSize = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    const int depth = m_nHeight >= 0 ? m_nHeight : (bHorz ? HIWORD(buttonSize) : LOWORD(buttonSize));
    if (bHorz) {
        size.cy = m_nHeight >= 0 ? m_nHeight : size.cy + depth;
        size.cx = bStretch ? 32767 : last.right + m_cxRightBorder;
    } else {
        size.cx += depth;
        size.cy = bStretch ? 32767 : last.bottom + m_cyBottomBorder;
    }
    return size;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pToolBar = this;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        UINT id = 0, style = 0;
        int image = 0;
        GetButtonInfo(static_cast<int>(i), id, style, image);
        if (LOWORD(style) & TBSTYLE_SEP)
            continue;
        state.m_nIndex = i;
        state.m_nID = id;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}
