#include "platform/twain/tests/SaneTestDevice.h"

#include "platform/win/WinTypes.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <dlfcn.h>
#include <unistd.h>

namespace qltwain::sanetest {

namespace fs = std::filesystem;

const std::string& SaneConfigDir()
{
    static const std::string dir = [] {
        const fs::path d = fs::temp_directory_path() / ("quillo-sane-" + std::to_string(getpid()));
        std::error_code ec;
        fs::create_directories(d, ec);
        std::ofstream(d / "dll.conf") << "test\n";
        if (ec)
            return std::string();
        setenv("SANE_CONFIG_DIR", d.c_str(), 1);
        // The backend stays mapped after SANE lets it go, so that what it
        // leaves behind is known by name to the leak checker.
        for (const char* lib : {"/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1", "/usr/lib/sane/libsane-test.so.1"})
            if (dlopen(lib, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
                break;
        // Gone when the process ends (the path outlives the string).
        static char path[4096];
        std::snprintf(path, sizeof path, "%s", d.c_str());
        std::atexit([] {
            std::error_code gone;
            std::filesystem::remove_all(path, gone);
        });
        return d.string();
    }();
    return dir;
}

bool WriteTestConfig(const std::vector<std::string>& lines)
{
    const std::string& dir = SaneConfigDir();
    if (dir.empty())
        return false;
    std::ofstream out(fs::path(dir) / "test.conf");
    // The backend's own defaults; without them its resolution is not set.
    out << "number_of_devices 2\nmode Gray\ndepth 8\nhand-scanner false\nthree-pass false\n"
           "three-pass-order RGB\nresolution_min 1.0\nresolution_max 1200.0\nresolution_quant 1.0\n"
           "resolution 50.0\ntest-picture \"Solid black\"\ninvert-endianess false\nread-limit false\n"
           "read-limit-size 1\nread-delay false\nread-delay-duration 1000\nread-status-code \"Default\"\n"
           "fuzzy-parameters false\nppl-loss 0\nnon-blocking false\nselect-fd false\n";
    for (const std::string& line : lines)
        out << line << "\n";
    return static_cast<bool>(out);
}

bool HaveTestBackend()
{
    return !SaneConfigDir().empty() && fs::exists("/usr/bin/scanimage") &&
           (fs::exists("/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1") ||
            fs::exists("/usr/lib/sane/libsane-test.so.1"));
}

namespace {

// Reads the next header number of a PNM, skipping blanks and comments.
bool Number(FILE* f, int* value)
{
    int c = std::fgetc(f);
    while (c == '#' || std::isspace(c)) {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = std::fgetc(f);
        c = std::fgetc(f);
    }
    if (c < '0' || c > '9')
        return false;
    long v = 0;
    while (c >= '0' && c <= '9' && v < 1000000) {
        v = v * 10 + (c - '0');
        c = std::fgetc(f);
    }
    *value = static_cast<int>(v);
    return true; // the one blank after the number is gone
}

} // namespace

RgbPicture ScanImage(const std::vector<std::string>& args)
{
    RgbPicture pic;
    std::string cmd = "SANE_CONFIG_DIR='" + SaneConfigDir() + "' scanimage -d test:0 --format=pnm";
    for (const std::string& a : args)
        cmd += " '" + a + "'";
    cmd += " 2>/dev/null";
    FILE* f = popen(cmd.c_str(), "r");
    if (!f)
        return pic;
    char magic[2] = {};
    int w = 0, h = 0, maxval = 1;
    const bool ok = std::fread(magic, 1, 2, f) == 2 && magic[0] == 'P' && Number(f, &w) && Number(f, &h) &&
                    (magic[1] == '4' || Number(f, &maxval)) && w > 0 && h > 0 && w < 20000 && h < 20000;
    if (ok) {
        const int channels = magic[1] == '6' ? 3 : 1;
        const int bytes = maxval > 255 ? 2 : 1;
        const std::size_t row = magic[1] == '4' ? std::size_t(w + 7) / 8 : std::size_t(w) * channels * bytes;
        std::vector<std::uint8_t> line(row);
        pic.width = w;
        pic.height = h;
        pic.rgb.resize(std::size_t(w) * h * 3);
        for (int y = 0; y < h; ++y) {
            if (std::fread(line.data(), 1, row, f) != row) {
                pic = RgbPicture{};
                break;
            }
            std::uint8_t* out = pic.rgb.data() + std::size_t(y) * w * 3;
            for (int x = 0; x < w; ++x) {
                if (magic[1] == '4') {
                    const std::uint8_t v = (line[x >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255;
                    out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = v;
                } else {
                    for (int c = 0; c < 3; ++c) // PNM samples are big-endian: the high byte first
                        out[x * 3 + c] = line[(std::size_t(x) * channels + (channels == 3 ? c : 0)) * bytes];
                }
            }
        }
    }
    pclose(f);
    return pic;
}

RgbPicture FromDib(const void* dib, std::size_t size)
{
    RgbPicture pic;
    BITMAPINFOHEADER h{};
    if (!dib || size < sizeof h)
        return pic;
    std::memcpy(&h, dib, sizeof h);
    if (h.biSize != 40 || h.biBitCount != 24 || h.biWidth <= 0 || h.biHeight <= 0)
        return pic;
    const std::size_t stride = (std::size_t(h.biWidth) * 3 + 3) & ~std::size_t(3);
    if (size < 40 + stride * std::size_t(h.biHeight))
        return pic;
    pic.width = h.biWidth;
    pic.height = h.biHeight;
    pic.rgb.resize(std::size_t(pic.width) * pic.height * 3);
    const auto* rows = static_cast<const std::uint8_t*>(dib) + 40;
    for (int y = 0; y < pic.height; ++y) {
        const std::uint8_t* src = rows + std::size_t(pic.height - 1 - y) * stride;
        std::uint8_t* out = pic.rgb.data() + std::size_t(y) * pic.width * 3;
        for (int x = 0; x < pic.width; ++x) {
            out[x * 3] = src[x * 3 + 2];
            out[x * 3 + 1] = src[x * 3 + 1];
            out[x * 3 + 2] = src[x * 3];
        }
    }
    return pic;
}

} // namespace qltwain::sanetest
