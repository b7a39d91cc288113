#include "plugins/effects/PluginFilter.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

PluginFilter::~PluginFilter() = default;

HRESULT PluginFilter::Apply(const char* values)
{
    return ParseValueText(values, this);
}

int PluginFilter::SetParam(const char*, const char*)
{
    return 1;
}

void PluginFilter::AttachHost(FilterHost* filterHost)
{
    host = filterHost;
    source = host ? host->GetSource() : nullptr;
    target = host ? host->GetTarget() : nullptr;
}

void PluginFilter::Progress(int percent)
{
    if (host)
        host->Progress(percent);
}

bool PluginFilter::Cancelled()
{
    return host && host->TestCancel() != 0;
}

namespace {

// One leading quote off, and with it a trailing one.
std::string Unquote(std::string text)
{
    if (!text.empty() && text.front() == '\'') {
        text.erase(0, 1);
        if (!text.empty() && text.back() == '\'')
            text.pop_back();
    }
    return text;
}

} // namespace

HRESULT ParseValueText(const char* values, PluginFilter* filter)
{
    if (!values || !filter)
        return E_FAIL;
    const char* p = values;
    for (;;) {
        // Cut the item: up to a semicolon outside quotes, or the end.
        std::string item;
        bool quoted = false;
        while (*p && !(*p == ';' && !quoted)) {
            if (*p == '\'' && (item.empty() || item.back() != '\\'))
                quoted = !quoted;
            item += *p++;
        }
        if (item.size() > static_cast<size_t>(kMaxItemLength))
            return E_FAIL;
        const size_t equals = item.find('=');
        if (equals == std::string::npos || item.back() != '\'')
            return E_FAIL;
        const std::string name = Unquote(item.substr(0, equals));
        const std::string value = Unquote(item.substr(equals + 1));
        if (name.size() > static_cast<size_t>(kMaxNameLength) || value.size() > static_cast<size_t>(kMaxValueLength))
            return E_FAIL;
        if (!filter->SetParam(name.c_str(), value.c_str()))
            return E_FAIL;
        if (!*p || !p[1])
            return 0;
        ++p; // past the semicolon
    }
}

bool IsParamName(const char* name, const char* english, const char* chinese)
{
    return ::strcasecmp(name, english) == 0 || std::strcmp(name, chinese) == 0;
}

int EffectPluginEntry(int msg, void* record, int* out, const EffectTexts& english, const EffectTexts& chinese,
                      EffectApplyFunction apply)
{
    if (msg == kPluginQueryKind) {
        if (out)
            *out = kPluginKindEffect;
    } else if (msg == kPluginFillRecord && record) {
        auto* r = static_cast<EffectRecord*>(record);
        const EffectTexts& texts = r->charset == kChineseCharset ? chinese : english;
        r->ownUI = 0;
        r->reserved = 1;
        std::snprintf(r->name, sizeof r->name, "%s", texts.name);
        std::snprintf(r->description, sizeof r->description, "%s", texts.description);
        std::snprintf(r->paramSpec, sizeof r->paramSpec, "%s", texts.paramSpec);
        r->apply = apply;
    }
    return 0;
}
