// The album frame's commands: id, menu text and the rule that enables each
// one from what the panes report.
#pragma once

#include "platform/win/WinTypes.h"

#include <span>

namespace shelf {

// What the update rules look at; the panes fill it.
struct CommandState {
    bool selected = false;       // at least one item selected in the photo list
    bool photoShown = false;     // the EXIF bar holds a current photo
    bool shownIsJpeg = false;    // that photo is a JPEG
    bool shownHasExif = false;   // its entry has thumbnail pixels and an EXIF value
    bool timeline = false;       // the folder pane shows its Timeline
    bool folderOpen = false;     // the scanner has a current folder
    bool folderHasParent = false;
    bool folderHasPhotos = false; // at least one photo entry
    bool allComplete = false;    // every entry of the open folder is complete
    bool clipboardFiles = false;
    bool canGoBack = false;
    bool canGoForward = false;
};

enum class UpdateRule {
    Always,
    FolderWithParent,            // Rename and Delete Folder
    FolderNotTimeline,           // Import, Export HTML, EXIF Statistics
    SelectedShownNotTimeline,    // Typeset before print
    SelectedShown,               // Compact Typeset, Print, Edit, Rename, View, wallpaper
    SelectedJpeg,                // lossless turns, EXIF and tag editing
    FolderHasPhotos,             // Automatically rotate all, Slideshow
    Selected,                    // Delete, Copy, Cut, Refresh Thumbnail
    ClipboardNotTimeline,        // Paste
    AllComplete,                 // Sort by
    CanGoBack,
    CanGoForward,
    SelectedJpegWithExif,        // Export EXIF data
    FolderOpen,                  // Delete Album
};

struct ShelfCommand {
    UINT id;
    const char* menuText; // the pop-up's text, '/', the item's ("\t" before the accelerator)
    UpdateRule rule;
};

std::span<const ShelfCommand> ShelfCommands();
const ShelfCommand* FindShelfCommand(UINT id);
bool IsEnabled(UpdateRule rule, const CommandState& state);

} // namespace shelf
