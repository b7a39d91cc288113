// The geometry dialogs' templates.
#include "editor/adjust/ImageSizeDlg.h"
#include "editor/adjust/ModifyShapeDlg.h"
#include "editor/adjust/PerspectiveDlg.h"
#include "editor/adjust/TransformDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kSpin = WS_VISIBLE | UDS_ARROWKEYS;

constexpr DWORD kSizable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_SETFONT | DS_CENTER;
constexpr DWORD kIconButton = kTab | BS_PUSHBUTTON | BS_ICON;

const qlafx::DialogTemplate kTransformDialogs[] = {
    // The preview lies right of the separator and is painted by the dialog.
    {IDD_MODIFY_SHAPE, kSizable, 0, 0, 0, 480, 300, "Modify Shape", "MS Shell Dlg", 8,
     {
         {"Button", "1,Select Modification Range", 0xFFFF, 7, 7, 124, 86, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Drag mouse to draw a rectangle over where you want to modify. For example, the face.", 0xFFFF,
          14, 20, 110, 44, kLabel},
         {"Button", "OK, Go &Next", IDC_SHAPE_NEXT, 14, 70, 110, 16, kTab | BS_PUSHBUTTON},
         {"Button", "2,Shape Change", 0xFFFF, 7, 100, 124, 148, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Place the brush on border and paint to change the shape.", 0xFFFF, 14, 113, 110, 28, kLabel},
         {"msctls_trackbar32", "", IDC_BRUSH_SIZE, 12, 144, 114, 18, kTab | TBS_HORZ | TBS_BOTTOM},
         {"Button", "&Reset", IDC_SHAPE_RESET, 14, 168, 110, 16, kTab | BS_PUSHBUTTON},
         {"Button", "&Undo/Redo Last Step", IDC_SHAPE_UNDO, 14, 188, 110, 16, kTab | BS_PUSHBUTTON},
         {"Button", "Show original", IDC_SHOW_ORIGINAL, 14, 212, 110, 12, kTab | BS_AUTOCHECKBOX},
         {"Static", "", IDC_SHAPE_SEPARATOR, 136, 0, 2, 300, WS_VISIBLE | SS_ETCHEDVERT},
         {"Button", "OK", IDOK, 20, 276, 52, 16, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 80, 276, 52, 16, kTab | BS_PUSHBUTTON},
     }},
    // Placed again by the dialog's layout; the panel only marks the picture's place.
    {IDD_PERSPECTIVE, kSizable, 0, 0, 0, 400, 320, "Perspective Crop", "MS Shell Dlg", 8,
     {
         {"Button", "Help", IDC_PERSPECTIVE_HELP, 7, 7, 386, 52, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Move the control points to the corner of  distorted rectangle.", IDC_PERSPECTIVE_HINT, 23, 16,
          360, 26, kLabel},
         {"Button", "Show Sample", IDC_SHOW_SAMPLE, 23, 40, 120, 12, kTab | BS_AUTOCHECKBOX},
         {"Static", "", IDC_PERSPECTIVE_PANEL, 7, 65, 386, 230, SS_LEFT},
         {"Button", "Cancel", IDCANCEL, 255, 300, 66, 14, kTab | BS_PUSHBUTTON},
         {"Button", "Crop", IDOK, 327, 300, 66, 14, kTab | BS_DEFPUSHBUTTON},
     }},
    // Placed again by the dialog's layout whenever it is sized.
    {IDD_TRANSFORM, kSizable, 0, 0, 0, 420, 340, "Transform", "MS Shell Dlg", 8,
     {
         {"Button", "", IDC_ROTATE_LEFT, 7, 3, 23, 23, kIconButton},
         {"Button", "", IDC_ROTATE_RIGHT, 30, 3, 23, 23, kIconButton},
         {"Button", "", IDC_MIRROR, 7, 26, 23, 23, kIconButton},
         {"Button", "", IDC_FLIP, 30, 26, 23, 23, kIconButton},
         {"Button", "", IDC_CROP_TOOL, 7, 250, 23, 23, kIconButton},
         {"Button", "", IDC_TRANSFORM_SIZE, 30, 250, 23, 23, kIconButton},
         {"Button", "&Lock Ratio", IDC_LOCK_RATIO, 2, 280, 58, 16, kTab | BS_PUSHBUTTON},
         {"Static", "", IDC_TRANSFORM_VLINE, 61, 0, 2, 318, WS_VISIBLE | SS_ETCHEDVERT},
         {"Static", "", IDC_TRANSFORM_HLINE, 3, 318, 414, 2, WS_VISIBLE | SS_ETCHEDHORZ},
         {"Static", "", IDC_TRANSFORM_STATUS, 7, 323, 200, 14, kLabel},
         {"Button", "OK", IDOK, 212, 322, 66, 16, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 282, 322, 66, 16, kTab | BS_PUSHBUTTON},
         {"Button", "More >", IDC_TRANSFORM_MORE, 352, 322, 66, 16, kTab | BS_PUSHBUTTON},
     }},
    {IDD_IMAGE_SIZE, kModal, 0, 0, 0, 340, 206, "Image Size", "MS Shell Dlg", 8,
     {
         {"Button", "WARNING", 0xFFFF, 7, 4, 186, 30, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "The information and details may lose after the size of image changed", 0xFFFF, 14, 14, 172,
          16, kLabel},
         {"Button", "New size", 0xFFFF, 7, 38, 186, 60, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Width:", 0xFFFF, 16, 53, 36, 8, kLabel},
         {"Edit", "", IDC_NEW_WIDTH, 56, 51, 50, 12, kTab | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER},
         {"msctls_updown32", "", IDC_WIDTH_SPIN, 106, 51, 10, 12, kSpin},
         {"Static", "Height:", 0xFFFF, 16, 69, 36, 8, kLabel},
         {"Edit", "", IDC_NEW_HEIGHT, 56, 67, 50, 12, kTab | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER},
         {"msctls_updown32", "", IDC_HEIGHT_SPIN, 106, 67, 10, 12, kSpin},
         {"Button", "Keep proportion", IDC_KEEP_PROPORTION, 16, 83, 100, 10, kTab | BS_AUTOCHECKBOX},
         {"Button", "Algorithm", 0xFFFF, 7, 102, 186, 64, WS_VISIBLE | BS_GROUPBOX},
         {"ComboBox", "", IDC_RESIZE_METHOD, 16, 115, 100, 80, kTab | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Button", "Advance...", IDC_RESIZE_ADVANCE, 128, 114, 56, 14, kTab | BS_PUSHBUTTON},
         {"Static", "The algorithm 'Quillo Resize' can keep the sharpness of edge when you change the image size.",
          0xFFFF, 16, 134, 170, 26, kLabel},
         {"msctls_progress32", "", IDC_SIZE_PROGRESS_BAR, 7, 172, 186, 8, WS_VISIBLE | WS_BORDER},
         {"Button", "OK", IDOK, 88, 186, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 143, 186, 50, 14, kTab | BS_PUSHBUTTON},
         {"Static", "", IDC_SIZE_SEPARATOR, 200, 0, 2, 206, WS_VISIBLE | SS_ETCHEDVERT},
         {"Button", "Option of Quillo Resize", 0xFFFF, 208, 4, 125, 162, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Enlarge", 0xFFFF, 216, 18, 100, 8, kLabel},
         {"Button", "Keep edge vectors", IDC_KEEP_EDGES, 224, 30, 100, 10, kTab | BS_AUTOCHECKBOX},
         {"Static", "Scale down", 0xFFFF, 216, 50, 100, 8, kLabel},
         {"msctls_trackbar32", "", IDC_RESIZE_DETAIL, 220, 62, 106, 16, kTab | TBS_HORZ | TBS_BOTTOM},
         {"Static", "More Smooth", 0xFFFF, 224, 80, 50, 8, kLabel},
         {"Static", "More Detail", 0xFFFF, 274, 80, 50, 8, WS_VISIBLE | SS_RIGHT},
         {"Static", "Sharpen", 0xFFFF, 224, 100, 100, 8, kLabel},
         {"msctls_trackbar32", "", IDC_RESIZE_SHARPEN, 220, 112, 106, 16, kTab | TBS_HORZ | TBS_BOTTOM},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kTransformDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
