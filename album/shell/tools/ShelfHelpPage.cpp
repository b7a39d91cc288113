// Writes QuilloShelf's help page from its command table: every menu command
// with its accelerator.
//
//   shelf_helpgen <output file>
#include "album/shell/ShelfCommands.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string plain(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '&')
            out += c;
    return out;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1]);
    out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>QuilloShelf Help</title></head><body>\n"
        << "<h1>QuilloShelf</h1>\n<p>The commands of the album's menus.</p>\n"
        << "<table border=\"1\" cellpadding=\"4\"><tr><th>Menu</th><th>Command</th><th>Keys</th></tr>\n";
    for (const auto& command : shelf::ShelfCommands()) {
        const std::string text = plain(command.menuText);
        const std::size_t slash = text.find('/');
        const std::size_t tab = text.find('\t');
        const std::string menu = text.substr(0, slash);
        const std::string item = text.substr(slash + 1, tab == std::string::npos ? std::string::npos : tab - slash - 1);
        const std::string keys = tab == std::string::npos ? "" : text.substr(tab + 1);
        out << "<tr><td>" << escaped(menu == "_LIST_ITEM_" ? "Photo list" : menu == "_TREE_ITEM_" ? "Folder tree" : menu)
            << "</td><td>" << escaped(item) << "</td><td>" << escaped(keys) << "</td></tr>\n";
    }
    out << "</table>\n</body></html>\n";
    return out ? 0 : 1;
}
