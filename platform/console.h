#pragma once
#include <string>
#include <string_view>

namespace tq::platform {

// The process console is standard output. Opening it makes a vanished
// reader (a closed pipe) a write error instead of the end of the process,
// so a run that is already converting still finishes its file.
void OpenConsole();
// The text followed by CR LF, flushed at once.
void PrintLine(std::string_view text);
// An xterm title escape, only when standard output is a terminal.
void SetConsoleTitle(std::string_view title);
// The bytes of a key press waiting on standard input, without waiting; ""
// when none is pending. At the end of input, on an error, or when standard
// input is not a terminal, it returns "\n": such an input counts as a key,
// so a wait for one never hangs.
std::string ReadPendingKey();
// Prints `prompt` as a line unless it is empty, then polls for a key until
// one comes. The terminal is raw before the prompt shows, so a key typed the
// moment it appears is neither echoed nor lost.
void WaitForKey(std::string_view prompt = {});

}  // namespace tq::platform
