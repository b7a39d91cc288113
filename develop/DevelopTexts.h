// QuilloDevelop's UI texts and the addresses its about panel links to.
#pragma once

#include "develop/UITextMap.h"

namespace develop {

// Our own addresses, the only places the program points people to.
inline constexpr const char* kContactLink = "mailto:support@quillo.example.org";
inline constexpr const char* kHomePageLink = "https://quillo.example.org/";
inline constexpr const char* kEditorPageLink = "https://quillo.example.org/editor/";
inline constexpr const char* kEditorDownloadLink = "https://quillo.example.org/download/";

// Adds the program's 67 default texts in their fixed order, then sorts.
void DevelopDefaultTexts(CUITextMap& table);

// The program's one table, filled on first use.
const CUITextMap& Texts();

} // namespace develop
