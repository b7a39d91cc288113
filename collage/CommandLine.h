// What QuilloCollage was asked to do by its arguments.
#pragma once

#include <string>
#include <vector>

namespace collage {

struct CollageStart {
    bool editMode = false;
    std::string photoPath; // empty: no photo
};

// args without the program name. The single argument "edit" is frame-edit
// mode; otherwise the first argument is a photo path, its surrounding
// double quotes dropped.
CollageStart ParseCollageArgs(const std::vector<std::string>& args);

} // namespace collage
