// The automatic white-balance preview of the open page: the thumbnail's
// least colourful pixels are taken as grey and the whole thumbnail is
// balanced towards them.
#pragma once

#include "imagecore/QLImage.h"

namespace develop {

// balanced: the thumbnail balanced; reference: B, G, R the colour taken as
// grey, A the grey level it becomes. With 10 counted pixels or fewer the
// plain average is the reference. Nothing happens to an empty thumbnail.
void BalancePreview(const CQLImage& thumbnail, CQLImage& balanced, CPixel& reference);

} // namespace develop
