#include "platform/afx/IpcWire.h"

#include <cstring>

namespace qlafx::ipc {

namespace {

void put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void put64(std::string& out, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint64_t get(const unsigned char* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// Bounds-checked reading from a whole record.
class Reader {
public:
    Reader(const unsigned char* p, std::size_t n) : p_(p), n_(n) {}
    bool u32(std::uint32_t& v) { return take(4, [&](const unsigned char* q) { v = static_cast<std::uint32_t>(get(q, 4)); }); }
    bool u64(std::uint64_t& v) { return take(8, [&](const unsigned char* q) { v = get(q, 8); }); }
    bool text(std::string& s)
    {
        std::uint32_t len = 0;
        return u32(len) && take(len, [&](const unsigned char* q) { s.assign(reinterpret_cast<const char*>(q), len); });
    }
    bool magic(const char* m) { return take(4, [&](const unsigned char* q) { ok_ = std::memcmp(q, m, 4) == 0; }) && ok_; }
    bool atEnd() const { return pos_ == n_; }

private:
    template <typename F>
    bool take(std::size_t len, F f)
    {
        if (n_ - pos_ < len)
            return false;
        f(p_ + pos_);
        pos_ += len;
        return true;
    }
    const unsigned char* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
    bool ok_ = false;
};

} // namespace

std::string EncodeFrame(const Frame& frame)
{
    std::string out("QLMS", 4);
    put32(out, static_cast<std::uint32_t>(frame.kind));
    put32(out, frame.message);
    put64(out, frame.wParam);
    put64(out, frame.lParam);
    put64(out, frame.dwData);
    put32(out, static_cast<std::uint32_t>(frame.data.size()));
    out += frame.data;
    return out;
}

Parse DecodeFrame(const unsigned char* bytes, std::size_t size, Frame& out, std::size_t& consumed)
{
    consumed = 0;
    if (size >= 4 && std::memcmp(bytes, "QLMS", 4) != 0)
        return Parse::Bad;
    if (size < kFrameHeader)
        return Parse::NeedMore;
    const auto kind = static_cast<std::uint32_t>(get(bytes + 4, 4));
    const auto length = static_cast<std::uint32_t>(get(bytes + 36, 4));
    if (kind < 1 || kind > 3 || length > kMaxData)
        return Parse::Bad;
    if (size - kFrameHeader < length)
        return Parse::NeedMore;
    out.kind = static_cast<Kind>(kind);
    out.message = static_cast<std::uint32_t>(get(bytes + 8, 4));
    out.wParam = get(bytes + 12, 8);
    out.lParam = get(bytes + 20, 8);
    out.dwData = get(bytes + 28, 8);
    out.data.assign(reinterpret_cast<const char*>(bytes + kFrameHeader), length);
    consumed = kFrameHeader + length;
    return Parse::Ok;
}

std::string EncodeWindowInfo(const WindowInfo& info)
{
    std::string out("QLWI", 4);
    put32(out, 1);
    put64(out, info.handle);
    put32(out, static_cast<std::uint32_t>(info.className.size()));
    out += info.className;
    put32(out, static_cast<std::uint32_t>(info.title.size()));
    out += info.title;
    return out;
}

bool DecodeWindowInfo(const unsigned char* bytes, std::size_t size, WindowInfo& out)
{
    Reader r(bytes, size);
    std::uint32_t version = 0;
    WindowInfo info;
    if (!r.magic("QLWI") || !r.u32(version) || version != 1 || !r.u64(info.handle) || !r.text(info.className) ||
        !r.text(info.title) || !r.atEnd())
        return false;
    out = std::move(info);
    return true;
}

} // namespace qlafx::ipc
