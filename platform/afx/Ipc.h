// Windows of other processes: every named top-level window listens on a
// local socket under $XDG_RUNTIME_DIR/quillo-windows/ (else the private
// temporary folder), beside a small record of its class and title, so that
// FindWindow finds it from another process and SendMessage/PostMessage
// reach it: user messages with their two values, and WM_COPYDATA with its
// bytes. A handle found that way stands for the other process's window in
// this one. A handle value of another process (read from a settings file,
// as a second copy of a program does) reaches that window when a copy of
// this same program published it.
#pragma once

#include "platform/afx/WinUser.h"

namespace qlafx {

// The window layer calls these on the GUI thread.
void PublishWindow(HWND hwnd);  // a top-level window was made or given a title
void WithdrawWindow(HWND hwnd); // it is going away

// NULL when no window of another process matches.
HWND FindWindowOfOtherProcess(LPCSTR className, LPCSTR windowName);
// For a handle that is no window of this process: delivered tells whether a
// window of another process took the message.
LRESULT SendToOtherProcess(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* delivered = nullptr);
BOOL PostToOtherProcess(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A handle that stands for a window of another process that is still up.
bool IsWindowOfOtherProcess(HWND hwnd);
// Only messages without pointers travel (the values are copied as they are),
// and WM_COPYDATA with its block: WM_NULL, WM_CLOSE, WM_COPYDATA and
// WM_USER and above. Others are refused: their pointers would mean nothing
// in the other process.
bool TravelsBetweenProcesses(UINT msg);

// Whether the value was ever handed out as a window of this process (Wnd.cpp).
bool IsHandleOfThisProcess(HWND hwnd);

} // namespace qlafx
