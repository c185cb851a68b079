#include "export/png_ahead.h"

#include "export/png_export.h"
#include "image/png_writer.h"

#include <stdexcept>
#include <system_error>
#include <utility>

namespace pelvaro::exporter {
namespace {

// How far ahead the files are made: enough to ride out a slow file or a slow
// sprite, few enough that large sprites do not pile up in memory.
constexpr std::size_t kMostFilesAhead = 64;
constexpr std::size_t kMostBytesAhead = std::size_t{16} << 20;
// Once the files ahead reach either bound, the thread waits until the caller
// has taken them down to half of both. Were it woken for every file taken, the
// two threads would hand the lock to each other once a file, two system calls
// and a switch of thread each time, for tens of thousands of files.
constexpr std::size_t kResumeFilesAhead = kMostFilesAhead / 2;
constexpr std::size_t kResumeBytesAhead = kMostBytesAhead / 2;

std::size_t SizeOf(const std::optional<std::string>& png) { return png ? png->size() : 0; }

}  // namespace

PngFilesAhead::PngFilesAhead(const sff::Archive& archive, const RowSelection& selection)
    : archive_(archive), selection_(selection) {
  // Where the system gives no thread, each file is made when it is taken.
  try {
    maker_ = std::jthread([this](std::stop_token stop) { MakeAll(stop); });
  } catch (const std::system_error&) {
  }
}

PngFilesAhead::Made PngFilesAhead::MakeOne(std::size_t row) const {
  Made made;
  made.row = row;
  auto decoded = DecodeSprite(archive_, archive_.RecordOfRow(row));
  if (decoded) {
    made.png = image::EncodeIndexedPng(*decoded, image::kPngLevel);
  } else {
    made.error = decoded.error();
  }
  return made;
}

Result<std::string, image::DecodeError> PngFilesAhead::Handed(Made& made) {
  if (!made.png) return Fail(made.error);
  return std::move(*made.png);
}

bool PngFilesAhead::HasRoom() const {
  return ready_.empty() || (ready_.size() < kMostFilesAhead && readyBytes_ < kMostBytesAhead);
}

bool PngFilesAhead::HasRoomAgain() const {
  return ready_.empty() || (ready_.size() <= kResumeFilesAhead && readyBytes_ <= kResumeBytesAhead);
}

void PngFilesAhead::MakeAll(const std::stop_token& stop) {
  const std::size_t total = selection_.all ? archive_.RowCount() : selection_.rows.size();
  for (std::size_t k = 0; k < total && !stop.stop_requested(); ++k) {
    const std::size_t row = selection_.all ? k : selection_.rows[k];
    if (row >= archive_.RowCount()) continue;  // as the walk passes it over
    Made made;
    try {
      made = MakeOne(row);
    } catch (...) {
      made.row = row;
      made.thrown = std::current_exception();
    }
    const bool thrown = made.thrown != nullptr;
    std::unique_lock lock(mutex_);
    if (!HasRoom() && !changed_.wait(lock, stop, [this] { return HasRoomAgain(); })) return;
    readyBytes_ += SizeOf(made.png);
    ready_.push_back(std::move(made));
    // The caller waits only for a first file.
    if (ready_.size() == 1) changed_.notify_all();
    if (thrown) break;  // the caller stops there
  }
  const std::lock_guard lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

Result<std::string, image::DecodeError> PngFilesAhead::Take(std::size_t row) {
  if (!maker_.joinable()) {
    Made made = MakeOne(row);
    return Handed(made);
  }
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
    if (ready_.empty()) throw std::logic_error("PngFilesAhead: a row asked for out of the selection's order");
    Made made = std::move(ready_.front());
    ready_.pop_front();
    readyBytes_ -= SizeOf(made.png);
    if (HasRoomAgain()) changed_.notify_all();
    if (made.thrown) std::rethrow_exception(made.thrown);
    if (made.row == row) return Handed(made);
  }
}

}  // namespace pelvaro::exporter
