#include "platform/twain/SaneDevice.h"

#include "imagecore/ImageLimits.h"
#include "platform/win/WinTypes.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace qltwain {

namespace {

template <typename F>
bool Resolve(void* lib, const char* name, F* fn)
{
    *fn = reinterpret_cast<F>(dlsym(lib, name));
    return *fn != nullptr;
}

// A page larger than any picture the suite reads is refused, not allocated.
constexpr std::uint64_t kMaxPixels = imagecore::kPixelCap;
constexpr std::size_t kReadChunk = 64 * 1024;

// The high byte of a host-order 16-bit sample.
inline std::uint8_t High(const std::uint8_t* s)
{
    std::uint16_t v;
    std::memcpy(&v, s, 2);
    return static_cast<std::uint8_t>(v >> 8);
}

// One sample of a one-channel line: 16-bit gives its high byte, 1-bit is
// black where the bit is set.
inline std::uint8_t Sample(const std::uint8_t* src, int x, int depth)
{
    return depth == 16 ? High(src + x * 2) : depth == 8 ? src[x] : ((src[x >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255);
}

// An RGB or grey line into packed R, G, B.
void LineToRgb(const SANE_Parameters& p, const std::uint8_t* src, std::uint8_t* dst)
{
    const int w = p.pixels_per_line;
    if (p.format == SANE_FRAME_RGB) {
        if (p.depth == 8)
            std::memcpy(dst, src, std::size_t(w) * 3);
        else
            for (int i = 0; i < w * 3; ++i)
                dst[i] = High(src + i * 2);
        return;
    }
    for (int x = 0; x < w; ++x)
        dst[x * 3] = dst[x * 3 + 1] = dst[x * 3 + 2] = Sample(src, x, p.depth);
}

void RgbToBgr(const std::uint8_t* src, std::uint8_t* dst, int width)
{
    for (int x = 0; x < width; ++x) {
        dst[x * 3] = src[x * 3 + 2];
        dst[x * 3 + 1] = src[x * 3 + 1];
        dst[x * 3 + 2] = src[x * 3];
    }
}

std::size_t DibStride(int width) { return (std::size_t(width) * 3 + 3) & ~std::size_t(3); }

// A zeroed 24-bit bottom-up DIB with its header; NULL when it cannot be had.
HGLOBAL NewDib(int width, int height, int dpi)
{
    const std::size_t stride = DibStride(width);
    HGLOBAL block = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + stride * std::size_t(height));
    auto* out = static_cast<std::uint8_t*>(GlobalLock(block));
    if (!out)
        return nullptr;
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = 0;
    h.biSizeImage = static_cast<DWORD>(stride * std::size_t(height));
    h.biXPelsPerMeter = h.biYPelsPerMeter = static_cast<LONG>(dpi * 10000 / 254);
    std::memcpy(out, &h, sizeof h);
    GlobalUnlock(block);
    return block;
}

// A frame's parameters are ones we can read, and its line holds its pixels.
bool FrameUsable(const SANE_Parameters& p)
{
    if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0 || (p.depth != 1 && p.depth != 8 && p.depth != 16))
        return false;
    const bool rgb = p.format == SANE_FRAME_RGB;
    if (rgb && p.depth == 1)
        return false;
    if (p.format < SANE_FRAME_GRAY || p.format > SANE_FRAME_BLUE)
        return false;
    const std::uint64_t needBits = std::uint64_t(p.pixels_per_line) * (rgb ? 3 : 1) * p.depth;
    return std::uint64_t(p.bytes_per_line) * 8 >= needBits;
}

} // namespace

bool SaneApi::Load(const char* library)
{
    // libsane keeps global state: it is loaded once and never unloaded.
    void* lib = dlopen(library, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!lib)
        return false;
    const bool ok = Resolve(lib, "sane_init", &init) && Resolve(lib, "sane_exit", &exit) &&
                    Resolve(lib, "sane_get_devices", &get_devices) && Resolve(lib, "sane_open", &open) &&
                    Resolve(lib, "sane_close", &close) &&
                    Resolve(lib, "sane_get_option_descriptor", &get_option_descriptor) &&
                    Resolve(lib, "sane_control_option", &control_option) &&
                    Resolve(lib, "sane_get_parameters", &get_parameters) && Resolve(lib, "sane_start", &start) &&
                    Resolve(lib, "sane_read", &read) && Resolve(lib, "sane_cancel", &cancel) &&
                    Resolve(lib, "sane_strstatus", &strstatus);
    if (!ok)
        *this = SaneApi{};
    return ok;
}

// ---- frames into a bitmap -------------------------------------------------------

bool DibAssembler::AddFrame(const SANE_Parameters& p, const std::uint8_t* data, std::size_t size)
{
    if (!FrameUsable(p))
        return false;
    // The data decides the height: a hand scanner does not know it first.
    const std::size_t lines = size / std::size_t(p.bytes_per_line);
    if (lines == 0 || std::uint64_t(lines) * std::uint64_t(p.pixels_per_line) > kMaxPixels)
        return false;
    const int plane = p.format == SANE_FRAME_RED ? 0 : p.format == SANE_FRAME_GREEN ? 1 : p.format == SANE_FRAME_BLUE ? 2 : -1;
    if (m_width == 0) {
        m_width = p.pixels_per_line;
        m_height = static_cast<int>(lines);
        m_rgb.assign(std::size_t(m_width) * m_height * 3, 0);
    } else if (m_width != p.pixels_per_line) {
        return false;
    }
    const int rows = std::min<int>(m_height, static_cast<int>(lines));
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* src = data + std::size_t(y) * p.bytes_per_line;
        std::uint8_t* dst = m_rgb.data() + std::size_t(y) * m_width * 3;
        if (plane < 0)
            LineToRgb(p, src, dst);
        else
            for (int x = 0; x < m_width; ++x)
                dst[x * 3 + plane] = Sample(src, x, p.depth);
    }
    if (plane >= 0)
        m_have[plane] = true;
    else
        m_have[0] = m_have[1] = m_have[2] = true;
    return true;
}

HGLOBAL DibAssembler::Finish(int dpi)
{
    if (m_width == 0 || !m_have[0] || !m_have[1] || !m_have[2])
        return nullptr;
    HGLOBAL block = NewDib(m_width, m_height, dpi);
    auto* out = static_cast<std::uint8_t*>(GlobalLock(block));
    if (!out)
        return nullptr;
    const std::size_t stride = DibStride(m_width);
    std::uint8_t* pixels = out + sizeof(BITMAPINFOHEADER);
    for (int y = 0; y < m_height; ++y)
        RgbToBgr(m_rgb.data() + std::size_t(y) * m_width * 3, pixels + std::size_t(m_height - 1 - y) * stride,
                 m_width);
    GlobalUnlock(block);
    std::vector<std::uint8_t>().swap(m_rgb);
    return block;
}

// ---- the device ------------------------------------------------------------------

SANE_Status SaneDevice::Open(const std::string& name)
{
    Close();
    SANE_Handle handle = nullptr;
    const SANE_Status status = m_api.open(name.c_str(), &handle);
    if (status == SANE_STATUS_GOOD)
        m_handle = handle;
    return status;
}

void SaneDevice::EndScan()
{
    if (m_handle)
        m_api.cancel(m_handle);
}

void SaneDevice::Close()
{
    if (m_handle)
        m_api.close(m_handle);
    m_handle = nullptr;
}

int SaneDevice::FindOption(const char* name) const
{
    if (!m_handle)
        return -1;
    for (int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = m_api.get_option_descriptor(m_handle, i);
        if (!d)
            return -1;
        if (d->name && std::strcmp(d->name, name) == 0)
            return SANE_OPTION_IS_ACTIVE(d->cap) ? i : -1;
    }
}

std::vector<std::string> SaneDevice::StringChoices(const char* option) const
{
    std::vector<std::string> out;
    const int i = FindOption(option);
    if (i < 0)
        return out;
    const SANE_Option_Descriptor* d = m_api.get_option_descriptor(m_handle, i);
    if (d->type == SANE_TYPE_STRING && d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
        for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s)
            out.emplace_back(*s);
    return out;
}

std::string SaneDevice::GetString(const char* option) const
{
    const int i = FindOption(option);
    if (i < 0)
        return {};
    const SANE_Option_Descriptor* d = m_api.get_option_descriptor(m_handle, i);
    if (d->type != SANE_TYPE_STRING || d->size <= 0)
        return {};
    std::vector<char> value(std::size_t(d->size) + 1, 0);
    if (m_api.control_option(m_handle, i, SANE_ACTION_GET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD)
        return {};
    return value.data();
}

SANE_Status SaneDevice::SetString(const char* option, const std::string& value)
{
    const int i = FindOption(option);
    if (i < 0)
        return SANE_STATUS_UNSUPPORTED;
    const SANE_Option_Descriptor* d = m_api.get_option_descriptor(m_handle, i);
    if (d->type != SANE_TYPE_STRING || value.size() >= std::size_t(std::max(d->size, 0)))
        return SANE_STATUS_INVAL;
    std::vector<char> buffer(std::size_t(d->size), 0);
    std::memcpy(buffer.data(), value.data(), value.size());
    return m_api.control_option(m_handle, i, SANE_ACTION_SET_VALUE, buffer.data(), nullptr);
}

int SaneDevice::GetResolution() const
{
    const int i = FindOption(SANE_NAME_SCAN_RESOLUTION);
    if (i < 0)
        return 0;
    const SANE_Option_Descriptor* d = m_api.get_option_descriptor(m_handle, i);
    if ((d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size < SANE_Int(sizeof(SANE_Word)))
        return 0;
    std::vector<SANE_Word> value(std::size_t(d->size) / sizeof(SANE_Word), 0);
    if (m_api.control_option(m_handle, i, SANE_ACTION_GET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD)
        return 0;
    return d->type == SANE_TYPE_FIXED ? static_cast<int>(SANE_UNFIX(value[0]) + 0.5) : value[0];
}

std::vector<int> SaneDevice::ResolutionChoices() const
{
    std::vector<int> out;
    const int i = FindOption(SANE_NAME_SCAN_RESOLUTION);
    if (i < 0)
        return out;
    const SANE_Option_Descriptor* d = m_api.get_option_descriptor(m_handle, i);
    const bool fixed = d->type == SANE_TYPE_FIXED;
    auto dpi = [fixed](SANE_Word w) { return fixed ? static_cast<int>(SANE_UNFIX(w) + 0.5) : w; };
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
        const SANE_Word* list = d->constraint.word_list;
        for (SANE_Word n = 1; list && n <= list[0]; ++n)
            out.push_back(dpi(list[n]));
    } else if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
        const int lo = dpi(d->constraint.range->min), hi = dpi(d->constraint.range->max);
        for (int v : {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400})
            if (v >= lo && v <= hi)
                out.push_back(v);
    }
    const int current = GetResolution();
    if (current > 0 && std::find(out.begin(), out.end(), current) == out.end()) {
        out.push_back(current);
        std::sort(out.begin(), out.end());
    }
    return out;
}

SANE_Status SaneDevice::SetResolution(int dpi)
{
    const int i = FindOption(SANE_NAME_SCAN_RESOLUTION);
    if (i < 0)
        return SANE_STATUS_UNSUPPORTED;
    const SANE_Option_Descriptor* d = m_api.get_option_descriptor(m_handle, i);
    if ((d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size < SANE_Int(sizeof(SANE_Word)))
        return SANE_STATUS_INVAL;
    std::vector<SANE_Word> value(std::size_t(d->size) / sizeof(SANE_Word),
                                 d->type == SANE_TYPE_FIXED ? SANE_FIX(dpi) : dpi);
    return m_api.control_option(m_handle, i, SANE_ACTION_SET_VALUE, value.data(), nullptr);
}

SANE_Status SaneDevice::ReadFrame(const std::atomic<bool>& cancel, SANE_Parameters* params,
                                  std::vector<std::uint8_t>* data,
                                  const std::function<void(std::size_t, std::size_t)>& progress)
{
    SANE_Status status = SANE_STATUS_GOOD;
    if (params->bytes_per_line <= 0)
        return SANE_STATUS_INVAL;
    const std::size_t expected =
        params->lines > 0 ? std::size_t(params->bytes_per_line) * std::size_t(params->lines) : 0;
    const std::size_t limit = std::size_t(kMaxPixels) * 6; // 16-bit RGB at the pixel cap
    data->clear();
    data->resize(expected ? expected : std::size_t(1) << 20);
    std::size_t have = 0;
    for (;;) {
        if (cancel.load()) {
            m_api.cancel(m_handle);
            return SANE_STATUS_CANCELLED;
        }
        if (have == data->size()) {
            // Unknown height, or a device that sends more than it said.
            if (data->size() >= limit)
                return SANE_STATUS_NO_MEM;
            data->resize(std::min(limit, data->size() * 2));
        }
        // Backends may touch the whole buffer they are given on every call:
        // ask for as much as a pipe holds.
        const SANE_Int want = static_cast<SANE_Int>(std::min<std::size_t>(data->size() - have, kReadChunk));
        SANE_Int got = 0;
        status = m_api.read(m_handle, data->data() + have, want, &got);
        if (status == SANE_STATUS_EOF)
            break;
        if (status != SANE_STATUS_GOOD)
            return status;
        have += std::size_t(std::max(got, 0));
        if (progress)
            progress(have, expected);
    }
    data->resize(have);
    return SANE_STATUS_GOOD;
}

SANE_Status SaneDevice::StreamPage(const std::atomic<bool>& cancel, const SANE_Parameters& p, int dpi,
                                   SanePage* page, const std::function<void(std::size_t, std::size_t)>& progress)
{
    const int w = p.pixels_per_line, lines = p.lines;
    if (std::uint64_t(lines) * std::uint64_t(w) > kMaxPixels)
        return SANE_STATUS_NO_MEM;
    HGLOBAL block = NewDib(w, lines, dpi);
    auto* out = static_cast<std::uint8_t*>(GlobalLock(block));
    if (!out)
        return SANE_STATUS_NO_MEM;
    std::uint8_t* pixels = out + sizeof(BITMAPINFOHEADER);
    const std::size_t stride = DibStride(w), bpl = std::size_t(p.bytes_per_line);
    const std::size_t expected = bpl * std::size_t(lines);
    std::vector<std::uint8_t> chunk(std::max(kReadChunk, bpl * 2)), rgb(std::size_t(w) * 3);
    std::size_t have = 0, total = 0;
    int y = 0;
    SANE_Status status = SANE_STATUS_GOOD;
    for (;;) {
        if (cancel.load()) {
            status = SANE_STATUS_CANCELLED;
            break;
        }
        SANE_Int got = 0;
        status = m_api.read(m_handle, chunk.data() + have, static_cast<SANE_Int>(chunk.size() - have), &got);
        if (status == SANE_STATUS_EOF) {
            status = SANE_STATUS_GOOD;
            break;
        }
        if (status != SANE_STATUS_GOOD)
            break;
        have += std::size_t(std::max(got, 0));
        total += std::size_t(std::max(got, 0));
        if (progress)
            progress(total, expected);
        std::size_t used = 0;
        for (; have - used >= bpl; used += bpl) {
            // Lines past the promised height are dropped.
            if (y < lines) {
                LineToRgb(p, chunk.data() + used, rgb.data());
                RgbToBgr(rgb.data(), pixels + std::size_t(lines - 1 - y) * stride, w);
                ++y;
            }
        }
        std::memmove(chunk.data(), chunk.data() + used, have - used);
        have -= used;
    }
    if (status == SANE_STATUS_GOOD && y == 0)
        status = SANE_STATUS_INVAL;
    if (status != SANE_STATUS_GOOD) {
        GlobalUnlock(block);
        GlobalFree(block);
        return status;
    }
    if (y < lines) {
        // A short page: its rows move down to the start, the header shrinks.
        std::memmove(pixels, pixels + std::size_t(lines - y) * stride, std::size_t(y) * stride);
        BITMAPINFOHEADER h;
        std::memcpy(&h, out, sizeof h);
        h.biHeight = y;
        h.biSizeImage = static_cast<DWORD>(stride * std::size_t(y));
        std::memcpy(out, &h, sizeof h);
    }
    GlobalUnlock(block);
    page->dib = block;
    page->width = w;
    page->height = y;
    return SANE_STATUS_GOOD;
}

SanePage SaneDevice::ReadPage(const std::atomic<bool>& cancel,
                              const std::function<void(std::size_t, std::size_t)>& progress)
{
    SanePage page;
    if (!m_handle) {
        page.status = SANE_STATUS_INVAL;
        return page;
    }
    const int dpi = GetResolution();
    DibAssembler dib;
    std::vector<std::uint8_t> data;
    for (int frame = 0; frame < 3; ++frame) {
        page.status = m_api.start(m_handle);
        if (page.status != SANE_STATUS_GOOD)
            break;
        SANE_Parameters params{};
        page.status = m_api.get_parameters(m_handle, &params);
        if (page.status != SANE_STATUS_GOOD)
            break;
        // A one-frame page of known height goes straight into its bitmap.
        if (frame == 0 && params.last_frame && params.lines > 0 && params.format <= SANE_FRAME_RGB &&
            FrameUsable(params)) {
            page.status = StreamPage(cancel, params, dpi, &page, progress);
            if (page.status != SANE_STATUS_GOOD)
                m_api.cancel(m_handle);
            return page;
        }
        page.status = ReadFrame(cancel, &params, &data, progress);
        if (page.status != SANE_STATUS_GOOD)
            break;
        if (!dib.AddFrame(params, data.data(), data.size())) {
            page.status = SANE_STATUS_INVAL;
            break;
        }
        if (params.last_frame)
            break;
    }
    // A failed page ends the batch on the device's side; a good one leaves
    // the feeder ready for the next.
    if (page.status != SANE_STATUS_GOOD) {
        m_api.cancel(m_handle);
        return page;
    }
    page.width = dib.Width();
    page.height = dib.Height();
    page.dib = dib.Finish(dpi);
    if (!page.dib)
        page.status = SANE_STATUS_NO_MEM;
    return page;
}

} // namespace qltwain
