#pragma once

// Text measured, cut and padded by the length of its code page 932 form, so that
// a full-width character takes two positions and an ASCII or half-width katakana
// character one. Values are loosely typed (null, number or text) because the
// callers pass numbers and texts alike and expect a number to stay a number.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace pelvaro::text {

struct Null {
  friend bool operator==(Null, Null) = default;
};

// A loosely typed value: null, a whole number, or UTF-8 text.
using Value = std::variant<Null, std::int64_t, std::string>;

inline bool IsNull(const Value& v) { return std::holds_alternative<Null>(v); }
inline bool IsNumber(const Value& v) { return std::holds_alternative<std::int64_t>(v); }
inline bool IsText(const Value& v) { return std::holds_alternative<std::string>(v); }

// The value as text: a number in plain decimal ("-5"), null as empty text.
std::string ToText(const Value& v);

// Number of bytes of the CP932 form of `value`; 0 for null.
std::int32_t LenAnsi(const Value& value);

// `length` bytes of the CP932 form of `value` from the 1-based byte `start`,
// decoded back to text; null for null. Throws std::invalid_argument when start
// is below 1 or length below 0. A cut through a double-byte character leaves
// "?" for the broken half.
Value MidAnsi(const Value& value, std::int32_t start, std::int32_t length);

// `value` with "0" put in front until its CP932 form is `width` bytes; the
// value itself, type unchanged, when it is already that long; null for null.
Value ZeroPad(std::int32_t width, const Value& value);

// The text ZeroPad gives for a number, written at `out` without a string of
// its own (for texts made once per sprite); returns the end. `out` needs room
// for 20 bytes or `width`, whichever is more.
char* ZeroPadNumber(char* out, std::int64_t number, std::int32_t width);

}  // namespace pelvaro::text
