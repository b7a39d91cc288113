// System-wide hot keys on X11: the key grabbed on the root window on a
// connection of our own, watched by a thread of our own.
#pragma once

#include <functional>

namespace qlcapture {

// Modifier bits as the hot-key calls take them.
inline constexpr unsigned kHotAlt = 0x1, kHotControl = 0x2, kHotShift = 0x4, kHotSuper = 0x8;

// Grabs the key (a virtual-key code: F1 to F24, letters, digits) with the
// modifiers, whatever the state of Caps Lock and Num Lock; fire(id) runs on
// the watching thread at every press. False without a display, for a key
// that has no X key code, when id is taken, or when another client holds the
// key.
bool GrabHotKey(int id, unsigned modifiers, unsigned virtualKey, std::function<void(int)> fire);
// Releases the key grabbed under id; false when there is none.
bool UngrabHotKey(int id);

} // namespace qlcapture
