// Message boxes as layer dialogs: a template made for the text and buttons.
#include "platform/afx/MessageBox.h"

#include "platform/afx/DC.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <string>
#include <vector>

namespace qlafx {
namespace {

ModalHook& Hook()
{
    static ModalHook hook;
    return hook;
}

struct ButtonSpec {
    int id;
    const char* text;
};

std::vector<ButtonSpec> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    case MB_CANCELTRYCONTINUE: return {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "&Try Again"}, {IDCONTINUE, "&Continue"}};
    default: return {{IDOK, "OK"}};
    }
}

LPCSTR IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
    }
}

constexpr UINT kTextId = 0xFFFF;
constexpr UINT kIconId = 20;

// The box's layout in dialog units, from the text measured in the dialog font.
DialogTemplate MakeTemplate(const char* caption, const char* text, UINT type)
{
    DialogTemplate t{0, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 0, 0,
                     caption, "MS Shell Dlg", 8, {}};
    HFONT font = CreateDialogFont(t);
    const SIZE base = DialogBaseUnits(font);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rc{0, 0, 400, 0};
    DrawText(dc, text, -1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    auto du_x = [&](int px) { return static_cast<short>((px * 4 + base.cx - 1) / base.cx); };
    auto du_y = [&](int px) { return static_cast<short>((px * 8 + base.cy - 1) / base.cy); };

    const bool icon = IconOf(type) != nullptr;
    const short margin = 7;
    const short iconW = icon ? du_x(32) : 0;
    const short textX = static_cast<short>(margin + (icon ? iconW + margin : 0));
    const short textW = std::max<short>(du_x(rc.right), 20);
    const short textH = std::max<short>(du_y(rc.bottom), icon ? du_y(32) : 8);

    const std::vector<ButtonSpec> buttons = ButtonsOf(type);
    const short bw = 50, bh = 14, gap = 4;
    const short rowW = static_cast<short>(buttons.size() * bw + (buttons.size() - 1) * gap);
    t.cx = static_cast<short>(std::max<int>(textX + textW + margin, rowW + 2 * margin));
    const short by = static_cast<short>(margin + textH + margin);
    t.cy = static_cast<short>(by + bh + margin);

    if (icon)
        t.items.push_back({"Static", "", kIconId, margin, margin, iconW, du_y(32), WS_VISIBLE | SS_ICON});
    t.items.push_back({"Static", text, kTextId, textX, margin, textW, textH, WS_VISIBLE | SS_LEFT | SS_NOPREFIX});
    const UINT defIndex = std::min<UINT>((type & MB_DEFMASK) >> 8, static_cast<UINT>(buttons.size() - 1));
    short x = static_cast<short>((t.cx - rowW) / 2);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const DWORD kind = i == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        t.items.push_back({"Button", buttons[i].text, static_cast<UINT>(buttons[i].id), x, by, bw, bh,
                           WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) | kind});
        x = static_cast<short>(x + bw + gap);
    }
    return t;
}

class MessageBoxDialog : public CDialog {
public:
    MessageBoxDialog(const DialogTemplate* tmpl, CWnd* owner, UINT type) : m_type(type)
    {
        InitModalIndirect(tmpl, owner);
        m_bSkipModalHook = true;
    }

protected:
    BOOL OnInitDialog() override
    {
        if (LPCSTR icon = IconOf(m_type))
            SendDlgItemMessage(kIconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, icon)));
        // The default button has the focus.
        const UINT def = LOWORD(GetDefID());
        if (CWnd* button = def ? GetDlgItem(static_cast<int>(def)) : nullptr) {
            GotoDlgCtrl(button);
            return FALSE;
        }
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        const int id = LOWORD(static_cast<DWORD>(wParam));
        if (id == IDCANCEL && !GetDlgItem(IDCANCEL)) {
            // Esc or closing: OK when that is the only way out, else nothing.
            if ((m_type & MB_TYPEMASK) == MB_OK)
                EndDialog(IDOK);
            return TRUE;
        }
        if (GetDlgItem(id))
            EndDialog(id);
        return TRUE;
    }

private:
    UINT m_type;
};

int RunBox(CWnd* owner, const char* text, const char* caption, UINT type)
{
    const int answer = CallModalHook(nullptr, caption, text, type);
    if (answer != kModalRun)
        return answer;
    const DialogTemplate tmpl = MakeTemplate(caption, text, type);
    MessageBoxDialog box(&tmpl, owner, type);
    return box.DoModal();
}

}  // namespace

void SetModalHook(ModalHook hook) { Hook() = std::move(hook); }

int CallModalHook(CWnd* dialog, const char* caption, const char* text, UINT type)
{
    // A copy, so a hook that replaces itself is not destroyed while it runs.
    const ModalHook hook = Hook();
    return hook ? hook(dialog, caption, text, type) : kModalRun;
}

}  // namespace qlafx

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    CWnd* owner = hWnd ? CWnd::FromHandle(hWnd) : nullptr;
    if (owner)
        owner = qlafx::ModalOwnerOf(owner);
    return qlafx::RunBox(owner, lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    CWnd* owner = qlafx::ActiveModalDialog();
    if (!owner)
        owner = AfxGetMainWnd();
    const char* caption = AfxGetAppName();
    return qlafx::RunBox(owner, lpszText ? lpszText : "", caption ? caption : "", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    const char* text = qlafx::FindString(nIDPrompt);
    return AfxMessageBox(text ? text : "", nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
