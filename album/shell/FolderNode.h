// The album's folder tree: projects and drives, each a tree of folders.
// Paths use '/' and folder paths end in one.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct QlTreeItem; // the navigation tree's item handle (HTREEITEM)

namespace shelf {

class FolderNode {
public:
    FolderNode() = default;
    FolderNode(FolderNode* parent, const std::string& name) : m_pParent(parent), m_name(name), m_label(name) {}
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    // The parent's path followed by the name, with a trailing '/'.
    std::string GetPath() const;
    // First child whose label equals the text, case-blind; null when none.
    FolderNode* FindChild(const char* label) const;
    // Adds a child for every directory of path (not "." and ".."), depth
    // levels deep; a root takes path as its name first. 0 when a deeper
    // level fails; 1 otherwise, also when path cannot be listed.
    int ScanSubfolders(const std::string& path, int depth);
    // The children again from disk, two levels deep, sorted by label.
    int RefreshChildren();
    // Makes the directory and appends its child (unsorted); null on failure.
    FolderNode* CreateSubfolder(const char* name);
    // Deletes the folder with everything in it; symbolic links are removed
    // themselves, never followed. 1 on success.
    int DeleteFolder();
    // The node's path is shorter than path and a prefix of it (case counts:
    // these are file identities).
    int IsAncestorOf(const std::string& path) const;
    // fn on this node, then depth first on every descendant; 0 at the first
    // call that returns 0, else 1.
    int ForEach(void* arg, int (*fn)(FolderNode* node, void* arg));
    // Out of the parent's children; the node's own children are deleted.
    // The caller owns the node afterwards.
    std::unique_ptr<FolderNode> Detach();
    void ClearTreeItems();
    void DeleteChildren() { m_children.clear(); }

    FolderNode* m_pParent = nullptr;
    std::string m_name;   // a root: the full folder path with '/'; else the directory's name
    std::string m_label;  // the tree's text: the name, or a project's name for its root
    std::vector<std::unique_ptr<FolderNode>> m_children;
    QlTreeItem* m_hItem = nullptr;
    int m_nListPos = 0;   // the photo list's first visible item when last left
};

// One album project: its root folder and whether it is the user's (only
// those are saved). The file "Project%d.set" holds the root path (512
// bytes) and the name (128 bytes), zero-padded.
class Project {
public:
    static constexpr int kFileSize = 640;
    static constexpr int kPathField = 512;
    static constexpr int kNameField = 128;
    static constexpr int kMaxNameLength = 32;

    virtual ~Project() = default;

    void Create(const std::string& rootPath, const std::string& name);
    // 0 when the file cannot be opened or is short (nothing changed then),
    // or holds no root path; else the scan's result.
    int Load(const std::string& fileName);
    // 0 when the root path is empty or longer than its field, or the file
    // cannot be written.
    int Save(const std::string& fileName) const;

    FolderNode m_root;
    int m_bLoaded = 0;
};

using ProjectList = std::vector<std::unique_ptr<Project>>;

// Files "Project0.set" .. "Project<number-1>.set" of the folder; those that
// load are appended. Returns how many.
int LoadProjectList(const std::string& folderSet, int number, ProjectList& projects);
// The loaded projects as files 0, 1, ... in list order; returns their count
// (the value to store as "Number").
int SaveProjectList(const std::string& folderSet, const ProjectList& projects);

} // namespace shelf
