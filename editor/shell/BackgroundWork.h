// Runs work that must stay off the interface thread (encoding and resampling
// full-size photos) while the interface keeps painting: the window is
// disabled and shows the wait cursor until the work ends.
#pragma once

#include "platform/afx/Afx.h"

#include <functional>

// The work's result.
int RunInBackground(CWnd* window, const std::function<int()>& work);
