// Writes the editor's help page: every menu of the editor with its commands,
// as the menus themselves name them. Run by the build.
#include "platform/afx/ResourceTables.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string Escaped(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '&':
            // A doubled ampersand is one; a single one marks the access key.
            if (p[1] == '&')
                out += "&amp;", ++p;
            break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\t': out += " &mdash; "; break;
        default: out += *p;
        }
    }
    return out;
}

void WriteItems(std::ofstream& out, const std::vector<qlafx::MenuItem>& items)
{
    out << "<ul>\n";
    for (const qlafx::MenuItem& item : items) {
        if (!item.text)
            continue;
        out << "<li>" << Escaped(item.text);
        if (!item.items.empty())
            WriteItems(out, item.items);
        out << "</li>\n";
    }
    out << "</ul>\n";
}

void WriteMenu(std::ofstream& out, UINT id, const char* heading)
{
    const qlafx::MenuTable* menu = qlafx::FindMenu(id);
    if (!menu)
        return;
    out << "<h2>" << heading << "</h2>\n";
    for (const qlafx::MenuItem& popup : menu->items) {
        out << "<h3>" << Escaped(popup.text ? popup.text : "") << "</h3>\n";
        WriteItems(out, popup.items);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <page.html> [section.html...]\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Quillo Editor Help</title>\n"
           "<style>body{font-family:sans-serif;max-width:50em;margin:2em auto}h3{margin-bottom:0}</style>"
           "</head><body>\n<h1>Quillo Editor</h1>\n"
           "<p>Open a photo with File &gt; Open File, by dragging it onto the window or by double-clicking "
           "the empty window. PgDown and PgUp go to the next and the previous photo of its folder.</p>\n";
    WriteMenu(out, 128, "Menus while a photo is open");
    WriteMenu(out, 234, "Menus while no photo is open");
    WriteMenu(out, 139, "The photo's context menu");
    // Sections written by hand, for the tools that need more than a menu line.
    for (int i = 2; i < argc; ++i) {
        std::ifstream section(argv[i], std::ios::binary);
        if (!section) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        out << section.rdbuf();
    }
    out << "</body></html>\n";
    out.close();
    return out ? 0 : 1;
}
