// The drawing libraries are loaded only when a conversion draws.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/pcx_writer.h"
#include "tests/support/temp_dir.h"

namespace {

// The libraries the dynamic loader reports opening during a run.
std::string LoadedLibraries(const tq::test::TempDir& dir, const std::string& switches) {
  std::string command = "cd " + dir.path() + " && XDG_RUNTIME_DIR=" + dir.path() + " LD_DEBUG=files " +
                        TQ_EXECUTABLE + " -q -i " + dir.path() + "in.pcx -o " + dir.path() + " " + switches +
                        " 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  size_t n;
  while (pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  if (pipe) pclose(pipe);
  return output;
}

TEST(DrawingModule, LoadsOnlyWhenAFrameOrWatermarkIsDrawn) {
  tq::test::TempDir dir;
  std::vector<std::uint8_t> pcx = tq::test::WritePcx({8, 3, 8, 8, std::vector<std::uint32_t>(64, 0xFF336699)});
  tq::test::WriteFileBytes(dir / "in.pcx", std::string(pcx.begin(), pcx.end()));

  std::string plain = LoadedLibraries(dir, "");
  ASSERT_NE(plain.find("libstdc++"), std::string::npos) << "no loader report: " << plain.substr(0, 400);
  ASSERT_TRUE(tq::test::ReadFileBytes(dir / "in.bmp").rfind("BM", 0) == 0);
  for (const char* library : {"libtornquil-draw", "libcairo", "libpango"})
    EXPECT_EQ(plain.find(library), std::string::npos) << library;
  // Nor, unless built with the shared FreeImage, the codecs it would bring
  // for formats the program never reads or writes.
  if (TQ_FREEIMAGE_OWN_CODECS) {
    for (const char* library : {"libfreeimage", "libraw", "libOpenEXR", "libtiff", "libwebp", "libopenjp2", "libjpegxr"})
      EXPECT_EQ(plain.find(library), std::string::npos) << library;
  }

  std::string framed = LoadedLibraries(dir, "--fr-solid-left=2");
  EXPECT_NE(framed.find("libtornquil-draw"), std::string::npos);
  EXPECT_NE(framed.find("libcairo"), std::string::npos);
  EXPECT_TRUE(tq::test::ReadFileBytes(dir / "in.bmp").rfind("BM", 0) == 0);
}

}  // namespace
