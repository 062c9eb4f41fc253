// The real executable converting: the checks in their order, the status,
// debug and error lines, quiet and pause, profiles and relative folders.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>

#include "app/build_info.h"
#include "platform/system.h"
#include "tests/support/cli_support.h"
#include "tests/support/independent_reader.h"

namespace tq::test {
namespace {

using Lines = std::vector<std::string>;

Lines Banner() {
  std::string notice = app::CompanyNotice();
  EXPECT_EQ(notice.rfind("©", 0), 0u) << notice;
  return {app::TitleWithVersion(), "(c)" + notice.substr(std::strlen("©")), app::WebSite(), " "};
}

Lines Join(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::string kNotAdded = "No input file(s) found. Please, add valid file(s) and try again!";

// "{w}" in an argument or expected line stands for the working folder.
std::string Fill(const std::string& text, const std::string& work) {
  std::string out = text;
  for (size_t at; (at = out.find("{w}")) != std::string::npos;) out.replace(at, 3, work);
  return out;
}
Lines Fill(const Lines& lines, const std::string& work) {
  Lines out;
  for (const std::string& l : lines) out.push_back(Fill(l, work));
  return out;
}

// A sandbox with the files the cases name.
class RunFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(box.work() + "pic.pcx", MakeIndexedPcx(8, 6));
    WriteFileBytes(box.work() + "empty.pcx", "");
    std::filesystem::create_directories(box.work() + "folder.pcx");
    std::filesystem::create_directories(box.work() + "out");
    WriteFileBytes(box.work() + "photo.jpg", "not really a JPEG");
    WriteFileBytes(box.work() + "list.txt", box.work() + "pic.pcx\n");
    WriteFileBytes(box.work() + "plain", "a file, not a folder");
    WriteFileBytes(box.work() + "empty.png", "");
    WriteFileBytes(box.work() + "huge.png", PngClaiming(40000, 40000));
    WriteFileBytes(box.work() + "junk.png", std::string(300, '\x5a'));
  }
  // A PNG signature and header only, claiming a size no watermark may have.
  static std::string PngClaiming(std::uint32_t width, std::uint32_t height) {
    auto be32 = [](std::uint32_t v) {
      return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    std::string chunk = "IHDR" + be32(width) + be32(height) + std::string("\x08\x06\x00\x00\x00", 5);
    std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size())));
    return std::string("\x89PNG\r\n\x1a\n", 8) + be32(13) + chunk + be32(crc);
  }
  ProgramRun Run(const Lines& args) { return box.Run(Fill(args, box.work())); }
  std::string w() const { return box.work(); }

  ConsoleSandbox box;
};

// Arguments (after "-i {w}pic.pcx" unless they name their own input) and the
// lines after the banner.
struct RunCase {
  Lines args;
  Lines lines;
  int status;
};

void PrintTo(const RunCase& c, std::ostream* os) {
  for (const std::string& a : c.args) *os << "[" << a << "] ";
}

class CheckOrder : public RunFixture, public ::testing::WithParamInterface<RunCase> {};

TEST_P(CheckOrder, FirstFailingCheckIsReported) {
  ProgramRun run = Run(GetParam().args);
  EXPECT_EQ(run.out, CrLfLines(Join(Banner(), Fill(GetParam().lines, w()))));
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.err, "");
  EXPECT_FALSE(std::filesystem::exists(w() + "missing"));  // output folders are never made
  EXPECT_FALSE(std::filesystem::exists(w() + "pic.bmp"));
}

Lines Failed(const std::string& error) { return {"Preparing...", error}; }
const Lines kNotAddedLines = {"Preparing...", "Importing...", "Import complete, new files added: 0",
                              "Conversion stopped", kNotAdded};

INSTANTIATE_TEST_SUITE_P(
    Errors, CheckOrder,
    ::testing::Values(
        RunCase{{"-i", "{w}pic"}, Failed("Error: Invalid input file"), 1},
        RunCase{{"-i", "{w}missing.pcx"}, Failed("Error: Invalid input file"), 1},
        RunCase{{"-i", "{w}folder.pcx"}, Failed("Error: Invalid input file"), 1},
        RunCase{{"-i", "{w}empty.pcx"}, Failed("Error: Invalid input file"), 1},
        RunCase{{"-i", "{w}pic.pcx", "-o", "../out"}, Failed("Error: Incorrect output folder"), 1},
        // Without -o the output goes beside the input; ".." leading is refused there too.
        RunCase{{"-i", "../work/pic.pcx"}, Failed("Error: Incorrect output folder"), 1},
        RunCase{{"-i", "{w}pic.pcx", "-o", "{w}missing"}, Failed("Error: Invalid output folder"), 1},
        RunCase{{"-i", "{w}pic.pcx", "-o", "{w}plain"}, Failed("Error: Invalid output folder"), 1},
        RunCase{{"-i", "{w}pic.pcx", "-c", "BMP"}, Failed("Error: Invalid conversion type"), 1},
        RunCase{{"-i", "{w}pic.pcx", "-c", "jpg"}, Failed("Error: Invalid conversion type"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--bmp-bpp=12"}, Failed("Error: Invalid bmp-bpp value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--width=800"}, Failed("Error: Invalid height value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--height=600"}, Failed("Error: Invalid width value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--width=abc", "--height=5"}, Failed("Error: Invalid width value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--brightness=101"}, Failed("Error: Invalid brightness value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--contrast=-101"}, Failed("Error: Invalid contrast value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--gamma=0"}, Failed("Error: Invalid gamma value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--gamma=10"}, Failed("Error: Invalid gamma value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--gamma=9.991"}, Failed("Error: Invalid gamma value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--wm-text=Hi", "--wm-font=No Such Face Anywhere"},
                Failed("Error: Invalid watermark font"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--wm-image={w}missing.png"}, Failed("Error: Invalid watermark image"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--wm-image={w}empty.png"}, Failed("Error: Invalid watermark image"), 1},
        // A picture that cannot be decoded, or claims more pixels than a mark may have.
        RunCase{{"-i", "{w}pic.pcx", "--wm-image={w}junk.png"}, Failed("Error: Invalid watermark image"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--wm-image={w}huge.png"}, Failed("Error: Invalid watermark image"), 1},
        RunCase{{"-i", "{w}photo.jpg"}, kNotAddedLines, 1},
        RunCase{{"-i", "{w}list.txt"}, kNotAddedLines, 1},
        // Several problems at once: the earliest check speaks.
        RunCase{{"-i", "{w}pic.pcx", "--bmp-bpp=12", "--width=800", "-c", "BMP", "-o", "{w}missing"},
                Failed("Error: Invalid output folder"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--bmp-bpp=12", "--width=800", "-c", "BMP"},
                Failed("Error: Invalid conversion type"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--gamma=0", "--width=800", "--bmp-bpp=12"},
                Failed("Error: Invalid bmp-bpp value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--gamma=0", "--width=800"}, Failed("Error: Invalid height value"), 1},
        RunCase{{"-i", "{w}pic.pcx", "--wm-image={w}missing.png", "--contrast=200"},
                Failed("Error: Invalid contrast value"), 1}));

const Lines kConverted = {"Preparing...",  "Importing...",        "Import complete, new files added: 1",
                          "Converting...", "Conversion complete", "Files converted: 1 of 1"};

class Accepted : public RunFixture, public ::testing::WithParamInterface<RunCase> {};

TEST_P(Accepted, ConvertsAtTheEdgesOfTheChecks) {
  ProgramRun run = Run(GetParam().args);
  EXPECT_EQ(run.out, CrLfLines(Join(Banner(), GetParam().lines)));
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_TRUE(ReadWithPillow(w() + "pic.bmp").ok);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, Accepted,
    ::testing::Values(RunCase{{"-i", "{w}pic.pcx", "--bmp-bpp=24"}, kConverted, 0},
                      RunCase{{"-i", "{w}pic.pcx", "--bmp-bpp=0", "-c", "bmp"}, kConverted, 0},
                      RunCase{{"-i", "{w}pic.pcx", "--gamma=0.01"}, kConverted, 0},
                      RunCase{{"-i", "{w}pic.pcx", "--gamma=9.99"}, kConverted, 0},
                      RunCase{{"-i", "{w}pic.pcx", "--brightness=100", "--contrast=-100"}, kConverted, 0},
                      RunCase{{"-i", "{w}pic.pcx", "--width=4", "--height=3"}, kConverted, 0},
                      RunCase{{"--INPUT={w}pic.pcx", "--output={w}"}, kConverted, 0}));

// A default run prints the banner and six status lines and writes the BMP
// beside the input, with the picture's own colours.
TEST_F(RunFixture, DefaultRunWritesTheBmpBesideTheInput) {
  ProgramRun run = Run({"-i", "{w}pic.pcx"});
  EXPECT_EQ(run.out, CrLfLines(Join(Banner(), kConverted)));
  EXPECT_EQ(run.status, 0);
  ForeignPicture bmp = ReadWithPillow(w() + "pic.bmp");
  ASSERT_TRUE(bmp.ok) << bmp.error;
  ASSERT_EQ(bmp.width, 8);
  ASSERT_EQ(bmp.height, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      std::uint32_t i = static_cast<std::uint32_t>(x + 3 * y);
      EXPECT_EQ(bmp.Pixel(x, y), (i << 24) | ((255 - i) << 16) | ((i / 2) << 8) | 0xFF) << x << "," << y;
    }
  EXPECT_EQ(box.UserFiles(), std::vector<std::string>{});
}

TEST_F(RunFixture, DebugLinesOfARunWithManySwitches) {
  ProgramRun run = Run({"-d", "-i", "{w}pic.pcx", "-o", "{w}out", "--rotation=90", "--rotation-type=advanced",
                        "--rotation-back-color=FF0000", "--width=50", "--height=200", "--width-unit=percent",
                        "--resize-algorithm=lanczos", "--keep-aspect-ratio", "--flip-vertical", "--brightness=-20",
                        "--contrast=15", "--gamma=1.5", "--invert", "--greyscale", "--threshold=100",
                        "--fr-solid-left=2", "--fr-solid-top=3", "--fr-solid-left-color=00FF00",
                        "--fr-solid-opacity=200", "--filename-mask=%filename%_d.%ext%", "--file-timestamp=custom",
                        "--file-timestamp-custom=1000", "--no-subfolders", "--bmp-compression=rle",
                        "--bmp-color-table=exact", "--bmp-bpp=8", "--png-bpp=1", "--raw-width=7"});
  Lines expected = {"Preparing...",
                    "Input: {w}pic.pcx",
                    "Output: {w}out",
                    "Conversion: bmp",
                    "BMP BPP: 8",
                    "BMP Compression: rle",
                    "BMP Color Table: exact",
                    "Image Rotation Type: advanced",
                    "Image Rotation: 90",
                    "Image Rotation Back Color: FF0000",
                    "Width: 50 percent",
                    "Height: 200 pixels",
                    "Keep Aspect Ratio: 1",
                    "Image Resize Type: allimages",
                    "Image Resize Algorithm: lanczos",
                    "Flip Horizontal: 0",
                    "Flip Vertical: 1",
                    "Brightness: -20",
                    "Contrast: 15",
                    "Gamma: 1.50",
                    "Invert: 1",
                    "Greyscale: 1",
                    "Image Threshold: 100",
                    "Frame: solid",
                    "Frame left: 2",
                    "Frame right: 0",
                    "Frame top: 3",
                    "Frame bottom: 0",
                    "Frame left color: 00FF00",
                    "Frame right color: 000000",
                    "Frame top color: 000000",
                    "Frame bottom color: 000000",
                    "Frame opacity: 200",
                    "Watermark: none",
                    "Filename Mask: %filename%_d.%ext%",
                    "File Timestamp: custom",
                    "Custom Timestamp: 1000",
                    "Keep Subfolders: 0",
                    "Importing...",
                    "Import complete, new files added: 1",
                    "Converting...",
                    "Processing: {w}pic.pcx",
                    "Saving As: {w}out/pic_d.bmp",
                    "OK",
                    "Conversion complete",
                    "Files converted: 1 of 1"};
  EXPECT_EQ(SplitCrLf(run.out), Join(Banner(), Fill(expected, w())));
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(ReadWithPillow(w() + "out/pic_d.bmp").ok);
  struct stat st {};
  ASSERT_EQ(stat((w() + "out/pic_d.bmp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, platform::LocalToUtc(1000));
}

// -q -d: debug lines without banner or status lines, up to the error.
TEST_F(RunFixture, QuietDebugShowsTheTextWatermarkLinesUpToTheFontCheck) {
  ProgramRun run = Run({"-q", "-d", "-i", "{w}pic.pcx", "--wm-text=\"(c)", "me\"", "--wm-font=No Such Face Anywhere",
                        "--wm-font-size=20", "--wm-font-leading=-2", "--wm-font-color=00FF00",
                        "--wm-font-style=bolditalic", "--wm-font-effect=underline", "--wm-text-antialiasing",
                        "--wm-text-alignment=center", "--wm-text-padding=3", "--wm-text-opacity=128",
                        "--wm-back-color=0000FF", "--wm-back-opacity=9", "--wm-text-boundary=frame",
                        "--wm-text-position=middlecenter", "--wm-text-x-offset=-5", "--wm-text-y-offset=6",
                        "--wm-text-rotation=45", "--wm-text-size=fixed", "--threshold=7"});
  Lines expected = {"Input: {w}pic.pcx",
                    "Output: {w}",
                    "Conversion: bmp",
                    "BMP BPP: 0",
                    "BMP Compression: none",
                    "BMP Color Table: auto",
                    "Flip Horizontal: 0",
                    "Flip Vertical: 0",
                    "Greyscale: 0",
                    "Image Threshold: 7",
                    "Frame: none",
                    "Watermark: text",
                    "Watermark text: (c) me",
                    "Watermark font: No Such Face Anywhere",
                    "Watermark font size: 20",
                    "Watermark font leading: -2",
                    "Watermark font color: 00FF00",
                    "Watermark font style: bolditalic",
                    "Watermark font effect: underline",
                    "Watermark text antialiasing: 1",
                    "Watermark text alignment: center",
                    "Watermark text padding: 3",
                    "Watermark text opacity: 128",
                    "Watermark background color: 0000FF",
                    "Watermark background opacity: 9",
                    "Watermark boundary: frame",
                    "Watermark position: middlecenter",
                    "Watermark offset (x/y): -5/6",
                    "Watermark rotation: 45",
                    "Watermark size/mode: fixed",
                    "Error: Invalid watermark font"};
  EXPECT_EQ(SplitCrLf(run.out), Fill(expected, w()));
  EXPECT_EQ(run.status, 1);
}

TEST_F(RunFixture, DebugShowsTheImageWatermarkLinesUpToTheImageCheck) {
  ProgramRun run = Run({"-q", "-d", "-i", "{w}pic.pcx", "--wm-image={w}missing.png", "--wm-image-greyscale",
                        "--wm-image-opacity=77", "--wm-image-boundary=frame", "--wm-image-position=topleft",
                        "--wm-image-x-offset=-4", "--wm-image-y-offset=4", "--wm-image-rotation=180",
                        "--wm-image-size=fixed"});
  Lines expected = {"Input: {w}pic.pcx",
                    "Output: {w}",
                    "Conversion: bmp",
                    "BMP BPP: 0",
                    "BMP Compression: none",
                    "BMP Color Table: auto",
                    "Flip Horizontal: 0",
                    "Flip Vertical: 0",
                    "Greyscale: 0",
                    "Frame: none",
                    "Watermark: image",
                    "Watermark image: {w}missing.png",
                    "Watermark greyscale: 1",
                    "Watermark opacity: 77",
                    "Watermark boundary: frame",
                    "Watermark position: topleft",
                    "Watermark offset (x/y): -4/4",
                    "Watermark rotation: 180",
                    "Watermark size/mode: fixed",
                    "Error: Invalid watermark image"};
  EXPECT_EQ(SplitCrLf(run.out), Fill(expected, w()));
  EXPECT_EQ(run.status, 1);
}

TEST_F(RunFixture, QuietPrintsOnlyErrorsAndTheLinesOfAFileNotAdded) {
  struct Case {
    Lines args;
    std::string out;
    int status;
  };
  const Case cases[] = {
      {{"-q", "-i", "{w}pic.pcx"}, "", 0},
      {{"--quiet", "-i", "{w}pic.pcx", "--width=5"}, "Error: Invalid height value\r\n", 1},
      {{"-q", "-i", "{w}photo.jpg"}, "Conversion stopped\r\n" + kNotAdded + "\r\n", 1},
      // The output would be the input itself: nothing is written over it.
      {{"-q", "-i", "{w}pic.pcx", "--filename-mask=%filename%.pcx"}, "Conversion stopped\r\n", 1},
  };
  std::string original = ReadFileBytes(w() + "pic.pcx");
  for (const Case& c : cases) {
    ProgramRun run = Run(c.args);
    EXPECT_EQ(run.out, c.out) << c.args.back();
    EXPECT_EQ(run.status, c.status) << c.args.back();
  }
  EXPECT_TRUE(ReadWithPillow(w() + "pic.bmp").ok);
  EXPECT_EQ(ReadFileBytes(w() + "pic.pcx"), original);
}

TEST_F(RunFixture, QuotedPiecesMakeOneValue) {
  std::filesystem::copy_file(w() + "pic.pcx", w() + "my holiday photo.pcx");
  ProgramRun run = Run({"-q", "-i", "\"{w}my", "holiday", "photo.pcx\"", "--filename-mask=\"%filename%", "copy.%ext%\""});
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(std::filesystem::exists(w() + "my holiday photo copy.bmp"));
}

// A profile with each of its differences from the command line.
TEST_F(RunFixture, ProfileKeysAndTheirPlaceAmongTheArguments) {
  WriteFileBytes(w() + "p.ini",
                 "\xEF\xBB\xBF[CLI]\r\n--WM-SOLID-OPACITY = 128\r\n--FR-SOLID-OPACITY = 7\r\n--FR-SOLID-LEFT = 4\r\n"
                 "--FR-SOLID-LEFT-COLOR = \"00FF00\"\r\n--FILENAME-MASK = \"%filename%-p.%ext%\"\r\n"
                 "--FLIP-HORIZONTAL = 0\r\n-i = {w}other.pcx\r\n--profile = {w}p.ini\r\n-d =\r\n"
                 "--fr-solid-top = 1\r\n; \r\n");
  auto frameAndMask = [](const std::string& out) {
    Lines picked;
    for (const std::string& line : SplitCrLf(out))
      if (line.rfind("Frame", 0) == 0 || line.rfind("Flip Horizontal", 0) == 0 || line.rfind("Filename", 0) == 0 ||
          line.rfind("Input", 0) == 0)
        picked.push_back(line);
    return picked;
  };
  ProgramRun before = Run({"-d", "-q", "-i", "{w}pic.pcx", "--fr-solid-opacity=50", "--profile={w}p.ini"});
  EXPECT_EQ(frameAndMask(before.out),
            Fill(Lines{"Input: {w}pic.pcx", "Flip Horizontal: 1", "Frame: solid", "Frame left: 4", "Frame right: 0",
                       "Frame top: 1", "Frame bottom: 0", "Frame left color: \"00FF00\"", "Frame right color: 000000",
                       "Frame top color: 000000", "Frame bottom color: 000000", "Frame opacity: 128",
                       "Filename Mask: %filename%-p.%ext%"},
                 w()));
  // The frame colour keeps its quotes, which makes no colour; the run goes on.
  EXPECT_EQ(before.status, 0);
  EXPECT_TRUE(std::filesystem::exists(w() + "pic-p.bmp"));

  ProgramRun after = Run({"-d", "-q", "-i", "{w}pic.pcx", "--profile={w}p.ini", "--fr-solid-opacity=50"});
  EXPECT_NE(after.out.find("\r\nFrame opacity: 50\r\n"), std::string::npos) << after.out;

  WriteFileBytes(w() + "empty-width.ini", "[CLI]\r\n--WIDTH =\r\n--HEIGHT = 5\r\n");
  ProgramRun empty = Run({"-d", "-q", "-i", "{w}pic.pcx", "--profile={w}empty-width.ini"});
  EXPECT_NE(empty.out.find("\r\nWidth: 0 pixels\r\nError: Invalid width value\r\n"), std::string::npos) << empty.out;
  EXPECT_EQ(empty.status, 1);
}

TEST_F(RunFixture, PauseNeverHangsWithoutATerminal) {
  for (Input input : {Input::Null, Input::OpenPipe}) {
    RunSetup setup = box.Setup();
    setup.input = input;
    ProgramRun run = RunExecutable(Fill(Lines{"-i", "{w}pic.pcx", "-p"}, w()), setup);
    EXPECT_EQ(run.out, CrLfLines(Join(Join(Banner(), kConverted), {"Press any key to exit."})));
    EXPECT_EQ(run.status, 0);
    ProgramRun quiet = RunExecutable(Fill(Lines{"-q", "-p", "-i", "{w}missing.pcx"}, w()), setup);
    EXPECT_EQ(quiet.out, "Error: Invalid input file\r\nPress any key to exit.\r\n");
    EXPECT_EQ(quiet.status, 1);
  }
}

TEST_F(RunFixture, PauseWaitsForAKeyOnATerminal) {
  TerminalRun run = RunOnTerminal(Fill(Lines{"-q", "-p", "-i", "{w}pic.pcx"}, w()), box.Setup(),
                                  "Press any key to exit.\r\n", "x");
  EXPECT_TRUE(run.runningAtPrompt);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "\x1b]0;Vellumark PCX to BMP 2.7\aPress any key to exit.\r\n");
}

// Relative output folders, and a bare input name, resolve against the
// executable's folder, not the working folder: a copy of the executable in
// a folder of its own shows it.
class ProgramFolder : public RunFixture {
 protected:
  void SetUp() override {
    RunFixture::SetUp();
    std::filesystem::copy_file(TQ_EXECUTABLE, program.path() + "tornquil");
    std::filesystem::create_directories(program.path() + "out");
  }
  ProgramRun RunCopy(const Lines& args) {
    RunSetup setup = box.Setup();
    setup.executable = program.path() + "tornquil";
    return RunExecutable(Fill(args, w()), setup);
  }
  TempDir program;
};

TEST_F(ProgramFolder, RelativeFoldersAreTakenFromTheExecutablesFolder) {
  struct Case {
    Lines args;
    std::string written;  // below the program folder
  };
  const Case cases[] = {
      {{"-q", "-i", "pic.pcx"}, "pic.bmp"},
      {{"-q", "-i", "./pic.pcx", "--filename-mask=dot-%filename%.%ext%"}, "dot-pic.bmp"},
      {{"-q", "-i", "{w}pic.pcx", "-o", "out"}, "out/pic.bmp"},
      {{"-q", "-i", "{w}pic.pcx", "-o", "./out/", "--filename-mask=%filename%2.%ext%"}, "out/pic2.bmp"},
  };
  for (const Case& c : cases) {
    ProgramRun run = RunCopy(c.args);
    EXPECT_EQ(run.status, 0) << c.written << run.out;
    EXPECT_TRUE(std::filesystem::exists(program.path() + c.written)) << c.written;
  }
  EXPECT_FALSE(std::filesystem::exists(w() + "pic.bmp"));

  ProgramRun missing = RunCopy({"-d", "-q", "-i", "{w}pic.pcx", "-o", "./nowhere"});
  EXPECT_EQ(missing.out, Fill("Input: {w}pic.pcx\r\nOutput: ./nowhere\r\nError: Invalid output folder\r\n", w()));
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(std::filesystem::exists(program.path() + "nowhere"));
}

}  // namespace
}  // namespace tq::test
