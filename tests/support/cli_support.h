#pragma once
#include <map>
#include <string>
#include <vector>

#include "settings/settings_table.h"
#include "tests/support/temp_dir.h"

namespace tq::test {

// What a run of the real executable left behind.
struct ProgramRun {
  int status = -1;  // exit status; -1 when it was killed or did not end in time
  std::string out;
  std::string err;
};

// How standard input looks to the program.
enum class Input {
  Null,      // /dev/null: ends at once
  OpenPipe,  // a pipe that stays open and silent while the program runs
};

struct RunSetup {
  std::string workFolder;                     // "" keeps the current one
  std::map<std::string, std::string> env;     // set or replaced
  std::vector<std::string> unset;             // removed from the environment
  Input input = Input::Null;
  std::string executable = TQ_EXECUTABLE;
};

// Runs the executable with `args` and collects its output. A run that does
// not end within a minute is killed, so a hang fails the test instead of
// stopping the suite.
ProgramRun RunExecutable(const std::vector<std::string>& args, const RunSetup& setup);

// A run on a terminal: standard input, output and error are one
// pseudo-terminal. After `prompt` has appeared in the output, `key` is typed.
struct TerminalRun {
  int status = -1;
  std::string output;
  bool runningAtPrompt = false;  // still running when the prompt had appeared
};
TerminalRun RunOnTerminal(const std::vector<std::string>& args, const RunSetup& setup, const std::string& prompt,
                          const std::string& key);

// A private user for console runs: HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR
// and the working folder all live below one temporary folder.
class ConsoleSandbox {
 public:
  ConsoleSandbox();
  std::string home() const { return root_ / "home/"; }
  std::string config() const { return root_ / "config/"; }
  std::string runtime() const { return root_ / "runtime/"; }
  std::string work() const { return root_ / "work/"; }
  RunSetup Setup() const;
  ProgramRun Run(const std::vector<std::string>& args) const;
  // Every file and folder below home and config, relative to the sandbox.
  std::vector<std::string> UserFiles() const;

 private:
  TempDir root_;
};

// The text as the program prints it: every line followed by CR LF.
std::string CrLfLines(const std::vector<std::string>& lines);
// The output split at CR LF; a trailing part without CR LF is kept too.
std::vector<std::string> SplitCrLf(const std::string& text);

// A setting's value as text: numbers in decimal ("%g" for reals), texts as
// stored.
std::string FieldAsText(const settings::FieldRef& field, const settings::AppSettings& s);

// A small 8-bit palette PCX, RLE-compressed: pixel (x, y) has index
// (x + 3 * y) % 256, palette entry i is (i, 255 - i, i / 2).
std::string MakeIndexedPcx(int width, int height);

}  // namespace tq::test
