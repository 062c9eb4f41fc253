#include "engine/drawing.h"

#include <dlfcn.h>

#include <mutex>

#include "platform/system.h"

namespace tq::engine {
namespace {

constexpr const char* kModule = "libtornquil-draw.so";
constexpr const char* kEntry = "tq_drawing_api";

using Entry = const DrawingApi* (*)();

Entry FindEntry() {
  // Already in the process (linked in, as the tests have it)?
  if (void* entry = dlsym(RTLD_DEFAULT, kEntry)) return reinterpret_cast<Entry>(entry);
  // Beside the executable, else wherever the run-time path finds it.
  for (const std::string& name : {platform::ExecutableFolder() + kModule, std::string(kModule)}) {
    if (void* module = dlopen(name.c_str(), RTLD_NOW | RTLD_GLOBAL))
      if (void* entry = dlsym(module, kEntry)) return reinterpret_cast<Entry>(entry);
  }
  return nullptr;
}

}  // namespace

const DrawingApi* Drawing() {
  static std::once_flag once;
  static const DrawingApi* api = nullptr;
  std::call_once(once, [] {
    if (Entry entry = FindEntry()) api = entry();
  });
  return api;
}

}  // namespace tq::engine
