// Win32-shaped scalar types, structures and constants.
// Every integer type here has a fixed width: these appear in image layouts and
// stored files, where C `long` (64-bit on Linux) must never slip in.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT = std::int32_t;
using UINT = std::uint32_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;
using COLORREF = DWORD;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;

using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using HANDLE = void*;
using HMODULE = void*;
using HINSTANCE = void*;

// Message parameters are pointer-sized, as on 64-bit Windows.
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Opaque window-system handles. Each points at a record the window layer owns;
// distinct types keep a pen from being passed as a window. GDI objects convert
// to HGDIOBJ implicitly, as SelectObject's callers expect.
struct QlWindowRecord;
struct QlDCRecord;
struct QlPenRecord;
struct QlBrushRecord;
struct QlFontRecord;
struct QlBitmapRecord;
struct QlRgnRecord;
struct QlPaletteRecord;
struct QlIconRecord;
struct QlMenuRecord;
using HWND = QlWindowRecord*;
using HDC = QlDCRecord*;
using HGDIOBJ = void*;
using HPEN = QlPenRecord*;
using HBRUSH = QlBrushRecord*;
using HFONT = QlFontRecord*;
using HBITMAP = QlBitmapRecord*;
using HRGN = QlRgnRecord*;
using HPALETTE = QlPaletteRecord*;
using HICON = QlIconRecord*;
using HCURSOR = QlIconRecord*;
using HMENU = QlMenuRecord*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

inline constexpr DWORD MAX_PATH = 260;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// 100-ns ticks since 1601-01-01 UTC, split in two halves.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

static_assert(sizeof(POINT) == 8 && sizeof(SIZE) == 8 && sizeof(RECT) == 16 && sizeof(FILETIME) == 8);

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
static_assert(sizeof(SYSTEMTIME) == 16);

// DIB headers: GDI, the clipboard and the general bitmap class share them.
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // negative: rows top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>(c >> 16); }

constexpr WORD LOWORD(DWORD v) { return static_cast<WORD>(v); }
constexpr WORD HIWORD(DWORD v) { return static_cast<WORD>(v >> 16); }
constexpr BYTE LOBYTE(DWORD v) { return static_cast<BYTE>(v); }
constexpr BYTE HIBYTE(DWORD v) { return static_cast<BYTE>(v >> 8); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) { return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16); }

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
