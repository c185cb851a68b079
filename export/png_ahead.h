#pragma once

// The PNG files of an export, made on a second thread a little ahead of the
// rows being written. Decoding and compressing a sprite takes about as long
// as the file system takes to make its file, so with the two side by side an
// export of tens of thousands of sprites takes not much longer than writing
// them. Only the bytes are made ahead: the files are still written one after
// another, in display order, by the caller's thread, which also hears of
// every row that cannot be decoded.

#include "base/result.h"
#include "export/row_files.h"
#include "image/pcx_decoder.h"
#include "sff/archive.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

namespace pelvaro::exporter {

class PngFilesAhead {
 public:
  // Starts making the files of the selected rows of `archive`, which must
  // outlive this, as must the selection's rows.
  PngFilesAhead(const sff::Archive& archive, const RowSelection& selection);
  PngFilesAhead(const PngFilesAhead&) = delete;
  PngFilesAhead& operator=(const PngFilesAhead&) = delete;
  // Stops the thread; what it made ahead is dropped.
  ~PngFilesAhead() = default;

  // The PNG file of display row `row`, or why its image cannot be decoded.
  // Rows are asked for in the selection's order; rows passed over are
  // dropped. Throws what making the file threw (std::bad_alloc).
  Result<std::string, image::DecodeError> Take(std::size_t row);

 private:
  struct Made {
    std::size_t row = 0;
    std::optional<std::string> png;
    image::DecodeError error;
    std::exception_ptr thrown;
  };
  Made MakeOne(std::size_t row) const;
  static Result<std::string, image::DecodeError> Handed(Made& made);
  void MakeAll(const std::stop_token& stop);
  bool HasRoom() const;
  bool HasRoomAgain() const;

  const sff::Archive& archive_;
  const RowSelection selection_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::deque<Made> ready_;  // in the selection's order
  std::size_t readyBytes_ = 0;
  bool finished_ = false;  // the thread has made all it will
  std::jthread maker_;     // last: started once the rest is there, stopped and joined first; none if the system refused
};

}  // namespace pelvaro::exporter
