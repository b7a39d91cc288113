// The common controls: trackbar ("msctls_trackbar32"), progress bar
// ("msctls_progress32"), scroll bar ("ScrollBar"), up-down
// ("msctls_updown32"), combo box ("ComboBox"), list box ("ListBox"), list
// view ("SysListView32"), tree view ("SysTreeView32"), tab control
// ("SysTabControl32"), tool tips ("tooltips_class32"), image lists, and
// their MFC wrappers, which only send the controls' messages.
//
// Trackbars, progress bars and up-down controls are drawn by the layer into
// their surfaces; the others are Qt widgets. Owner-drawn items ask their
// parent with WM_MEASUREITEM / WM_DRAWITEM, custom drawing with NM_CUSTOMDRAW,
// onto a DC whose picture is then shown in the item's place.
#pragma once

#include "platform/afx/Controls.h"
#include "platform/afx/GdiObjects.h"

class QImage;

using HIMAGELIST = struct QlImageList*;
using HTREEITEM = struct QlTreeItem*;
using LPINT = int*;
using LPBOOL = BOOL*;
// An iteration position of MFC-style enumerations (an index + 1 here).
using POSITION = struct QlPosition*;

// ---- shared ----
inline constexpr UINT CCM_FIRST = 0x2000;
inline constexpr UINT CCM_SETBKCOLOR = CCM_FIRST + 1;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000u;
inline constexpr int I_IMAGECALLBACK = -1;
#define LPSTR_TEXTCALLBACK (reinterpret_cast<LPSTR>(static_cast<std::intptr_t>(-1)))

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
inline constexpr DWORD ICC_LISTVIEW_CLASSES = 0x1, ICC_TREEVIEW_CLASSES = 0x2, ICC_BAR_CLASSES = 0x4,
                       ICC_TAB_CLASSES = 0x8, ICC_UPDOWN_CLASS = 0x10, ICC_PROGRESS_CLASS = 0x20,
                       ICC_WIN95_CLASSES = 0xFF, ICC_STANDARD_CLASSES = 0x4000;
void InitCommonControls();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc);

// ---- custom draw ----
inline constexpr DWORD CDDS_PREPAINT = 0x1, CDDS_POSTPAINT = 0x2, CDDS_PREERASE = 0x3, CDDS_POSTERASE = 0x4,
                       CDDS_ITEM = 0x10000, CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT,
                       CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT, CDDS_SUBITEM = 0x20000;
inline constexpr LRESULT CDRF_DODEFAULT = 0x0, CDRF_NEWFONT = 0x2, CDRF_SKIPDEFAULT = 0x4,
                         CDRF_NOTIFYPOSTPAINT = 0x10, CDRF_NOTIFYITEMDRAW = 0x20, CDRF_NOTIFYSUBITEMDRAW = 0x20,
                         CDRF_NOTIFYPOSTERASE = 0x40;
inline constexpr UINT CDIS_SELECTED = 0x1, CDIS_GRAYED = 0x2, CDIS_DISABLED = 0x4, CDIS_CHECKED = 0x8,
                      CDIS_FOCUS = 0x10, CDIS_DEFAULT = 0x20, CDIS_HOT = 0x40, CDIS_MARKED = 0x80;

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage;
    HDC hdc;
    RECT rc;
    DWORD_PTR dwItemSpec;
    UINT uItemState;
    LPARAM lItemlParam;
};
using LPNMCUSTOMDRAW = NMCUSTOMDRAW*;

struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText;
    COLORREF clrTextBk;
    int iSubItem;
};
using LPNMLVCUSTOMDRAW = NMLVCUSTOMDRAW*;

struct NMTVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText;
    COLORREF clrTextBk;
    int iLevel;
};
using LPNMTVCUSTOMDRAW = NMTVCUSTOMDRAW*;

// ---- image lists ----
inline constexpr UINT ILC_MASK = 0x1, ILC_COLOR = 0x0, ILC_COLORDDB = 0xFE, ILC_COLOR4 = 0x4, ILC_COLOR8 = 0x8,
                      ILC_COLOR16 = 0x10, ILC_COLOR24 = 0x18, ILC_COLOR32 = 0x20;
inline constexpr UINT ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_FOCUS = 0x2, ILD_BLEND25 = 0x2,
                      ILD_SELECTED = 0x4, ILD_BLEND50 = 0x4, ILD_BLEND = 0x4, ILD_MASK = 0x10, ILD_IMAGE = 0x20;

struct IMAGEINFO {
    HBITMAP hbmImage;
    HBITMAP hbmMask;
    int Unused1;
    int Unused2;
    RECT rcImage;
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// The bitmap is cut into images of the list's width; the mask bitmap, when
// given, is white where the image is transparent.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the mask colour become transparent.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// index -1 appends; pixels with alpha below half are transparent.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// index -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int index);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);

namespace qlafx {
// The image's pixels, transparent ones with alpha 0 (null when there is none).
QImage ImageListPicture(HIMAGELIST list, int index);
}  // namespace qlafx

// ---- trackbar ----
inline constexpr LPCSTR TRACKBAR_CLASS = "msctls_trackbar32";
inline constexpr DWORD TBS_AUTOTICKS = 0x1, TBS_VERT = 0x2, TBS_HORZ = 0x0, TBS_TOP = 0x4, TBS_BOTTOM = 0x0,
                       TBS_LEFT = 0x4, TBS_RIGHT = 0x0, TBS_BOTH = 0x8, TBS_NOTICKS = 0x10,
                       TBS_ENABLESELRANGE = 0x20, TBS_FIXEDLENGTH = 0x40, TBS_NOTHUMB = 0x80, TBS_TOOLTIPS = 0x100;
inline constexpr UINT TBM_GETRANGEMIN = WM_USER + 1, TBM_GETRANGEMAX = WM_USER + 2, TBM_GETTIC = WM_USER + 3,
                      TBM_SETTIC = WM_USER + 4, TBM_SETRANGE = WM_USER + 6, TBM_SETRANGEMIN = WM_USER + 7,
                      TBM_SETRANGEMAX = WM_USER + 8, TBM_CLEARTICS = WM_USER + 9, TBM_SETSEL = WM_USER + 10,
                      TBM_SETSELSTART = WM_USER + 11, TBM_SETSELEND = WM_USER + 12, TBM_GETTICPOS = WM_USER + 15,
                      TBM_GETNUMTICS = WM_USER + 16, TBM_GETSELSTART = WM_USER + 17, TBM_GETSELEND = WM_USER + 18,
                      TBM_CLEARSEL = WM_USER + 19, TBM_SETTICFREQ = WM_USER + 20, TBM_SETPAGESIZE = WM_USER + 21,
                      TBM_GETPAGESIZE = WM_USER + 22, TBM_SETLINESIZE = WM_USER + 23, TBM_GETLINESIZE = WM_USER + 24,
                      TBM_GETTHUMBRECT = WM_USER + 25, TBM_GETCHANNELRECT = WM_USER + 26,
                      TBM_SETTHUMBLENGTH = WM_USER + 27, TBM_GETTHUMBLENGTH = WM_USER + 28;
inline constexpr UINT TB_LINEUP = 0, TB_LINEDOWN = 1, TB_PAGEUP = 2, TB_PAGEDOWN = 3, TB_THUMBPOSITION = 4,
                      TB_THUMBTRACK = 5, TB_TOP = 6, TB_BOTTOM = 7, TB_ENDTRACK = 8;
// dwItemSpec of the trackbar's custom-draw items.
inline constexpr DWORD_PTR TBCD_TICS = 0x1, TBCD_THUMB = 0x2, TBCD_CHANNEL = 0x3;

// ---- progress bar ----
inline constexpr LPCSTR PROGRESS_CLASS = "msctls_progress32";
inline constexpr DWORD PBS_SMOOTH = 0x1, PBS_VERTICAL = 0x4;
inline constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
                      PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
                      PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8, PBM_SETBARCOLOR = WM_USER + 9,
                      PBM_SETBKCOLOR = CCM_SETBKCOLOR;
struct PBRANGE {
    int iLow;
    int iHigh;
};

// ---- scroll bar ----
inline constexpr DWORD SBS_HORZ = 0x0, SBS_VERT = 0x1;
inline constexpr UINT SBM_SETRANGE = 0x00E2, SBM_GETRANGE = 0x00E3, SBM_ENABLE_ARROWS = 0x00E4,
                      SBM_SETRANGEREDRAW = 0x00E6, SBM_SETSCROLLINFO = 0x00E9, SBM_GETSCROLLINFO = 0x00EA;
inline constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8,
                      SIF_TRACKPOS = 0x10, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
inline constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
inline constexpr UINT ESB_ENABLE_BOTH = 0x0, ESB_DISABLE_LEFT = 0x1, ESB_DISABLE_UP = 0x1,
                      ESB_DISABLE_RIGHT = 0x2, ESB_DISABLE_DOWN = 0x2, ESB_DISABLE_BOTH = 0x3;
struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;
// Scroll bar controls only (nBar SB_CTL); the other bars answer 0 / FALSE.
int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO info);
int SetScrollPos(HWND hwnd, int nBar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int nBar);
BOOL SetScrollRange(HWND hwnd, int nBar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int nBar, LPINT minPos, LPINT maxPos);
BOOL EnableScrollBar(HWND hwnd, UINT nBar, UINT arrows);
BOOL ShowScrollBar(HWND hwnd, int nBar, BOOL show);

// ---- up-down ----
inline constexpr LPCSTR UPDOWN_CLASS = "msctls_updown32";
inline constexpr DWORD UDS_WRAP = 0x1, UDS_SETBUDDYINT = 0x2, UDS_ALIGNRIGHT = 0x4, UDS_ALIGNLEFT = 0x8,
                       UDS_AUTOBUDDY = 0x10, UDS_ARROWKEYS = 0x20, UDS_HORZ = 0x40, UDS_NOTHOUSANDS = 0x80,
                       UDS_HOTTRACK = 0x100;
inline constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102, UDM_SETPOS = WM_USER + 103,
                      UDM_GETPOS = WM_USER + 104, UDM_SETBUDDY = WM_USER + 105, UDM_GETBUDDY = WM_USER + 106,
                      UDM_SETBASE = WM_USER + 109, UDM_GETBASE = WM_USER + 110, UDM_SETRANGE32 = WM_USER + 111,
                      UDM_GETRANGE32 = WM_USER + 112, UDM_SETPOS32 = WM_USER + 113, UDM_GETPOS32 = WM_USER + 114;
inline constexpr int UD_MAXVAL = 0x7FFF, UD_MINVAL = -UD_MAXVAL;
inline constexpr UINT UDN_FIRST = static_cast<UINT>(0u - 721u);
inline constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;
struct NMUPDOWN {
    NMHDR hdr;
    int iPos;
    int iDelta;
};
using LPNMUPDOWN = NMUPDOWN*;
using NM_UPDOWN = NMUPDOWN;

// ---- combo box ----
inline constexpr DWORD CBS_OWNERDRAWFIXED = 0x10, CBS_OWNERDRAWVARIABLE = 0x20, CBS_AUTOHSCROLL = 0x40,
                       CBS_SORT = 0x100, CBS_HASSTRINGS = 0x200, CBS_NOINTEGRALHEIGHT = 0x400,
                       CBS_DISABLENOSCROLL = 0x800, CBS_UPPERCASE = 0x2000, CBS_LOWERCASE = 0x4000;
inline constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142,
                      CB_ADDSTRING = 0x0143, CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146,
                      CB_INSERTSTRING = 0x014A, CB_RESETCONTENT = 0x014B, CB_FINDSTRING = 0x014C,
                      CB_SHOWDROPDOWN = 0x014F, CB_GETITEMDATA = 0x0150, CB_SETITEMDATA = 0x0151,
                      CB_SETITEMHEIGHT = 0x0153, CB_GETITEMHEIGHT = 0x0154, CB_GETDROPPEDSTATE = 0x0157,
                      CB_FINDSTRINGEXACT = 0x0158, CB_GETDROPPEDWIDTH = 0x015F, CB_SETDROPPEDWIDTH = 0x0160;
inline constexpr int CB_OKAY = 0, CB_ERRSPACE = -2;

// ---- list box ----
inline constexpr DWORD LBS_NOTIFY = 0x1, LBS_SORT = 0x2, LBS_NOREDRAW = 0x4, LBS_MULTIPLESEL = 0x8,
                       LBS_OWNERDRAWFIXED = 0x10, LBS_OWNERDRAWVARIABLE = 0x20, LBS_HASSTRINGS = 0x40,
                       LBS_USETABSTOPS = 0x80, LBS_NOINTEGRALHEIGHT = 0x100, LBS_MULTICOLUMN = 0x200,
                       LBS_WANTKEYBOARDINPUT = 0x400, LBS_EXTENDEDSEL = 0x800, LBS_DISABLENOSCROLL = 0x1000,
                       LBS_NOSEL = 0x4000;
inline constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
                      LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_GETSEL = 0x0187, LB_GETTEXT = 0x0189,
                      LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C,
                      LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F, LB_GETSELCOUNT = 0x0190,
                      LB_GETSELITEMS = 0x0191, LB_SETTOPINDEX = 0x0197, LB_GETITEMRECT = 0x0198,
                      LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A, LB_SETCARETINDEX = 0x019E,
                      LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1,
                      LB_FINDSTRINGEXACT = 0x01A2, LB_ITEMFROMPOINT = 0x01A9;
inline constexpr int LB_OKAY = 0, LB_ERRSPACE = -2;

// ---- list view ----
inline constexpr LPCSTR WC_LISTVIEW = "SysListView32";
inline constexpr DWORD LVS_ICON = 0x0, LVS_REPORT = 0x1, LVS_SMALLICON = 0x2, LVS_LIST = 0x3, LVS_TYPEMASK = 0x3,
                       LVS_SINGLESEL = 0x4, LVS_SHOWSELALWAYS = 0x8, LVS_SORTASCENDING = 0x10,
                       LVS_SORTDESCENDING = 0x20, LVS_SHAREIMAGELISTS = 0x40, LVS_NOLABELWRAP = 0x80,
                       LVS_AUTOARRANGE = 0x100, LVS_EDITLABELS = 0x200, LVS_OWNERDRAWFIXED = 0x400,
                       LVS_ALIGNLEFT = 0x800, LVS_OWNERDATA = 0x1000, LVS_NOSCROLL = 0x2000,
                       LVS_NOCOLUMNHEADER = 0x4000, LVS_NOSORTHEADER = 0x8000;
inline constexpr DWORD LVS_EX_GRIDLINES = 0x1, LVS_EX_SUBITEMIMAGES = 0x2, LVS_EX_CHECKBOXES = 0x4,
                       LVS_EX_TRACKSELECT = 0x8, LVS_EX_HEADERDRAGDROP = 0x10, LVS_EX_FULLROWSELECT = 0x20,
                       LVS_EX_ONECLICKACTIVATE = 0x40, LVS_EX_TWOCLICKACTIVATE = 0x80, LVS_EX_INFOTIP = 0x400,
                       LVS_EX_UNDERLINEHOT = 0x800;
inline constexpr UINT LVM_FIRST = 0x1000;
inline constexpr UINT LVM_GETBKCOLOR = LVM_FIRST + 0, LVM_SETBKCOLOR = LVM_FIRST + 1,
                      LVM_GETIMAGELIST = LVM_FIRST + 2, LVM_SETIMAGELIST = LVM_FIRST + 3,
                      LVM_GETITEMCOUNT = LVM_FIRST + 4, LVM_GETITEM = LVM_FIRST + 5, LVM_SETITEM = LVM_FIRST + 6,
                      LVM_INSERTITEM = LVM_FIRST + 7, LVM_DELETEITEM = LVM_FIRST + 8,
                      LVM_DELETEALLITEMS = LVM_FIRST + 9, LVM_GETNEXTITEM = LVM_FIRST + 12,
                      LVM_FINDITEM = LVM_FIRST + 13, LVM_GETITEMRECT = LVM_FIRST + 14,
                      LVM_GETITEMPOSITION = LVM_FIRST + 16, LVM_HITTEST = LVM_FIRST + 18,
                      LVM_ENSUREVISIBLE = LVM_FIRST + 19, LVM_REDRAWITEMS = LVM_FIRST + 21,
                      LVM_EDITLABEL = LVM_FIRST + 23, LVM_GETCOLUMN = LVM_FIRST + 25, LVM_SETCOLUMN = LVM_FIRST + 26,
                      LVM_INSERTCOLUMN = LVM_FIRST + 27, LVM_DELETECOLUMN = LVM_FIRST + 28,
                      LVM_GETCOLUMNWIDTH = LVM_FIRST + 29, LVM_SETCOLUMNWIDTH = LVM_FIRST + 30,
                      LVM_GETTEXTCOLOR = LVM_FIRST + 35, LVM_SETTEXTCOLOR = LVM_FIRST + 36,
                      LVM_GETTEXTBKCOLOR = LVM_FIRST + 37, LVM_SETTEXTBKCOLOR = LVM_FIRST + 38,
                      LVM_GETTOPINDEX = LVM_FIRST + 39, LVM_GETCOUNTPERPAGE = LVM_FIRST + 40,
                      LVM_SETITEMSTATE = LVM_FIRST + 43, LVM_GETITEMSTATE = LVM_FIRST + 44,
                      LVM_GETITEMTEXT = LVM_FIRST + 45, LVM_SETITEMTEXT = LVM_FIRST + 46,
                      LVM_GETSELECTEDCOUNT = LVM_FIRST + 50, LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54,
                      LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55, LVM_GETSUBITEMRECT = LVM_FIRST + 56,
                      LVM_SUBITEMHITTEST = LVM_FIRST + 57, LVM_SETHOTCURSOR = LVM_FIRST + 62,
                      LVM_GETHOTCURSOR = LVM_FIRST + 63, LVM_GETSELECTIONMARK = LVM_FIRST + 66,
                      LVM_SETSELECTIONMARK = LVM_FIRST + 67;
inline constexpr UINT LVIF_TEXT = 0x1, LVIF_IMAGE = 0x2, LVIF_PARAM = 0x4, LVIF_STATE = 0x8, LVIF_INDENT = 0x10;
inline constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2, LVIS_CUT = 0x4, LVIS_DROPHILITED = 0x8,
                      LVIS_OVERLAYMASK = 0xF00, LVIS_STATEIMAGEMASK = 0xF000;
inline constexpr UINT LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2, LVNI_CUT = 0x4,
                      LVNI_DROPHILITED = 0x8, LVNI_ABOVE = 0x100, LVNI_BELOW = 0x200;
inline constexpr int LVSIL_NORMAL = 0, LVSIL_SMALL = 1, LVSIL_STATE = 2;
inline constexpr UINT LVCF_FMT = 0x1, LVCF_WIDTH = 0x2, LVCF_TEXT = 0x4, LVCF_SUBITEM = 0x8;
inline constexpr int LVCFMT_LEFT = 0x0, LVCFMT_RIGHT = 0x1, LVCFMT_CENTER = 0x2;
inline constexpr UINT LVHT_NOWHERE = 0x1, LVHT_ONITEMICON = 0x2, LVHT_ONITEMLABEL = 0x4,
                      LVHT_ONITEMSTATEICON = 0x8, LVHT_ONITEM = 0xE, LVHT_ABOVE = 0x8, LVHT_BELOW = 0x10,
                      LVHT_TORIGHT = 0x20, LVHT_TOLEFT = 0x40;
inline constexpr int LVIR_BOUNDS = 0, LVIR_ICON = 1, LVIR_LABEL = 2, LVIR_SELECTBOUNDS = 3;
inline constexpr int LVSCW_AUTOSIZE = -1, LVSCW_AUTOSIZE_USEHEADER = -2;
inline constexpr UINT LVFI_PARAM = 0x1, LVFI_STRING = 0x2, LVFI_PARTIAL = 0x8, LVFI_WRAP = 0x20;
inline constexpr UINT LVN_FIRST = static_cast<UINT>(0u - 100u);
inline constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0, LVN_ITEMCHANGED = LVN_FIRST - 1,
                      LVN_INSERTITEM = LVN_FIRST - 2, LVN_DELETEITEM = LVN_FIRST - 3,
                      LVN_DELETEALLITEMS = LVN_FIRST - 4, LVN_BEGINLABELEDIT = LVN_FIRST - 5,
                      LVN_ENDLABELEDIT = LVN_FIRST - 6, LVN_COLUMNCLICK = LVN_FIRST - 8,
                      LVN_BEGINDRAG = LVN_FIRST - 9, LVN_ITEMACTIVATE = LVN_FIRST - 14,
                      LVN_KEYDOWN = LVN_FIRST - 55;

struct LVITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};
using LPLVITEM = LVITEM*;
using LV_ITEM = LVITEM;

struct LVCOLUMN {
    UINT mask;
    int fmt;
    int cx;
    LPSTR pszText;
    int cchTextMax;
    int iSubItem;
};
using LPLVCOLUMN = LVCOLUMN*;
using LV_COLUMN = LVCOLUMN;

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};
using LPNMLISTVIEW = NMLISTVIEW*;
using NM_LISTVIEW = NMLISTVIEW;

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};
using LPNMITEMACTIVATE = NMITEMACTIVATE*;

struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};
using LV_DISPINFO = NMLVDISPINFO;

struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};
using LPNMLVKEYDOWN = NMLVKEYDOWN*;
using LV_KEYDOWN = NMLVKEYDOWN;

struct LVHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
    int iSubItem;
};
using LPLVHITTESTINFO = LVHITTESTINFO*;

struct LVFINDINFO {
    UINT flags;
    LPCSTR psz;
    LPARAM lParam;
    POINT pt;
    UINT vkDirection;
};

// ---- tree view ----
inline constexpr LPCSTR WC_TREEVIEW = "SysTreeView32";
inline constexpr DWORD TVS_HASBUTTONS = 0x1, TVS_HASLINES = 0x2, TVS_LINESATROOT = 0x4, TVS_EDITLABELS = 0x8,
                       TVS_DISABLEDRAGDROP = 0x10, TVS_SHOWSELALWAYS = 0x20, TVS_NOTOOLTIPS = 0x80,
                       TVS_CHECKBOXES = 0x100, TVS_TRACKSELECT = 0x200, TVS_SINGLEEXPAND = 0x400,
                       TVS_FULLROWSELECT = 0x1000;
inline constexpr UINT TV_FIRST = 0x1100;
inline constexpr UINT TVM_INSERTITEM = TV_FIRST + 0, TVM_DELETEITEM = TV_FIRST + 1, TVM_EXPAND = TV_FIRST + 2,
                      TVM_GETITEMRECT = TV_FIRST + 4, TVM_GETCOUNT = TV_FIRST + 5, TVM_GETINDENT = TV_FIRST + 6,
                      TVM_SETINDENT = TV_FIRST + 7, TVM_GETIMAGELIST = TV_FIRST + 8,
                      TVM_SETIMAGELIST = TV_FIRST + 9, TVM_GETNEXTITEM = TV_FIRST + 10,
                      TVM_SELECTITEM = TV_FIRST + 11, TVM_GETITEM = TV_FIRST + 12, TVM_SETITEM = TV_FIRST + 13,
                      TVM_EDITLABEL = TV_FIRST + 14, TVM_GETEDITCONTROL = TV_FIRST + 15,
                      TVM_GETVISIBLECOUNT = TV_FIRST + 16, TVM_HITTEST = TV_FIRST + 17,
                      TVM_SORTCHILDREN = TV_FIRST + 19, TVM_ENSUREVISIBLE = TV_FIRST + 20,
                      TVM_ENDEDITLABELNOW = TV_FIRST + 22, TVM_SETITEMHEIGHT = TV_FIRST + 27,
                      TVM_GETITEMHEIGHT = TV_FIRST + 28, TVM_SETBKCOLOR = TV_FIRST + 29,
                      TVM_SETTEXTCOLOR = TV_FIRST + 30, TVM_GETBKCOLOR = TV_FIRST + 31,
                      TVM_GETTEXTCOLOR = TV_FIRST + 32;
inline constexpr UINT TVIF_TEXT = 0x1, TVIF_IMAGE = 0x2, TVIF_PARAM = 0x4, TVIF_STATE = 0x8, TVIF_HANDLE = 0x10,
                      TVIF_SELECTEDIMAGE = 0x20, TVIF_CHILDREN = 0x40;
inline constexpr UINT TVIS_FOCUSED = 0x1, TVIS_SELECTED = 0x2, TVIS_CUT = 0x4, TVIS_DROPHILITED = 0x8,
                      TVIS_BOLD = 0x10, TVIS_EXPANDED = 0x20, TVIS_EXPANDEDONCE = 0x40,
                      TVIS_OVERLAYMASK = 0xF00, TVIS_STATEIMAGEMASK = 0xF000;
inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD));
inline constexpr UINT TVGN_ROOT = 0x0, TVGN_NEXT = 0x1, TVGN_PREVIOUS = 0x2, TVGN_PARENT = 0x3, TVGN_CHILD = 0x4,
                      TVGN_FIRSTVISIBLE = 0x5, TVGN_NEXTVISIBLE = 0x6, TVGN_PREVIOUSVISIBLE = 0x7,
                      TVGN_DROPHILITE = 0x8, TVGN_CARET = 0x9, TVGN_LASTVISIBLE = 0xA;
inline constexpr UINT TVE_COLLAPSE = 0x1, TVE_EXPAND = 0x2, TVE_TOGGLE = 0x3, TVE_COLLAPSERESET = 0x8000;
inline constexpr UINT TVC_UNKNOWN = 0x0, TVC_BYMOUSE = 0x1, TVC_BYKEYBOARD = 0x2;
inline constexpr int TVSIL_NORMAL = 0, TVSIL_STATE = 2;
inline constexpr UINT TVHT_NOWHERE = 0x1, TVHT_ONITEMICON = 0x2, TVHT_ONITEMLABEL = 0x4,
                      TVHT_ONITEMINDENT = 0x8, TVHT_ONITEMBUTTON = 0x10, TVHT_ONITEMRIGHT = 0x20,
                      TVHT_ONITEMSTATEICON = 0x40, TVHT_ONITEM = 0x46, TVHT_ABOVE = 0x100, TVHT_BELOW = 0x200,
                      TVHT_TORIGHT = 0x400, TVHT_TOLEFT = 0x800;
inline constexpr UINT TVN_FIRST = static_cast<UINT>(0u - 400u);
inline constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1, TVN_SELCHANGED = TVN_FIRST - 2,
                      TVN_GETDISPINFO = TVN_FIRST - 3, TVN_ITEMEXPANDING = TVN_FIRST - 5,
                      TVN_ITEMEXPANDED = TVN_FIRST - 6, TVN_BEGINDRAG = TVN_FIRST - 7,
                      TVN_DELETEITEM = TVN_FIRST - 9, TVN_BEGINLABELEDIT = TVN_FIRST - 10,
                      TVN_ENDLABELEDIT = TVN_FIRST - 11, TVN_KEYDOWN = TVN_FIRST - 12;

struct TVITEM {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
};
using LPTVITEM = TVITEM*;
using TV_ITEM = TVITEM;

struct TVINSERTSTRUCT {
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    TVITEM item;
};
using LPTVINSERTSTRUCT = TVINSERTSTRUCT*;
using TV_INSERTSTRUCT = TVINSERTSTRUCT;

struct NMTREEVIEW {
    NMHDR hdr;
    UINT action;
    TVITEM itemOld;
    TVITEM itemNew;
    POINT ptDrag;
};
using LPNMTREEVIEW = NMTREEVIEW*;
using NM_TREEVIEW = NMTREEVIEW;

struct NMTVDISPINFO {
    NMHDR hdr;
    TVITEM item;
};
using LPNMTVDISPINFO = NMTVDISPINFO*;
using TV_DISPINFO = NMTVDISPINFO;

struct NMTVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};
using LPNMTVKEYDOWN = NMTVKEYDOWN*;
using TV_KEYDOWN = NMTVKEYDOWN;

struct TVHITTESTINFO {
    POINT pt;
    UINT flags;
    HTREEITEM hItem;
};
using LPTVHITTESTINFO = TVHITTESTINFO*;

// ---- tab control ----
inline constexpr LPCSTR WC_TABCONTROL = "SysTabControl32";
inline constexpr DWORD TCS_BOTTOM = 0x2, TCS_FLATBUTTONS = 0x8, TCS_BUTTONS = 0x100, TCS_MULTILINE = 0x200,
                       TCS_FIXEDWIDTH = 0x400, TCS_FOCUSNEVER = 0x8000, TCS_TOOLTIPS = 0x4000;
inline constexpr UINT TCM_FIRST = 0x1300;
inline constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2, TCM_SETIMAGELIST = TCM_FIRST + 3,
                      TCM_GETITEMCOUNT = TCM_FIRST + 4, TCM_GETITEM = TCM_FIRST + 5, TCM_SETITEM = TCM_FIRST + 6,
                      TCM_INSERTITEM = TCM_FIRST + 7, TCM_DELETEITEM = TCM_FIRST + 8,
                      TCM_DELETEALLITEMS = TCM_FIRST + 9, TCM_GETITEMRECT = TCM_FIRST + 10,
                      TCM_GETCURSEL = TCM_FIRST + 11, TCM_SETCURSEL = TCM_FIRST + 12, TCM_HITTEST = TCM_FIRST + 13,
                      TCM_ADJUSTRECT = TCM_FIRST + 40, TCM_SETITEMSIZE = TCM_FIRST + 41,
                      TCM_GETROWCOUNT = TCM_FIRST + 44, TCM_GETCURFOCUS = TCM_FIRST + 47,
                      TCM_SETCURFOCUS = TCM_FIRST + 48;
inline constexpr UINT TCIF_TEXT = 0x1, TCIF_IMAGE = 0x2, TCIF_PARAM = 0x8, TCIF_STATE = 0x10;
inline constexpr UINT TCHT_NOWHERE = 0x1, TCHT_ONITEMICON = 0x2, TCHT_ONITEMLABEL = 0x4, TCHT_ONITEM = 0x6;
inline constexpr UINT TCN_FIRST = static_cast<UINT>(0u - 550u);
inline constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0, TCN_SELCHANGE = TCN_FIRST - 1, TCN_SELCHANGING = TCN_FIRST - 2;

struct TCITEM {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};
using LPTCITEM = TCITEM*;
using TC_ITEM = TCITEM;

struct TCHITTESTINFO {
    POINT pt;
    UINT flags;
};

// ---- tool tips ----
inline constexpr LPCSTR TOOLTIPS_CLASS = "tooltips_class32";
inline constexpr DWORD TTS_ALWAYSTIP = 0x1, TTS_NOPREFIX = 0x2;
inline constexpr UINT TTF_IDISHWND = 0x1, TTF_CENTERTIP = 0x2, TTF_SUBCLASS = 0x10, TTF_TRACK = 0x20,
                      TTF_ABSOLUTE = 0x80, TTF_TRANSPARENT = 0x100;
inline constexpr UINT TTM_ACTIVATE = WM_USER + 1, TTM_SETDELAYTIME = WM_USER + 3, TTM_ADDTOOL = WM_USER + 4,
                      TTM_DELTOOL = WM_USER + 5, TTM_NEWTOOLRECT = WM_USER + 6, TTM_RELAYEVENT = WM_USER + 7,
                      TTM_GETTOOLINFO = WM_USER + 8, TTM_SETTOOLINFO = WM_USER + 9, TTM_GETTEXT = WM_USER + 11,
                      TTM_UPDATETIPTEXT = WM_USER + 12, TTM_GETTOOLCOUNT = WM_USER + 13,
                      TTM_SETMAXTIPWIDTH = WM_USER + 24, TTM_POP = WM_USER + 28;
inline constexpr UINT TTN_FIRST = static_cast<UINT>(0u - 520u);
inline constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 0, TTN_NEEDTEXT = TTN_GETDISPINFO, TTN_SHOW = TTN_FIRST - 1,
                      TTN_POP = TTN_FIRST - 2;

struct TOOLINFO {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    LPSTR lpszText;
    LPARAM lParam;
};
using LPTOOLINFO = TOOLINFO*;

struct NMTTDISPINFO {
    NMHDR hdr;
    LPSTR lpszText;
    char szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};
using LPNMTTDISPINFO = NMTTDISPINFO*;
using TOOLTIPTEXT = NMTTDISPINFO;

namespace qlafx {
// Registers the common control classes (done on first use of a class name
// or of a wrapper's Create).
void RegisterCommonControlClasses();
// The text a tool tip shows for point (client coordinates of hwnd), empty
// when no tool tip control has a tool there.
std::string ToolTipTextAt(HWND hwnd, POINT point);
}  // namespace qlafx

// ---- MFC wrappers ----

class CImageList : public CObject {
public:
    CImageList() = default;
    ~CImageList() override;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    static CImageList* FromHandle(HIMAGELIST list);

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // The bitmap resource cut into images cx wide, masked by crMask.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Create(LPCSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(CBitmap* pbmImage, COLORREF crMask);
    int Add(HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask);
    int Replace(int nImage, HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
    BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
    COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
    COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const
    {
        return ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
    }
};

class CSliderCtrl : public CWnd {
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    CSliderCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetLineSize() const { return static_cast<int>(SendMessage(TBM_GETLINESIZE)); }
    int SetLineSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, nSize)); }
    int GetPageSize() const { return static_cast<int>(SendMessage(TBM_GETPAGESIZE)); }
    int SetPageSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, nSize)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    void GetRange(int& nMin, int& nMax) const
    {
        nMin = GetRangeMin();
        nMax = GetRangeMax();
    }
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, bRedraw, nMin); }
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMAX, bRedraw, nMax); }
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE)
    {
        SendMessage(TBM_SETRANGEMIN, FALSE, nMin);
        SendMessage(TBM_SETRANGEMAX, bRedraw, nMax);
    }
    void GetSelection(int& nMin, int& nMax) const
    {
        nMin = static_cast<int>(SendMessage(TBM_GETSELSTART));
        nMax = static_cast<int>(SendMessage(TBM_GETSELEND));
    }
    void SetSelection(int nMin, int nMax)
    {
        SendMessage(TBM_SETSELSTART, FALSE, nMin);
        SendMessage(TBM_SETSELEND, TRUE, nMax);
    }
    void ClearSel(BOOL bRedraw = FALSE) { SendMessage(TBM_CLEARSEL, bRedraw); }
    void GetChannelRect(LPRECT lprc) const { SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(lprc)); }
    void GetThumbRect(LPRECT lprc) const { SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(lprc)); }
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
    UINT GetNumTics() const { return static_cast<UINT>(SendMessage(TBM_GETNUMTICS)); }
    int GetTic(int nTic) const { return static_cast<int>(SendMessage(TBM_GETTIC, static_cast<WPARAM>(nTic))); }
    BOOL SetTic(int nTic) { return static_cast<BOOL>(SendMessage(TBM_SETTIC, 0, nTic)); }
    void SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(nFreq)); }
    void ClearTics(BOOL bRedraw = FALSE) { SendMessage(TBM_CLEARTICS, bRedraw); }
};

class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    CProgressCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetRange(short nLower, short nUpper)
    {
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(nLower), static_cast<WORD>(nUpper)));
    }
    void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
    void GetRange(int& nLower, int& nUpper) const;
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
    int OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(nPos))); }
    int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep))); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
    COLORREF SetBarColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, clr)); }
    COLORREF SetBkColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, clr)); }
};

class CScrollBar : public CWnd {
    DECLARE_DYNAMIC(CScrollBar)
public:
    CScrollBar() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetScrollPos() const { return static_cast<int>(SendMessage(SBM_GETPOS)); }
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE)
    {
        return static_cast<int>(SendMessage(SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
    }
    void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const
    {
        SendMessage(SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos), reinterpret_cast<LPARAM>(lpMaxPos));
    }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE)
    {
        SendMessage(bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(nMinPos), nMaxPos);
    }
    void ShowScrollBar(BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, SB_CTL, bShow); }
    BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH)
    {
        return static_cast<BOOL>(SendMessage(SBM_ENABLE_ARROWS, nArrowFlags));
    }
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE)
    {
        SendMessage(SBM_SETSCROLLINFO, static_cast<WPARAM>(bRedraw), reinterpret_cast<LPARAM>(lpScrollInfo));
        return TRUE;
    }
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    int GetScrollLimit();
};

class CSpinButtonCtrl : public CWnd {
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    CSpinButtonCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    CWnd* SetBuddy(CWnd* pWndBuddy);
    CWnd* GetBuddy() const;
    int SetPos(int nPos)
    {
        return static_cast<int>(SendMessage(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(nPos), 0)));
    }
    int GetPos() const { return static_cast<int>(SendMessage(UDM_GETPOS)); }
    int SetPos32(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos)); }
    int GetPos32(LPBOOL lpbError = nullptr) const
    {
        return static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(lpbError)));
    }
    void SetRange(short nLower, short nUpper)
    {
        SendMessage(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(nUpper), static_cast<WORD>(nLower)));
    }
    void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
    DWORD GetRange() const { return static_cast<DWORD>(SendMessage(UDM_GETRANGE)); }
    void GetRange(int& lower, int& upper) const;
    void GetRange32(int& lower, int& upper) const
    {
        SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    }
    int SetBase(int nBase) { return static_cast<int>(SendMessage(UDM_SETBASE, static_cast<WPARAM>(nBase))); }
    UINT GetBase() const { return static_cast<UINT>(SendMessage(UDM_GETBASE)); }
};

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    CComboBox() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
    int AddString(LPCSTR lpszString)
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
    }
    int InsertString(int nIndex, LPCSTR lpszString)
    {
        return static_cast<int>(
            SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszString)));
    }
    int DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(CB_DELETESTRING, nIndex)); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetLBText(int nIndex, LPSTR lpszText) const
    {
        return static_cast<int>(
            SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszText)));
    }
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const
    {
        return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
    }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return static_cast<int>(
            SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
    }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    int FindString(int nStartAfter, LPCSTR lpszString) const
    {
        return static_cast<int>(
            SendMessage(CB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszString)));
    }
    int FindStringExact(int nIndexStart, LPCSTR lpszFind) const
    {
        return static_cast<int>(
            SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), reinterpret_cast<LPARAM>(lpszFind)));
    }
    int SelectString(int nStartAfter, LPCSTR lpszString)
    {
        return static_cast<int>(
            SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszString)));
    }
    int SetItemHeight(int nIndex, UINT cyItemHeight)
    {
        return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), cyItemHeight));
    }
    int GetItemHeight(int nIndex) const
    {
        return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
    }
    void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(bShowIt)); }
    BOOL GetDroppedState() const { return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE)); }
    int SetDroppedWidth(UINT nWidth) { return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, nWidth)); }
    int GetDroppedWidth() const { return static_cast<int>(SendMessage(CB_GETDROPPEDWIDTH)); }
    BOOL LimitText(int nMaxChars)
    {
        return static_cast<BOOL>(SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(nMaxChars)));
    }
    DWORD GetEditSel() const { return static_cast<DWORD>(SendMessage(CB_GETEDITSEL)); }
    BOOL SetEditSel(int nStartChar, int nEndChar)
    {
        return static_cast<BOOL>(
            SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(nStartChar), static_cast<WORD>(nEndChar))));
    }

    // Owner-drawn combo boxes: called through the parent's reflected messages.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CListBox : public CWnd {
    DECLARE_DYNAMIC(CListBox)
public:
    CListBox() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
    int GetSel(int nIndex) const { return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(nIndex))); }
    int SetSel(int nIndex, BOOL bSelect = TRUE)
    {
        return static_cast<int>(SendMessage(LB_SETSEL, static_cast<WPARAM>(bSelect), nIndex));
    }
    int GetSelCount() const { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }
    int GetSelItems(int nMaxItems, LPINT rgIndex) const
    {
        return static_cast<int>(
            SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(nMaxItems), reinterpret_cast<LPARAM>(rgIndex)));
    }
    int AddString(LPCSTR lpszItem)
    {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
    }
    int InsertString(int nIndex, LPCSTR lpszItem)
    {
        return static_cast<int>(
            SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszItem)));
    }
    int DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex)); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int GetText(int nIndex, LPSTR lpszBuffer) const
    {
        return static_cast<int>(
            SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
    }
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const
    {
        return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
    }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return static_cast<int>(
            SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
    }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int nIndex) { return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(nIndex))); }
    int GetItemRect(int nIndex, LPRECT lpRect) const
    {
        return static_cast<int>(
            SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
    }
    int FindString(int nStartAfter, LPCSTR lpszItem) const
    {
        return static_cast<int>(
            SendMessage(LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
    }
    int FindStringExact(int nIndexStart, LPCSTR lpszFind) const
    {
        return static_cast<int>(
            SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), reinterpret_cast<LPARAM>(lpszFind)));
    }
    int SelectString(int nStartAfter, LPCSTR lpszItem)
    {
        return static_cast<int>(
            SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
    }
    int SetItemHeight(int nIndex, UINT cyItemHeight)
    {
        return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), cyItemHeight));
    }
    int GetItemHeight(int nIndex) const
    {
        return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
    }
    // The item at point (client coordinates) in the low word; high word 1 when outside every item.
    UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    CListCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    COLORREF GetBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETBKCOLOR)); }
    BOOL SetBkColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, cr)); }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTCOLOR)); }
    BOOL SetTextColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, cr)); }
    COLORREF GetTextBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTBKCOLOR)); }
    BOOL SetTextBkColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTBKCOLOR, 0, cr)); }
    CImageList* GetImageList(int nImageList) const;
    CImageList* SetImageList(CImageList* pImageList, int nImageListType);
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    BOOL GetItem(LVITEM* pItem) const
    {
        return static_cast<BOOL>(SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL SetItem(const LVITEM* pItem)
    {
        return static_cast<BOOL>(SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCSTR lpszItem, int nImage, UINT nState, UINT nStateMask,
                 LPARAM lParam);
    int InsertItem(const LVITEM* pItem)
    {
        return static_cast<int>(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    int InsertItem(int nItem, LPCSTR lpszItem);
    int InsertItem(int nItem, LPCSTR lpszItem, int nImage);
    int InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask, int nImage, LPARAM lParam);
    BOOL DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(nItem))); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetNextItem(int nItem, int nFlags) const
    {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), nFlags));
    }
    // Positions are index + 1; NULL when nothing is selected.
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const
    {
        return static_cast<int>(
            SendMessage(LVM_FINDITEM, static_cast<WPARAM>(nStart), reinterpret_cast<LPARAM>(pFindInfo)));
    }
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
    BOOL GetItemPosition(int nItem, LPPOINT lpPoint) const
    {
        return static_cast<BOOL>(
            SendMessage(LVM_GETITEMPOSITION, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpPoint)));
    }
    int HitTest(LVHITTESTINFO* pHitTestInfo) const
    {
        return static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }
    int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    int SubItemHitTest(LPLVHITTESTINFO pInfo)
    {
        return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(pInfo)));
    }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK)
    {
        return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), bPartialOK));
    }
    BOOL RedrawItems(int nFirst, int nLast)
    {
        return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(nFirst), nLast));
    }
    BOOL GetColumn(int nCol, LVCOLUMN* pColumn) const
    {
        return static_cast<BOOL>(
            SendMessage(LVM_GETCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
    }
    BOOL SetColumn(int nCol, const LVCOLUMN* pColumn)
    {
        return static_cast<BOOL>(
            SendMessage(LVM_SETCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
    }
    int InsertColumn(int nCol, const LVCOLUMN* pColumn)
    {
        return static_cast<int>(
            SendMessage(LVM_INSERTCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
    }
    int InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(nCol))); }
    int GetColumnWidth(int nCol) const
    {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nCol)));
    }
    BOOL SetColumnWidth(int nCol, int cx)
    {
        return static_cast<BOOL>(
            SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nCol), MAKELPARAM(static_cast<WORD>(cx), 0)));
    }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    BOOL SetItemState(int nItem, LVITEM* pItem)
    {
        return static_cast<BOOL>(
            SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pItem)));
    }
    UINT GetItemState(int nItem, UINT nMask) const
    {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), nMask));
    }
    CString GetItemText(int nItem, int nSubItem) const;
    int GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    UINT GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }
    DWORD SetExtendedStyle(DWORD dwNewStyle)
    {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle));
    }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    HCURSOR SetHotCursor(HCURSOR hc)
    {
        return reinterpret_cast<HCURSOR>(SendMessage(LVM_SETHOTCURSOR, 0, reinterpret_cast<LPARAM>(hc)));
    }
    HCURSOR GetHotCursor() const { return reinterpret_cast<HCURSOR>(SendMessage(LVM_GETHOTCURSOR)); }
    int GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
    int SetSelectionMark(int iIndex) { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, iIndex)); }
};

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    CTreeCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct)
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(lpInsertStruct)));
    }
    HTREEITEM InsertItem(UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask,
                         LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPCSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST);
    BOOL DeleteItem(HTREEITEM hItem)
    {
        return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem)));
    }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    BOOL Expand(HTREEITEM hItem, UINT nCode)
    {
        return static_cast<BOOL>(SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }
    UINT GetIndent() const { return static_cast<UINT>(SendMessage(TVM_GETINDENT)); }
    void SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
    CImageList* GetImageList(int nImageList) const;
    CImageList* SetImageList(CImageList* pImageList, int nImageListType);
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    BOOL ItemHasChildren(HTREEITEM hItem) const { return GetChildItem(hItem) != nullptr; }
    BOOL Select(HTREEITEM hItem, UINT nCode)
    {
        return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
    BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
    BOOL GetItem(TVITEM* pItem) const
    {
        return static_cast<BOOL>(SendMessage(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL SetItem(TVITEM* pItem)
    {
        return static_cast<BOOL>(SendMessage(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                 UINT nStateMask, LPARAM lParam);
    CString GetItemText(HTREEITEM hItem) const;
    BOOL SetItemText(HTREEITEM hItem, LPCSTR lpszItem);
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
    // Starts editing the label; the editor is no window of its own, so NULL.
    CEdit* EditLabel(HTREEITEM hItem);
    UINT GetVisibleCount() const { return static_cast<UINT>(SendMessage(TVM_GETVISIBLECOUNT)); }
    HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }
    BOOL SortChildren(HTREEITEM hItem)
    {
        return static_cast<BOOL>(SendMessage(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(hItem)));
    }
    BOOL EnsureVisible(HTREEITEM hItem)
    {
        return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem)));
    }
    COLORREF SetBkColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(TVM_SETBKCOLOR, 0, clr)); }
    COLORREF GetBkColor() const { return static_cast<COLORREF>(SendMessage(TVM_GETBKCOLOR)); }
    COLORREF SetTextColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(TVM_SETTEXTCOLOR, 0, clr)); }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(SendMessage(TVM_GETTEXTCOLOR)); }
    SHORT SetItemHeight(SHORT cyHeight)
    {
        return static_cast<SHORT>(SendMessage(TVM_SETITEMHEIGHT, static_cast<WPARAM>(cyHeight)));
    }
    SHORT GetItemHeight() const { return static_cast<SHORT>(SendMessage(TVM_GETITEMHEIGHT)); }
};

class CTabCtrl : public CWnd {
    DECLARE_DYNAMIC(CTabCtrl)
public:
    CTabCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    CImageList* GetImageList() const;
    CImageList* SetImageList(CImageList* pImageList);
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    BOOL GetItem(int nItem, TCITEM* pTabCtrlItem) const
    {
        return static_cast<BOOL>(
            SendMessage(TCM_GETITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
    }
    BOOL SetItem(int nItem, TCITEM* pTabCtrlItem)
    {
        return static_cast<BOOL>(
            SendMessage(TCM_SETITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
    }
    LONG InsertItem(int nItem, TCITEM* pTabCtrlItem)
    {
        return static_cast<LONG>(
            SendMessage(TCM_INSERTITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
    }
    LONG InsertItem(int nItem, LPCSTR lpszItem);
    LONG InsertItem(int nItem, LPCSTR lpszItem, int nImage);
    BOOL DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(nItem))); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
    BOOL GetItemRect(int nItem, LPRECT lpRect) const
    {
        return static_cast<BOOL>(
            SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem))); }
    int GetCurFocus() const { return static_cast<int>(SendMessage(TCM_GETCURFOCUS)); }
    void SetCurFocus(int nItem) { SendMessage(TCM_SETCURFOCUS, static_cast<WPARAM>(nItem)); }
    int HitTest(TCHITTESTINFO* pHitTestInfo) const
    {
        return static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }
    void AdjustRect(BOOL bLarger, LPRECT lpRect)
    {
        SendMessage(TCM_ADJUSTRECT, static_cast<WPARAM>(bLarger), reinterpret_cast<LPARAM>(lpRect));
    }
    int GetRowCount() const { return static_cast<int>(SendMessage(TCM_GETROWCOUNT)); }
};

class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() = default;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(bActivate)); }
    // A tool with nIDTool 0 covers the whole window; lpRectTool NULL: the client area.
    BOOL AddTool(CWnd* pWnd, LPCSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
    void SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, 0, static_cast<LPARAM>(nDelay)); }
    int SetMaxTipWidth(int iWidth) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth)); }
    void Pop() { SendMessage(TTM_POP); }
};
