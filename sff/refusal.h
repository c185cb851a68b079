#pragma once

// How the loader words a refusal.

#include "sff/load_sff.h"

#include <cstdint>
#include <string>

namespace pelvaro::sff {

std::string Decimal(std::int64_t n);

// A refusal for `fault`, with `detail` as its message; a damaged archive's
// message starts with the heading that says so.
LoadOutcome Refusal(LoadFault fault, std::string detail, std::int32_t position = -1, std::int64_t offset = -1);

}  // namespace pelvaro::sff
