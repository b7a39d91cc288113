#include "platform/afx/Dialog.h"

#include "platform/afx/Controls.h"

#include "platform/afx/DataExchange.h"
#include "platform/afx/DC.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/WinApp.h"

#include <QEventLoop>
#include <QPointer>

#include <algorithm>
#include <cctype>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace qlafx {

void RegisterButtonClass();
void RegisterStaticClass();
void RegisterEditClass();

namespace {

constexpr const char* kDialogClass = "#32770";

struct DialogState {
    UINT defId = 0;
    HFONT font = nullptr;
    HFONT ownedFont = nullptr;
    SIZE baseUnits{0, 0};
};

class DialogWidget : public LayerWidget {
public:
    using LayerWidget::LayerWidget;
    ~DialogWidget() override
    {
        if (state.ownedFont)
            DeleteObject(state.ownedFont);
    }
    DialogState state;
};

DialogState* StateOf(HWND hwnd)
{
    auto* w = dynamic_cast<DialogWidget*>(WidgetOf(hwnd));
    return w ? &w->state : nullptr;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

// Rounded a * b / c, as the dialog unit conversions round.
int ScaleRounded(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

std::vector<HWND> Children(HWND hDlg)
{
    std::vector<HWND> out;
    for (HWND w = GetWindow(hDlg, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        out.push_back(w);
    return out;
}

// The tab order: children in order, with the controls of a shown child that
// is a control parent (a property page) in its place.
void AppendTabOrder(HWND parent, std::vector<HWND>* out)
{
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        const DWORD style = static_cast<DWORD>(GetWindowLong(w, GWL_STYLE));
        if ((static_cast<DWORD>(GetWindowLong(w, GWL_EXSTYLE)) & WS_EX_CONTROLPARENT) && (style & WS_VISIBLE) &&
            !(style & WS_DISABLED))
            AppendTabOrder(w, out);
        else
            out->push_back(w);
    }
}

std::vector<HWND> TabOrder(HWND hDlg)
{
    std::vector<HWND> out;
    AppendTabOrder(hDlg, &out);
    return out;
}

// A control the dialog manager may move to: shown (by its own style, so this
// works before the dialog is) and enabled.
bool IsReachable(HWND w) { return (StyleOf(w) & WS_VISIBLE) && !(StyleOf(w) & WS_DISABLED); }

std::vector<CDialog*>& ModalStack()
{
    static std::vector<CDialog*> stack;
    return stack;
}

// The id of the dialog's default push button (DM_GETDEFID's answer).
UINT DefaultId(HWND hDlg, const DialogState& st)
{
    if (st.defId)
        return st.defId;
    for (HWND w : Children(hDlg)) {
        if (SendMessage(w, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            return static_cast<UINT>(GetDlgCtrlID(w));
    }
    return 0;
}

void SetDefaultId(HWND hDlg, DialogState& st, UINT id)
{
    const UINT old = DefaultId(hDlg, st);
    if (HWND w = old && old != id ? GetDlgItem(hDlg, static_cast<int>(old)) : nullptr) {
        if (SendMessage(w, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            SendMessage(w, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    if (HWND w = GetDlgItem(hDlg, static_cast<int>(id))) {
        if (SendMessage(w, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON && (StyleOf(w) & BS_TYPEMASK) == BS_PUSHBUTTON)
            SendMessage(w, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
    st.defId = id;
}

void MoveFocusTo(HWND hDlg, HWND target)
{
    if (!target || !IsChild(hDlg, target))
        return;
    SetFocus(target);
    if (SendMessage(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessage(target, EM_SETSEL, 0, -1);
}

void PressCommand(HWND hDlg, int id)
{
    HWND button = GetDlgItem(hDlg, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The class procedure of dialogs: default button, focus moves, background,
// and WM_CLOSE as Cancel.
LRESULT DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogState* st = StateOf(hwnd);
    if (!st)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            SendMessage(hwnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd)));
        RECT rc{};
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
        return 1;
    }
    case WM_CLOSE:
        PressCommand(hwnd, IDCANCEL);
        return 0;
    case WM_SETFONT:
        st->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(st->font);
    case DM_GETDEFID: {
        const UINT id = DefaultId(hwnd, *st);
        return id ? static_cast<LRESULT>(MAKELONG(static_cast<WORD>(id), DC_HASDEFID)) : 0;
    }
    case DM_SETDEFID:
        SetDefaultId(hwnd, *st, static_cast<UINT>(wParam));
        return TRUE;
    case WM_NEXTDLGCTL: {
        HWND target = nullptr;
        if (LOWORD(static_cast<DWORD>(lParam))) {
            target = reinterpret_cast<HWND>(wParam);
        } else {
            HWND focus = GetFocus();
            target = GetNextDlgTabItem(hwnd, IsChild(hwnd, focus) ? focus : nullptr, wParam != 0);
        }
        MoveFocusTo(hwnd, target);
        return 0;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void RegisterDialogClass()
{
    BuiltinClass cls;
    cls.layerDrawn = true;
    cls.classStyle = CS_DBLCLKS | CS_SAVEBITS;
    cls.defProc = &DefDlgProc;
    cls.background = GetSysColorBrush(COLOR_3DFACE);
    cls.createWidget = [](HWND, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        const bool child = static_cast<DWORD>(cs.style) & WS_CHILD;
        // A pop-up's parent widget is its owner's, so it is transient for it.
        auto* w = new DialogWidget(parent, child ? Qt::Widget : Qt::Dialog);
        w->setFocusPolicy(Qt::NoFocus);
        return w;
    };
    RegisterBuiltinClass(kDialogClass, std::move(cls));
}

bool IsArrow(WPARAM vk)
{
    return vk == static_cast<WPARAM>(VK_LEFT) || vk == static_cast<WPARAM>(VK_RIGHT) ||
           vk == static_cast<WPARAM>(VK_UP) || vk == static_cast<WPARAM>(VK_DOWN);
}

bool HandleEnter(HWND hDlg, HWND focus, UINT code)
{
    if (focus && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(focus)), BN_CLICKED),
                    reinterpret_cast<LPARAM>(focus));
        return true;
    }
    const DWORD def = static_cast<DWORD>(SendMessage(hDlg, DM_GETDEFID, 0, 0));
    PressCommand(hDlg, HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK);
    return true;
}

bool HandleArrow(HWND hDlg, HWND focus, WPARAM vk)
{
    const bool previous = vk == static_cast<WPARAM>(VK_LEFT) || vk == static_cast<WPARAM>(VK_UP);
    HWND next = GetNextDlgGroupItem(hDlg, focus, previous);
    if (!next || next == focus)
        return true;
    MoveFocusTo(hDlg, next);
    if ((StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
        (SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
        SendMessage(next, BM_CLICK, 0, 0);
    return true;
}

// Whether text marks c as its mnemonic ("&c"; "&&" is a plain ampersand).
bool HasMnemonic(const std::string& text, UINT c)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        const unsigned char next = static_cast<unsigned char>(text[i + 1]);
        if (next == '&') {
            ++i;
            continue;
        }
        return c < 0x80 && std::tolower(next) == std::tolower(static_cast<int>(c));
    }
    return false;
}

// The label a control's mnemonic is taken from: buttons and statics only.
bool IsLabelled(HWND w, UINT code)
{
    if (!(code & (DLGC_BUTTON | DLGC_STATIC | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON)))
        return false;
    char cls[16] = {};
    GetClassName(w, cls, sizeof cls);
    return !(std::string(cls) == "Static" && (StyleOf(w) & SS_NOPREFIX));
}

// A mnemonic, as the dialog manager answers it: the search starts after the
// focus and wraps; a static or group box hands focus to the next control, a
// push button is pressed, a check or radio box takes focus and is clicked.
bool HandleMnemonic(HWND hDlg, HWND focus, UINT c)
{
    const std::vector<HWND> items = TabOrder(hDlg);
    const int n = static_cast<int>(items.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (items[static_cast<size_t>(i)] == focus)
            start = i;
    for (int k = 1; k <= n; ++k) {
        const HWND w = items[static_cast<size_t>((start + k + n) % n)];
        const UINT code = static_cast<UINT>(SendMessage(w, WM_GETDLGCODE, 0, 0));
        if (!(StyleOf(w) & WS_VISIBLE) || !IsLabelled(w, code) || !HasMnemonic(WindowTextOf(w), c))
            continue;
        if (code & DLGC_STATIC) {
            for (int j = 1; j < n; ++j) {
                const HWND next = items[static_cast<size_t>((start + k + j + n) % n)];
                if (IsReachable(next) && (StyleOf(next) & WS_TABSTOP)) {
                    MoveFocusTo(hDlg, next);
                    break;
                }
            }
            return true;
        }
        if (StyleOf(w) & WS_DISABLED)
            continue;
        if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
            MoveFocusTo(hDlg, w);
        SendMessage(w, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

}  // namespace

void RegisterDialogClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterButtonClass();
        RegisterStaticClass();
        RegisterEditClass();
        RegisterDialogClass();
    });
}

SIZE DialogBaseUnits(HFONT font)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : DefaultGuiFont());
    SIZE ext{};
    GetTextExtentPoint32(dc, kAlphabet, 52, &ext);
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{(ext.cx / 26 + 1) / 2, tm.tmHeight};
}

HFONT CreateDialogFont(const DialogTemplate& tmpl)
{
    const bool own = (tmpl.style & DS_SETFONT) && tmpl.fontFace && *tmpl.fontFace;
    const char* face = own ? tmpl.fontFace : "MS Shell Dlg";
    const int points = own && tmpl.pointSize ? tmpl.pointSize : 8;
    return CreateFont(-ScaleRounded(points, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

CWnd* ActiveModalDialog() { return ModalStack().empty() ? nullptr : ModalStack().back(); }

CWnd* ModalOwnerOf(CWnd* pParentWnd)
{
    CWnd* top = pParentWnd ? pParentWnd->GetTopLevelParent() : nullptr;
    CWnd* modal = ActiveModalDialog();
    if (modal && modal->m_hWnd && ::IsWindowVisible(modal->m_hWnd) &&
        (!top || modal == top || ::GetAncestor(modal->m_hWnd, GA_ROOTOWNER) == top->m_hWnd))
        return modal;
    return top ? top : AfxGetMainWnd();
}

}  // namespace qlafx

// ---- dialog manager functions ----

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    const std::vector<HWND> items = qlafx::TabOrder(hDlg);
    const int n = static_cast<int>(items.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (items[static_cast<size_t>(i)] == hCtl)
            start = i;
    const int step = bPrevious ? -1 : 1;
    if (start < 0)
        start = bPrevious ? 0 : n - 1;  // so the first step lands on the first (or last) item
    for (int k = 1; k <= n; ++k) {
        HWND w = items[static_cast<size_t>(((start + step * k) % n + n) % n)];
        if (qlafx::IsReachable(w) && (qlafx::StyleOf(w) & WS_TABSTOP))
            return w;
    }
    return nullptr;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    const std::vector<HWND> items = qlafx::Children(hDlg);
    const int n = static_cast<int>(items.size());
    int at = 0;
    for (int i = 0; i < n; ++i)
        if (items[static_cast<size_t>(i)] == hCtl)
            at = i;
    if (n == 0)
        return nullptr;
    int first = at;
    while (first > 0 && !(qlafx::StyleOf(items[static_cast<size_t>(first)]) & WS_GROUP))
        --first;
    int last = at;
    while (last + 1 < n && !(qlafx::StyleOf(items[static_cast<size_t>(last + 1)]) & WS_GROUP))
        ++last;
    const int size = last - first + 1;
    const int step = bPrevious ? -1 : 1;
    for (int k = 1; k <= size; ++k) {
        HWND w = items[static_cast<size_t>(first + (((at - first) + step * k) % size + size) % size)];
        if (qlafx::IsReachable(w))
            return w;
    }
    return hCtl;
}

BOOL IsDialogMessage(HWND hDlg, LPMSG lpMsg)
{
    if (!lpMsg || !hDlg || (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)))
        return FALSE;
    if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_CHAR && lpMsg->message != WM_SYSCHAR)
        return FALSE;
    HWND focus = lpMsg->hwnd != hDlg ? lpMsg->hwnd : nullptr;
    const UINT code = focus ? static_cast<UINT>(SendMessage(focus, WM_GETDLGCODE, lpMsg->wParam,
                                                            reinterpret_cast<LPARAM>(lpMsg)))
                            : 0;
    if (code & DLGC_WANTALLKEYS)
        return FALSE;
    const WPARAM key = lpMsg->wParam;
    if (lpMsg->message == WM_SYSCHAR)
        return qlafx::HandleMnemonic(hDlg, focus, static_cast<UINT>(key));
    if (lpMsg->message == WM_CHAR) {
        // The characters of the keys handled below would only beep.
        if (key == '\t')
            return !(code & DLGC_WANTTAB);
        if (key == '\r' || key == 0x1B)
            return TRUE;
        // A control that takes no characters lets a plain letter act as a mnemonic.
        if (!(code & DLGC_WANTCHARS) && key > ' ' && !(GetKeyState(VK_CONTROL) < 0))
            return qlafx::HandleMnemonic(hDlg, focus, static_cast<UINT>(key));
        return FALSE;
    }
    if (key == static_cast<WPARAM>(VK_TAB)) {
        if (code & DLGC_WANTTAB)
            return FALSE;
        HWND next = GetNextDlgTabItem(hDlg, focus, GetKeyState(VK_SHIFT) < 0);
        qlafx::MoveFocusTo(hDlg, next);
        return TRUE;
    }
    if (qlafx::IsArrow(key)) {
        if (code & DLGC_WANTARROWS)
            return FALSE;
        return qlafx::HandleArrow(hDlg, focus, key);
    }
    if (key == static_cast<WPARAM>(VK_RETURN))
        return qlafx::HandleEnter(hDlg, focus, code);
    if (key == static_cast<WPARAM>(VK_ESCAPE)) {
        qlafx::PressCommand(hDlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect)
{
    const qlafx::DialogState* st = qlafx::StateOf(hDlg);
    if (!st || !lpRect)
        return FALSE;
    lpRect->left = qlafx::ScaleRounded(lpRect->left, st->baseUnits.cx, 4);
    lpRect->right = qlafx::ScaleRounded(lpRect->right, st->baseUnits.cx, 4);
    lpRect->top = qlafx::ScaleRounded(lpRect->top, st->baseUnits.cy, 8);
    lpRect->bottom = qlafx::ScaleRounded(lpRect->bottom, st->baseUnits.cy, 8);
    return TRUE;
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND w = GetDlgItem(hDlg, nIDButton);
    if (!w)
        return FALSE;
    SendMessage(w, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    HWND w = GetDlgItem(hDlg, nIDButton);
    return w ? static_cast<UINT>(SendMessage(w, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (HWND w = GetDlgItem(hDlg, id))
            SendMessage(w, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

BOOL EndDialog(HWND hDlg, int nResult)
{
    if (auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hDlg))) {
        dlg->EndDialog(nResult);
        return TRUE;
    }
    return IsWindow(hDlg) ? ShowWindow(hDlg, SW_HIDE), TRUE : FALSE;
}

// ---- CDialog ----

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_MESSAGE(WM_SETFONT, HandleSetFont)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
    m_lpszTemplateName = MAKEINTRESOURCE(nIDTemplate);
    m_nIDHelp = nIDTemplate;
}

CDialog::~CDialog()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_lpszTemplateName = MAKEINTRESOURCE(nIDTemplate);
    if (!m_nIDHelp)
        m_nIDHelp = nIDTemplate;
    const qlafx::DialogTemplate* tmpl = qlafx::FindDialog(nIDTemplate);
    if (!tmpl) {
        std::fprintf(stderr, "qlafx: no dialog template %u\n", nIDTemplate);
        return FALSE;
    }
    return CreateIndirect(tmpl, pParentWnd);
}

BOOL CDialog::CreateIndirect(const qlafx::DialogTemplate* pTemplate, CWnd* pParentWnd)
{
    if (!pTemplate)
        return FALSE;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    CWnd* parent = pParentWnd ? pParentWnd : AfxGetMainWnd();
    if (!CreateFromTemplate(*pTemplate, qlafx::HwndOf(parent)))
        return FALSE;
    if (pTemplate->style & WS_VISIBLE)
        ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

BOOL CDialog::InitModalIndirect(const qlafx::DialogTemplate* pTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = pTemplate;
    m_pParentWnd = pParentWnd;
    return pTemplate != nullptr;
}

BOOL CDialog::CreateFromTemplate(const qlafx::DialogTemplate& tmpl, HWND hWndOwner)
{
    qlafx::RegisterDialogClasses();
    HFONT font = qlafx::CreateDialogFont(tmpl);
    const SIZE base = qlafx::DialogBaseUnits(font);
    auto px = [&](int v) { return qlafx::ScaleRounded(v, base.cx, 4); };
    auto py = [&](int v) { return qlafx::ScaleRounded(v, base.cy, 8); };

    const bool child = (tmpl.style & WS_CHILD) != 0;
    int x = px(tmpl.x), y = py(tmpl.y);
    const int cx = px(tmpl.cx), cy = py(tmpl.cy);
    if (!child && hWndOwner) {
        // A pop-up's position is counted from its owner's client area.
        POINT origin{0, 0};
        ::ClientToScreen(hWndOwner, &origin);
        x += origin.x;
        y += origin.y;
    }
    DWORD exStyle = tmpl.exStyle;
    if (tmpl.style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    const DWORD style = tmpl.style & ~WS_VISIBLE;
    if (!CreateEx(exStyle, qlafx::kDialogClass, tmpl.caption ? tmpl.caption : "", style, x, y, cx, cy, hWndOwner,
                  child ? reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(tmpl.id)) : nullptr)) {
        DeleteObject(font);
        return FALSE;
    }
    qlafx::DialogState* st = qlafx::StateOf(m_hWnd);
    if (!st) {
        DeleteObject(font);
        DestroyWindow();
        return FALSE;
    }
    st->ownedFont = font;
    st->baseUnits = base;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const qlafx::DialogItem& item : tmpl.items) {
        HWND ctl = CreateWindowEx(item.exStyle | WS_EX_NOPARENTNOTIFY, item.className, item.text ? item.text : "",
                                  item.style | WS_CHILD, px(item.x), py(item.y), px(item.cx), py(item.cy), m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id)),
                                  AfxGetInstanceHandle(), nullptr);
        if (!ctl) {
            if (tmpl.style & DS_NOFAILCREATE)
                continue;
            std::fprintf(stderr, "qlafx: dialog %u: cannot create control %u of class \"%s\"\n", tmpl.id, item.id,
                         item.className ? item.className : "");
            DestroyWindow();
            return FALSE;
        }
        ::SendMessage(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    if (!child && (tmpl.style & DS_CENTER))
        CenterWindow();
    RECT before{};
    GetWindowRect(&before);
    HWND first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    const LRESULT setFocus = SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0);
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return FALSE;
    if (setFocus && first && ::IsWindow(first))
        qlafx::MoveFocusTo(m_hWnd, first);
    // A pop-up OnInitDialog did not place is centred on its owner.
    RECT after{};
    GetWindowRect(&after);
    if (!child && !(tmpl.style & DS_CENTER) && EqualRect(&before, &after))
        CenterWindow();
    return TRUE;
}

int CDialog::DoModal()
{
    const qlafx::DialogTemplate* tmpl = m_lpDialogTemplate ? m_lpDialogTemplate : qlafx::FindDialog(m_nIDTemplate);
    if (!tmpl) {
        std::fprintf(stderr, "qlafx: no dialog template %u\n", m_nIDTemplate);
        return -1;
    }
    HWND owner = qlafx::HwndOf(qlafx::ModalOwnerOf(m_pParentWnd));
    if (owner == m_hWnd)
        owner = nullptr;
    const bool reenableOwner = owner && ::IsWindowEnabled(owner);
    if (reenableOwner)
        ::EnableWindow(owner, FALSE);
    m_hModalOwner = reenableOwner ? owner : nullptr;

    m_bModal = true;
    m_bEnded = false;
    m_nModalResult = -1;
    auto& stack = qlafx::ModalStack();
    stack.push_back(this);
    if (CreateFromTemplate(*tmpl, owner)) {
        if (QWidget* w = GetWidget(); w && w->isWindow())
            w->setWindowModality(Qt::ApplicationModal);
        if (!m_bEnded)
            ShowWindow(SW_SHOWNORMAL);
        if (!m_bEnded && !m_bSkipModalHook) {
            CString caption;
            GetWindowText(caption);
            const int answer = qlafx::CallModalHook(this, caption, nullptr, 0);
            if (!m_bEnded && answer != qlafx::kModalRun && m_hWnd)
                EndDialog(answer);
        }
        if (!m_bEnded && m_hWnd)
            RunModalLoop();
    }
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    EnableModalOwner();
    if (owner && ::IsWindow(owner))
        ::SetActiveWindow(owner);
    if (m_hWnd)
        DestroyWindow();
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    QEventLoop loop;
    m_pLoop = &loop;
    QPointer<QWidget> widget = GetWidget();
    if (widget)
        QObject::connect(widget.data(), &QObject::destroyed, &loop, [&loop] { loop.exit(); });
    loop.exec(QEventLoop::DialogExec);
    m_pLoop = nullptr;
}

void CDialog::EnableModalOwner()
{
    const HWND owner = m_hModalOwner;
    m_hModalOwner = nullptr;
    if (owner && ::IsWindow(owner))
        ::EnableWindow(owner, TRUE);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = true;
    if (m_bModal)
        EnableModalOwner();
    if (m_hWnd)
        ShowWindow(SW_HIDE);
    if (m_pLoop)
        m_pLoop->exit();
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT r = CWnd::WindowProc(message, wParam, lParam);
    // A modal dialog destroyed under its loop ends it.
    if (message == WM_NCDESTROY && m_bModal && !m_bEnded) {
        m_bEnded = true;
        if (m_pLoop)
            m_pLoop->exit();
    }
    return r;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    Default();
    return OnInitDialog();
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM)
{
    OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
    return Default();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnSetFont(CFont*) {}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(qlafx::HwndOf(pWndCtrl)), TRUE);
}

void CDialog::NextDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 1, 0); }

DWORD CDialog::GetDefID() const { return static_cast<DWORD>(SendMessage(DM_GETDEFID)); }
void CDialog::SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }
BOOL CDialog::IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessage(m_hWnd, lpMsg); }

CWnd* CDialog::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const
{
    return CWnd::FromHandle(::GetNextDlgTabItem(m_hWnd, qlafx::HwndOf(pWndCtl), bPrevious));
}

CWnd* CDialog::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const
{
    return CWnd::FromHandle(::GetNextDlgGroupItem(m_hWnd, qlafx::HwndOf(pWndCtl), bPrevious));
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::IsDialogMessage(m_hWnd, pMsg);
    return FALSE;
}
