// What window messages between processes look like on their local sockets,
// and the record that names a window to other processes. Little-endian,
// field by field; no Qt, so that the readers can be fuzzed headless.
//
// Message frame (40 bytes, then the data):
//   "QLMS", u32 kind, u32 message, u64 wParam, u64 lParam, u64 dwData,
//   u32 data length, data bytes (WM_COPYDATA's block)
// A reply is a frame of kind Reply with the result in lParam.
// Window record (a file beside the window's socket):
//   "QLWI", u32 version (1), u64 window handle, u32 class length, class,
//   u32 title length, title
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qlafx::ipc {

enum class Kind : std::uint32_t { Send = 1, Post = 2, Reply = 3 };

struct Frame {
    Kind kind = Kind::Send;
    std::uint32_t message = 0;
    std::uint64_t wParam = 0;
    std::uint64_t lParam = 0;
    std::uint64_t dwData = 0;
    std::string data;
};

inline constexpr std::size_t kFrameHeader = 40;
// More would be a peer gone wrong: nothing of the suite sends that much.
inline constexpr std::uint32_t kMaxData = 64u << 20;

enum class Parse { Ok, NeedMore, Bad };

std::string EncodeFrame(const Frame& frame);
// Reads one frame from the front of bytes; consumed tells how many bytes it took.
Parse DecodeFrame(const unsigned char* bytes, std::size_t size, Frame& out, std::size_t& consumed);

struct WindowInfo {
    std::uint64_t handle = 0;
    std::string className;
    std::string title;
};

std::string EncodeWindowInfo(const WindowInfo& info);
bool DecodeWindowInfo(const unsigned char* bytes, std::size_t size, WindowInfo& out);

} // namespace qlafx::ipc
