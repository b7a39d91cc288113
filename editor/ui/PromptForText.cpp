#include "editor/ui/PromptForText.h"

#include "editor/shell/UITextTable.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/MsgMap.h"

#include <cstring>

namespace {

constexpr int kDefaultMaxLength = 32;
constexpr int kNothingTypedText = 34;

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_PROMPT_TEXT, DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 240, 84, "",
     "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_PROMPT_LABEL, 7, 7, 226, 34, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_PROMPT_EDIT, 7, 44, 226, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
         {"Button", "OK", IDOK, 129, 64, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 183, 64, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

// The longest prefix of text of at most limit bytes that ends between
// two UTF-8 characters.
size_t Utf8Prefix(const char* text, size_t limit)
{
    size_t n = std::strlen(text);
    if (n <= limit)
        return n;
    n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

class CPromptTextDlg : public CDialog {
public:
    CPromptTextDlg(char* buffer, int maxLength, const char* caption, const char* prompt, BOOL mayCancel, BOOL prefill)
        : CDialog(IDD_PROMPT_TEXT), m_buffer(buffer), m_maxLength(maxLength), m_caption(caption), m_prompt(prompt),
          m_mayCancel(mayCancel), m_prefill(prefill)
    {
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetWindowText(m_caption ? m_caption : "");
        SetDlgItemText(IDC_PROMPT_LABEL, m_prompt ? m_prompt : "");
        if (CWnd* edit = GetDlgItem(IDC_PROMPT_EDIT)) {
            edit->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength));
            if (m_prefill)
                edit->SetWindowText(m_buffer);
        }
        if (!m_mayCancel)
            if (CWnd* cancel = GetDlgItem(IDCANCEL))
                cancel->EnableWindow(FALSE);
        return TRUE;
    }

    void OnOK() override
    {
        CString text;
        GetDlgItemText(IDC_PROMPT_EDIT, text);
        if (text.IsEmpty()) {
            AfxMessageBox(theUITextTable.GetText(kNothingTypedText));
            return;
        }
        const char* typed = text;
        const size_t n = Utf8Prefix(typed, static_cast<size_t>(m_maxLength));
        std::memcpy(m_buffer, typed, n);
        m_buffer[n] = '\0';
        EndDialog(IDOK);
    }

    void OnCancel() override
    {
        if (m_mayCancel)
            CDialog::OnCancel();
    }

private:
    char* m_buffer;
    int m_maxLength;
    const char* m_caption;
    const char* m_prompt;
    BOOL m_mayCancel;
    BOOL m_prefill;
};

} // namespace

BOOL PromptForText(char* buffer, int maxLength, const char* caption, const char* prompt, BOOL mayCancel, BOOL prefill)
{
    if (!buffer)
        return FALSE;
    CPromptTextDlg dlg(buffer, maxLength > 0 ? maxLength : kDefaultMaxLength, caption, prompt, mayCancel, prefill);
    return dlg.DoModal() == IDOK ? TRUE : FALSE;
}
