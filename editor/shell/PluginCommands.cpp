// The frame's plug-in commands: the manager and the effects of the table.
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PluginHost.h"
#include "editor/shell/PluginManagerDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/BitmapMenu.h"
#include "editor/ui/EffectDlg.h"
#include "platform/codec/QLImageCodec.h"

#include <string>

BOOL CMainFrame::IsPluginCommand(UINT id)
{
    return id >= kManagePluginsCmd &&
           id <= static_cast<UINT>(kFirstPluginKey + 1 + CountPlugins(thePluginTable.root));
}

void CMainFrame::RunPluginCommand(UINT id)
{
    if (id == kManagePluginsCmd) {
        RunPluginManager(this);
        return;
    }
    PluginModule* plugin = FindPluginByKey(thePluginTable.root, static_cast<int>(id) - 1);
    // The last id of the range has no plug-in; an effect needs a photo and
    // the algorithm thread free.
    if (!plugin || !plugin->record || !thePhotoDocument.IsLoaded() || IsEditing())
        return;
    EffectRecord& record = *plugin->record;
    if (record.ownUI) {
        RunOwnUIPlugin(record);
        return;
    }
    CEffectDlg dialog(this);
    dialog.record = &record;
    dialog.DoModal();
}

int CMainFrame::RunOwnUIPlugin(EffectRecord& record)
{
    if (!record.runOwnUI)
        return 0;
    CQLImage result;
    CQLImageCodec codec;
    record.codec = &codec;
    const int answer = record.runOwnUI(&thePhotoDocument.m_image, &result);
    record.codec = nullptr;
    if (!answer || result.GetAreaByteSize() == 0)
        return 0;
    // Copied aside first: a failed copy must leave the photo as it was.
    CQLImage replaced;
    if (!replaced.DuplicateFrom(&result))
        return 0;
    std::swap(thePhotoDocument.m_image, replaced);
    const std::string name(record.name, strnlen(record.name, sizeof record.name));
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, name.c_str());
    m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    return 1;
}

void CMainFrame::InsertPluginMenu()
{
    constexpr UINT kColorThemeCmd = 32839;
    constexpr UINT kPluginsText = 117;
    PluginMenu& plugins = thePhotoDocument.m_pluginMenu;
    plugins.Build();
    if (plugins.m_embedded && plugins.m_embedded->m_hMenu)
        m_menuImage.InsertItem(kColorThemeCmd, MF_BYCOMMAND | MF_POPUP,
                               reinterpret_cast<UINT_PTR>(plugins.m_embedded->m_hMenu),
                               theUITextTable.GetText(kPluginsText));
}
