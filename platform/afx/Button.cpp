// "Button": push buttons, check boxes, radio buttons and group boxes drawn by
// the layer into the window's surface, so that parents can colour them
// (WM_CTLCOLOR*), owner-draw them (WM_DRAWITEM) or subclass them.
#include "platform/afx/Controls.h"
#include "platform/afx/DC.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/Resources.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QWidget>

namespace qlafx {
namespace {

struct ButtonState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;    // drawn pressed
    bool tracking = false;  // left button went down on it
    bool spaceDown = false;
    bool focus = false;
    bool quietRestyle = false;  // BM_SETSTYLE without redraw
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
};

class ButtonWidget : public LayerWidget {
public:
    using LayerWidget::LayerWidget;
    ButtonState state;
};

ButtonState* StateOf(HWND hwnd)
{
    auto* w = dynamic_cast<ButtonWidget*>(WidgetOf(hwnd));
    return w ? &w->state : nullptr;
}

DWORD TypeOf(DWORD style) { return style & BS_TYPEMASK; }
DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

bool IsCheckType(DWORD type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadioType(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
bool IsPushType(DWORD type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON; }

bool IsDefaultOfDialog(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    char cls[16] = {};
    if (!parent || GetClassName(parent, cls, sizeof cls) <= 0 || std::string(cls) != "#32770")
        return false;
    const DWORD def = static_cast<DWORD>(SendMessage(parent, DM_GETDEFID, 0, 0));
    return HIWORD(def) == DC_HASDEFID && LOWORD(def) == GetDlgCtrlID(hwnd);
}

// ---- drawing ----

UINT TextFormat(DWORD style, bool pushLike)
{
    UINT fmt = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    switch (style & BS_CENTER) {
    case BS_LEFT: fmt |= DT_LEFT; break;
    case BS_RIGHT: fmt |= DT_RIGHT; break;
    case BS_CENTER: fmt |= DT_CENTER; break;
    default: fmt |= pushLike ? DT_CENTER : DT_LEFT; break;
    }
    switch (style & BS_VCENTER) {
    case BS_TOP: break;
    case BS_BOTTOM: fmt |= DT_BOTTOM; break;
    default: fmt |= DT_VCENTER; break;
    }
    return fmt;
}

// The label: a bitmap or icon with BS_BITMAP / BS_ICON, else the text.
void DrawLabel(HWND hwnd, HDC dc, const ButtonState& st, RECT rc, DWORD style, bool pushLike)
{
    const bool enabled = IsWindowEnabled(hwnd);
    if ((style & BS_BITMAP) && st.bitmap) {
        BITMAP bm{};
        GetObject(st.bitmap, sizeof bm, &bm);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, st.bitmap);
        BitBlt(dc, (rc.left + rc.right - bm.bmWidth) / 2, (rc.top + rc.bottom - bm.bmHeight) / 2, bm.bmWidth,
               bm.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        return;
    }
    if ((style & BS_ICON) && st.icon) {
        POINT hot{};
        const QImage img = IconImage(st.icon, &hot);
        const int w = img.isNull() ? 32 : img.width();
        const int h = img.isNull() ? 32 : img.height();
        DrawIconEx(dc, (rc.left + rc.right - w) / 2, (rc.top + rc.bottom - h) / 2, st.icon, w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    const std::string text = WindowTextOf(hwnd);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    SetBkMode(dc, TRANSPARENT);
    if (!enabled)
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &rc, TextFormat(style, pushLike));
    SelectObject(dc, oldFont);
}

// A style option for the control's widget: its palette and direction, the
// enabled state; focus and hover are the layer's to draw.
template <class Option>
Option StyleOption(HWND hwnd, const RECT& rc)
{
    Option opt;
    if (QWidget* w = WidgetOf(hwnd))
        opt.initFrom(w);
    opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (IsWindowEnabled(hwnd))
        opt.state |= QStyle::State_Enabled;
    else
        opt.state &= ~QStyle::State_Enabled;
    opt.rect = QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return opt;
}

void DrawPushFace(HWND hwnd, HDC dc, const ButtonState& st, DWORD style, HBRUSH background, bool sunken)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, background);
    // The parent's brush shows in a one-pixel margin around the face.
    RECT face = client;
    InflateRect(&face, -1, -1);
    const bool isDefault = TypeOf(style) == BS_DEFPUSHBUTTON;
    RECT inner = face;
    // The bevel is the application style's, as on Qt's own buttons.
    auto opt = StyleOption<QStyleOptionButton>(hwnd, face);
    opt.state |= sunken ? QStyle::State_Sunken : QStyle::State_Raised;
    if (isDefault)
        opt.features |= QStyleOptionButton::DefaultButton;
    if (style & BS_FLAT)
        opt.features |= QStyleOptionButton::Flat;
    QWidget* widget = WidgetOf(hwnd);
    PaintWithQt(dc, [&](QPainter& p) { QApplication::style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, widget); });
    InflateRect(&inner, -2, -2);
    RECT label = inner;
    InflateRect(&label, -2, -1);
    if (sunken)
        OffsetRect(&label, 1, 1);
    DrawLabel(hwnd, dc, st, label, style, true);
    if (st.focus) {
        RECT focus = inner;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
}

void DrawCheckOrRadio(HWND hwnd, HDC dc, const ButtonState& st, DWORD style, HBRUSH background)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, background);
    const bool radio = IsRadioType(TypeOf(style));
    const int size = 13;
    const bool right = (style & BS_LEFTTEXT) != 0;
    RECT box{};
    box.left = right ? client.right - size : client.left;
    box.top = (client.top + client.bottom - size) / 2;
    box.right = box.left + size;
    box.bottom = box.top + size;

    // The indicator is the application style's, as on Qt's own check boxes.
    auto opt = StyleOption<QStyleOptionButton>(hwnd, box);
    opt.state |= st.check == BST_CHECKED         ? QStyle::State_On
                 : st.check == BST_INDETERMINATE ? QStyle::State_NoChange
                                                 : QStyle::State_Off;
    if (st.pushed)
        opt.state |= QStyle::State_Sunken;
    QWidget* widget = WidgetOf(hwnd);
    PaintWithQt(dc, [&](QPainter& p) {
        QApplication::style()->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox,
                                             &opt, &p, widget);
    });

    RECT label = client;
    if (right)
        label.right = box.left - 4;
    else
        label.left = box.right + 4;
    DrawLabel(hwnd, dc, st, label, style, false);
    if (st.focus) {
        const std::string text = WindowTextOf(hwnd);
        RECT calc = label;
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &calc,
                 (TextFormat(style, false) & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
        SelectObject(dc, oldFont);
        const int h = calc.bottom - calc.top;
        calc.top = (label.top + label.bottom - h) / 2;
        calc.bottom = calc.top + h;
        InflateRect(&calc, 1, 1);
        DrawFocusRect(dc, &calc);
    }
}

void DrawGroupBox(HWND hwnd, HDC dc, DWORD style, HBRUSH background)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, background);
    const std::string text = WindowTextOf(hwnd);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    RECT frame = client;
    frame.top += tm.tmHeight / 2;
    if (style & BS_FLAT) {
        DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    } else {
        // The style's plain frame: the parent's brush stays inside, as the
        // parent may colour it.
        auto opt = StyleOption<QStyleOptionFrame>(hwnd, frame);
        opt.lineWidth = 1;
        opt.frameShape = QFrame::StyledPanel;
        QWidget* widget = WidgetOf(hwnd);
        PaintWithQt(dc, [&](QPainter& p) { QApplication::style()->drawPrimitive(QStyle::PE_Frame, &opt, &p, widget); });
    }
    if (!text.empty()) {
        SIZE ext{};
        GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &ext);
        RECT label{client.left + 8, client.top, client.left + 8 + ext.cx + 4, client.top + tm.tmHeight};
        FillRect(dc, &label, background);
        SetBkMode(dc, TRANSPARENT);
        if (!IsWindowEnabled(hwnd))
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        TextOut(dc, label.left + 2, label.top, text.c_str(), static_cast<int>(text.size()));
    }
    SelectObject(dc, oldFont);
}

UINT OwnerDrawState(HWND hwnd, const ButtonState& st)
{
    UINT state = 0;
    if (st.pushed)
        state |= ODS_SELECTED;
    if (st.focus)
        state |= ODS_FOCUS;
    if (!IsWindowEnabled(hwnd))
        state |= ODS_DISABLED;
    if (IsDefaultOfDialog(hwnd))
        state |= ODS_DEFAULT;
    return state;
}

void SendDrawItem(HWND hwnd, HDC dc, const ButtonState& st, UINT action)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    dis.itemAction = action;
    dis.itemState = OwnerDrawState(hwnd, st);
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    GetClientRect(hwnd, &dis.rcItem);
    SendMessage(GetParent(hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

// Push-like kinds ask with WM_CTLCOLORBTN, the others with WM_CTLCOLORSTATIC.
// The parent may subclass and restyle the button while answering (a skinned
// dialog turns push buttons owner-drawn there), so the style is read after.
void Paint(HWND hwnd, HDC dc, UINT ownerDrawAction)
{
    DWORD type = TypeOf(StyleOf(hwnd));
    const bool pushFamily = IsPushType(type) || type == BS_OWNERDRAW || (StyleOf(hwnd) & BS_PUSHLIKE);
    HBRUSH brush = ControlColor(hwnd, dc, pushFamily ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
    ButtonState* st = StateOf(hwnd);
    if (!st || !IsWindow(hwnd))
        return;
    const DWORD style = StyleOf(hwnd);
    type = TypeOf(style);
    if (type == BS_OWNERDRAW) {
        SendDrawItem(hwnd, dc, *st, ownerDrawAction);
        return;
    }
    if (type == BS_GROUPBOX) {
        DrawGroupBox(hwnd, dc, style, brush);
    } else if ((IsCheckType(type) || IsRadioType(type)) && !(style & BS_PUSHLIKE)) {
        DrawCheckOrRadio(hwnd, dc, *st, style, brush);
    } else {
        const bool sunken = st->pushed || ((style & BS_PUSHLIKE) && st->check != BST_UNCHECKED);
        DrawPushFace(hwnd, dc, *st, style, brush, sunken);
    }
}

// A state change: owner-drawn buttons draw at once with the matching action,
// the others repaint.
void Redraw(HWND hwnd, UINT ownerDrawAction)
{
    if (TypeOf(StyleOf(hwnd)) != BS_OWNERDRAW) {
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    HDC dc = GetDC(hwnd);
    if (!dc)
        return;
    Paint(hwnd, dc, ownerDrawAction);
    ReleaseDC(hwnd, dc);
    if (QWidget* w = WidgetOf(hwnd))
        w->update();
}

void SetPushed(HWND hwnd, ButtonState& st, bool pushed)
{
    if (st.pushed == pushed)
        return;
    st.pushed = pushed;
    Redraw(hwnd, ODA_SELECT);
}

// The auto radio buttons of hwnd's group other than hwnd lose their check.
void UncheckGroup(HWND hwnd)
{
    HWND first = hwnd;
    while (!(StyleOf(first) & WS_GROUP)) {
        HWND prev = GetWindow(first, GW_HWNDPREV);
        if (!prev)
            break;
        first = prev;
    }
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != first && (StyleOf(w) & WS_GROUP))
            break;
        if (w == hwnd)
            continue;
        char cls[8] = {};
        GetClassName(w, cls, sizeof cls);
        if (QString(cls).compare("Button", Qt::CaseInsensitive) == 0 && TypeOf(StyleOf(w)) == BS_AUTORADIOBUTTON)
            SendMessage(w, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void SetCheck(HWND hwnd, ButtonState& st, UINT check)
{
    const DWORD style = StyleOf(hwnd);
    const DWORD type = TypeOf(style);
    if (!IsCheckType(type) && !IsRadioType(type))
        return;
    if (type != BS_3STATE && type != BS_AUTO3STATE && check == BST_INDETERMINATE)
        check = BST_CHECKED;
    if (check > BST_INDETERMINATE)
        check = BST_CHECKED;
    if (st.check == check)
        return;
    st.check = check;
    // A checked radio button is the one Tab stops at in its group.
    if (IsRadioType(type))
        SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(check ? style | WS_TABSTOP : style & ~WS_TABSTOP));
    InvalidateRect(hwnd, nullptr, FALSE);
}

// A completed click: the auto kinds change their check first, so the
// parent's BN_CLICKED handler reads the new state.
void Clicked(HWND hwnd, ButtonState& st)
{
    switch (TypeOf(StyleOf(hwnd))) {
    case BS_AUTOCHECKBOX:
        SetCheck(hwnd, st, st.check ? BST_UNCHECKED : BST_CHECKED);
        break;
    case BS_AUTO3STATE:
        SetCheck(hwnd, st, (st.check + 1) % 3);
        break;
    case BS_AUTORADIOBUTTON:
        SetCheck(hwnd, st, BST_CHECKED);
        UncheckGroup(hwnd);
        break;
    default:
        break;
    }
    NotifyParent(hwnd, BN_CLICKED);
}

UINT DialogCode(DWORD style)
{
    switch (TypeOf(style)) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
    }
}

void ApplyFocusPolicy(HWND hwnd, DWORD style)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w)
        return;
    if (TypeOf(style) == BS_GROUPBOX)
        w->setFocusPolicy(Qt::NoFocus);
    else
        w->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
}

LRESULT ButtonMessage(HWND hwnd, ButtonState& st, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const DWORD style = StyleOf(hwnd);
    const DWORD type = TypeOf(style);
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc)
            Paint(hwnd, dc, ODA_DRAWENTIRE);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (type == BS_GROUPBOX)
            return 0;
        if (msg == WM_LBUTTONDBLCLK && (IsRadioType(type) || type == BS_OWNERDRAW || (style & BS_NOTIFY)))
            NotifyParent(hwnd, BN_DOUBLECLICKED);
        if (!IsWindow(hwnd))
            return 0;
        st.tracking = true;
        if (GetFocus() != hwnd)
            SetFocus(hwnd);
        SetPushed(hwnd, st, true);
        return 0;
    case WM_MOUSEMOVE:
        if (st.tracking) {
            RECT rc{};
            GetClientRect(hwnd, &rc);
            SetPushed(hwnd, st, PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!st.tracking)
            return 0;
        st.tracking = false;
        RECT rc{};
        GetClientRect(hwnd, &rc);
        const bool inside = PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        SetPushed(hwnd, st, false);
        if (inside)
            Clicked(hwnd, st);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == static_cast<WPARAM>(VK_SPACE) && type != BS_GROUPBOX) {
            st.spaceDown = true;
            SetPushed(hwnd, st, true);
            return 0;
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_KEYUP:
        if (wParam == static_cast<WPARAM>(VK_SPACE) && st.spaceDown) {
            st.spaceDown = false;
            SetPushed(hwnd, st, false);
            Clicked(hwnd, st);
            return 0;
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS:
        st.focus = true;
        Redraw(hwnd, ODA_FOCUS);
        if (style & BS_NOTIFY)
            NotifyParent(hwnd, BN_SETFOCUS);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_KILLFOCUS:
        st.focus = false;
        st.tracking = st.spaceDown = false;
        if (st.pushed)
            st.pushed = false;
        Redraw(hwnd, ODA_FOCUS);
        if (style & BS_NOTIFY)
            NotifyParent(hwnd, BN_KILLFOCUS);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return r;
    }
    case WM_SETFONT:
        st.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<DWORD>(lParam)))
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(st.font);
    case WM_GETDLGCODE:
        return static_cast<LRESULT>(DialogCode(style));
    case WM_STYLECHANGED:
        // However the style changed (ModifyStyle, SetWindowLong), the button
        // takes focus and draws as its new type.
        if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
            ApplyFocusPolicy(hwnd, style);
            if (!st.quietRestyle)
                InvalidateRect(hwnd, nullptr, FALSE);
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case BM_GETCHECK:
        return static_cast<LRESULT>(st.check);
    case BM_SETCHECK:
        SetCheck(hwnd, st, static_cast<UINT>(wParam));
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>(st.check | (st.pushed ? BST_PUSHED : 0) | (st.focus ? BST_FOCUS : 0));
    case BM_SETSTATE:
        SetPushed(hwnd, st, wParam != 0);
        return 0;
    case BM_SETSTYLE: {
        const DWORD newStyle = (style & 0xFFFF0000u) | static_cast<DWORD>(wParam & 0xFFFF);
        st.quietRestyle = true;
        SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(newStyle));
        st.quietRestyle = false;
        ApplyFocusPolicy(hwnd, newStyle);
        if (LOWORD(static_cast<DWORD>(lParam)))
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case BM_CLICK: {
        // As a click of the mouse, so a subclass sees the button messages.
        if (!IsWindowEnabled(hwnd))
            return 0;
        RECT rc{};
        GetClientRect(hwnd, &rc);
        const LPARAM pt = MAKELPARAM(static_cast<WORD>(rc.right / 2), static_cast<WORD>(rc.bottom / 2));
        SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, pt);
        if (IsWindow(hwnd))
            SendMessage(hwnd, WM_LBUTTONUP, 0, pt);
        return 0;
    }
    case BM_GETIMAGE:
        return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(st.bitmap)
                                      : reinterpret_cast<LRESULT>(st.icon);
    case BM_SETIMAGE: {
        LRESULT old = 0;
        if (wParam == IMAGE_BITMAP) {
            old = reinterpret_cast<LRESULT>(st.bitmap);
            st.bitmap = reinterpret_cast<HBITMAP>(lParam);
        } else {
            old = reinterpret_cast<LRESULT>(st.icon);
            st.icon = reinterpret_cast<HICON>(lParam);
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ButtonState* st = StateOf(hwnd);
    if (!st)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return ButtonMessage(hwnd, *st, msg, wParam, lParam);
}

}  // namespace

HBRUSH ControlColor(HWND control, HDC dc, UINT message)
{
    const bool edit = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    SetTextColor(dc, GetSysColor(edit ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(edit ? COLOR_WINDOW : COLOR_BTNFACE));
    HWND parent = GetParent(control);
    HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(SendMessage(parent, message, reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(control)))
                          : nullptr;
    return brush ? brush : GetSysColorBrush(edit ? COLOR_WINDOW : COLOR_BTNFACE);
}

void NotifyParent(HWND control, UINT code)
{
    HWND parent = GetParent(control);
    if (!parent)
        return;
    const WORD id = static_cast<WORD>(GetDlgCtrlID(control));
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, static_cast<WORD>(code)), reinterpret_cast<LPARAM>(control));
}

HFONT ControlFont(HWND control)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessage(control, WM_GETFONT, 0, 0));
    return font ? font : DefaultGuiFont();
}

std::string WindowTextOf(HWND hwnd)
{
    std::string s(static_cast<size_t>(GetWindowTextLength(hwnd)) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowText(hwnd, s.data(), static_cast<int>(s.size()))));
    return s;
}

void RegisterButtonClass()
{
    BuiltinClass cls;
    cls.layerDrawn = true;
    cls.classStyle = CS_DBLCLKS | CS_PARENTDC;
    cls.defProc = &ButtonProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        auto* w = new ButtonWidget(parent);
        (void)hwnd;
        const DWORD style = static_cast<DWORD>(cs.style);
        if (TypeOf(style) == BS_GROUPBOX)
            w->setFocusPolicy(Qt::NoFocus);
        else
            w->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        return w;
    };
    RegisterBuiltinClass("Button", std::move(cls));
}

}  // namespace qlafx

// ---- CButton ----

IMPLEMENT_DYNAMIC(CButton, CWnd)

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterDialogClasses();
    return CWnd::Create("Button", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

HBITMAP CButton::SetBitmap(HBITMAP hBitmap)
{
    return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}

HBITMAP CButton::GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP)); }

HICON CButton::SetIcon(HICON hIcon)
{
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CButton::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON)); }

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}
