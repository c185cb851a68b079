#include "platform/system_reason.h"

#include <cstring>

namespace pelvaro::platform {

std::string SystemReason(int errnoValue) { return std::strerror(errnoValue); }

std::string SystemReason(const std::error_code& error) {
  if (error.category() == std::generic_category()) return SystemReason(error.value());
  return error.message();
}

}  // namespace pelvaro::platform
