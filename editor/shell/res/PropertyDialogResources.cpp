// Templates of the photo's property dialogs, the function choice and the
// preview open dialog (the tools menu 218 the choice drops is the function bar's).
#include "editor/shell/EditExifDlg.h"
#include "editor/shell/ImagePropertyDlg.h"
#include "editor/shell/PicViewFileDlg.h"
#include "editor/shell/SelectFunctionDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kLabel = WS_VISIBLE | SS_RIGHT;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;

const qlafx::DialogItem Label(const char* text, short y) { return {"Static", text, 0xFFFF, 7, static_cast<short>(y + 2), 68, 8, kLabel}; }
const qlafx::DialogItem Field(UINT id, short y, short cx) { return {"Edit", "", id, 79, y, cx, 12, kEdit}; }

const qlafx::DialogTemplate kDialogs[] = {
    {IDD_IMAGE_PROPERTY, kDialogStyle, 0, 0, 0, 252, 236, "Image Property", "MS Shell Dlg", 8,
     {
         {"SysListView32", "", IDC_PROPERTY_LIST, 7, 7, 238, 200,
          WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER},
         {"Button", "&Edit ...", IDC_EDIT_EXIF, 7, 215, 60, 14, kPush},
         {"Button", "&OK", IDOK, 185, 215, 60, 14, kDefPush},
     }},
    {IDD_EDIT_EXIF, kDialogStyle, 0, 0, 0, 236, 214, "Edit EXIF data", "MS Shell Dlg", 8,
     {
         Label("Camera model:", 7), Field(IDC_EXIF_MODEL, 7, 150),
         Label("Date and time:", 23), Field(IDC_EXIF_DATE, 23, 150),
         Label("Author:", 39), Field(IDC_EXIF_AUTHOR, 39, 150),
         Label("Copyright:", 55), Field(IDC_EXIF_COPYRIGHT, 55, 150),
         {"Static", "", 0xFFFF, 7, 74, 222, 1, WS_VISIBLE | SS_ETCHEDHORZ},
         Label("Shutter speed (s):", 82), Field(IDC_EXIF_SHUTTER, 82, 60),
         {"Static", "1/250 or 0.004", 0xFFFF, 145, 84, 84, 8, WS_VISIBLE | SS_LEFT},
         Label("F-number:", 98), Field(IDC_EXIF_FNUMBER, 98, 60),
         Label("Exposure bias (EV):", 114), Field(IDC_EXIF_BIAS, 114, 60),
         Label("Focal length (mm):", 130), Field(IDC_EXIF_FOCAL, 130, 60),
         Label("ISO speed:", 146), Field(IDC_EXIF_ISO, 146, 60),
         Label("Flash:", 162), Field(IDC_EXIF_FLASH, 162, 60),
         {"Static", "1 on, 0 off, -1 unknown", 0xFFFF, 145, 164, 84, 8, WS_VISIBLE | SS_LEFT},
         {"Button", "OK", IDOK, 125, 193, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 179, 193, 50, 14, kPush},
     }},
    {IDD_SELECT_FUNCTION, kDialogStyle, 0, 0, 0, 320, 172, "Select the function", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_FUNCTION_FRAME, 7, 7, 306, 112, WS_VISIBLE | SS_ETCHEDFRAME},
         {"Button", "Quillo Sharpen", IDC_FUNCTION_SHARPEN, 7, 127, 96, 14, kPush},
         {"Button", "Adv. Digital Beauty", IDC_FUNCTION_SKIN_CLEAN, 112, 127, 96, 14, kPush},
         {"Button", "Get rid of Fog ...", IDC_FUNCTION_DEFOG, 217, 127, 96, 14, kPush},
         {"Button", "More powelful tools...", IDC_FUNCTION_MORE, 7, 151, 96, 14, kPush},
         {"Button", "Cancel", IDCANCEL, 263, 151, 50, 14, kPush},
     }},
    // The file widget takes the place of stc32; the preview sits at its right.
    {IDD_PICVIEW_FILE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 440,
     250, "Open", "MS Shell Dlg", 8,
     {
         {"Static", "", static_cast<UINT>(stc32), 0, 0, 330, 250, 0},
         {"Static", "", IDC_PICVIEW_PREVIEW, 334, 24, 99, 99, WS_VISIBLE | SS_OWNERDRAW},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
