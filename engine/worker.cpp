#include "engine/worker.h"

#include <condition_variable>

#include "engine/conversion_context.h"
#include "engine/pipeline.h"
#include "platform/system.h"
#include "settings/app_settings.h"

namespace tq::engine {
namespace {

std::mutex g_gateMutex;
std::condition_variable g_gateChanged;
bool g_paused = false;

void SetFileTime(const std::string& input, const std::string& output) {
  switch (settings::g_settings.FileTimestamp) {
    case 1:
      if (auto t = platform::ModificationTime(input)) platform::SetModificationTime(output, *t);
      break;
    case 2:
      platform::SetModificationTime(output, platform::LocalToUtc(settings::g_settings.CustomTimestamp));
      break;
    default:
      break;  // the time of writing stays
  }
}

}  // namespace

void PauseWorker() {
  std::lock_guard<std::mutex> lock(g_gateMutex);
  g_paused = true;
}

void ResumeWorker() {
  {
    std::lock_guard<std::mutex> lock(g_gateMutex);
    g_paused = false;
  }
  g_gateChanged.notify_all();
}

void PassPauseGate() {
  std::unique_lock<std::mutex> lock(g_gateMutex);
  g_gateChanged.wait(lock, [] { return !g_paused; });
}

int ConversionWorker(const std::function<void(const std::string&)>& print) {
  ConversionContext& c = g_context;
  const bool debug = c.ConsoleMode == 1 && c.RunMode == "DEBUG" && print;
  int taken = 0, converted = 0;
  for (const auto& [path, entry] : g_inputFiles) {
    PassPauseGate();
    {
      std::lock_guard<std::mutex> lock(g_progressMutex);
      if (g_progress.ConversionRunning == 0) break;
    }
    ++taken;
    c.InputPath = path;
    c.CurrentSubfolder = entry.subfolder;
    {
      std::lock_guard<std::mutex> lock(g_progressMutex);
      g_progress.ProgressIndex = taken;
      g_progress.ProgressFile = c.InputPath;
    }
    if (debug) print("Processing: " + c.InputPath);
    std::int8_t result = ConvertFile();
    if (debug) {
      print("Saving As: " + c.OutputPath);
      print(result == 1 ? "OK" : "Not OK");
    }
    if (result == 1) {
      ++converted;
      c.RandomNumber = platform::RandomNumber(1, 99999);
      ++c.FileNumber;
      SetFileTime(c.InputPath, c.OutputPath);
    }
  }
  std::lock_guard<std::mutex> lock(g_progressMutex);
  g_progress.ConvertedCount = converted;
  return 0;
}

}  // namespace tq::engine
