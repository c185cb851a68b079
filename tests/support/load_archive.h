#pragma once

#include "sff/load_sff.h"
#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_view.h"

#include <memory>
#include <string>

namespace pelvaro::testing {

// An archive written to a temporary folder and loaded as `name`.
struct LoadedArchive {
  TempDir dir;
  sff::SffState state;
  TestView view;
  sff::LoadOutcome outcome;
  std::string path;

  std::string Cell(int row, int column) const { return view.table.Text(row, column); }
  const sff::SpriteRecord& Record(int pos) const { return state.SpriteInfo.at(static_cast<std::size_t>(pos)); }
};

inline std::unique_ptr<LoadedArchive> LoadArchive(const Bytes& bytes, const std::string& name = "USER.sff",
                                                  std::initializer_list<int> answers = {}) {
  auto a = std::make_unique<LoadedArchive>();
  a->path = a->dir / name;
  WriteBytes(a->path, bytes);
  a->view.sffName = name;
  a->view.answers.assign(answers.begin(), answers.end());
  a->outcome = sff::LoadSff(a->path, a->state, a->view);
  return a;
}

// A payload of `size` bytes counting up from `seed`, easy to recognise in output.
inline Bytes Payload(std::size_t size, std::uint8_t seed) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i);
  return b;
}

}  // namespace pelvaro::testing
