#include "platform/capture/ScreenWindows.h"

#include "platform/capture/XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>

namespace qlcapture {

namespace {

bool Viewable(Display* d, Window w, XWindowAttributes* attrs)
{
    return XGetWindowAttributes(d, w, attrs) && attrs->map_state == IsViewable;
}

// The window's outer rectangle on the screen, border included.
bool ScreenRect(Display* d, Window w, const XWindowAttributes& a, ScreenWindow* out)
{
    Window child = 0;
    int x = 0, y = 0;
    if (!XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child))
        return false;
    out->id = w;
    out->left = x - a.border_width;
    out->top = y - a.border_width;
    out->right = x + a.width + a.border_width;
    out->bottom = y + a.height + a.border_width;
    return true;
}

std::vector<unsigned long> CardinalList(Display* d, Window w, const char* name)
{
    std::vector<unsigned long> out;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom prop = XInternAtom(d, name, True);
    if (prop == None)
        return out;
    if (XGetWindowProperty(d, w, prop, 0, 4096, False, AnyPropertyType, &type, &format, &count, &after, &data) ==
            Success &&
        data && format == 32) {
        const auto* v = reinterpret_cast<const unsigned long*>(data);
        out.assign(v, v + count);
    }
    if (data)
        XFree(data);
    return out;
}

std::vector<Window> Children(Display* d, Window w)
{
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned n = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &kids, &n) && kids)
        out.assign(kids, kids + n);
    if (kids)
        XFree(kids);
    return out;  // bottom first
}

} // namespace

std::vector<ScreenWindow> TopLevelWindows()
{
    std::vector<ScreenWindow> out;
    std::lock_guard lock(XLock());
    Display* d = SharedDisplay();
    if (!d)
        return out;
    const Window root = DefaultRootWindow(d);
    std::vector<unsigned long> stack = CardinalList(d, root, "_NET_CLIENT_LIST_STACKING");
    if (!stack.empty()) {
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
            XWindowAttributes a{};
            ScreenWindow sw;
            if (!Viewable(d, *it, &a) || !ScreenRect(d, *it, a, &sw))
                continue;
            const std::vector<unsigned long> ext = CardinalList(d, *it, "_NET_FRAME_EXTENTS");
            if (ext.size() == 4) {
                sw.left -= static_cast<int>(ext[0]);
                sw.right += static_cast<int>(ext[1]);
                sw.top -= static_cast<int>(ext[2]);
                sw.bottom += static_cast<int>(ext[3]);
            }
            out.push_back(sw);
        }
        return out;
    }
    const std::vector<Window> kids = Children(d, root);
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        XWindowAttributes a{};
        ScreenWindow sw;
        if (Viewable(d, *it, &a) && a.c_class != InputOnly && ScreenRect(d, *it, a, &sw))
            out.push_back(sw);
    }
    return out;
}

ScreenWindow DeepestChildAt(const ScreenWindow& window, int x, int y)
{
    ScreenWindow at = window;
    std::lock_guard lock(XLock());
    Display* d = SharedDisplay();
    if (!d)
        return at;
    // Under a window manager the client window sits inside its frame: start
    // from the client, whose children are the application's.
    for (bool deeper = true; deeper;) {
        deeper = false;
        const std::vector<Window> kids = Children(d, at.id);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            XWindowAttributes a{};
            ScreenWindow sw;
            if (!Viewable(d, *it, &a) || a.c_class == InputOnly || !ScreenRect(d, *it, a, &sw))
                continue;
            if (x >= sw.left && x < sw.right && y >= sw.top && y < sw.bottom) {
                at = sw;
                deeper = true;
                break;
            }
        }
    }
    return at;
}

std::uint64_t FrameOf(std::uint64_t window)
{
    std::lock_guard lock(XLock());
    Display* d = SharedDisplay();
    if (!d || !window)
        return window;
    Window w = window;
    for (;;) {
        Window root = 0, parent = 0, *kids = nullptr;
        unsigned n = 0;
        if (!XQueryTree(d, w, &root, &parent, &kids, &n))
            return window;
        if (kids)
            XFree(kids);
        if (parent == root || parent == 0)
            return w;
        w = parent;
    }
}

} // namespace qlcapture
