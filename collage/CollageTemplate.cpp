#include "collage/CollageTemplate.h"

#include "imagecore/ImageLimits.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileReplace.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

namespace collage {

void CollageTemplate::Clear()
{
    std::memset(name, 0, sizeof name);
    frame.Free();
    boxMap.Free();
    thumbnail.Free();
    boxes.clear();
}

int CollageTemplate::FrameWidth() const
{
    UINT w, h;
    frame.GetSize(&w, &h);
    return static_cast<int>(w);
}

int CollageTemplate::FrameHeight() const
{
    UINT w, h;
    frame.GetSize(&w, &h);
    return static_cast<int>(h);
}

bool PointInFrameBox(int px, int py, const FrameBox& box)
{
    int crossings = 0;
    for (int i = 0; i < 4; ++i) {
        const LONGLONG x1 = box.p[i].x, y1 = box.p[i].y;
        const LONGLONG x2 = box.p[(i + 1) % 4].x, y2 = box.p[(i + 1) % 4].y;
        const LONGLONG ymin = std::min(y1, y2), ymax = std::max(y1, y2);
        if (py < ymin || py >= ymax)
            continue;
        if (x1 == x2) {
            if (px > std::min(x1, x2))
                ++crossings;
            continue;
        }
        const LONGLONG s = ((y1 - y2) * 256) / (x1 - x2);
        const LONGLONG v = (x1 - px) * s + (py - y1) * 256;
        if ((s < 0 && v > 0) || (s > 0 && v < 0))
            ++crossings;
    }
    return (crossings & 1) != 0;
}

int CheckerCell(int width, int height) { return std::max(1, std::max(width, height) / 50); }

bool MakeDisplayCopy(const CQLImage& source, CQLImage* copy)
{
    if (!copy->DuplicateFrom(&source))
        return false;
    UINT w, h;
    copy->GetSize(&w, &h);
    const int cell = CheckerCell(static_cast<int>(w), static_cast<int>(h));
    imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = copy->GetBuffer(0, y);
            for (int x = 0; x < static_cast<int>(w); ++x, p += 4) {
                const int a = p[3];
                if (a == 255)
                    continue;
                const int grey = CheckerGrey(x, y, cell);
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<BYTE>(((255 - a) * grey + p[c] * a) / 255);
            }
        }
    });
    return true;
}

void ThumbnailSize(int frameWidth, int frameHeight, int* width, int* height)
{
    if (frameWidth > frameHeight) {
        *width = kThumbnailSide;
        *height = frameHeight * kThumbnailSide / frameWidth;
    } else {
        *height = kThumbnailSide;
        *width = frameHeight > 0 ? frameWidth * kThumbnailSide / frameHeight : 0;
    }
}

BoxMapResult BuildBoxMap(CollageTemplate& tpl, const std::function<bool()>& askUncovered)
{
    const int w = tpl.FrameWidth(), h = tpl.FrameHeight();
    if (w <= 0 || h <= 0 || tpl.boxMap.Create(w, h) != 0)
        return BoxMapResult::Failed;
    const std::vector<FrameBox> boxes = tpl.boxes;
    std::atomic<bool> uncovered{false};
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * (boxes.size() + 1), [&](int y0, int y1) {
        bool seen = false;
        for (int y = y0; y < y1; ++y) {
            const BYTE* f = tpl.frame.GetBuffer(0, y);
            BYTE* m = tpl.boxMap.GetBuffer(0, y);
            for (int x = 0; x < w; ++x) {
                const BYTE a = f[x * 4 + 3];
                BYTE owner = kNoBox;
                if (a != 255) {
                    for (int i = static_cast<int>(boxes.size()) - 1; i >= 0; --i)
                        if (PointInFrameBox(x, y, boxes[i])) {
                            owner = static_cast<BYTE>(i);
                            break;
                        }
                    if (owner == kNoBox && a < 240)
                        seen = true;
                }
                m[x] = owner;
            }
        }
        if (seen)
            uncovered = true;
    });
    if (uncovered && askUncovered && !askUncovered())
        return BoxMapResult::Declined;
    return BoxMapResult::Done;
}

std::string SanitiseTemplateName(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (std::strchr("\"'*/:<>?\\|", c) && c != '\0')
            c = '_';
    return out;
}

namespace {

void Put16(BYTE* p, unsigned v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}

void Put32(BYTE* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}

unsigned Get16(const BYTE* p) { return p[0] | (p[1] << 8); }

uint32_t Get32(const BYTE* p)
{
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

struct Compressed {
    std::unique_ptr<Bytef[]> bytes;
    uLongf size = 0;
    bool ok = false;
};

Compressed Compress(const BYTE* data, size_t size)
{
    Compressed out;
    const uLong bound = compressBound(static_cast<uLong>(size));
    out.bytes.reset(new (std::nothrow) Bytef[bound]);
    if (!out.bytes)
        return out;
    out.size = bound;
    out.ok = compress(out.bytes.get(), &out.size, data, static_cast<uLong>(size)) == Z_OK;
    return out;
}

// The two planes are separate streams: each gets its own core.
bool CompressPlanes(const CQLChannel& map, const CQLImage& frame, Compressed* mapOut, Compressed* frameOut)
{
    std::thread side([&] { *mapOut = Compress(map.GetBuffer(0, 0), map.GetAreaByteSize()); });
    *frameOut = Compress(frame.GetBuffer(0, 0), frame.GetAreaByteSize());
    side.join();
    return mapOut->ok && frameOut->ok && mapOut->size <= UINT32_MAX && frameOut->size <= UINT32_MAX;
}

struct Header {
    char name[32];
    unsigned thumbW, thumbH, frameW, frameH, boxCount;
    uint32_t mapSize, imageSize;
};

void ParseHeader(const BYTE* p, Header* h)
{
    std::memcpy(h->name, p, 32);
    h->name[31] = '\0';
    h->thumbW = Get16(p + 32);
    h->thumbH = Get16(p + 34);
    h->frameW = Get16(p + 36);
    h->frameH = Get16(p + 38);
    h->boxCount = p[40];
    h->mapSize = Get32(p + 44);
    h->imageSize = Get32(p + 48);
}

// zlib cannot shrink data by more than about 1032 to 1: a stream much smaller
// than that for its plane is a lie, refused before the plane is allocated.
bool StreamCanFill(uint32_t streamSize, ULONGLONG planeBytes)
{
    return ULONGLONG{streamSize} * 1100 + 64 >= planeBytes;
}

bool Uncompress(const BYTE* stream, uint32_t size, BYTE* plane, ULONGLONG planeBytes)
{
    uLongf length = static_cast<uLongf>(planeBytes);
    return uncompress(plane, &length, stream, size) == Z_OK && length == planeBytes;
}

std::vector<BYTE> ReadWhole(const std::string& path, bool* ok)
{
    std::vector<BYTE> bytes;
    *ok = false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return bytes;
    in.seekg(0);
    bytes.resize(static_cast<size_t>(size));
    *ok = static_cast<bool>(in.read(reinterpret_cast<char*>(bytes.data()), size));
    return bytes;
}

} // namespace

bool WriteTemplateFile(CollageTemplate& tpl, const std::string& path)
{
    const int w = tpl.FrameWidth(), h = tpl.FrameHeight();
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535 || tpl.boxes.size() > kMaxBoxes)
        return false;
    UINT mw, mh;
    tpl.boxMap.GetSize(&mw, &mh);
    if (static_cast<int>(mw) != w || static_cast<int>(mh) != h)
        return false;
    int tw, th;
    ThumbnailSize(w, h, &tw, &th);
    tw = std::max(tw, 1);
    th = std::max(th, 1);
    CQLImage display;
    CQLImageCodec codec;
    if (!MakeDisplayCopy(tpl.frame, &display) || !codec.Resample(&display, &tpl.thumbnail, tw, th, 1))
        return false;
    Compressed map, image;
    if (!CompressPlanes(tpl.boxMap, tpl.frame, &map, &image))
        return false;

    BYTE header[kHeaderSize] = {};
    std::memcpy(header, tpl.name, std::min(std::strlen(tpl.name), size_t{31}));
    Put16(header + 32, static_cast<unsigned>(tw));
    Put16(header + 34, static_cast<unsigned>(th));
    Put16(header + 36, static_cast<unsigned>(w));
    Put16(header + 38, static_cast<unsigned>(h));
    header[40] = static_cast<BYTE>(tpl.boxes.size());
    Put32(header + 44, static_cast<uint32_t>(map.size));
    Put32(header + 48, static_cast<uint32_t>(image.size));
    std::vector<BYTE> records(tpl.boxes.size() * kBoxRecordSize);
    for (size_t i = 0; i < tpl.boxes.size(); ++i)
        for (int c = 0; c < 4; ++c) {
            Put32(&records[i * kBoxRecordSize + c * 8], static_cast<uint32_t>(tpl.boxes[i].p[c].x));
            Put32(&records[i * kBoxRecordSize + c * 8 + 4], static_cast<uint32_t>(tpl.boxes[i].p[c].y));
        }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return qlwin::WriteReplacing(path, [&](int fd, const std::string&) {
        return qlwin::WriteAllTo(fd, header, sizeof header) &&
               qlwin::WriteAllTo(fd, tpl.thumbnail.GetBuffer(0, 0), tpl.thumbnail.GetAreaByteSize()) &&
               qlwin::WriteAllTo(fd, map.bytes.get(), map.size) &&
               qlwin::WriteAllTo(fd, image.bytes.get(), image.size) &&
               qlwin::WriteAllTo(fd, records.data(), records.size());
    });
}

WriteResult WriteTemplate(CollageTemplate& tpl, const char* name, const std::string& path,
                          const std::function<bool()>& askUncovered)
{
    std::memset(tpl.name, 0, sizeof tpl.name);
    std::strncpy(tpl.name, name ? name : "", sizeof tpl.name - 1);
    switch (BuildBoxMap(tpl, askUncovered)) {
    case BoxMapResult::Declined:
        return WriteResult::Declined;
    case BoxMapResult::Failed:
        return WriteResult::Unexpected;
    case BoxMapResult::Done:
        break;
    }
    return WriteTemplateFile(tpl, path) ? WriteResult::Written : WriteResult::CannotSave;
}

bool ReadTemplateHeaderBytes(const BYTE* bytes, size_t size, TemplateListEntry* entry)
{
    if (size < kHeaderSize)
        return false;
    Header h;
    ParseHeader(bytes, &h);
    if (h.thumbW == 0 || h.thumbH == 0 || h.thumbW > kThumbnailSide || h.thumbH > kThumbnailSide)
        return false;
    const size_t thumbBytes = size_t{h.thumbW} * h.thumbH * 4;
    if (size - kHeaderSize < thumbBytes || entry->thumbnail.Create(h.thumbW, h.thumbH) != 0)
        return false;
    std::memcpy(entry->thumbnail.GetBuffer(0, 0), bytes + kHeaderSize, thumbBytes);
    std::memcpy(entry->name, h.name, sizeof entry->name);
    return true;
}

bool ReadTemplateHeader(const std::string& path, TemplateListEntry* entry)
{
    // Only the header and thumbnail: at most 40 052 bytes.
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<BYTE> bytes(kHeaderSize + kThumbnailSide * kThumbnailSide * 4);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const size_t got = static_cast<size_t>(in.gcount());
    if (!ReadTemplateHeaderBytes(bytes.data(), got, entry))
        return false;
    std::snprintf(entry->path, sizeof entry->path, "%s", path.c_str());
    return true;
}

bool ReadTemplateBytes(const BYTE* bytes, size_t size, CollageTemplate* tpl)
{
    if (size < kHeaderSize)
        return false;
    Header h;
    ParseHeader(bytes, &h);
    if (h.boxCount > kMaxBoxes || h.frameW == 0 || h.frameH == 0)
        return false;
    size_t pos = kHeaderSize;
    const size_t thumbBytes = size_t{h.thumbW} * h.thumbH * 4;
    if (size - pos < thumbBytes)
        return false;
    pos += thumbBytes;
    if (size - pos < h.mapSize || size - pos - h.mapSize < h.imageSize)
        return false;
    const ULONGLONG mapBytes = ULONGLONG{h.frameW} * h.frameH;
    if (!imagecore::DecodeSizeAllowed(h.frameW, h.frameH, 5) || !StreamCanFill(h.mapSize, mapBytes) ||
        !StreamCanFill(h.imageSize, mapBytes * 4))
        return false;
    CollageTemplate fresh;
    if (fresh.boxMap.Create(h.frameW, h.frameH) != 0 || fresh.frame.Create(h.frameW, h.frameH) != 0)
        return false;
    const BYTE* mapStream = bytes + pos;
    const BYTE* imageStream = mapStream + h.mapSize;
    bool mapOk = false;
    std::thread side([&] { mapOk = Uncompress(mapStream, h.mapSize, fresh.boxMap.GetBuffer(0, 0), mapBytes); });
    const bool imageOk = Uncompress(imageStream, h.imageSize, fresh.frame.GetBuffer(0, 0), mapBytes * 4);
    side.join();
    if (!mapOk || !imageOk)
        return false;
    pos += size_t{h.mapSize} + h.imageSize;
    if (size - pos < size_t{h.boxCount} * kBoxRecordSize)
        return false;
    for (unsigned i = 0; i < h.boxCount; ++i) {
        FrameBox box;
        for (int c = 0; c < 4; ++c) {
            box.p[c].x = static_cast<int32_t>(Get32(bytes + pos + c * 8));
            box.p[c].y = static_cast<int32_t>(Get32(bytes + pos + c * 8 + 4));
        }
        fresh.boxes.push_back(box);
        pos += kBoxRecordSize;
    }
    std::memcpy(fresh.name, h.name, sizeof fresh.name);
    if (h.thumbW && h.thumbH && fresh.thumbnail.Create(h.thumbW, h.thumbH) == 0)
        std::memcpy(fresh.thumbnail.GetBuffer(0, 0), bytes + kHeaderSize, thumbBytes);
    *tpl = std::move(fresh);
    return true;
}

bool ReadTemplate(const std::string& path, CollageTemplate* tpl)
{
    bool ok = false;
    const std::vector<BYTE> bytes = ReadWhole(path, &ok);
    return ok && ReadTemplateBytes(bytes.data(), bytes.size(), tpl);
}

namespace {

bool EndsWithMfm(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".mfm";
}

void Scan(const std::string& folder, std::vector<TemplateListEntry>& out, int depth)
{
    std::error_code ec;
    std::vector<std::filesystem::directory_entry> found;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        found.push_back(*it);
    // Listing order of the file system is arbitrary; names give a stable one.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
    for (const auto& e : found) {
        const std::string name = e.path().filename().string();
        if (e.is_directory(ec) && !e.is_symlink(ec)) {
            if (!name.empty() && name[0] != '.' && depth < 16)
                Scan(folder + name + "/", out, depth + 1);
        } else if (EndsWithMfm(name)) {
            TemplateListEntry entry;
            if (ReadTemplateHeader(folder + name, &entry))
                out.push_back(std::move(entry));
        }
    }
}

} // namespace

std::vector<TemplateListEntry> ScanTemplateFolder(const std::string& folder)
{
    std::vector<TemplateListEntry> out;
    Scan(folder.empty() || folder.back() == '/' ? folder : folder + "/", out, 0);
    return out;
}

} // namespace collage
