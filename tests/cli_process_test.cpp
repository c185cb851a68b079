// pelvaro-cli as a process: what a signal leaves behind when it ends an
// export, and what the command says when its standard output fails. These
// need the real program, its real signal handlers and real file descriptors,
// so they start the built pelvaro-cli (POSIX only).

#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
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

// Starts pelvaro-cli with `args`, its stdout and stderr on the given
// descriptors; returns its process id.
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
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// A file descriptor closed when it goes.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

std::string TextOf(const std::string& path) {
  const Bytes b = ReadBytes(path);
  return std::string(b.begin(), b.end());
}

constexpr int kSprites = 2000;
constexpr std::size_t kPayload = 64;

// kSprites sprites after the palette source, each exported as its payload and
// the shared palette.
Bytes ExportArchive() {
  SffBuilder b;
  b.Add({.group = 0, .item = 0, .palFlag = 0, .payload = Bytes(800, 7)});
  for (int i = 1; i <= kSprites; ++i)
    b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1, .payload = Bytes(kPayload, 9)});
  return b.Build();
}

// What an interrupted export left in `folder` that it must not have: a
// temporary file, or a PCX file that is not whole.
std::vector<std::string> LeftoversIn(const std::string& folder) {
  std::vector<std::string> wrong;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(".pelvaro-", 0) == 0) {
      wrong.push_back(name);
      continue;
    }
    // The palette source keeps 32 of its 800 bytes; the shared palette follows.
    const std::uintmax_t whole = name == "INT_00000_00000.pcx" ? 800 : kPayload + 768;
    if (fs::file_size(e.path()) != whole) wrong.push_back(name + " (" + std::to_string(fs::file_size(e.path())) + " bytes)");
  }
  return wrong;
}

// A signal at any moment of a PCX export, from the start of the program to
// its end, leaves no temporary file and no partial PCX file behind, and ends
// the program as that signal does. The moments are drawn from a seeded
// generator over the time one whole export takes; the runs for each signal
// are bounded by time, so the test stays within half a minute.
TEST(InterruptedExport, NoTemporaryFileSurvivesATerminatingSignalAtAnyMoment) {
  // In memory where the system has such a folder: an export there takes a
  // fraction of its time on a busy disk, so many more moments fit the time.
  const TempDir dir(access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path());
  const std::string archive = dir / "INT.sff";
  const std::string out = dir / "out";
  WriteBytes(archive, ExportArchive());
  Fd null{open("/dev/null", O_WRONLY | O_CLOEXEC)};
  ASSERT_GE(null.fd, 0);

  const auto started = Clock::now();
  const int whole = WaitFor(StartCli({"pcx", archive, out}, null.fd, null.fd));
  const auto exportTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
  ASSERT_TRUE(WIFEXITED(whole) && WEXITSTATUS(whole) == 0);
  ASSERT_FALSE(fs::is_empty(out));

  std::printf("One export of %d files takes %lld ms in %s.\n", kSprites + 1,
              static_cast<long long>(exportTime.count() / 1000), dir.path().c_str());

  // For each signal, runs until about five seconds have passed: at least 10
  // and at most 60, so that the test stays within half a minute on a slow or
  // sanitized build.
  constexpr int kFewestRuns = 10;
  constexpr int kMostRuns = 60;
  constexpr auto kTimeForEachSignal = std::chrono::seconds(5);
  std::mt19937 random(20261207);
  std::uniform_int_distribution<long long> moment(0, exportTime.count());
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    const auto signalStarted = Clock::now();
    int runs = 0;
    int interrupted = 0;
    for (; runs < kMostRuns && (runs < kFewestRuns || Clock::now() - signalStarted < kTimeForEachSignal); ++runs) {
      const long long after = moment(random);
      const pid_t pid = StartCli({"pcx", archive, out}, null.fd, null.fd);
      std::this_thread::sleep_for(std::chrono::microseconds(after));
      kill(pid, signal);
      const int status = WaitFor(pid);
      if (WIFSIGNALED(status)) {
        // Ended by the signal itself, so a shell sees what happened.
        EXPECT_EQ(WTERMSIG(status), signal) << strsignal(signal) << " after " << after << " us";
        ++interrupted;
      } else {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << strsignal(signal) << " after " << after;
      }
      const auto wrong = LeftoversIn(out);
      if (!wrong.empty()) {
        ADD_FAILURE() << strsignal(signal) << " after " << after << " us of " << exportTime.count() << " left "
                      << wrong.size() << " files, the first " << wrong.front();
        for (const std::string& name : wrong) fs::remove(fs::path(out) / name.substr(0, name.find(' ')));
      }
    }
    std::printf("%s: %d runs, %d ended by the signal.\n", strsignal(signal), runs, interrupted);
    // Most moments fall inside the export, not after it.
    EXPECT_GE(interrupted, runs / 2) << strsignal(signal);
  }
}

class StandardOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    archive_ = dir_ / "OUT.sff";
    WriteBytes(archive_, SffBuilder()
                             .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Bytes(800, 1)})
                             .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Bytes(9, 2)})
                             .Build());
  }

  struct Ended {
    int status;
    std::string err;
  };
  // Runs the command with stdout on `stdoutFd`, stderr into a file.
  Ended Run(const std::vector<std::string>& args, int stdoutFd) {
    const std::string errPath = dir_ / "stderr.txt";
    Fd err{open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    const int status = WaitFor(StartCli(args, stdoutFd, err.fd));
    return {status, TextOf(errPath)};
  }

  TempDir dir_;
  std::string archive_;
};

// A full device takes nothing: the table, and the completion lines of pcx and
// text, are lost, and the command says so with the system's reason.
TEST_F(StandardOutput, AFullDeviceIsReportedWithTheSystemsReason) {
  Fd full{open("/dev/full", O_WRONLY | O_CLOEXEC)};
  if (full.fd < 0) GTEST_SKIP() << "no /dev/full here";
  const std::string told = std::string("標準出力に書き込めません。\n") + std::strerror(ENOSPC) + "\n";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"list", archive_}, {"pcx", archive_, dir_ / "pcx"}, {"text", archive_, dir_ / "OUT_SFF.txt"}, {"--help"}}) {
    const Ended r = Run(args, full.fd);
    EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 1) << args[0] << " status " << r.status;
    EXPECT_EQ(r.err, told) << args[0];
  }
  // The files themselves were written all the same.
  EXPECT_TRUE(fs::is_regular_file(dir_ / "pcx/OUT_00000_00001.pcx"));
  EXPECT_TRUE(fs::is_regular_file(dir_ / "OUT_SFFBuild.bat"));
}

// A reader that has gone (`| head -1`) ends the command without a word.
TEST_F(StandardOutput, ABrokenPipeEndsQuietly) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  Fd writeEnd{ends[1]};
  const Ended r = Run({"list", archive_}, writeEnd.fd);
  EXPECT_TRUE(WIFSIGNALED(r.status) || (WIFEXITED(r.status) && WEXITSTATUS(r.status) != 0)) << r.status;
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace pelvaro::testing
