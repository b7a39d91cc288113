#include "glance/CommandLine.h"

#include <strings.h>

namespace glance {

StartRequest ParseCommandLine(const char* raw)
{
    const std::string text = raw ? raw : "";
    if (::strcasecmp(text.c_str(), "/r") == 0)
        return {StartAction::Register, {}};
    if (::strcasecmp(text.c_str(), "/u") == 0)
        return {StartAction::Restore, {}};
    if (!text.empty() && text.front() == '"')
        return {StartAction::Open, text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string()};
    return {StartAction::Open, text};
}

} // namespace glance
