// CDialog: dialogs built from the program's dialog templates (see
// ResourceTables.h), modal through a nested event loop or modeless, with
// the dialog manager's keyboard handling and dialog data exchange.
#pragma once

#include "platform/afx/Controls.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/Wnd.h"

class CDataExchange;
class QEventLoop;

inline constexpr UINT WM_NEXTDLGCTL = 0x0028;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless: a pop-up owned by pParentWnd (or the main window), or its
    // child when the template has WS_CHILD; shown when the template has WS_VISIBLE.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(const qlafx::DialogTemplate* pTemplate, CWnd* pParentWnd = nullptr);
    // Sets the template DoModal runs.
    BOOL InitModalIndirect(const qlafx::DialogTemplate* pTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog until EndDialog; the owner is disabled meanwhile.
    // Returns EndDialog's code, -1 when the dialog could not be made.
    virtual int DoModal();
    // Modal: ends the loop with nResult. Modeless: hides the dialog.
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnSetFont(CFont* pFont);

    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    DWORD GetDefID() const;
    void SetDefID(UINT nID);
    void MapDialogRect(LPRECT lpRect) const;
    BOOL IsDialogMessage(LPMSG lpMsg);
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp = 0;
    LPCSTR m_lpszTemplateName = nullptr;
    UINT m_nIDTemplate = 0;
    const qlafx::DialogTemplate* m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT HandleSetFont(WPARAM wParam, LPARAM lParam);

    // The message box's own dialog is not offered to the modal hook again.
    bool m_bSkipModalHook = false;

    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateFromTemplate(const qlafx::DialogTemplate& tmpl, HWND hWndOwner);
    void RunModalLoop();

    int m_nModalResult = -1;
    bool m_bEnded = false;
    bool m_bModal = false;
    QEventLoop* m_pLoop = nullptr;
    // The owner DoModal disabled; enabled again before the dialog hides, so
    // activation goes back to it and not to some other window.
    HWND m_hModalOwner = nullptr;

    void EnableModalOwner();
};

// Free-function forms of the dialog manager.
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
BOOL IsDialogMessage(HWND hDlg, LPMSG lpMsg);
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
BOOL EndDialog(HWND hDlg, int nResult);

namespace qlafx {

// The dialog base units of a font: x the average width of "A".."Z" "a".."z"
// (rounded), y the character height, as Windows computes them.
SIZE DialogBaseUnits(HFONT font);
// The face and size a template's font maps to ("MS Shell Dlg" 8 without DS_SETFONT).
HFONT CreateDialogFont(const DialogTemplate& tmpl);

}  // namespace qlafx
