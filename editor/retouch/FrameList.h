// What the frame dialogs list for one category: its child entries (the up
// entry first where there is one) and then its templates, each with its
// kind kept beside it, so that a template named ".x" or like a sub-folder
// is never taken for a folder.
#pragma once

#include "editor/retouch/FrameCategory.h"

#include <string>
#include <vector>

enum class FrameItemKind { Folder, Up, Template };

struct FrameListItem {
    FrameItemKind kind = FrameItemKind::Template;
    FrameCategory* category = nullptr; // Folder and Up
    FrameTemplate* frame = nullptr;    // Template
};

// Children in the category's order, then templates in its order.
std::vector<FrameListItem> ListCategory(const FrameCategory& category);
// The grid's caption: ".." for the up entry, the relative path without its
// leading separator for a folder, the template's name.
std::string GridText(const FrameListItem& item);
// The template list's text: "[..]", "[Sub]" or the template's name.
std::string ListText(const FrameListItem& item);

// Which buttons of the template list are on for a selection (none when
// selected is null).
struct TemplateListButtons {
    bool edit, rename, deleteTemplate, moveTo, deleteFolder;
};
TemplateListButtons ButtonsFor(const FrameListItem* selected, const FrameCategory& category);

// The "Move to..." pop-up: one text per child entry, in order.
std::vector<std::string> MoveTargets(const FrameCategory& category);
