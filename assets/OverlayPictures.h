// The text overlay's button icons: no balloon (1537), the four balloon
// shapes (1538-1541), the four tails (1542-1545) and "place the text" (1263).
#pragma once

#include <string>

// Writes them under the resource folder; the number that could not be written.
int WriteOverlayPictures(const std::string& res);
