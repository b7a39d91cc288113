// The theme library: a tree of folders under the theme folder, each with
// the themes it holds.
#pragma once

#include "algorithms/ColorTheme.h"

#include <memory>
#include <string>
#include <vector>

class ColorThemeFolder {
public:
    std::string name;  // the folder's own name; empty for the root
    std::string path;  // ends in a slash
    std::vector<ColorTheme> themes;
    std::vector<std::unique_ptr<ColorThemeFolder>> children;
    ColorThemeFolder* parent = nullptr;

    // Rebuilds the node from the folder: sub-folders not starting with a
    // full stop, and every ".cth" file (any case) that loads, each in
    // case-blind name order. A folder already on the way (a link loop) is
    // not entered again.
    void Scan(const std::string& folder);
    // No theme and no sub-folder.
    bool Empty() const { return themes.empty() && children.empty(); }

private:
    // false when the folder is missing or was already entered.
    bool ScanOnce(const std::string& folder, std::vector<std::pair<unsigned long, unsigned long>>& seen);
};
