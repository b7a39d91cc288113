// The readers of the shared MIME database's globs2 and of mimeapps.list.
#include "glance/XdgAssoc.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    volatile std::size_t sink = glance::MimeTypeInGlobs(text, "jpg").size();
    glance::MimeAppsList list;
    list.Parse(text);
    sink = list.Get("Default Applications", "image/jpeg").size();
    list.Set("Default Applications", "image/jpeg", glance::kDesktopEntry);
    list.Remove("Added Associations", "image/png");
    sink = list.Text().size();
    (void)sink;
    return 0;
}
