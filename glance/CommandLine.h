// What QuilloGlance was asked to do by its command line.
#pragma once

#include <string>

namespace glance {

enum class StartAction { Open, Register, Restore };

struct StartRequest {
    StartAction action = StartAction::Open;
    std::string path;  // kept whole, whatever its length
};

// raw: the arguments joined by blanks. "/r" and "/u" only when they are the
// whole text (any case); anything else is a path, without its quotes.
StartRequest ParseCommandLine(const char* raw);

} // namespace glance
