#include "platform/afx/CmdTarget.h"

#include "platform/afx/Menu.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/Wnd.h"

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const
{
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return TRUE;
    return FALSE;
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

// Codes and ids compare in 16 bits, as they travel in WM_COMMAND's words.
const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    const WORD code = static_cast<WORD>(nCode);
    const WORD id = static_cast<WORD>(nID);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            const UINT message = e->pnRegistered ? *e->pnRegistered : e->nMessage;
            if (message != nMessage || message == 0 || static_cast<WORD>(e->nCode) != code)
                continue;
            if (id >= static_cast<WORD>(e->nID) && id <= static_cast<WORD>(e->nLastID))
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT message = 0;
    int code = nCode;
    if (nCode != CN_UPDATE_COMMAND_UI) {
        message = HIWORD(static_cast<DWORD>(nCode));
        code = LOWORD(static_cast<DWORD>(nCode));
    }
    if (message == 0)
        message = WM_COMMAND;
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, static_cast<UINT>(code), nID);
    if (!entry)
        return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        return TRUE;
    }
    qlafx::MsgCall call{message, 0, 0, nID, code, pExtra, 0};
    if (nCode == CN_UPDATE_COMMAND_UI) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        ui->m_bContinueRouting = FALSE;
        entry->pfn(this, call);
        return !ui->m_bContinueRouting;
    }
    return entry->pfn(this, call);
}

void CCmdTarget::BeginWaitCursor()
{
    AfxBeginWaitCursor();
}

void CCmdTarget::EndWaitCursor()
{
    AfxEndWaitCursor();
}

void CCmdTarget::RestoreWaitCursor() {}

// ---- CCmdUI ----
// Menu items: by position in m_pMenu; a pop-up item (m_pSubMenu) is never
// changed through the command of its first item.
void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        if (!m_pSubMenu)
            ::EnableMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
    } else if (m_pOther) {
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd)
            ::SetFocus(::GetParent(m_pOther->m_hWnd));
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (!m_pSubMenu)
            ::CheckMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        m_pOther->SendMessage(0x00F1 /* BM_SETCHECK */, static_cast<WPARAM>(nCheck), 0);
    }
}

// A radio item carries the dot as its checked bitmap, which owner-drawn
// menus read to draw a dot instead of a check mark.
static HBITMAP MenuDotBitmap()
{
    static const BYTE kDot[] = {0x30, 0, 0x78, 0, 0xFC, 0, 0xFC, 0, 0x78, 0, 0x30, 0};
    static HBITMAP dot = ::CreateBitmap(6, 6, 1, 1, kDot);
    return dot;
}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
    if (m_pMenu && !m_pSubMenu)
        ::SetMenuItemBitmaps(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION, nullptr, MenuDotBitmap());
}

void CCmdUI::SetText(LPCSTR lpszText)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        UINT state = ::GetMenuState(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION);
        state &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP | 0xFF00u);
        ::ModifyMenu(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther) {
        m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL bDisableIfNoHndler)
{
    m_bEnableChanged = FALSE;
    const BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr};
        const BOOL hasCommand = target->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(hasCommand);
    }
    return handled;
}
