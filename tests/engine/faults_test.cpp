// Faults around the save: the disk filling up, the folder vanishing, the
// process killed half-way. The old output must survive every one of them.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "engine/bmp_writer.h"
#include "engine/conversion_context.h"
#include "engine/pipeline.h"
#include "platform/system.h"
#include "settings/defaults.h"
#include "tests/support/pcx_writer.h"
#include "tests/support/temp_dir.h"

namespace tq::engine {
namespace {

using test::TempDir;

Picture Big(int width, int height) {
  Picture p = Adopt(FreeImage_Allocate(width, height, 24));
  BYTE* bits = FreeImage_GetBits(p.get());
  for (size_t i = 0; i < static_cast<size_t>(FreeImage_GetPitch(p.get())) * height; ++i)
    bits[i] = static_cast<BYTE>(i * 31);
  return p;
}

int FilesIn(const std::string& dir) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) n += e.is_regular_file();
  return n;
}

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::SetDefaultSettings(1);
    ResetConversionState();
    g_context.OutputFormatId = FIF_BMP;
    g_context.OutputExtension = "bmp";
    g_context.OutputSaveFlags = 0;
    target = dir / "out.bmp";
    test::WriteFileBytes(target, "the old output");
  }
  TempDir dir;
  std::string target;
};

TEST_F(FaultTest, AFullDiskFailsTheSaveAndKeepsTheOldFile) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file-size limit stands in for a full disk; ignored, the signal
    // turns into a failing write, as ENOSPC would.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    Picture p = Big(400, 400);
    _exit(SavePicture(p.get(), target) == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success";
  EXPECT_EQ(test::ReadFileBytes(target), "the old output");
  EXPECT_EQ(FilesIn(dir.path()), 1) << "a temporary file was left behind";
}

TEST_F(FaultTest, AKilledSaveLeavesTheOldFileOrTheWholeNewOne) {
  Picture p = Big(1500, 1500);
  const std::string expectedHead = "BM";
  for (int delayMs : {0, 2, 5, 10, 20}) {
    test::WriteFileBytes(target, "the old output");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) SavePicture(p.get(), target);
    }
    usleep(static_cast<useconds_t>(delayMs * 1000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string now = test::ReadFileBytes(target);
    if (now != "the old output") {
      ASSERT_EQ(now.substr(0, 2), expectedHead);
      std::uint32_t size = 0;
      std::memcpy(&size, now.data() + 2, 4);
      EXPECT_EQ(size, now.size()) << "a partial file took the output's name";
    }
  }
}

TEST_F(FaultTest, AVanishedOrReadOnlyFolderFailsCleanly) {
  std::string folder = dir / "gone/";
  ASSERT_TRUE(platform::CreateFolder(folder));
  std::vector<std::uint8_t> pcx = test::WritePcx({8, 3, 4, 4, std::vector<std::uint32_t>(16, 0xFF102030)});
  g_context.InputPath = dir / "in.pcx";
  test::WriteFileBytes(g_context.InputPath, std::string(pcx.begin(), pcx.end()));
  g_context.OutputFolder = folder;
  g_context.AutoBitDepth = 1;
  std::filesystem::remove(folder);  // gone between the checks and the save
  EXPECT_EQ(ConvertFile(), 0);
  EXPECT_FALSE(platform::FileExists(folder));
  // Made read-only; the save runs in a child that drops root, which would
  // write into a read-only folder anyway.
  ASSERT_TRUE(platform::CreateFolder(folder));
  test::WriteFileBytes(folder + "in.bmp", "old");
  chmod(folder.c_str(), 0555);
  chmod(dir.path().c_str(), 0755);
  const std::string writable = dir / "open/";
  ASSERT_TRUE(platform::CreateFolder(writable));
  chmod(writable.c_str(), 0777);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    // The same conversion into a writable folder shows the input is readable.
    g_context.OutputFolder = writable;
    if (ConvertFile() != 1) _exit(3);
    g_context.OutputFolder = folder;
    _exit(ConvertFile() == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  chmod(folder.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save into a read-only folder reported success";
  EXPECT_EQ(test::ReadFileBytes(folder + "in.bmp"), "old");
  EXPECT_EQ(FilesIn(folder), 1);
}

}  // namespace
}  // namespace tq::engine
