// The EXIF writers replacing a photo: through a symbolic link, over a
// read-only photo and on a full disk.
#include "editor/shell/ExifInfo.h"
#include "editor/shell/ExifJpegWriter.h"
#include "editor/shell/ExifTiffPatcher.h"

#include "ExifTestSupport.h"
#include "platform/win/tests/FullDisk.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace fs = std::filesystem;
using namespace exiftest;

namespace {

ExifFields Record()
{
    ExifFields f{};
    f.hasExif = 1;
    f.xResolution = f.yResolution = 300;
    std::strcpy(f.dateTime, "2004:12:31 23:59:59");
    std::strcpy(f.artist, "Ann");
    std::strcpy(f.make, "Maker");
    f.meteringMode = f.lightSource = f.exposureProgram = f.colorSpace = -1;
    f.flash = -1;
    f.exposureTime = 0.004;
    f.fNumber = 2.8;
    return f;
}

// A photo of the writer's format; the TIFF patcher needs the Exif IFD entry
// that a full EXIF write leaves.
std::string Photo(const std::string& path, bool withExifIfd)
{
    SavePhoto(path);
    if (withExifIfd) {
        ExifFields f = Record();
        f.exposureTime = 0;
        f.fNumber = 0;
        ExifInfo exif;
        exif.SetFields(f);
        EXPECT_EQ(exif.WriteToFile(TRUE, path.c_str(), TRUE), 1);
    }
    return path;
}

struct Writer {
    const char* name;
    const char* ext;
    bool needsExifIfd;
    std::function<int(const std::string& path)> write;
};

const Writer kWriters[] = {
    {"ExifJpegWriter", ".jpg", false, [](const std::string& path) { return ExifJpegWriter::Apply(path.c_str(), Record()); }},
    {"ExifTiffPatcher", ".tif", true, [](const std::string& path) { return ExifTiffPatcher::Apply(path.c_str(), Record()); }},
    {"ExifInfo jpg", ".jpg", false,
     [](const std::string& path) {
         ExifInfo exif;
         exif.SetFields(Record());
         return exif.WriteToFile(TRUE, path.c_str(), TRUE);
     }},
    {"ExifInfo tif", ".tif", false,
     [](const std::string& path) {
         ExifInfo exif;
         exif.SetFields(Record());
         return exif.WriteToFile(TRUE, path.c_str(), TRUE);
     }},
};

// The exposure time that the record wrote, or 0.
double ExposureOf(const std::string& path)
{
    ExifInfo exif;
    return exif.ReadFromFile(path.c_str()) ? exif.GetFields().exposureTime : 0;
}

std::size_t Count(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(ExifSave, ThroughALinkTheTargetGetsTheRecordAndTheLinkStays)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        TempFolder dir;
        fs::create_directory(dir.File("real"));
        const std::string target = Photo(dir.File(std::string("real/photo") + w.ext), w.needsExifIfd);
        ASSERT_EQ(ExposureOf(target), 0);
        const std::string link = dir.File(std::string("link") + w.ext);
        fs::create_symlink(std::string("real/photo") + w.ext, link);

        ASSERT_EQ(w.write(link), 1);
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_NEAR(ExposureOf(target), 0.004, 1e-9);
        EXPECT_EQ(Count(dir.Path()), 2u);
        EXPECT_EQ(Count(dir.File("real")), 1u);
    }
}

TEST(ExifSave, AReadOnlyPhotoIsNotReplaced)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        TempFolder dir;
        const std::string path = Photo(dir.File(std::string("photo") + w.ext), w.needsExifIfd);
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        const auto before = FileBytes(path);
        EXPECT_EQ(w.write(path), 0);
        EXPECT_EQ(FileBytes(path), before);
        EXPECT_EQ(Count(dir.Path()), 1u);
    }
}

TEST(ExifSave, AFullDiskLeavesThePhotoWhole)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        TempFolder dir;
        const std::string path = Photo(dir.File(std::string("photo") + w.ext), w.needsExifIfd);
        const auto before = FileBytes(path);
        // Full from the start, or only once the new EXIF block is being written.
        for (const rlim_t room : {rlim_t{64}, rlim_t(before.size() + 8)}) {
            SCOPED_TRACE(room);
            int written = 1;
            {
                FullDisk full(room);
                ASSERT_TRUE(full.active());
                written = w.write(path);
            }
            EXPECT_EQ(written, 0);
            EXPECT_EQ(FileBytes(path), before);
            EXPECT_EQ(Count(dir.Path()), 1u) << "no temporary file or working copy is left";
        }
    }
}

} // namespace
