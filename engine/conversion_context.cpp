#include "engine/conversion_context.h"

#include "engine/input_files.h"
#include "platform/system.h"

namespace tq::engine {

ConversionContext g_context;
InputFileMap g_inputFiles;
std::vector<std::string> g_acceptedInputExtensions{std::string()};
ProgressFields g_progress;
std::mutex g_progressMutex;

void ResetConversionState() {
  ConversionContext& c = g_context;
  c.ProgramFolder = platform::ExecutableFolder();
  c.ConsoleMode = 0;
  c.AppearanceChange = 0;
  c.RandomNumber = platform::RandomNumber(1, 99999);
  c.FileNumber = 1;
  c.ConsoleInputFormat.clear();
  c.InputPath.clear();
  c.SourceRoot.clear();
  c.CurrentSubfolder.clear();
  c.OutputPath.clear();
  c.OutputFolder.clear();
  c.OutputExtension.clear();
  c.SourceBitDepth = 0;
  c.OutputBitDepth = 0;
  c.OutputFormatId = 0;
  c.OutputSaveFlags = 0;
  c.AutoBitDepth = 0;
  c.PreferencesStartSection = 0;
  g_inputFiles.clear();
  BuildAcceptedExtensions();
}

}  // namespace tq::engine
