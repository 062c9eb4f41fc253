#include "engine/input_files.h"

#include <sys/stat.h>

#include "app/build_info.h"
#include "engine/conversion_context.h"
#include "engine/formats.h"
#include "platform/system.h"
#include "platform/text_util.h"

namespace tq::engine {
namespace {

InputFileAddedHook g_addedHook;

// The size query of the platform: 0 only for an existing empty file, so a
// path that does not exist, or names a folder, still passes this test.
bool SizeIsNotZero(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return true;
  return !(S_ISREG(st.st_mode) && st.st_size == 0);
}

}  // namespace

void BuildAcceptedExtensions() {
  std::string list;
  for (std::string_view e : app::InputExtensions)
    for (const InputFormat& f : InputFormatCatalogue())
      if (f.formatKey == e) {
        list += f.extension;
        list += ',';
      }
  if (!list.empty() && list.back() == ',') list.pop_back();
  g_acceptedInputExtensions = platform::Split(list, ',');
}

bool IsAcceptedExtension(std::string_view extension) {
  for (const std::string& e : g_acceptedInputExtensions)
    if (e == extension) return true;
  return false;
}

std::string FileExtension(std::string_view path) {
  size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string FolderPart(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string RelativeSubfolder(const std::string& file, const std::string& root) {
  if (file.empty() || root.empty()) return {};
  std::string folder = FolderPart(file);
  if (folder.find(root) == std::string::npos) return {};
  return platform::ReplaceAll(folder, root, "");
}

int AddInputFile(const std::string& path) {
  if (!SizeIsNotZero(path) || !IsAcceptedExtension(platform::LowerAscii(FileExtension(path)))) return 0;
  g_inputFiles.clear();
  g_inputFiles[path] = InputFileEntry{1, RelativeSubfolder(path, g_context.SourceRoot)};
  if (g_context.ConsoleMode == 0 && g_addedHook) g_addedHook(path);
  return 1;
}

void SetInputFileAddedHook(InputFileAddedHook hook) { g_addedHook = std::move(hook); }

}  // namespace tq::engine
