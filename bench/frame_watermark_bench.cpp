// What a frame and a text watermark add to a conversion.
//
//   frame_watermark_bench [RUNS]
//
// Writes a 24-bit 4000 x 3000 BMP (gradients with noise) to the temp folder,
// then times, as the median of RUNS (default 9) each:
//   plain   load the BMP and save it again
//   framed  load, ApplyFrame (20-pixel sides, opacity 200), ApplyWatermark
//           (the default text, antialiased, inside the frame), save
// and the frame and watermark steps alone, and prints the ratio framed/plain.
#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/frame.h"
#include "engine/picture.h"
#include "engine/watermark.h"
#include "engine/watermark_font.h"
#include "settings/app_settings.h"
#include "settings/defaults.h"

namespace {

using Clock = std::chrono::steady_clock;
using tq::engine::Picture;

constexpr int kWidth = 4000, kHeight = 3000;

Picture MakePhotoLike() {
  Picture picture = tq::engine::Adopt(FreeImage_Allocate(kWidth, kHeight, 24));
  unsigned seed = 12345;
  for (int y = 0; y < kHeight; ++y) {
    BYTE* row = FreeImage_GetScanLine(picture.get(), y);
    for (int x = 0; x < kWidth; ++x) {
      seed = seed * 1103515245 + 12345;
      int noise = static_cast<int>((seed >> 16) & 15) - 8;
      row[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(std::clamp(x * 255 / kWidth + noise, 0, 255));
      row[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(std::clamp(y * 255 / kHeight + noise, 0, 255));
      row[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>(std::clamp((x + y) * 255 / (kWidth + kHeight) - noise, 0, 255));
    }
  }
  return picture;
}

double Ms(const std::function<bool()>& work) {
  Clock::time_point start = Clock::now();
  if (!work()) {
    std::fprintf(stderr, "a run failed\n");
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Medians of the works, run in turns after one unmeasured round, so each
// meets the same warm caches and the same load of the machine.
std::vector<double> MedianMs(int runs, const std::vector<std::function<bool()>>& works) {
  std::vector<std::vector<double>> times(works.size());
  for (const auto& work : works) Ms(work);
  for (int i = 0; i < runs; ++i)
    for (size_t w = 0; w < works.size(); ++w) times[w].push_back(Ms(works[w]));
  std::vector<double> medians;
  for (const auto& t : times) medians.push_back(Median(t));
  return medians;
}

void UseFrameAndText() {
  tq::settings::AppSettings& s = tq::settings::g_settings;
  tq::settings::SetDefaultSettings(0);
  s.DoFrame = 1;
  s.SolidLeft = s.SolidRight = s.SolidTop = s.SolidBottom = 20;
  s.SolidLeftColor = "FF0000";
  s.SolidRightColor = "00FF00";
  s.SolidTopColor = "0000FF";
  s.SolidOpacity = 200;
  s.DoWatermark = 1;
  s.TextAntialiasing = 1;
  s.TextBoundary = 1;
  s.BackOpacity = 128;
  s.TextPadding = 4;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  FreeImage_Initialise();
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tq_frame_watermark_bench";
  std::filesystem::create_directories(folder);
  const std::string input = (folder / "in.bmp").string(), output = (folder / "out.bmp").string();
  if (!FreeImage_Save(FIF_BMP, MakePhotoLike().get(), input.c_str(), 0)) return 1;

  UseFrameAndText();
  if (!tq::engine::LoadWatermarkFont()) {
    std::fprintf(stderr, "the watermark font does not load\n");
    return 1;
  }
  auto load = [&] { return tq::engine::Adopt(FreeImage_Load(FIF_BMP, input.c_str(), 0)); };
  auto save = [&](const Picture& p) { return p && FreeImage_Save(FIF_BMP, p.get(), output.c_str(), 0); };

  Picture source = load();
  auto copy = [&] { return tq::engine::Adopt(FreeImage_Clone(source.get())); };
  const std::vector<double> medians = MedianMs(
      runs, {
                [&] { return save(load()); },
                [&] {
                  Picture p = tq::engine::ApplyFrame(load(), kWidth, kHeight);
                  return save(tq::engine::ApplyWatermark(std::move(p), kWidth, kHeight));
                },
                [&] { return static_cast<bool>(copy()); },
                [&] { return static_cast<bool>(tq::engine::ApplyFrame(copy(), kWidth, kHeight)); },
                [&] { return static_cast<bool>(tq::engine::ApplyWatermark(copy(), kWidth, kHeight)); },
            });
  const double plain = medians[0], framed = medians[1], cloneOnly = medians[2], frameOnly = medians[3],
               markOnly = medians[4];
  tq::engine::FreeWatermarkFont();

  std::printf("24-bit %d x %d BMP, median of %d runs\n", kWidth, kHeight, runs);
  std::printf("  plain load + save            %8.1f ms\n", plain);
  std::printf("  load + frame + text + save   %8.1f ms\n", framed);
  std::printf("  ApplyFrame alone             %8.1f ms (clone of the picture, %.1f ms, included)\n", frameOnly, cloneOnly);
  std::printf("  ApplyWatermark alone         %8.1f ms (clone included)\n", markOnly);
  std::printf("  ratio framed / plain         %8.2f\n", framed / plain);
  std::filesystem::remove_all(folder);
  FreeImage_DeInitialise();
  return 0;
}
