// Menu 139, the main image view's context menu. Its order matters to the
// -i mode, which trims it to the zoom and edit items by removing positions 7
// (Save) and then 10 (Open) and the commands Next and Prev. Photo: no
// separator is left doubled or at an end.
#include "platform/afx/ResourceTables.h"

namespace {

using qlafx::MenuItem;

const MenuItem kSeparator{nullptr, 0, MF_SEPARATOR, {}};

const qlafx::MenuTable kMenus[] = {
    {139,
     {{"_IMAGE_",
       0,
       0,
       {{"Zoom &In\tAlt+=", 32776, 0, {}},
        {"Zoom &Out\tAlt+-", 32777, 0, {}},
        {"Best &Fit\tAlt+F", 32778, 0, {}},
        {"&Actual Size\tAlt+A", 32779, 0, {}},
        kSeparator,
        {"High Quality", 32780, 0, {}},
        kSeparator,
        {"&Save ...\tCtrl+S", 57603, 0, {}},
        {"&Copy\tCtrl+C", 57634, 0, {}},
        {"&Paste\tCtrl+V", 57637, 0, {}},
        kSeparator,
        {"&Open File ...\tCtrl+O", 57601, 0, {}},
        {"Next Photo \tPgDown", 32881, 0, {}},
        {"Prev. Photo \tPgUp", 32882, 0, {}},
        {"Image &Properties", 32784, 0, {}}}}}},
};

const qlafx::ResourceTable kTable{.menus = kMenus};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
