// What the effect dialog tests share: an application object with a private
// profile, the skin from the program folder, the codec and the running
// algorithm thread, set up once for the program.
#pragma once

#include <functional>
#include <string>

namespace effecttest {

// The profile file the dialogs read and write.
const std::string& ProfilePath();
int ProfileInt(const char* section, const char* key);
// Pumps messages until done() or a timeout; false on the timeout.
bool PumpUntil(const std::function<bool()>& done, int ms = 20000);

}  // namespace effecttest
