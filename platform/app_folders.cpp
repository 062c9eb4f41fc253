#include "platform/app_folders.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/system.h"
#include "platform/text_util.h"

namespace tq::platform {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(Trim(value, " \t")) : std::string();
}

// A fresh account may lack ~/.config itself; it is made private, as the
// base-directory convention asks.
void CreatePrivateFolders(const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    std::string part = folder.substr(0, slash);
    if (!IsFolder(part)) mkdir(part.c_str(), 0700);
  }
}

}  // namespace

std::string AppDataFolder() {
  // A relative XDG_CONFIG_HOME is invalid by convention; it would also make
  // the settings depend on the working folder.
  std::string config = Variable("XDG_CONFIG_HOME");
  if (!config.empty() && config.front() == '/') return config;
  std::string home = Variable("HOME");
  if (home.empty()) return {};
  if (home.back() != '/') home += '/';
  return home + ".config";
}

std::string ConfigFolder(const std::string& brand, const std::string& name) {
  std::string base = AppDataFolder();
  if (base.empty() || base.back() != '/') base += '/';
  CreatePrivateFolders(base);
  for (const std::string* part : {&brand, &name}) {
    std::string folder = base + *part + "/";
    if (!IsFolder(folder)) CreateFolder(folder);
    base = folder;
  }
  return base;
}

}  // namespace tq::platform
