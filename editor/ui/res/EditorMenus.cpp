// The editor's menus (128 while a photo is open, 234 while none is) and the
// toolbars whose pictures give the menu items their icons (128 file and edit,
// 134 image, 365 enhancement; pictures in bitmaps of the same ids).
#include "platform/afx/ResourceTables.h"

namespace {

using qlafx::MenuItem;

const MenuItem kSeparator{nullptr, 0, MF_SEPARATOR, {}};

const MenuItem kOpen{"&Open File ...\tCtrl+O", 57601, 0, {}};
const MenuItem kRawWizard{"Open Raw (Wizard) ...", 32898, 0, {}};
const MenuItem kRawDirect{"Open Raw (Directly) ...", 32900, 0, {}};
const MenuItem kCapture{"Capt&ure Screen/PC Camera ...", 32905, 0, {}};
const MenuItem kPaste{"&Paste\tCtrl+V", 57637, 0, {}};

const MenuItem kExit{"E&xit", 57665, 0, {}};
const MenuItem kSettings{"&Settings ...", 32838, 0, {}};

const MenuItem kView{"&View",
                     0,
                     0,
                     {{"&Function bar", 32771, 0, {}},
                      {"&History bar", 32773, 0, {}},
                      {"&Navigation bar", 32772, 0, {}},
                      {"&Paint Mode", 32850, 0, {}},
                      kSeparator,
                      {"Zoom &In\tAlt+=", 32776, 0, {}},
                      {"Zoom &Out\tAlt+-", 32777, 0, {}},
                      {"Best &Fit\tAlt+F", 32778, 0, {}},
                      {"&Actual Size\tAlt+A", 32779, 0, {}},
                      {"High Quality", 32780, 0, {}},
                      kSeparator,
                      kSettings}};
// The empty editor has no photo to zoom or paint on.
const MenuItem kEmptyView{"&View", 0, 0, {kSettings}};
// The two community items stay out of the menus; their commands remain.
const MenuItem kHelp{"&Help",
                     0,
                     0,
                     {{"&Topics ...", 32833, 0, {}},
                      {"&Tip of the Day", 104, 0, {}},
                      {"What's New", 32871, 0, {}},
                      {"Check &Updates...", 32857, 0, {}},
                      {"Report &Bug", 32868, 0, {}},
                      {"&Home Page", 32880, 0, {}},
                      kSeparator,
                      {"Photoshop", 0, 0, {{"Copy plugin file ...", 32902, 0, {}}}},
                      kSeparator,
                      {"&About Quillo ...", 57664, 0, {}}}};

// Kit mode trims this menu by position: File keeps Close and Exit once
// Open, Save and Print are gone and positions 1 and 2 (Next, Prev.) are
// deleted; the whole of pop-up 3 goes.
const MenuItem kImageFile{"&File",
                          0,
                          0,
                          {kOpen,
                           {"&Save ...\tCtrl+S", 57603, 0, {}},
                           {"&Close\tCtrl+W", 57602, 0, {}},
                           {"Next Photo \tPgDown", 32881, 0, {}},
                           {"Prev. Photo \tPgUp", 32882, 0, {}},
                           {"&Print ...", 57608, 0, {}},
                           kSeparator,
                           kExit}};

const MenuItem kCollage{"3D QuilloCollage ...", 32906, 0, {}};
const MenuItem kAcquire{"&Acquire", 0, 0, {kRawWizard, kRawDirect, kCapture, kSeparator, kCollage}};

const MenuItem kImageEdit{"&Edit",
                          0,
                          0,
                          {{"&Undo\tCtrl+Z", 57643, 0, {}},
                           {"&Redo\tCtrl_Y", 57644, 0, {}},
                           kSeparator,
                           {"&Copy\tCtrl+C", 57634, 0, {}},
                           kPaste}};

const MenuItem kTransform{"&Transform",
                          0,
                          0,
                          {{"&Transform ...\tCtrl+T", 32810, 0, {}},
                           kSeparator,
                           {"Rotate &Left", 32786, 0, {}},
                           {"Rotate &Right", 32785, 0, {}},
                           {"Flip &Horizontally", 32787, 0, {}},
                           {"Flip &Vertically", 32775, 0, {}},
                           kSeparator,
                           {"&Image Size ...\tCtrl+I", 32811, 0, {}},
                           {"Free &Rotate ...", 32837, 0, {}},
                           {"Correct &Barrel Distort ...", 32858, 0, {}},
                           {"Correct Perspective distortion...", 32863, 0, {}},
                           {"Modify Shape ...", 32877, 0, {}},
                           {"Extend Cavas ...", 32876, 0, {}},
                           {"Content-aware resizing...", 32909, 0, {}}}};

const MenuItem kExposure{"&Exposure",
                         0,
                         0,
                         {{"&Professional Histograms ...\tCtrl+H", 32798, 0, {}},
                          {"&Auto Level", 32788, 0, {}},
                          {"Auto &Contrast", 32831, 0, {}},
                          {"&Brightness and Contrast ...", 32812, 0, {}},
                          {"&Spot Metering ...", 32817, 0, {}},
                          {"Photography Conception Adjustment...\tCtrl+F", 32884, 0, {}},
                          {"Threshold/BW ...", 32904, 0, {}}}};

const MenuItem kColor{"&Color",
                      0,
                      0,
                      {{"&Visual Color Change ...", 32807, 0, {}},
                       {"&White Balance ...", 32808, 0, {}},
                       {"&Adjust Color ...", 32809, 0, {}},
                       {"&HSB Curve ...", 32840, 0, {}},
                       {"&Tone Maker ...", 32852, 0, {}},
                       {"Channel Mixer ...", 32899, 0, {}},
                       {"Color &Enhancement ...", 32901, 0, {}},
                       kSeparator,
                       {"Auto White Balance", 32879, 0, {}}}};

const MenuItem kEnhancement{"En&hancement",
                            0,
                            0,
                            {{"&Noise Reduction ...\tCtrl+N", 32799, 0, {}},
                             {"&Digital Beauty ...", 32800, 0, {}},
                             {"Advanced Digital Beauty ...\tCtrl+B", 32869, 0, {}},
                             {"Sharpen",
                              0,
                              0,
                              {{"&Quillo Sharpen ...", 32801, 0, {}},
                               {"&Simple Sharpen", 32843, 0, {}},
                               {"&Edge Shrink", 32844, 0, {}},
                               {"Sharpen Texture", 32870, 0, {}}}},
                             {"Blur",
                              0,
                              0,
                              {{"Gauss &Blur ...", 32802, 0, {}},
                               {"Lose &Focus Blur ...", 32845, 0, {}},
                               {"&Blur", 32846, 0, {}},
                               {"&Highlight Diffuse ...", 32847, 0, {}}}},
                             kSeparator,
                             {"Erase &spots ...", 32829, 0, {}},
                             {"Erase &red eye ...", 32836, 0, {}},
                             {"Color &Theme ...\tCtrl+E", 32839, 0, {}},
                             {"Anti &Purple Fringing ...", 32841, 0, {}},
                             {"&Enhance Dynamic Range ...", 32849, 0, {}},
                             {"Star&light Filter ...", 32854, 0, {}},
                             {"&Gradient Filter ...", 32856, 0, {}},
                             {"Get Rid of Dark &Corners ...", 32864, 0, {}},
                             {"Defog ...", 32865, 0, {}},
                             {"&Smart Erase ...", 32883, 0, {}},
                             {"Descreening ...", 32903, 0, {}},
                             kSeparator,
                             {"Effect Gallery ", 32895, 0, {}}}};

const MenuItem kFrame{"&Frame",
                      0,
                      0,
                      {{"&Edit Frame Template ...", 32806, 0, {}},
                       {"&Add Frame ...\tCtrl+R", 32805, 0, {}}}};

const MenuItem kMultiShoot{"Multi-Shoot Tools",
                           0,
                           0,
                           {{"Multi Anti Shake ...", 32873, 0, {}},
                            {"Multi Noise Reduction ...", 32872, 0, {}},
                            {"Multi HDR Merge ...", 32874, 0, {}}}};

// The frame puts the effect plug-ins into pop-up 2, sub-pop-up 5 (the
// enhancement menu). Kit mode deletes positions 2 and then 5 of this menu
// (Multi-Shoot Tools and the EXIF editor, both of which reach files).
const MenuItem kImage{"&Image",
                      0,
                      0,
                      {{"By &problem ...", 32816, 0, {}},
                       kSeparator,
                       kMultiShoot,
                       kTransform,
                       kExposure,
                       kEnhancement,
                       {"&Add/Edit Image Propertys...", 32851, 0, {}},
                       kColor,
                       kFrame,
                       kSeparator,
                       {"Image &Properties", 32784, 0, {}}}};

const qlafx::MenuTable kMenus[] = {
    {128, {kImageFile, kImageEdit, kImage, kAcquire, kView, kHelp}},
    {234,
     {{"&File", 0, 0, {kOpen, kSeparator, kRawWizard, kRawDirect, kCapture, kCollage, kSeparator, kExit}},
      {"&Edit", 0, 0, {kPaste}},
      kEmptyView,
      kHelp}},
};

// Images are 24 x 23, as the menus' icon column.
const qlafx::ToolbarTable kToolbars[] = {
    {128, 24, 23, {57601, 57603, 57602, 57608, 0, 57643, 57644, 57634, 57637, 0, 32838, 32833}},
    {134, 24, 23, {32784, 32851, 32816, 0, 32810, 32786, 32785, 32787, 32775, 32811, 32837, 0, 32798, 32788, 32812,
                   32808, 32809}},
    {365, 24, 23, {32799, 32800, 32801, 32802, 32829, 32836, 32839, 32805, 32883, 32905}},
};

const qlafx::ResourceTable kTable{.menus = kMenus, .toolbars = kToolbars};
qlafx::ResourceRegistrar kRegister(kTable);

// The function bar's drop-down menus: one per group, the more button's two
// (the groups a short bar cuts off) and the compact web button's.
const MenuItem kMaximize{"&Maximize window to show all buttons", 32814, 0, {}};
const qlafx::MenuTable kFunctionBarMenus[] = {
    {132, {kTransform}},
    {173, {kExposure}},
    {218, {kEnhancement}},
    {220, {kFrame}},
    {221, {{"_COLOR_", 0, 0, kColor.items}}},
    {223, {{"_MORE_", 0, 0, {kEnhancement, kFrame, kSeparator, kMaximize}}}},
    {224, {{"_MORE_", 0, 0, {kFrame, kSeparator, kMaximize}}}},
    {395,
     {{"_EXTERN_",
       0,
       0,
       {{"QL Community", 32861, 0, {}},
        {"Free sign up!", 32860, 0, {}},
        kSeparator,
        {"What's New", 32871, 0, {}},
        {"Check &Updates...", 32857, 0, {}},
        {"Report &Bug", 32868, 0, {}},
        {"&Home Page", 32880, 0, {}}}}}},
};
const qlafx::ResourceTable kFunctionBarTable{.menus = kFunctionBarMenus};
qlafx::ResourceRegistrar kRegisterFunctionBar(kFunctionBarTable);

}  // namespace
