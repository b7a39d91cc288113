// Quarter turns and mirrors: the editor's rotate and flip commands.
#pragma once

#include "algorithms/EffectAlgorithm.h"

class RotateFlipAlgorithm : public EffectAlgorithm {
public:
    enum Mode : DWORD {
        RotateRight = 1, // clockwise
        RotateLeft = 2,
        MirrorLeftRight = 3,
        FlipTopBottom = 4,
    };

    // params: one DWORD mode; any other mode gives a plain copy. 0, E_FAIL
    // without images (or on a cancel), 8 when the target cannot be made.
    HRESULT Apply(const void* params) override;
};
