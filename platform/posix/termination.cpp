#include "platform/termination.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>

namespace pelvaro::platform {
namespace {

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A fixed buffer, because a signal handler may read it. A handler runs on
// this thread, in between its steps, and cannot wait for a lock: the flag is
// set only once the name is whole.
char g_pendingPath[4096];
std::atomic<bool> g_pending{false};

// The program then ends as the signal would have ended it, so a shell sees what happened.
extern "C" void OnTerminate(int signal) {
  RemovePendingTemporaryFile();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void RememberPendingFile(const std::string& path) {
  if (path.size() >= sizeof g_pendingPath) return;
  std::copy(path.begin(), path.end(), g_pendingPath);
  g_pendingPath[path.size()] = 0;
  g_pending.store(true);
}

void ForgetPendingFile() { g_pending.store(false); }

void RemovePendingTemporaryFile() noexcept {
  if (!g_pending.exchange(false)) return;
  ::unlink(g_pendingPath);
}

void RemoveTemporaryFilesOnTermination() {
  for (const int signal : kTerminationSignals) {
    // A signal the program was started ignoring (nohup, a background job) stays ignored.
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    // One handler at a time: a second signal waits until the first has removed the file.
    sigemptyset(&action.sa_mask);
    for (const int other : kTerminationSignals) sigaddset(&action.sa_mask, other);
    sigaction(signal, &action, nullptr);
  }
}

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

}  // namespace pelvaro::platform
