// QuilloFx: the "Sci-fi" effect.
#include "plugins/effects/SciFiFilter.h"

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void* record, int* out)
{
    return EffectPluginEntry(msg, record, out, kSciFiEnglish, kSciFiChinese, ApplyFilter<SciFiFilter>);
}
