#pragma once

// The floors the figures are measured against: the same bytes read or written
// with nothing but the system calls, no checks, no copies and no names to build.

#include "sff/sff_state.h"
#include "sff/sprite_table.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelvaro::bench {

// A whole file in memory, in an uninitialised buffer.
struct FileImage {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
};

// open, fstat, one read into a fresh buffer, close.
FileImage ReadFileAlone(const std::string& path);

// One PCX file of an export: its path and the two pieces it is made of.
struct PlannedFile {
  std::string path;
  std::span<const std::uint8_t> payload;
  std::span<const std::uint8_t> palette;  // empty unless the sprite uses the shared palette
};

// The files an export of `table` into `folder` writes, row by row in display
// order, with the bytes the exporter writes (rows without a name are left out).
std::vector<PlannedFile> PlanPcxFiles(const std::string& folder, const sff::SffState& state,
                                      const sff::SpriteTable& table);

// Each file created (or truncated), written with one gathering write, closed.
void WritePlannedFiles(const std::vector<PlannedFile>& files);

// `bytes` written to `path` the same plain way.
void WriteBufferAlone(const std::string& path, std::string_view bytes);

}  // namespace pelvaro::bench
