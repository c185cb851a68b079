// The core's figures: loading, PCX export and the definition text, each against
// the least the machine must do for the same result. Writes are held against a
// floor that writes the same bytes as safely as the program does (a temporary
// file renamed over the target); one line shows the unsafe in-place write
// beside it, for what that safety costs. The PNG export is held against the
// PCX export of the same archive.

#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "bench/floors.h"
#include "export/definition_text.h"
#include "export/pcx_export.h"
#include "export/png_export.h"
#include "image/png_writer.h"
#include "sff/load_sff.h"
#include "sff/sprite_rows.h"
#include "text/native_path.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <utility>

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

// An archive shared palette mode needs no question; one that asked would not
// be the figure's archive.
std::optional<sff::Archive> Load(const std::string& path) {
  auto loaded = sff::LoadSff(path, [] { return false; });
  if (!loaded) return std::nullopt;
  return std::move(*loaded);
}

sff::Archive LoadOrThrow(const std::string& path) {
  auto loaded = Load(path);
  if (!loaded) throw std::runtime_error("the benchmark archive did not load: " + path);
  return std::move(*loaded);
}

// Data written by the previous run waits for the disk; let it go there before a
// timed run, so neither side pays for the other's writes.
void SettleDisk() { ::sync(); }

PairedTimes TimeLoadAgainstRead(benchmark::State& state, const std::string& path, Memory floorMemory) {
  PairedTimes times;
  for (auto _ : state) {
    // Both results are dropped after the timed runs: freeing is not part of either.
    FileImage floorImage;
    std::optional<sff::Archive> loaded;
    state.SetIterationTime(
        times.Run([&] { floorImage = ReadFileAlone(path, floorMemory); }, [&] { loaded = Load(path); }));
    if (!loaded) state.SkipWithError("the archive did not load");
  }
  return times;
}

void LoadFigure(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const PairedTimes times = TimeLoadAgainstRead(state, ArchivePath(sprites), Memory::kAsTheLoader);
  PublishRatio(state, "LoadSff, " + SpriteCount(sprites) + " sprites", times,
               sprites == kLargeArchiveSprites ? 1.2 : 1.5);
}

// What the huge pages are worth: the same load against a read into plain
// memory. Shown, not held to a target.
void LoadAgainstPlainRead(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const PairedTimes times = TimeLoadAgainstRead(state, ArchivePath(sprites), Memory::kPlain);
  PublishComparison(state, "LoadSff, " + SpriteCount(sprites) + " sprites, against a read into plain 4 KiB pages",
                    times);
}

enum class Target { kFilledFolder, kEmptyFolder };

namespace fs = std::filesystem;

// Export folders live beside the cached archives. The filled ones are kept from
// run to run: they hold the files of the last run, as a folder exported to
// before does, and on a disk mounted with online discard, removing tens of
// thousands of written files takes minutes.
std::string FilledFolder(int sprites, const char* side) {
  const fs::path folder = fs::path(CacheFolder()) / "export" / ("filled-" + std::to_string(sprites)) / side;
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

// The empty-folder exports write each run into a new folder of its own and
// remove nothing until the last of them is done (RemoveNewFolders, after all
// figures). This disk's ext4 has no journal, and without one ext4 steps over
// every inode freed in the last minute (five, while its table block waits for
// the disk) as it looks for a free one: a file made after tens of thousands
// were removed costs it a walk over all of them, and a run's time would be the
// luck of what was removed before it. For the same reason these figures run
// before the replacing ones, each of whose writes frees the inode it replaces.
std::vector<fs::path>& NewFolderRoots() {
  static std::vector<fs::path> roots;
  return roots;
}

fs::path NewFolderRoot(const std::string& figure, int sprites) {
  const fs::path root = fs::path(CacheFolder()) / "export" / (figure + "-" + std::to_string(sprites));
  fs::remove_all(root);  // what a run stopped midway left
  NewFolderRoots().push_back(root);
  return root;
}

std::string NewFolder(const fs::path& root, const char* side, int run) {
  const fs::path folder = root / (std::string(side) + "-" + std::to_string(run));
  fs::create_directories(folder);
  return text::WithTrailingSeparator(folder.string());
}

void RemoveNewFolders() {
  for (const fs::path& root : NewFolderRoots()) fs::remove_all(root);
  ::sync();
}

std::string ExportError(const Result<exporter::ExportSummary, exporter::WriteError>& result) {
  if (result) return {};
  return result.error().file + ": " + result.error().reason;
}

// Replacing, floor and program write into two folders, and trade them every
// other pair of runs: how fast a file system replaces files in a folder
// depends on the folder (ext4 looks for a free inode in the folder's block
// group), so each side gets each folder in turn. Into an empty folder, each
// run gets a new one.
void ExportFigure(benchmark::State& state, Target target) {
  const int sprites = static_cast<int>(state.range(0));
  const sff::Archive archive = LoadOrThrow(ArchivePath(sprites));
  PairedTimes times;
  if (target == Target::kEmptyFolder) {
    const fs::path root = NewFolderRoot("empty", sprites);
    int run = 0;
    for (auto _ : state) {
      // Both folders are made and planned before the pair's runs, untimed.
      const std::vector<PlannedFile> floor = PlanPcxFiles(NewFolder(root, "floor", run), archive);
      const std::string programFolder = NewFolder(root, "program", run++);
      std::string error;
      state.SetIterationTime(times.Run([&] { WritePlannedNewFilesUnnamed(floor); },
                                       [&] { error = ExportError(exporter::ExportAllPcx(programFolder, archive)); },
                                       SettleDisk));
      if (!error.empty()) state.SkipWithError(error.c_str());
    }
  } else {
    const std::string folders[2] = {FilledFolder(sprites, "first"), FilledFolder(sprites, "second")};
    const std::vector<PlannedFile> plans[2] = {PlanPcxFiles(folders[0], archive), PlanPcxFiles(folders[1], archive)};
    // Every write of a timed run replaces a file that is on the disk; both
    // sides write the same names and bytes, so either may have filled a folder.
    for (const int f : {0, 1}) FillOnce(folders[f], [&] { WritePlannedFilesSafely(plans[f]); });
    int pair = 0;
    for (auto _ : state) {
      const int floorSide = (pair++ / 2) % 2;
      std::string error;
      state.SetIterationTime(
          times.Run([&] { WritePlannedFilesSafely(plans[floorSide]); },
                    [&] { error = ExportError(exporter::ExportAllPcx(folders[1 - floorSide], archive)); }, SettleDisk));
      if (!error.empty()) state.SkipWithError(error.c_str());
    }
  }
  PublishRatio(state,
               "ExportAllPcx, " + SpriteCount(sprites) + " sprites, " +
                   (target == Target::kFilledFolder ? "replacing files" : "empty folder"),
               times, target == Target::kFilledFolder ? 1.2 : 1.1);
}

// 1,000 rows spread over the 65,535-sprite archive, written as a selection,
// against Save All of the 1,000-sprite archive: the same number of files, so
// the ratio of the times is that of the time per file. Both into an empty
// folder, a new one for each run.
void SelectionExportFigure(benchmark::State& state) {
  const sff::Archive large = LoadOrThrow(ArchivePath(kLargeArchiveSprites));
  const sff::Archive small = LoadOrThrow(ArchivePath(kSmallArchiveSprites));
  std::vector<std::size_t> rows;
  const std::size_t stride = large.RowCount() / kSmallArchiveSprites;
  for (std::size_t k = 0; k < static_cast<std::size_t>(kSmallArchiveSprites); ++k) rows.push_back(k * stride);
  const fs::path root = NewFolderRoot("selection", kSmallArchiveSprites);
  PairedTimes times;
  int run = 0;
  for (auto _ : state) {
    const std::string floorFolder = NewFolder(root, "save-all", run);
    const std::string subjectFolder = NewFolder(root, "selected", run++);
    bool ok = true;
    state.SetIterationTime(times.Run(
        [&] { ok = exporter::ExportAllPcx(floorFolder, small).has_value() && ok; },
        [&] { ok = exporter::ExportPcx(subjectFolder, large, exporter::RowSelection::Only(rows)).has_value() && ok; },
        SettleDisk));
    if (!ok) state.SkipWithError("an export failed");
  }
  PublishRatio(state, "Export of a 1,000-row selection of 65,535, empty folder, against Save All of 1,000 rows",
               times, 1.1);
}

void ExportReplacingFigure(benchmark::State& state) { ExportFigure(state, Target::kFilledFolder); }
void ExportFreshFigure(benchmark::State& state) { ExportFigure(state, Target::kEmptyFolder); }

// The PNG files the export writes, each named as in the folder, made once
// outside the timed runs for the floor.
std::vector<std::pair<std::string, std::string>> PngFiles(const sff::Archive& archive) {
  std::vector<std::pair<std::string, std::string>> files;
  for (std::size_t row = 0; row < archive.RowCount(); ++row) {
    const sff::SpriteRecord& record = archive.RecordOfRow(row);
    std::string name = sff::PngName(archive, record);
    if (name.empty()) continue;
    auto decoded = exporter::DecodeSprite(archive, record);
    if (!decoded) throw std::runtime_error("a sprite of the benchmark archive does not decode");
    files.emplace_back(std::move(name), image::EncodeIndexedPng(*decoded, image::kPngLevel));
  }
  return files;
}

// The PNG export decodes and compresses every sprite besides writing its
// file; the floor writes the same files, made beforehand, as safely. Both into
// an empty folder, a new one for each run, as the PCX export's own figure.
void PngExportFigure(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const sff::Archive archive = LoadOrThrow(ArchivePath(sprites));
  const auto files = PngFiles(archive);
  const fs::path root = NewFolderRoot("png", sprites);
  PairedTimes times;
  int run = 0;
  for (auto _ : state) {
    const std::string floorFolder = NewFolder(root, "floor", run);
    std::vector<PlannedFile> floor;
    floor.reserve(files.size());
    for (const auto& [name, png] : files) floor.push_back(PlanBuffer(floorFolder + name, png));
    const std::string programFolder = NewFolder(root, "program", run++);
    std::string error;
    state.SetIterationTime(times.Run([&] { WritePlannedNewFilesUnnamed(floor); },
                                     [&] {
                                       const auto result = exporter::ExportAllPng(programFolder, archive);
                                       error = ExportError(result);
                                       if (result && result->undecodable > 0) error = "sprites that do not decode";
                                     },
                                     SettleDisk));
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  PublishRatio(state,
               "ExportAllPng (level " + std::to_string(image::kPngLevel) + "), " + SpriteCount(sprites) +
                   " sprites, empty folder",
               times, 1.1);
}

// The definition text's bytes, made once outside the timed runs for the floors.
std::string TextBytes(const sff::Archive& archive) {
  auto bytes = exporter::SprTextBytes(archive);
  if (!bytes) throw std::runtime_error("the benchmark archive has no definition text");
  return std::string(exporter::View(*bytes));
}

fs::path TextFolder() {
  const fs::path folder = fs::path(CacheFolder()) / "text";
  fs::create_directories(folder);
  return folder;
}

// WriteSprText makes the text a piece at a time and writes each piece as it
// is made, through one safe replace; the floor writes the same bytes, made
// beforehand, the same safe way.
void SprTextFigure(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const sff::Archive archive = LoadOrThrow(ArchivePath(sprites));
  const std::string bytes = TextBytes(archive);
  const std::vector<PlannedFile> floor{PlanBuffer((TextFolder() / "floor_SFF.txt").string(), bytes)};
  const std::string subjectPath = (TextFolder() / "program_SFF.txt").string();
  // Both files exist before the timed runs, as when the text is made again.
  WritePlannedFilesSafely(floor);
  (void)exporter::WriteSprText(subjectPath, archive);
  PairedTimes times;
  for (auto _ : state) {
    bool written = false;
    state.SetIterationTime(times.Run([&] { WritePlannedFilesSafely(floor); },
                                     [&] { written = exporter::WriteSprText(subjectPath, archive).has_value(); },
                                     SettleDisk));
    if (!written) state.SkipWithError("WriteSprText failed");
  }
  PublishRatio(state, "WriteSprText, " + SpriteCount(sprites) + " rows", times, 1.5);
}

// What the safety costs: the same text written in place (truncated and
// overwritten, unsafe) against the safe floor above. Shown, not held to a target.
void InPlaceComparison(benchmark::State& state) {
  const int sprites = static_cast<int>(state.range(0));
  const std::string bytes = TextBytes(LoadOrThrow(ArchivePath(sprites)));
  const std::vector<PlannedFile> floor{PlanBuffer((TextFolder() / "floor_SFF.txt").string(), bytes)};
  const std::vector<PlannedFile> inPlace{PlanBuffer((TextFolder() / "in_place_SFF.txt").string(), bytes)};
  WritePlannedFilesSafely(floor);
  WritePlannedFilesInPlace(inPlace);
  PairedTimes times;
  for (auto _ : state)
    state.SetIterationTime(
        times.Run([&] { WritePlannedFilesSafely(floor); }, [&] { WritePlannedFilesInPlace(inPlace); }, SettleDisk));
  PublishComparison(state, "Unsafe in-place write of the same text (no target), against the safe floor", times);
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
BENCHMARK(LoadFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 61); });
BENCHMARK(LoadAgainstPlainRead)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 11); });
BENCHMARK(SprTextFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 61); });
BENCHMARK(InPlaceComparison)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 31); });
BENCHMARK(ExportFreshFigure)->Apply([](auto* b) { Figure(b, kSmallArchiveSprites, 21); });
BENCHMARK(SelectionExportFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 11); });
BENCHMARK(ExportFreshFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 6); });
BENCHMARK(PngExportFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 6); });
BENCHMARK(ExportReplacingFigure)->Apply([](auto* b) { Figure(b, kSmallArchiveSprites, 11); });
BENCHMARK(ExportReplacingFigure)->Apply([](auto* b) { Figure(b, kLargeArchiveSprites, 4); });

}  // namespace
}  // namespace pelvaro::bench

int main(int argc, char** argv) {
  const int status = pelvaro::bench::RunBenchmarks(argc, argv);
  pelvaro::bench::RemoveNewFolders();
  return status;
}
