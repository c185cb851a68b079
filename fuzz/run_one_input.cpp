#include "fuzz/run_one_input.h"

#include "export/definition_text.h"
#include "export/messages.h"
#include "export/pcx_export.h"
#include "fuzz/fuzz_input.h"
#include "sff/load_sff.h"
#include "sff/sprite_rows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::fuzz {
namespace {

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "broken promise: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

// The palette type byte of the header, when the file is long enough to hold it.
std::optional<std::uint8_t> PaletteType(std::span<const std::uint8_t> file) {
  if (file.size() <= static_cast<std::size_t>(sff::kPaletteTypeOffset)) return std::nullopt;
  return file[static_cast<std::size_t>(sff::kPaletteTypeOffset)];
}

void CheckRefusal(const sff::LoadError& error, const std::optional<std::uint8_t>& paletteType, bool answerYes) {
  if (error.fault == sff::LoadFault::kDeclined) {
    Require(paletteType && *paletteType != sff::kSharedPaletteMode, "declined although in shared palette mode");
    Require(!answerYes, "declined although the answer was Yes");
    Require(exporter::DescribeLoadError(error).empty(), "words for a load the user declined");
    return;
  }
  // Bytes in memory can only be a damaged archive: nothing was read from a disk.
  Require(sff::IsDamage(error.fault), "a file fault for bytes already in memory");
  const exporter::Lines lines = exporter::DescribeLoadError(error);
  Require(!lines.empty(), "a refusal without words");
  for (const std::string& line : lines) Require(!line.empty(), "a refusal with an empty line");
  const bool namesASubfile = error.fault == sff::LoadFault::kHeaderOutside ||
                             error.fault == sff::LoadFault::kNextOutside || error.fault == sff::LoadFault::kBadLink;
  // The chain starts at 512 and may point anywhere after that, backwards too,
  // but never at 0, which ends it.
  if (namesASubfile)
    Require(error.position >= 0 && error.offset >= 1 &&
                (error.position > 0 || error.offset == sff::kFirstSubfileOffset),
            "a damaged subfile without its place");
}

std::string SortKey(const sff::SpriteRecord& record) {
  std::string key;
  sff::AppendSortKey(key, record);
  return key;
}

// Row k shows record DisplayOrder()[k]: every record once, in sort-key order
// compared as texts, equal keys in chain order.
void CheckOrder(const sff::Archive& archive) {
  const auto& order = archive.DisplayOrder();
  const auto& records = archive.SpriteInfo();
  Require(order.size() == records.size(), "row count and records disagree");
  std::vector<bool> seen(records.size(), false);
  for (const std::uint32_t position : order) {
    Require(position < records.size() && !seen[position], "display order is not a permutation of the records");
    seen[position] = true;
  }
  for (std::size_t k = 1; k < order.size(); ++k) {
    const std::string before = SortKey(records[order[k - 1]]);
    const std::string after = SortKey(records[order[k]]);
    Require(before < after || (before == after && order[k - 1] < order[k]), "rows out of sort-key order");
  }
}

void CheckRecords(const sff::Archive& archive) {
  const auto size = static_cast<std::int64_t>(archive.SffBytes().size());
  const auto count = static_cast<std::int64_t>(archive.SpriteInfo().size());
  for (const sff::SpriteRecord& r : archive.SpriteInfo()) {
    if (r.DataEnd >= r.DataStart)
      Require(r.DataStart >= 0 && r.DataEnd < size, "a payload range outside the archive");
    Require(r.NameSource == sff::SpriteRecord::kNoName || (r.NameSource >= 0 && r.NameSource < count),
            "a PCX name taken from no record");
    // Every record, named or not: the file's bytes are the payload, clipped to
    // the archive, and the shared palette when the sprite uses it.
    const std::int64_t first = std::clamp<std::int64_t>(r.DataStart, 0, size);
    const std::int64_t end = std::clamp<std::int64_t>(std::int64_t{r.DataEnd} + 1, first, size);
    const std::int64_t expected = end - first + (r.PalFlag == 1 ? static_cast<std::int64_t>(sff::kPaletteSize) : 0);
    Require(static_cast<std::int64_t>(exporter::PcxFileBytes(archive, r).size()) == expected,
            "a PCX file of the wrong size");
  }
}

void CheckLoaded(const sff::Archive& archive, std::span<const std::uint8_t> file, const Choice& choice) {
  const std::int32_t imageCount = *ByteReader(file).I32le(sff::kImageCountOffset);
  Require(imageCount >= 1 && archive.RowCount() == static_cast<std::size_t>(imageCount),
          "rows and the header's image count disagree");
  Require(archive.Name() == choice.archiveName, "the archive under another name");
  Require(archive.SffBytes().size() == file.size(), "the archive's bytes are not the file's");
  CheckOrder(archive);
  CheckRecords(archive);

  // Every cell can be worked out; a row's PCX name is that of its record.
  std::string cell;
  for (std::size_t row = 0; row < archive.RowCount(); ++row) {
    for (int c = 0; c < sff::kColumnCount; ++c) {
      cell.clear();
      sff::AppendCell(cell, archive, row, static_cast<sff::Column>(c));
    }
    Require(cell == sff::PcxName(archive, archive.RecordOfRow(row)), "a row whose PCX name is not its record's");
  }

  const auto text = exporter::SprTextBytes(archive);
  if (!text) {
    Require(!text.error().character.empty(), "a definition-text refusal that names no character");
    Require(!exporter::DescribeTextError(text.error()).front().empty(), "a definition-text refusal without words");
  } else {
    Require(exporter::View(*text).ends_with("\r\n"), "a definition text without its end");
  }
}

}  // namespace

void RunOneInput(std::span<const std::uint8_t> input) {
  if (input.empty()) return;
  const Choice choice = ChoiceOf(input[0]);
  const std::span<const std::uint8_t> file = input.subspan(1);
  const std::optional<std::uint8_t> paletteType = PaletteType(file);

  int questions = 0;
  auto loaded = sff::LoadSffFromBytes(choice.archiveName, file, [&] {
    ++questions;
    return choice.answerYes;
  });
  // Asked once, exactly when the header says the archive is not in shared palette mode.
  const bool mustAsk = paletteType && *paletteType != sff::kSharedPaletteMode;
  Require(questions == (mustAsk ? 1 : 0), "the palette question asked when it must not be, or not when it must");
  if (!loaded) return CheckRefusal(loaded.error(), paletteType, choice.answerYes);
  CheckLoaded(*loaded, file, choice);
}

}  // namespace pelvaro::fuzz
