// The album window's faces (command bar, folder pane, Import Photos) in the
// skin folder, and the folder tree's image list, bitmap 132, in the album's
// resource tree (shelf/).
#pragma once

#include <string>

// The number of files that could not be written.
int WriteShelfWindowPictures(const std::string& res, const std::string& skin);
