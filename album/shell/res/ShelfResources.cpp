// QuilloShelf's resources: the title string, the main menu 128 and the menus
// of its panes and command bar, the accelerators, toolbar 128 (the menu
// items' icons, pictures in bitmap 128) and the templates of the About
// dialog, the backdrop and the hint window.
#include "platform/afx/ResourceTables.h"

namespace {

using qlafx::MenuItem;

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
constexpr BYTE kAlt = FVIRTKEY | FALT;
constexpr WORD kLeft = 0x25, kRight = 0x27, kF5 = 0x74, kF7 = 0x76;

const MenuItem kSeparator{nullptr, 0, MF_SEPARATOR, {}};

const qlafx::StringEntry kStrings[] = {
    {128, "QuilloShelf"},
};

const MenuItem kFile{"&File",
                     0,
                     0,
                     {{"New &Folder ...", 32773, 0, {}},
                      {"&New Album ...", 32774, 0, {}},
                      {"&Rename Folder ...", 32778, 0, {}},
                      {"&Delete Folder", 32777, 0, {}},
                      kSeparator,
                      {"&Import photos ...", 32779, 0, {}},
                      {"&Search Photo ...", 32802, 0, {}},
                      kSeparator,
                      {"T&ypeset before print ...", 32813, 0, {}},
                      {"Compact Typeset ...", 32822, 0, {}},
                      {"&Print ...", 57607, 0, {}},
                      kSeparator,
                      {"E&xit", 57665, 0, {}}}};

const MenuItem kEdit{"&Edit",
                     0,
                     0,
                     {{"&Edit ...", 32780, 0, {}},
                      {"Batch Processing ...", 32785, 0, {}},
                      kSeparator,
                      {"Lossless rotate left\tCtrl+L", 32817, 0, {}},
                      {"Lossless rotate right\tCtrl+R", 32818, 0, {}},
                      {"Automatically rotate all", 32823, 0, {}},
                      kSeparator,
                      {"&Rename ...", 32782, 0, {}},
                      {"&Delete ...", 32783, 0, {}},
                      kSeparator,
                      {"&Copy\tCtrl+C", 57634, 0, {}},
                      {"Cu&t\tCtrl+X", 57635, 0, {}},
                      {"&Paste\tCtrl+V", 57637, 0, {}}}};

const MenuItem kSortBy{"Sort by", 0, 0, {{"&Name", 32799, 0, {}}, {"&Time", 32800, 0, {}}}};
const MenuItem kListView{"List view", 0, 0, {{"&Thumbnail", 32801, 0, {}}, {"&Detail", 59410, 0, {}}}};

const MenuItem kView{"&View",
                     0,
                     0,
                     {{"&Folder Tree", 32771, 0, {}},
                      {"&Image Property", 32772, 0, {}},
                      kSeparator,
                      kSortBy,
                      kListView,
                      kSeparator,
                      {"Refresh\tF5", 32775, 0, {}},
                      kSeparator,
                      {"&Back \tAlt<-", 32815, 0, {}},
                      {"F&orward\tAlt->", 32816, 0, {}}}};

const MenuItem kTools{"Tools",
                      0,
                      0,
                      {{"&Make screen saver...", 32791, 0, {}},
                       {"Set as &wallpaper", 32793, 0, {}},
                       {"Export this folder to HTML files ...", 32809, 0, {}},
                       {"&Slideshow ...", 32794, 0, {}},
                       kSeparator,
                       {"Add/Edit meta data (EXIF) ...", 32810, 0, {}},
                       {"Export EXIF data ...", 32811, 0, {}},
                       {"Add/Edit &Tags ...", 32812, 0, {}},
                       {"EXIF Statistics ...", 32819, 0, {}},
                       kSeparator,
                       {"Settings ...", 32795, 0, {}}}};

const MenuItem kHelp{"&Help",
                     0,
                     0,
                     {{"&Help Topic ...", 57666, 0, {}},
                      {"Send &Mail To Us ...", 32797, 0, {}},
                      {"Check &Updates", 32820, 0, {}},
                      kSeparator,
                      {"&About QuilloShelf", 57664, 0, {}}}};

const MenuItem kTreeItem{"_TREE_ITEM_",
                         0,
                         0,
                         {{"&New Folder ...", 32773, 0, {}},
                          {"&Rename ...", 32778, 0, {}},
                          {"&Delete Folder", 32777, 0, {}},
                          {"Export this folder to HTML files ...", 32809, 0, {}},
                          kSeparator,
                          {"&Import Photos ...", 32779, 0, {}},
                          kSeparator,
                          {"Delete &Album", 32796, 0, {}}}};

const MenuItem kListItem{"_LIST_ITEM_",
                         0,
                         0,
                         {{"&View ...", 32781, 0, {}},
                          {"&Edit ...", 32780, 0, {}},
                          {"&Batch Processing ...", 32785, 0, {}},
                          {"Lossless rotate left\tCtrl+L", 32817, 0, {}},
                          {"Lossless rotate right\tCtrl+R", 32818, 0, {}},
                          {"Automatically rotate all", 32823, 0, {}},
                          kSeparator,
                          {"T&ypeset before print ...", 32813, 0, {}},
                          {"Compact Typeset ...", 32822, 0, {}},
                          {"&Print ...", 57607, 0, {}},
                          kSeparator,
                          {"&Rename ...", 32782, 0, {}},
                          {"&Delete ...", 32783, 0, {}},
                          kSeparator,
                          {"&Copy ", 57634, 0, {}},
                          {"C&ut", 57635, 0, {}},
                          {"Pa&ste", 57637, 0, {}},
                          kSeparator,
                          {"&Make screen saver", 32791, 0, {}},
                          {"Set as &wallpaper", 32793, 0, {}},
                          {"Export this folder to HTML files ...", 32809, 0, {}},
                          kSeparator,
                          kSortBy,
                          kListView,
                          {"Refresh\tF5", 32775, 0, {}},
                          {"Refresh Thumbnail\tF7", 32814, 0, {}},
                          kSeparator,
                          {"Add/Edit meta data (EXIF) ...", 32810, 0, {}},
                          {"Export EXIF data ...", 32811, 0, {}},
                          {"Add/Edit &Tags ...", 32812, 0, {}},
                          kSeparator,
                          {"&Import Photo ...", 32779, 0, {}},
                          {"&New Folder ...", 32773, 0, {}}}};

const qlafx::MenuTable kMenus[] = {
    {128, {kFile, kEdit, kView, kTools, kHelp}},
    {147, {kTreeItem}},
    {148, {kListItem}},
    {194, {{"Sort by", 0, 0, {{"&Name", 32799, 0, {}}, {"&Time", 32800, 0, {}}}}}},
    {196, {{"List view", 0, 0, {{"&Thumbnail", 32801, 0, {}}, {"&Detail", 59410, 0, {}}}}}},
};

const qlafx::AcceleratorTable kAccelerators[] = {
    {128,
     {{kCtrl, 'L', 32817},
      {kCtrl, 'R', 32818},
      {kCtrl, 'C', 57634},
      {kCtrl, 'X', 57635},
      {kCtrl, 'V', 57637},
      {FVIRTKEY, kF5, 32775},
      {FVIRTKEY, kF7, 32814},
      {kAlt, kLeft, 32815},
      {kAlt, kRight, 32816}}},
};

// The menu items' icons, in the order of bitmap 128's pictures.
const qlafx::ToolbarTable kToolbars[] = {
    {128, 24, 23, {32773, 32779, 57607, 57665, 32780, 32785, 32817, 32818, 32783, 57634, 57637, 32815, 32816, 32812,
                   32810, 32794, 57666, 32795, 57664}},
};

// The About dialog sizes itself to its picture; the backdrop and the hint
// are bare pop-ups.
const qlafx::DialogTemplate kDialogs[] = {
    {100, WS_POPUP | DS_CENTER, WS_EX_TOOLWINDOW, 0, 0, 214, 200, nullptr, nullptr, 0, {}},
    {218, WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 100, 100, nullptr, nullptr, 0, {}},
    {229, WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 100, 14, nullptr, nullptr, 0, {}},
};

const qlafx::ResourceTable kTable{
    .strings = kStrings, .dialogs = kDialogs, .menus = kMenus, .toolbars = kToolbars, .accelerators = kAccelerators};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
