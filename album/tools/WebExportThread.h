// The HTML gallery export: index pages with the folder table, thumbnails,
// small images and a page per photo, under "Web/" in the destination.
#pragma once

#include "album/tools/WebExportSettings.h"

namespace shelf {

// WM_USER+304: wParam the percent done, then 200 once at the end.
inline constexpr unsigned kWebExportMessage = 0x0400 + 304;
inline constexpr unsigned kWebExportDone = 200;

// Runs the whole export on the calling thread; returns 0.
int WebExportThread(WebExportSettings& settings);

} // namespace shelf
