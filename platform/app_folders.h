#pragma once
#include <string>

namespace tq::platform {

// The user's application-data folder: $XDG_CONFIG_HOME, else $HOME/.config,
// blanks trimmed from both ends; "" when neither tells. The folder may not
// exist yet.
std::string AppDataFolder();

// The folder base/brand/name/ below AppDataFolder() (base "/" when that is
// ""), ending in "/". Missing folders are created; failures are not reported,
// the later read or write of a file there fails instead.
std::string ConfigFolder(const std::string& brand, const std::string& name);

}  // namespace tq::platform
