// pelvaro-cli as a process: its signal handlers and a failing stdout need the real program (POSIX only).

#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

pid_t StartCli(const std::vector<std::string>& args, int stdoutFd, int stderrFd) {
  std::vector<std::string> words{PELVARO_CLI_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    // SIGQUIT would dump core; no test wants the file.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    dup2(stdoutFd, STDOUT_FILENO);
    dup2(stderrFd, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) continue;
  return status;
}

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

// A signal at seeded moments over the time one whole PCX export takes leaves no temporary file and no partial
// PCX file, and ends the program as that signal does; 10 to 60 runs of about five seconds per signal.
TEST(InterruptedExport, NoTemporaryFileSurvivesATerminatingSignalAtAnyMoment) {
  // In memory where there is such a folder, so that many more moments fit the time.
  const TempDir dir(access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path());
  const std::string archive = dir / "INT.sff";
  const std::string out = dir / "out";
  SffBuilder b;
  b.Add({.payload = Bytes(800, 7)});
  for (int i = 1; i <= 2000; ++i)
    b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1, .payload = Bytes(64, 9)});
  WriteBytes(archive, b.Build());
  Fd null{open("/dev/null", O_WRONLY | O_CLOEXEC)};
  ASSERT_GE(null.fd, 0);

  // The moments are drawn from the shorter of two whole runs, the second one replacing files as the
  // interrupted runs do, less a fifth: most of them then fall inside an export even on a busy machine.
  auto exportTime = std::chrono::microseconds::max();
  for (int run = 0; run < 2; ++run) {
    const auto started = Clock::now();
    const int whole = WaitFor(StartCli({"pcx", archive, out}, null.fd, null.fd));
    exportTime = std::min(exportTime, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started));
    ASSERT_TRUE(WIFEXITED(whole) && WEXITSTATUS(whole) == 0);
  }
  exportTime = exportTime * 4 / 5;
  ASSERT_FALSE(fs::is_empty(out));

  std::mt19937 random(20261207);
  std::uniform_int_distribution<long long> moment(0, exportTime.count());
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    const auto signalStarted = Clock::now();
    int runs = 0, interrupted = 0;
    for (; runs < 60 && (runs < 10 || Clock::now() - signalStarted < std::chrono::seconds(5)); ++runs) {
      const long long after = moment(random);
      const pid_t pid = StartCli({"pcx", archive, out}, null.fd, null.fd);
      std::this_thread::sleep_for(std::chrono::microseconds(after));
      kill(pid, signal);
      const int status = WaitFor(pid);
      const std::string when = std::string(strsignal(signal)) + " after " + std::to_string(after) + " us";
      // Ended by the signal itself, so that a shell sees what happened, or by the end of the export.
      EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == signal : WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << when << ": status " << status;
      if (WIFSIGNALED(status)) ++interrupted;
      std::vector<std::string> wrong;  // a temporary file, or a PCX file that is not whole
      for (const auto& e : fs::directory_iterator(out)) {
        const std::string name = e.path().filename().string();
        const std::uintmax_t size = name == "INT_00000_00000.pcx" ? 800 : 64 + 768;
        if (name.rfind(".pelvaro-", 0) == 0 || fs::file_size(e.path()) != size) wrong.push_back(name);
      }
      EXPECT_TRUE(wrong.empty()) << when << " left " << wrong.size() << " files, one " << wrong.front();
      for (const std::string& name : wrong) fs::remove(fs::path(out) / name);
    }
    // Most moments fall inside the export, not after it.
    EXPECT_GE(interrupted, runs / 2) << strsignal(signal);
  }
}

// SIGKILL runs no handler. Into an empty folder every file is written
// without a name and named only when whole, so a kill at any moment leaves
// whole files and nothing else.
TEST(InterruptedExport, AKillLeavesNoStrayFileInANewFolder) {
  const TempDir dir(access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path());
  // Where the file system makes no unnamed files, temporary names are used and a kill may leave one.
  if (Fd unnamed{open(dir.path().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)}; unnamed.fd < 0)
    GTEST_SKIP() << "no unnamed files here: " << std::strerror(errno);
  const std::string archive = dir / "KILL.sff";
  SffBuilder b;
  b.Add({.payload = Bytes(800, 7)});
  for (int i = 1; i <= 2000; ++i)
    b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1, .payload = Bytes(64, 9)});
  WriteBytes(archive, b.Build());
  Fd null{open("/dev/null", O_WRONLY | O_CLOEXEC)};
  ASSERT_GE(null.fd, 0);
  const std::string out = dir / "out";
  const auto started = Clock::now();
  ASSERT_EQ(WaitFor(StartCli({"pcx", archive, out}, null.fd, null.fd)), 0);
  const auto exportTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
  std::mt19937 random(20261208);
  std::uniform_int_distribution<long long> moment(0, exportTime.count());
  for (int run = 0; run < 10; ++run) {
    fs::remove_all(out);
    const long long after = moment(random);
    const pid_t pid = StartCli({"pcx", archive, out}, null.fd, null.fd);
    std::this_thread::sleep_for(std::chrono::microseconds(after));
    kill(pid, SIGKILL);
    WaitFor(pid);
    if (!fs::exists(out)) continue;
    for (const auto& e : fs::directory_iterator(out)) {
      const std::string name = e.path().filename().string();
      const std::uintmax_t size = name == "KILL_00000_00000.pcx" ? 800 : 64 + 768;
      EXPECT_TRUE(name.rfind(".pelvaro-", 0) != 0 && fs::file_size(e.path()) == size)
          << "killed after " << after << " us, left " << name;
    }
  }
}

// A failed stdout write (`> /dev/full`) is told on stderr with exit 1, and the files are written all the same;
// a reader that has gone ends it without a word (SIGPIPE ignored, as under nohup, so the command meets it).
TEST(StandardOutput, AFailedWriteIsToldOnStderrAndABrokenPipeEndsQuietly) {
  const TempDir dir;
  const std::string archive = dir / "OUT.sff";
  WriteBytes(
      archive,
      SffBuilder().Add({.payload = Bytes(800, 1)}).Add({.item = 1, .palFlag = 1, .payload = Bytes(9, 2)}).Build());
  Fd full{open("/dev/full", O_WRONLY | O_CLOEXEC)};
  if (full.fd < 0) GTEST_SKIP() << "no /dev/full here";
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  close(ends[0]);
  Fd gone{ends[1]};
  signal(SIGPIPE, SIG_IGN);

  const std::string told = std::string("標準出力に書き込めません。\n") + std::strerror(ENOSPC) + "\n";
  const std::string errPath = dir / "stderr.txt";
  for (const auto& args : std::vector<std::vector<std::string>>{{"list", archive},
                                                                {"pcx", archive, dir / "pcx"},
                                                                {"text", archive, dir / "OUT_SFF.txt"},
                                                                {"--help"},
                                                                {"--version"}}) {
    for (const int stdoutFd : {full.fd, gone.fd}) {
      Fd err{open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
      const int status = WaitFor(StartCli(args, stdoutFd, err.fd));
      const Bytes said = ReadBytes(errPath);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << args[0] << " status " << status;
      EXPECT_EQ(std::string(said.begin(), said.end()), stdoutFd == full.fd ? told : "") << args[0];
    }
  }
  EXPECT_TRUE(fs::is_regular_file(dir / "pcx/OUT_00000_00001.pcx"));
  EXPECT_TRUE(fs::is_regular_file(dir / "OUT_SFFBuild.bat"));
}

}  // namespace
}  // namespace pelvaro::testing
