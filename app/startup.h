#pragma once

namespace tq::app {

// The program's entry: console mode with arguments naming an input file,
// otherwise the desktop window. Returns the process exit status.
int RunProgram(int argc, char** argv);

}  // namespace tq::app
