#include "develop/DevelopPage.h"

#include "develop/DevelopControls.h"
#include "develop/DevelopTexts.h"
#include "develop/ProcessThread.h"
#include "platform/afx/CmdTarget.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"

namespace develop {

int DevelopPage::OnJobMessage(WPARAM, LPARAM) { return 0; }

void DevelopPage::OnNext()
{
    if (m_parent)
        m_parent->PostMessage(WM_DEVELOP_JOB, kGoToNextStep, 0);
}

void DevelopPage::OnEnter() { EnableNext(false); }

void DevelopPage::Layout(int, int) {}

void DevelopPage::Refresh(bool) {}

void DevelopPage::Show(bool show)
{
    for (CWnd* control : m_controls)
        if (control && control->m_hWnd)
            control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void DevelopPage::DestroyControls()
{
    for (CWnd* control : m_controls)
        if (control && control->m_hWnd)
            control->DestroyWindow();
    m_controls.clear();
}

BOOL DevelopPage::Create(CWnd* parent)
{
    m_parent = parent;
    return TRUE;
}

void DevelopPage::EnableNext(bool enable)
{
    if (!m_parent || !m_parent->m_hWnd)
        return;
    if (CWnd* next = m_parent->GetDlgItem(kNextButton)) {
        next->EnableWindow(enable ? TRUE : FALSE);
        next->Invalidate();
        next->UpdateWindow();
    }
}

void DevelopPage::LayoutToParent()
{
    if (!m_parent || !m_parent->m_hWnd)
        return;
    CRect client;
    m_parent->GetClientRect(&client);
    Layout(client.Width(), client.Height());
}

void PostedBarSink::SetText(const char* text)
{
    if (m_bar && m_bar->m_hWnd)
        m_bar->PostMessage(DevelopPercentBar::kSetText, 0, reinterpret_cast<LPARAM>(text));
}

void PostedBarSink::SetPercent(int percent)
{
    if (m_bar && m_bar->m_hWnd)
        m_bar->PostMessage(DevelopPercentBar::kSetPercent, static_cast<WPARAM>(percent), 0);
}

WaitCursor::WaitCursor() { AfxBeginWaitCursor(); }
WaitCursor::~WaitCursor() { AfxEndWaitCursor(); }

void ShowMessage(CWnd* owner, const char* key)
{
    // Boxes without a caption of their own show the program's name.
    const CWinApp* app = AfxGetApp();
    ::MessageBox(owner ? owner->m_hWnd : nullptr, Texts().GetText(key),
                 app && app->m_pszAppName ? app->m_pszAppName : "QuilloDevelop", MB_OK);
}

} // namespace develop
