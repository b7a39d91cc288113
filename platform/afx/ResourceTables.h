// The resources of a program that are not pictures: string tables, dialog
// templates, menus, toolbars and accelerators, written as C++ tables in the
// program's res/ folder under the ids the code knows them by.
//
// A program registers its tables with a static registrar in one of its own
// source files:
//
//   static const qlafx::ResourceTable kTable = {kStrings, kDialogs, kMenus, ...};
//   static qlafx::ResourceRegistrar kRegister(kTable);
//
// The registrar must be linked into the program itself (an executable's
// source or an OBJECT library): a static library drops objects nobody
// references. Tables registered later are searched first, so a program's
// tables win over shared ones of the same id.
#pragma once

#include "platform/afx/AfxString.h"
#include "platform/afx/WinUser.h"

#include <span>
#include <vector>

// ---- dialog styles ----
inline constexpr DWORD DS_ABSALIGN = 0x0001;
inline constexpr DWORD DS_SYSMODAL = 0x0002;
inline constexpr DWORD DS_LOCALEDIT = 0x0020;
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_NOIDLEMSG = 0x0100;
inline constexpr DWORD DS_SETFOREGROUND = 0x0200;
inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD DS_FIXEDSYS = 0x0008;
inline constexpr DWORD DS_NOFAILCREATE = 0x0010;
inline constexpr DWORD DS_CONTROL = 0x0400;
inline constexpr DWORD DS_CENTER = 0x0800;
inline constexpr DWORD DS_CENTERMOUSE = 0x1000;
inline constexpr DWORD DS_CONTEXTHELP = 0x2000;
inline constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// ---- menu item flags of the menu tables ----
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_HELP = 0x4000;

// ---- accelerator flags ----
inline constexpr BYTE FVIRTKEY = 0x01;
inline constexpr BYTE FNOINVERT = 0x02;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
using LPACCEL = ACCEL*;

namespace qlafx {

struct StringEntry {
    UINT id;
    const char* text;
};

// One control of a dialog template; the rectangle is in dialog units.
struct DialogItem {
    const char* className;  // "Button", "Static", "Edit", "ComboBox", ... or a registered class
    const char* text;
    UINT id;
    short x, y, cx, cy;
    DWORD style;  // WS_CHILD and WS_VISIBLE are the author's to give, as in a template
    DWORD exStyle = 0;
};

// A dialog template: client rectangle in dialog units of the template's font
// ("MS Shell Dlg" 8 when the style has no DS_SETFONT).
struct DialogTemplate {
    UINT id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    const char* caption;
    const char* fontFace;
    WORD pointSize;
    std::vector<DialogItem> items;
};

// A menu bar or pop-up: text NULL with MF_SEPARATOR is a separator; an item
// with children is a pop-up (MF_POPUP implied).
struct MenuItem {
    const char* text;
    UINT id;
    UINT flags;
    std::vector<MenuItem> items;
};
struct MenuTable {
    UINT id;
    std::vector<MenuItem> items;
};

// A toolbar: the size of its button images (buttons are 7 pixels larger each
// way, as with a TOOLBAR resource) and the command of each button (0: a
// separator). Its images are the bitmap of the same id.
struct ToolbarTable {
    UINT id;
    int buttonWidth;
    int buttonHeight;
    std::vector<UINT> commands;
};

struct AcceleratorTable {
    UINT id;
    std::vector<ACCEL> entries;
};

struct ResourceTable {
    std::span<const StringEntry> strings = {};
    std::span<const DialogTemplate> dialogs = {};
    std::span<const MenuTable> menus = {};
    std::span<const ToolbarTable> toolbars = {};
    std::span<const AcceleratorTable> accelerators = {};
};

void RegisterResources(const ResourceTable* table);
void UnregisterResources(const ResourceTable* table);

// Registers table for the registrar's lifetime (a static object).
class ResourceRegistrar {
public:
    explicit ResourceRegistrar(const ResourceTable& table) : m_table(&table) { RegisterResources(m_table); }
    ~ResourceRegistrar() { UnregisterResources(m_table); }
    ResourceRegistrar(const ResourceRegistrar&) = delete;
    ResourceRegistrar& operator=(const ResourceRegistrar&) = delete;

private:
    const ResourceTable* m_table;
};

// Lookups by id (NULL when no registered table has it). Menus, toolbars and
// accelerators are found here; turning them into windows is CMenu's and the
// toolbar's.
const char* FindString(UINT id);
const DialogTemplate* FindDialog(UINT id);
const MenuTable* FindMenu(UINT id);
const ToolbarTable* FindToolbar(UINT id);
const AcceleratorTable* FindAccelerators(UINT id);

}  // namespace qlafx

// The string of id copied into buffer (at most bufferMax - 1 chars, NUL
// ended); returns the number of chars copied, 0 when there is no such string
// or no room. The instance is ignored: every table of the program is searched.
int LoadString(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);

// The string id with "%1" (and "%2") replaced.
void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2);
// The same on a format string already loaded.
void AfxFormatStrings(CString& rString, LPCSTR lpszFormat, LPCSTR const* rglpsz, int nString);
