#pragma once

// The archives the benchmarks take apart, made with the test-support builder:
// shared palette mode, real run-length-encoded PCX images of varied sizes, one
// sprite in sixteen linked to an earlier image, a few sprites with a palette of
// their own, and groups that do not come in display order, so loading has real
// sorting to do. 65,535 sprites come to about 100 MB.

#include "tests/support/sff_builder.h"

#include <cstdint>
#include <string>

namespace pelvaro::bench {

inline constexpr int kSmallArchiveSprites = 1000;
inline constexpr int kLargeArchiveSprites = 65535;

testing::Bytes MakeBenchArchive(int sprites);

// Where archives and export folders are kept between runs: $PELVARO_BENCH_CACHE
// when set, else a folder of the build.
std::string CacheFolder();

// The path of the archive of `sprites` sprites in `cacheFolder` (created when
// missing). Made once and kept there: making the large one takes seconds.
std::string CachedBenchArchive(const std::string& cacheFolder, int sprites);

// An archive of `bytes` bytes (at least 544) that is all headers: after the
// file header, one subfile header every 32 bytes, each naming 512 as the next
// subfile, and an image count of as many as the file holds. The walk goes round
// the first subfile until the count runs out, so every record costs memory and
// no payload does: the most rows a file of that size can make. Written to
// `path` piece by piece, never whole in memory.
void WriteLoopingArchive(const std::string& path, std::int64_t bytes);

}  // namespace pelvaro::bench
