#pragma once

#include <cstdint>
#include <span>

namespace pelvaro::fuzz {

// Loads one fuzz input (see fuzz_input.h) and, when it loads, makes every PCX
// file's bytes and the definition text in memory. A broken promise of the
// loader (a refusal that keeps rows, a range outside the archive, a table that
// does not match the records) aborts with a description, so the fuzzer keeps
// the input; reads outside a buffer are the sanitizers' to catch.
void RunOneInput(std::span<const std::uint8_t> input);

}  // namespace pelvaro::fuzz
