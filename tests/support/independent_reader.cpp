#include "tests/support/independent_reader.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace tq::test {
namespace {

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Run(const std::string& command, int& status) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    status = -1;
    return output;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  status = pclose(pipe);
  return output;
}

}  // namespace

std::uint32_t ForeignPicture::Pixel(int x, int y) const {
  size_t i = (static_cast<size_t>(y) * width + x) * 4;
  return (std::uint32_t{rgba[i]} << 24) | (std::uint32_t{rgba[i + 1]} << 16) | (std::uint32_t{rgba[i + 2]} << 8) |
         rgba[i + 3];
}

ForeignPicture ReadWithPillow(const std::string& path) {
  TempDir dir;
  std::string raw = dir / "pixels.raw";
  const std::string script =
      "import sys\n"
      "from PIL import Image\n"
      "im = Image.open(sys.argv[1]); im.load()\n"
      "open(sys.argv[2], 'wb').write(im.convert('RGBA').tobytes())\n"
      "print(im.width, im.height, im.mode)\n";
  std::string scriptPath = dir / "read.py";
  WriteFileBytes(scriptPath, script);
  int status = 0;
  std::string out = Run("/usr/bin/python3 " + Quote(scriptPath) + " " + Quote(path) + " " + Quote(raw) + " 2>&1", status);
  ForeignPicture picture;
  if (status != 0) {
    picture.error = out;
    return picture;
  }
  std::istringstream line(out);
  line >> picture.width >> picture.height >> picture.mode;
  std::string bytes = ReadFileBytes(raw);
  picture.rgba.assign(bytes.begin(), bytes.end());
  picture.ok = picture.rgba.size() == static_cast<size_t>(picture.width) * picture.height * 4;
  return picture;
}

bool ImageMagickAccepts(const std::string& path) {
  int status = 0;
  Run("identify -regard-warnings " + Quote(path) + " >/dev/null 2>&1", status);
  return status == 0;
}

}  // namespace tq::test
