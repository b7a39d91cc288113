// EXIF Statistics: the scan of a tree of 5,000 small camera JPEGs against
// exiv2 printing the same eight values of the same files in one process;
// and the compact typeset of a phone photo in mode 2 (decode, cell, sheet,
// save), as the dialog's worker does it.
#include "BenchSupport.h"

#include "album/tools/CompactTypeset.h"
#include "album/tools/ExifStats.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kTreePhotos = 5000;
constexpr int kTreeFolders = 50;

// A little-endian IFD with its values after it; offsets are from the TIFF
// header.
class IfdWriter {
public:
    void Ascii(uint16_t tag, const std::string& text)
    {
        std::vector<uint8_t> bytes(text.begin(), text.end());
        bytes.push_back(0);
        Add(tag, 2, static_cast<uint32_t>(bytes.size()), bytes);
    }
    void Short(uint16_t tag, uint16_t value) { Add(tag, 3, 1, {uint8_t(value), uint8_t(value >> 8), 0, 0}); }
    void Long(uint16_t tag, uint32_t value) { Add(tag, 4, 1, Le32(value)); }
    void Rational(uint16_t tag, uint32_t num, uint32_t den)
    {
        std::vector<uint8_t> bytes = Le32(num);
        const std::vector<uint8_t> d = Le32(den);
        bytes.insert(bytes.end(), d.begin(), d.end());
        Add(tag, 5, 1, bytes);
    }
    size_t Size() const { return 2 + 12 * m_entries.size() + 4 + DataSize(); }
    // The IFD placed at offset; next is the following IFD's offset or 0.
    void AppendTo(std::vector<uint8_t>& out, uint32_t offset) const
    {
        Put16(out, static_cast<uint16_t>(m_entries.size()));
        uint32_t data = offset + 2 + 12 * static_cast<uint32_t>(m_entries.size()) + 4;
        std::vector<uint8_t> tail;
        for (const Entry& e : m_entries) {
            Put16(out, e.tag);
            Put16(out, e.type);
            Put32(out, e.count);
            if (e.bytes.size() <= 4) {
                std::vector<uint8_t> inline4 = e.bytes;
                inline4.resize(4);
                out.insert(out.end(), inline4.begin(), inline4.end());
            } else {
                Put32(out, data + static_cast<uint32_t>(tail.size()));
                tail.insert(tail.end(), e.bytes.begin(), e.bytes.end());
                if (tail.size() % 2)
                    tail.push_back(0);
            }
        }
        Put32(out, 0);
        out.insert(out.end(), tail.begin(), tail.end());
    }

private:
    struct Entry {
        uint16_t tag, type;
        uint32_t count;
        std::vector<uint8_t> bytes;
    };
    static std::vector<uint8_t> Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
    static void Put16(std::vector<uint8_t>& v, uint16_t x)
    {
        v.push_back(uint8_t(x));
        v.push_back(uint8_t(x >> 8));
    }
    static void Put32(std::vector<uint8_t>& v, uint32_t x)
    {
        const std::vector<uint8_t> b = Le32(x);
        v.insert(v.end(), b.begin(), b.end());
    }
    void Add(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> bytes)
    {
        m_entries.push_back({tag, type, count, std::move(bytes)});
    }
    size_t DataSize() const
    {
        size_t n = 0;
        for (const Entry& e : m_entries)
            if (e.bytes.size() > 4)
                n += (e.bytes.size() + 1) & ~size_t{1};
        return n;
    }
    std::vector<Entry> m_entries;
};

// The APP1 segment of photo i: model, software and date in IFD0, the
// exposure values in the Exif IFD, varied so that every group has classes.
std::vector<uint8_t> ExifSegment(int i)
{
    static const char* const models[] = {"Canon EOS 40D", "NIKON D70", "DMC-FZ30", "E-M10", "Pixel 7", "X100V"};
    static const char* const software[] = {"Quillo Shelf", "Firmware 1.0.2", "Quillo Editor", "Darkroom 3"};
    static const uint32_t fNumbers[][2] = {{28, 10}, {4, 1}, {56, 10}, {8, 1}, {11, 1}, {18, 10}};
    static const uint32_t shutters[] = {30, 60, 125, 250, 500, 1000, 4000};
    static const uint16_t isos[] = {100, 200, 400, 800, 1600, 3200};
    static const uint32_t focals[] = {18, 24, 35, 50, 85, 105, 200};

    char date[32];
    std::snprintf(date, sizeof date, "20%02d:%02d:%02d 10:%02d:00", 5 + i % 19, 1 + i % 12, 1 + i % 28, i % 60);
    IfdWriter photo;
    photo.Rational(33434, 1, shutters[i % 7]);
    photo.Rational(33437, fNumbers[i % 6][0], fNumbers[i % 6][1]);
    photo.Short(34855, isos[i % 6]);
    photo.Ascii(36867, date);
    photo.Rational(37382, 1 + static_cast<uint32_t>(i % 40), 2);
    photo.Rational(37386, focals[i % 7], 1);

    // IFD0 right after the header, the Exif IFD after IFD0.
    const auto imageIfd = [&](uint32_t exifOffset) {
        IfdWriter image;
        image.Ascii(272, models[i % 6]);
        image.Ascii(305, software[i % 4]);
        image.Ascii(306, date);
        image.Long(34665, exifOffset);
        return image;
    };
    const uint32_t exifOffset = 8 + static_cast<uint32_t>(imageIfd(0).Size());
    const IfdWriter image = imageIfd(exifOffset);

    std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    image.AppendTo(tiff, 8);
    photo.AppendTo(tiff, exifOffset);

    const size_t length = 2 + 6 + tiff.size();
    std::vector<uint8_t> segment = {0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    return segment;
}

// The pixels every photo of the tree shares: a 160 x 120 JPEG without its
// SOI and APP0.
const std::vector<uint8_t>& SmallJpegBody()
{
    static const std::vector<uint8_t> body = [] {
        CQLImage photo;
        MakeSyntheticPhoto(photo, 160, 120);
        const std::string file = BenchFolder() + "/small.jpg";
        CQLImageCodec().SaveJpegFile(file.c_str(), &photo, 85, 72);
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t at = 2;
        if (bytes.size() > 6 && bytes[2] == 0xFF && bytes[3] == 0xE0)
            at = 4 + ((size_t{bytes[4]} << 8) | bytes[5]);
        return std::vector<uint8_t>(bytes.begin() + static_cast<long>(at), bytes.end());
    }();
    return body;
}

// kTreePhotos JPEGs in kTreeFolders folders, made once; the list file holds
// their names one a line, NUL-separated, for the peer.
struct PhotoTree {
    std::string root;
    std::string list;
};

const PhotoTree& ExifTree()
{
    static const PhotoTree tree = [] {
        PhotoTree t{BenchFolder() + "/exif-tree/", BenchFolder() + "/exif-tree.list"};
        std::ofstream list(t.list, std::ios::binary);
        for (int i = 0; i < kTreePhotos; ++i) {
            char folder[64], name[64];
            std::snprintf(folder, sizeof folder, "%sday%02d/", t.root.c_str(), i % kTreeFolders);
            std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
            fs::create_directories(folder);
            const std::string path = std::string(folder) + name;
            std::ofstream out(path, std::ios::binary);
            const uint8_t soi[] = {0xFF, 0xD8};
            const std::vector<uint8_t> app1 = ExifSegment(i);
            out.write(reinterpret_cast<const char*>(soi), 2);
            out.write(reinterpret_cast<const char*>(app1.data()), static_cast<std::streamsize>(app1.size()));
            out.write(reinterpret_cast<const char*>(SmallJpegBody().data()),
                      static_cast<std::streamsize>(SmallJpegBody().size()));
            list << path << '\0';
        }
        return t;
    }();
    // Gone at exit, before the bench folder itself goes.
    static const struct Remover {
        ~Remover()
        {
            std::error_code ignored;
            fs::remove_all(tree.root, ignored);
            fs::remove(tree.list, ignored);
        }
    } remover;
    return tree;
}

void BM_ExifStatsScan(benchmark::State& state)
{
    const PhotoTree& tree = ExifTree();
    CQLImageCodec::Start();
    const std::atomic<bool> cancel{false};
    // Arg 1: on one thread, to show what the cores add.
    std::optional<imagecore::ScopedSingleThread> single;
    if (state.range(0) == 1)
        single.emplace();
    for (auto _ : state) {
        shelf::ExifStatsTable table;
        shelf::ExifScanCounts counts;
        shelf::ScanExifFolder(tree.root, "", table, counts, nullptr, cancel);
        table.Sort();
        if (counts.found != kTreePhotos || counts.counted != kTreePhotos) {
            state.SkipWithError("the scan missed photos");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kTreePhotos);
}
BENCHMARK(BM_ExifStatsScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PeerExiv2Print(benchmark::State& state)
{
    const PhotoTree& tree = ExifTree();
    if (std::system("command -v exiv2 >/dev/null 2>&1") != 0) {
        state.SkipWithError("exiv2 is not installed (bench/run installs the peers)");
        return;
    }
    RunPeer(state, "xargs -0 -a " + tree.list +
                       " exiv2 -q -Pv -K Exif.Image.Model -K Exif.Photo.FNumber -K Exif.Photo.ExposureTime"
                       " -K Exif.Photo.ISOSpeedRatings -K Exif.Photo.FocalLength -K Exif.Photo.SubjectDistance"
                       " -K Exif.Photo.DateTimeOriginal -K Exif.Image.Software >/dev/null");
    state.SetItemsProcessed(state.iterations() * kTreePhotos);
}
BENCHMARK(BM_PeerExiv2Print)->Unit(benchmark::kMillisecond)->UseRealTime();

// The compact typeset's worker in mode 2 with Crop: read the photo, make the
// cell, compose the sheet and save it at 195 and 300 dpi.
const std::string& JollaPhoto()
{
    static const std::string path = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/mobile/jolla.jpg";
    return path;
}

void BM_CompactTypesetMode2(benchmark::State& state)
{
    const std::string& photoPath = JollaPhoto();
    if (!fs::exists(photoPath)) {
        state.SkipWithError("corpus photo absent");
        return;
    }
    CQLImageCodec::Start();
    const std::string sheetPath = BenchFolder() + "/typeset.jpg";
    for (auto _ : state) {
        CQLImageCodec codec;
        CQLImage photo, cell, turned, sheet;
        if (!codec.LoadFile(photoPath.c_str(), &photo) || !shelf::MakeTypesetCell(photo, 2, true, cell, turned) ||
            !shelf::ComposeTypesetSheet(2, cell, turned, sheet) ||
            !codec.SaveJpegFile(sheetPath.c_str(), &sheet, 195, 300)) {
            state.SkipWithError("typeset failed");
            return;
        }
    }
}
BENCHMARK(BM_CompactTypesetMode2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work by ImageMagick: decode, cover-resize and crop to 413 x 295,
// sixteen cells in a white 4 x 4 grid of about 1800 x 1200, saved at 95.
void BM_PeerConvertTypeset(benchmark::State& state)
{
    if (!fs::exists(JollaPhoto())) {
        state.SkipWithError("corpus photo absent");
        return;
    }
    RunPeer(state, "convert " + JollaPhoto() +
                       " -resize 413x295^ -gravity center -extent 413x295 -bordercolor white -border 18x2"
                       " -duplicate 3 +append -duplicate 3 -append -density 300 -quality 95 " +
                       BenchFolder() + "/typeset-peer.jpg");
}
BENCHMARK(BM_PeerConvertTypeset)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
