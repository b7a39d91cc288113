// File associations on the desktop's own mechanism: the viewer is the desktop
// entry "quillo-glance.desktop" (the file type "QuilloFile"); an extension's
// file type is the user's default application of its MIME type in
// $XDG_CONFIG_HOME/mimeapps.list; MIME types come from the shared MIME
// database's mime/globs2 files. Only the user's own files are written, each
// through a temporary file and a rename.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glance {

inline constexpr const char* kDesktopEntry = "quillo-glance.desktop";
inline constexpr const char* kExtensions[8] = {".jpg", ".jpeg", ".jpe", ".bmp", ".tif", ".tiff", ".png", ".tga"};

// The MIME type of a globs2 text for "*.ext" (ext without dot; highest
// weight wins), "" when it has none.
std::string MimeTypeInGlobs(std::string_view globs2, const std::string& ext);
// Through $XDG_DATA_HOME and $XDG_DATA_DIRS, first folder that knows it.
std::string MimeTypeOfExtension(const std::string& ext);

// mimeapps.list: groups of "key=value" lines kept in their order.
class MimeAppsList {
public:
    void Parse(std::string_view text);
    std::string Text() const;
    std::string Get(const std::string& group, const std::string& key) const;
    void Set(const std::string& group, const std::string& key, const std::string& value);
    void Remove(const std::string& group, const std::string& key);

private:
    struct Group {
        std::string name;
        std::vector<std::string> lines;
    };
    Group* Find(const std::string& name);
    std::vector<std::string> m_head;  // lines before the first group
    std::vector<Group> m_groups;
};

struct AssocSetup {
    std::string programPath;   // the viewer
    std::string editorPath;    // "QuilloEditor" in the program folder
    std::string iconPath;
    std::string name;          // UI text "tittle"
    std::string editCaption;   // UI text "edittag"
    std::string profilePath;   // QuilloView.ini, section OldFileOpen
};

// The desktop entry's text.
std::string DesktopEntryText(const AssocSetup& setup);
// "/r": writes the entry, then takes each known extension over. False when
// the entry cannot be written (nothing is taken over then).
bool RegisterAssociations(const AssocSetup& setup);
// "/u": gives back only the defaults that are ours.
void RestoreAssociations(const AssocSetup& setup);

// $XDG_CONFIG_HOME and $XDG_DATA_HOME with their usual fall-backs.
std::string XdgConfigHome();
std::string XdgDataHome();

} // namespace glance
