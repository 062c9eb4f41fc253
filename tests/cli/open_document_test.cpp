#include "platform/shell.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace tq::platform {
namespace {

// A stand-in for xdg-open on PATH that writes its argument count and
// arguments, one a line, to the file named by TQ_OPEN_LOG.
class FakeOpener : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    std::string script = dir_ / "xdg-open";
    test::WriteFileBytes(script,
                         "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$TQ_OPEN_LOG.part\"\n"
                         "mv \"$TQ_OPEN_LOG.part\" \"$TQ_OPEN_LOG\"\n");
    chmod(script.c_str(), 0755);
    setenv("PATH", (dir_.path() + ":" + savedPath_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", savedPath_.c_str(), 1);
    unsetenv("TQ_OPEN_LOG");
  }
  // Opens `target` and returns what the opener was given.
  std::string Open(const std::string& target, const std::string& name) {
    std::string log = dir_ / name;
    setenv("TQ_OPEN_LOG", log.c_str(), 1);
    OpenDocument(target);
    // The opener runs detached; wait (boundedly) for its record.
    for (int i = 0; i < 1000 && !std::filesystem::exists(log); ++i) usleep(10000);
    return test::ReadFileBytes(log);
  }
  test::TempDir dir_;
  std::string savedPath_;
};

TEST_F(FakeOpener, TargetIsOneArgumentAndNeverShellText) {
  struct Case {
    std::string target;
    std::string received;
  };
  std::string marker = dir_ / "injected";
  const Case cases[] = {
      {"http://www.vellumark.example/tornquil/", "1\nhttp://www.vellumark.example/tornquil/\n"},
      {"mailto:support@vellumark.example?subject=Vellumark PCX to BMP 2.7 Feedback",
       "1\nmailto:support@vellumark.example?subject=Vellumark PCX to BMP 2.7 Feedback\n"},
      {"a b; touch " + marker + " $(touch " + marker + ")", "1\na b; touch " + marker + " $(touch " + marker + ")\n"},
      // A leading dash would read as an option of the opener.
      {"-manual.chm", "1\n./-manual.chm\n"},
  };
  int n = 0;
  for (const Case& c : cases) EXPECT_EQ(Open(c.target, "log" + std::to_string(n++)), c.received);
  EXPECT_FALSE(std::filesystem::exists(marker));
}

// With no opener at all nothing is reported, and no child of ours is left
// behind, reaped or not: the opener's parent is gone before we return.
TEST(OpenDocument, LeavesNoChildBehindEvenWithoutAnOpener) {
  const char* path = std::getenv("PATH");
  std::string saved = path ? path : "";
  test::TempDir empty;
  setenv("PATH", empty.path().c_str(), 1);
  OpenDocument("tornquil.chm");
  setenv("PATH", saved.c_str(), 1);
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace tq::platform
