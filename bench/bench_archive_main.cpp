// Prints the path of a benchmark archive, making it first when it is not
// cached yet; bench/run measures pelvaro-cli on it.
//
//   pelvaro-bench-archive SPRITES

#include "bench/bench_archive.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelvaro-bench-archive SPRITES\n");
    return 2;
  }
  try {
    const std::string path = pelvaro::bench::CachedBenchArchive(pelvaro::bench::CacheFolder(), std::atoi(argv[1]));
    std::printf("%s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro-bench-archive: %s\n", e.what());
    return 1;
  }
  return 0;
}
