// The frame both effect plug-ins share: the filter base with its value-text
// parser, the apply function that runs one filter object per call, and the
// record fill.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"
#include "plugins/PluginInterface.h"

#include <new>

// Charset value of the record that asks for the Chinese texts.
constexpr int32_t kChineseCharset = 134;

// Limits of the value text, including what the fixed buffers hold.
constexpr int kMaxItemLength = 127;
constexpr int kMaxNameLength = 31;
constexpr int kMaxValueLength = 127;

class PluginFilter {
public:
    PluginFilter() = default;
    PluginFilter(const PluginFilter&) = delete;
    PluginFilter& operator=(const PluginFilter&) = delete;

    // Slot order is part of the plug-in's make-up: Apply, destructor, SetParam.
    // The base parses values and returns 0, or E_FAIL when they do not parse.
    virtual HRESULT Apply(const char* values);
    virtual ~PluginFilter();
    // 1 to go on parsing, 0 to fail; the base accepts everything.
    virtual int SetParam(const char* name, const char* value);

    void AttachHost(FilterHost* filterHost);
    // percent of this effect, mapped by the host into its range.
    void Progress(int percent);

protected:
    // 1 when the host was asked to stop; the run then ends with E_FAIL.
    bool Cancelled();

    FilterHost* host = nullptr;
    CQLImage* source = nullptr;
    CQLImage* target = nullptr;
};

// "'name'='value';..." item by item into filter->SetParam. 0 or E_FAIL.
HRESULT ParseValueText(const char* values, PluginFilter* filter);

// An ASCII name compared without regard to case, or a UTF-8 label exactly.
bool IsParamName(const char* name, const char* english, const char* chinese);

// The apply function of an effect: one filter object for the one call.
template <class Filter>
int ApplyFilter(const char* values, FilterHost* host)
{
    if (!host)
        return E_FAIL;
    Filter* filter = new (std::nothrow) Filter;
    if (!filter)
        return E_FAIL;
    filter->AttachHost(host);
    const HRESULT result = filter->Apply(values ? values : "");
    delete filter;
    return result;
}

struct EffectTexts {
    const char* name;
    const char* description;
    const char* paramSpec;
};

// msg 0 answers the effect kind, msg 2 fills record in its charset's
// language; anything else does nothing. Always 0.
int EffectPluginEntry(int msg, void* record, int* out, const EffectTexts& english, const EffectTexts& chinese,
                      EffectApplyFunction apply);
