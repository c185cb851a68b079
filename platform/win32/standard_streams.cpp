#include "platform/standard_streams.h"

#include "platform/native_path.h"

#include <algorithm>
#include <iostream>
#include <ostream>
#include <streambuf>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace pelvaro::platform {
namespace {

// Text for a Windows console: kept until a flush, then written as UTF-16, up
// to the last whole UTF-8 character (the rest waits for the next flush).
// Attached to `stream` for its lifetime; the stream's old buffer comes back
// when it goes.
class ConsoleBuffer final : public std::streambuf {
 public:
  ConsoleBuffer(std::ostream& stream, void* console);
  ~ConsoleBuffer() override;
  ConsoleBuffer(const ConsoleBuffer&) = delete;
  ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  std::ostream& stream_;
  std::streambuf* previous_;
  void* console_;
  std::string pending_;
};

bool IsConsole(HANDLE h, DWORD* mode = nullptr) {
  DWORD unused = 0;
  return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, mode ? mode : &unused) != 0;
}

// Bytes of `s` up to the end of its last whole UTF-8 character.
std::size_t WholeCharacters(const std::string& s) {
  std::size_t start = s.size();
  int trail = 0;
  while (start > 0 && trail < 3 && (static_cast<unsigned char>(s[start - 1]) & 0xC0) == 0x80) {
    --start;
    ++trail;
  }
  if (start == 0) return s.size();
  const auto lead = static_cast<unsigned char>(s[start - 1]);
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return trail + 1 < length ? start - 1 : s.size();
}

ConsoleBuffer::ConsoleBuffer(std::ostream& stream, void* console)
    : stream_(stream), previous_(stream.rdbuf()), console_(console) {
  stream_.rdbuf(this);
}

ConsoleBuffer::~ConsoleBuffer() {
  sync();
  stream_.rdbuf(previous_);
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) pending_.push_back(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

std::streamsize ConsoleBuffer::xsputn(const char* s, std::streamsize n) {
  pending_.append(s, static_cast<std::size_t>(n));
  return n;
}

int ConsoleBuffer::sync() {
  const std::size_t whole = WholeCharacters(pending_);
  const std::wstring text = ToNativePath(std::string_view(pending_).substr(0, whole));
  pending_.erase(0, whole);
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
    if (!WriteConsoleW(static_cast<HANDLE>(console_), text.data() + done, chunk, &written, nullptr) || written == 0)
      return -1;
    done += written;
  }
  return 0;
}

}  // namespace

void PrepareStandardStreams() {
  // Pipes and files get the bytes as they are: LF stays LF, as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // A console would read UTF-8 bytes in its own code page (932 on the users'
  // systems); it gets UTF-16 instead, which needs no change of the console's
  // code page that would outlive the command.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (IsConsole(out)) {
    static ConsoleBuffer outBuffer(std::cout, out);
  }
  if (IsConsole(err)) {
    static ConsoleBuffer errBuffer(std::cerr, err);
  }
}

bool StderrCanShowProgress() {
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (!IsConsole(err, &mode)) return false;
  return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
         SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace pelvaro::platform
