// What a window reads from another process: message frames, one after the
// other as they arrive on its socket, and the records that name windows.
#include "platform/afx/IpcWire.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t pos = 0;
    for (;;) {
        qlafx::ipc::Frame frame;
        std::size_t used = 0;
        const auto parse = qlafx::ipc::DecodeFrame(data + pos, size - pos, frame, used);
        if (parse != qlafx::ipc::Parse::Ok)
            break;
        if (used < qlafx::ipc::kFrameHeader || used > size - pos || frame.data.size() != used - qlafx::ipc::kFrameHeader)
            std::abort();
        pos += used;
    }
    qlafx::ipc::WindowInfo info;
    if (qlafx::ipc::DecodeWindowInfo(data, size, info) && qlafx::ipc::EncodeWindowInfo(info).size() != size)
        std::abort();
    return 0;
}
