#pragma once

#include <string>

namespace pelvaro::exporter {

// A file that could not be written, and why.
struct WriteError {
  enum class Fault {
    kSystem,          // the system refused: `reason` holds its words
    kOpenArchive,     // the target is the open archive itself, under whatever name
    kNotRegularFile,  // the target is a FIFO, a device, a socket or a link to nothing
  };
  std::string file;    // the target as it was asked for
  std::string reason;  // the system's words, for kSystem
  Fault fault = Fault::kSystem;

  static WriteError System(std::string file, std::string reason) {
    return {std::move(file), std::move(reason), Fault::kSystem};
  }
  static WriteError Refused(std::string file, Fault fault) { return {std::move(file), {}, fault}; }
};

}  // namespace pelvaro::exporter
