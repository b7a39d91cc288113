// "ScrSvr.set": the screen-saver program's settings, 524 bytes,
// little-endian: folder (512 bytes, zero-terminated), random show, effect
// index and delay in seconds (int32 each).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace shelf {

class ScreenSaverSettings {
public:
    static constexpr std::size_t kFolderBytes = 512;
    static constexpr std::size_t kSize = 524;
    static constexpr int kMinDelay = 3, kMaxDelay = 60;
    static constexpr const char* kFileName = "ScrSvr.set";
    static constexpr const char* kSaverName = "SlideSaver.scr";

    std::string folder;
    std::int32_t randomShow = 0;
    std::int32_t effect = 1;
    std::int32_t delay = 5;

    // FALSE for a folder that does not fit its field with the terminator.
    bool FolderFits() const { return folder.size() < kFolderBytes; }
    // The record; empty when the folder does not fit.
    bool Encode(std::array<unsigned char, kSize>* record) const;
    // Written whole through a temporary file; false (nothing changed) when
    // the folder does not fit or the file cannot be written.
    bool Write(const std::string& path) const;

    // The delay after an up-down step of delta (the arrow up gives -1).
    static int StepDelay(int delay, int delta);
};

} // namespace shelf
