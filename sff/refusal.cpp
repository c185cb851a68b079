#include "sff/refusal.h"

namespace pelvaro::sff {

std::string Decimal(std::int64_t n) { return std::to_string(n); }

LoadOutcome Refusal(LoadFault fault, std::string detail, std::int32_t position, std::int64_t offset) {
  static constexpr const char* kDamagedHeading = "SFFファイルが壊れているため、読み込めません。\r\n";
  LoadOutcome out;
  out.status = LoadStatus::kRefused;
  out.fault = fault;
  out.position = position;
  out.offset = offset;
  // Only a damaged archive gets the heading; an unreadable or oversized file is not damaged.
  const bool damaged = fault != LoadFault::kCannotRead && fault != LoadFault::kTooLarge;
  out.message = (damaged ? std::string(kDamagedHeading) : std::string()) + detail;
  return out;
}

}  // namespace pelvaro::sff
