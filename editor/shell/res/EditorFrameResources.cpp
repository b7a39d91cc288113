// The main frame's resources: its title string, accelerators 128, toolbar
// 140 (pictures in bitmaps 143 to 145) and the splash template 100.
#include "platform/afx/ResourceTables.h"

namespace {

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
constexpr BYTE kAlt = FVIRTKEY | FALT;
constexpr WORD kPageUp = 0x21, kPageDown = 0x22, kPlus = 0xBB, kMinus = 0xBD;

const qlafx::StringEntry kStrings[] = {
    {128, "Quillo Editor"},
};

const qlafx::AcceleratorTable kAccelerators[] = {
    {128,
     {{kCtrl, 'O', 57601},
      {kCtrl, 'S', 57603},
      {kCtrl, 'W', 57602},
      {FVIRTKEY, kPageDown, 32881},
      {FVIRTKEY, kPageUp, 32882},
      {kCtrl, 'C', 57634},
      {kCtrl, 'V', 57637},
      {kCtrl, 'Z', 57643},
      {kCtrl, 'Y', 57644},
      {kCtrl, 'T', 32810},
      {kCtrl, 'I', 32811},
      {kCtrl, 'H', 32798},
      {kCtrl, 'F', 32884},
      {kCtrl, 'R', 32805},
      {kCtrl, 'N', 32799},
      {kCtrl, 'B', 32869},
      {kCtrl, 'E', 32839},
      {kAlt, kPlus, 32776},
      {kAlt, kMinus, 32777},
      {kAlt, 'F', 32778},
      {kAlt, 'A', 32779}}},
};

// Open, Save, Image Properties | By problem | Add text, Add image |
// Paint Mode, Multi Shoot Tools | Effect Gallery.
const qlafx::ToolbarTable kToolbars[] = {
    {140, 40, 40, {57601, 57603, 32784, 0, 32816, 0, 32827, 32828, 0, 32850, 32875, 0, 32895}},
};

// The splash sizes itself to its picture; the backdrop to the main window,
// taking no input.
const qlafx::DialogTemplate kDialogs[] = {
    {100, WS_POPUP | DS_CENTER, WS_EX_TOOLWINDOW, 0, 0, 214, 200, nullptr, nullptr, 0, {}},
    {399, WS_POPUP | WS_DISABLED, WS_EX_TOOLWINDOW, 0, 0, 100, 100, nullptr, nullptr, 0, {}},
};

const qlafx::ResourceTable kTable{
    .strings = kStrings, .dialogs = kDialogs, .toolbars = kToolbars, .accelerators = kAccelerators};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
