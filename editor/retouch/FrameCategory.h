// The template library: the folder tree "Frame" under the program folder,
// one category per folder, and the changes the template list makes to it.
#pragma once

#include "editor/retouch/FrameTemplate.h"

#include <string>
#include <vector>

class FrameCategory {
public:
    // The library root of this program folder (ends with '/').
    explicit FrameCategory(std::string programFolder);
    FrameCategory(const FrameCategory&) = delete;
    FrameCategory& operator=(const FrameCategory&) = delete;
    ~FrameCategory();

    // Fills the category from disk, depth first; templates sorted by name.
    void Scan();
    // Deletes the sub-folders and templates it owns; the up entry is dropped.
    void Clear();
    // Writes a template that has a file to that file, a new one to
    // "<folder>/<name>.frm"; Write's result.
    int Save(FrameTemplate* frame) const;
    // text is a list entry as a relative path ("/Name"); an up entry ("/..")
    // counts as present.
    int HasChild(const char* text) const;
    FrameCategory* FindChild(const char* text) const;
    void SortTemplates();

    // The category's folder on disk, with a trailing '/'.
    std::string Folder() const;
    bool IsUpEntry(const FrameCategory* child) const { return child == m_parent; }

    std::string m_programFolder;
    std::string m_relativePath; // "" for the root, else "/A/B"
    FrameCategory* m_parent = nullptr;
    std::vector<FrameCategory*> m_children; // sub-folders, and the parent as the up entry
    std::vector<FrameTemplate*> m_templates;

private:
    FrameCategory(std::string programFolder, std::string relativePath, FrameCategory* parent);
};

// The template list's changes to the current category. Each returns nonzero
// on success; nothing on disk is lost when one fails.
int AddTemplate(FrameCategory& category, FrameTemplate* frame);                       // takes ownership
int ChangeTemplate(FrameCategory& category, FrameTemplate& frame, const FrameTemplate& edited);
int DeleteTemplate(FrameCategory& category, FrameTemplate* frame);                    // deletes it when its file went
int RenameTemplate(FrameTemplate& frame, const char* newName);
// Moves the template's file into target (a child or the up entry) without
// replacing a file there, then rescans the category.
int MoveTemplate(FrameCategory& category, FrameTemplate* frame, const FrameCategory& target);
int NewSubFolder(FrameCategory& category, const char* name);
// Refused for the up entry; a folder that is not empty is reported.
int DeleteSubFolder(FrameCategory& category, FrameCategory* child);
