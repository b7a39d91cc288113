#include "album/shell/SkinDialog.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/BackdropWnd.h"
#include "album/shell/ButtonST.h"
#include "album/shell/ImgButton.h"
#include "editor/ui/SkinDialog.h"
#include "platform/afx/DC.h"

#include <cstring>

namespace shelf {

IMPLEMENT_DYNAMIC(CSkinDialog, CDialog)

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

bool isPlainPushButton(CWnd* control)
{
    char name[16] = {};
    ::GetClassName(control->m_hWnd, name, sizeof name);
    const DWORD type = control->GetStyle() & 0xFF;
    return std::strcmp(name, "Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

} // namespace

HBRUSH SkinCtlColor(CDC* dc, CWnd* control, UINT kind, HBRUSH base, std::vector<CWnd*>& owned)
{
    if (kind == CTLCOLOR_EDIT)
        return base;
    if (kind == CTLCOLOR_BTN && control && isPlainPushButton(control) &&
        !skin::IsSkinnedOrOwned(owned, control->m_hWnd)) {
        auto* button = new CButtonST;
        if (button->SubclassWindow(control->m_hWnd))
            owned.push_back(button);
        else
            delete button;
    }
    if (kind == CTLCOLOR_STATIC)
        dc->SetTextColor(CSkinDialog::kStaticText);
    if (!theAlbum || !theAlbum->m_patternBrush.GetSafeHandle())
        return base;
    dc->SelectObject(&theAlbum->m_patternBrush);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(theAlbum->m_patternBrush.GetSafeHandle());
}

void EraseSkinnedBackground(CWnd* window, CDC* dc)
{
    CRect client;
    window->GetClientRect(&client);
    dc->FillSolidRect(&client, RGB(192, 192, 192));
    client.DeflateRect(2, 2);
    if (theAlbum && theAlbum->m_patternBrush.GetSafeHandle())
        dc->FillRect(&client, &theAlbum->m_patternBrush);
    dc->Draw3dRect(&client, RGB(240, 240, 240), RGB(140, 140, 140));
}

CSkinDialog::CSkinDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent), m_pParentWnd(parent) {}

CSkinDialog::~CSkinDialog()
{
    for (CWnd* control : m_ownedControls)
        delete control;
    m_ownedControls.clear();
    if (m_backdropShown && CBackdropWnd::s_main)
        CBackdropWnd::s_main->Hide();
    if (m_hWnd)
        DestroyWindow();
}

BOOL CSkinDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_wantBackdrop && theAlbum && theAlbum->m_bPopBlur && CBackdropWnd::s_main)
        m_backdropShown = CBackdropWnd::s_main->ShowOverMainWnd();
    return TRUE;
}

HBRUSH CSkinDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    return SkinCtlColor(pDC, pWnd, nCtlColor, CDialog::OnCtlColor(pDC, pWnd, nCtlColor), m_ownedControls);
}

BOOL CSkinDialog::OnEraseBkgnd(CDC* pDC)
{
    Default();
    EraseSkinnedBackground(this, pDC);
    return TRUE;
}

void CSkinDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

} // namespace shelf
