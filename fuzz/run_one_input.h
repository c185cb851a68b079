#pragma once

#include <cstdint>
#include <span>

namespace pelvaro::fuzz {

// Loads one fuzz input (see fuzz_input.h) and, when it loads, works out every
// cell of the table, every PCX file's bytes and the definition text in memory.
// A broken promise of the loader (a question asked when it must not be, a
// refusal without words, a range outside the archive, rows that are not the
// records in sort-key order) aborts with a description, so the fuzzer keeps
// the input; reads outside a buffer are the sanitizers' to catch.
void RunOneInput(std::span<const std::uint8_t> input);

}  // namespace pelvaro::fuzz
