// The root classes: CObject with run-time class information, CCmdTarget with
// message maps and command routing, and CCmdUI for command state updates.
#pragma once

#include "platform/afx/WinUser.h"

class CObject;
class CCmdTarget;
class CCmdUI;
class CWnd;
class CMenu;

// ---- run-time classes ----
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    // NULL when the class was declared without DECLARE_DYNCREATE.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* cls) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                                    \
public:                                                                                                                \
    static CRuntimeClass class##class_name;                                                                            \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define DECLARE_DYNCREATE(class_name)                                                                                  \
    DECLARE_DYNAMIC(class_name)                                                                                        \
    static CObject* CreateObject();

#define QLAFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, create)                                              \
    CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), 0xFFFF, create,  \
                                                   RUNTIME_CLASS(base_class_name)};                                    \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) QLAFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                                               \
    CObject* class_name::CreateObject() { return new class_name; }                                                     \
    QLAFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)

#define DYNAMIC_DOWNCAST(class_name, object)                                                                           \
    ((object) != nullptr && (object)->IsKindOf(RUNTIME_CLASS(class_name)) ? static_cast<class_name*>(object) : nullptr)
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))

// ---- message maps ----
namespace qlafx {

// One message or command as a map entry's thunk receives it.
struct MsgCall {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;      // command id (ranges pass the actual id)
    int nCode;     // command or notification code
    void* pExtra;  // CCmdUI* for updates, AFX_NOTIFY* for notifications
    LRESULT result;
};

// Calls the handler on the target (cast to the map's class). Returns FALSE
// when the handler declined (the _EX forms), so routing continues.
using MsgThunk = BOOL (*)(CCmdTarget* target, MsgCall& call);

}  // namespace qlafx

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;             // WM_* (or WM_COMMAND / WM_NOTIFY / reflected codes); 0 ends the map
    UINT nCode;                // control notification or command code
    UINT nID;                  // first control id
    UINT nLastID;              // last control id
    const UINT* pnRegistered;  // ON_REGISTERED_MESSAGE: the variable holding the message number
    qlafx::MsgThunk pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Extra data of WM_NOTIFY routed through OnCmdMsg.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Extra data of a reflected WM_CTLCOLOR*.
struct AFX_CTLCOLOR {
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

// Filled by OnCmdMsg when only asked whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
};

// Command codes of OnCmdMsg (low word of nCode; the high word is the message).
inline constexpr int CN_COMMAND = 0;
inline constexpr int CN_UPDATE_COMMAND_UI = -1;
inline constexpr UINT WM_REFLECT_BASE = 0xBC00;
// The single message that all WM_CTLCOLOR* kinds map to in message maps.
inline constexpr UINT WM_CTLCOLOR = 0x0019;

#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const AFX_MSGMAP* GetThisMessageMap();                                                                      \
    virtual const AFX_MSGMAP* GetMessageMap() const;

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Routes a command, update or notification to this object's message map
    // (nCode: low word the code, high word the message; 0 means WM_COMMAND).
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // The first entry of this object's maps (derived first) that takes the
    // message, code and id; NULL when none does.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The state of one command for ON_UPDATE_COMMAND_UI handlers: a menu item
// (m_pMenu) or a control (m_pOther).
class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CMenu* m_pMenu = nullptr;
    CMenu* m_pSubMenu = nullptr;
    CMenu* m_pParentMenu = nullptr;
    CWnd* m_pOther = nullptr;
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks target for the state; with no handler and no command handler,
    // disables when bDisableIfNoHndler. Returns TRUE when a handler ran.
    BOOL DoUpdate(CCmdTarget* target, BOOL bDisableIfNoHndler);
};

// Cursor helpers of CCmdTarget::BeginWaitCursor and CWinApp::DoWaitCursor.
void AfxBeginWaitCursor();
void AfxEndWaitCursor();
