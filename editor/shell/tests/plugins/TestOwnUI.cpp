// A test effect with its own interface and no window: answers
// TEST_OWNUI_ANSWER, with the picture mirrored left to right as its result.
#include "imagecore/QLImage.h"
#include "plugins/PluginInterface.h"

#include <cstdio>
#include <cstring>

namespace {

int RunOwnUI(CQLImage* current, CQLImage* result)
{
    UINT width = 0, height = 0;
    current->GetSize(&width, &height);
    if (TEST_OWNUI_ANSWER == 0 || result->Create(width, height) != 0)
        return 0;
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x)
            std::memcpy(result->GetBuffer(x, y), current->GetBuffer(width - 1 - x, y), 4);
    return 1;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void* record, int* out)
{
    if (msg == kPluginQueryKind && out)
        *out = kPluginKindEffect;
    if (msg == kPluginFillRecord && record) {
        auto* r = static_cast<EffectRecord*>(record);
        std::snprintf(r->name, sizeof r->name, "%s", TEST_OWNUI_ANSWER ? "Mirror" : "Nothing");
        // Written to the end without a terminator: the host must cut it.
        std::memset(r->description, 'd', sizeof r->description);
        r->ownUI = 1;
        r->reserved = 1;
        r->runOwnUI = RunOwnUI;
    }
    return 0;
}
