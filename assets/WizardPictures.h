// The photo-fix wizard's twelve problem faces (128 x 96, picture over mask)
// and their highlighted hover faces ("p_" in front of the name).
#pragma once

#include <string>

// Writes the 24 faces into the skin folder; the number of files not written.
int WriteWizardPictures(const std::string& skin);
