#include "platform/program_folder.h"

#include <unistd.h>

#include <vector>

namespace pelvaro::platform {

std::string ProgramFolder() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
  std::string path(buffer.data(), static_cast<std::size_t>(n));
  const auto cut = path.find_last_of('/');
  if (cut == std::string::npos) return {};
  return cut == 0 ? std::string("/") : path.substr(0, cut);
}

}  // namespace pelvaro::platform
