// The questions the shell's file operations ask (delete? replace?), as
// message boxes owned by the operation's window.
#pragma once

namespace qlafx {
// Installs them for SHFileOperation; the window layer does it when the
// first top-level window is made. Off the GUI thread nobody is asked:
// deletions go ahead and nothing is replaced.
void InstallFileQuestions();
} // namespace qlafx
