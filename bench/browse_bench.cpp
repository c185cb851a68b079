// The figures of browsing and checking a large archive: the row filter at
// each keystroke, the export of a selection against Save All's time per file,
// and pelvaro-cli check against pelvaro-cli list.

#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "cli/cli.h"
#include "commands/row_filter.h"
#include "export/pcx_export.h"
#include "sff/load_sff.h"
#include "text/native_path.h"

#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <streambuf>

#include <unistd.h>

namespace pelvaro::bench {
namespace {

namespace fs = std::filesystem;

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

std::string EmptiedFolder(const char* side) {
  const fs::path folder = fs::path(CacheFolder()) / "export" / "selection" / side;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return text::WithTrailingSeparator(folder.string());
}

// 1,000 rows spread over the 65,535-sprite archive, written as a selection,
// against Save All of the 1,000-sprite archive: the same number of files, so
// the ratio of the times is that of the time per file. Both into an empty folder.
void SelectionExportFigure(benchmark::State& state) {
  const sff::Archive large = LoadBenchArchive(kLargeArchiveSprites);
  const sff::Archive small = LoadBenchArchive(kSmallArchiveSprites);
  std::vector<std::size_t> rows;
  const std::size_t stride = large.RowCount() / kSmallArchiveSprites;
  for (std::size_t k = 0; k < static_cast<std::size_t>(kSmallArchiveSprites); ++k) rows.push_back(k * stride);
  std::string floorFolder, subjectFolder;
  const auto prepare = [&] {
    floorFolder = EmptiedFolder("save-all");
    subjectFolder = EmptiedFolder("selected");
    ::sync();
  };
  PairedTimes times;
  for (auto _ : state) {
    bool ok = true;
    state.SetIterationTime(times.Run(
        [&] { ok = exporter::ExportAllPcx(floorFolder, small).has_value() && ok; },
        [&] { ok = exporter::ExportPcx(subjectFolder, large, exporter::RowSelection::Only(rows)).has_value() && ok; },
        prepare));
    if (!ok) state.SkipWithError("an export failed");
  }
  fs::remove_all(fs::path(CacheFolder()) / "export" / "selection");
  PublishRatio(state, "Export of a 1,000-row selection of 65,535, empty folder, against Save All of 1,000 rows",
               times, 1.1);
}

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
BENCHMARK(SelectionExportFigure)->Apply([](auto* b) { Figure(b, 11); });

}  // namespace
}  // namespace pelvaro::bench
