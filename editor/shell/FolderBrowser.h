// The shell's folder browser as the editor and the album ask for a folder.
#pragma once

#include "platform/afx/Afx.h"

// TRUE and the chosen folder's path in out (MAX_PATH), else out emptied and
// FALSE. Shows file-system folders only, preselect selected and the
// highlighted folder's path as status text; root and preselect may be NULL.
BOOL BrowseForFolder(char* out, const char* title, CWnd* owner, const char* root, const char* preselect);
