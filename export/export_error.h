#pragma once

#include <string>

namespace pelvaro::exporter {

// Why an export stopped: the message the user sees (Japanese, naming the file
// and the system's reason) and the file concerned.
struct ExportError {
  std::string message;
  std::string path;
};

// "ファイルを書き込めません。" with the path and the reason on their own lines.
ExportError WriteError(const std::string& path, const std::string& reason);

}  // namespace pelvaro::exporter
