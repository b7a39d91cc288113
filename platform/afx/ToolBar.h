// Control bars docked in a frame, and the tool bar: the "ToolbarWindow32"
// control (buttons drawn by the layer from image lists or the bar's own
// bitmap, TB_* messages, WM_COMMAND on a click) and CToolBar over it, whose
// buttons take their enabled and checked states from update handlers.
#pragma once

class QImage;  // named by CommCtrl.h

#include "platform/afx/CommCtrl.h"
#include "platform/afx/FrameWnd.h"

#include <string>
#include <vector>

inline constexpr LPCSTR TOOLBARCLASSNAME = "ToolbarWindow32";

// ---- button styles and states ----
inline constexpr BYTE TBSTYLE_BUTTON = 0x00;
inline constexpr BYTE TBSTYLE_SEP = 0x01;
inline constexpr BYTE TBSTYLE_CHECK = 0x02;
inline constexpr BYTE TBSTYLE_GROUP = 0x04;
inline constexpr BYTE TBSTYLE_CHECKGROUP = TBSTYLE_GROUP | TBSTYLE_CHECK;
inline constexpr BYTE TBSTYLE_DROPDOWN = 0x08;
inline constexpr BYTE TBSTYLE_AUTOSIZE = 0x10;
inline constexpr BYTE TBSTYLE_NOPREFIX = 0x20;
// Window styles of the control.
inline constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
inline constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
inline constexpr DWORD TBSTYLE_ALTDRAG = 0x0400;
inline constexpr DWORD TBSTYLE_FLAT = 0x0800;
inline constexpr DWORD TBSTYLE_LIST = 0x1000;
inline constexpr DWORD TBSTYLE_CUSTOMERASE = 0x2000;
inline constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

inline constexpr BYTE TBSTATE_CHECKED = 0x01;
inline constexpr BYTE TBSTATE_PRESSED = 0x02;
inline constexpr BYTE TBSTATE_ENABLED = 0x04;
inline constexpr BYTE TBSTATE_HIDDEN = 0x08;
inline constexpr BYTE TBSTATE_INDETERMINATE = 0x10;
inline constexpr BYTE TBSTATE_WRAP = 0x20;

// ---- messages ----
inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
inline constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
inline constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
inline constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
inline constexpr UINT TB_INDETERMINATE = WM_USER + 5;
inline constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
inline constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
inline constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
inline constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
inline constexpr UINT TB_SETSTATE = WM_USER + 17;
inline constexpr UINT TB_GETSTATE = WM_USER + 18;
inline constexpr UINT TB_ADDBITMAP = WM_USER + 19;
inline constexpr UINT TB_ADDBUTTONS = WM_USER + 20;
inline constexpr UINT TB_INSERTBUTTON = WM_USER + 21;
inline constexpr UINT TB_DELETEBUTTON = WM_USER + 22;
inline constexpr UINT TB_GETBUTTON = WM_USER + 23;
inline constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
inline constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;
inline constexpr UINT TB_ADDSTRING = WM_USER + 28;
inline constexpr UINT TB_GETITEMRECT = WM_USER + 29;
inline constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
inline constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;
inline constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;
inline constexpr UINT TB_AUTOSIZE = WM_USER + 33;
inline constexpr UINT TB_SETCMDID = WM_USER + 42;
inline constexpr UINT TB_GETBUTTONTEXT = WM_USER + 45;
inline constexpr UINT TB_SETIMAGELIST = WM_USER + 48;
inline constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
inline constexpr UINT TB_GETRECT = WM_USER + 51;
inline constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
inline constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
inline constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
inline constexpr UINT TB_GETDISABLEDIMAGELIST = WM_USER + 55;
inline constexpr UINT TB_SETSTYLE = WM_USER + 56;
inline constexpr UINT TB_GETSTYLE = WM_USER + 57;
inline constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;
inline constexpr UINT TB_GETBUTTONINFO = WM_USER + 65;
inline constexpr UINT TB_SETBUTTONINFO = WM_USER + 66;
inline constexpr UINT TB_HITTEST = WM_USER + 69;
inline constexpr UINT TB_GETHOTITEM = WM_USER + 71;
inline constexpr UINT TB_SETHOTITEM = WM_USER + 72;

struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];  // padding of the 64-bit layout
    DWORD_PTR dwData;
    std::intptr_t iString;
};
using LPTBBUTTON = TBBUTTON*;
using LPCTBBUTTON = const TBBUTTON*;

// TB_ADDBITMAP: hInst NULL and nID an HBITMAP adds that bitmap's images.
struct TBADDBITMAP {
    HINSTANCE hInst;
    UINT_PTR nID;
};

inline constexpr DWORD TBIF_IMAGE = 0x01;
inline constexpr DWORD TBIF_TEXT = 0x02;
inline constexpr DWORD TBIF_STATE = 0x04;
inline constexpr DWORD TBIF_STYLE = 0x08;
inline constexpr DWORD TBIF_LPARAM = 0x10;
inline constexpr DWORD TBIF_COMMAND = 0x20;
inline constexpr DWORD TBIF_SIZE = 0x40;
inline constexpr DWORD TBIF_BYINDEX = 0x80000000;

struct TBBUTTONINFO {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;
    LPSTR pszText;
    int cchText;
};
using LPTBBUTTONINFO = TBBUTTONINFO*;

// ---- control bar styles (low word of the bar's window style) ----
inline constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
inline constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
inline constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
inline constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
inline constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
inline constexpr DWORD CBRS_BORDER_TOP = 0x0200;
inline constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
inline constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
inline constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
inline constexpr DWORD CBRS_TOOLTIPS = 0x0010;
inline constexpr DWORD CBRS_FLYBY = 0x0020;
inline constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;
inline constexpr DWORD CBRS_BORDER_3D = 0x0080;
inline constexpr DWORD CBRS_HIDE_INPLACE = 0x0008;
inline constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
inline constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
inline constexpr DWORD CBRS_FLOATING = 0x0001;
inline constexpr DWORD CBRS_GRIPPER = 0x00400000;
inline constexpr DWORD CBRS_ALL = 0x0040FFFF;
inline constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
inline constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// CToolBar button styles: the control's style in the low word, its state in
// the high word (TBBS_DISABLED is the absence of TBSTATE_ENABLED).
inline constexpr UINT TBBS_BUTTON = TBSTYLE_BUTTON;
inline constexpr UINT TBBS_SEPARATOR = TBSTYLE_SEP;
inline constexpr UINT TBBS_CHECKBOX = TBSTYLE_CHECK;
inline constexpr UINT TBBS_GROUP = TBSTYLE_GROUP;
inline constexpr UINT TBBS_CHECKGROUP = TBSTYLE_CHECKGROUP;
inline constexpr UINT TBBS_CHECKED = TBSTATE_CHECKED << 16;
inline constexpr UINT TBBS_PRESSED = TBSTATE_PRESSED << 16;
inline constexpr UINT TBBS_DISABLED = TBSTATE_ENABLED << 16;
inline constexpr UINT TBBS_INDETERMINATE = TBSTATE_INDETERMINATE << 16;
inline constexpr UINT TBBS_HIDDEN = TBSTATE_HIDDEN << 16;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();

    // The CBRS_* bits, kept out of the window's own style.
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    BOOL m_bAutoDelete = FALSE;
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 6;
    int m_cyTopBorder = 2;
    int m_cyBottomBorder = 2;

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    // The bar's size when docked: full length of the frame side, its own depth.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // Asks pTarget for the states of the bar's commands.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

protected:
    void PostNcDestroy() override;
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);

    // Buttons and sizes of the toolbar table, images from the bitmap of the
    // same id (FALSE when either is missing).
    BOOL LoadToolBar(UINT nIDResource);
    BOOL LoadToolBar(LPCSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCSTR lpszResourceName);
    // ids NULL makes nIDCount empty buttons; ID_SEPARATOR (0) is a separator.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    BOOL SetButtonText(int nIndex, LPCSTR lpszText);
    CString GetButtonText(int nIndex) const;
    int GetCount() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};
    int m_nHeight = -1;

    DECLARE_MESSAGE_MAP()
};

inline constexpr UINT ID_SEPARATOR = 0;

namespace qlafx {
// Registers "ToolbarWindow32" (CToolBar does on first use).
void RegisterToolbarClass();
}  // namespace qlafx
