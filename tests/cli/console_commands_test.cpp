#include <algorithm>
// The real executable: stand-alone commands, the way into the desktop
// window, exit statuses and the single-instance lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/build_info.h"
#include "tests/support/cli_support.h"

namespace tq::test {
namespace {

const std::vector<std::string> kHelp = {
    " ",
    "Usage: tornquil -i <filename> [options]",
    " ",
    "  tornquil -i example.pcx",
    "  tornquil -i c:\\tmp\\example.pcx",
    "  tornquil -i c:\\tmp\\example.pcx -o d:\\converted",
    "  tornquil -i c:\\tmp\\example.pcx -o d:\\converted --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
};

const std::string kLockName = "Vellumark PCX to BMP 2.7";

struct Expected {
  std::vector<std::string> args;
  int status;
  std::string out;
  bool guiNotice = false;  // the line on standard error that stands in for the window
};

void PrintTo(const Expected& e, std::ostream* os) {
  for (const std::string& a : e.args) *os << "[" << a << "] ";
}

class CommandTest : public ::testing::TestWithParam<Expected> {};

TEST_P(CommandTest, OutputAndStatus) {
  ConsoleSandbox box;
  ProgramRun run = box.Run(GetParam().args);
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.out, GetParam().out);
  if (GetParam().guiNotice) {
    EXPECT_NE(run.err.find("desktop window is not available"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("tornquil --help"), std::string::npos) << run.err;
  } else {
    EXPECT_EQ(run.err, "");
  }
  // Console mode never reads or writes the configuration, nor anything else
  // of the user's; the desktop path keeps its settings in config.ini alone.
  std::vector<std::string> expected;
  if (GetParam().guiNotice)
    expected = {"config/Vellumark", "config/Vellumark/tornquil", "config/Vellumark/tornquil/config.ini"};
  std::vector<std::string> files = box.UserFiles();
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandTest,
    ::testing::Values(
        Expected{{"-h"}, 0, CrLfLines(kHelp)}, Expected{{"-?"}, 0, CrLfLines(kHelp)},
        Expected{{"--help"}, 0, CrLfLines(kHelp)}, Expected{{"--HELP=x"}, 0, CrLfLines(kHelp)},
        Expected{{" -H "}, 0, CrLfLines(kHelp)}, Expected{{"-h", "-i", "a.pcx"}, 0, CrLfLines(kHelp)},
        Expected{{"-v"}, 0, "2.7\r\n"}, Expected{{"--version"}, 0, "2.7\r\n"}, Expected{{"-V", "-h"}, 0, "2.7\r\n"},
        // No input file and no error: on into the desktop window.
        Expected{{}, 0, "", true}, Expected{{"-q"}, 0, "", true}, Expected{{"--width=10", "stray"}, 0, "", true},
        Expected{{"-x", "-q", "-h"}, 0, "", true},
        // The uninstall page and the snapshot tool belong to the desktop build.
        Expected{{"-T"}, 0, "", true}, Expected{{"-U"}, 0, "", true},
        // Parse errors.
        Expected{{"-i"}, 2, "Error: Incorrect number of parameters\r\n"},
        Expected{{"--input=-x"}, 2, "Error: Incorrect number of parameters\r\n"},
        Expected{{"-q", "--width"}, 2, "Error: Incorrect number of parameters\r\n"},
        Expected{{"--profile=missing.ini", "-d"}, 2, "Error: Invalid profile file\r\n"},
        // A pause before the error waits for a key; the input has ended, which counts.
        Expected{{"-p", "--input"}, 2, "Error: Incorrect number of parameters\r\n"},
        // Validation errors of the run itself.
        Expected{{"-q", "-i", "a"}, 1, "Error: Invalid input file\r\n"},
        Expected{{"-q", "-i", "missing.pcx"}, 1, "Error: Invalid input file\r\n"}));

int HoldLock(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// While another copy of this version holds the lock, a start ends at once,
// silently, before it looks at its arguments.
TEST(InstanceLock, ASecondStartIsRefusedSilently) {
  ConsoleSandbox box;
  WriteFileBytes(box.work() + "a.pcx", MakeIndexedPcx(4, 3));
  int fd = HoldLock(box.runtime() + kLockName);
  ASSERT_GE(fd, 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-v"}, {"-i", box.work() + "a.pcx"}, {"-i"}, {}}) {
    ProgramRun run = box.Run(args);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
  }
  EXPECT_FALSE(std::filesystem::exists(box.work() + "a.bmp"));
  close(fd);
  ProgramRun after = box.Run({"-v"});
  EXPECT_EQ(after.status, 0);
  EXPECT_EQ(after.out, "2.7\r\n");
}

// Without a runtime folder the lock lives in a private folder of the temp folder.
TEST(InstanceLock, FallsBackToAPrivateFolderOfTheTempFolder) {
  ConsoleSandbox box;
  TempDir temp;
  RunSetup setup = box.Setup();
  setup.env.erase("XDG_RUNTIME_DIR");
  setup.unset = {"XDG_RUNTIME_DIR"};
  setup.env["TMPDIR"] = temp.path();
  ASSERT_EQ(RunExecutable({"-v"}, setup).status, 0);
  std::string folder = temp / ("tornquil-" + std::to_string(geteuid()) + "/");
  struct stat st {};
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  int fd = HoldLock(folder + kLockName);
  ASSERT_GE(fd, 0);
  ProgramRun refused = RunExecutable({"-v"}, setup);
  EXPECT_EQ(refused.status, 3);
  EXPECT_EQ(refused.out, "");
  close(fd);
}

// A lock folder others may write to could be anyone's: it is not used, and
// the program runs rather than being locked out by a stranger.
TEST(InstanceLock, IgnoresATempFolderOthersCanWrite) {
  ConsoleSandbox box;
  TempDir temp;
  std::string folder = temp / ("tornquil-" + std::to_string(geteuid()) + "/");
  std::filesystem::create_directories(folder);
  chmod(folder.c_str(), 0777);
  int fd = HoldLock(folder + kLockName);
  ASSERT_GE(fd, 0);
  RunSetup setup = box.Setup();
  setup.env.erase("XDG_RUNTIME_DIR");
  setup.unset = {"XDG_RUNTIME_DIR"};
  setup.env["TMPDIR"] = temp.path();
  ProgramRun run = RunExecutable({"-v"}, setup);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "2.7\r\n");
  close(fd);
}

// On a terminal the title is set with an xterm escape; nothing else changes.
TEST(Terminal, TitleEscapeOnlyOnATerminal) {
  ConsoleSandbox box;
  TerminalRun run = RunOnTerminal({"-v"}, box.Setup(), "2.7\r\n", "");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "\x1b]0;Vellumark PCX to BMP 2.7\a2.7\r\n");
}

}  // namespace
}  // namespace tq::test
