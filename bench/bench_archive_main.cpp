// Prints the path of a benchmark archive, making it first when it is not
// cached yet; bench/run measures pelvaro-cli on it.
//
//   pelvaro-bench-archive SPRITES           the archive of that many sprites (kept)
//   pelvaro-bench-archive --looping BYTES   an all-headers archive of that size
//                                           (made afresh; the caller removes it)

#include "bench/bench_archive.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>

int main(int argc, char** argv) {
  const bool looping = argc == 3 && std::strcmp(argv[1], "--looping") == 0;
  if (argc != 2 && !looping) {
    std::fprintf(stderr, "usage: pelvaro-bench-archive SPRITES | --looping BYTES\n");
    return 2;
  }
  try {
    const std::string folder = pelvaro::bench::CacheFolder();
    std::string path;
    if (looping) {
      std::filesystem::create_directories(folder);
      const long long bytes = std::atoll(argv[2]);
      path = (std::filesystem::path(folder) / ("LOOP" + std::to_string(bytes) + ".sff")).string();
      pelvaro::bench::WriteLoopingArchive(path, bytes);
    } else {
      path = pelvaro::bench::CachedBenchArchive(folder, std::atoi(argv[1]));
    }
    std::printf("%s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro-bench-archive: %s\n", e.what());
    return 1;
  }
  return 0;
}
