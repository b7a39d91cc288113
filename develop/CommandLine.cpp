#include "develop/CommandLine.h"

#include <cstring>

namespace develop {

namespace {

// The next token from p; false at the end or at a quote that is never closed.
bool NextToken(const char*& p, std::string& token)
{
    while (*p == ' ')
        ++p;
    if (!*p)
        return false;
    if (*p == '"') {
        const char* close = std::strchr(p + 1, '"');
        if (!close)
            return false;
        token.assign(p + 1, close);
        p = close + 1;
        return true;
    }
    const char* end = p;
    while (*end && *end != ' ')
        ++end;
    token.assign(p, end);
    p = end;
    return true;
}

std::string* OptionSlot(CommandLineValues& values, const std::string& token)
{
    if (token == "-i")
        return &values.input;
    if (token == "-o")
        return &values.output;
    if (token == "-b")
        return &values.batch;
    if (token == "-f")
        return &values.folder;
    return nullptr;
}

} // namespace

CommandLineValues ParseCommandLine(const char* line)
{
    CommandLineValues values;
    const char* p = line ? line : "";
    std::string token;
    std::string* pending = nullptr;
    while (NextToken(p, token)) {
        if (pending) {
            *pending = token;
            pending = nullptr;
        } else {
            pending = OptionSlot(values, token);
        }
    }
    return values;
}

} // namespace develop
