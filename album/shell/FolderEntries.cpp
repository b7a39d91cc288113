#include "album/shell/FolderEntries.h"

#include "platform/codec/QLImageCodec.h"
#include "platform/win/Timing.h"

#include <algorithm>
#include <cstring>

namespace shelf {
namespace {

constexpr int kMosaicCell = 40;
constexpr DWORD kMosaicGround = 0xFFF0F0F0;

void copyName(char (&to)[256], const char* name)
{
    const std::size_t n = std::min(std::strlen(name), sizeof to - 1);
    std::memcpy(to, name, n);
    to[n] = '\0';
}

// The child of node that stands for the directory name: the same name first
// (names are identities), else the same label without regard to case.
FolderNode* childFor(const FolderNode* node, const char* name)
{
    for (const auto& child : node->m_children)
        if (child->m_name == name)
            return child.get();
    return node->FindChild(name);
}

void pasteAt(CQLImage& target, const CQLImage& cell, int x0, int y0)
{
    UINT w = 0, h = 0;
    cell.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y)
        std::memcpy(target.GetBuffer(x0, y0 + static_cast<int>(y)), cell.GetBuffer(0, static_cast<int>(y)), w * 4);
}

} // namespace

void FolderEntries::FreeEntries()
{
    m_entries.clear();
    m_index.clear();
    ++m_generation;
}

int FolderEntries::LoadPropertyFile()
{
    FreeEntries();
    if (!m_pCurrent)
        return 0;
    return LoadPropertyRecords(m_pCurrent->GetPath() + kPropertyFileName, m_entries);
}

bool FolderEntries::SavePropertyFile(FolderNode* folder)
{
    if (!folder || !SavePropertyRecords(folder->GetPath() + kPropertyFileName, m_entries))
        return false;
    m_bDirty = 0;
    return true;
}

void FolderEntries::Prune()
{
    const auto keep = [](const auto& e) { return e->m_bPresent && e->IsComplete(); };
    if (!std::all_of(m_entries.begin(), m_entries.end(), keep)) {
        std::erase_if(m_entries, [&](const auto& e) { return !keep(e); });
        m_index.clear();
        ++m_generation;
    }
}

bool FolderEntries::SaveAndPrune(FolderNode* folder)
{
    Prune();
    return SavePropertyFile(folder);
}

PhotoEntries FolderEntries::TakePruned()
{
    Prune();
    m_bDirty = 0;
    m_index.clear();
    ++m_generation;
    return std::move(m_entries);
}

void FolderEntries::DeleteAbsent()
{
    if (std::all_of(m_entries.begin(), m_entries.end(), [](const auto& e) { return e->m_bPresent != 0; }))
        return;
    std::erase_if(m_entries, [](const auto& e) { return !e->m_bPresent; });
    m_index.clear();
    ++m_generation;
}

int FolderEntries::IsAllComplete() const
{
    return std::all_of(m_entries.begin(), m_entries.end(), [](const auto& e) { return e->IsComplete() != 0; }) ? 1 : 0;
}

void FolderEntries::RebuildIndex()
{
    m_index.clear();
    m_index.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        m_index.emplace(entry->m_info.szFileName, entry.get()); // the first of equal names wins
}

int FolderEntries::ScanFolder(std::vector<AnalyseJob>& jobs)
{
    if (!m_pCurrent)
        return 0;
    RebuildIndex();
    const std::string folder = m_pCurrent->GetPath();
    int count = 0;
    WIN32_FIND_DATA item;
    HANDLE find = FindFirstFile((folder + "*.*").c_str(), &item);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (item.cFileName[0] == '.')
                continue;
            PhotoEntry* entry = FindOrAddEntry(item);
            if (!entry)
                continue;
            entry->m_pNode = childFor(m_pCurrent, item.cFileName);
            if (!entry->m_pNode) {
                RefreshChildren(m_pCurrent);
                entry->m_pNode = childFor(m_pCurrent, item.cFileName);
            }
            continue;
        }
        const DWORD type = CQLImageCodec::GetFileType(item.cFileName);
        if (type == QL_FILE_UNKNOWN)
            continue;
        if (type == QL_FILE_LINK) {
            CQLLinkFile link;
            if (!link.Read((folder + item.cFileName).c_str()) ||
                CQLImageCodec::GetFileType(link.GetOrgFile()) == QL_FILE_UNKNOWN ||
                !link.GetFileTime(&item.ftCreationTime, &item.ftLastAccessTime, &item.ftLastWriteTime))
                continue;
        }
        PhotoEntry* entry = FindOrAddEntry(item);
        if (!entry)
            continue;
        entry->m_info.nFileSize = static_cast<std::int32_t>(item.nFileSizeLow);
        jobs.push_back({folder + item.cFileName, entry, m_generation, entry->m_info.nThumbState == kThumbFirstPass ? 1 : 0});
        ++count;
        m_bDirty = 1;
    } while (FindNextFile(find, &item));
    FindClose(find);
    return count;
}

PhotoEntry* FolderEntries::FindOrAddEntry(const WIN32_FIND_DATA& item)
{
    const bool directory = item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (const auto found = m_index.find(item.cFileName); found != m_index.end()) {
        PhotoEntry* entry = found->second;
        entry->m_bPresent = 1;
        if (directory)
            return entry;
        SYSTEMTIME written;
        if (FileTimeToSystemTime(&item.ftLastWriteTime, &written) &&
            std::memcmp(&written, &entry->m_info.stLastWrite, sizeof written) == 0)
            return entry->m_info.nThumbState != kThumbDone ? entry : nullptr;
        return entry;
    }
    auto entry = std::make_unique<PhotoEntry>();
    if (!directory && (!FileTimeToSystemTime(&item.ftCreationTime, &entry->m_info.stDateTaken) ||
                       !FileTimeToSystemTime(&item.ftLastWriteTime, &entry->m_info.stLastWrite)))
        return nullptr;
    copyName(entry->m_info.szFileName, item.cFileName);
    entry->m_bPresent = 1;
    entry->m_bFolder = directory ? 1 : 0;
    PhotoEntry* added = entry.get();
    m_entries.push_back(std::move(entry));
    m_index.emplace(added->m_info.szFileName, added);
    if (directory)
        BuildFolderPreview(added);
    return added;
}

void FolderEntries::BuildFolderPreview(PhotoEntry* entry)
{
    if (!m_pCurrent || !entry || !entry->m_bFolder || entry->m_thumb.GetAreaByteSize() != 0 ||
        entry->m_info.szFileName[0] == '.')
        return;
    const std::string path = m_pCurrent->GetPath() + entry->m_info.szFileName + "/" + kPropertyFileName;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return;
    CQLImageCodec codec;
    bool created = false;
    for (int k = 0; k < 4; ++k) {
        PhotoEntry record;
        UINT w = 0, h = 0;
        if (!record.Serialize(file, 1))
            break;
        record.m_thumb.GetSize(&w, &h);
        if (w == 0 || h == 0)
            break;
        const int fw = h < w ? kMosaicCell : static_cast<int>(w * kMosaicCell / h);
        const int fh = h < w ? static_cast<int>(h * kMosaicCell / w) : kMosaicCell;
        CQLImage cell;
        if (fw < 1 || fh < 1 || codec.Resample(&record.m_thumb, &cell, fw, fh, 1) != 1)
            continue;
        SharpenThumbnail(&cell);
        if (!created) {
            if (entry->m_thumb.Create(kMaxThumbSide, kMaxThumbSide) != 0)
                break;
            for (int y = 0; y < kMaxThumbSide; ++y)
                for (int x = 0; x < kMaxThumbSide; ++x)
                    std::memcpy(entry->m_thumb.GetBuffer(x, y), &kMosaicGround, 4);
            created = true;
        }
        const int x0 = (k % 2 == 0 ? 5 : 50) + (45 - fw) / 2;
        const int y0 = (k < 2 ? 5 : 50) + (45 - fh) / 2;
        pasteAt(entry->m_thumb, cell, x0, y0);
    }
    std::fclose(file);
}

int FolderEntries::RefreshChildren(FolderNode* node)
{
    if (!node)
        return 0;
    const std::string current = m_pCurrent ? m_pCurrent->GetPath() : std::string();
    const bool replaced = m_pCurrent && node->IsAncestorOf(current);
    const int result = node->RefreshChildren();
    if (replaced) {
        // Walk down from node by the names left of the current folder's path.
        FolderNode* found = node;
        std::string rest = current.substr(node->GetPath().size());
        while (found && !rest.empty()) {
            const std::size_t slash = rest.find('/');
            const std::string name = rest.substr(0, slash);
            FolderNode* next = nullptr;
            for (const auto& child : found->m_children)
                if (child->m_name == name)
                    next = child.get();
            if (!next && found != node && found->m_children.empty()) {
                // Below the two levels a refresh scans.
                found->ScanSubfolders(found->GetPath(), 1);
                for (const auto& child : found->m_children)
                    if (child->m_name == name)
                        next = child.get();
            }
            found = next;
            rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        }
        m_pCurrent = found;
        if (!m_pCurrent)
            FreeEntries();
        else if (m_pCurrent->m_children.empty())
            m_pCurrent->ScanSubfolders(current, 1); // its subfolder entries need nodes
    }
    RelinkSubfolders();
    return result;
}

void FolderEntries::RelinkSubfolders()
{
    for (const auto& entry : m_entries)
        if (entry->m_bFolder)
            entry->m_pNode = m_pCurrent ? childFor(m_pCurrent, entry->m_info.szFileName) : nullptr;
}

} // namespace shelf
