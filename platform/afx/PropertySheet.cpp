#include "platform/afx/PropertySheet.h"

#include "platform/afx/CommCtrl.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

void InsertTab(HWND tab, size_t index, const CString& title)
{
    TCITEM item{TCIF_TEXT, 0, 0, const_cast<LPSTR>(title.GetString()), 0, -1, 0};
    ::SendMessage(tab, TCM_INSERTITEM, index, reinterpret_cast<LPARAM>(&item));
}

// Dialog units of the sheet's own font to pixels.
RECT DluRect(HWND dlg, int l, int t, int r, int b)
{
    RECT rc{l, t, r, b};
    ::MapDialogRect(dlg, &rc);
    return rc;
}

HWND Item(HWND dlg, UINT id) { return ::GetDlgItem(dlg, static_cast<int>(id)); }

void Place(HWND w, int x, int y, int cx, int cy)
{
    if (w)
        ::MoveWindow(w, x, y, cx, cy, TRUE);
}

}  // namespace

// ---- CPropertyPage ----

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

BEGIN_MESSAGE_MAP(CPropertyPage, CDialog)
END_MESSAGE_MAP()

CPropertyPage::CPropertyPage() { m_psp.dwSize = sizeof(PROPSHEETPAGE); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate), m_nIDCaption(nIDCaption)
{
    m_psp.dwSize = sizeof(PROPSHEETPAGE);
    m_psp.pszTemplate = MAKEINTRESOURCE(nIDTemplate);
    if (nIDCaption)
        m_strCaption.LoadString(nIDCaption);
}

CPropertyPage::~CPropertyPage() = default;

CString CPropertyPage::GetTitle() const
{
    if ((m_psp.dwFlags & PSP_USETITLE) && m_psp.pszTitle)
        return m_psp.pszTitle;
    if (!m_strCaption.IsEmpty())
        return m_strCaption;
    const qlafx::DialogTemplate* tmpl = qlafx::FindDialog(m_nIDTemplate);
    return tmpl && tmpl->caption ? tmpl->caption : "";
}

BOOL CPropertyPage::CreatePage(CPropertySheet* sheet)
{
    const qlafx::DialogTemplate* tmpl = qlafx::FindDialog(m_nIDTemplate);
    if (!tmpl) {
        std::fprintf(stderr, "qlafx: no dialog template %u for a property page\n", m_nIDTemplate);
        return FALSE;
    }
    // A page is a borderless child of the sheet, whatever its template says.
    qlafx::DialogTemplate child = *tmpl;
    child.style = (tmpl->style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE | WS_DISABLED |
                                   DS_MODALFRAME | DS_CENTER | DS_SYSMODAL)) |
                  WS_CHILD | DS_CONTROL;
    child.exStyle = (tmpl->exStyle & ~static_cast<DWORD>(WS_EX_DLGMODALFRAME)) | WS_EX_CONTROLPARENT;
    child.x = 0;
    child.y = 0;
    m_pSheet = sheet;
    m_bFirstSetActive = TRUE;
    return CreateIndirect(&child, sheet);
}

CPropertySheet* CPropertyPage::GetSheet() const { return m_pSheet; }

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

// Dialog keys go to the sheet, whose default button is Next or OK.
BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bChanged = bChanged;
    if (m_pSheet && m_pSheet->m_hWnd)
        m_pSheet->SendMessage(bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd));
}

// ---- CPropertySheet ----

IMPLEMENT_DYNAMIC(CPropertySheet, CDialog)

BEGIN_MESSAGE_MAP(CPropertySheet, CDialog)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet() { CommonConstruct(nullptr, 0); }

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption)
{
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption.LoadString(nIDCaption);
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd)
        DestroyWindow();
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    m_pParentWnd = pParentWnd;
    m_psh.dwSize = sizeof(PROPSHEETHEADER);
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        return;
    m_pages.push_back(pPage);
    if (m_hWnd && !IsWizard()) {
        if (CWnd* tab = GetTabControl())
            InsertTab(tab->m_hWnd, m_pages.size() - 1, pPage->GetTitle());
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
    if (nPage == m_nActive && m_hWnd && GetPageCount() > 1)
        Activate(nPage == 0 ? 1 : nPage - 1, 0);
    m_pages.erase(m_pages.begin() + nPage);
    if (m_nActive > nPage)
        --m_nActive;
    if (page->m_hWnd)
        page->DestroyWindow();
    if (m_hWnd && !IsWizard())
        if (CWnd* tab = GetTabControl()) {
            tab->SendMessage(TCM_DELETEALLITEMS);
            for (size_t i = 0; i < m_pages.size(); ++i)
                InsertTab(tab->m_hWnd, i, m_pages[i]->GetTitle());
            tab->SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(m_nActive));
        }
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    const auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return m_nActive >= 0 ? GetPage(m_nActive) : GetPage(static_cast<int>(m_psh.nStartPage));
}

int CPropertySheet::GetActiveIndex() const
{
    return m_nActive >= 0 ? m_nActive : static_cast<int>(m_psh.nStartPage);
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (!m_hWnd) {
        if (nPage < 0 || nPage >= GetPageCount())
            return FALSE;
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return Activate(nPage, 0);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && !IsWizard() && GetPageCount() > 1 && ::GetKeyState(VK_CONTROL) < 0 &&
        ::GetKeyState(VK_MENU) >= 0) {
        int step = 0;
        if (pMsg->wParam == static_cast<WPARAM>(VK_TAB))
            step = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
        else if (pMsg->wParam == static_cast<WPARAM>(VK_NEXT))
            step = 1;
        else if (pMsg->wParam == static_cast<WPARAM>(VK_PRIOR))
            step = -1;
        if (step) {
            const int n = GetPageCount();
            SetActivePage((GetActiveIndex() + step + n) % n);
            if (HWND tab = Item(m_hWnd, AFX_IDC_TAB_CONTROL))
                ::SetFocus(tab);
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

CWnd* CPropertySheet::GetTabControl() const
{
    HWND tab = m_hWnd ? Item(m_hWnd, AFX_IDC_TAB_CONTROL) : nullptr;
    return tab ? CWnd::FromHandle(tab) : nullptr;
}

void CPropertySheet::SetTitle(LPCSTR lpszText, UINT)
{
    m_strCaption = lpszText;
    if (m_hWnd)
        SetWindowText(lpszText);
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    m_wizardButtons = dwFlags;
    if (m_hWnd && IsWizard())
        ShowWizardButtons();
}

void CPropertySheet::ShowWizardButtons()
{
    const DWORD f = m_wizardButtons;
    const bool finish = (f & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) || (m_psh.dwFlags & PSH_WIZARDHASFINISH);
    // Without PSH_WIZARDHASFINISH, Finish takes Next's place.
    const bool nextHidden = finish && !(m_psh.dwFlags & PSH_WIZARDHASFINISH);
    if (HWND back = Item(m_hWnd, ID_WIZBACK))
        ::EnableWindow(back, (f & PSWIZB_BACK) != 0);
    if (HWND next = Item(m_hWnd, ID_WIZNEXT)) {
        ::ShowWindow(next, nextHidden ? SW_HIDE : SW_SHOW);
        ::EnableWindow(next, (f & PSWIZB_NEXT) != 0);
    }
    if (HWND fin = Item(m_hWnd, ID_WIZFINISH)) {
        ::ShowWindow(fin, finish ? SW_SHOW : SW_HIDE);
        ::EnableWindow(fin, (f & PSWIZB_FINISH) != 0);
    }
    SetDefID(nextHidden ? ID_WIZFINISH : ID_WIZNEXT);
}

BOOL CPropertySheet::PressButton(int nButton)
{
    static constexpr UINT kIds[] = {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDOK, ID_APPLY_NOW, IDCANCEL, IDHELP};
    if (!m_hWnd || nButton < 0 || nButton >= static_cast<int>(std::size(kIds)))
        return FALSE;
    const UINT id = kIds[nButton];
    return PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(m_hWnd, id)));
}

SIZE CPropertySheet::PageSize() const
{
    SIZE size{0, 0};
    for (CPropertyPage* page : m_pages) {
        const qlafx::DialogTemplate* tmpl = qlafx::FindDialog(page->m_nIDTemplate);
        if (!tmpl)
            continue;
        HFONT font = qlafx::CreateDialogFont(*tmpl);
        const SIZE base = qlafx::DialogBaseUnits(font);
        DeleteObject(font);
        size.cx = std::max<LONG>(size.cx, (tmpl->cx * base.cx + 2) / 4);
        size.cy = std::max<LONG>(size.cy, (tmpl->cy * base.cy + 4) / 8);
    }
    return size;
}

qlafx::DialogTemplate CPropertySheet::BuildTemplate() const
{
    constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    qlafx::DialogTemplate t{0, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK,
                            WS_EX_CONTROLPARENT, 0, 0, 200, 150, nullptr, "MS Shell Dlg", 8, {}};
    if (IsWizard()) {
        t.items.push_back({"Static", "", 0xFFFF, 0, 0, 10, 2, WS_VISIBLE | SS_ETCHEDHORZ});
        t.items.push_back({"Button", "< &Back", ID_WIZBACK, 0, 0, 50, 14, kButton});
        t.items.push_back({"Button", "&Next >", ID_WIZNEXT, 0, 0, 50, 14, kButton});
        t.items.push_back({"Button", "Finish", ID_WIZFINISH, 0, 0, 50, 14, kButton});
        t.items.push_back({"Button", "Cancel", IDCANCEL, 0, 0, 50, 14, kButton});
    } else {
        t.items.push_back({"Button", "OK", IDOK, 0, 0, 50, 14, kButton | BS_DEFPUSHBUTTON});
        t.items.push_back({"Button", "Cancel", IDCANCEL, 0, 0, 50, 14, kButton});
        if (!(m_psh.dwFlags & PSH_NOAPPLYNOW))
            t.items.push_back({"Button", "&Apply", ID_APPLY_NOW, 0, 0, 50, 14, kButton | WS_DISABLED});
    }
    if (m_psh.dwFlags & PSH_HASHELP)
        t.items.push_back({"Button", "Help", IDHELP, 0, 0, 50, 14, kButton});
    return t;
}

int CPropertySheet::DoModal()
{
    m_template = std::make_unique<qlafx::DialogTemplate>(BuildTemplate());
    m_template->caption = m_strCaption.GetString();
    m_lpDialogTemplate = m_template.get();
    m_nActive = -1;
    const int result = CDialog::DoModal();
    m_lpDialogTemplate = nullptr;
    return result;
}

BOOL CPropertySheet::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!IsWizard()) {
        // The tab row is the common-controls tab control; without that class
        // the pages still switch through SetActivePage.
        HWND tab = ::CreateWindowEx(0, "SysTabControl32", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                                    0, 0, 10, 10, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(AFX_IDC_TAB_CONTROL)),
                                    nullptr, nullptr);
        if (tab) {
            ::SendMessage(tab, WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
            for (size_t i = 0; i < m_pages.size(); ++i)
                InsertTab(tab, i, m_pages[i]->GetTitle());
        }
    }
    Layout();
    CenterWindow();
    int start = static_cast<int>(m_psh.nStartPage);
    if (start < 0 || start >= GetPageCount())
        start = 0;
    if (IsWizard())
        ShowWizardButtons();
    Activate(start, IsWizard() ? 1 : 0);
    // The person starts in the page, not on the sheet's buttons.
    CPropertyPage* page = GetActivePage();
    if (HWND first = page && page->m_hWnd ? ::GetNextDlgTabItem(page->m_hWnd, nullptr, FALSE) : nullptr) {
        ::SetFocus(first);
        return FALSE;
    }
    return TRUE;
}

void CPropertySheet::Layout()
{
    const SIZE page = PageSize();
    const RECT margin = DluRect(m_hWnd, 7, 7, 50, 14);  // margin; button size in right/bottom
    const RECT gapRc = DluRect(m_hWnd, 4, 4, 0, 0);
    const int m = margin.left;
    const int bw = margin.right, bh = margin.bottom, gap = gapRc.left;

    int clientW = 0;
    int buttonsY = 0;
    std::vector<UINT> row;
    if (IsWizard()) {
        m_pageRect = RECT{0, 0, page.cx, page.cy};
        const int lineY = page.cy + gap;
        buttonsY = lineY + 2 + m;
        clientW = std::max<int>(page.cx, 4 * bw + 3 * gap + 2 * m);
        if (HWND line = Item(m_hWnd, 0xFFFF))
            Place(line, 0, lineY, clientW, 2);
        // Back and Next touch; Finish stands where Next is.
        int x = clientW - m - bw;
        if (m_psh.dwFlags & PSH_HASHELP) {
            Place(Item(m_hWnd, IDHELP), x, buttonsY, bw, bh);
            x -= bw + gap;
        }
        Place(Item(m_hWnd, IDCANCEL), x, buttonsY, bw, bh);
        x -= bw + gap;
        if (m_psh.dwFlags & PSH_WIZARDHASFINISH) {
            Place(Item(m_hWnd, ID_WIZFINISH), x, buttonsY, bw, bh);
            x -= bw + gap;
            Place(Item(m_hWnd, ID_WIZNEXT), x, buttonsY, bw, bh);
        } else {
            Place(Item(m_hWnd, ID_WIZFINISH), x, buttonsY, bw, bh);
            Place(Item(m_hWnd, ID_WIZNEXT), x, buttonsY, bw, bh);
        }
        Place(Item(m_hWnd, ID_WIZBACK), x - bw, buttonsY, bw, bh);
    } else {
        const int tabRow = DluRect(m_hWnd, 0, 14, 0, 0).top;
        m_pageRect = RECT{m + 4, m + tabRow + 4, m + 4 + page.cx, m + tabRow + 4 + page.cy};
        const RECT tab{m, m, m_pageRect.right + 4, m_pageRect.bottom + 4};
        if (HWND w = Item(m_hWnd, AFX_IDC_TAB_CONTROL))
            Place(w, tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top);
        clientW = tab.right + m;
        buttonsY = tab.bottom + gap;
        int x = tab.right - bw;
        for (UINT id : {static_cast<UINT>(IDHELP), ID_APPLY_NOW, static_cast<UINT>(IDCANCEL), static_cast<UINT>(IDOK)}) {
            if (HWND w = Item(m_hWnd, id)) {
                Place(w, x, buttonsY, bw, bh);
                x -= bw + gap;
            }
        }
    }
    const int clientH = buttonsY + bh + m;
    RECT win{}, client{};
    GetWindowRect(&win);
    GetClientRect(&client);
    const int extraW = (win.right - win.left) - (client.right - client.left);
    const int extraH = (win.bottom - win.top) - (client.bottom - client.top);
    SetWindowPos(nullptr, 0, 0, clientW + extraW, clientH + extraH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CPropertySheet::Activate(int nPage, int direction)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (nPage == m_nActive)
        return TRUE;
    CPropertyPage* old = m_nActive >= 0 ? GetPage(m_nActive) : nullptr;
    if (old && !old->OnKillActive())
        return FALSE;
    for (;;) {
        CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
        if (!page->m_hWnd && !page->CreatePage(this))
            return FALSE;
        page->MoveWindow(&m_pageRect, FALSE);
        if (page->OnSetActive())
            break;
        // A wizard page that refuses is passed over the way the user went.
        nPage += direction;
        if (!IsWizard() || direction == 0 || nPage < 0 || nPage >= GetPageCount())
            return FALSE;
        if (nPage == m_nActive)
            return FALSE;
    }
    CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
    if (old && old != page && old->m_hWnd)
        old->ShowWindow(SW_HIDE);
    page->ShowWindow(SW_SHOW);
    m_nActive = nPage;
    if (CWnd* tab = GetTabControl())
        tab->SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nPage));
    return TRUE;
}

void CPropertySheet::WizardStep(int button)
{
    CPropertyPage* page = GetActivePage();
    HWND w = Item(m_hWnd, static_cast<UINT>(button));
    if (!page || !w || !::IsWindowEnabled(w) || !::IsWindowVisible(w))
        return;
    if (button == static_cast<int>(ID_WIZFINISH)) {
        if (page->OnWizardFinish())
            EndDialog(ID_WIZFINISH);
        return;
    }
    const bool next = button == static_cast<int>(ID_WIZNEXT);
    const LRESULT r = next ? page->OnWizardNext() : page->OnWizardBack();
    if (r == -1)
        return;
    int target = -1;
    if (r == 0) {
        target = m_nActive + (next ? 1 : -1);
    } else {
        for (int i = 0; i < GetPageCount(); ++i)
            if (m_pages[static_cast<size_t>(i)]->m_nIDTemplate == static_cast<UINT>(r))
                target = i;
    }
    if (target >= 0 && target < GetPageCount())
        Activate(target, next ? 1 : -1);
}

BOOL CPropertySheet::ApplyAll()
{
    CPropertyPage* active = GetActivePage();
    if (active && active->m_hWnd && !active->OnKillActive())
        return FALSE;
    for (CPropertyPage* page : m_pages) {
        if (!page->m_hWnd)
            continue;
        if (!page->OnApply())
            return FALSE;
        page->m_bChanged = FALSE;
    }
    if (HWND apply = Item(m_hWnd, ID_APPLY_NOW))
        ::EnableWindow(apply, FALSE);
    return TRUE;
}

void CPropertySheet::OnOK()
{
    if (ApplyAll())
        EndDialog(IDOK);
}

void CPropertySheet::OnCancel()
{
    CPropertyPage* active = GetActivePage();
    if (active && active->m_hWnd && !active->OnQueryCancel())
        return;
    for (CPropertyPage* page : m_pages)
        if (page->m_hWnd)
            page->OnReset();
    EndDialog(IDCANCEL);
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    if (code == BN_CLICKED) {
        if (IsWizard() && (id == ID_WIZBACK || id == ID_WIZNEXT || id == ID_WIZFINISH)) {
            WizardStep(static_cast<int>(id));
            return TRUE;
        }
        if (!IsWizard() && id == ID_APPLY_NOW) {
            ApplyAll();
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr && hdr->idFrom == AFX_IDC_TAB_CONTROL) {
        if (hdr->code == TCN_SELCHANGING) {
            // The page that will not be left keeps the tab row where it is.
            CPropertyPage* active = GetActivePage();
            *pResult = active && active->m_hWnd && !active->OnKillActive();
            return TRUE;
        }
        if (hdr->code == TCN_SELCHANGE) {
            const int sel = static_cast<int>(::SendMessage(hdr->hwndFrom, TCM_GETCURSEL, 0, 0));
            // The old page has been asked already (TCN_SELCHANGING).
            const int old = m_nActive;
            CPropertyPage* leaving = GetPage(old);
            if (leaving && sel != old) {
                CPropertyPage* page = GetPage(sel);
                if (page && (page->m_hWnd || page->CreatePage(this))) {
                    page->MoveWindow(&m_pageRect, FALSE);
                    if (page->OnSetActive()) {
                        leaving->ShowWindow(SW_HIDE);
                        page->ShowWindow(SW_SHOW);
                        m_nActive = sel;
                    } else {
                        ::SendMessage(hdr->hwndFrom, TCM_SETCURSEL, static_cast<WPARAM>(old), 0);
                    }
                }
            }
            *pResult = 0;
            return TRUE;
        }
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PSM_SETWIZBUTTONS:
        SetWizardButtons(static_cast<DWORD>(lParam));
        return 0;
    case PSM_PRESSBUTTON:
        return PressButton(static_cast<int>(wParam));
    case PSM_SETCURSEL:
        return SetActivePage(static_cast<int>(wParam));
    case PSM_SETTITLE:
        SetTitle(reinterpret_cast<LPCSTR>(lParam));
        return 0;
    case PSM_CHANGED:
    case PSM_UNCHANGED:
        if (HWND apply = Item(m_hWnd, ID_APPLY_NOW)) {
            bool any = message == PSM_CHANGED;
            for (CPropertyPage* page : m_pages)
                any = any || (page->m_hWnd && page->m_bChanged);
            ::EnableWindow(apply, any);
        }
        return 0;
    case PSM_GETTABCONTROL:
        return reinterpret_cast<LRESULT>(Item(m_hWnd, AFX_IDC_TAB_CONTROL));
    case PSM_GETCURRENTPAGEHWND: {
        CPropertyPage* page = GetActivePage();
        return reinterpret_cast<LRESULT>(page ? page->m_hWnd : nullptr);
    }
    default:
        return CDialog::WindowProc(message, wParam, lParam);
    }
}
