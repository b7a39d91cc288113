// Message boxes: a layer dialog with an icon, the text and the buttons the
// MB_* type asks for. Every modal dialog and message box can be answered
// by a test hook instead of a person.
#pragma once

#include "platform/afx/WinUser.h"

#include <climits>
#include <functional>

class CWnd;

inline constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFBUTTON4 = 0x00000300;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_HELP = 0x00004000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// hWnd's top-level window is the owner (disabled while the box is up); a
// NULL caption is "Error".
int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
// Owned by the running modal dialog, else the main window; the caption is
// the application's name.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text is string nIDPrompt of the resource tables.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

namespace qlafx {

// Answers modal dialogs and message boxes without a person (tests).
//
// Message box: called with dialog NULL and the box's caption, text and
// type before anything is shown; the result is the box's answer (IDOK,
// IDYES...), or kModalRun to show the box as usual.
//
// CDialog::DoModal: called with the dialog after OnInitDialog, caption its
// window text, text NULL and type 0. The hook may work the dialog (set
// controls, click buttons with BM_CLICK, call EndDialog). When the dialog
// has not ended by then, a result other than kModalRun ends it with that
// code; kModalRun runs the modal loop as usual.
//
// The hook may be called again from inside itself (a message box raised by
// the dialog it works). An empty function removes it.
using ModalHook = std::function<int(CWnd* dialog, const char* caption, const char* text, UINT type)>;
inline constexpr int kModalRun = INT_MIN;
void SetModalHook(ModalHook hook);
// The hook's answer, kModalRun when there is no hook.
int CallModalHook(CWnd* dialog, const char* caption, const char* text, UINT type);

// Hears MessageBeep instead of the speaker (tests). An empty function removes it.
using BeepHook = std::function<void(UINT type)>;
void SetBeepHook(BeepHook hook);

// The innermost modal dialog running now, else NULL.
CWnd* ActiveModalDialog();

// The owner of a modal window opened for pParentWnd: its top-level parent,
// or, as GetLastActivePopup gives, the innermost modal dialog running over
// that window (so a dialog opened from a sheet's page is the sheet's, and
// closing it activates the sheet); the main window when there is neither.
CWnd* ModalOwnerOf(CWnd* pParentWnd);

}  // namespace qlafx
