// Our source manager on SANE: the one entry point the acquiring application
// calls. SANE devices are the sources; each source's own dialog sets mode,
// resolution and paper source and reads the pages on a worker thread.
#pragma once

#include "platform/twain/Twain.h"

#include <functional>

namespace qltwain {

TW_UINT16 DsmEntry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                   TW_MEMREF data);

// The library MSG_OPENDSM opens ("libsane.so.1"); tests name another.
void SetSaneLibrary(const char* name);
// Called on the reading thread after each page with the number read so
// far; false stops the reading there, as Cancel does (tests).
void SetPageHook(std::function<bool(int pages)> hook);

} // namespace qltwain
