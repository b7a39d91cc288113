// V4L2 capture devices, by memory-mapped streaming.
#include "platform/capture/FrameConvert.h"
#include "platform/capture/VideoSource.h"

#include <linux/videodev2.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace qlcapture {

namespace {

int Ioctl(int fd, unsigned long request, void* arg)
{
    int r;
    do
        r = ioctl(fd, request, arg);
    while (r < 0 && errno == EINTR);
    return r;
}

// Formats we convert, in order of preference.
constexpr std::uint32_t kFormats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_BGR24,
                                      V4L2_PIX_FMT_RGB24};

class V4l2Source final : public VideoSource {
public:
    V4l2Source(std::string node, int fd) : m_node(std::move(node)), m_fd(fd) {}
    ~V4l2Source() override
    {
        Stop();
        close(m_fd);
    }

    bool Choose()
    {
        for (std::uint32_t want : kFormats) {
            v4l2_fmtdesc desc{};
            desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            for (desc.index = 0; Ioctl(m_fd, VIDIOC_ENUM_FMT, &desc) == 0; ++desc.index)
                if (desc.pixelformat == want) {
                    m_pixelFormat = want;
                    v4l2_format f{};
                    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
                    if (Ioctl(m_fd, VIDIOC_G_FMT, &f) != 0)
                        return false;
                    return Apply(VideoSize{static_cast<int>(f.fmt.pix.width), static_cast<int>(f.fmt.pix.height)});
                }
        }
        return false;
    }

    std::string Name() const override { return m_name.empty() ? m_node : m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    bool Start() override
    {
        if (m_streaming)
            return true;
        v4l2_requestbuffers req{};
        req.count = 4;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        if (Ioctl(m_fd, VIDIOC_REQBUFS, &req) != 0 || req.count < 1)
            return false;
        for (unsigned i = 0; i < req.count; ++i) {
            v4l2_buffer b{};
            b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            b.memory = V4L2_MEMORY_MMAP;
            b.index = i;
            if (Ioctl(m_fd, VIDIOC_QUERYBUF, &b) != 0)
                return Fail();
            void* p = mmap(nullptr, b.length, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, b.m.offset);
            if (p == MAP_FAILED)
                return Fail();
            m_buffers.push_back({p, b.length});
            if (Ioctl(m_fd, VIDIOC_QBUF, &b) != 0)
                return Fail();
        }
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(m_fd, VIDIOC_STREAMON, &type) != 0)
            return Fail();
        m_streaming = true;
        return true;
    }

    void Stop() override
    {
        if (m_streaming) {
            v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            Ioctl(m_fd, VIDIOC_STREAMOFF, &type);
            m_streaming = false;
        }
        Unmap();
    }

    bool ReadFrame(VideoFrame* frame, int timeoutMs) override
    {
        if (!m_streaming)
            return false;
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return false;
        v4l2_buffer b{};
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        if (Ioctl(m_fd, VIDIOC_DQBUF, &b) != 0 || b.index >= m_buffers.size())
            return false;
        const auto* data = static_cast<const std::uint8_t*>(m_buffers[b.index].first);
        const std::size_t used = std::min<std::size_t>(b.bytesused, m_buffers[b.index].second);
        const int w = m_size.width, h = m_size.height;
        frame->width = w;
        frame->height = h;
        frame->bits.resize(DibStride24(w) * static_cast<std::size_t>(h));
        bool ok = false;
        switch (m_pixelFormat) {
        case V4L2_PIX_FMT_YUYV: ok = YuyvToDib24(data, used, m_stride, w, h, frame->bits.data()); break;
        case V4L2_PIX_FMT_MJPEG: ok = MjpegToDib24(data, used, w, h, frame->bits.data()); break;
        case V4L2_PIX_FMT_BGR24: ok = Rgb24ToDib24(data, used, m_stride, w, h, false, frame->bits.data()); break;
        case V4L2_PIX_FMT_RGB24: ok = Rgb24ToDib24(data, used, m_stride, w, h, true, frame->bits.data()); break;
        default: break;
        }
        Ioctl(m_fd, VIDIOC_QBUF, &b);
        return ok;
    }

    VideoSize Size() const override { return m_size; }

    std::vector<VideoSize> Sizes() override
    {
        std::vector<VideoSize> out;
        v4l2_frmsizeenum e{};
        e.pixel_format = m_pixelFormat;
        for (e.index = 0; Ioctl(m_fd, VIDIOC_ENUM_FRAMESIZES, &e) == 0; ++e.index) {
            if (e.type != V4L2_FRMSIZE_TYPE_DISCRETE) {
                // A range: its two ends.
                out.push_back({static_cast<int>(e.stepwise.min_width), static_cast<int>(e.stepwise.min_height)});
                out.push_back({static_cast<int>(e.stepwise.max_width), static_cast<int>(e.stepwise.max_height)});
                break;
            }
            out.push_back({static_cast<int>(e.discrete.width), static_cast<int>(e.discrete.height)});
        }
        if (out.empty())
            out.push_back(m_size);
        return out;
    }

    bool SetSize(VideoSize size) override
    {
        const bool was = m_streaming;
        Stop();
        const bool ok = Apply(size);
        if (was)
            Start();
        return ok;
    }

    std::vector<VideoControl> Controls() override
    {
        std::vector<VideoControl> out;
        v4l2_queryctrl q{};
        q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        while (Ioctl(m_fd, VIDIOC_QUERYCTRL, &q) == 0) {
            const bool usable = !(q.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_INACTIVE));
            if (usable && (q.type == V4L2_CTRL_TYPE_INTEGER || q.type == V4L2_CTRL_TYPE_BOOLEAN)) {
                v4l2_control c{};
                c.id = q.id;
                if (Ioctl(m_fd, VIDIOC_G_CTRL, &c) == 0)
                    out.push_back({q.id, reinterpret_cast<const char*>(q.name), q.minimum, q.maximum,
                                   std::max(1, q.step), c.value, q.type == V4L2_CTRL_TYPE_BOOLEAN});
            }
            q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        }
        return out;
    }

    bool SetControl(std::uint32_t id, int value) override
    {
        v4l2_control c{};
        c.id = id;
        c.value = value;
        return Ioctl(m_fd, VIDIOC_S_CTRL, &c) == 0;
    }

private:
    bool Apply(VideoSize size)
    {
        v4l2_format f{};
        f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        f.fmt.pix.width = static_cast<std::uint32_t>(size.width);
        f.fmt.pix.height = static_cast<std::uint32_t>(size.height);
        f.fmt.pix.pixelformat = m_pixelFormat;
        f.fmt.pix.field = V4L2_FIELD_NONE;
        if (Ioctl(m_fd, VIDIOC_S_FMT, &f) != 0 || f.fmt.pix.pixelformat != m_pixelFormat || f.fmt.pix.width == 0 ||
            f.fmt.pix.height == 0 || f.fmt.pix.width > 16384 || f.fmt.pix.height > 16384)
            return false;
        m_size = {static_cast<int>(f.fmt.pix.width), static_cast<int>(f.fmt.pix.height)};
        m_stride = f.fmt.pix.bytesperline;
        if (m_stride == 0)
            m_stride = f.fmt.pix.width * (m_pixelFormat == V4L2_PIX_FMT_YUYV ? 2 : 3);
        return true;
    }

    bool Fail()
    {
        Unmap();
        return false;
    }

    void Unmap()
    {
        for (auto& [p, n] : m_buffers)
            munmap(p, n);
        m_buffers.clear();
        v4l2_requestbuffers req{};
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        Ioctl(m_fd, VIDIOC_REQBUFS, &req);
    }

    std::string m_node;
    std::string m_name;
    int m_fd;
    std::uint32_t m_pixelFormat = 0;
    VideoSize m_size;
    std::size_t m_stride = 0;
    bool m_streaming = false;
    std::vector<std::pair<void*, std::size_t>> m_buffers;
};

// video2 before video10.
bool NaturalLess(const std::string& a, const std::string& b)
{
    const auto num = [](const std::string& s) {
        const std::size_t i = s.find_first_of("0123456789");
        return i == std::string::npos ? -1L : std::strtol(s.c_str() + i, nullptr, 10);
    };
    const long na = num(a), nb = num(b);
    return na != nb ? na < nb : a < b;
}

} // namespace

std::vector<std::string> VideoDeviceNodes(const std::string& folder)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("video", 0) == 0 && name.size() > 5 &&
            name.find_first_not_of("0123456789", 5) == std::string::npos)
            out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return NaturalLess(std::filesystem::path(a).filename().string(), std::filesystem::path(b).filename().string());
    });
    return out;
}

std::unique_ptr<VideoSource> OpenV4l2Source(const std::string& node)
{
    const int fd = open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    v4l2_capability cap{};
    const std::uint32_t caps = Ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0
                                   ? ((cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities)
                                   : 0;
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING)) {
        close(fd);
        return nullptr;
    }
    auto src = std::make_unique<V4l2Source>(node, fd);
    src->SetName(reinterpret_cast<const char*>(cap.card));
    if (!src->Choose())
        return nullptr;
    return src;
}

std::unique_ptr<VideoSource> OpenVideoSource(int index)
{
    if (index < 0)
        return nullptr;
    if (const char* c = std::getenv("QUILLO_CAMERA"); c && std::strcmp(c, "pattern") == 0) {
        if (index == 0)
            return OpenPatternSource();
        --index;
    }
    for (const std::string& node : VideoDeviceNodes()) {
        auto src = OpenV4l2Source(node);
        if (src && index-- == 0)
            return src;
    }
    return nullptr;
}

} // namespace qlcapture
