// A test effect: inverts the picture by Amount percent, all channels or red
// only, reporting progress per row and stopping when cancelled.
#include "algorithms/EffectAlgorithm.h"
#include "plugins/PluginInterface.h"

#include <cstdio>
#include <cstring>

namespace {

int ValueOf(const char* values, const char* label, int fallback)
{
    const char* at = std::strstr(values, label);
    int value = fallback;
    if (at)
        std::sscanf(at + std::strlen(label), "='%d'", &value);
    return value;
}

int Apply(const char* values, FilterHost* host)
{
    CQLImage* source = host->GetSource();
    CQLImage* target = host->GetTarget();
    if (!source || !target || !host->CopySourceToTarget())
        return E_FAIL;
    const int amount = ValueOf(values, "'Amount'", 100);
    const bool redOnly = std::strstr(values, "'Channels'='Red only'") != nullptr;
    UINT width = 0, height = 0;
    target->GetSize(&width, &height);
    for (UINT y = 0; y < height; ++y) {
        if (host->TestCancel())
            return E_FAIL;
        BYTE* p = target->GetBuffer(0, y);
        for (UINT x = 0; x < width; ++x, p += 4)
            for (int c = redOnly ? 2 : 0; c < 3; ++c)
                p[c] = static_cast<BYTE>(p[c] + (255 - 2 * p[c]) * amount / 100);
        host->Progress(static_cast<int>((y + 1) * 100 / height));
    }
    return 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void* record, int* out)
{
    if (msg == kPluginQueryKind && out)
        *out = kPluginKindEffect;
    if (msg == kPluginFillRecord && record) {
        auto* r = static_cast<EffectRecord*>(record);
        std::snprintf(r->name, sizeof r->name, "%s", TEST_EFFECT_NAME);
        std::snprintf(r->description, sizeof r->description, "Inverts the picture");
        std::snprintf(r->paramSpec, sizeof r->paramSpec, "%s",
                      "int 'Amount'{0,101,100};enum 'Channels'{0,'All','Red only'};");
        r->ownUI = 0;
        r->reserved = 1;
        r->apply = Apply;
    }
    return 0;
}
