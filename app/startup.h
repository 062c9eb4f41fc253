#pragma once

namespace tq::app {

// The program's entry: console mode with arguments naming an input file,
// otherwise the desktop window. Returns the process exit status.
int RunProgram(int argc, char** argv);

// Releases the instance lock, flushes the output and ends the process with
// `status`. Console mode, the uninstall page and the window's exit end here.
[[noreturn]] void ShutdownProgram(int status = 0);

}  // namespace tq::app
