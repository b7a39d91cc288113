// QuilloGlance's program-wide state: its UI texts, folder and pictures.
#pragma once

#include "develop/UITextMap.h"
#include "platform/win/ProgramFolder.h"
#include "platform/win/WinTypes.h"

#include <string>

namespace glance {

inline constexpr UINT WM_GLANCE_NOTIFY = 0x0400 + 4102;  // child -> parent: kind << 16 | id
inline constexpr UINT WM_GLANCE_LOADING = 0x0400 + 788;  // loading thread requests and notices
inline constexpr UINT WM_GLANCE_HANDOVER = 0x0400 + 315; // a second copy left a path in Temp/Open

CUITextMap& Texts();
// Fills the table with the program's default texts once (then sorted).
void FillGlanceTexts();

// The program folder, ending in '/'; tests may point it elsewhere.
using qlwin::ProgramFolder;
using qlwin::SetProgramFolder;
// "<program folder>skin/<name>"
std::string SkinPath(const char* name);

} // namespace glance
