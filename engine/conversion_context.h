#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tq::engine {

// The current conversion state, shared by the front ends and the worker.
struct ConversionContext {
  std::string ProgramFolder;      // folder of the executable, ending in "/"
  std::string InputPath;          // during a run: the file being converted
  std::string SourceRoot;         // folder relative subfolders are computed from
  std::string CurrentSubfolder;   // relative subfolder of the file being converted
  std::string OutputPath;         // full path of the output file being written
  std::string OutputFolder;       // ends in "/" when a run starts
  std::int32_t RandomNumber = 0;  // 1..99999, the %rnd% token
  std::int32_t FileNumber = 0;    // the %n% token, 1 after a reset
  std::string ConsoleInputFormat;
  std::int32_t SourceBitDepth = 0;
  std::int32_t OutputFormatId = 0;
  std::string OutputExtension;
  std::int32_t OutputBitDepth = 0;
  std::int32_t OutputSaveFlags = 0;
  std::int8_t AutoBitDepth = 0;
  std::int32_t AppearanceChange = 0;
  std::int8_t ConsoleMode = 0;
  std::string RunMode;            // "", "DEBUG" or "T"
  std::int32_t ResultWidth = 0;
  std::int32_t ResultHeight = 0;
  std::string SearchFrom;
  std::string SearchTo;
  std::int8_t PreferencesStartSection = 0;
};

extern ConversionContext g_context;

// One entry of InputFiles.
struct InputFileEntry {
  std::int32_t added = 0;
  std::string subfolder;  // relative subfolder below SourceRoot, "" when none
};
// Full input path -> entry; the worker visits it in key order.
using InputFileMap = std::map<std::string, InputFileEntry>;
extern InputFileMap g_inputFiles;

// Lower-case extensions without dot that AddInputFile accepts.
extern std::vector<std::string> g_acceptedInputExtensions;

// Progress shared by the worker and a front end, guarded by g_progressMutex.
struct ProgressFields {
  std::int8_t ConversionRunning = 0;
  std::int32_t ProgressIndex = 0;
  std::string ProgressFile;
  std::int32_t ConvertedCount = 0;
};
extern ProgressFields g_progress;
extern std::mutex g_progressMutex;

// Program folder, a new %rnd%, %n% back to 1, paths and output fields empty,
// InputFiles emptied and the accepted extensions rebuilt.
void ResetConversionState();

}  // namespace tq::engine
