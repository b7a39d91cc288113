#include "album/tools/WebExportText.h"

#include "editor/shell/ExifInfo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace shelf {

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
} // namespace

bool SameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

std::string EscapeWebName(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%2x", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string HtmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UrlName(std::string_view name)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '.' || byte == '_' || byte == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string CutAtDot(const std::string& name) { return name.substr(0, name.find('.')); }

std::string SideFile::Value(std::string_view key) const
{
    for (const auto& pair : pairs)
        if (SameNoCase(pair.first, key))
            return pair.second;
    return {};
}

int ParseSideFile(std::string_view text, SideFile& side)
{
    side.pairs.clear();
    int lineNumber = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals > SideFile::kMaxKey ||
            line.size() - equals - 1 > SideFile::kMaxValue)
            return lineNumber;
        side.pairs.emplace_back(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
    }
    return 0;
}

int ReadSideFile(const std::string& path, SideFile& side)
{
    side.pairs.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseSideFile(text, side);
}

std::string ApertureText(const ExifFields& exif)
{
    const double f = exif.fNumber > 0 ? exif.fNumber : exif.aperture;
    if (!(f > 0))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "F%.2f", f);
    return text;
}

std::string ShutterText(const ExifFields& exif)
{
    const double t = exif.shutterSpeed != 0 ? exif.shutterSpeed : exif.exposureTime;
    if (!(t > 0))
        return {};
    char text[64];
    if (t >= 0.4)
        std::snprintf(text, sizeof text, "%.1fs", t);
    else
        std::snprintf(text, sizeof text, "1/%ds", static_cast<int>(std::min(1.0 / t + 0.5, 2.0e9)));
    return text;
}

std::string IsoText(const ExifFields& exif)
{
    const auto iso = static_cast<unsigned short>(exif.isoSpeed);
    if (iso == 0)
        return {};
    return "ISO" + std::to_string(iso);
}

std::string EvText(const ExifFields& exif)
{
    const double bias = exif.exposureBias;
    if (!(std::fabs(bias) > 0.0001))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%c%.2fEv", bias < 0 ? '-' : '+', std::min(std::fabs(bias), 1e9));
    return text;
}

std::string TimeText(const ExifFields& exif)
{
    char date[sizeof exif.dateTime + 1] = {};
    std::memcpy(date, exif.dateTime, strnlen(exif.dateTime, sizeof exif.dateTime));
    return ExifDateToSlashDate(date);
}

} // namespace shelf
