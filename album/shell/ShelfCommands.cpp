#include "album/shell/ShelfCommands.h"

#include <algorithm>

namespace shelf {
namespace {

using enum UpdateRule;

const ShelfCommand kCommands[] = {
    {32773, "&File/New &Folder ...", Always},
    {32774, "&File/&New Album ...", Always},
    {32778, "&File/&Rename Folder ...", FolderWithParent},
    {32777, "&File/&Delete Folder", FolderWithParent},
    {32779, "&File/&Import photos ...", FolderNotTimeline},
    {32802, "&File/&Search Photo ...", Always},
    {32813, "&File/T&ypeset before print ...", SelectedShownNotTimeline},
    {32822, "&File/Compact Typeset ...", SelectedShown},
    {57607, "&File/&Print ...", SelectedShown},
    {57665, "&File/E&xit", Always},
    {32780, "&Edit/&Edit ...", SelectedShown},
    {32785, "&Edit/Batch Processing ...", Always},
    {32817, "&Edit/Lossless rotate left\tCtrl+L", SelectedJpeg},
    {32818, "&Edit/Lossless rotate right\tCtrl+R", SelectedJpeg},
    {32823, "&Edit/Automatically rotate all", FolderHasPhotos},
    {32782, "&Edit/&Rename ...", SelectedShown},
    {32783, "&Edit/&Delete ...", Selected},
    {57634, "&Edit/&Copy\tCtrl+C", Selected},
    {57635, "&Edit/Cu&t\tCtrl+X", Selected},
    {57637, "&Edit/&Paste\tCtrl+V", ClipboardNotTimeline},
    {32771, "&View/&Folder Tree", Always},
    {32772, "&View/&Image Property", Always},
    {32799, "&View/Sort by/&Name", AllComplete},
    {32800, "&View/Sort by/&Time", AllComplete},
    {32801, "&View/List view/&Thumbnail", Always},
    {59410, "&View/List view/&Detail", Always},
    {32775, "&View/Refresh\tF5", Always},
    {32815, "&View/&Back \tAlt<-", CanGoBack},
    {32816, "&View/F&orward\tAlt->", CanGoForward},
    {32781, "_LIST_ITEM_/&View ...", SelectedShown},
    {32814, "_LIST_ITEM_/Refresh Thumbnail\tF7", Selected},
    {32791, "Tools/&Make screen saver...", Always},
    {32793, "Tools/Set as &wallpaper", SelectedShown},
    {32809, "Tools/Export this folder to HTML files ...", FolderNotTimeline},
    {32794, "Tools/&Slideshow ...", FolderHasPhotos},
    {32810, "Tools/Add/Edit meta data (EXIF) ...", SelectedJpeg},
    {32811, "Tools/Export EXIF data ...", SelectedJpegWithExif},
    {32812, "Tools/Add/Edit &Tags ...", SelectedJpeg},
    {32819, "Tools/EXIF Statistics ...", FolderNotTimeline},
    {32795, "Tools/Settings ...", Always},
    {32796, "_TREE_ITEM_/Delete &Album", FolderOpen},
    {57666, "&Help/&Help Topic ...", Always},
    {32797, "&Help/Send &Mail To Us ...", Always},
    {32820, "&Help/Check &Updates", Always},
    {57664, "&Help/&About QuilloShelf", Always},
};

} // namespace

std::span<const ShelfCommand> ShelfCommands() { return kCommands; }

const ShelfCommand* FindShelfCommand(UINT id)
{
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands), [id](const auto& c) { return c.id == id; });
    return it == std::end(kCommands) ? nullptr : it;
}

bool IsEnabled(UpdateRule rule, const CommandState& s)
{
    switch (rule) {
    case Always: return true;
    case FolderWithParent: return s.folderOpen && s.folderHasParent;
    case FolderNotTimeline: return s.folderOpen && !s.timeline;
    case SelectedShownNotTimeline: return s.selected && s.photoShown && !s.timeline;
    case SelectedShown: return s.selected && s.photoShown;
    case SelectedJpeg: return s.selected && s.photoShown && s.shownIsJpeg;
    case FolderHasPhotos: return s.folderOpen && s.folderHasPhotos;
    case Selected: return s.selected;
    case ClipboardNotTimeline: return s.clipboardFiles && !s.timeline;
    case AllComplete: return s.allComplete;
    case CanGoBack: return s.canGoBack;
    case CanGoForward: return s.canGoForward;
    case SelectedJpegWithExif: return s.selected && s.photoShown && s.shownIsJpeg && s.shownHasExif;
    case FolderOpen: return s.folderOpen;
    }
    return false;
}

} // namespace shelf
