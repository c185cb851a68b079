#include "tests/support/temp_dir.h"

#include "text/native_path.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>

namespace pelvaro::testing {

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path()) {}

TempDir::TempDir(const std::filesystem::path& parent) {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  auto dir = parent / ("pelvaro-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir);
  path_ = text::WithTrailingSeparator(text::FromNativePath(dir.native()));
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(text::ToNativePath(path_)), ec);
}

std::vector<std::string> TempDir::Entries() const { return EntriesOf(path_); }

std::vector<std::string> EntriesOf(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(text::ToNativePath(folder))))
    names.push_back(text::FromNativePath(e.path().filename().native()));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace pelvaro::testing
