#include "platform/termination.h"

#include "platform/native_path.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <csignal>

namespace pelvaro::platform {
namespace {

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGBREAK};

wchar_t g_pendingPath[4096];
std::atomic<bool> g_pending{false};

// Ctrl+C runs its handler on a thread of its own: the lock keeps it from
// reading the name while this thread writes it.
SRWLOCK g_pendingLock = SRWLOCK_INIT;
struct PendingLock {
  PendingLock() { AcquireSRWLockExclusive(&g_pendingLock); }
  ~PendingLock() { ReleaseSRWLockExclusive(&g_pendingLock); }
  PendingLock(const PendingLock&) = delete;
  PendingLock& operator=(const PendingLock&) = delete;
};

// The program then ends as the signal would have ended it.
extern "C" void OnTerminate(int signal) {
  RemovePendingTemporaryFile();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void RememberPendingFile(const std::string& path) {
  const NativePath native = ToNativePath(path);
  if (native.size() >= sizeof g_pendingPath / sizeof g_pendingPath[0]) return;
  const PendingLock lock;
  std::copy(native.begin(), native.end(), g_pendingPath);
  g_pendingPath[native.size()] = 0;
  g_pending.store(true);
}

void ForgetPendingFile() {
  const PendingLock lock;
  g_pending.store(false);
}

void RemovePendingTemporaryFile() noexcept {
  const PendingLock lock;
  if (!g_pending.exchange(false)) return;
  DeleteFileW(g_pendingPath);
}

void RemoveTemporaryFilesOnTermination() {
  for (const int signal : kTerminationSignals) std::signal(signal, OnTerminate);
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace pelvaro::platform
