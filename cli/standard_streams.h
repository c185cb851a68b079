#pragma once

// The command's standard streams as the platform gives them. The program's
// text is UTF-8 with LF line ends everywhere; on Windows the C library would
// turn each LF into CR LF, and a console shows bytes in its own code page.

#include <ostream>
#include <streambuf>
#include <string>

namespace pelvaro::cli {

// Makes std::cout and std::cerr carry the program's bytes unchanged to pipes
// and files; a Windows console gets the text itself, whatever its code page.
// Call once, after std::ios::sync_with_stdio.
void PrepareStandardStreams();

// True when stderr is a terminal that can rewrite its last line ("\r", and
// "\033[K" to clear it).
bool StderrCanShowProgress();

#ifdef _WIN32
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
#endif

}  // namespace pelvaro::cli
