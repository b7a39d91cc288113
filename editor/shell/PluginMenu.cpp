#include "editor/shell/PhotoDocument.h"

#include "editor/shell/PluginHost.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/BitmapMenu.h"

#include <vector>

namespace {

constexpr UINT kManagePluginsText = 123;

// The menus live as long as the program: held here, never freed.
CBitmapMenu* NewMenu()
{
    static auto* held = new std::vector<CBitmapMenu*>;
    held->push_back(new CBitmapMenu);
    held->back()->CreatePopupMenu();
    return held->back();
}

// The folder's effects by name, then a pop-up per sub-folder.
void FillPluginMenu(CBitmapMenu& menu, const PluginFolder& folder)
{
    for (size_t i = 0; i < folder.modules.size(); ++i)
        menu.AppendItem(MF_STRING, static_cast<UINT_PTR>(folder.keys[i] + 1), folder.modules[i]->record->name);
    for (const auto& child : folder.children) {
        CBitmapMenu* sub = NewMenu();
        FillPluginMenu(*sub, *child);
        menu.AppendItem(MF_POPUP, reinterpret_cast<UINT_PTR>(sub->m_hMenu), child->LastComponent().c_str());
    }
}

CBitmapMenu* MakePluginMenu()
{
    CBitmapMenu* menu = NewMenu();
    menu->AppendItem(MF_STRING, kManagePluginsCmd, theUITextTable.GetText(kManagePluginsText));
    FillPluginMenu(*menu, thePluginTable.root);
    return menu;
}

} // namespace

int PluginMenu::Build()
{
    if (m_built)
        return 1;
    m_popup = MakePluginMenu();
    m_embedded = MakePluginMenu();
    m_built = 1;
    return 1;
}
