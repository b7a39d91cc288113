// The reader of the XDG user-dirs file behind the shell folders.
#include "platform/win/ShellFolders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"XDG_PICTURES_DIR", "XDG_DOCUMENTS_DIR", "XDG_DESKTOP_DIR"}) {
        volatile std::size_t sink = qlwin::UserDirFromConfig(text, key, "/home/u").size();
        (void)sink;
    }
    return 0;
}
