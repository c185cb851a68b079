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

  std::string Cell(int row, int column) const { return view.table.Text(row, column); }
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

}  // namespace pelvaro::testing
