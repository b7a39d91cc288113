// The retouch and geometry dialogs' templates.
#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/retouch/CanvasSizeDlg.h"
#include "editor/retouch/ClickEditDlg.h"
#include "editor/retouch/ContentResizeDlg.h"
#include "editor/retouch/CopyDlg.h"
#include "editor/retouch/CorrectDistortionDlg.h"
#include "editor/retouch/DescreenDlg.h"
#include "editor/retouch/FilmAspectAdjustDlg.h"
#include "editor/retouch/FreeRotateDlg.h"
#include "editor/retouch/GaussBlurDlg.h"
#include "editor/retouch/SelectBrushDlg.h"
#include "editor/retouch/SkinEffectDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kMarginEdit = kTab | WS_BORDER | ES_AUTOHSCROLL;
constexpr UINT kStatic = 0xFFFF;
// The effect dialog base lays the previews right of these settings.
constexpr DWORD kFilterStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kPush = kTab | BS_PUSHBUTTON;

const qlafx::DialogTemplate kRetouchDialogs[] = {
    // The preview is painted by the dialog inside the hidden picture static.
    {IDD_BARREL_DISTORT, kModal, 0, 0, 0, 300, 270, "Correct Barrel Distort", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_BARREL_PICTURE, 7, 7, 286, 200, SS_LEFT},
         {"Static", "#299", 0xFFFF, 10, 214, 22, 20, WS_VISIBLE | SS_BITMAP},
         {"msctls_trackbar32", "", IDC_BARREL_AMOUNT, 36, 216, 228, 16, kTab | TBS_HORZ | TBS_BOTTOM},
         {"Static", "#302", 0xFFFF, 268, 214, 22, 20, WS_VISIBLE | SS_BITMAP},
         {"Button", "Auto Crop", IDC_BARREL_AUTO_CROP, 10, 244, 70, 10, kTab | BS_AUTOCHECKBOX},
         {"msctls_progress32", "", IDC_BARREL_PROGRESS, 86, 245, 90, 8, WS_VISIBLE | WS_BORDER},
         {"Button", "OK", IDOK, 184, 242, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 240, 242, 50, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_CANVAS_SIZE, kModal, 0, 0, 0, 230, 150, "Cavas Size", "MS Shell Dlg", 8,
     {
         {"Static", "Extend cavas size to insert more text and images.", 0xFFFF, 10, 8, 210, 10, kLabel},
         {"Static", "Top:", 0xFFFF, 88, 26, 40, 8, kLabel},
         {"Edit", "", IDC_CANVAS_TOP, 88, 36, 50, 12, kMarginEdit},
         {"Static", "Left:", 0xFFFF, 20, 56, 40, 8, kLabel},
         {"Edit", "", IDC_CANVAS_LEFT, 20, 66, 50, 12, kMarginEdit},
         {"Static", "Right:", 0xFFFF, 156, 56, 40, 8, kLabel},
         {"Edit", "", IDC_CANVAS_RIGHT, 156, 66, 50, 12, kMarginEdit},
         {"Static", "Bottom:", 0xFFFF, 88, 86, 40, 8, kLabel},
         {"Edit", "", IDC_CANVAS_BOTTOM, 88, 96, 50, 12, kMarginEdit},
         {"Button", "symmetric", IDC_CANVAS_SYMMETRIC, 88, 114, 60, 10, kTab | BS_AUTOCHECKBOX},
         {"Static", "", IDC_CANVAS_COLOUR, 10, 130, 20, 14, WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY},
         {"Button", "Set background", IDC_CANVAS_COLOUR_BUTTON, 34, 130, 66, 14, kTab | BS_PUSHBUTTON},
         {"Button", "OK", IDOK, 116, 130, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 170, 130, 50, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_FILM_ASPECT, kFilterStyle, 0, 0, 0, 196, 330, "Photography Conception Adjustment", "MS Shell Dlg", 8,
     {
         {"Static", "The ability of this function is limited.For exposure, not exceed (+-)1Ev, for white balance, "
                    "(+-)1500K.  ", kStatic, 5, 4, 186, 26, kLabel},
         {"msctls_trackbar32", "", IDC_FILM_EXPOSURE, 5, 32, 186, 14, kTab},
         {"Static", "-1Ev", kStatic, 9, 47, 30, 8, kLabel},
         {"Static", "1Ev", kStatic, 170, 47, 20, 8, kLabel},
         {"Static", "Dynamic Range:", kStatic, 9, 60, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_FILM_RANGE, 5, 70, 186, 14, kTab},
         {"msctls_trackbar32", "", IDC_FILM_TEMPERATURE, 5, 90, 186, 14, kTab},
         {"Static", "-1500K", kStatic, 9, 105, 30, 8, kLabel},
         {"Static", "1500K", kStatic, 166, 105, 24, 8, kLabel},
         {"Static", "Color Boost, Saturate:", kStatic, 9, 118, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_FILM_SATURATION, 5, 128, 186, 14, kTab},
         {"Static", "Grain:", kStatic, 9, 146, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_FILM_GRAIN, 5, 156, 186, 14, kTab},
         {"Static", "Sharpeness:", kStatic, 9, 174, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_FILM_SHARPNESS, 5, 184, 186, 14, kTab},
         {"Button", "Predefined Simulations:", kStatic, 3, 204, 190, 84, WS_VISIBLE | BS_GROUPBOX},
         {"Button", "Positive Film", IDC_FILM_PRESET_FIRST, 9, 216, 88, 14, kPush},
         {"Button", "Warm Positive", IDC_FILM_PRESET_FIRST + 1, 99, 216, 88, 14, kPush},
         {"Button", "Cold Positive", IDC_FILM_PRESET_FIRST + 2, 9, 232, 88, 14, kPush},
         {"Button", "B&&W", IDC_FILM_PRESET_FIRST + 3, 99, 232, 88, 14, kPush},
         {"Button", "B&&W Warm", IDC_FILM_PRESET_FIRST + 4, 9, 248, 88, 14, kPush},
         {"Button", "B&&W Cold", IDC_FILM_PRESET_FIRST + 5, 99, 248, 88, 14, kPush},
         {"Button", "Old B&&W", IDC_FILM_PRESET_FIRST + 6, 9, 264, 88, 14, kPush},
         {"Button", "Save As ColorTheme", IDC_FILM_SAVE_THEME, 9, 290, 22, 22, kPush | BS_ICON},
         {"Button", "OK", IDOK, 79, 312, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 139, 312, 50, 14, kPush},
     }},
    {IDD_GAUSS_BLUR, kFilterStyle, 0, 0, 0, 196, 200, "Blur", "MS Shell Dlg", 8,
     {
         {"Static", "Radius", kStatic, 9, 6, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_GAUSS_RADIUS, 5, 16, 186, 16, kTab | TBS_AUTOTICKS},
         {"Static", "Opacity", kStatic, 9, 38, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_GAUSS_OPACITY, 5, 48, 186, 16, kTab | TBS_AUTOTICKS},
         {"Static", "Highlight Enhance:", IDC_GAUSS_HIGHLIGHT_LABEL, 9, 70, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_GAUSS_HIGHLIGHT, 5, 80, 186, 14, kTab},
         {"Static", "Shadow Enhance:", IDC_GAUSS_SHADOW_LABEL, 9, 100, 120, 8, kLabel},
         {"msctls_trackbar32", "", IDC_GAUSS_SHADOW, 5, 110, 186, 14, kTab},
         {"Button", "Diffuse filter", IDC_GAUSS_DIFFUSE, 9, 136, 80, 14, kPush},
         {"Button", "", IDC_GAUSS_SAVE_THEME, 9, 156, 22, 22, kPush | BS_ICON},
         {"Button", "OK", IDOK, 79, 182, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 139, 182, 50, 14, kPush},
     }},
    // The demonstration is painted by the dialog inside the hidden static.
    {IDD_DESCREEN, kFilterStyle, 0, 0, 0, 196, 300, "Descreening", "MS Shell Dlg", 8,
     {
         {"Static", "The photo scanned from magazine or prints always have  Moire pattern . With this function, the "
                    "pattern can be removed easily. Compared with descreening function of scanner itself, Quillo can "
                    "keep more details after processing.", kStatic, 5, 4, 186, 50, kLabel},
         {"Static", "", IDC_DESCREEN_DEMO, 5, 56, 186, 104, SS_LEFT},
         {"Static", "Pattern size:", kStatic, 9, 166, 60, 8, kLabel},
         {"Button", "Small", IDC_DESCREEN_SMALL, 70, 165, 38, 10, kTab | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "Medium", IDC_DESCREEN_MEDIUM, 110, 165, 42, 10, BS_AUTORADIOBUTTON | WS_VISIBLE},
         {"Button", "Big", IDC_DESCREEN_BIG, 154, 165, 34, 10, BS_AUTORADIOBUTTON | WS_VISIBLE},
         {"msctls_trackbar32", "", IDC_DESCREEN_STRENGTH, 5, 180, 186, 14, WS_TABSTOP},
         {"Button", "Fast Processing", IDC_DESCREEN_FAST, 9, 198, 120, 10, kTab | WS_GROUP | BS_AUTOCHECKBOX},
         {"Static", "Only luminance channel will be processed. If the result still have Blue-Red spots, try uncheck "
                    "or use 'Noise Reduction' after descreening.", kStatic, 21, 210, 168, 34, kLabel},
         {"Button", "Double clean", IDC_DESCREEN_TWICE, 9, 248, 120, 10, kTab | BS_AUTOCHECKBOX},
         {"Button", "OK", IDOK, 79, 280, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 139, 280, 50, 14, kPush},
     }},
    {IDD_CORRECT_DISTORTION, kModal, 0, 0, 0, 250, 186, "Correct Distortion", "MS Shell Dlg", 8,
     {
         {"Button", "Step 1", kStatic, 7, 4, 236, 50, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "If there are barrel distortion(caused by wide angle), you need to correct it first.", kStatic, 14,
          16, 134, 30, kLabel},
         {"Button", "Barrel Distortion", IDC_DISTORTION_BARREL, 152, 22, 84, 14, kPush},
         {"Button", "Step 2", kStatic, 7, 58, 236, 50, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "If you need to correct perspective distortion. Do it in this step.", kStatic, 14, 70, 134, 30,
          kLabel},
         {"Button", "Perspective Distortion", IDC_DISTORTION_PERSPECTIVE, 152, 76, 84, 14, kPush},
         {"Button", "Step 3", kStatic, 7, 112, 236, 46, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Finally, rotate the image slightly.", kStatic, 14, 126, 134, 20, kLabel},
         {"Button", "Rotate Image", IDC_DISTORTION_ROTATE, 152, 128, 84, 14, kPush},
         {"Button", "Close", IDCANCEL, 193, 166, 50, 14, kTab | BS_DEFPUSHBUTTON},
     }},
    // The sample is painted by the dialog over the hidden static.
    {IDD_SELECT_BRUSH, kModal, 0, 0, 0, 200, 112, "Select Brush", "MS Shell Dlg", 8,
     {
         {"Static", "Shape:", kStatic, 7, 9, 40, 8, kLabel},
         {"ComboBox", "", IDC_BRUSH_SHAPE, 50, 7, 60, 60, kTab | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "Size:", kStatic, 7, 29, 40, 8, kLabel},
         {"Edit", "", IDC_BRUSH_SIZE_EDIT, 50, 27, 50, 12, kMarginEdit | ES_NUMBER},
         {"msctls_updown32", "", IDC_BRUSH_SIZE_SPIN, 100, 27, 10, 12, WS_VISIBLE | UDS_ARROWKEYS},
         {"Static", "Blur:", kStatic, 7, 49, 40, 8, kLabel},
         {"Edit", "", IDC_BRUSH_BLUR_EDIT, 50, 47, 50, 12, kMarginEdit | ES_NUMBER},
         {"msctls_updown32", "", IDC_BRUSH_BLUR_SPIN, 100, 47, 10, 12, WS_VISIBLE | UDS_ARROWKEYS},
         {"Static", "Pressure:", kStatic, 7, 69, 40, 8, kLabel},
         {"Edit", "", IDC_BRUSH_PRESSURE_EDIT, 50, 67, 50, 12, kMarginEdit | ES_NUMBER},
         {"msctls_updown32", "", IDC_BRUSH_PRESSURE_SPIN, 100, 67, 10, 12, WS_VISIBLE | UDS_ARROWKEYS},
         {"Static", "", IDC_BRUSH_SAMPLE, 120, 7, 73, 73, SS_LEFT},
         {"Button", "OK", IDOK, 87, 92, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 143, 92, 50, 14, kPush},
     }},
    // Placed again by the dialog whenever it is sized; the picture is painted.
    {IDD_FREE_ROTATE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_SETFONT | DS_CENTER, 0,
     0, 0, 400, 300, "Free Rotate", "MS Shell Dlg", 8,
     {
         {"Static", "Drag the image to rotate", IDC_ROTATE_LABEL, 4, 4, 200, 10, kLabel},
         {"Static", "", IDC_ROTATE_PICTURE, 4, 18, 392, 250, SS_LEFT},
         {"msctls_progress32", "", IDC_ROTATE_PROGRESS, 4, 280, 60, 8, WS_VISIBLE | WS_BORDER},
         {"Button", "Auto Crop", IDC_ROTATE_AUTO_CROP, 70, 278, 50, 12, kTab | BS_AUTOCHECKBOX},
         {"Button", "Rotate CCW", IDC_ROTATE_CCW, 124, 278, 50, 12, kPush},
         {"Button", "Rotate CW", IDC_ROTATE_CW, 178, 278, 50, 12, kPush},
         {"Button", "Cancel", IDCANCEL, 280, 278, 54, 12, kPush},
         {"Button", "OK", IDOK, 340, 278, 54, 12, kTab | BS_DEFPUSHBUTTON},
     }},
    {IDD_COPY, kModal, 0, 0, 0, 320, 250, "Copy", "MS Shell Dlg", 8,
     {
         {"Static", "Select a rectangle to copy. In default to copy all.", 0xFFFF, 7, 7, 306, 10, kLabel},
         {"Static", "", IDC_COPY_PICTURE, 7, 20, 306, 200, SS_LEFT},  // marks the picture's place
         {"Button", "Copy", IDOK, 205, 228, 52, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 261, 228, 52, 14, kTab | BS_PUSHBUTTON},
     }},
    // The photo, the header and the buttons along the bottom are placed by
    // the dialog; the navigator takes the place of its hidden static.
    {IDD_CLICK_EDIT, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_SETFONT | DS_CENTER, 0, 0,
     0, 500, 320, "Edit Dialog", "MS Shell Dlg", 8,
     {
         {"Button", "Brush", kStatic, 4, 4, 122, 104, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "", IDC_CLICK_SAMPLE, 10, 16, 50, 50, WS_VISIBLE | SS_OWNERDRAW},
         {"Button", "Set Brush", IDC_CLICK_SET_BRUSH, 66, 16, 54, 14, kPush},
         {"Button", "&Undo", IDC_CLICK_UNDO, 66, 36, 54, 30, kPush},
         {"Static", "Size", kStatic, 10, 74, 40, 8, kLabel},
         {"msctls_trackbar32", "", IDC_CLICK_SIZE, 8, 84, 114, 16, kTab | TBS_HORZ | TBS_AUTOTICKS},
         {"Static", "", IDC_CLICK_NAVIGATOR_PLACE, 4, 116, 122, 100, SS_LEFT},
         {"Static", "", IDC_CLICK_SEPARATOR, 2, 290, 496, 2, WS_VISIBLE | SS_ETCHEDHORZ},
         {"Button", "<&Prev", IDC_CLICK_PREV, 250, 298, 50, 14, kPush},
         {"Button", "&Next>", IDC_CLICK_NEXT, 304, 298, 50, 14, kPush},
         {"Button", "&Finish", IDC_CLICK_FINISH, 358, 298, 50, 14, kPush},
         {"Button", "OK", IDOK, 412, 298, 40, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 456, 298, 40, 14, kPush},
     }},
    // Placed again by the dialog whenever it is sized; the previews are made
    // when it is created.
    {IDD_SKIN_EFFECT, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_SETFONT | DS_CENTER, 0, 0,
     0, 500, 320, "Digital Beauty", "MS Shell Dlg", 8,
     {
         {"msctls_progress32", "", IDC_SKIN_PROGRESS, 4, 300, 200, 12, WS_VISIBLE | WS_BORDER},
         {"Static", "", IDC_SKIN_SEPARATOR, 4, 294, 492, 2, WS_VISIBLE | SS_ETCHEDHORZ},
         {"Button", "Advanced Digital Beauty...", IDC_SKIN_ADVANCED, 210, 298, 120, 14, kPush},
         {"Button", "&Finish", IDOK, 390, 298, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 446, 298, 50, 14, kPush},
     }},
    // The photo, its frame box and the progress strip are painted right of
    // the separator; the dialog grows to the main window.
    {IDD_CONTENT_RESIZE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 460,
     300, "Content-aware resizing", "MS Shell Dlg", 8,
     {
         {"Static", "Keep the important content unchanged by reducing or resizing the other part.", kStatic, 7, 7,
          130, 26, kLabel},
         {"Static", "It works good on out-door photos.", kStatic, 7, 36, 130, 10, kLabel},
         {"Button", "1, Define protected area", kStatic, 5, 52, 134, 56, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Pixels outside this area will be resized smartly. ", kStatic, 11, 64, 122, 18, kLabel},
         {"Button", "Define", IDC_RESIZE_DEFINE, 11, 86, 60, 14, kPush},
         {"Button", "2, Drag the frame box", kStatic, 5, 114, 134, 60, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Drag the border of frame box to change the image size.", kStatic, 11, 126, 122, 18, kLabel},
         {"ComboBox", "", IDC_RESIZE_ASPECT, 11, 150, 122, 120, kTab | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "Analysing...  \nIt may take minutes.", IDC_RESIZE_ANALYSING, 11, 182, 122, 20, SS_LEFT},
         {"Static", "", IDC_RESIZE_SEPARATOR, 143, 5, 2, 290, WS_VISIBLE | SS_ETCHEDVERT},
         {"Button", "OK", IDOK, 74, 278, 64, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 5, 278, 64, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kRetouchDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
