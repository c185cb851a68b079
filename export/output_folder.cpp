#include "export/output_folder.h"

#include "platform/file_system.h"

namespace pelvaro::exporter {

Result<Done, FolderError> EnsureOutputFolder(const std::string& folder) {
  if (auto failed = platform::Files().MakeFolders(folder)) return Fail(FolderError{folder, failed->reason});
  return Done{};
}

}  // namespace pelvaro::exporter
