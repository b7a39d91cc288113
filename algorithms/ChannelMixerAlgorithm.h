// Mixes R, G and B by a 3 x 4 matrix in percent, or replaces only the luma.
#pragma once

#include "algorithms/EffectAlgorithm.h"

struct ChannelMixerParams {
    INT lumaOnly;
    INT red[4];   // R, G, B weights in percent, constant in percent of 255
    INT green[4];
    INT blue[4];
    INT luma[4];  // R, G, B weights in percent, offset in levels
};
static_assert(sizeof(ChannelMixerParams) == 68);

class ChannelMixerAlgorithm : public EffectAlgorithm {
public:
    // params: ChannelMixerParams. 0, or E_FAIL for missing images, a failed
    // copy or a cancel. source may equal target.
    HRESULT Apply(const void* params) override;

private:
    ChannelMixerParams param = {};
};
