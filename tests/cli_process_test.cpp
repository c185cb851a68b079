// pelvaro-cli as a process: what a signal leaves behind when it ends an export,
// and what the command says when its standard output fails. These need the
// real program, its signal handlers and file descriptors (POSIX only).

#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

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

// Starts pelvaro-cli with `args`, its stdout and stderr on the given descriptors.
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

struct Fd {
  int fd = -1;
  ~Fd() { if (fd >= 0) close(fd); }
};

constexpr int kSprites = 2000;
constexpr std::size_t kPayload = 64;

// kSprites sprites after the palette source, each exported as its payload and the shared palette.
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
    // The palette source keeps its 800 bytes; the others get the shared palette.
    const std::uintmax_t whole = name == "INT_00000_00000.pcx" ? 800 : kPayload + 768;
    if (name.rfind(".pelvaro-", 0) == 0 || fs::file_size(e.path()) != whole) wrong.push_back(name);
  }
  return wrong;
}

// A signal at any moment of a PCX export, from the start of the program to
// its end, leaves no temporary file and no partial PCX file behind, and ends
// the program as that signal does. The moments are drawn from a seeded
// generator over the time one whole export takes; each signal gets about five
// seconds (10 to 60 runs), so the test stays within half a minute even on a
// slow or sanitized build.
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

  std::mt19937 random(20261207);
  std::uniform_int_distribution<long long> moment(0, exportTime.count());
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    const auto signalStarted = Clock::now();
    int runs = 0;
    int interrupted = 0;
    for (; runs < 60 && (runs < 10 || Clock::now() - signalStarted < std::chrono::seconds(5)); ++runs) {
      const long long after = moment(random);
      const pid_t pid = StartCli({"pcx", archive, out}, null.fd, null.fd);
      std::this_thread::sleep_for(std::chrono::microseconds(after));
      kill(pid, signal);
      const int status = WaitFor(pid);
      const std::string when = std::string(strsignal(signal)) + " after " + std::to_string(after) + " us";
      // Ended by the signal itself, so a shell sees what happened, or by the end of the export.
      EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == signal : WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << when << ": status " << status;
      if (WIFSIGNALED(status)) ++interrupted;
      const auto wrong = LeftoversIn(out);
      EXPECT_TRUE(wrong.empty()) << when << " left " << wrong.size() << " files, one " << wrong.front();
      for (const std::string& name : wrong) fs::remove(fs::path(out) / name);
    }
    // Most moments fall inside the export, not after it.
    EXPECT_GE(interrupted, runs / 2) << strsignal(signal);
  }
}

// Every write to stdout that fails (`> /dev/full`) is told on stderr with the
// system's reason and exit code 1: the table, the completion lines of pcx and
// text, the usage and the version alike; the files are written all the same.
// A reader that has gone (`| head -1`) ends the command without a word. SIGPIPE
// is ignored here, as under nohup, so that the command meets the broken pipe
// itself instead of being ended by the signal.
TEST(StandardOutput, AFailedWriteIsToldOnStderrAndABrokenPipeEndsQuietly) {
  const TempDir dir;
  const std::string archive = dir / "OUT.sff";
  WriteBytes(archive, SffBuilder()
                          .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Bytes(800, 1)})
                          .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Bytes(9, 2)})
                          .Build());
  Fd full{open("/dev/full", O_WRONLY | O_CLOEXEC)};
  if (full.fd < 0) GTEST_SKIP() << "no /dev/full here";
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  close(ends[0]);
  Fd gone{ends[1]};
  signal(SIGPIPE, SIG_IGN);

  const std::string told = std::string("標準出力に書き込めません。\n") + std::strerror(ENOSPC) + "\n";
  const std::string errPath = dir / "stderr.txt";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"list", archive}, {"pcx", archive, dir / "pcx"}, {"text", archive, dir / "OUT_SFF.txt"}, {"--help"}, {"--version"}}) {
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
