#pragma once

// The platform's converter for single characters; cp932_common.cpp builds the
// whole-text functions on top of it. Internal to text/.

#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::text::detail {

// CP932 bytes of one UTF-8 character; nullopt when the platform has no mapping.
std::optional<std::string> EncodeOne(std::string_view utf8Char);

// UTF-8 text of one CP932 character (one or two bytes); nullopt when unassigned.
std::optional<std::string> DecodeOne(std::string_view cp932Char);

}  // namespace pelvaro::text::detail
