#include "editor/retouch/TextSettings.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace {

constexpr size_t kDataOffset = 96;
constexpr int32_t kDataLength = 100;

int32_t ReadInt(const BYTE* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void WriteInt(BYTE* p, int32_t value)
{
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}

bool InRange(int32_t v, int32_t lo, int32_t hi)
{
    return v >= lo && v <= hi;
}

}  // namespace

BOOL ParseTextSettings(const BYTE* data, size_t size, TextSettings* settings)
{
    if (!data || !settings || size < kTextSettingsFileSize || ReadInt(data + 92) != kDataLength)
        return FALSE;
    const BYTE* d = data + kDataOffset;
    if (!std::memchr(d, 0, 64))
        return FALSE;
    TextSettings s = *settings;
    const auto at = [data](size_t offset) { return ReadInt(data + offset); };
    s.layerMode = at(0);
    s.layerOpacity = at(4);
    OverlayEffects& e = s.effects;
    e.embossOn = at(8);
    e.emissionOn = at(12);
    e.shadowOn = at(16);
    std::memcpy(e.emissionColour, data + 20, 4);
    std::memcpy(e.shadowColour, data + 24, 4);
    e.embossBlur = at(28);
    e.embossDepth = at(32);
    e.embossOpacity = at(36);
    e.emissionBlur = at(40);
    e.emissionDepth = at(44);
    e.shadowBlur = at(48);
    e.shadowX = at(52);
    e.shadowY = at(56);
    std::memcpy(s.faceName, d, 64);
    s.italic = ReadInt(d + 64);
    s.underline = ReadInt(d + 68);
    s.bold = ReadInt(d + 72);
    std::memcpy(s.textColour, d + 76, 4);
    s.vertical = ReadInt(d + 80);
    s.alignment = ReadInt(d + 84);
    s.size = ReadInt(d + 88);

    const bool valid = InRange(s.layerMode, 0, 8) && InRange(s.layerOpacity, 0, 255) && InRange(e.embossOn, 0, 1) &&
                       InRange(e.emissionOn, 0, 1) && InRange(e.shadowOn, 0, 1) && InRange(e.embossBlur, 0, 32) &&
                       InRange(e.embossDepth, 1, 32) && InRange(e.embossOpacity, 0, 255) &&
                       InRange(e.emissionBlur, 0, 32) && InRange(e.emissionDepth, 1, 32) &&
                       InRange(e.shadowBlur, 0, 32) && InRange(e.shadowX, -64, 64) && InRange(e.shadowY, -64, 64) &&
                       InRange(s.italic, 0, 1) && InRange(s.underline, 0, 1) && InRange(s.bold, 0, 1) &&
                       InRange(s.vertical, 0, 1) && InRange(s.alignment, 0, 2) && InRange(s.size, 1, 200);
    if (!valid)
        return FALSE;
    *settings = s;
    return TRUE;
}

void FormatTextSettings(const TextSettings& s, BYTE out[kTextSettingsFileSize])
{
    std::memset(out, 0, kTextSettingsFileSize);
    const OverlayEffects& e = s.effects;
    const int32_t header[] = {s.layerMode,     s.layerOpacity,   e.embossOn,      e.emissionOn,   e.shadowOn};
    for (size_t i = 0; i < std::size(header); ++i)
        WriteInt(out + 4 * i, header[i]);
    std::memcpy(out + 20, e.emissionColour, 4);
    std::memcpy(out + 24, e.shadowColour, 4);
    const int32_t values[] = {e.embossBlur,   e.embossDepth, e.embossOpacity, e.emissionBlur,
                              e.emissionDepth, e.shadowBlur, e.shadowX,       e.shadowY};
    for (size_t i = 0; i < std::size(values); ++i)
        WriteInt(out + 28 + 4 * i, values[i]);
    WriteInt(out + 92, kDataLength);
    BYTE* d = out + kDataOffset;
    std::strncpy(reinterpret_cast<char*>(d), s.faceName, 63);
    WriteInt(d + 64, s.italic);
    WriteInt(d + 68, s.underline);
    WriteInt(d + 72, s.bold);
    std::memcpy(d + 76, s.textColour, 4);
    WriteInt(d + 80, s.vertical);
    WriteInt(d + 84, s.alignment);
    WriteInt(d + 88, s.size);
}

BOOL LoadTextSettings(const char* path, TextSettings* settings)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f)
        return FALSE;
    BYTE data[kTextSettingsFileSize];
    const size_t got = std::fread(data, 1, sizeof data, f);
    std::fclose(f);
    return ParseTextSettings(data, got, settings);
}

BOOL SaveTextSettings(const char* path, const TextSettings& settings)
{
    if (!path || !*path)
        return FALSE;
    BYTE data[kTextSettingsFileSize];
    FormatTextSettings(settings, data);
    const std::string temporary = std::string(path) + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        return FALSE;
    const bool written = std::fwrite(data, 1, sizeof data, f) == sizeof data;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path) != 0) {
        std::remove(temporary.c_str());
        return FALSE;
    }
    return TRUE;
}
