#pragma once

// A count that one thread raises and another waits on, such as the records
// walked so far, with a mark for "no more will come".

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace pelvaro::sff {

class Progress {
 public:
  // A waiter spins for about a millisecond before it sleeps, unless told
  // otherwise: waking a sleeper costs a system call on both sides, but a
  // spinning waiter takes a processor another thread may need.
  static constexpr int kDefaultSpins = 1 << 14;
  explicit Progress(int spinsBeforeSleep = kDefaultSpins) : spinsBeforeSleep_(spinsBeforeSleep) {}

  struct Seen {
    std::uint64_t count;
    bool ended;
  };

  void Publish(std::uint64_t count, bool ended) {
    value_.store(count | (ended ? kEnded : 0));
    // Waking a sleeping thread is a system call; usually the waiter is busy
    // or spinning, and nobody sleeps. A waiter counts itself a sleeper before
    // its last look at the value, so one that missed this store is seen here.
    if (sleepers_.load() > 0) {
      // Taking the lock means a waiter between its last look and its sleep
      // has gone to sleep by now, and hears this.
      { const std::lock_guard<std::mutex> lock(sleep_); }
      wake_.notify_all();
    }
  }

  // Waits until the count has reached `count` or no more will come.
  Seen WaitFor(std::uint64_t count) const {
    for (int spins = 0;; ++spins) {
      const std::uint64_t value = value_.load();
      const Seen seen{value & ~kEnded, (value & kEnded) != 0};
      if (seen.count >= count || seen.ended) return seen;
      // The next step is usually microseconds away: waiting for it awake
      // costs less than being put to sleep and woken.
      if (spins < spinsBeforeSleep_) {
        Pause();
        continue;
      }
      // Not std::atomic::wait: where the system has no futex, GCC 12 builds it
      // on a condition variable that its notify never locks, and a wake-up
      // that comes between the waiter's look and its sleep is lost for good.
      std::unique_lock<std::mutex> lock(sleep_);
      sleepers_.fetch_add(1);
      wake_.wait(lock, [&] { return value_.load() != value; });
      sleepers_.fetch_sub(1);
    }
  }

 private:
  static constexpr std::uint64_t kEnded = std::uint64_t{1} << 63;

  static void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
  }

  const int spinsBeforeSleep_;
  std::atomic<std::uint64_t> value_{0};
  mutable std::atomic<int> sleepers_{0};
  mutable std::mutex sleep_;
  mutable std::condition_variable wake_;
};

}  // namespace pelvaro::sff
