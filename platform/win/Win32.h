// Everything of the Win32 stand-in that needs no window system.
#pragma once

#include "platform/win/WinTypes.h"
#include "platform/win/FileFind.h"
#include "platform/win/FileOps.h"
#include "platform/win/Folders.h"
#include "platform/win/Library.h"
#include "platform/win/Process.h"
#include "platform/win/Profile.h"
#include "platform/win/Registry.h"
#include "platform/win/ShellFolders.h"
#include "platform/win/Timing.h"
