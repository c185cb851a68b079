// CP932 character conversion through glibc's iconv ("CP932").

#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace pelvaro::platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::optional<std::string> Convert(std::string_view in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
    char buffer[16];
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
      return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(outPtr - buffer));
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> EncodeCp932Char(std::string_view utf8Char) {
  thread_local Converter toCp932("CP932", "UTF-8");
  return toCp932.Convert(utf8Char);
}

std::optional<std::string> DecodeCp932Char(std::string_view cp932Char) {
  thread_local Converter fromCp932("UTF-8", "CP932");
  return fromCp932.Convert(cp932Char);
}

}  // namespace pelvaro::platform
