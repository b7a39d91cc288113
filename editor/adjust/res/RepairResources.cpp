// The templates of the repair and lens-effect dialogs: the settings on the
// left, laid out here; the previews to the right come from the effect
// dialog base. Pictures the dialogs paint themselves are invisible statics
// that only give a place.
#include "editor/adjust/AntiPurpleDlg.h"
#include "editor/adjust/DarkSideDlg.h"
#include "editor/adjust/FogoffFilterDlg.h"
#include "editor/adjust/GradientFilterDlg.h"
#include "editor/adjust/HighlightDiffuseDlg.h"
#include "editor/adjust/LensBlurDlg.h"
#include "editor/adjust/LogoSettingsDlg.h"
#include "editor/adjust/NRCleanDlg.h"
#include "editor/adjust/NoiseReductionDlg.h"
#include "editor/adjust/QuilloSharpenDlg.h"
#include "editor/adjust/StarLightDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr UINT kStatic = 0xFFFF;
constexpr DWORD kFilterStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kSlider = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCombo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kPlace = SS_LEFT;  // painted by the dialog
constexpr DWORD kOwnerDraw = WS_VISIBLE | SS_OWNERDRAW;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kSpin = WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS;

constexpr DWORD kDefault = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;

// OK and Cancel; the effect dialog base moves them under the previews.
#define OK_CANCEL_AT(y) {"Button", "OK", IDOK, 79, y, 50, 14, kDefault}, {"Button", "Cancel", IDCANCEL, 139, y, 50, 14, kPush}

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_ANTI_PURPLE, kFilterStyle, 0, 0, 0, 196, 150, "Anti Purple Fringing", "MS Shell Dlg", 8,
     {
         {"Button", "Settings", kStatic, 3, 4, 190, 54, kGroup},
         {"Static", "The range of fringing", kStatic, 9, 16, 170, 8, kLabel},
         {"msctls_trackbar32", "", IDC_FRINGE_RANGE, 9, 28, 178, 14, kSlider},
         {"Static", "Small", kStatic, 9, 44, 40, 8, kLabel},
         {"Static", "Large", kStatic, 163, 44, 24, 8, kLabel},
         {"Static", "Color:", kStatic, 9, 62, 30, 8, kLabel},
         {"Static", "", IDC_FRINGE_COLOUR_BAR, 42, 60, 120, 12, kPlace},
         {"Button", "", IDC_FRINGE_PICK, 168, 58, 16, 16,
          WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON},
         OK_CANCEL_AT(130),
     }},
    {IDD_DARK_SIDE, kFilterStyle, 0, 0, 0, 196, 250, "Get Rid of Dark Corners", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_DARK_PANEL, 3, 4, 190, 160, kPlace},
         {"Button", "Demo.", IDC_DARK_DEMO, 7, 170, 60, 10, kCheck},
         {"Static", "Range", kStatic, 7, 188, 40, 8, kLabel},
         {"msctls_trackbar32", "", IDC_DARK_RANGE, 7, 200, 182, 14, kSlider},
         OK_CANCEL_AT(230),
     }},
    {IDD_FOGOFF, kFilterStyle, 0, 0, 0, 196, 150, "Defog Filter", "MS Shell Dlg", 8,
     {
         {"Static",
          "This function is designed to get rid of the fog, which can not be easily removed by 'Auto-Level' or "
          "'Quillo Sharpen' function.",
          kStatic, 7, 6, 182, 40, kLabel},
         {"Static", "Amount", kStatic, 7, 54, 40, 8, kLabel},
         {"msctls_trackbar32", "", IDC_FOGOFF_AMOUNT, 7, 66, 182, 14, kSlider},
         OK_CANCEL_AT(130),
     }},
    {IDD_HIGHLIGHT_DIFFUSE, kFilterStyle, 0, 0, 0, 196, 150, "Highlight Diffuse", "MS Shell Dlg", 8,
     {
         {"Static", "Opacity", kStatic, 7, 8, 60, 8, kLabel},
         {"msctls_trackbar32", "", IDC_DIFFUSE_OPACITY, 7, 20, 182, 14, kSlider},
         {"Static", "Radius", kStatic, 7, 44, 60, 8, kLabel},
         {"msctls_trackbar32", "", IDC_DIFFUSE_RADIUS, 7, 56, 182, 14, kSlider},
         OK_CANCEL_AT(130),
     }},
    {IDD_NOISE_REDUCTION, kFilterStyle, 0, 0, 0, 196, 150, "Noise Reduction", "MS Shell Dlg", 8,
     {
         {"Button", "Adaptive Noise Reduction", IDC_NOISE_ADAPTIVE, 7, 8, 150, 10, kCheck},
         {"Static", "Amount of Noise", kStatic, 7, 26, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_NOISE_AMOUNT, 7, 38, 182, 14, kSlider},
         {"Button", "Reduce color spots", IDC_NOISE_COLOR_SPOTS, 7, 60, 150, 10, kCheck},
         OK_CANCEL_AT(130),
     }},
    {IDD_NR_CLEAN, kFilterStyle, 0, 0, 0, 196, 230, "Advanced Skin Clean", "MS Shell Dlg", 8,
     {
         {"Static", "Whole Image", kStatic, 7, 8, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_CLEAN_WHOLE, 7, 18, 182, 14, kSlider},
         {"Static", "Skin Level", kStatic, 7, 38, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_CLEAN_SKIN, 7, 48, 182, 14, kSlider},
         {"Static", "More Pink", kStatic, 7, 68, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_CLEAN_PINK, 7, 78, 182, 14, kSlider},
         {"Static", "Amount", kStatic, 7, 98, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_CLEAN_AMOUNT, 7, 108, 182, 14, kSlider},
         {"Static", "Radius", kStatic, 7, 128, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_CLEAN_RADIUS, 7, 138, 182, 14, kSlider},
         {"Button", "User noise reduction", IDC_CLEAN_USER_NR, 7, 160, 150, 10, kCheck},
         {"Button", "Add fake skin texture", IDC_CLEAN_TEXTURE, 7, 174, 150, 10, kCheck},
         OK_CANCEL_AT(210),
     }},
    {IDD_QUILLO_SHARPEN, kFilterStyle, 0, 0, 0, 196, 170, "Quillo Sharpen", "MS Shell Dlg", 8,
     {
         {"Button", "Auto", IDC_SHARPEN_AUTO, 7, 8, 60, 10, kCheck},
         {"Button", "Sharpen edge", IDC_SHARPEN_EDGE, 119, 6, 70, 14, kPush},
         {"Static", "Amount", kStatic, 7, 28, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_SHARPEN_AMOUNT, 7, 38, 182, 14, kSlider},
         {"Static", "Threshold of edge", kStatic, 7, 58, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_SHARPEN_THRESHOLD, 7, 68, 182, 14, kSlider},
         {"Static", "Radius", kStatic, 7, 88, 80, 8, kLabel},
         {"msctls_trackbar32", "", IDC_SHARPEN_RADIUS, 7, 98, 182, 14, kSlider},
         OK_CANCEL_AT(150),
     }},
    {IDD_GRADIENT_FILTER, kFilterStyle, 0, 0, 0, 196, 270, "Gradient Filter", "MS Shell Dlg", 8,
     {
         {"Button", "Preview Lens", kStatic, 3, 4, 190, 96, kGroup},
         {"Static", "", IDC_GRADIENT_LENS, 58, 14, 80, 80, kOwnerDraw},
         {"Button", "Mode", kStatic, 3, 104, 92, 30, kGroup},
         {"ComboBox", "", IDC_GRADIENT_MODE, 9, 115, 80, 60, kCombo},
         {"Button", "Exposure", IDC_GRADIENT_EXPOSURE_GROUP, 101, 104, 92, 30, kGroup},
         {"msctls_trackbar32", "", IDC_GRADIENT_EXPOSURE, 105, 115, 84, 14, kSlider},
         {"Button", "Reference color", IDC_GRADIENT_COLOUR_GROUP, 3, 138, 190, 28, kGroup},
         {"Static", "", IDC_GRADIENT_FIRST, 20, 149, 30, 12, kOwnerDraw | SS_NOTIFY},
         {"Static", "=>", kStatic, 60, 151, 14, 8, kLabel},
         {"Static", "", IDC_GRADIENT_SECOND, 80, 149, 30, 12, kOwnerDraw | SS_NOTIFY},
         {"Button", "x", IDC_GRADIENT_SWAP, 124, 148, 16, 14, kPush},
         {"Button", "Shape", kStatic, 3, 170, 190, 50, kGroup},
         {"Static", "Rotate:", kStatic, 9, 183, 32, 8, kLabel},
         {"msctls_trackbar32", "", IDC_GRADIENT_ROTATE, 44, 180, 145, 14, kSlider},
         {"Static", "Amount:", kStatic, 9, 202, 32, 8, kLabel},
         {"msctls_trackbar32", "", IDC_GRADIENT_AMOUNT, 44, 199, 145, 14, kSlider},
         // The band takes drags, so no group box lies under it.
         {"Static", "Range:", kStatic, 9, 228, 32, 8, kLabel},
         {"Static", "", IDC_GRADIENT_BAND, 44, 225, 145, 14, kPlace},
         OK_CANCEL_AT(250),
     }},
    {IDD_LENS_BLUR, kFilterStyle, 0, 0, 0, 196, 190, "Lose Focus Blur", "MS Shell Dlg", 8,
     {
         {"Button", "Shape", kStatic, 3, 4, 190, 86, kGroup},
         {"Static", "", IDC_LENS_SHAPE, 9, 16, 64, 64, kOwnerDraw},
         {"Button", "Round", IDC_LENS_ROUND, 90, 16, 90, 14,
          WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "Polygon - 6", IDC_LENS_POLYGON6, 90, 34, 90, 14,
          WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON},
         {"Button", "Polygon - 8", IDC_LENS_POLYGON8, 90, 52, 90, 14,
          WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON},
         {"Button", "Radius", kStatic, 3, 94, 190, 32, kGroup},
         {"msctls_trackbar32", "", IDC_LENS_RADIUS, 7, 106, 182, 14, WS_VISIBLE | WS_TABSTOP | WS_GROUP},
         {"Button", "Enhance highlight", IDC_LENS_HIGHLIGHT, 7, 132, 120, 10, kCheck},
         OK_CANCEL_AT(170),
     }},
    {IDD_STAR_LIGHT, kFilterStyle, 0, 0, 0, 196, 300, "Digital Star Light Filter", "MS Shell Dlg", 8,
     {
         {"Static", "This filter can simulate starlight effect to night shot. \r\n( Unique tech, no plagiary )",
          kStatic, 7, 4, 182, 18, kLabel},
         {"Static", "", IDC_STAR_PREVIEW, 58, 26, 80, 80, kPlace},
         {"Button", "Light", kStatic, 3, 110, 190, 92, kGroup},
         {"Static", "Shape:", kStatic, 9, 124, 30, 8, kLabel},
         {"ComboBox", "", IDC_STAR_SHAPE, 44, 121, 80, 60, kCombo},
         {"Static", "Color:", kStatic, 9, 142, 30, 8, kLabel},
         {"ComboBox", "", IDC_STAR_COLOUR, 44, 139, 80, 60, kCombo},
         {"Static", "Size:", kStatic, 9, 162, 30, 8, kLabel},
         {"msctls_trackbar32", "", IDC_STAR_SIZE, 44, 159, 145, 14, kSlider},
         {"Static", "Rotate:", kStatic, 9, 182, 30, 8, kLabel},
         {"msctls_trackbar32", "", IDC_STAR_ROTATE, 44, 179, 145, 14, kSlider},
         {"Button", "Parameters", kStatic, 3, 206, 190, 72, kGroup},
         {"Static", "Range for enhancement:", kStatic, 9, 218, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_STAR_RANGE, 9, 229, 180, 14, kSlider},
         {"Static", "Large", kStatic, 9, 244, 30, 8, kLabel},
         {"Static", "Small", kStatic, 165, 244, 24, 8, kLabel},
         {"Static", "Amount:", kStatic, 9, 260, 30, 8, kLabel},
         {"msctls_trackbar32", "", IDC_STAR_AMOUNT, 44, 257, 145, 14, kSlider},
         OK_CANCEL_AT(282),
     }},
    {IDD_LOGO_SETTINGS, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 300, 196,
     "Settings of Logo Image ", "MS Shell Dlg", 8,
     {
         {"Button", "Logo image file location", kStatic, 7, 4, 286, 30, kGroup},
         {"Edit", "", IDC_LOGO_FILE, 13, 15, 250, 12, kEdit},
         {"Button", "...", IDC_LOGO_BROWSE, 267, 15, 20, 12, kPush},
         {"Button", "Overlay mode", kStatic, 7, 38, 286, 46, kGroup},
         {"ComboBox", "", IDC_LOGO_MODE, 13, 49, 150, 80, kCombo},
         {"Static", "Mask file:", kStatic, 13, 68, 36, 8, kLabel},
         {"Edit", "", IDC_LOGO_MASK, 52, 66, 211, 12, kEdit},
         {"Button", "...", IDC_LOGO_MASK_BROWSE, 267, 66, 20, 12, kPush},
         // The schematic takes clicks, so no group box lies under it.
         {"Static", "", IDC_LOGO_PREVIEW, 7, 90, 146, 80, kPlace},
         {"Button", "Position", kStatic, 157, 88, 136, 82, kGroup},
         {"Static", "X = ", kStatic, 162, 104, 30, 8, kLabel},
         {"Edit", "", IDC_LOGO_X, 196, 102, 40, 12, kEdit},
         {"msctls_updown32", "", IDC_LOGO_X_SPIN, 236, 102, 10, 12, kSpin},
         {"Static", "(%)", kStatic, 250, 104, 20, 8, kLabel},
         {"Static", "Y = ", kStatic, 162, 124, 30, 8, kLabel},
         {"Edit", "", IDC_LOGO_Y, 196, 122, 40, 12, kEdit},
         {"msctls_updown32", "", IDC_LOGO_Y_SPIN, 236, 122, 10, 12, kSpin},
         {"Static", "(%)", kStatic, 250, 124, 20, 8, kLabel},
         {"Static", "Width = ", kStatic, 162, 144, 30, 8, kLabel},
         {"Edit", "", IDC_LOGO_SIZE, 196, 142, 40, 12, kEdit},
         {"msctls_updown32", "", IDC_LOGO_SIZE_SPIN, 236, 142, 10, 12, kSpin},
         {"Static", "(%)", kStatic, 250, 144, 20, 8, kLabel},
         {"Button", "OK", IDOK, 183, 176, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 243, 176, 50, 14, kPush},
     }},
};
#undef OK_CANCEL_AT
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
