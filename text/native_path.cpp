#include "text/native_path.h"

namespace pelvaro::text {

std::string GetFileName(std::string_view path, std::string_view separators) {
  const auto cut = path.find_last_of(separators);
  if (cut == std::string_view::npos) return std::string(path);
  return std::string(path.substr(cut + 1));
}

std::string WithTrailingSeparator(std::string folder, std::string_view separators) {
  if (!folder.empty() && separators.find(folder.back()) == std::string_view::npos)
    folder.push_back(kPathSeparator);
  return folder;
}

}  // namespace pelvaro::text
