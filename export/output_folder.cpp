#include "export/output_folder.h"

#include "export/system_reason.h"
#include "text/native_path.h"

#include <filesystem>
#include <system_error>

namespace pelvaro::exporter {

Result<Done, FolderError> EnsureOutputFolder(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path native(text::ToNativePath(folder));
  if (std::filesystem::is_directory(native, ec)) return Done{};
  std::filesystem::create_directories(native, ec);
  if (ec) return Fail(FolderError{folder, SystemReason(ec)});
  return Done{};
}

}  // namespace pelvaro::exporter
