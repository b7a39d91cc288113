// The photo list's texts and orders, and the file lists it hands out and
// takes in (CF_HDROP blocks), without a window.
#pragma once

#include "album/shell/PhotoEntry.h"
#include "album/shell/ThumbListModel.h"

#include <string>
#include <vector>

namespace shelf {

// "  1/60(s)", "  0.4(s)": the "1/n" form only when 1/n lies within 5 % of t.
std::string ShutterText(float seconds);
std::string SizeText(std::int64_t bytes);
std::string DateText(const SYSTEMTIME& t);
// F-number, exposure time, bias, flash and ISO, as the detail line shows them.
std::string ShootingText(const PhotoFileInfo& info);
// An entry with thumbnail pixels and any shooting value.
bool HasShootingValues(const PhotoEntry& entry);

PhotoEntry* EntryOf(const ThumbListItem& item);
// Folders first; then entries without a thumbnail; then names ignoring case.
bool NameOrderLess(const ThumbListItem& a, const ThumbListItem& b);
// Folders first by name; files by the time taken.
bool TimeOrderLess(const ThumbListItem& a, const ThumbListItem& b);

// A CF_HDROP block: the 20-byte header and the paths, each NUL-ended, and
// one more NUL.
std::string MakeDropBlock(const std::vector<std::string>& paths);
// The paths of a CF_HDROP block; a UTF-16 list is converted. False for a
// block that does not hold up or a wide list past 300,000 bytes.
bool ParseDropBlock(const void* block, std::size_t size, std::vector<std::string>& paths);
// Paths as one NUL-separated, double-NUL-ended list.
std::string JoinPathList(const std::vector<std::string>& paths);

} // namespace shelf
