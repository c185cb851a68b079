#pragma once

#include "sff/load_sff.h"
#include "sff/sprite_rows.h"
#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::testing {

// An archive written to a temporary folder and loaded from there, as the window and pelvaro-cli load it.
struct LoadedArchive {
  TempDir dir;
  std::optional<sff::Archive> archive;
  std::optional<sff::LoadError> error;
  int questions = 0;  // times the palette question was asked

  bool loaded() const { return archive.has_value(); }
  // The text of `column` in display row `row`, counted from 1 as the list counts.
  std::string Cell(int row, sff::Column column) const {
    return sff::CellText(*archive, static_cast<std::size_t>(row - 1), column);
  }
  std::vector<std::string> Row(int row) const {
    std::vector<std::string> cells;
    for (int c = 0; c < sff::kColumnCount; ++c) cells.push_back(Cell(row, static_cast<sff::Column>(c)));
    return cells;
  }
  const sff::SpriteRecord& Record(int pos) const { return archive->SpriteInfo().at(static_cast<std::size_t>(pos)); }
  std::string NameOf(int pos) const { return sff::PcxName(*archive, Record(pos)); }
};

// Loads `bytes` as the file `name`, answering the palette question with `goOn`.
inline std::unique_ptr<LoadedArchive> LoadArchive(const Bytes& bytes, const std::string& name = "USER.sff",
                                                  bool goOn = false) {
  auto a = std::make_unique<LoadedArchive>();
  WriteBytes(a->dir / name, bytes);
  auto result = sff::LoadSff(a->dir / name, [&] {
    ++a->questions;
    return goOn;
  });
  if (result) {
    a->archive.emplace(std::move(*result));
  } else {
    a->error = std::move(result).error();
  }
  return a;
}

// A payload of `size` bytes counting up from `seed`, easy to recognise in output.
inline Bytes Payload(std::size_t size, std::uint8_t seed) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i);
  return b;
}

// What stood under a name before a write, easy to tell from anything written.
inline Bytes OldFile() { return Payload(50, 9); }

// For the write-fault tests. Four sprites in display order 1/0 (the palette
// source), 1/1, 1/2, 1/3; 1/2 has `largeSize` payload bytes, so that on a small
// disk it is the one that does not fit.
inline Bytes FourSprites(std::size_t largeSize) {
  return SffBuilder()
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = Payload(800, 1)})
      .Add({.group = 1, .item = 1, .palFlag = 1, .payload = Payload(1000, 2)})
      .Add({.group = 1, .item = 2, .palFlag = 1, .payload = Payload(largeSize, 3)})
      .Add({.group = 1, .item = 3, .palFlag = 1, .payload = Payload(10, 4)})
      .Build();
}

// `rows` small sprites 1/0, 1/1, ...: 600 of them make a definition text of more than 16 KiB.
inline Bytes ManySprites(int rows, std::uint8_t palFlag) {
  SffBuilder b;
  for (int i = 0; i < rows; ++i)
    b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = palFlag, .payload = Payload(4, 0)});
  return b.Build();
}

}  // namespace pelvaro::testing
