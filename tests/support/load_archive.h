#pragma once

#include "sff/load_sff.h"
#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_view.h"

#include <memory>
#include <string>

namespace pelvaro::testing {

// One window and one loader state across several loads of archives written
// to a temporary folder.
struct Session {
  TempDir dir;
  sff::SffState state;
  TestView view;

  sff::LoadOutcome Load(const std::string& name, const Bytes& bytes, std::initializer_list<int> answers = {}) {
    WriteBytes(dir / name, bytes);
    view.sffName = name;
    view.answers.assign(answers.begin(), answers.end());
    return sff::LoadSff(dir / name, state, view);
  }
};

// An archive loaded as `name` in a session of its own.
struct LoadedArchive : Session {
  sff::LoadOutcome outcome;

  std::string Cell(int row, int column) const { return std::string(view.table.Text(row, column)); }
  const sff::SpriteRecord& Record(int pos) const { return state.SpriteInfo.at(static_cast<std::size_t>(pos)); }
};

inline std::unique_ptr<LoadedArchive> LoadArchive(const Bytes& bytes, const std::string& name = "USER.sff",
                                                  std::initializer_list<int> answers = {}) {
  auto a = std::make_unique<LoadedArchive>();
  a->outcome = a->Load(name, bytes, answers);
  return a;
}

// A payload of `size` bytes counting up from `seed`, easy to recognise in output.
inline Bytes Payload(std::size_t size, std::uint8_t seed) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i);
  return b;
}

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
