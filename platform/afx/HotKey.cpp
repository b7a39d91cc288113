// RegisterHotKey: an X key grab whose presses post WM_HOTKEY to the window.
#include "platform/afx/WinUser.h"

#include "platform/capture/HotKeyGrab.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

struct Registrations {
    std::mutex lock;
    std::map<std::pair<HWND, int>, int> grabs;  // (window, id) -> grab
    int next = 1;
};

Registrations& Regs()
{
    static auto* r = new Registrations;
    return *r;
}

} // namespace

BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk)
{
    if (hwnd && !IsWindow(hwnd))
        return FALSE;
    Registrations& r = Regs();
    std::lock_guard lock(r.lock);
    if (r.grabs.count({hwnd, id}))
        return FALSE;
    const int grab = r.next++;
    const LPARAM lParam = static_cast<LPARAM>((modifiers & 0xF) | (vk & 0xFFFF) << 16);
    const bool ok = qlcapture::GrabHotKey(grab, modifiers & 0xF, vk, [hwnd, id, lParam](int) {
        // Posted to a destroyed window it is dropped.
        ::PostMessage(hwnd, WM_HOTKEY, static_cast<WPARAM>(id), lParam);
    });
    if (!ok)
        return FALSE;
    r.grabs[{hwnd, id}] = grab;
    return TRUE;
}

BOOL UnregisterHotKey(HWND hwnd, int id)
{
    Registrations& r = Regs();
    std::lock_guard lock(r.lock);
    auto it = r.grabs.find({hwnd, id});
    if (it == r.grabs.end())
        return FALSE;
    qlcapture::UngrabHotKey(it->second);
    r.grabs.erase(it);
    return TRUE;
}
