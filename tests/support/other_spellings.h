#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pelvaro::testing {

// Other names of the file `name` in `folder` (ending in a separator), as this system spells them: links on
// POSIX, other letters and "/" on Windows; each with what it is. Makes the links it names.
std::vector<std::pair<std::string, std::string>> OtherSpellingsOf(const std::string& folder, const std::string& name);

}  // namespace pelvaro::testing
