#include "PhotoTree.h"

#include "BenchSupport.h"
#include "album/shell/AnalyseWork.h"
#include "album/shell/PhotoEntry.h"
#include "editor/shell/ExifInfo.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace {

std::string distinctPhoto(const std::string& folder, int k, int side)
{
    const std::string path = folder + "photo" + std::to_string(k) + ".jpg";
    CQLImage image;
    MakeSyntheticPhoto(image, static_cast<unsigned>(side), static_cast<unsigned>(side * 3 / 4));
    // A different tone per photo, so that tone searches split them.
    const int lift = (k * 37) % 160 - 60;
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y) {
        BYTE* p = image.GetBuffer(0, static_cast<int>(y));
        for (UINT x = 0; x < w * 4; ++x)
            if (x % 4 != 3)
                p[x] = static_cast<BYTE>(std::clamp(p[x] + lift, 0, 255));
    }
    CQLImageCodec codec;
    codec.SaveJpegFile(path.c_str(), &image, 85, 72);
    ExifInfo exif;
    ExifFields& f = exif.GetFields();
    f.hasExif = 1;
    std::snprintf(f.model, sizeof f.model, "%s %d", k < 25 ? "Canon EOS" : "Camera", k);
    f.fNumber = k % 2 ? 5.6 : 2.8;
    f.exposureTime = 1.0 / (30 + k);
    f.isoSpeed = static_cast<short>(100 * (1 + k % 4));
    f.flash = 0;
    std::snprintf(f.dateTime, sizeof f.dateTime, "2004:%02d:%02d 10:20:30", 1 + k % 12, 1 + k % 28);
    exif.WriteToFile(FALSE, path.c_str(), TRUE);
    return path;
}

// The entry the album's folder cache would keep for the photo.
std::unique_ptr<shelf::PhotoEntry> entryOf(const std::string& path)
{
    auto entry = std::make_unique<shelf::PhotoEntry>();
    CQLImageCodec codec;
    shelf::ThumbnailResult thumb;
    shelf::MakeThumbnail(codec, path.c_str(), 1, thumb);
    entry->m_thumb = std::move(thumb.thumb);
    entry->m_info.nWidth = thumb.width;
    entry->m_info.nHeight = thumb.height;
    std::memcpy(entry->m_info.histogram, thumb.histogram, sizeof thumb.histogram);
    shelf::PhotoInfoResult info;
    shelf::ReadPhotoInfo(path.c_str(), info);
    shelf::ApplyPhotoInfo(info, entry->m_info);
    entry->m_info.nFileSize = static_cast<std::int32_t>(std::filesystem::file_size(path));
    entry->m_info.nThumbState = shelf::kThumbDone;
    return entry;
}

} // namespace

const std::string& PhotoTree(const PhotoTreeShape& shape)
{
    static std::map<std::tuple<int, int, int, int, bool>, std::string> made;
    const auto key = std::make_tuple(shape.files, shape.distinct, shape.folders, shape.side, shape.propertyFiles);
    if (auto it = made.find(key); it != made.end())
        return it->second;
    const std::string root = BenchFolder() + "/tree" + std::to_string(made.size()) + "/";
    const std::string originals = root + "originals/";
    std::filesystem::create_directories(originals);
    std::vector<std::string> sources;
    std::vector<std::unique_ptr<shelf::PhotoEntry>> entries;
    for (int k = 0; k < shape.distinct; ++k) {
        sources.push_back(distinctPhoto(originals, k, shape.side));
        if (shape.propertyFiles)
            entries.push_back(entryOf(sources.back()));
    }
    const std::string photos = root + "photos/";
    for (int d = 0; d < shape.folders; ++d) {
        char folderName[16];
        std::snprintf(folderName, sizeof folderName, "d%02d/", d);
        const std::string folder = photos + folderName;
        std::filesystem::create_directories(folder);
        shelf::PhotoEntries folderEntries;
        for (int i = d; i < shape.files; i += shape.folders) {
            char name[24];
            std::snprintf(name, sizeof name, "p%05d.jpg", i);
            const int k = i % shape.distinct;
            ::link(sources[static_cast<std::size_t>(k)].c_str(), (folder + name).c_str());
            if (shape.propertyFiles) {
                auto e = std::make_unique<shelf::PhotoEntry>();
                e->m_info = entries[static_cast<std::size_t>(k)]->m_info;
                std::snprintf(e->m_info.szFileName, sizeof e->m_info.szFileName, "%s", name);
                e->m_thumb.DuplicateFrom(&entries[static_cast<std::size_t>(k)]->m_thumb);
                folderEntries.push_back(std::move(e));
            }
        }
        if (shape.propertyFiles)
            shelf::SavePropertyRecords(folder + shelf::kPropertyFileName, folderEntries);
    }
    return made.emplace(key, photos).first->second;
}
