// The template of "Jpeg Slimming" (dialog 372): the settings on the left;
// the effect dialog base puts the previews to their right and moves the
// buttons of the bottom row.
#include "editor/shell/JpegOptimizeDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr UINT kStatic = 0xFFFF;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kNumber = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_JPEG_OPTIMIZE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
     0, 0, 0, 196, 326, "Jpeg Slimming", "MS Shell Dlg", 8,
     {
         {"ComboBox", "", IDC_JPEG_SCHEME, 7, 7, 112, 14, kList},
         {"Button", "Save", IDC_JPEG_SCHEME_SAVE, 123, 6, 32, 14, kPush},
         {"Button", "Del.", IDC_JPEG_SCHEME_DELETE, 158, 6, 31, 14, kPush},

         {"Button", "", kStatic, 7, 26, 182, 118, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Quality", kStatic, 14, 39, 30, 8, kLabel},
         {"msctls_trackbar32", "", IDC_JPEG_QUALITY, 46, 35, 136, 16, WS_VISIBLE | WS_TABSTOP},
         {"Button", "High quality color(YCbCr 1:1:1)", IDC_JPEG_HQ_COLOR, 14, 56, 118, 10, kCheck},
         {"Button", "Auto set", IDC_JPEG_AUTO_SET, 134, 54, 34, 13, kPush},
         {"Button", "?", IDC_JPEG_HQ_COLOR_HELP, 170, 54, 12, 13, kPush},
         {"Button", "Include EXIF", IDC_JPEG_INCLUDE_EXIF, 14, 72, 118, 10, kCheck},
         {"Button", "Adaptive quantification", IDC_JPEG_ADAPTIVE, 14, 88, 118, 10, kCheck},
         {"Button", "?", IDC_JPEG_ADAPTIVE_HELP, 170, 86, 12, 13, kPush},
         {"Button", "Optimize more", IDC_JPEG_OPTIMIZE_MORE, 14, 104, 118, 10, kCheck},
         {"Button", "?", IDC_JPEG_OPTIMIZE_MORE_HELP, 170, 102, 12, 13, kPush},
         {"Static", "Blur", kStatic, 14, 125, 30, 8, kLabel},
         {"msctls_trackbar32", "", IDC_JPEG_BLUR, 46, 121, 136, 16, WS_VISIBLE | WS_TABSTOP},

         {"Button", "", kStatic, 7, 148, 182, 88, WS_VISIBLE | BS_GROUPBOX},
         {"ComboBox", "", IDC_JPEG_SIZE_MODE, 14, 159, 112, 14, kList},
         {"Edit", "", IDC_JPEG_PIXELS, 130, 159, 52, 13, kNumber},
         {"ComboBox", "", IDC_JPEG_TRADE_OFF, 14, 178, 168, 14, kList},
         {"Static", "Less than", kStatic, 14, 199, 34, 8, kLabel},
         {"Edit", "", IDC_JPEG_LIMIT, 50, 197, 40, 13, kNumber},
         {"Static", "KB", kStatic, 94, 199, 16, 8, kLabel},
         {"Button", "Adjust quality by file size ...", IDC_JPEG_ADJUST_BY_SIZE, 14, 216, 168, 14, kPush},

         {"ListBox", "", IDC_JPEG_INFO, 7, 242, 182, 58,
          WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL},
         {"Button", "Save a Copy", IDC_JPEG_SAVE_COPY, 7, 306, 56, 14, kPush},
         {"Button", "OK", IDOK, 79, 306, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 139, 306, 50, 14, kPush},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
