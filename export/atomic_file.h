#pragma once

// Writing a whole file so that it is either complete or untouched: the bytes go
// to a temporary file in the target's folder, which is then renamed over the
// target. A failure removes the temporary file and leaves the old target as it was.

#include "export/export_error.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::exporter {

std::optional<ExportError> WriteFileAtomic(const std::string& path, std::string_view bytes);

// Takes the bytes of `piece` for the file and leaves an empty buffer in its
// place; false once they can no longer be written (the maker may stop then).
using PieceSink = std::function<bool(std::string& piece)>;
// Makes a file's bytes, handing them to the sink piece by piece; an error it
// returns stops the write.
using PieceMaker = std::function<std::optional<ExportError>(const PieceSink& sink)>;

// The same for bytes made while they are written, so that a large file never
// has to be whole in memory. An error from `make` leaves the old target as it
// was and is returned as it is.
std::optional<ExportError> WriteFileAtomic(const std::string& path, const PieceMaker& make);

// Removes the temporary file of a write in progress, if any. Safe to call from
// a signal handler, so an interrupted command leaves no temporary file behind.
void RemovePendingTemporaryFile() noexcept;

}  // namespace pelvaro::exporter
