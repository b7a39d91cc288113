#include "platform/raw/RawParser.h"

#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"
#include "platform/raw/RawDevelop.h"
#include "platform/raw/RawInternal.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>

namespace {

// The shooting data of the last loaded file, kept for AddExif after Close.
struct ShootingData {
    char make[64] = {};
    char model[64] = {};
    WORD flash = 0;
    WORD iso = 0;
    float exposure = 0;
    float fNumber = 0;
    float focalLength = 0;
    char dateTime[20] = {};
};

// Loaded data belong to the library: one state for the whole process.
struct LibraryState {
    std::mutex mutex;
    std::unique_ptr<LibRaw> raw;
    bool loaded = false;
    bool processed = false;
    bool mosaic = false;
    // The white-balance choice of the load: Step 2 develops on a new object.
    int autoBalance = 0;
    ShootingData shot;
};

LibraryState& State()
{
    static LibraryState state;
    return state;
}

LibRaw& Raw(LibraryState& s)
{
    if (!s.raw)
        s.raw = std::make_unique<LibRaw>();
    return *s.raw;
}

void Forget(LibraryState& s)
{
    if (s.raw)
        s.raw->recycle();
    s.loaded = s.processed = s.mosaic = false;
}

// The stages of dcraw_process, RAW2_IMAGE to STRETCH, as a percentage.
int StagePercent(LibRaw_progress stage)
{
    int bit = 0;
    while (bit < 31 && !(static_cast<unsigned>(stage) & (1u << bit)))
        ++bit;
    return bit < 4 ? 0 : bit > 19 ? 99 : (bit - 4) * 99 / 15;
}

int Progress(void* data, LibRaw_progress stage, int, int)
{
    if (auto callback = reinterpret_cast<CRawParser::ProgressCallback>(data))
        callback(1, static_cast<UINT>(StagePercent(stage)));
    return 0;
}

int Process(LibraryState& s, int quality, int autoBalance, CRawParser::ProgressCallback callback)
{
    LibRaw& raw = Raw(s);
    rawlib::SetDevelopParams(raw, quality, autoBalance != 0, false);
    raw.set_progress_handler(callback ? Progress : nullptr, reinterpret_cast<void*>(callback));
    const int err = raw.dcraw_process();
    raw.set_progress_handler(nullptr, nullptr);
    s.processed = err == LIBRAW_SUCCESS;
    return s.processed ? 1 : 0;
}

} // namespace

CRawParser::CRawParser() = default;

CRawParser::~CRawParser() = default;

void CRawParser::Start()
{
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    Raw(s);
}

void CRawParser::Stop()
{
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    Forget(s);
}

void CRawParser::SetAutoBalance(int automatic)
{
    m_nWhiteBalance = automatic;
}

int CRawParser::LoadCCDDataOnly(const char* path, C16BitBitmap*)
{
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    try {
        Forget(s);
        LibRaw& raw = Raw(s);
        int flash = 0;
        if (!rawlib::OpenChecked(raw, path, &flash) || raw.unpack() != LIBRAW_SUCCESS) {
            Forget(s);
            return 0;
        }
        s.loaded = true;
        s.mosaic = rawlib::IsMosaic(raw);
        s.autoBalance = m_nWhiteBalance;
        ShootingData& d = s.shot;
        d = ShootingData{};
        std::snprintf(d.make, sizeof d.make, "%s", raw.imgdata.idata.make);
        std::snprintf(d.model, sizeof d.model, "%s", raw.imgdata.idata.model);
        const libraw_imgother_t& o = raw.imgdata.other;
        d.flash = static_cast<WORD>(flash);
        d.iso = static_cast<WORD>(std::lround(std::clamp(o.iso_speed, 0.0f, 65535.0f)));
        d.exposure = o.shutter;
        d.fNumber = o.aperture;
        d.focalLength = o.focal_len;
        if (o.timestamp > 0) {
            std::tm t{};
            const time_t stamp = o.timestamp;
            if (localtime_r(&stamp, &t))
                std::strftime(d.dateTime, sizeof d.dateTime, "%Y:%m:%d %H:%M:%S", &t);
        }
        CopyShootingData();
        m_nThreeColor = s.mosaic && raw.imgdata.idata.colors == 3 ? 1 : 0;
        return s.mosaic ? 1 : 2;
    } catch (...) {
        Forget(s);
        return 0;
    }
}

void CRawParser::CopyShootingData()
{
    const ShootingData& d = State().shot;
    std::memcpy(m_szMake, d.make, sizeof m_szMake);
    std::memcpy(m_szModel, d.model, sizeof m_szModel);
    m_wFlash = d.flash;
    m_wISO = d.iso;
    m_fExposure = d.exposure;
    m_fFNumber = d.fNumber;
    m_fFocalLength = d.focalLength;
    std::memcpy(m_szDateTime, d.dateTime, sizeof m_szDateTime);
}

int CRawParser::Interpolate(int method)
{
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.loaded)
        return 0;
    try {
        const int ok = Process(s, method, s.autoBalance, m_callback);
        if (ok && m_callback)
            m_callback(1, 100);
        return ok;
    } catch (...) {
        s.processed = false;
        return 0;
    }
}

int CRawParser::FinalConvert()
{
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.loaded)
        return 0;
    if (s.processed)
        return 1; // Interpolate's development converted the colours already
    try {
        return Process(s, 3, s.autoBalance, nullptr);
    } catch (...) {
        return 0;
    }
}

int CRawParser::ImageToBitmap(C16BitBitmap* bitmap)
{
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    if (!bitmap || !s.processed)
        return 0;
    try {
        return rawlib::CopyDeveloped(Raw(s), *bitmap) ? 1 : 0;
    } catch (...) {
        bitmap->Free();
        return 0;
    }
}

void CRawParser::UniformImage(C16BitBitmap* bitmap)
{
    if (bitmap)
        UniformRawImage(*bitmap);
}

void CRawParser::Close()
{
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    Forget(s);
}

void CRawParser::SetCallback(ProgressCallback callback)
{
    m_callback = callback;
}

int CRawParser::LoadThumbnail(const char* path, CQLImage* out)
{
    if (!out)
        return 4;
    return LoadRawThumbnail(path, *out);
}

int CRawParser::AddExifToJpeg(const char* path)
{
    return AddExif(path);
}

int CRawParser::AddExifToTiff(const char* path)
{
    return AddExif(path);
}

int CRawParser::AddExif(const char* path)
{
    ShootingData d;
    {
        LibraryState& s = State();
        std::lock_guard lock(s.mutex);
        d = s.shot;
    }
    if (!path || !d.make[0])
        return 0;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        if (!image.get())
            return 0;
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        exif["Exif.Image.Make"] = std::string(d.make);
        exif["Exif.Image.Model"] = std::string(d.model);
        if (d.dateTime[0]) {
            exif["Exif.Image.DateTime"] = std::string(d.dateTime);
            exif["Exif.Photo.DateTimeOriginal"] = std::string(d.dateTime);
        }
        if (d.exposure > 0)
            exif["Exif.Photo.ExposureTime"] = Exiv2::floatToRationalCast(d.exposure);
        if (d.fNumber > 0)
            exif["Exif.Photo.FNumber"] = Exiv2::floatToRationalCast(d.fNumber);
        if (d.focalLength > 0)
            exif["Exif.Photo.FocalLength"] = Exiv2::floatToRationalCast(d.focalLength);
        if (d.iso > 0)
            exif["Exif.Photo.ISOSpeedRatings"] = static_cast<uint16_t>(d.iso);
        exif["Exif.Photo.Flash"] = static_cast<uint16_t>(d.flash);
        image->writeMetadata();
        return 1;
    } catch (...) {
        return 0;
    }
}
