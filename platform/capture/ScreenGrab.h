// Reads the X screen: the root window's pixels, the composed picture under a
// compositing manager too. No Qt: benchmarks and headless tests link it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qlcapture {

// Shared memory (MIT-SHM) when the server offers it and the display is
// local; Plain reads through the protocol, as a remote display must.
enum class GrabPath { Auto, SharedMemory, Plain };

// The root window's size; false without an X display.
bool ScreenSize(int* width, int* height);

// Copies the screen rectangle (x, y, width, height), which must lie inside
// the screen, into rows of 32-bit B, G, R, A (alpha 255), top row first,
// stride bytes apart. False without a display, for a rectangle outside the
// screen, or when the server refuses.
bool GrabScreen(int x, int y, int width, int height, std::uint32_t* bgra, std::size_t stride,
                GrabPath path = GrabPath::Auto);

// The path the last successful Auto grab took (tests check both paths).
GrabPath LastGrabPath();

} // namespace qlcapture
