// The image core's figures: one large sprite decoded, and the images of the
// large benchmark archive decoded and written as PNG at the export's level,
// with level 6 beside it for comparison.

#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "image/pcx_decoder.h"
#include "image/png_writer.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

namespace pelvaro::bench {
namespace {

using testing::Bytes;

// The 900 KB of pixels are fresh memory, as in a program that has just
// started; the decoder takes them in huge pages, where 225 faults of 4 KiB
// pages would cost more than the decoding itself. Its floor is writing as
// many bytes with memset into fresh memory of the same kind, measured in
// turns with it and shown beside it.
void DecodeLargeSpriteFigure(benchmark::State& state) {
  const testing::Palette palette = testing::TestPalette(0);
  constexpr int kWidth = 1280;
  constexpr int kHeight = 720;
  const Bytes file = testing::MakePcx(kWidth, kHeight, testing::PatternPixels(kWidth, kHeight, 7), &palette);
  constexpr std::size_t kPixels = std::size_t{kWidth} * kHeight;
  std::vector<double> seconds;
  PairedTimes times;
  for (auto _ : state) {
    // Both dropped after their timed runs: freeing is not part of the work.
    std::optional<image::IndexedImage> decoded;
    image::Pixels written;
    const double s = times.Run(
        [&] {
          written.resize(kPixels);
          std::memset(written.data(), 7, kPixels);
        },
        [&] {
          auto result = image::DecodePcx(file);
          if (result) decoded = std::move(*result);
        });
    if (!decoded) state.SkipWithError("the sprite did not decode");
    benchmark::DoNotOptimize(written.data());
    seconds.push_back(s);
    state.SetIterationTime(s);
  }
  PublishAbsolute(state, "DecodePcx, one 1280 x 720 sprite", seconds, 1.5);
  PublishComparison(state, "The same, against a memset of its 921,600 bytes in fresh memory of the same kind", times);
}

// The sprites of the large benchmark archive, as the PNG export meets them:
// the pictures and sizes of bench_archive.cpp's image pool, each with the
// shared palette appended without a marker.
std::vector<Bytes> SpritePool() {
  const testing::Palette shared = testing::TestPalette(0);
  testing::PcxShape appended;
  appended.paletteMarker = false;
  std::vector<Bytes> pool;
  for (int k = 0; k < 241; ++k) {
    const int width = 40 + (k * 37) % 80;
    const int height = 48 + (k * 53) % 72;
    pool.push_back(testing::MakePcx(width, height, testing::PatternPixels(width, height, k), &shared, appended));
  }
  return pool;
}

// All 65,535 sprites, taking the pool's images in turn as the archive does.
std::size_t ConvertAll(const std::vector<Bytes>& pool, int level) {
  std::size_t pngBytes = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(kLargeArchiveSprites); ++i) {
    const auto decoded = image::DecodePcx(pool[i % pool.size()]);
    if (decoded) pngBytes += image::EncodeIndexedPng(*decoded, level).size();
  }
  return pngBytes;
}

// The PNG export may take twice as long as the PCX export (3.2 s for these
// sprites into an empty folder in the README's run). Its files are smaller, so
// its writes cost no more; what it adds, decoding and compressing, gets the
// other half: under 3 s.
void PngConversionFigure(benchmark::State& state) {
  const std::vector<Bytes> pool = SpritePool();
  std::vector<double> exportLevel;
  std::size_t exportBytes = 0;
  std::size_t level6Bytes = 0;
  PairedTimes times;
  for (auto _ : state) {
    state.SetIterationTime(
        times.Run([&] { exportLevel.push_back(SecondsOf([&] { exportBytes = ConvertAll(pool, image::kPngLevel); })); },
                  [&] { level6Bytes = ConvertAll(pool, 6); }));
  }
  state.counters["png_mb_export_level"] = static_cast<double>(exportBytes) / 1e6;
  state.counters["png_mb_level_6"] = static_cast<double>(level6Bytes) / 1e6;
  PublishAbsolute(state, "DecodePcx + EncodeIndexedPng (level " + std::to_string(image::kPngLevel) + "), 65,535 sprites",
                  exportLevel, 3000);
  PublishComparison(state, "The same at level 6, against the row above", times);
}

BENCHMARK(DecodeLargeSpriteFigure)->Iterations(101)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PngConversionFigure)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelvaro::bench

int main(int argc, char** argv) { return pelvaro::bench::RunBenchmarks(argc, argv); }
