// QuilloDevelop's command line: -i a RAW file, -o an output file, -f an
// output folder, -b stored only.
#pragma once

#include <string>

namespace develop {

struct CommandLineValues {
    std::string input;  // -i
    std::string output; // -o
    std::string batch;  // -b
    std::string folder; // -f
};

// line: the arguments after the program name. Blanks are spaces only; a
// quoted token runs to the next quote without its quotes, and one without a
// closing quote ends parsing and is dropped. An option (exact case) takes the
// next token whatever it is; the last value wins; values keep any length.
CommandLineValues ParseCommandLine(const char* line);

} // namespace develop
