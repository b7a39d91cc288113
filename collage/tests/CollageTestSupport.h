// Small frames, boxes and temporary folders for the collage tests.
#pragma once

#include "collage/CollageTemplate.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace collage::test {

inline FrameBox Rect(int l, int t, int r, int b)
{
    FrameBox box;
    box.p[0] = {l, t};
    box.p[1] = {r, t};
    box.p[2] = {r, b};
    box.p[3] = {l, b};
    return box;
}

// An opaque w x h frame of one colour with the given rectangles see-through
// (alpha a).
inline void MakeFrame(CollageTemplate& tpl, int w, int h, const std::vector<FrameBox>& windows, BYTE a = 0)
{
    tpl.frame.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE alpha = 255;
            for (const FrameBox& box : windows)
                if (x >= box.p[0].x && x < box.p[2].x && y >= box.p[0].y && y < box.p[2].y)
                    alpha = a;
            tpl.frame.PutPixel(x, y, CPixel{40, 80, 120, alpha});
        }
}

class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> n{0};
        path = (std::filesystem::temp_directory_path() /
                ("collage-test-" + std::to_string(getpid()) + "-" + std::to_string(n++)))
                   .string() +
               "/";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string path;
};

inline std::vector<BYTE> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

inline void PutFileBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace collage::test
