#include "tests/support/other_spellings.h"

#include <filesystem>

namespace pelvaro::testing {

std::vector<std::pair<std::string, std::string>> OtherSpellingsOf(const std::string& folder, const std::string& name) {
  std::filesystem::create_symlink(name, folder + "link.txt");
  std::filesystem::create_directory_symlink(".", folder + "folder link");
  return {{"a symbolic link", folder + "link.txt"}, {"through a linked folder", folder + "folder link/" + name}};
}

}  // namespace pelvaro::testing
