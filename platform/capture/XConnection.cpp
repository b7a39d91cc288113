#include "platform/capture/XConnection.h"

#include <X11/Xlib.h>

namespace qlcapture {

std::mutex& XLock()
{
    static auto* m = new std::mutex;
    return *m;
}

Display* SharedDisplay()
{
    // Held for the program's life; a display that went away is not retried.
    static Display* d = XOpenDisplay(nullptr);
    return d;
}

} // namespace qlcapture
