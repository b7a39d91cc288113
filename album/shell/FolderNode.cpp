#include "album/shell/FolderNode.h"

#include "album/shell/PhotoEntry.h"
#include "platform/win/FileFind.h"
#include "platform/win/FileOps.h"
#include "platform/win/FileReplace.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace shelf {
namespace {

bool isDotName(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

std::string withoutSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool isSymlink(const std::string& path)
{
    struct stat st {};
    return ::lstat(withoutSlash(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Every name of folder (without "." and ".."), with what FindFirstFile reports.
std::vector<WIN32_FIND_DATA> listFolder(const std::string& folder, bool* listed = nullptr)
{
    std::vector<WIN32_FIND_DATA> items;
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((folder + "*.*").c_str(), &data);
    if (listed)
        *listed = find != INVALID_HANDLE_VALUE;
    if (find == INVALID_HANDLE_VALUE)
        return items;
    do {
        if (!isDotName(data.cFileName))
            items.push_back(data);
    } while (FindNextFile(find, &data));
    FindClose(find);
    return items;
}

} // namespace

std::string FolderNode::GetPath() const
{
    std::string path = m_pParent ? m_pParent->GetPath() + m_name : m_name;
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

FolderNode* FolderNode::FindChild(const char* label) const
{
    if (!label)
        return nullptr;
    for (const auto& child : m_children)
        if (strcasecmp(child->m_label.c_str(), label) == 0)
            return child.get();
    return nullptr;
}

int FolderNode::ScanSubfolders(const std::string& path, int depth)
{
    if (depth == 0)
        return 1;
    if (!m_pParent)
        m_name = path;
    for (const auto& item : listFolder(path)) {
        if (!(item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        auto child = std::make_unique<FolderNode>(this, item.cFileName);
        if (!child->ScanSubfolders(path + item.cFileName + "/", depth - 1))
            return 0;
        m_children.push_back(std::move(child));
    }
    return 1;
}

int FolderNode::RefreshChildren()
{
    m_children.clear();
    const int result = ScanSubfolders(GetPath(), 2);
    std::stable_sort(m_children.begin(), m_children.end(), [](const auto& a, const auto& b) {
        return strcasecmp(a->m_label.c_str(), b->m_label.c_str()) < 0;
    });
    return result;
}

FolderNode* FolderNode::CreateSubfolder(const char* name)
{
    if (!name || !*name || std::strchr(name, '/'))
        return nullptr;
    if (!CreateDirectory((GetPath() + name).c_str(), nullptr))
        return nullptr;
    m_children.push_back(std::make_unique<FolderNode>(this, name));
    return m_children.back().get();
}

int FolderNode::DeleteFolder()
{
    const std::string path = GetPath();
    while (!m_children.empty()) {
        FolderNode* child = m_children.front().get();
        const std::string childPath = child->GetPath();
        if (isSymlink(childPath)) {
            if (::unlink(withoutSlash(childPath).c_str()) != 0)
                return 0;
        } else if (!child->DeleteFolder()) {
            return 0;
        }
        m_children.erase(m_children.begin());
    }
    bool listed = false;
    const auto items = listFolder(path, &listed);
    if (!listed && ::access(path.c_str(), F_OK) != 0)
        return 0;
    for (const auto& item : items) {
        const std::string itemPath = path + item.cFileName;
        if (isSymlink(itemPath)) {
            if (::unlink(itemPath.c_str()) != 0)
                return 0;
        } else if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Deeper than the tree was scanned: no node stands for it yet.
            FolderNode unscanned(this, item.cFileName);
            if (!unscanned.DeleteFolder())
                return 0;
        } else if (!DeleteFile(itemPath.c_str())) {
            return 0;
        }
    }
    DeleteFile((path + kPropertyFileName).c_str());
    return RemoveDirectory(withoutSlash(path).c_str()) ? 1 : 0;
}

int FolderNode::IsAncestorOf(const std::string& path) const
{
    const std::string own = GetPath();
    return own.size() < path.size() && path.compare(0, own.size(), own) == 0 ? 1 : 0;
}

int FolderNode::ForEach(void* arg, int (*fn)(FolderNode* node, void* arg))
{
    if (!fn(this, arg))
        return 0;
    for (const auto& child : m_children)
        if (!child->ForEach(arg, fn))
            return 0;
    return 1;
}

std::unique_ptr<FolderNode> FolderNode::Detach()
{
    m_children.clear();
    std::unique_ptr<FolderNode> self;
    if (m_pParent) {
        auto& siblings = m_pParent->m_children;
        const auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; });
        if (it != siblings.end()) {
            self = std::move(*it);
            siblings.erase(it);
        }
        m_pParent = nullptr;
    }
    return self;
}

void FolderNode::ClearTreeItems()
{
    m_hItem = nullptr;
    for (const auto& child : m_children)
        child->ClearTreeItems();
}

void Project::Create(const std::string& rootPath, const std::string& name)
{
    m_root.DeleteChildren();
    m_root.m_name = rootPath;
    m_root.m_label = name;
    m_root.ScanSubfolders(rootPath, 1);
}

int Project::Load(const std::string& fileName)
{
    FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file)
        return 0;
    char path[kPathField + 1] = {};
    char name[kMaxNameLength + 1] = {};
    const bool read = std::fread(path, 1, kPathField, file) == kPathField &&
                      std::fread(name, 1, kMaxNameLength, file) == kMaxNameLength;
    std::fclose(file);
    // A project without a root would scan the working folder.
    if (!read || !path[0])
        return 0;
    m_root.DeleteChildren();
    m_root.m_hItem = nullptr;
    m_root.m_label = name;
    m_bLoaded = 1;
    return m_root.ScanSubfolders(path, 1);
}

int Project::Save(const std::string& fileName) const
{
    const std::string& root = m_root.m_name;
    if (root.empty() || root.size() >= kPathField)
        return 0;
    std::string bytes(kFileSize, '\0');
    std::memcpy(bytes.data(), root.data(), root.size());
    std::memcpy(bytes.data() + kPathField, m_root.m_label.data(), std::min<std::size_t>(m_root.m_label.size(), kNameField - 1));
    return qlwin::ReplaceFileContents(fileName, bytes) ? 1 : 0;
}

namespace {

// Files numbered at or beyond the saved count would come back as soon as the
// count grew again.
void removeProjectFilesFrom(const std::string& folderSet, int count)
{
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folderSet, error)) {
        const std::string name = item.path().filename().string();
        const std::string digits = name.size() > 11 ? name.substr(7, name.size() - 11) : std::string();
        if (name.rfind("Project", 0) == 0 && name.ends_with(".set") && !digits.empty() && digits.size() < 9 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
            std::stoi(digits) >= count)
            std::filesystem::remove(item.path(), error);
    }
}

} // namespace

int LoadProjectList(const std::string& folderSet, int number, ProjectList& projects)
{
    int loaded = 0;
    for (int n = 0; n < number; ++n) {
        auto project = std::make_unique<Project>();
        if (project->Load(folderSet + "Project" + std::to_string(n) + ".set")) {
            projects.push_back(std::move(project));
            ++loaded;
        }
    }
    return loaded;
}

int SaveProjectList(const std::string& folderSet, const ProjectList& projects)
{
    int saved = 0;
    for (const auto& project : projects)
        if (project->m_bLoaded && project->Save(folderSet + "Project" + std::to_string(saved) + ".set"))
            ++saved;
    removeProjectFilesFrom(folderSet, saved);
    return saved;
}

} // namespace shelf
