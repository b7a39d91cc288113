#include "editor/retouch/FrameList.h"

std::vector<FrameListItem> ListCategory(const FrameCategory& category)
{
    std::vector<FrameListItem> items;
    for (FrameCategory* child : category.m_children)
        items.push_back({category.IsUpEntry(child) ? FrameItemKind::Up : FrameItemKind::Folder, child, nullptr});
    for (FrameTemplate* frame : category.m_templates)
        items.push_back({FrameItemKind::Template, nullptr, frame});
    return items;
}

namespace {

std::string FolderText(const FrameCategory& child)
{
    const std::string& path = child.m_relativePath;
    return path.empty() ? path : path.substr(1);
}

} // namespace

std::string GridText(const FrameListItem& item)
{
    switch (item.kind) {
    case FrameItemKind::Up:
        return "..";
    case FrameItemKind::Folder:
        return FolderText(*item.category);
    case FrameItemKind::Template:
        break;
    }
    return item.frame->m_info.name;
}

std::string ListText(const FrameListItem& item)
{
    if (item.kind == FrameItemKind::Template)
        return item.frame->m_info.name;
    return "[" + GridText(item) + "]";
}

TemplateListButtons ButtonsFor(const FrameListItem* selected, const FrameCategory& category)
{
    const bool isTemplate = selected && selected->kind == FrameItemKind::Template;
    const bool isFolder = selected && selected->kind == FrameItemKind::Folder;
    return {isTemplate, isTemplate, isTemplate, isTemplate && !category.m_children.empty(), isFolder};
}

std::vector<std::string> MoveTargets(const FrameCategory& category)
{
    std::vector<std::string> texts;
    for (const FrameListItem& item : ListCategory(category))
        if (item.kind != FrameItemKind::Template)
            texts.push_back(GridText(item));
    return texts;
}
