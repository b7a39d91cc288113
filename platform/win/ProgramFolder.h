// The small programs' folder: where the running executable lies, ending in
// '/'; tests point it elsewhere.
#pragma once

#include <string>

namespace qlwin {

const std::string& ProgramFolder();
// A folder without a trailing '/' gets one.
void SetProgramFolder(const std::string& folder);

} // namespace qlwin
