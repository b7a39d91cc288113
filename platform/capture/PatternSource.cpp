// The camera stand-in: a source that needs no device.
#include "platform/capture/FrameConvert.h"
#include "platform/capture/VideoSource.h"

#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace qlcapture {

namespace {

constexpr std::uint32_t kBrightness = 1, kInvert = 2;

class PatternSource final : public VideoSource {
public:
    PatternSource()
    {
        if (const char* path = std::getenv("QUILLO_CAMERA_PICTURE"); path && *path) {
            CQLImageCodec codec;
            if (!codec.LoadFile(path, &m_picture))
                m_picture.Free();
        }
    }

    std::string Name() const override { return "Quillo test pattern"; }
    bool Start() override
    {
        m_running = true;
        m_next = std::chrono::steady_clock::now();
        return true;
    }
    void Stop() override { m_running = false; }

    bool ReadFrame(VideoFrame* frame, int timeoutMs) override
    {
        if (!m_running)
            return false;
        // About 30 frames a second, as a camera delivers.
        const auto now = std::chrono::steady_clock::now();
        if (m_next > now) {
            if (m_next - now > std::chrono::milliseconds(timeoutMs))
                return false;
            std::this_thread::sleep_until(m_next);
        }
        m_next = std::max(m_next, now) + std::chrono::milliseconds(33);
        Draw(frame);
        ++m_count;
        return true;
    }

    VideoSize Size() const override { return m_size; }
    std::vector<VideoSize> Sizes() override { return {{320, 240}, {640, 480}, {1280, 720}}; }
    bool SetSize(VideoSize size) override
    {
        const auto all = Sizes();
        if (std::find(all.begin(), all.end(), size) == all.end())
            return false;
        m_size = size;
        return true;
    }

    std::vector<VideoControl> Controls() override
    {
        return {{kBrightness, "Brightness", -100, 100, 1, m_brightness, false},
                {kInvert, "Invert", 0, 1, 1, m_invert, true}};
    }
    bool SetControl(std::uint32_t id, int value) override
    {
        if (id == kBrightness && value >= -100 && value <= 100)
            m_brightness = value;
        else if (id == kInvert && (value == 0 || value == 1))
            m_invert = value;
        else
            return false;
        return true;
    }

private:
    void Draw(VideoFrame* f) const
    {
        const int w = m_size.width, h = m_size.height;
        const std::size_t stride = DibStride24(w);
        f->width = w;
        f->height = h;
        f->bits.assign(stride * static_cast<std::size_t>(h), 0);
        UINT pw = 0, ph = 0;
        m_picture.GetSize(&pw, &ph);
        static const std::uint8_t kBars[8][3] = {{255, 255, 255}, {0, 255, 255}, {255, 255, 0}, {0, 255, 0},
                                                 {255, 0, 255},   {0, 0, 255},   {255, 0, 0},   {0, 0, 0}};
        for (int y = 0; y < h; ++y) {
            std::uint8_t* d = f->bits.data() + static_cast<std::size_t>(y) * stride;  // bottom line first
            for (int x = 0; x < w; ++x, d += 3) {
                int b, g, r;
                if (pw && ph) {
                    // The frame's rows run bottom-up, the picture's top-down.
                    const CPixel p = m_picture.GetPixel2(static_cast<int>(static_cast<long long>(x) * pw / w),
                                                         static_cast<int>(static_cast<long long>(h - 1 - y) * ph / h));
                    b = p.b, g = p.g, r = p.r;
                } else {
                    const int bar = ((x + static_cast<int>(m_count * 4)) % w) * 8 / w;
                    b = kBars[bar][0], g = kBars[bar][1], r = kBars[bar][2];
                }
                d[0] = Adjust(b), d[1] = Adjust(g), d[2] = Adjust(r);
            }
        }
    }

    std::uint8_t Adjust(int v) const
    {
        v = std::clamp(v + m_brightness, 0, 255);
        return static_cast<std::uint8_t>(m_invert ? 255 - v : v);
    }

    CQLImage m_picture;
    VideoSize m_size{640, 480};
    int m_brightness = 0;
    int m_invert = 0;
    bool m_running = false;
    unsigned m_count = 0;
    std::chrono::steady_clock::time_point m_next;
};

} // namespace

std::unique_ptr<VideoSource> OpenPatternSource()
{
    return std::make_unique<PatternSource>();
}

} // namespace qlcapture
