// "Save as color theme": asks for a name and saves one step as a theme in
// the theme folder; shared by every dialog that offers the button.
#pragma once

#include "algorithms/ColorTheme.h"

// Asks for the name (Cancel does nothing) and saves; failures are told in
// a message box. Returns 1 always.
int SaveColorTheme(const ColorThemeStep& step);
