#include <sys/stat.h>

#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "engine/conversion_context.h"
#include "engine/formats.h"
#include "engine/input_files.h"
#include "engine/pipeline.h"
#include "engine/worker.h"
#include "platform/system.h"
#include "settings/defaults.h"
#include "tests/support/independent_reader.h"
#include "tests/support/pcx_writer.h"
#include "tests/support/temp_dir.h"

namespace tq::engine {
namespace {

using test::PcxOptions;
using test::PcxPixels;
using test::TempDir;

settings::AppSettings& S() { return settings::g_settings; }

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  test::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

std::uint32_t U32(const std::string& b, size_t at) {
  std::uint32_t v = 0;
  if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
  return v;
}
int BitCount(const std::string& bmp) { return bmp.size() > 30 ? bmp[28] | (bmp[29] << 8) : 0; }

PcxPixels Pattern(int bits, int planes, int width, int height) {
  PcxPixels p{bits, planes, width, height, {}};
  int colours = bits * planes >= 24 ? 0 : 1 << (bits * planes);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (colours) {
        p.values.push_back(static_cast<std::uint32_t>((x + 3 * y) % colours));
      } else {
        std::uint32_t r = (x * 37) & 0xFF, g = (y * 59) & 0xFF, b = ((x + y) * 13) & 0xFF;
        std::uint32_t a = planes == 4 ? (x * 255 / std::max(1, width - 1)) : 0xFF;
        p.values.push_back((a << 24) | (r << 16) | (g << 8) | b);
      }
    }
  return p;
}

std::array<std::uint8_t, 48> Palette16() {
  std::array<std::uint8_t, 48> pal{};
  for (int i = 0; i < 16; ++i) {
    pal[i * 3] = static_cast<std::uint8_t>(i * 16);
    pal[i * 3 + 1] = static_cast<std::uint8_t>(255 - i * 16);
    pal[i * 3 + 2] = static_cast<std::uint8_t>(i * 5);
  }
  return pal;
}

std::vector<std::uint8_t> Palette256() {
  std::vector<std::uint8_t> pal(768);
  for (int i = 0; i < 256; ++i) {
    pal[i * 3] = static_cast<std::uint8_t>(i);
    pal[i * 3 + 1] = static_cast<std::uint8_t>(i * 3);
    pal[i * 3 + 2] = static_cast<std::uint8_t>(255 - i);
  }
  return pal;
}

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::SetDefaultSettings(1);
    ResetConversionState();
    g_context.OutputFolder = dir.path();
    g_context.OutputExtension = "bmp";
    g_context.OutputFormatId = FIF_BMP;
    g_context.AutoBitDepth = 1;
    g_context.OutputBitDepth = 0;
    g_context.OutputSaveFlags = 0;
  }
  // Converts one input through the worker, as a front end does.
  int RunWorker() {
    g_progress = ProgressFields{};
    g_progress.ConversionRunning = 1;
    std::thread worker([this] { ConversionWorker(print); });
    worker.join();
    return g_progress.ConvertedCount;
  }
  std::string Input(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::string path = dir / name;
    WriteBytes(path, bytes);
    return path;
  }
  TempDir dir;
  std::vector<std::string> lines;
  std::function<void(const std::string&)> print = [this](const std::string& l) { lines.push_back(l); };
};

TEST_F(PipelineTest, EveryLayoutArrivesPixelExactInABmpOthersCanRead) {
  struct Case {
    int bits, planes, width, height;
    bool rle;
    int bmpBits;
  } const cases[] = {
      {1, 1, 9, 5, true, 1},  {1, 4, 7, 3, false, 4}, {1, 3, 6, 4, true, 4}, {2, 1, 5, 4, true, 4},
      {4, 1, 5, 4, true, 4},  {8, 1, 13, 6, true, 8}, {8, 1, 1, 1, false, 8}, {8, 3, 11, 7, true, 24},
      {8, 4, 6, 5, true, 32},
  };
  for (const Case& c : cases) {
    PcxOptions options;
    options.rle = c.rle;
    options.headerPalette = Palette16();
    if (c.bits == 8 && c.planes == 1) options.trailingPalette = Palette256();
    PcxPixels pixels = Pattern(c.bits, c.planes, c.width, c.height);
    std::string name = "l" + std::to_string(c.bits) + "x" + std::to_string(c.planes);
    g_context.InputPath = Input(name + ".pcx", test::WritePcx(pixels, options));
    ASSERT_EQ(ConvertFile(), 1) << name;
    EXPECT_EQ(g_context.OutputPath, dir / (name + ".bmp"));
    std::string bmp = test::ReadFileBytes(g_context.OutputPath);
    EXPECT_EQ(BitCount(bmp), c.bmpBits) << name;
    EXPECT_EQ(U32(bmp, 2), bmp.size()) << name;

    // Compared with what an independent reader gets from our BMP.
    test::ForeignPicture f = test::ReadWithPillow(g_context.OutputPath);
    ASSERT_TRUE(f.ok) << name << f.error;
    ASSERT_EQ(f.width, c.width);
    ASSERT_EQ(f.height, c.height);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        std::uint32_t v = pixels.values[static_cast<size_t>(y) * c.width + x];
        std::uint32_t rgb;
        if (c.bits * c.planes >= 24) {
          rgb = v & 0xFFFFFF;
        } else if (c.bits == 1 && c.planes == 1) {
          rgb = v ? 0xFFFFFF : 0;
        } else if (c.bits == 8) {
          rgb = (std::uint32_t{options.trailingPalette[v * 3]} << 16) | (options.trailingPalette[v * 3 + 1] << 8) |
                options.trailingPalette[v * 3 + 2];
        } else if (c.bits == 2) {
          continue;  // CGA colours follow their own header rule, checked by the reader's tests
        } else {
          rgb = (std::uint32_t{options.headerPalette[v * 3]} << 16) | (options.headerPalette[v * 3 + 1] << 8) |
                options.headerPalette[v * 3 + 2];
        }
        ASSERT_EQ(f.Pixel(x, y) >> 8, rgb) << name << " at " << x << "," << y;
      }
  }
}

TEST_F(PipelineTest, AutomaticDepthFollowsTheSourceDepth) {
  struct Case {
    int bits, planes, depth;
  } const cases[] = {{1, 1, 1}, {1, 4, 4}, {8, 1, 8}, {8, 3, 24}, {8, 4, 32}};
  for (const Case& c : cases) {
    // Colour correction turns 1- and 4-bit pictures into 24 bits; the depth
    // still follows the picture as loaded.
    S().DoImageColorCorrection = 1;
    PcxOptions options;
    options.headerPalette = Palette16();
    g_context.InputPath = Input("d.pcx", test::WritePcx(Pattern(c.bits, c.planes, 8, 4), options));
    ASSERT_EQ(ConvertFile(), 1);
    EXPECT_EQ(g_context.SourceBitDepth, c.depth);
    EXPECT_EQ(g_context.OutputBitDepth, c.depth);
    EXPECT_EQ(BitCount(test::ReadFileBytes(dir / "d.bmp")), c.depth);
  }
}

TEST_F(PipelineTest, EightBitsWithExactColourTableUseTheExactWriter) {
  S().BMPColorTable = 1;
  PcxPixels pixels = Pattern(8, 1, 10, 4);
  for (auto& v : pixels.values) v %= 10;  // indices 0..9
  PcxOptions options;
  options.trailingPalette = Palette256();
  g_context.InputPath = Input("exact.pcx", test::WritePcx(pixels, options));
  ASSERT_EQ(ConvertFile(), 1);
  std::string bmp = test::ReadFileBytes(dir / "exact.bmp");
  EXPECT_EQ(U32(bmp, 10), 94u);
  EXPECT_EQ(U32(bmp, 46), 10u);
  EXPECT_TRUE(test::ReadWithPillow(dir / "exact.bmp").ok);
}

TEST_F(PipelineTest, ResultSizeIsTakenAfterTheResize) {
  S().DoImageRotation = 1;
  S().TransformImageRotation = 90;
  S().DoImageResize = 1;
  S().ImageWidth = S().ImageHeight = 50;
  S().ImageWidthUnit = S().ImageHeightUnit = 1;
  S().FilenameMask = "%width%x%height%_%bpp%";
  g_context.InputPath = Input("r.pcx", test::WritePcx(Pattern(8, 3, 40, 20)));
  ASSERT_EQ(ConvertFile(), 1);
  EXPECT_EQ(g_context.ResultWidth, 10);
  EXPECT_EQ(g_context.ResultHeight, 20);
  EXPECT_TRUE(platform::FileExists(dir / "10x20_24"));
}

TEST_F(PipelineTest, RefusedAndEmptyInputsWriteNothing) {
  g_context.OutputPath = "previous";
  for (const std::string& bytes : {std::string(), std::string("not a picture at all")}) {
    g_context.InputPath = dir / "bad.pcx";
    test::WriteFileBytes(g_context.InputPath, bytes);
    EXPECT_EQ(ConvertFile(), 0);
    EXPECT_EQ(g_context.OutputPath, "previous");
  }
  EXPECT_FALSE(platform::FileExists(dir / "bad.bmp"));
}

TEST_F(PipelineTest, AMaskNamingTheInputNeverOverwritesIt) {
  std::vector<std::uint8_t> bytes = test::WritePcx(Pattern(8, 3, 4, 4));
  g_context.InputPath = Input("same.pcx", bytes);
  S().FilenameMask = "%filename%.pcx";
  EXPECT_EQ(ConvertFile(), 0);
  EXPECT_EQ(test::ReadFileBytes(g_context.InputPath), std::string(bytes.begin(), bytes.end()));
  // Another spelling of the same file is caught too.
  g_context.OutputFolder = dir.path() + "./";
  EXPECT_EQ(ConvertFile(), 0);
  EXPECT_EQ(test::ReadFileBytes(g_context.InputPath), std::string(bytes.begin(), bytes.end()));
}

TEST_F(PipelineTest, AnExistingOutputIsReplacedAndAMissingFolderFails) {
  g_context.InputPath = Input("o.pcx", test::WritePcx(Pattern(8, 3, 4, 4)));
  test::WriteFileBytes(dir / "o.bmp", "old");
  ASSERT_EQ(ConvertFile(), 1);
  EXPECT_EQ(test::ReadFileBytes(dir / "o.bmp").substr(0, 2), "BM");
  g_context.OutputFolder = dir / "missing/";
  EXPECT_EQ(ConvertFile(), 0);
  g_context.OutputFolder = dir.path();
  g_context.CurrentSubfolder = "sub/";
  EXPECT_EQ(ConvertFile(), 0);  // subfolders are not created
}

TEST_F(PipelineTest, WorkerNumbersOnlySuccessesAndPrintsDebugLines) {
  g_context.ConsoleMode = 1;
  g_context.RunMode = "DEBUG";
  S().FilenameMask = "%n%_%rnd%";
  AddInputFile(Input("a_bad.pcx", {1, 2, 3}));
  g_inputFiles[Input("b_good.pcx", test::WritePcx(Pattern(8, 3, 4, 4)))] = {1, ""};
  g_inputFiles[Input("c_good.pcx", test::WritePcx(Pattern(8, 1, 4, 4)))] = {1, ""};
  int random = g_context.RandomNumber;
  char first[16];
  std::snprintf(first, sizeof first, "00001_%05d", random);
  ASSERT_EQ(RunWorker(), 2);
  EXPECT_TRUE(platform::FileExists(dir / first));
  EXPECT_EQ(g_context.FileNumber, 3);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Processing: " + dir / "a_bad.pcx");
  EXPECT_EQ(lines[1], "Saving As: ");  // nothing was named for a file that did not load
  EXPECT_EQ(lines[2], "Not OK");
  EXPECT_EQ(lines[4], "Saving As: " + dir / first);
  EXPECT_EQ(lines[5], "OK");
  EXPECT_EQ(g_progress.ProgressIndex, 3);
}

TEST_F(PipelineTest, AStopDuringTheSecondFileLetsItFinishAndTakesNoMore) {
  g_context.ConsoleMode = 1;
  g_context.RunMode = "DEBUG";
  for (const char* name : {"1.pcx", "2.pcx", "3.pcx"})
    g_inputFiles[Input(name, test::WritePcx(Pattern(8, 3, 4, 4)))] = {1, ""};
  // The front end's stop, made while the second file is being converted.
  print = [this](const std::string& line) {
    lines.push_back(line);
    if (line == "Processing: " + dir / "2.pcx") {
      std::lock_guard<std::mutex> lock(g_progressMutex);
      g_progress.ConversionRunning = 0;
    }
  };
  EXPECT_EQ(RunWorker(), 2);
  EXPECT_TRUE(platform::FileExists(dir / "2.bmp"));
  EXPECT_FALSE(platform::FileExists(dir / "3.bmp"));
  EXPECT_EQ(g_progress.ProgressIndex, 2);
}

TEST_F(PipelineTest, APausedWorkerWaitsAtTheGate) {
  g_inputFiles[Input("p.pcx", test::WritePcx(Pattern(8, 3, 4, 4)))] = {1, ""};
  g_progress = ProgressFields{};
  g_progress.ConversionRunning = 1;
  PauseWorker();
  std::thread worker([] { ConversionWorker(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  {
    std::lock_guard<std::mutex> lock(g_progressMutex);
    EXPECT_EQ(g_progress.ProgressIndex, 0);
  }
  ResumeWorker();
  worker.join();
  EXPECT_EQ(g_progress.ConvertedCount, 1);
}

TEST_F(PipelineTest, FileTimesAreSetAfterASuccessOnly) {
  std::string input = Input("t.pcx", test::WritePcx(Pattern(8, 3, 4, 4)));
  const std::int64_t past = 1300000000;  // 2011, well before any test run
  ASSERT_TRUE(platform::SetModificationTime(input, past));
  struct Case {
    int mode;
    std::int64_t expected;  // 0: the time of writing
  } const cases[] = {{1, past}, {2, 1400000000}, {0, 0}};
  for (const Case& c : cases) {
    S().FileTimestamp = static_cast<settings::Byte>(c.mode);
    S().CustomTimestamp = static_cast<settings::Date>(platform::UtcToLocal(1400000000));
    g_inputFiles.clear();
    g_inputFiles[input] = {1, ""};
    ASSERT_EQ(RunWorker(), 1);
    std::int64_t mtime = *platform::ModificationTime(dir / "t.bmp");
    if (c.expected != 0) {
      EXPECT_EQ(mtime, c.expected) << c.mode;
    } else {
      EXPECT_GT(mtime, past + 100000000) << "the time of writing stays";
    }
  }
  // A file that fails gets no time: the old output keeps its own.
  S().FileTimestamp = 1;
  platform::SetModificationTime(dir / "t.bmp", 1500000000);
  g_inputFiles.clear();
  g_inputFiles[Input("u.pcx", {9, 9, 9})] = {1, ""};
  test::WriteFileBytes(dir / "u.bmp", "keep");
  ASSERT_TRUE(platform::SetModificationTime(dir / "u.bmp", 1500000000));
  EXPECT_EQ(RunWorker(), 0);
  EXPECT_EQ(*platform::ModificationTime(dir / "u.bmp"), 1500000000);
}

}  // namespace
}  // namespace tq::engine
