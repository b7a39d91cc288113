// What the HTML export wizard collects and the export worker reads: the
// settings block and the tree of folders to export.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace shelf {

struct WebExportFolder {
    static constexpr std::size_t kMaxTitle = 255;
    static constexpr std::size_t kMaxDescription = 1023;

    std::string title;
    std::string sourceName; // the folder's own name and "/"
    std::string outputName; // the name escaped for the web
    std::string description;
    int sameAsParent = 1;
    int exportFlag = 1;
    void* treeItem = nullptr;
    int photoCount = 0;
    WebExportFolder* parent = nullptr;
    std::vector<std::unique_ptr<WebExportFolder>> children;

    // Source names (output names, each with "/") from below the root down
    // to this node; empty for the root.
    std::string SourceSubPath() const;
    std::string OutputSubPath() const;
    // The child whose source name is entry + "/" (letter case ignored).
    WebExportFolder* FindChild(const std::string& entry) const;
    // The description the export shows: the parent's when marked so.
    std::string ExportDescription() const;
};

struct WebExportDate {
    int year = 0, month = 0, day = 0;
};

struct WebExportSettings {
    static constexpr std::size_t kMaxPath = 1024;
    static constexpr std::size_t kMaxDescription = 1023;
    static constexpr std::size_t kMaxEmail = 128;
    static constexpr std::size_t kMaxCopyright = 256;
    static constexpr std::size_t kMaxTitle = 128;
    static constexpr int kMinThumb = 64, kMaxThumb = 256, kMinPerLine = 3, kMaxPerLine = 8;

    std::string destination;
    std::string description;
    std::string email;
    std::string copyright;
    std::string title;
    std::string indexTemplate;
    std::string pageTemplate;
    int visitorDownload = 0;
    int thumbSize = 128;
    int perLine = 4;
    std::unique_ptr<WebExportFolder> root;
    int photosFound = 0;
    // Called from the worker with WM_USER+304's wParam: 0..100, then 200.
    std::function<void(unsigned wParam)> notify;
    std::atomic<int> cancel{0};
    std::atomic<int> running{0};
    int dateFilter = 0;
    WebExportDate date;
    int onlyPages = 0;

    // The album folder the root node stands for, and the folder of
    // folder.gif, prev.gif and next.gif (both ending in "/").
    std::string sourceRoot;
    std::string resourceFolder;
    // Photos made at once; 0 for every core.
    int threads = 0;

    // The export's messages, in order, for the window thread to show.
    void AddMessage(std::string text);
    std::vector<std::string> TakeMessages();

private:
    std::mutex m_messageLock;
    std::vector<std::string> m_messages;
};

// The tree of the wizard's second page from folder: sub-folders in name
// order, "Web" and names starting with "." left out, symbolic links to
// folders not followed, at most kMaxFolders nodes in all. Photo counts
// (files of a known type, link files included) go into each node and
// into *total. A node without photos and children starts unexported.
inline constexpr int kMaxWebFolders = 256;
std::unique_ptr<WebExportFolder> ScanWebExportTree(const std::string& folder, int* total);

// The files and sub-folders of a folder in name order, without symbolic
// links to folders.
struct WebFolderListing {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};
WebFolderListing ListWebFolder(const std::string& folder);

} // namespace shelf
