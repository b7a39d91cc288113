// QuilloCollage's keyed UI texts and the folders it works in.
#pragma once

#include "develop/UITextMap.h"
#include "platform/win/ProgramFolder.h"

#include <string>

namespace collage {

CUITextMap& Texts();
// The nine default texts, added once and sorted.
void FillCollageTexts();

// The program folder, ending in '/'; tests may point it elsewhere.
using qlwin::ProgramFolder;
using qlwin::SetProgramFolder;
// Where templates are listed from and saved to.
std::string TemplateFolder();
// The result for the editor, in the private temporary folder.
std::string ResultPath();

} // namespace collage
