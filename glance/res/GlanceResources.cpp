// QuilloGlance's resources: the viewer's dialog template 102 (no controls;
// the window makes its own).
#include "platform/afx/ResourceTables.h"

namespace {

const qlafx::DialogTemplate kDialogs[] = {
    {102, WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_CENTER, WS_EX_APPWINDOW,
     0, 0, 480, 320, nullptr, nullptr, 0, {}},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
