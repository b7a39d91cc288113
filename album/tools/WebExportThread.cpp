#include "album/tools/WebExportThread.h"

#include "album/tools/HtmlTemplate.h"
#include "album/tools/WebExportText.h"
#include "algorithms/SharpenLuma.h"
#include "editor/shell/ExifInfo.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileOps.h"
#include "platform/win/FileReplace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>
#include <tuple>

namespace shelf {

namespace fs = std::filesystem;

// ---- the settings block and the folder tree ----

std::string WebExportFolder::SourceSubPath() const
{
    return parent ? parent->SourceSubPath() + sourceName : std::string();
}

std::string WebExportFolder::OutputSubPath() const
{
    return parent ? parent->OutputSubPath() + outputName + "/" : std::string();
}

WebExportFolder* WebExportFolder::FindChild(const std::string& entry) const
{
    for (const auto& child : children)
        if (SameNoCase(child->sourceName, entry + "/"))
            return child.get();
    return nullptr;
}

std::string WebExportFolder::ExportDescription() const
{
    return sameAsParent && parent ? parent->ExportDescription() : description;
}

void WebExportSettings::AddMessage(std::string text)
{
    std::lock_guard lock(m_messageLock);
    m_messages.push_back(std::move(text));
}

std::vector<std::string> WebExportSettings::TakeMessages()
{
    std::lock_guard lock(m_messageLock);
    return std::exchange(m_messages, {});
}

WebFolderListing ListWebFolder(const std::string& folder)
{
    WebFolderListing listing;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().native();
        std::error_code statError;
        const fs::file_status own = it->symlink_status(statError);
        if (statError)
            continue;
        if (fs::is_directory(own)) {
            listing.folders.push_back(name);
            continue;
        }
        // A link to a folder is never followed; one to a file is a file.
        if (fs::is_symlink(own) && fs::is_directory(it->status(statError)))
            continue;
        listing.files.push_back(name);
    }
    std::sort(listing.folders.begin(), listing.folders.end());
    std::sort(listing.files.begin(), listing.files.end());
    return listing;
}

namespace {

// "name" or "name_2", "name_3"... so that no two siblings share one.
std::string UniqueName(const std::string& stem, const std::string& extension, std::set<std::string>& used)
{
    std::string name = stem;
    for (int n = 2; !used.insert(name).second; ++n)
        name = stem + "_" + std::to_string(n);
    return name + extension;
}

void ScanFolder(WebExportFolder& node, const std::string& path, int& folders, int* total)
{
    const WebFolderListing listing = ListWebFolder(path);
    std::set<std::string> used;
    for (const std::string& name : listing.folders) {
        if (name.empty() || name[0] == '.' || SameNoCase(name, "Web") || folders >= kMaxWebFolders)
            continue;
        ++folders;
        auto child = std::make_unique<WebExportFolder>();
        child->title = name;
        child->sourceName = name + "/";
        child->outputName = UniqueName(EscapeWebName(name), "", used);
        child->parent = &node;
        node.children.push_back(std::move(child));
        ScanFolder(*node.children.back(), path + name + "/", folders, total);
    }
    for (const std::string& name : listing.files)
        if (CQLImageCodec::GetFileType((path + name).c_str()) != QL_FILE_UNKNOWN) {
            ++node.photoCount;
            if (total)
                ++*total;
        }
    if (node.photoCount == 0 && node.children.empty())
        node.exportFlag = 0;
}

} // namespace

std::unique_ptr<WebExportFolder> ScanWebExportTree(const std::string& folder, int* total)
{
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::string path = trimmed + "/";
    const std::size_t slash = trimmed.rfind('/');
    auto root = std::make_unique<WebExportFolder>();
    root->title = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    root->sourceName = root->title + "/";
    root->outputName = EscapeWebName(root->title);
    int folders = 1;
    ScanFolder(*root, path, folders, total);
    return root;
}

// ---- the export ----

namespace {

constexpr int kSmallSide = 640;
constexpr int kThumbQuality = 85, kSmallQuality = 75, kDpi = 72;
constexpr const char* kResources[] = {"folder.gif", "prev.gif", "next.gif"};

struct WebPhoto {
    std::string listed;     // its path in the folder
    std::string source;     // the file the photo is read from (a link's target)
    std::string fileName;   // its name in the folder
    std::string outputName; // escaped, made unique in the folder
    std::string thumbName, pageName, smallName;
    ExifFields exif{};
    int exifValid = 0;
    SideFile side;
    int sideErrorLine = 0;
    int state = 0; // 0 made now, 1 unchanged, -1 unchanged but its page rewritten
    bool images = false;
};

// A copy that appears whole or not at all, streamed through a temporary
// file beside the target.
bool CopyWhole(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const bool ok = qlwin::WriteReplacing(to, [in](int fd, const std::string&) {
        char buffer[1 << 16];
        for (;;) {
            const ssize_t got = ::read(in, buffer, sizeof buffer);
            if (got == 0)
                return true;
            if (got < 0 || !qlwin::WriteAllTo(fd, buffer, static_cast<std::size_t>(got)))
                return false;
        }
    });
    ::close(in);
    return ok;
}

// The UTC date of a file time as one comparable number.
int DateKey(const FILETIME& time)
{
    const unsigned long long ticks = (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    const auto seconds = static_cast<std::time_t>(ticks / 10000000ULL) - static_cast<std::time_t>(11644473600LL);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    return (tm.tm_year + 1900) * 10000 + (tm.tm_mon + 1) * 100 + tm.tm_mday;
}

std::string RootDir(int depth)
{
    std::string dir;
    for (int i = 0; i < depth; ++i)
        dir += "../";
    return dir;
}

void ScaleToLongSide(int width, int height, int side, int& outWidth, int& outHeight)
{
    if (width >= height) {
        outWidth = side;
        outHeight = static_cast<int>(static_cast<long long>(height) * side / width);
    } else {
        outHeight = side;
        outWidth = static_cast<int>(static_cast<long long>(width) * side / height);
    }
    outWidth = std::max(outWidth, 1);
    outHeight = std::max(outHeight, 1);
}

class WebExporter {
public:
    explicit WebExporter(WebExportSettings& settings) : m_s(settings) {}
    void Run();

private:
    bool Prepare();
    bool ExportNode(const WebExportFolder& node, int depth);
    std::string BuildTable(const WebExportFolder& node, int depth, const std::string& source,
                           const std::string& output);
    bool MakeImages(CQLImageCodec& codec, const WebPhoto& photo, const std::string& output) const;
    void ProcessPhoto(WebPhoto& photo, const std::string& output);
    void WritePages(std::vector<WebPhoto>& photos, int depth, const std::string& output);
    void Progress();
    bool Cancelled() const { return m_s.cancel.load() != 0; }
    template <class Fn> void ForEachPhoto(std::size_t count, Fn&& fn);

    WebExportSettings& m_s;
    HtmlTemplate m_index, m_page;
    std::string m_outRoot;
    std::mutex m_progressLock;
    int m_counter = 0;
};

void WebExporter::Run()
{
    if (!Prepare())
        return;
    m_counter = 0;
    char perLine[32];
    std::snprintf(perLine, sizeof perLine, "\"%d\"", m_s.perLine);
    m_index.SetValue("PERLINE", perLine);
    m_index.SetValue("EMAIL", HtmlText(m_s.email));
    m_index.SetValue("COPYRIGHT", HtmlText(m_s.copyright));
    if (m_s.root)
        ExportNode(*m_s.root, 0);
}

bool WebExporter::Prepare()
{
    m_outRoot = m_s.destination;
    if (m_outRoot.empty() || m_outRoot.back() != '/')
        m_outRoot += '/';
    m_outRoot += "Web/";
    std::error_code error;
    fs::create_directories(m_outRoot, error);
    bool ok = fs::is_directory(m_outRoot, error);
    for (const char* name : kResources)
        ok = ok && CopyWhole(m_s.resourceFolder + name, m_outRoot + name);
    ok = ok && m_index.Read(m_s.indexTemplate.c_str()) && m_page.Read(m_s.pageTemplate.c_str());
    if (!ok) {
        m_s.AddMessage("Miss files or bad template format");
        return false;
    }
    if (m_index.Find("TABLE") < 0) {
        m_s.AddMessage("Can not find '$TABLE$' in index template file.");
        return false;
    }
    if (m_page.Find("IMAGE") < 0) {
        m_s.AddMessage("Can not find '$IMAGE$' in page template file.");
        return false;
    }
    return true;
}

bool WebExporter::ExportNode(const WebExportFolder& node, int depth)
{
    if (!node.exportFlag)
        return true;
    const std::string output = m_outRoot + node.OutputSubPath();
    if (depth > 0)
        ::mkdir(output.c_str(), 0777);
    const std::string source = m_s.sourceRoot + node.SourceSubPath();
    const std::string rootDir = RootDir(depth);
    const std::string table = BuildTable(node, depth, source, output);
    m_index.SetValue("ROOTDIR", rootDir);
    m_index.SetValue("TITTLE", HtmlText(node.title));
    m_index.SetValue("DESCRIPTION", HtmlText(node.ExportDescription()));
    m_index.SetValue("TABLE", table);
    if (Cancelled() || !m_index.Write((output + "index.htm").c_str()))
        return false;
    for (const std::string& name : ListWebFolder(source).folders) {
        if (name.empty() || name[0] == '.')
            continue;
        // A folder made after the wizard's scan has no node: left out.
        if (const WebExportFolder* child = node.FindChild(name); child && !ExportNode(*child, depth + 1))
            return false;
    }
    return true;
}

// One cell of the table, with the row opened and closed around it.
void AddCell(std::string& table, int& column, int perLine, const std::string& cell)
{
    if (column == 0)
        table += "\n<tr>";
    table += cell;
    if (++column >= perLine) {
        table += "\n</tr>";
        column = 0;
    }
}

std::string WebExporter::BuildTable(const WebExportFolder& node, int depth, const std::string& source,
                                    const std::string& output)
{
    const std::string rootDir = RootDir(depth);
    std::string table;
    int column = 0;
    if (depth > 0)
        AddCell(table, column, m_s.perLine,
                "\n<td align=\"center\">\n<a href=\"../index.htm\" ><img src=\"" + rootDir +
                    "folder.gif\" border=\"0\"><br>..</a>\n</td>");
    const WebFolderListing listing = ListWebFolder(source);
    for (const std::string& name : listing.folders) {
        if (name.empty() || name[0] == '.')
            continue;
        const WebExportFolder* child = node.FindChild(name);
        if (!child || !child->exportFlag)
            continue; // only exported folders have an index to link to
        AddCell(table, column, m_s.perLine,
                "\n<td align=\"center\">\n<a href=\"" + UrlName(child->outputName) + "/index.htm\" ><img src=\"" +
                    rootDir + "folder.gif\" border=\"0\"><br><font size=\"2\">" + HtmlText(CutAtDot(child->title)) +
                    "</font></a>\n</td>");
    }
    std::vector<WebPhoto> photos;
    std::set<std::string> used;
    for (const std::string& name : listing.files) {
        WebPhoto photo;
        photo.fileName = name;
        photo.listed = photo.source = source + name;
        DWORD type = CQLImageCodec::GetFileType(photo.source.c_str());
        if (type == QL_FILE_UNKNOWN)
            continue;
        std::string shown = name;
        if (type == QL_FILE_LINK) {
            CQLLinkFile link;
            if (link.Read(photo.source.c_str()))
                photo.source = link.GetOrgFile();
            // The page shows the photo, not the link, under the photo's name.
            if (shown.size() > 4 && SameNoCase(shown.substr(shown.size() - 4), CQLLinkFile::kExtension))
                shown.resize(shown.size() - 4);
        }
        const std::string escaped = EscapeWebName(shown);
        const std::size_t dot = escaped.rfind('.');
        const std::string stem = dot == std::string::npos ? escaped : escaped.substr(0, dot);
        const std::string extension = dot == std::string::npos ? "" : escaped.substr(dot);
        photo.outputName = UniqueName(stem, extension, used);
        const std::string unique = photo.outputName.substr(0, photo.outputName.size() - extension.size());
        photo.thumbName = unique + "_thumb.jpg";
        photo.pageName = unique + ".htm";
        photo.smallName = unique + "_small.jpg";
        photos.push_back(std::move(photo));
    }
    ForEachPhoto(photos.size(), [&](std::size_t i) { ProcessPhoto(photos[i], output); });
    if (Cancelled())
        return {};
    for (const WebPhoto& photo : photos) {
        if (photo.sideErrorLine) {
            char text[64];
            std::snprintf(text, sizeof text, "Format error at line %d of file :\n ", photo.sideErrorLine);
            m_s.AddMessage(text + node.SourceSubPath() + photo.fileName + ".txt ");
        }
        if (!photo.images)
            continue;
        std::string title = photo.side.Value("TITTLE");
        if (title.empty())
            title = CutAtDot(photo.fileName);
        AddCell(table, column, m_s.perLine,
                "\n<td  align=\"center\">\n<a href=\"" + UrlName(photo.pageName) + "\" target=\"_blank\"><img src=\"" +
                    UrlName(photo.thumbName) + "\" border=\"0\"><br><font size=\"2\">" + HtmlText(title) +
                    "</font></a>\n</td>");
    }
    WritePages(photos, depth, output);
    return table;
}

// Runs fn over the photos on a bounded pool of threads, each photo once;
// every thread keeps its own work to itself so the pool is not flooded.
template <class Fn> void WebExporter::ForEachPhoto(std::size_t count, Fn&& fn)
{
    std::size_t threads = m_s.threads > 0 ? static_cast<std::size_t>(m_s.threads) : imagecore::ThreadCount();
    threads = std::min(threads, count);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < count && !Cancelled(); i = next++)
            fn(i);
    };
    if (threads <= 1) {
        work();
        return;
    }
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            imagecore::ScopedSingleThread single;
            work();
        });
    for (auto& thread : pool)
        thread.join();
}

bool WebExporter::MakeImages(CQLImageCodec& codec, const WebPhoto& photo, const std::string& output) const
{
    CQLImage image, scaled;
    if (!codec.LoadFile(photo.source.c_str(), &image))
        return false;
    UINT w0 = 0, h0 = 0;
    image.GetSize(&w0, &h0);
    const int width = static_cast<int>(w0), height = static_cast<int>(h0);
    if (width <= 0 || height <= 0)
        return false;
    for (const auto& [side, name, quality] :
         {std::tuple{m_s.thumbSize, &photo.thumbName, kThumbQuality}, std::tuple{kSmallSide, &photo.smallName, kSmallQuality}}) {
        int w = 0, h = 0;
        ScaleToLongSide(width, height, side, w, h);
        if (!codec.Resample(&image, &scaled, w, h, 1) || !QuickSharpen(&scaled) ||
            !codec.SaveJpegFile((output + *name).c_str(), &scaled, quality, kDpi))
            return false;
    }
    return true;
}

void WebExporter::ProcessPhoto(WebPhoto& photo, const std::string& output)
{
    if (m_s.dateFilter) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        const int filter = m_s.date.year * 10000 + m_s.date.month * 100 + m_s.date.day;
        if (GetFileAttributesEx(photo.source.c_str(), GetFileExInfoStandard, &data) &&
            DateKey(data.ftLastWriteTime) < filter && DateKey(data.ftCreationTime) < filter)
            photo.state = 1;
    }
    const bool make = photo.state == 0 && !m_s.onlyPages;
    if (make) {
        CQLImageCodec codec;
        photo.images = MakeImages(codec, photo, output);
    } else {
        photo.images = true; // kept from an earlier export
    }
    if (Cancelled())
        return;
    if (m_s.visitorDownload && make)
        CopyWhole(photo.source, output + photo.outputName);
    if (CQLImageCodec::GetFileType(photo.source.c_str()) == QL_FILE_JPEG) {
        ExifInfo exif;
        photo.exifValid = exif.ReadFromFile(photo.source.c_str());
        if (photo.exifValid)
            photo.exif = exif.GetFields();
    }
    photo.sideErrorLine = ReadSideFile(photo.listed + ".txt", photo.side);
    Progress();
}

void WebExporter::Progress()
{
    std::lock_guard lock(m_progressLock);
    ++m_counter;
    const int found = std::max(m_s.photosFound, m_counter);
    if (m_s.notify)
        m_s.notify(static_cast<unsigned>(static_cast<long long>(m_counter) * 100 / found));
}

void WebExporter::WritePages(std::vector<WebPhoto>& photos, int depth, const std::string& output)
{
    for (std::size_t i = 0; i < photos.size(); ++i)
        if (photos[i].state == 0)
            for (std::size_t j : {i - 1, i + 1})
                if (j < photos.size() && photos[j].state == 1)
                    photos[j].state = -1;
    const std::string rootDir = RootDir(depth);
    for (std::size_t i = 0; i < photos.size() && !Cancelled(); ++i) {
        const WebPhoto& photo = photos[i];
        if (photo.state == 1)
            continue;
        m_page.ClearValues();
        m_page.SetValue("EMAIL", HtmlText(m_s.email));
        m_page.SetValue("COPYRIGHT", HtmlText(m_s.copyright));
        m_page.SetValue("ROOTDIR", rootDir);
        m_page.SetValue("TITTLE", HtmlText(photo.outputName));
        const std::string small = UrlName(photo.smallName);
        m_page.SetValue("IMAGE", m_s.visitorDownload ? "<a href=\"" + UrlName(photo.outputName) + "\"><img src=\"" +
                                                           small + "\" border=\"0\"></a>"
                                                     : "<img src=\"" + small + "\">");
        m_page.SetValue("THUMBNAIL", UrlName(photo.thumbName));
        m_page.SetValue("FILENAME", HtmlText(photo.outputName));
        if (photo.exifValid) {
            m_page.SetValue("APERTURE", ApertureText(photo.exif));
            m_page.SetValue("SHUTTER", ShutterText(photo.exif));
            m_page.SetValue("ISO", IsoText(photo.exif));
            m_page.SetValue("EV", EvText(photo.exif));
            m_page.SetValue("TIME", HtmlText(TimeText(photo.exif)));
            m_page.SetValue("CAMERA", HtmlText(std::string(photo.exif.model, strnlen(photo.exif.model, sizeof photo.exif.model))));
        }
        if (i > 0)
            m_page.SetValue("PREVLINK", "<a href=\"" + UrlName(photos[i - 1].pageName) + "\"><img src=\"" + rootDir +
                                            "prev.gif\" border=\"0\"></a>");
        if (i + 1 < photos.size())
            m_page.SetValue("NEXTLINK", "<a href=\"" + UrlName(photos[i + 1].pageName) + "\"><img src=\"" + rootDir +
                                            "next.gif\" border=\"0\"></a>");
        for (const auto& [key, value] : photo.side.pairs)
            if (m_page.Find(key.c_str()) >= 0)
                m_page.SetValue(key.c_str(), HtmlText(value));
        m_page.Write((output + photo.pageName).c_str());
    }
}

} // namespace

int WebExportThread(WebExportSettings& settings)
{
    settings.running = 1;
    WebExporter(settings).Run();
    settings.running = 0;
    if (settings.notify)
        settings.notify(kWebExportDone);
    return 0;
}

} // namespace shelf
