// Camera sources for the video-capture window: the V4L2 capture devices that
// stream, and a test pattern that stands in for a camera in tests and demos.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qlcapture {

// One frame: bottom-up B, G, R rows padded to 4 bytes (a 24-bit BI_RGB DIB).
struct VideoFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;
};

struct VideoSize {
    int width = 0;
    int height = 0;
    bool operator==(const VideoSize&) const = default;
};

// An integer or on/off setting of the device, applied at once.
struct VideoControl {
    std::uint32_t id = 0;
    std::string name;
    int minimum = 0, maximum = 0, step = 1, value = 0;
    bool toggle = false;
};

class VideoSource {
public:
    virtual ~VideoSource() = default;
    virtual std::string Name() const = 0;
    // Starts streaming; false when the device cannot.
    virtual bool Start() = 0;
    virtual void Stop() = 0;
    // Waits up to timeoutMs for the next frame; false when none came.
    virtual bool ReadFrame(VideoFrame* frame, int timeoutMs) = 0;
    virtual VideoSize Size() const = 0;
    virtual std::vector<VideoSize> Sizes() = 0;
    // Restarts a running stream at the new size.
    virtual bool SetSize(VideoSize size) = 0;
    virtual std::vector<VideoControl> Controls() = 0;
    virtual bool SetControl(std::uint32_t id, int value) = 0;
};

// The capture device nodes (video* in folder) in name order, natural for
// the numbers (video2 before video10).
std::vector<std::string> VideoDeviceNodes(const std::string& folder = "/dev");

// A V4L2 device that captures by streaming; NULL for any other node.
std::unique_ptr<VideoSource> OpenV4l2Source(const std::string& node);

// The test pattern: moving colour bars, or the picture named by
// $QUILLO_CAMERA_PICTURE (scaled to the frame), with the controls
// "Brightness" and "Invert" and the sizes 320 x 240, 640 x 480, 1280 x 720.
std::unique_ptr<VideoSource> OpenPatternSource();

// The drivers in order: the pattern first when $QUILLO_CAMERA is "pattern",
// then the devices that stream. Index past the end: NULL.
std::unique_ptr<VideoSource> OpenVideoSource(int index);

} // namespace qlcapture
