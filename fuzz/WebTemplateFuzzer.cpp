// The HTML gallery's stored texts from one input: a page template (read
// from a file, filled and written) and a photo's side file.
#include "album/tools/HtmlTemplate.h"
#include "album/tools/WebExportText.h"
#include "fuzz/FuzzFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    shelf::HtmlTemplate page;
    if (page.Read(WriteFuzzFile(data, size).c_str())) {
        for (const auto& token : page.Tokens())
            if (token.first.size() > shelf::HtmlTemplate::kMaxName || token.first.find('$') != std::string::npos)
                std::abort();
        for (const auto& token : page.Tokens())
            page.SetValue(token.first.c_str(), "<v>");
        std::string out;
        if (!page.Render(out))
            std::abort();
    } else if (!page.Tokens().empty() || !page.Text().empty()) {
        std::abort();
    }

    shelf::SideFile side;
    const int bad = shelf::ParseSideFile(bytes, side);
    if (bad < 0)
        std::abort();
    for (const auto& [key, value] : side.pairs)
        if (key.size() > shelf::SideFile::kMaxKey || value.size() > shelf::SideFile::kMaxValue ||
            key.find('=') != std::string::npos || value.find('\n') != std::string::npos)
            std::abort();
    return 0;
}
