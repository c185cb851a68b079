#pragma once

// Conversion between the program's UTF-8 text and its code page 932 (Shift_JIS)
// byte form. Both directions work character by character and check the round
// trip, so the glibc build and the Windows build agree: a character counts as
// representable only when it comes back unchanged (no best-fit letters such as
// U+00A5 turning into a backslash).

#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::text {

// The CP932 bytes of `utf8`, or nullopt when a character has no CP932 form;
// then `*offending` (when given) receives that character as UTF-8 text
// (or "\xNN" for a byte that is not valid UTF-8).
std::optional<std::string> EncodeCp932Strict(std::string_view utf8, std::string* offending = nullptr);

// The CP932 bytes of `utf8`, with "?" standing for each character that has none,
// as Windows' ANSI functions measure such text.
std::string EncodeCp932Lossy(std::string_view utf8);

// How many bytes of `utf8` make its longest start whose CP932 form (as
// EncodeCp932Lossy gives it) takes at most `maxBytes` bytes. The cut never
// falls inside a character: one whose CP932 form would be cut in half is left
// out whole.
std::size_t WholeCharactersWithinCp932Bytes(std::string_view utf8, std::size_t maxBytes);

// UTF-8 text of CP932 bytes. Always valid UTF-8: a lead byte without its trail
// byte, an unassigned pair and a byte that starts no character each become "?".
std::string DecodeCp932(std::string_view bytes);

// True when `s` is plain 7-bit ASCII, whose CP932 form is the same bytes.
bool IsAscii(std::string_view s) noexcept;

}  // namespace pelvaro::text
