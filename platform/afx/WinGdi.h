// Win32-shaped drawing API: GDI constants, structures and functions.
// Implemented on Qt (QImage + raster QPainter) by qlafx_gdi.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdint>

using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPBYTE = BYTE*;
using LPCTSTR = const char*;
using LPTSTR = char*;

// Resource ids travel in a name pointer, as on Windows.
#define MAKEINTRESOURCE(i) (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<std::uintptr_t>(p) >> 16) == 0)

inline constexpr int GDI_ERROR = -1; // also HGDI_ERROR as a handle value
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(-1)))
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// --- Structures ---------------------------------------------------------

inline constexpr int LF_FACESIZE = 32;

struct LOGFONT {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
using LOGFONTA = LOGFONT;
using LPLOGFONT = LOGFONT*;

// Font enumeration (EnumFontFamiliesEx): the record starts with the LOGFONT
// that the callback receives.
inline constexpr int LF_FULLFACESIZE = 64;
inline constexpr DWORD RASTER_FONTTYPE = 1, DEVICE_FONTTYPE = 2, TRUETYPE_FONTTYPE = 4;
struct ENUMLOGFONTEX {
    LOGFONT elfLogFont;
    BYTE elfFullName[LF_FULLFACESIZE];
    BYTE elfStyle[LF_FACESIZE];
    BYTE elfScript[LF_FACESIZE];
};

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth; // x is the width
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    std::uintptr_t lbHatch; // hatch style, or the HBITMAP of a pattern brush
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

// BITMAPINFOHEADER, RGBQUAD and BITMAPINFO live in WinTypes.h: the image core uses them too.
using LPBITMAPINFO = BITMAPINFO*;

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};

struct TEXTMETRIC {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
using TEXTMETRICA = TEXTMETRIC;
using LPTEXTMETRIC = TEXTMETRIC*;

// --- Constants ----------------------------------------------------------

// Object types (GetObjectType)
inline constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7,
                       OBJ_REGION = 8, OBJ_MEMDC = 10;

// Stock objects
inline constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
                     NULL_BRUSH = 5, HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
                     OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
                     DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16,
                     DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;

// Pen styles
inline constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
                     PS_INSIDEFRAME = 6, PS_STYLE_MASK = 0x0F;

// Brush styles and hatches
inline constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3;
inline constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
                     HS_DIAGCROSS = 5;

// Binary raster operations (SetROP2)
inline constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
                     R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10,
                     R2_NOP = 11, R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15,
                     R2_WHITE = 16;

// Ternary raster operations (BitBlt and friends)
inline constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                       SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                       NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                       PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                       DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;

// Background modes
inline constexpr int TRANSPARENT = 1, OPAQUE = 2;

// Stretch modes
inline constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4,
                     STRETCH_ANDSCANS = BLACKONWHITE, STRETCH_ORSCANS = WHITEONBLACK,
                     STRETCH_DELETESCANS = COLORONCOLOR, STRETCH_HALFTONE = HALFTONE;

// Polygon fill modes
inline constexpr int ALTERNATE = 1, WINDING = 2;

// DIBs
inline constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
inline constexpr DWORD BI_RGB = 0, BI_BITFIELDS = 3;
inline constexpr DWORD CBM_INIT = 4;

// Region results and combine modes
inline constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = ERROR;
inline constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;

// ExtTextOut
inline constexpr UINT ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004;

// DrawText
inline constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                      DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_NOCLIP = 0x100,
                      DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_PATH_ELLIPSIS = 0x4000,
                      DT_END_ELLIPSIS = 0x8000;

// DrawEdge
inline constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4,
                      BDR_SUNKENINNER = 0x8, BDR_OUTER = 0x3, BDR_INNER = 0xC,
                      EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
                      EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
                      EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
                      EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8,
                      BF_TOPLEFT = BF_TOP | BF_LEFT, BF_TOPRIGHT = BF_TOP | BF_RIGHT,
                      BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT, BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
                      BF_RECT = 0xF, BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000,
                      BF_FLAT = 0x4000, BF_MONO = 0x8000;

// DrawIconEx
inline constexpr UINT DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3, DI_COMPAT = 4, DI_DEFAULTSIZE = 8;

// Font weights, charsets, pitch and family, precision, quality
inline constexpr LONG FW_DONTCARE = 0, FW_THIN = 100, FW_EXTRALIGHT = 200, FW_LIGHT = 300, FW_NORMAL = 400,
                      FW_REGULAR = 400, FW_MEDIUM = 500, FW_SEMIBOLD = 600, FW_DEMIBOLD = 600, FW_BOLD = 700,
                      FW_EXTRABOLD = 800, FW_HEAVY = 900, FW_BLACK = 900;
inline constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128,
                      HANGUL_CHARSET = 129, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136,
                      OEM_CHARSET = 255, GREEK_CHARSET = 161, TURKISH_CHARSET = 162, HEBREW_CHARSET = 177,
                      ARABIC_CHARSET = 178, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204,
                      THAI_CHARSET = 222, EASTEUROPE_CHARSET = 238;
inline constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_DONTCARE = 0x00,
                      FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30, FF_SCRIPT = 0x40,
                      FF_DECORATIVE = 0x50;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0, OUT_TT_PRECIS = 4, OUT_TT_ONLY_PRECIS = 7,
                      CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2,
                      NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4, CLEARTYPE_QUALITY = 5;

// GetDeviceCaps
inline constexpr int DRIVERVERSION = 0, TECHNOLOGY = 2, HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8,
                     VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMBRUSHES = 16, NUMPENS = 18,
                     NUMFONTS = 22, NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90,
                     SIZEPALETTE = 104, NUMRESERVED = 106, COLORRES = 108, PHYSICALWIDTH = 110,
                     PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113, VREFRESH = 116,
                     DESKTOPVERTRES = 117, DESKTOPHORZRES = 118;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int RC_BITBLT = 0x1, RC_BITMAP64 = 0x8, RC_DI_BITMAP = 0x80, RC_DIBTODEV = 0x200,
                     RC_STRETCHBLT = 0x800, RC_STRETCHDIB = 0x2000;

// System colours
inline constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1, COLOR_ACTIVECAPTION = 2,
                     COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
                     COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9,
                     COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
                     COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_3DFACE = 15,
                     COLOR_BTNSHADOW = 16, COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
                     COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20, COLOR_BTNHILIGHT = 20,
                     COLOR_3DHIGHLIGHT = 20, COLOR_3DHILIGHT = 20, COLOR_3DDKSHADOW = 21,
                     COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26,
                     COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
                     COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;

// Images and resources
inline constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;
inline constexpr UINT LR_DEFAULTCOLOR = 0x0, LR_MONOCHROME = 0x1, LR_COPYRETURNORG = 0x4,
                      LR_COPYDELETEORG = 0x8, LR_LOADFROMFILE = 0x10, LR_LOADTRANSPARENT = 0x20,
                      LR_DEFAULTSIZE = 0x40, LR_CREATEDIBSECTION = 0x2000, LR_SHARED = 0x8000;

// System cursors and icons (LoadCursor/LoadIcon with a null instance)
#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDC_APPSTARTING MAKEINTRESOURCE(32650)
#define IDC_HELP MAKEINTRESOURCE(32651)
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_ERROR IDI_HAND
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_INFORMATION IDI_ASTERISK

// --- Objects ------------------------------------------------------------

HGDIOBJ GetStockObject(int id);
BOOL DeleteObject(HGDIOBJ obj);
int GetObject(HGDIOBJ obj, int size, LPVOID out);
DWORD GetObjectType(HGDIOBJ obj);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR face);
HFONT CreateFontIndirect(const LOGFONT* font);

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bitmap);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
LONG GetBitmapBits(HBITMAP bitmap, LONG count, LPVOID bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD count, const void* bits);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage);
BOOL GdiFlush();

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
BOOL EqualRgn(HRGN a, HRGN b);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, LPRECT rect);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);

COLORREF GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

// --- Device contexts ----------------------------------------------------

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int GetDeviceCaps(HDC dc, int index);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT previous);

BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous);
BOOL GetViewportOrgEx(HDC dc, LPPOINT origin);
BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT previous);
BOOL GetWindowOrgEx(HDC dc, LPPOINT origin);
BOOL LPtoDP(HDC dc, LPPOINT points, int count);
BOOL DPtoLP(HDC dc, LPPOINT points, int count);

int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int GetClipBox(HDC dc, LPRECT rect);
int GetClipRgn(HDC dc, HRGN rgn);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rect);

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL GetCurrentPositionEx(HDC dc, LPPOINT point);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags);

BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int count);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                const INT* dx);
int DrawText(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format);
BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int count, LPSIZE size);
BOOL GetTextExtentPoint(HDC dc, LPCSTR text, int count, LPSIZE size);
BOOL GetTextMetrics(HDC dc, LPTEXTMETRIC metrics);
int GetTextFace(HDC dc, int count, LPSTR face);
// Every installed family once, and the Windows faces the layer maps; the
// character set is GB2312_CHARSET for families that cover Chinese, else
// ANSI_CHARSET. filter: a face name (empty for all) and a character set
// (DEFAULT_CHARSET for all). Returns the last callback's value; 0 stops.
using FONTENUMPROC = int (*)(const LOGFONT* font, const TEXTMETRIC* metrics, DWORD fontType, LPARAM lParam);
int EnumFontFamiliesEx(HDC dc, LOGFONT* filter, FONTENUMPROC proc, LPARAM lParam, DWORD flags);

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);

BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFree,
                UINT flags);
