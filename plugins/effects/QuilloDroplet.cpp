// QuilloDroplet: the "Rain on glass" effect. The record it filled stays the
// host's; runs read its module handle and codec through it.
#include "plugins/effects/RainFilter.h"

namespace {

const EffectRecord* theRecord = nullptr;

int ApplyRain(const char* values, FilterHost* host)
{
    if (!host)
        return E_FAIL;
    RainFilter* filter = new (std::nothrow) RainFilter;
    if (!filter)
        return E_FAIL;
    filter->SetRecord(theRecord);
    filter->AttachHost(host);
    const HRESULT result = filter->Apply(values ? values : "");
    delete filter;
    return result;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void* record, int* out)
{
    if (msg == kPluginFillRecord && record)
        theRecord = static_cast<const EffectRecord*>(record);
    return EffectPluginEntry(msg, record, out, kRainEnglish, kRainChinese, ApplyRain);
}
