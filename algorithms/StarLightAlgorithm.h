// Turns bright points of the photo into glints drawn with a star-shaped
// picture, tile by tile.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/QLImage.h"

#include <vector>

struct StarLightParams {
    CQLImage* star; // its R byte is the star's brightness; its size the glint's reach
    INT threshold;  // grey level above which a pixel shines
    INT intensity;  // gain in percent
    INT colour;     // non-zero: coloured glints
};

class StarLightAlgorithm : public EffectAlgorithm {
public:
    StarLightAlgorithm() = default;
    ~StarLightAlgorithm() override;

    // params: StarLightParams. 0, or E_FAIL (images, a star picture missing
    // or smaller than 2 x 2, memory, a tile's smoothing, cancel). A cancel
    // leaves the tiles done so far in the target.
    HRESULT Apply(const void* params) override;

private:
    // One star cell that can light: offset from the centre, brightness and
    // its hue step by distance.
    struct StarCell {
        int u;
        int m;
        int brightness;
        int distance;
    };

    // Work images of one thread; tiles are shared out over the cores.
    struct TileWork {
        CQLImage crop;
        CQLImage glow;
        SmoothAlgorithm smooth;
        std::vector<int> covered; // prefix sums of the shining pixels
        std::vector<std::ptrdiff_t> offsets; // of the star cells in the glow
    };

    bool RenderTile(TileWork& work, int tx, int ty, int tw, int th) const;

    StarLightParams param = {};
    std::vector<StarCell> cells;
    int halfWidth = 0; // of the star; also the tile margin
    int halfHeight = 0;
};
