#include "platform/capture/HotKeyGrab.h"

#include "platform/capture/XConnection.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>

#include <map>
#include <thread>
#include <vector>

namespace qlcapture {

namespace {

struct Grab {
    unsigned keycode = 0;
    unsigned mods = 0;
    std::function<void(int)> fire;
};

struct HotKeys {
    Display* display = nullptr;  // ours alone: the watcher reads its events
    std::map<int, Grab> grabs;
    bool started = false;
};

HotKeys& Keys()
{
    static auto* keys = new HotKeys;  // lives as long as its thread
    return *keys;
}

int g_grabError = 0;
int RecordGrabError(Display*, XErrorEvent* e)
{
    g_grabError = e->error_code;
    return 0;
}

KeySym SymOf(unsigned vk)
{
    if (vk >= 0x70 && vk <= 0x87)
        return XK_F1 + (vk - 0x70);
    if (vk >= 'A' && vk <= 'Z')
        return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return XK_0 + (vk - '0');
    switch (vk) {
    case 0x2C: return XK_Print;
    case 0x1B: return XK_Escape;
    case 0x20: return XK_space;
    default: return NoSymbol;
    }
}

unsigned ModsOf(unsigned hot)
{
    unsigned m = 0;
    if (hot & kHotAlt)
        m |= Mod1Mask;
    if (hot & kHotControl)
        m |= ControlMask;
    if (hot & kHotShift)
        m |= ShiftMask;
    if (hot & kHotSuper)
        m |= Mod4Mask;
    return m;
}

// Caps Lock and Num Lock (Mod2 on every common layout) must not hide a press.
constexpr unsigned kLockMasks[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

void Watch()
{
    HotKeys& k = Keys();
    const int fd = ConnectionNumber(k.display);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 200);
        std::vector<std::pair<int, std::function<void(int)>>> fired;
        {
            std::lock_guard lock(XLock());
            while (XPending(k.display)) {
                XEvent e;
                XNextEvent(k.display, &e);
                if (e.type != KeyPress)
                    continue;
                const unsigned state = e.xkey.state & ~(LockMask | Mod2Mask);
                for (auto& [id, g] : k.grabs)
                    if (g.keycode == e.xkey.keycode && g.mods == state)
                        fired.emplace_back(id, g.fire);
            }
        }
        for (auto& [id, fire] : fired)
            fire(id);
    }
}

} // namespace

bool GrabHotKey(int id, unsigned modifiers, unsigned virtualKey, std::function<void(int)> fire)
{
    std::lock_guard lock(XLock());
    HotKeys& k = Keys();
    if (!k.display) {
        k.display = XOpenDisplay(nullptr);
        if (!k.display)
            return false;
    }
    if (k.grabs.count(id))
        return false;
    const KeySym sym = SymOf(virtualKey);
    const unsigned code = sym == NoSymbol ? 0 : XKeysymToKeycode(k.display, sym);
    if (code == 0)
        return false;
    const Window root = DefaultRootWindow(k.display);
    const unsigned mods = ModsOf(modifiers);
    XSync(k.display, False);
    g_grabError = 0;
    auto* old = XSetErrorHandler(RecordGrabError);
    for (unsigned lockMask : kLockMasks)
        XGrabKey(k.display, static_cast<int>(code), mods | lockMask, root, True, GrabModeAsync, GrabModeAsync);
    XSync(k.display, False);
    const bool held = g_grabError != 0;  // BadAccess: another client has it
    if (held) {
        for (unsigned lockMask : kLockMasks)
            XUngrabKey(k.display, static_cast<int>(code), mods | lockMask, root);
        XSync(k.display, False);
    }
    XSetErrorHandler(old);
    if (held)
        return false;
    k.grabs[id] = Grab{code, mods, std::move(fire)};
    if (!k.started) {
        k.started = true;
        std::thread(Watch).detach();
    }
    return true;
}

bool UngrabHotKey(int id)
{
    std::lock_guard lock(XLock());
    HotKeys& k = Keys();
    auto it = k.grabs.find(id);
    if (it == k.grabs.end())
        return false;
    const Window root = DefaultRootWindow(k.display);
    for (unsigned lockMask : kLockMasks)
        XUngrabKey(k.display, static_cast<int>(it->second.keycode), it->second.mods | lockMask, root);
    XSync(k.display, False);
    k.grabs.erase(it);
    return true;
}

} // namespace qlcapture
