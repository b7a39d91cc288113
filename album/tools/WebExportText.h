// The texts of the HTML gallery: names for the web, HTML and URL escaping,
// a photo's side file and its EXIF facts as the photo page shows them.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct ExifFields;

namespace shelf {

bool SameNoCase(std::string_view a, std::string_view b);

// Every byte below 0x20 or above 0x7E becomes two hexadecimal digits as
// "%2x" writes them (a blank before a single digit); other bytes stay.
std::string EscapeWebName(std::string_view name);
// Text for an HTML page: & < > " ' as entities.
std::string HtmlText(std::string_view text);
// One path component for an href or src: every byte but letters, digits
// and "-._~" as %XX.
std::string UrlName(std::string_view name);
// The name up to its first "." (the whole name when it has none).
std::string CutAtDot(const std::string& name);

// The lines "key=value" of "<photo>.txt".
struct SideFile {
    static constexpr std::size_t kMaxKey = 64;
    static constexpr std::size_t kMaxValue = 1000;
    std::vector<std::pair<std::string, std::string>> pairs;
    // The first value of that key (letter case ignored), "" when none.
    std::string Value(std::string_view key) const;
};
// 0 when read whole, else the number (from 1) of the first bad line; the
// pairs before it are kept. A missing file reads as empty.
int ReadSideFile(const std::string& path, SideFile& side);
int ParseSideFile(std::string_view text, SideFile& side);

// The photo page's EXIF facts; "" where the record has none.
std::string ApertureText(const ExifFields& exif);
std::string ShutterText(const ExifFields& exif);
std::string IsoText(const ExifFields& exif);
std::string EvText(const ExifFields& exif);
std::string TimeText(const ExifFields& exif);

} // namespace shelf
