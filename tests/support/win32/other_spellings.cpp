#include "tests/support/other_spellings.h"

#include <algorithm>
#include <cctype>

namespace pelvaro::testing {

// Windows' names ignore case and take "/" for "\\".
std::vector<std::pair<std::string, std::string>> OtherSpellingsOf(const std::string& folder, const std::string& name) {
  std::string capitals = name;
  std::transform(capitals.begin(), capitals.end(), capitals.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  std::string slashed = folder + name;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  return {{"in capitals", folder + capitals}, {"with slashes", slashed}};
}

}  // namespace pelvaro::testing
