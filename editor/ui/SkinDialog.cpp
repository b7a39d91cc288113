#include "editor/ui/SkinDialog.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/HintWnd.h"
#include "editor/ui/TwoStatusCheck.h"
#include "platform/afx/DC.h"

#include <algorithm>
#include <cstring>

int (*g_showBackdrop)() = nullptr;
void (*g_hideBackdrop)() = nullptr;

IMPLEMENT_DYNAMIC(CSkinDialog, CDialog)

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

constexpr UINT kHandCursorId = 131;
constexpr COLORREF kStaticText = RGB(100, 100, 128);

bool IsButtonClass(HWND hwnd)
{
    char name[16] = {};
    ::GetClassName(hwnd, name, sizeof name);
    return std::strcmp(name, "Button") == 0;
}

// Deletes control when it could not take the window over.
void Adopt(std::vector<CWnd*>& owned, CWnd* control, HWND hwnd)
{
    if (control->SubclassWindow(hwnd))
        owned.push_back(control);
    else
        delete control;
}

}  // namespace

namespace skin {

bool IsSkinnedOrOwned(const std::vector<CWnd*>& owned, HWND hwnd)
{
    if (CWnd::FromHandlePermanent(hwnd))
        return true;
    return std::any_of(owned.begin(), owned.end(), [hwnd](CWnd* w) { return w->m_hWnd == hwnd; });
}

void SubclassPushButton(std::vector<CWnd*>& owned, HWND hwnd)
{
    auto* button = new CButtonST;
    button->SetSkinBackground(&theAppSettings.m_skinBrush);
    button->SetHoverCursor(static_cast<int>(kHandCursorId));
    Adopt(owned, button, hwnd);
}

HBRUSH SkinBrushFor(CDC* dc)
{
    dc->SelectObject(&theAppSettings.m_skinBrush);
    dc->SetBkMode(TRANSPARENT);
    return theAppSettings.m_skinBrush;
}

}  // namespace skin

CSkinDialog::CSkinDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CSkinDialog::~CSkinDialog()
{
    for (CWnd* control : m_ownedControls)
        delete control;
    m_ownedControls.clear();
    if (m_backdropShown && g_hideBackdrop)
        g_hideBackdrop();
    if (g_hintWnd && g_hintWnd->m_hWnd)
        CHintWnd::HideWnd(g_hintWnd);
    if (m_hWnd)
        DestroyWindow();
}

BOOL CSkinDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_wantBackdrop && theAppSettings.m_popBlur && g_showBackdrop)
        m_backdropShown = g_showBackdrop();
    return TRUE;
}

int CSkinDialog::GetCaptionHeightDelta()
{
    return std::max(::GetSystemMetrics(SM_CYCAPTION) - 25, 0);
}

void CSkinDialog::SkinButton(CWnd* child)
{
    const HWND hwnd = child->m_hWnd;
    if (skin::IsSkinnedOrOwned(m_ownedControls, hwnd))
        return;
    switch (child->GetStyle() & 0xFF) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        skin::SubclassPushButton(m_ownedControls, hwnd);
        break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        auto* check = new CTwoStatusCheck;
        const DWORD type = child->GetStyle() & 0xFF;
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            check->SetRadio();
        Adopt(m_ownedControls, check, hwnd);
        break;
    }
    default:
        break;
    }
}

HBRUSH CSkinDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_LISTBOX)
        return base;
    if (pWnd && IsButtonClass(pWnd->m_hWnd))
        SkinButton(pWnd);
    else if (nCtlColor == CTLCOLOR_STATIC)
        pDC->SetTextColor(kStaticText);
    return skin::SkinBrushFor(pDC);
}

BOOL CSkinDialog::OnEraseBkgnd(CDC* pDC)
{
    Default();
    RECT client;
    GetClientRect(&client);
    pDC->FillRect(&client, &theAppSettings.m_skinBrush);
    pDC->Draw3dRect(&client, RGB(240, 240, 240), RGB(140, 140, 140));
    return TRUE;
}

void CSkinDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}
