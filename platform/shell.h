#pragma once
#include <string>

namespace tq::platform {

// Hands a file name, web address or "mailto:" link to the desktop's "open"
// action (xdg-open). Returns at once; failures are not reported. The target
// is passed as one argument, never through a shell.
void OpenDocument(const std::string& target);

}  // namespace tq::platform
