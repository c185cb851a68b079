// libFuzzer entry: arbitrary bytes through the loader, the PCX bytes of every
// row and the definition text.

#include "fuzz/run_one_input.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelvaro::fuzz::RunOneInput({data, size});
  return 0;
}
