#pragma once

// How the fuzz target reads one input: the first byte chooses the answer to the
// shared-palette question and the name the archive is opened under; the rest
// is the archive. The seed writer uses the same layout.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelvaro::fuzz {

inline constexpr std::uint8_t kAnswerYesBit = 0x01;
inline constexpr int kNameShift = 1;

// Archive names that reach every way the stem and the CP932 texts are made:
// plain, Japanese, shorter than four characters (empty stem), and one with a
// character that has no CP932 form (the definition text is refused).
inline const std::vector<std::string>& ArchiveNames() {
  static const std::vector<std::string> names = {"FUZZ.sff", "スプライト.sff", "ab", "\xF0\x9F\x98\x80.sff"};
  return names;
}

struct Choice {
  bool answerYes = false;
  std::string archiveName;
};

inline Choice ChoiceOf(std::uint8_t first) {
  const auto& names = ArchiveNames();
  return {(first & kAnswerYesBit) != 0, names[(static_cast<std::size_t>(first) >> kNameShift) % names.size()]};
}

inline std::uint8_t ChoiceByte(bool answerYes, std::size_t nameIndex) {
  return static_cast<std::uint8_t>((answerYes ? kAnswerYesBit : 0) | (nameIndex << kNameShift));
}

}  // namespace pelvaro::fuzz
