// Device contexts of windows: all draw into the window's surface (see
// QtBridge.h), so drawing outside WM_PAINT works and shows on the next frame.
#pragma once

#include "platform/afx/DC.h"
#include "platform/afx/WinUser.h"

class CWnd;

// BeginPaint / EndPaint for the life of the object; clipped to the update region.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

// GetDC / ReleaseDC for the life of the object.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

protected:
    HWND m_hWnd;
};

// GetWindowDC / ReleaseDC: the whole window (the layer has no separate frame).
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

protected:
    HWND m_hWnd;
};
