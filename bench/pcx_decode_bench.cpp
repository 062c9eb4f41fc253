// Decoding speed of our PCX reader against the library's own PCX loader.
//
//   pcx_decode_bench [FILE.pcx] [RUNS]
//   pcx_decode_bench --write FILE.pcx
//
// Without a file it writes a 24-bit 4000 x 3000 RLE picture (gradients with
// noise, as a scanned photo gives) to the temp folder and removes it after.
// Prints the median of RUNS decodes (default 9) for each, taken in turn, and
// the ratio.
// --write only writes that picture, to keep or to profile with.
#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/pcx_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

void PutU16(std::vector<std::uint8_t>& file, std::size_t at, unsigned value) {
  file[at] = static_cast<std::uint8_t>(value);
  file[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// One plane line, RLE as the usual writers do it: runs up to 63, bytes >= 0xC0 escaped.
void EncodeLine(const std::uint8_t* line, std::size_t length, std::vector<std::uint8_t>& out) {
  for (std::size_t i = 0; i < length;) {
    std::size_t run = 1;
    while (i + run < length && run < 63 && line[i + run] == line[i]) ++run;
    if (run > 1 || line[i] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
    out.push_back(line[i]);
    i += run;
  }
}

std::vector<std::uint8_t> MakePhotoLikePcx(unsigned width, unsigned height) {
  std::vector<std::uint8_t> file(128, 0);
  file[0] = 0x0A;
  file[1] = 5;
  file[2] = 1;
  file[3] = 8;
  PutU16(file, 8, width - 1);
  PutU16(file, 10, height - 1);
  PutU16(file, 12, 300);
  PutU16(file, 14, 300);
  file[65] = 3;
  const unsigned bytesPerLine = width + (width & 1);
  PutU16(file, 66, bytesPerLine);
  PutU16(file, 68, 1);

  std::uint32_t state = 2024;
  auto noise = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 24) % 9) - 4;
  };
  std::vector<std::uint8_t> plane(bytesPerLine, 0);
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned c = 0; c < 3; ++c) {
      for (unsigned x = 0; x < width; ++x) {
        // Smooth shapes: a sky-like ramp, a soft ripple, a vignette.
        const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
        double value = 0;
        if (c == 0) value = 200 * v + 40 * std::sin(6 * u);
        if (c == 1) value = 120 + 90 * std::sin(3 * u + 2 * v);
        if (c == 2) value = 230 - 150 * ((u - 0.5) * (u - 0.5) + (v - 0.5) * (v - 0.5)) * 4;
        plane[x] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(value) + noise(), 0, 255));
      }
      EncodeLine(plane.data(), bytesPerLine, file);
    }
  }
  return file;
}

template <typename F>
double TimeMs(F&& decode) {
  const auto start = Clock::now();
  decode();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

bool SamePixels(FIBITMAP* a, FIBITMAP* b) {
  if (!a || !b || FreeImage_GetBPP(a) != FreeImage_GetBPP(b) || FreeImage_GetWidth(a) != FreeImage_GetWidth(b) ||
      FreeImage_GetHeight(a) != FreeImage_GetHeight(b)) {
    return false;
  }
  const unsigned bytes = FreeImage_GetLine(a);
  for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y) {
    if (!std::equal(FreeImage_GetScanLine(a, y), FreeImage_GetScanLine(a, y) + bytes, FreeImage_GetScanLine(b, y))) {
      return false;
    }
  }
  return true;
}

bool WriteBenchFile(const std::string& path) {
  const std::vector<std::uint8_t> file = MakePhotoLikePcx(4000, 3000);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  const bool written = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (out && std::fclose(out) != 0) return false;
  if (!written) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : "";
  if (path == "--write") return argc > 2 && WriteBenchFile(argv[2]) ? 0 : 1;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  const bool made = path.empty();
  if (made) {
    path = (std::filesystem::temp_directory_path() / "tq_pcx_decode_bench.pcx").string();
    if (!WriteBenchFile(path)) return 1;
  }

  {
    tq::engine::Picture ours = tq::engine::LoadPcx(path);
    tq::engine::Picture theirs(FreeImage_Load(FIF_PCX, path.c_str(), 0));
    if (!ours) {
      std::fprintf(stderr, "LoadPcx refuses %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %u x %u, %u bits, %ju bytes\n", path.c_str(), FreeImage_GetWidth(ours.get()),
                FreeImage_GetHeight(ours.get()), FreeImage_GetBPP(ours.get()),
                static_cast<std::uintmax_t>(std::filesystem::file_size(path)));
    std::printf("pictures %s\n", !theirs                                  ? "(FreeImage refuses the file)"
                                 : SamePixels(ours.get(), theirs.get()) ? "identical"
                                                                        : "differ");
  }

  // Turn about, so a load that comes and goes on the machine hits both alike.
  std::vector<double> ours, theirs;
  for (int i = 0; i < runs; ++i) {
    ours.push_back(TimeMs([&] { tq::engine::LoadPcx(path); }));
    theirs.push_back(TimeMs([&] {
      FIBITMAP* dib = FreeImage_Load(FIF_PCX, path.c_str(), 0);
      if (dib) FreeImage_Unload(dib);
    }));
  }
  const double oursMs = Median(ours), theirsMs = Median(theirs);
  std::printf("median of %d: LoadPcx %.2f ms, FreeImage_Load(FIF_PCX) %.2f ms, ours/FreeImage %.2f\n", runs,
              oursMs, theirsMs, oursMs / theirsMs);
  if (made) std::filesystem::remove(path);
  return 0;
}
