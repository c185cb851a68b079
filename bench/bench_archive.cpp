#include "bench/bench_archive.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include <unistd.h>

namespace pelvaro::bench {
namespace {

using testing::Bytes;
using testing::MakePcx;
using testing::PatternPixels;

// Raise when the archives change, so stale cached copies are not used.
constexpr int kArchiveVersion = 1;

constexpr int kItemsPerGroup = 50;
// Groups are handed out to blocks of the chain by a multiplier that is prime to
// the modulus: every block gets its own group, but in scrambled order.
constexpr int kGroupModulus = 1327;
constexpr int kGroupMultiplier = 619;
constexpr int kLinkEvery = 16;        // one sprite in sixteen reuses an earlier image
constexpr int kOwnPaletteEvery = 997;  // now and then an effect with its own palette

// A pool of distinct images, so the archive holds many sizes without drawing
// 65,535 pictures: sprites take them in turn.
struct ImagePool {
  std::vector<Bytes> shared;  // for sprites using the shared palette
  std::vector<Bytes> own;     // with a palette of their own
};

ImagePool MakePool() {
  const testing::Palette effects = testing::TestPalette(128);
  ImagePool pool;
  for (int k = 0; k < 241; ++k) {
    const int width = 40 + (k * 37) % 80;
    const int height = 48 + (k * 53) % 72;
    pool.shared.push_back(MakePcx(width, height, PatternPixels(width, height, k), nullptr));
  }
  for (int k = 0; k < 7; ++k) {
    const int width = 64 + 16 * k;
    pool.own.push_back(MakePcx(width, width, PatternPixels(width, width, 200 + k), &effects));
  }
  return pool;
}

}  // namespace

std::string CacheFolder() {
  if (const char* folder = std::getenv("PELVARO_BENCH_CACHE")) return folder;
  return PELVARO_BENCH_CACHE_DIR;
}

Bytes MakeBenchArchive(int sprites) {
  if (sprites < 2 || sprites > 65535) throw std::invalid_argument("MakeBenchArchive: 2 to 65,535 sprites");
  const ImagePool pool = MakePool();
  const testing::Palette shared = testing::TestPalette(0);
  testing::SffBuilder b;
  // Position 0 is the palette source: its own palette, and the next sprite uses it.
  testing::SpriteSpec source;
  source.axisX = 30;
  source.axisY = 90;
  source.payload = MakePcx(60, 90, PatternPixels(60, 90, 1), &shared);
  b.Add(std::move(source));
  for (int i = 1; i < sprites; ++i) {
    testing::SpriteSpec s;
    const int block = i / kItemsPerGroup;
    s.group = static_cast<std::uint16_t>(block * kGroupMultiplier % kGroupModulus);
    s.item = static_cast<std::uint16_t>(i % kItemsPerGroup);
    s.axisX = static_cast<std::int16_t>(20 + i % 40);
    s.axisY = static_cast<std::int16_t>(60 + i % 50);
    s.palFlag = 1;
    if (i + 2 >= sprites) {
      // The portraits, with their own palette; they head the table.
      s.group = 9000;
      s.item = static_cast<std::uint16_t>(i + 2 - sprites);
      s.palFlag = 0;
      s.payload = pool.own[static_cast<std::size_t>(i) % pool.own.size()];
    } else if (i > kLinkEvery && i % kLinkEvery == 0) {
      s.link = static_cast<std::uint16_t>(i - 5);
    } else if (i > 1 && i % kOwnPaletteEvery == 0) {
      s.palFlag = 0;
      s.payload = pool.own[static_cast<std::size_t>(i) % pool.own.size()];
    } else {
      s.payload = pool.shared[static_cast<std::size_t>(i) % pool.shared.size()];
    }
    b.Add(std::move(s));
  }
  return b.Build();
}

std::string CachedBenchArchive(const std::string& cacheFolder, int sprites) {
  namespace fs = std::filesystem;
  // One folder per version of the archives, so the file keeps a plain name and
  // its sprites plain PCX names.
  const fs::path folder = fs::path(cacheFolder) / ("v" + std::to_string(kArchiveVersion));
  fs::create_directories(folder);
  const fs::path path = folder / ("BENCH" + std::to_string(sprites) + ".sff");
  if (fs::is_regular_file(path)) return path.string();
  // Written under a temporary name first: an interrupted run leaves no half archive to be used.
  const fs::path partial = path.string() + "." + std::to_string(getpid()) + ".partial";
  testing::WriteBytes(partial.string(), MakeBenchArchive(sprites));
  fs::rename(partial, path);
  return path.string();
}

void WriteLoopingArchive(const std::string& path, std::int64_t bytes) {
  constexpr std::int32_t kHeader = 512;
  constexpr std::int32_t kSubfile = 32;
  if (bytes < kHeader + kSubfile || bytes > 0x7FFFFFFF)
    throw std::invalid_argument("WriteLoopingArchive: 544 bytes to 2 GiB");
  const std::int64_t count = (bytes - kHeader) / kSubfile;

  Bytes header(kHeader, 0);
  testing::PutI32(header, 20, static_cast<std::int32_t>(count));  // image count
  testing::PutI32(header, 24, kHeader);                           // first subfile offset
  testing::PutI32(header, 28, kSubfile);                          // subfile header size
  header[32] = 1;                                                 // shared palette mode
  // A run of identical subfile headers: next 512, no payload, the shared palette.
  constexpr std::int64_t kRunHeaders = 32768;
  Bytes run(static_cast<std::size_t>(kRunHeaders * kSubfile), 0);
  for (std::size_t at = 0; at < run.size(); at += kSubfile) {
    testing::PutI32(run, at, kHeader);  // next subfile: the first, again
    run[at + 18] = 1;                   // uses the shared palette
  }

  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot create " + path);
  const auto put = [&file](const std::uint8_t* data, std::int64_t size) {
    return std::fwrite(data, 1, static_cast<std::size_t>(size), file.get()) == static_cast<std::size_t>(size);
  };
  bool ok = put(header.data(), kHeader);
  for (std::int64_t left = count; ok && left > 0; left -= kRunHeaders)
    ok = put(run.data(), std::min(left, kRunHeaders) * kSubfile);
  // Fewer than 32 bytes after the last header: zeros, as a file cut short would have.
  const Bytes tail(static_cast<std::size_t>((bytes - kHeader) % kSubfile), 0);
  ok = ok && put(tail.data(), static_cast<std::int64_t>(tail.size()));
  if (!ok || std::fflush(file.get()) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace pelvaro::bench
