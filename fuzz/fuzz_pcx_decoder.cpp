// libFuzzer entry: arbitrary bytes through the PCX decoder and, when they
// decode, through the PNG writer. Besides the sanitizers' checks, a broken
// promise aborts with a description, so the fuzzer keeps the input: an image
// that is not what it says, past the caps, larger than its data can describe,
// or with a palette other than the input's last 768 bytes; a refusal without a
// reason. scripts/test-fuzz-smoke.sh also caps single allocations, so memory
// asked for beyond what the data can fill is a finding too.

#include "image/pcx_decoder.h"
#include "image/png_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

void CheckDecoded(std::span<const std::uint8_t> input, const pelvaro::image::IndexedImage& image) {
  using namespace pelvaro::image;
  Require(image.width >= 1 && image.height >= 1, "an image without pixels");
  Require(image.width <= kMaxSide && image.height <= kMaxSide, "an image wider or taller than the cap");
  const std::int64_t pixels = std::int64_t{image.width} * image.height;
  Require(pixels <= kMaxPixels, "an image of more pixels than the cap");
  Require(image.pixels.size() == static_cast<std::size_t>(pixels), "pixels that do not match the size");
  // Two bytes of run-length data make at most 63 pixels.
  const auto data = static_cast<std::int64_t>(input.size() - kPcxHeaderBytes - kPcxPaletteBytes);
  Require(pixels <= data / 2 * 63 + data % 2, "more pixels than the data can describe");
  Require(std::equal(image.palette.begin(), image.palette.end(), input.end() - kPcxPaletteBytes),
          "a palette other than the last 768 bytes");
  const std::string png = EncodeIndexedPng(image, kPngLevel);
  Require(png.size() > 8 && png.compare(1, 3, "PNG") == 0, "a PNG file without its signature");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const auto decoded = pelvaro::image::DecodePcx(input);
  const auto checked = pelvaro::image::CheckPcx(input);
  Require(checked.has_value() == decoded.has_value(), "a check whose verdict is not the decode's");
  if (!decoded)
    Require(pelvaro::image::DecodeErrorLines(checked.error()) == pelvaro::image::DecodeErrorLines(decoded.error()),
            "a check that gives another reason");
  if (decoded) {
    CheckDecoded(input, *decoded);
  } else {
    const auto lines = pelvaro::image::DecodeErrorLines(decoded.error());
    Require(lines.size() >= 2, "a refusal without a reason");
    for (const auto& line : lines) Require(!line.empty(), "an empty line in a refusal");
  }
  return 0;
}
