#include "text/cp932.h"

#include "platform/code_page.h"

#include <cstdint>
#include <cstring>

namespace pelvaro::text {
namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not a valid one.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto lead = static_cast<std::uint8_t>(s[i]);
  std::size_t len = 0;
  std::uint32_t min = 0;
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) { len = 2; min = 0x80; }
  else if ((lead & 0xF0) == 0xE0) { len = 3; min = 0x800; }
  else if ((lead & 0xF8) == 0xF0) { len = 4; min = 0x10000; }
  else return 0;
  if (i + len > s.size()) return 0;
  std::uint32_t cp = lead & (0x7F >> len);
  for (std::size_t k = 1; k < len; ++k) {
    const auto c = static_cast<std::uint8_t>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool IsLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool IsHalfWidthKatakana(std::uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

// CP932 bytes of one non-ASCII character, checked by decoding them back the
// way this program reads CP932 text. The platforms' own tables differ at the
// edges (Windows gives U+0080 the byte 0x80, which starts no character here),
// and only a form that reads back as the same character keeps both builds alike.
std::optional<std::string> EncodeChecked(std::string_view ch) {
  auto bytes = platform::EncodeCp932Char(ch);
  if (!bytes || bytes->empty()) return std::nullopt;
  if (DecodeCp932(*bytes) != ch) return std::nullopt;
  return bytes;
}

template <typename OnUnrepresentable>
bool Encode(std::string_view utf8, std::string& out, OnUnrepresentable&& onBad) {
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<std::uint8_t>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    const std::size_t len = Utf8SequenceLength(utf8, i);
    const std::string_view ch = utf8.substr(i, len == 0 ? 1 : len);
    std::optional<std::string> bytes;
    if (len != 0) bytes = EncodeChecked(ch);
    if (bytes) {
      out += *bytes;
    } else if (!onBad(ch, len != 0)) {
      return false;
    }
    i += ch.size();
  }
  return true;
}

}  // namespace

bool IsAscii(std::string_view s) noexcept {
  // Eight bytes at a time: the definition text asks this of every row's name.
  std::uint64_t high = 0;
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + i, sizeof word);
    high |= word;
  }
  for (; i < s.size(); ++i) high |= static_cast<std::uint8_t>(s[i]);
  return (high & 0x8080808080808080u) == 0;
}

std::optional<std::string> EncodeCp932Strict(std::string_view utf8, std::string* offending) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  const bool ok = Encode(utf8, out, [&](std::string_view ch, bool validUtf8) {
    if (offending) {
      if (validUtf8) {
        *offending = std::string(ch);
      } else {
        static constexpr char kHex[] = "0123456789ABCDEF";
        const auto b = static_cast<std::uint8_t>(ch[0]);
        *offending = std::string("\\x") + kHex[b >> 4] + kHex[b & 15];
      }
    }
    return false;
  });
  if (!ok) return std::nullopt;
  return out;
}

std::string EncodeCp932Lossy(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  Encode(utf8, out, [&](std::string_view, bool) {
    out.push_back('?');
    return true;
  });
  return out;
}

std::size_t WholeCharactersWithinCp932Bytes(std::string_view utf8, std::size_t maxBytes) {
  std::size_t taken = 0;
  std::size_t bytes = 0;
  while (taken < utf8.size()) {
    // As Encode steps: a character without a CP932 form, or a byte that
    // starts no UTF-8 character, stands as one "?".
    std::size_t length = 1;
    std::size_t width = 1;
    if (static_cast<std::uint8_t>(utf8[taken]) >= 0x80) {
      const std::size_t sequence = Utf8SequenceLength(utf8, taken);
      if (sequence != 0) {
        length = sequence;
        if (const auto encoded = EncodeChecked(utf8.substr(taken, length))) width = encoded->size();
      }
    }
    if (bytes + width > maxBytes) break;
    bytes += width;
    taken += length;
  }
  return taken;
}

std::string DecodeCp932(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    std::size_t width = 0;
    if (IsHalfWidthKatakana(b)) {
      width = 1;
    } else if (IsLeadByte(b) && i + 1 < bytes.size() &&
               IsTrailByte(static_cast<std::uint8_t>(bytes[i + 1]))) {
      width = 2;
    }
    if (width == 0) {  // a lone lead byte, or a byte that starts no character
      out.push_back('?');
      ++i;
      continue;
    }
    const auto ch = platform::DecodeCp932Char(bytes.substr(i, width));
    out += ch ? *ch : std::string("?");
    i += width;
  }
  return out;
}

}  // namespace pelvaro::text
