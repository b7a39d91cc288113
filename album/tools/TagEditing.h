// Tags of many photos at once: the tags they share, the rules for adding a
// tag, and writing the tags into every selected JPEG.
#pragma once

#include "album/shell/TagSet.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace shelf {

// The tags every JPEG of paths carries; other files are passed over, and an
// untagged or unreadable JPEG leaves none.
void CommonTags(const std::vector<std::string>& paths, CTagSet& common);

// 0 when tag joined the working tags (or was there already), else the text
// to show: 79 when the tags would pass 255 characters, 78 for a tag that is
// empty, holds a blank or is too long.
int AddWorkingTag(CTagSet& working, const char* tag);

struct TagWriteReport {
    std::vector<std::string> skipped; // left unchanged: tags would not parse or fit, EXIF unreadable
    std::vector<std::string> failed;  // the write failed
};

// Every JPEG of paths gains the working tags and loses the opening tags no
// longer among them; progress(percent) after each path.
TagWriteReport ApplyTags(const std::vector<std::string>& paths, const CTagSet& working, const CTagSet& opening,
                         const std::function<void(int)>& progress, const std::atomic<bool>* cancel = nullptr);

} // namespace shelf
