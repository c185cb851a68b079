#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelvaro::testing {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
 public:
  TempDir();
  // A fresh folder in `parent` instead.
  explicit TempDir(const std::filesystem::path& parent);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, ending with the separator.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }
  // Names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

// Names of the entries in `folder`, sorted.
std::vector<std::string> EntriesOf(const std::string& folder);

}  // namespace pelvaro::testing
