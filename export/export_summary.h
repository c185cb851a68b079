#pragma once

// What an export of sprite rows did, the same for PCX and PNG files, and the
// progress it reports on its way.

#include <cstddef>
#include <functional>

namespace pelvaro::exporter {

struct ExportSummary {
  std::size_t written = 0;
  std::size_t skipped = 0;      // rows without a PCX name, so without a file
  std::size_t undecodable = 0;  // PNG only: rows whose image could not be decoded
  bool cancelled = false;       // the progress asked to stop before every row was done
};

// Called after every row with the rows done and the rows to do; returns false
// to stop there, after the file just written.
using ProgressFn = std::function<bool(std::size_t done, std::size_t total)>;

}  // namespace pelvaro::exporter
