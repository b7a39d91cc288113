#include "album/tools/BatchParam.h"

#include <strings.h>

namespace shelf {

bool EffectParam::Applies() const
{
    if (!controller)
        return true;
    const auto* list = dynamic_cast<const EnumParam*>(controller);
    if (!list)
        return true;
    for (int v : controlValues)
        if (v >= 0 && v == list->index)
            return true;
    return false;
}

void EffectParam::ControlledBy(const EffectParam* c, std::initializer_list<int> values)
{
    controller = c;
    int i = 0;
    for (int v : values)
        if (i < 4)
            controlValues[i++] = v;
}

bool StringParam::SetValue(const void* v)
{
    if (!v)
        return false;
    text = static_cast<const char*>(v);
    return true;
}

std::vector<std::string> SplitItems(const std::string& items)
{
    std::vector<std::string> out;
    std::string::size_type start = 0;
    while (start <= items.size()) {
        auto end = items.find(';', start);
        if (end == std::string::npos)
            end = items.size();
        if (end > start)
            out.push_back(items.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

bool EnumParam::SetValue(const void* v)
{
    if (!v)
        return false;
    items = static_cast<const char*>(v);
    return true;
}

std::vector<std::string> EnumParam::Items() const
{
    return SplitItems(items);
}

std::string EnumParam::Text() const
{
    const auto list = Items();
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index] : std::string();
}

int EnumParam::Find(const char* text) const
{
    const auto list = Items();
    for (size_t i = 0; i < list.size(); ++i)
        if (strcasecmp(list[i].c_str(), text) == 0)
            return static_cast<int>(i);
    return -1;
}

bool IntParam::SetValue(const void* v)
{
    if (!v)
        return false;
    number = *static_cast<const int*>(v);
    return true;
}

} // namespace shelf
