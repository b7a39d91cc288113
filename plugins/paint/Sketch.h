// The ruling pen's locks.
#pragma once

namespace painttool {

constexpr int kLockNone = -1;
constexpr int kLockHorizontal = 0;
constexpr int kLockVertical = 1;
constexpr int kLockRising = 2;  // x and y grow together
constexpr int kLockFalling = 3; // y falls as x grows

// The lock for a first Ctrl move of (dx, dy) from the last point.
int ChooseLock(int dx, int dy);

} // namespace painttool
