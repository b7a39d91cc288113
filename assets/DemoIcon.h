// The demos' program icon (resource 128): a framed photo of a hill under a sun.
#pragma once

#include <string>

// Writes demo/icon/128.png under the resource folder; the number of files
// that could not be written.
int WriteDemoIcon(const std::string& res);
