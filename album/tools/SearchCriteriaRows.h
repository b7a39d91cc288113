// The Search Photo dialog's four criteria lists (General, Image Shape,
// Histograms and statistics, Advance) and their reading into a search.
#pragma once

#include "album/tools/BatchParam.h"
#include "album/tools/PhotoSearch.h"

#include <memory>
#include <string>
#include <vector>

namespace shelf {

// Where a search may start.
struct SearchScope {
    std::string currentFolder;            // empty when no folder is open
    std::string currentAlbum;             // the outermost parent of the current folder
    std::vector<std::string> albums;      // every album's path
};

class SearchCriteriaRows {
public:
    SearchCriteriaRows();

    // 1..4, as the tree items' data; empty for anything else.
    std::vector<EffectParam*> List(int number) const;
    // The row of that name in any list; null when none.
    EffectParam* Find(const char* name) const;

    // 0 when the criteria and starting folders were read; else the number
    // of the album's UI text that says what is wrong (66, 68 or 69).
    int Read(const SearchScope& scope, SearchCriteria& out, std::vector<std::string>& folders) const;

    // month/day/year separated by any of ":/- "; false when out of range.
    static bool ParseDate(const std::string& text, SearchDate& out);
    // Pieces of text between any of " ;|,"; empty ones dropped.
    static std::vector<std::string> SplitKeywords(const std::string& text);
    // The seconds of a "Speed (s)" item ("8", "0.66", "/250").
    static float SpeedSeconds(const std::string& item);

private:
    int Index(const char* name) const;
    int Number(const char* name) const;
    std::string Text(const char* name) const;

    std::vector<std::unique_ptr<EffectParam>> m_lists[4];
};

} // namespace shelf
