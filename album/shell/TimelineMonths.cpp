#include "album/shell/TimelineMonths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace shelf {

std::vector<TimelineMonth> OrderTimelineMonths(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    std::vector<TimelineMonth> months;
    months.reserve(names.size());
    std::string year;
    int image = 3;
    for (std::string& name : names) {
        const std::string thisYear = name.substr(0, 5);
        if (months.empty() || thisYear != year)
            image = image == 2 ? 3 : 2;
        year = thisYear;
        months.push_back({std::move(name), image});
    }
    return months;
}

std::vector<TimelineMonth> ListTimelineMonths(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError))
            continue;
        std::string name = it->path().filename().string();
        if (!name.empty() && (std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == 'Y'))
            names.push_back(std::move(name));
    }
    return OrderTimelineMonths(std::move(names));
}

} // namespace shelf
