#include "editor/ui/EffectParam.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kFormatRoom = 256;

}  // namespace

BOOL StringParam::SetValue(const void* v)
{
    if (!v)
        return FALSE;
    text = static_cast<const char*>(v);
    return TRUE;
}

char* StringParam::Format(char* out)
{
    std::snprintf(out, kFormatRoom, "%s", text.c_str());
    return out;
}

BOOL EnumParam::SetValue(const void* v)
{
    if (!v)
        return FALSE;
    options = static_cast<const char*>(v);
    return TRUE;
}

char* EnumParam::Format(char* out)
{
    out[0] = '\0';
    const std::vector<std::string> items = SplitOptions(options);
    if (index >= 0 && index < static_cast<int>(items.size()))
        std::snprintf(out, kFormatRoom, "%s", items[static_cast<size_t>(index)].c_str());
    return out;
}
BOOL IntParam::SetValue(const void* v)
{
    if (!v)
        return FALSE;
    std::memcpy(&number, v, sizeof number);
    return TRUE;
}

char* IntParam::Format(char* out)
{
    std::snprintf(out, kFormatRoom, "%d", number);
    return out;
}

std::vector<std::string> SplitOptions(const char* options)
{
    std::vector<std::string> items;
    if (!options)
        return items;
    std::string item;
    for (const char* p = options;; ++p) {
        if (*p == ';' || *p == '\0') {
            if (!item.empty())
                items.push_back(item);
            item.clear();
            if (*p == '\0')
                break;
        } else {
            item += *p;
        }
    }
    return items;
}
