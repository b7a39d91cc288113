// Property sheets: pages (child dialogs from templates) shown one at a time
// in a sheet, either under a row of tabs with OK, Cancel and Apply, or as a
// wizard with Back, Next and Finish.
#pragma once

#include "platform/afx/Dialog.h"

#include <memory>
#include <vector>

// ---- sheet and page flags ----
inline constexpr DWORD PSH_DEFAULT = 0x00000000;
inline constexpr DWORD PSH_PROPTITLE = 0x00000001;
inline constexpr DWORD PSH_USEHICON = 0x00000002;
inline constexpr DWORD PSH_PROPSHEETPAGE = 0x00000008;
inline constexpr DWORD PSH_WIZARDHASFINISH = 0x00000010;
inline constexpr DWORD PSH_WIZARD = 0x00000020;
inline constexpr DWORD PSH_USEPSTARTPAGE = 0x00000040;
inline constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
inline constexpr DWORD PSH_USECALLBACK = 0x00000100;
inline constexpr DWORD PSH_HASHELP = 0x00000200;
inline constexpr DWORD PSH_MODELESS = 0x00000400;

inline constexpr DWORD PSP_DEFAULT = 0x00000000;
inline constexpr DWORD PSP_USETITLE = 0x00000008;
inline constexpr DWORD PSP_HASHELP = 0x00000020;

// ---- wizard buttons ----
inline constexpr DWORD PSWIZB_BACK = 0x00000001;
inline constexpr DWORD PSWIZB_NEXT = 0x00000002;
inline constexpr DWORD PSWIZB_FINISH = 0x00000004;
inline constexpr DWORD PSWIZB_DISABLEDFINISH = 0x00000008;

inline constexpr int PSBTN_BACK = 0;
inline constexpr int PSBTN_NEXT = 1;
inline constexpr int PSBTN_FINISH = 2;
inline constexpr int PSBTN_OK = 3;
inline constexpr int PSBTN_APPLYNOW = 4;
inline constexpr int PSBTN_CANCEL = 5;
inline constexpr int PSBTN_HELP = 6;

// ---- sheet messages ----
inline constexpr UINT PSM_SETCURSEL = WM_USER + 101;
inline constexpr UINT PSM_REMOVEPAGE = WM_USER + 102;
inline constexpr UINT PSM_ADDPAGE = WM_USER + 103;
inline constexpr UINT PSM_CHANGED = WM_USER + 104;
inline constexpr UINT PSM_SETTITLE = WM_USER + 111;
inline constexpr UINT PSM_SETWIZBUTTONS = WM_USER + 112;
inline constexpr UINT PSM_PRESSBUTTON = WM_USER + 113;
inline constexpr UINT PSM_UNCHANGED = WM_USER + 109;
inline constexpr UINT PSM_GETTABCONTROL = WM_USER + 116;
inline constexpr UINT PSM_GETCURRENTPAGEHWND = WM_USER + 118;

// ---- sheet buttons ----
inline constexpr UINT ID_APPLY_NOW = 0x3021;
inline constexpr UINT ID_WIZBACK = 0x3023;
inline constexpr UINT ID_WIZNEXT = 0x3024;
inline constexpr UINT ID_WIZFINISH = 0x3025;
// The tab control of a tabbed sheet.
inline constexpr UINT AFX_IDC_TAB_CONTROL = 0x3020;

struct PROPSHEETHEADER {
    DWORD dwSize;
    DWORD dwFlags;
    HWND hwndParent;
    LPCSTR pszCaption;
    UINT nPages;
    UINT nStartPage;
};

struct PROPSHEETPAGE {
    DWORD dwSize;
    DWORD dwFlags;
    LPCSTR pszTemplate;
    LPCSTR pszTitle;
};

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    // The tab caption is the template's caption, or string nIDCaption.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    // A page is made with its sheet, never run on its own.
    int DoModal() override { return -1; }

    // Tabbed: the page comes to the front (FALSE keeps the old one).
    // Wizard: FALSE skips the page in the direction of travel.
    virtual BOOL OnSetActive();
    // The page is left: FALSE keeps it (the default checks its data).
    virtual BOOL OnKillActive();
    // OK or Apply (after OnKillActive of the active page): take the values.
    virtual void OnOK();
    // Cancel: forget the changes.
    virtual void OnCancel();
    virtual BOOL OnApply();
    virtual void OnReset();
    // Asked before the sheet is cancelled: FALSE keeps it open.
    virtual BOOL OnQueryCancel();
    // The page's dialog id to go to, 0 for the next (previous) page, -1 to stay.
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();
    // FALSE keeps the wizard open.
    virtual BOOL OnWizardFinish();

    // Marks the page changed, which enables the sheet's Apply button.
    void SetModified(BOOL bChanged = TRUE);
    BOOL IsModified() const { return m_bChanged; }

    CString GetTitle() const;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    PROPSHEETPAGE m_psp{};

protected:
    CPropertySheet* GetSheet() const;
    DECLARE_MESSAGE_MAP()

private:
    friend class CPropertySheet;
    BOOL CreatePage(CPropertySheet* sheet);

    UINT m_nIDCaption = 0;
    CString m_strCaption;
    BOOL m_bChanged = FALSE;
    BOOL m_bFirstSetActive = TRUE;
    CPropertySheet* m_pSheet = nullptr;
};

class CPropertySheet : public CDialog {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    // Pages are not owned; they are made when first shown.
    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);

    // Tabbed: IDOK or IDCANCEL. Wizard: ID_WIZFINISH or IDCANCEL.
    int DoModal() override;

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    // Leaves the active page (OnKillActive) and shows this one (OnSetActive).
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);

    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    BOOL IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
    // PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH or PSWIZB_DISABLEDFINISH: Back
    // is enabled by its flag; with a Finish flag Finish stands where Next was.
    void SetWizardButtons(DWORD dwFlags);
    DWORD GetWizardButtons() const { return m_wizardButtons; }
    // A PSBTN_* button is pressed once the current message is done.
    BOOL PressButton(int nButton);
    void SetTitle(LPCSTR lpszText, UINT nStyle = 0);
    void EnableStackedTabs(BOOL bStacked) { m_bStacked = bStacked; }
    // The tab row (NULL in wizard mode, or when no tab control class is there).
    CWnd* GetTabControl() const;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Ctrl+Tab and Ctrl+Page Down go to the next page, Ctrl+Shift+Tab and
    // Ctrl+Page Up to the previous one, with the focus on the tab row.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    PROPSHEETHEADER m_psh{};

protected:
    void OnOK() override;
    void OnCancel() override;
    DECLARE_MESSAGE_MAP()

private:
    friend class CPropertyPage;
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    qlafx::DialogTemplate BuildTemplate() const;
    SIZE PageSize() const;
    void Layout();
    void ShowWizardButtons();
    BOOL Activate(int nPage, int direction);
    void WizardStep(int button);
    BOOL ApplyAll();

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    std::unique_ptr<qlafx::DialogTemplate> m_template;
    int m_nActive = -1;
    DWORD m_wizardButtons = PSWIZB_BACK | PSWIZB_NEXT;
    BOOL m_bStacked = TRUE;
    RECT m_pageRect{};
};
