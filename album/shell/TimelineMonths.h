// The Timeline view's months: the date-album folders in name order, each
// with the year icon that alternates whenever the year changes.
#pragma once

#include <string>
#include <vector>

namespace shelf {

struct TimelineMonth {
    std::string name;  // the folder's name, e.g. "Y2005-M01"
    int image = 2;     // 2 or 3 in the pane's image list
};

// The directories of folder whose names begin with a digit or 'Y', sorted
// by byte comparison.
std::vector<TimelineMonth> ListTimelineMonths(const std::string& folder);
// Sorts names and gives the icons; the first year gets image 2.
std::vector<TimelineMonth> OrderTimelineMonths(std::vector<std::string> names);

} // namespace shelf
