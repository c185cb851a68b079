#include "text/decimal.h"

#include <cstddef>

namespace pelvaro::text::decimal_detail {
namespace {

// The digits of `number` at the end of `digits` bytes of `out`, zeros in front.
constexpr void FillDigits(char* out, std::uint32_t number, int digits) {
  for (int at = digits - 1; at >= 0; --at, number /= 10) out[at] = static_cast<char>('0' + number % 10);
}

constexpr std::array<Form, kTabledBelow> MakeFiveDigitForms() {
  std::array<Form, kTabledBelow> forms{};
  for (std::uint32_t n = 0; n < kTabledBelow; ++n) FillDigits(forms[n].data(), n, 5);
  return forms;
}

constexpr std::array<Form, kTabledBelow> MakeLineForms() {
  std::array<Form, kTabledBelow> forms{};
  for (std::uint32_t n = 0; n < kTabledBelow; ++n) {
    const int digits = DecimalDigits(n);
    FillDigits(forms[n].data(), n, digits);
    forms[n][static_cast<std::size_t>(digits)] = '\r';
    forms[n][static_cast<std::size_t>(digits) + 1] = '\n';
    forms[n][7] = static_cast<char>(digits + 2);
  }
  return forms;
}

}  // namespace

// Made by the compiler: nothing to build or guard at run time.
constexpr std::array<Form, kTabledBelow> kFiveDigitForms = MakeFiveDigitForms();
constexpr std::array<Form, kTabledBelow> kLineForms = MakeLineForms();

}  // namespace pelvaro::text::decimal_detail
