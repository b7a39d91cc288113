// QuilloCollage's keyed UI texts and the folders it works in.
#pragma once

#include "develop/UITextMap.h"

#include <string>

namespace collage {

CUITextMap& Texts();
// The nine default texts, added once and sorted.
void FillCollageTexts();

// The folder of the running program, with a trailing "/"; tests set another.
const std::string& ProgramFolder();
void SetProgramFolder(const std::string& folder);
// Where templates are listed from and saved to.
std::string TemplateFolder();
// The result for the editor, in the private temporary folder.
std::string ResultPath();

} // namespace collage
