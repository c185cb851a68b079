// The figures of browsing and checking a large archive: the row filter at
// each keystroke, and pelvaro-cli check against pelvaro-cli list. (The export
// of a selection is among the export figures, core_bench.cpp.)

#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "cli/cli.h"
#include "commands/row_filter.h"
#include "sff/load_sff.h"

#include <ostream>
#include <stdexcept>
#include <streambuf>

namespace pelvaro::bench {
namespace {

sff::Archive LoadBenchArchive(int sprites) {
  auto loaded = sff::LoadSff(CachedBenchArchive(CacheFolder(), sprites), [] { return false; });
  if (!loaded) throw std::runtime_error("the benchmark archive did not load");
  return std::move(*loaded);
}

// What the filter does at a keystroke: the text read again, every row tried.
void FilterFigure(benchmark::State& state, const char* terms) {
  const sff::Archive archive = LoadBenchArchive(kLargeArchiveSprites);
  commands::DecodeVerdicts verdicts(archive);
  std::vector<double> seconds;
  std::size_t kept = 0;
  for (auto _ : state) {
    const double s = SecondsOf([&] { kept = commands::FilterRows(archive, commands::ParseRowFilter(terms), verdicts).size(); });
    seconds.push_back(s);
    state.SetIterationTime(s);
  }
  state.counters["rows_kept"] = static_cast<double>(kept);
  PublishAbsolute(state, std::string("Row filter \"") + terms + "\", 65,535 rows, one keystroke", seconds, 16);
}
void FilterGroupRange(benchmark::State& state) { FilterFigure(state, "5000-5999"); }
void FilterPair(benchmark::State& state) { FilterFigure(state, "200,1"); }

// Counts what it is given and keeps none of it.
class DiscardBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

int RunCliQuietly(const std::vector<std::string>& args) {
  DiscardBuffer buffer;
  std::ostream out(&buffer), err(&buffer);
  return cli::Run(args, out, err, cli::Environment{});
}

// pelvaro-cli check against pelvaro-cli list, as a user runs them: both load
// the archive; list prints the table, check decodes every image besides.
void CheckFigure(benchmark::State& state) {
  const std::string path = CachedBenchArchive(CacheFolder(), kLargeArchiveSprites);
  PairedTimes times;
  int checked = 0;
  for (auto _ : state)
    state.SetIterationTime(times.Run([&] { RunCliQuietly({"list", path}); },
                                     [&] { checked = RunCliQuietly({"check", path}); }));
  state.counters["check_exit"] = checked;
  PublishRatio(state, "pelvaro-cli check, 65,535 sprites, against pelvaro-cli list", times, 3.0);
}

void Figure(benchmark::internal::Benchmark* b, int pairs) {
  b->Iterations(pairs)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(FilterGroupRange)->Apply([](auto* b) { Figure(b, 31); });
BENCHMARK(FilterPair)->Apply([](auto* b) { Figure(b, 31); });
BENCHMARK(CheckFigure)->Apply([](auto* b) { Figure(b, 7); });

}  // namespace
}  // namespace pelvaro::bench
