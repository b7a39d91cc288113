// The video-capture window: a child window that connects to a camera source
// (VideoSource.h), previews at a set rate by handing each newest frame to a
// callback as a bottom-up 24-bit BI_RGB DIB, and shows the source's settings
// dialogs. Driven by the capture messages and their helpers below.
#pragma once

#include "platform/afx/WinGdi.h"
#include "platform/afx/WinUser.h"
#include "platform/win/WinTypes.h"

// One frame handed to the frame callback. Pointer fields are native.
struct VIDEOHDR {
    LPBYTE lpData;
    DWORD dwBufferLength;
    DWORD dwBytesUsed;
    DWORD dwTimeCaptured;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD_PTR dwReserved[4];
};
using LPVIDEOHDR = VIDEOHDR*;

struct CAPDRIVERCAPS {
    UINT wDeviceIndex;
    BOOL fHasOverlay;
    BOOL fHasDlgVideoSource;
    BOOL fHasDlgVideoFormat;
    BOOL fHasDlgVideoDisplay;
    BOOL fCaptureInitialized;
    BOOL fDriverSuppliesPalettes;
    HANDLE hVideoIn;
    HANDLE hVideoOut;
    HANDLE hVideoExtIn;
    HANDLE hVideoExtOut;
};
static_assert(sizeof(void*) != 8 || sizeof(CAPDRIVERCAPS) == 64);

using CAPVIDEOCALLBACK = LRESULT (*)(HWND, LPVIDEOHDR);

inline constexpr UINT WM_CAP_START = WM_USER;
inline constexpr UINT WM_CAP_SET_CALLBACK_FRAME = WM_CAP_START + 5;
inline constexpr UINT WM_CAP_DRIVER_CONNECT = WM_CAP_START + 10;
inline constexpr UINT WM_CAP_DRIVER_DISCONNECT = WM_CAP_START + 11;
inline constexpr UINT WM_CAP_DRIVER_GET_CAPS = WM_CAP_START + 14;
inline constexpr UINT WM_CAP_DLG_VIDEOFORMAT = WM_CAP_START + 41;
inline constexpr UINT WM_CAP_DLG_VIDEOSOURCE = WM_CAP_START + 42;
inline constexpr UINT WM_CAP_GET_VIDEOFORMAT = WM_CAP_START + 44;
inline constexpr UINT WM_CAP_SET_PREVIEW = WM_CAP_START + 50;
inline constexpr UINT WM_CAP_SET_PREVIEWRATE = WM_CAP_START + 52;

HWND capCreateCaptureWindow(LPCSTR name, DWORD style, int x, int y, int width, int height, HWND parent, int id);

inline BOOL capDriverConnect(HWND w, int index)
{
    return static_cast<BOOL>(SendMessage(w, WM_CAP_DRIVER_CONNECT, static_cast<WPARAM>(index), 0));
}
inline BOOL capDriverDisconnect(HWND w) { return static_cast<BOOL>(SendMessage(w, WM_CAP_DRIVER_DISCONNECT, 0, 0)); }
inline BOOL capPreviewRate(HWND w, UINT ms) { return static_cast<BOOL>(SendMessage(w, WM_CAP_SET_PREVIEWRATE, ms, 0)); }
inline BOOL capPreview(HWND w, BOOL on) { return static_cast<BOOL>(SendMessage(w, WM_CAP_SET_PREVIEW, on, 0)); }
inline BOOL capSetCallbackOnFrame(HWND w, CAPVIDEOCALLBACK fn)
{
    return static_cast<BOOL>(SendMessage(w, WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(fn)));
}
inline DWORD capGetVideoFormatSize(HWND w) { return static_cast<DWORD>(SendMessage(w, WM_CAP_GET_VIDEOFORMAT, 0, 0)); }
inline DWORD capGetVideoFormat(HWND w, void* format, UINT size)
{
    return static_cast<DWORD>(SendMessage(w, WM_CAP_GET_VIDEOFORMAT, size, reinterpret_cast<LPARAM>(format)));
}
inline BOOL capDriverGetCaps(HWND w, CAPDRIVERCAPS* caps, UINT size)
{
    return static_cast<BOOL>(SendMessage(w, WM_CAP_DRIVER_GET_CAPS, size, reinterpret_cast<LPARAM>(caps)));
}
inline BOOL capDlgVideoSource(HWND w) { return static_cast<BOOL>(SendMessage(w, WM_CAP_DLG_VIDEOSOURCE, 0, 0)); }
inline BOOL capDlgVideoFormat(HWND w) { return static_cast<BOOL>(SendMessage(w, WM_CAP_DLG_VIDEOFORMAT, 0, 0)); }

// Control ids of the source and format dialogs (tests work them): the
// source dialog's trackbars (and check boxes for on/off settings) are
// kSourceFirstControl + the setting's index; the format dialog's list of
// sizes is kFormatSizeList.
inline constexpr UINT kSourceFirstControl = 1100;
inline constexpr UINT kFormatSizeList = 1050;
