// Small images and progress recording shared by the effect tests.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"

#include <cstring>
#include <vector>

namespace effecttest {

// Every pixel B = G = R = grey, A = alpha.
inline void MakeFlat(CQLImage& image, int w, int h, int grey, int alpha = 255)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, {static_cast<BYTE>(grey), static_cast<BYTE>(grey), static_cast<BYTE>(grey),
                                  static_cast<BYTE>(alpha)});
}

// A deterministic image with edges and gradients in every channel.
inline void MakePattern(CQLImage& image, int w, int h)
{
    image.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, {static_cast<BYTE>((x * 37 + y * 11) & 255), static_cast<BYTE>((x * y * 3) & 255),
                                  static_cast<BYTE>(((x / 4 + y / 4) & 1) ? 230 : 20),
                                  static_cast<BYTE>(128 + ((x - y) & 63))});
}

inline std::vector<BYTE> Bytes(const CQLImage& image)
{
    const BYTE* p = image.GetAreaByteSize() ? image.GetBuffer(0, 0) : nullptr;
    return p ? std::vector<BYTE>(p, p + image.GetAreaByteSize()) : std::vector<BYTE>{};
}

// Makes the thread's last reported progress a value no range reaches, so
// that the first report of the next run is not suppressed.
inline void ForgetLastProgress()
{
    struct Reset : EffectAlgorithm {
        void Run()
        {
            SetCallback([](int, int) { return 0; });
            SetRange(-12345, -12345);
            Progress(0);
        }
    } reset;
    reset.Run();
}

} // namespace effecttest
