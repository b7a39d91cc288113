// Replacing a file's whole content safely: a temporary file beside it is
// written, synced and renamed over it, so readers see either the old file or
// the whole new one, and a failure leaves the old one as it was.
#pragma once

#include <string>
#include <string_view>

namespace qlwin {
// An existing file keeps its permissions; a new one gets newMode (less the umask).
bool ReplaceFileContents(const std::string& path, std::string_view content, unsigned newMode = 0666);
} // namespace qlwin
