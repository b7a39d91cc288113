#include "develop/DevelopState.h"

#include "imagecore/QLImage.h"
#include "platform/raw/RawTone.h"

namespace develop {

DevelopState& State()
{
    // Never freed: the worker may still hold it while the program exits.
    static DevelopState* state = new DevelopState;
    return *state;
}

BOOL ConvertTo8Bit(const C16BitBitmap& image, CQLImage* out, int amount)
{
    return out && ConvertRawTo8Bit(image, *out, amount) ? TRUE : FALSE;
}

BOOL ConvertTo8Bit(CQLImage* out, int amount) { return ConvertTo8Bit(State().developed, out, amount); }

} // namespace develop
