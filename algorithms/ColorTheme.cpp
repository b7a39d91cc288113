#include "algorithms/ColorTheme.h"
#include "platform/win/FileReplace.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace {

constexpr std::size_t NameSize = 256;
constexpr std::size_t CountOffset = 256;

} // namespace

std::string ColorTheme::Name() const
{
    const std::size_t length = std::find(name, name + NameSize - 1, '\0') - name;
    return std::string(name, length);
}

void ColorTheme::Parse(const BYTE* data, std::size_t size)
{
    std::memset(name, 0, sizeof name);
    if (size > 0)
        std::memcpy(name, data, std::min(size, NameSize));
    const std::size_t declared = size > CountOffset ? data[CountOffset] : 0;
    const std::size_t whole = size > HeaderSize ? (size - HeaderSize) / ColorThemeStep::Size : 0;
    const std::size_t count = std::min(declared, whole);

    steps.assign(count, ColorThemeStep{});
    const BYTE* p = data + HeaderSize;
    for (std::size_t i = 0; i < count; ++i, p += ColorThemeStep::Size) {
        steps[i].type = p[0]; // bytes 1..3 are reserved
        std::memcpy(steps[i].payload, p + 4, ColorThemeStep::PayloadSize);
    }
    stepCount = static_cast<BYTE>(count);
}

bool ColorTheme::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    // Nothing past the largest theme can be read, so no more is taken in.
    std::vector<BYTE> bytes(MaxFileSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad())
        return false;
    Parse(bytes.data(), static_cast<std::size_t>(in.gcount()));
    return true;
}

std::vector<BYTE> ColorTheme::Serialize() const
{
    const std::size_t count = std::min(steps.size(), MaxSteps);
    std::vector<BYTE> bytes(HeaderSize + count * ColorThemeStep::Size, 0);
    std::memcpy(bytes.data(), name, NameSize);
    bytes[CountOffset] = static_cast<BYTE>(count);
    BYTE* p = bytes.data() + HeaderSize;
    for (std::size_t i = 0; i < count; ++i, p += ColorThemeStep::Size) {
        p[0] = steps[i].type;
        std::memcpy(p + 4, steps[i].payload, ColorThemeStep::PayloadSize);
    }
    return bytes;
}

bool ColorTheme::Write(const std::string& path) const
{
    const std::vector<BYTE> bytes = Serialize();
    return qlwin::WriteReplacing(
        path, [&](int fd, const std::string&) { return qlwin::WriteAllTo(fd, bytes.data(), bytes.size()); });
}
