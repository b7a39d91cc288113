// The capture library's own connection to the X server, opened on first use
// and kept for the process's life; every use holds XLock().
#pragma once

#include <mutex>

typedef struct _XDisplay Display;

namespace qlcapture {

std::mutex& XLock();
// NULL when there is no display ($DISPLAY unset or the server unreachable).
Display* SharedDisplay();

} // namespace qlcapture
