// The HTML gallery's pictures in webexport/ of the program folder: the
// folder cell "folder.gif" and the photo pages' "prev.gif" and "next.gif".
#pragma once

#include <string>

// The number of files that could not be written.
int WriteWebExportPictures(const std::string& programFolder);
