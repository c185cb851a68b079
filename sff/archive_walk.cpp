#include "sff/archive_walk.h"

#include "sff/chain_walk.h"
#include "sff/progress.h"
#include "sff/record_rows.h"
#include "sff/sff_layout.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <variant>

namespace pelvaro::sff {
namespace {

// Sizes the records and rows for the image count of `file`'s header; false,
// with the refusal, when the header is refused.
bool StartWalk(std::span<const std::uint8_t> file, const std::string& stem, Walked& walked) {
  auto count = ReadImageCount(file);
  if (auto* refusal = std::get_if<LoadOutcome>(&count)) {
    walked.refusal = std::move(*refusal);
    return false;
  }
  const auto records = static_cast<std::size_t>(std::get<std::int32_t>(count));
  walked.records.resize(records);
  PrepareRecordRows(walked.rows, records, stem.size());
  return true;
}

// After a walk: its refusal, or the rows of the records after the last subfile, empty as they are.
void EndWalk(const ChainWalk& walk, Walked& walked) {
  walked.refusal = walk.Refused();
  if (walked.refusal) return;
  AddUnreachedRows(walked.records, walk.Walked(), walked.rows);
}

}  // namespace

Walked WalkInMemory(std::span<const std::uint8_t> file, const std::string& stem) {
  Walked walked;
  if (!StartWalk(file, stem, walked)) return walked;
  ChainWalk walk(file, walked.records);
  walk.Advance(file.size());
  if (!walk.Refused()) NameAndAddRows(walked.records, 0, walk.Walked(), stem, walked.rows);
  EndWalk(walk, walked);
  return walked;
}

namespace {

// Names the walked records and adds their rows on a thread of its own, close
// behind the walk: that work then costs next to nothing on top of the read.
class Lister {
 public:
  Lister(Walked& walked, const std::string& stem) : walked_(walked), stem_(stem) {}
  Lister(const Lister&) = delete;
  Lister& operator=(const Lister&) = delete;
  ~Lister() {
    if (thread_.joinable()) {
      progress_.Publish(published_, true);
      thread_.join();
    }
  }

  // False when no thread could be had.
  bool Start() {
    try {
      thread_ = std::thread([this] { Run(); });
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }
  bool Running() const { return thread_.joinable(); }
  // Records [0, count) are walked; `over` when no more will be.
  void Follow(std::size_t count, bool over) {
    published_ = count;
    progress_.Publish(count, over);
  }
  // Waits for the listing of every record published, and passes its failure on.
  void Finish() {
    progress_.Publish(published_, true);
    thread_.join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  void Run() noexcept {
    try {
      std::size_t listed = 0;
      for (;;) {
        const Progress::Seen seen = progress_.WaitFor(listed + 1);
        NameAndAddRows(walked_.records, listed, static_cast<std::size_t>(seen.count), stem_, walked_.rows);
        listed = static_cast<std::size_t>(seen.count);
        if (seen.ended) return;
      }
    } catch (...) {
      failure_ = std::current_exception();
    }
  }

  Walked& walked_;
  const std::string& stem_;
  Progress progress_;
  std::size_t published_ = 0;
  std::exception_ptr failure_;
  std::thread thread_;
};

// Files from this size on are listed on a second thread, where a second
// processor can run it; for smaller ones starting it costs more than it saves.
constexpr std::size_t kListAlongsideFrom = 256 * 1024;

}  // namespace

Walked ReadAndWalk(ArrivingFile& file, const std::string& stem) {
  const std::span<const std::uint8_t> room = file.Bytes();
  Walked walked;
  std::optional<ChainWalk> walk;
  Lister lister(walked, stem);
  // Started before the read, so that it is up and waiting when the first
  // records are walked; it touches nothing before then.
  if (room.size() >= kListAlongsideFrom && std::thread::hardware_concurrency() > 1) lister.Start();
  bool over = false;
  file.ReadAll([&](std::size_t arrived) {
    if (over) return;
    if (!walk) {
      if (arrived < std::min<std::size_t>(room.size(), kFirstSubfileOffset)) return;
      if (!StartWalk(room, stem, walked)) {
        over = true;
        return;
      }
      walk.emplace(room, walked.records);
    }
    over = walk->Advance(arrived);
    if (lister.Running()) lister.Follow(walk->Walked(), over);
  });
  const bool listedAlongside = lister.Running();
  if (listedAlongside) lister.Finish();
  if (!walk) return walked;
  if (!listedAlongside && !walk->Refused()) NameAndAddRows(walked.records, 0, walk->Walked(), stem, walked.rows);
  EndWalk(*walk, walked);
  return walked;
}

}  // namespace pelvaro::sff
