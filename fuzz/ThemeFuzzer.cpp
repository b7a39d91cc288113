// The colour theme file reader, then the theme played on a small image.
#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeAlgorithm.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ColorTheme theme;
    theme.Parse(data, size);
    volatile std::size_t sink = theme.Name().size();
    (void)sink;

    CQLImage source, target;
    if (source.Create(9, 7) != 0)
        return 0;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            source.PutPixel(x, y, {static_cast<BYTE>(x * 29), static_cast<BYTE>(y * 37), static_cast<BYTE>(x * y * 5), 255});
    ColorThemeAlgorithm player;
    player.SetImages(&source, &target);
    player.SetAmount(size > 256 ? data[size - 1] : 100);
    player.Apply(&theme);
    return 0;
}
