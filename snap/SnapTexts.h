// QuilloSnap's keyed UI texts and where its files are.
#pragma once

#include "develop/UITextMap.h"
#include "platform/win/ProgramFolder.h"

#include <string>

namespace snap {

CUITextMap& Texts();
// The default texts, added once in their fixed order, then sorted.
void FillSnapTexts();

// The folder of the running program, with a trailing '/'.
using qlwin::ProgramFolder;
using qlwin::SetProgramFolder;
// ProgramFolder() + "skin/" + name.
std::string SkinPath(const char* name);

} // namespace snap
