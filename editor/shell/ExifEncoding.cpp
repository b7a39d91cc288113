#include "editor/shell/ExifEncoding.h"
#include "platform/win/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>

namespace exifenc {

URational Unsigned(double x, DWORD den, bool round)
{
    const double a = std::fabs(x);
    if (!std::isfinite(a))
        return {0, 1};
    for (;;) {
        const double n = round ? std::floor(a * den + 0.5) : std::floor(a * den);
        if (n <= 4294967295.0)
            return {static_cast<DWORD>(n), den};
        if (den == 1)
            return {0xFFFFFFFFu, 1};
        den /= 10;
    }
}

SRational Signed(double x, LONG den, bool round)
{
    if (!std::isfinite(x))
        return {0, 1};
    for (;;) {
        const double n = round ? std::floor(x * den + 0.5) : std::trunc(x * den);
        if (n >= -2147483647.0 && n <= 2147483647.0)
            return {static_cast<LONG>(n), den};
        if (den == 1)
            return {x < 0 ? -2147483647 : 2147483647, 1};
        den /= 10;
    }
}

void Put16(BYTE* p, WORD v, bool bigEndian)
{
    p[bigEndian ? 0 : 1] = BYTE(v >> 8);
    p[bigEndian ? 1 : 0] = BYTE(v);
}

void Put32(BYTE* p, DWORD v, bool bigEndian)
{
    for (int i = 0; i < 4; ++i)
        p[bigEndian ? 3 - i : i] = BYTE(v >> (8 * i));
}

WORD Get16(const BYTE* p, bool bigEndian)
{
    return bigEndian ? WORD(p[0] << 8 | p[1]) : WORD(p[1] << 8 | p[0]);
}

DWORD Get32(const BYTE* p, bool bigEndian)
{
    DWORD v = 0;
    for (int i = 0; i < 4; ++i)
        v |= DWORD(p[bigEndian ? 3 - i : i]) << (8 * i);
    return v;
}

std::vector<BYTE> Bytes16(WORD v, bool bigEndian)
{
    std::vector<BYTE> b(2);
    Put16(b.data(), v, bigEndian);
    return b;
}

std::vector<BYTE> Bytes32(DWORD v, bool bigEndian)
{
    std::vector<BYTE> b(4);
    Put32(b.data(), v, bigEndian);
    return b;
}

std::vector<BYTE> BytesRational(DWORD num, DWORD den, bool bigEndian)
{
    std::vector<BYTE> b(8);
    Put32(b.data(), num, bigEndian);
    Put32(b.data() + 4, den, bigEndian);
    return b;
}

std::vector<BYTE> BytesText(const char* text)
{
    const std::size_t n = std::strlen(text);
    return std::vector<BYTE>(text, text + n + 1);
}

std::size_t IfdSize(const std::vector<IfdEntry>& entries)
{
    std::size_t size = 2 + 12 * entries.size() + 4;
    for (const IfdEntry& e : entries)
        if (e.data.size() > 4)
            size += (e.data.size() + 1) & ~std::size_t{1};
    return size;
}

std::vector<BYTE> LayoutIfd(std::vector<IfdEntry> entries, DWORD at, bool bigEndian)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const IfdEntry& a, const IfdEntry& b) { return a.tag < b.tag; });
    std::vector<BYTE> out(IfdSize(entries), 0);
    Put16(out.data(), WORD(entries.size()), bigEndian);
    std::size_t valuePos = 2 + 12 * entries.size() + 4;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IfdEntry& e = entries[i];
        BYTE* p = out.data() + 2 + 12 * i;
        Put16(p, e.tag, bigEndian);
        Put16(p + 2, e.type, bigEndian);
        Put32(p + 4, e.count, bigEndian);
        if (e.data.size() <= 4) {
            std::copy(e.data.begin(), e.data.end(), p + 8);
        } else {
            Put32(p + 8, DWORD(at + valuePos), bigEndian);
            std::copy(e.data.begin(), e.data.end(), out.begin() + valuePos);
            valuePos += (e.data.size() + 1) & ~std::size_t{1};
        }
    }
    return out;
}

bool ReadFile(const char* path, std::vector<BYTE>& bytes, std::size_t maxBytes)
{
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    bytes.clear();
    BYTE chunk[65536];
    std::size_t n;
    bool ok = true;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (bytes.size() + n > maxBytes) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (std::ferror(f))
        ok = false;
    std::fclose(f);
    return ok;
}

bool ReplaceFile(const char* path, const std::vector<BYTE>& bytes)
{
    return path && qlwin::WriteReplacing(
                       path, [&](int fd, const std::string&) { return qlwin::WriteAllTo(fd, bytes.data(), bytes.size()); });
}

} // namespace exifenc
