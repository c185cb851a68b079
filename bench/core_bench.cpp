// The core's figures: loading, PCX export and the definition text, each against
// the least the machine must do for the same result.

#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "bench/floors.h"
#include "export/atomic_file.h"
#include "export/definition_text.h"
#include "export/pcx_export.h"
#include "sff/load_sff.h"
#include "tests/support/test_view.h"
#include "text/native_path.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include <unistd.h>

namespace pelvaro::bench {
namespace {

const std::string& ArchivePath(int sprites) {
  static std::map<int, std::string> paths;
  auto& path = paths[sprites];
  if (path.empty()) path = CachedBenchArchive(CacheFolder(), sprites);
  return path;
}

std::string SpriteCount(int sprites) { return sprites == kLargeArchiveSprites ? "65,535" : "1,000"; }

// An archive loaded as the program loads it.
struct Loaded {
  sff::SffState state;
  testing::TestView view;
  sff::LoadOutcome outcome;
};

std::unique_ptr<Loaded> Load(const std::string& path) {
  auto loaded = std::make_unique<Loaded>();
  loaded->view.sffName = text::GetFileName(path);
  loaded->outcome = sff::LoadSff(path, loaded->state, loaded->view);
  // The table orders itself when first read; that belongs to the load.
  if (loaded->view.table.Count() > 0) benchmark::DoNotOptimize(loaded->view.table.HandleAt(1));
  return loaded;
}

// Data written by the previous run waits for the disk; let it go there before a
// timed run, so neither side pays for the other's writes.
void SettleDisk() { ::sync(); }

void LoadFigure(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const std::string& path = ArchivePath(sprites);
  PairedTimes times;
  for (auto _ : state) {
    // Both results are dropped after the timed runs: freeing is not part of either.
    FileImage floorImage;
    std::unique_ptr<Loaded> loaded;
    state.SetIterationTime(times.Run([&] { floorImage = ReadFileAlone(path); }, [&] { loaded = Load(path); }));
    if (loaded->outcome.status != sff::LoadStatus::kLoaded) state.SkipWithError("the archive did not load");
  }
  PublishRatio(state, "LoadSff, " + SpriteCount(sprites) + " sprites", times, 1.5);
}

enum class Target { kFilledFolder, kEmptyFolder };

namespace fs = std::filesystem;

// Export folders live beside the cached archives. The filled ones are kept from
// run to run: they hold the files of the last run, as a folder exported to
// before does, and on a disk mounted with online discard, removing tens of
// thousands of written files takes minutes.
std::string ExportFolder(int sprites, Target target, const char* side) {
  const fs::path folder = fs::path(CacheFolder()) / "export" /
                          ((target == Target::kFilledFolder ? "filled-" : "empty-") + std::to_string(sprites)) / side;
  return text::WithTrailingSeparator(folder.string());
}

// Makes `folder` hold the files of one complete export (`write` into it),
// unless a previous run left it so.
template <class Write>
void FillOnce(const std::string& folder, Write&& write) {
  const fs::path complete = fs::path(folder) / ".complete";
  if (fs::exists(complete)) return;
  fs::remove_all(folder);
  fs::create_directories(folder);
  write();
  testing::WriteBytes(complete.string(), {});
}

// An empty folder. Files written moments ago are removed before the disk holds
// them, which costs next to nothing.
void EmptyFolder(const std::string& folder) {
  fs::remove_all(folder);
  fs::create_directories(folder);
}

void ExportFigure(benchmark::State& state, Target target) {
  const int sprites = static_cast<int>(state.range(0));
  const auto loaded = Load(ArchivePath(sprites));
  const sff::SffState& archive = loaded->state;
  const sff::SpriteTable& table = loaded->view.table;
  const std::string floorFolder = ExportFolder(sprites, target, "floor");
  const std::string subjectFolder = ExportFolder(sprites, target, "program");
  const auto plan = PlanPcxFiles(floorFolder, archive, table);
  std::function<void()> prepare = SettleDisk;
  if (target == Target::kFilledFolder) {
    // Every write of a timed run replaces a file that is on the disk.
    FillOnce(floorFolder, [&] { WritePlannedFiles(plan); });
    FillOnce(subjectFolder, [&] { exporter::ExportAllPcx(subjectFolder, archive, table); });
  } else {
    prepare = [&] {
      EmptyFolder(floorFolder);
      EmptyFolder(subjectFolder);
      SettleDisk();
    };
  }
  PairedTimes times;
  for (auto _ : state) {
    exporter::PcxExportResult result;
    state.SetIterationTime(times.Run([&] { WritePlannedFiles(plan); },
                                     [&] { result = exporter::ExportAllPcx(subjectFolder, archive, table); }, prepare));
    if (result.error) state.SkipWithError(result.error->message.c_str());
  }
  if (target == Target::kEmptyFolder) {
    fs::remove_all(floorFolder);
    fs::remove_all(subjectFolder);
  }
  PublishRatio(state,
               "ExportAllPcx, " + SpriteCount(sprites) + " sprites, " +
                   (target == Target::kFilledFolder ? "replacing files" : "empty folder"),
               times, 1.5);
}

void ExportReplacingFigure(benchmark::State& state) { ExportFigure(state, Target::kFilledFolder); }
void ExportFreshFigure(benchmark::State& state) { ExportFigure(state, Target::kEmptyFolder); }

void SprTextFigure(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const std::string& path = ArchivePath(sprites);
  const auto loaded = Load(path);
  const std::string label = text::GetFileName(path);
  const auto bytes = exporter::SprTextBytes(label, loaded->state, loaded->view.table);
  const fs::path folder = fs::path(CacheFolder()) / "text";
  fs::create_directories(folder);
  const std::string floorPath = (folder / "floor_SFF.txt").string();
  const std::string subjectPath = (folder / "program_SFF.txt").string();
  // Both files exist before the timed runs, as when the text is made again.
  WriteBufferAlone(floorPath, std::get<std::string>(bytes));
  exporter::WriteSprText(subjectPath, label, loaded->state, loaded->view.table);
  PairedTimes times;
  for (auto _ : state) {
    std::optional<exporter::ExportError> error;
    // Each side replaces a file whose bytes are on the disk, as when the text
    // is made again later; otherwise the file system treats the file written
    // moments ago differently on each side (an overwrite may find its old
    // bytes not yet placed on the disk, a rename never does).
    state.SetIterationTime(
        times.Run([&] { WriteBufferAlone(floorPath, std::get<std::string>(bytes)); },
                  [&] { error = exporter::WriteSprText(subjectPath, label, loaded->state, loaded->view.table); },
                  SettleDisk));
    if (error) state.SkipWithError(error->message.c_str());
  }
  PublishRatio(state, "WriteSprText, " + SpriteCount(sprites) + " rows", times, 2.0);
}

// The safe replace alone, of the same bytes made beforehand, against the same
// floor: what the file system asks for a file renamed over another, which the
// figure above pays as well.
void SafeReplaceComparison(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const std::string& path = ArchivePath(sprites);
  const auto loaded = Load(path);
  const auto bytes = exporter::SprTextBytes(text::GetFileName(path), loaded->state, loaded->view.table);
  const std::string& text = std::get<std::string>(bytes);
  const fs::path folder = fs::path(CacheFolder()) / "text";
  fs::create_directories(folder);
  const std::string floorPath = (folder / "floor_SFF.txt").string();
  const std::string subjectPath = (folder / "replaced_SFF.txt").string();
  WriteBufferAlone(floorPath, text);
  WriteBufferAlone(subjectPath, text);
  PairedTimes times;
  for (auto _ : state) {
    std::optional<exporter::ExportError> error;
    state.SetIterationTime(times.Run([&] { WriteBufferAlone(floorPath, text); },
                                     [&] { error = exporter::WriteFileAtomic(subjectPath, text); }, SettleDisk));
    if (error) state.SkipWithError(error->message.c_str());
  }
  PublishComparison(state, "Safe replace alone, the same text made beforehand", times);
}

// Enough runs of each for a fastest run that others did not disturb. Creating
// and replacing files is bound by the disk and its journal, and varies from
// run to run far more than work in memory does; the large exports take
// seconds a run, so they get fewer pairs. The figures that work in memory come
// first: tens of thousands of files written and removed leave the disk busy
// for a while afterwards.
void Figure(benchmark::internal::Benchmark* b, int sprites, int pairs) {
  b->Arg(sprites)->Iterations(pairs)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(LoadFigure)->Apply([](auto* b) { Figure(b, kSmallArchiveSprites, 41); });
BENCHMARK(LoadFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 31); });
BENCHMARK(SprTextFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 31); });
BENCHMARK(SafeReplaceComparison)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 31); });
BENCHMARK(ExportReplacingFigure)->Apply([](auto* b) { Figure(b, kSmallArchiveSprites, 11); });
BENCHMARK(ExportReplacingFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 4); });
BENCHMARK(ExportFreshFigure)->Apply([](auto* b) { Figure(b, kSmallArchiveSprites, 21); });
BENCHMARK(ExportFreshFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 6); });

}  // namespace
}  // namespace pelvaro::bench

int main(int argc, char** argv) { return pelvaro::bench::RunBenchmarks(argc, argv); }
