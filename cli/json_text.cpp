#include "cli/json_text.h"

#include <cstdint>

namespace pelvaro::cli {
namespace {

// The length of the well-formed UTF-8 sequence at `at` (overlong forms,
// surrogates and code points past U+10FFFF are not), or 0.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t at) {
  const auto lead = static_cast<std::uint8_t>(s[at]);
  std::size_t length = 0;
  std::uint32_t cp = 0;
  std::uint32_t minimum = 0;
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1Fu, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0Fu, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07u, minimum = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - at < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<std::uint8_t>(s[at + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3Fu);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    const auto byte = static_cast<std::uint8_t>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else if (byte >= 0x80) {
      const std::size_t length = Utf8SequenceAt(text, at);
      if (length == 0) {
        out += "\xEF\xBF\xBD";
        ++at;
      } else {
        out.append(text.substr(at, length));
        at += length;
      }
      continue;
    } else {
      out += c;
    }
    ++at;
  }
  out += '"';
}

}  // namespace pelvaro::cli
