// The frame commands and function-bar buttons of the tone, colour and
// exposure dialogs.
#pragma once

void RegisterToneColourRunners();
