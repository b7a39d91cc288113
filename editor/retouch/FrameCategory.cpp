#include "editor/retouch/FrameCategory.h"

#include "platform/win/FileOps.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool EndsWithFrm(const std::string& name)
{
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".frm") == 0;
}

}  // namespace

FrameCategory::FrameCategory(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

FrameCategory::FrameCategory(std::string programFolder, std::string relativePath, FrameCategory* parent)
    : m_programFolder(std::move(programFolder)), m_relativePath(std::move(relativePath)), m_parent(parent)
{
}

FrameCategory::~FrameCategory()
{
    Clear();
}

std::string FrameCategory::Folder() const
{
    return m_programFolder + "Frame" + m_relativePath + "/";
}

void FrameCategory::Scan()
{
    const std::string folder = Folder();
    std::vector<std::string> folders, files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // Links to folders are not followed, so a loop cannot recurse.
        if (it->symlink_status(ec).type() == fs::file_type::directory) {
            if (name[0] != '.')
                folders.push_back(name);
        } else if (EndsWithFrm(name) && it->is_regular_file(ec)) {
            files.push_back(name);
        }
    }
    // The listing has no order of its own here; folders go by name.
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    if (m_parent)
        m_children.push_back(m_parent);
    for (const std::string& name : folders) {
        auto* child = new FrameCategory(m_programFolder, m_relativePath + "/" + name, this);
        child->Scan();
        m_children.push_back(child);
    }
    for (const std::string& name : files) {
        auto* frame = new FrameTemplate;
        if (frame->Read((folder + name).c_str()))
            m_templates.push_back(frame);
        else
            delete frame;
    }
    SortTemplates();
}

void FrameCategory::Clear()
{
    for (FrameCategory* child : m_children)
        if (child != m_parent)
            delete child;
    m_children.clear();
    for (FrameTemplate* frame : m_templates)
        delete frame;
    m_templates.clear();
}

int FrameCategory::Save(FrameTemplate* frame) const
{
    if (frame->m_path.empty())
        return frame->Write((Folder() + frame->m_info.name + ".frm").c_str());
    return frame->Write(frame->m_path.c_str());
}

int FrameCategory::HasChild(const char* text) const
{
    if (text[0] && text[1] == '.')
        return 1;
    return FindChild(text) != nullptr;
}

FrameCategory* FrameCategory::FindChild(const char* text) const
{
    if (text[0] && text[1] == '.')
        return m_parent;
    for (FrameCategory* child : m_children)
        if (child != m_parent && strcasecmp(child->m_relativePath.c_str(), text) == 0)
            return child;
    return nullptr;
}

void FrameCategory::SortTemplates()
{
    std::sort(m_templates.begin(), m_templates.end(), [](const FrameTemplate* a, const FrameTemplate* b) {
        return std::strcmp(a->m_info.name, b->m_info.name) < 0;
    });
}

int AddTemplate(FrameCategory& category, FrameTemplate* frame)
{
    category.m_templates.push_back(frame);
    return category.Save(frame);
}

int ChangeTemplate(FrameCategory& category, FrameTemplate& frame, const FrameTemplate& edited)
{
    // Editing never renames.
    char name[sizeof frame.m_info.name];
    std::memcpy(name, frame.m_info.name, sizeof name);
    frame.CopyFrom(edited);
    std::memcpy(frame.m_info.name, name, sizeof name);
    return category.Save(&frame);
}

int DeleteTemplate(FrameCategory& category, FrameTemplate* frame)
{
    if (!frame->Delete())
        return 0;
    auto& list = category.m_templates;
    list.erase(std::remove(list.begin(), list.end(), frame), list.end());
    delete frame;
    return 1;
}

int RenameTemplate(FrameTemplate& frame, const char* newName)
{
    return frame.Rename(newName);
}

int MoveTemplate(FrameCategory& category, FrameTemplate* frame, const FrameCategory& target)
{
    const fs::path from = frame->m_path;
    const std::string to = target.Folder() + from.stem().string() + ".frm";
    if (!MoveFile(frame->m_path.c_str(), to.c_str()))
        return 0;
    category.Clear();
    category.Scan();
    return 1;
}

int NewSubFolder(FrameCategory& category, const char* name)
{
    if (!CreateDirectory((category.Folder() + name).c_str(), nullptr))
        return 0;
    category.Clear();
    category.Scan();
    return 1;
}

int DeleteSubFolder(FrameCategory& category, FrameCategory* child)
{
    if (!child || category.IsUpEntry(child))
        return 0;
    if (!RemoveDirectory((child->m_programFolder + "Frame" + child->m_relativePath).c_str())) {
        if (GetLastError() == ERROR_DIR_NOT_EMPTY)
            ReportFrameMessage("Can not delete folder, not empty.");
        return 0;
    }
    category.Clear();
    category.Scan();
    return 1;
}
