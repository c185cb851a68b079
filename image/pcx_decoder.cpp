#include "image/pcx_decoder.h"

#include "image/run_length_count.h"

#include <algorithm>

namespace pelvaro::image {
namespace {

// Header fields (see the layout in pcx_decoder.h).
constexpr std::size_t kManufacturerAt = 0;
constexpr std::size_t kEncodingAt = 2;
constexpr std::size_t kBitsPerPixelAt = 3;
constexpr std::size_t kXMinAt = 4;
constexpr std::size_t kYMinAt = 6;
constexpr std::size_t kXMaxAt = 8;
constexpr std::size_t kYMaxAt = 10;
constexpr std::size_t kPlanesAt = 65;
constexpr std::size_t kBytesPerLineAt = 66;

constexpr std::uint8_t kManufacturer = 0x0A;
constexpr std::uint8_t kRunLengthEncoding = 1;
constexpr std::int64_t kLongestRun = 63;

// The shape of the scanlines the header promises, once it has been checked.
struct Layout {
  int width = 0;
  int height = 0;
  int bytesPerLine = 0;
};

DecodeError Error(DecodeFault fault) {
  DecodeError error;
  error.fault = fault;
  return error;
}

// The caller has made sure the whole header is there.
int U16le(std::span<const std::uint8_t> header, std::size_t at) { return header[at] | header[at + 1] << 8; }

Result<Layout, DecodeError> ReadHeader(std::span<const std::uint8_t> header) {
  if (header[kManufacturerAt] != kManufacturer) {
    DecodeError e = Error(DecodeFault::kNotPcx);
    e.value = header[kManufacturerAt];
    return Fail(e);
  }
  if (header[kBitsPerPixelAt] != 8 || header[kPlanesAt] != 1) {
    DecodeError e = Error(DecodeFault::kUnsupportedDepth);
    e.bitsPerPixel = header[kBitsPerPixelAt];
    e.planes = header[kPlanesAt];
    return Fail(e);
  }
  if (header[kEncodingAt] != kRunLengthEncoding) {
    DecodeError e = Error(DecodeFault::kNotRunLength);
    e.value = header[kEncodingAt];
    return Fail(e);
  }
  DecodeError bounds = Error(DecodeFault::kBadBounds);
  bounds.left = U16le(header, kXMinAt);
  bounds.top = U16le(header, kYMinAt);
  bounds.right = U16le(header, kXMaxAt);
  bounds.bottom = U16le(header, kYMaxAt);
  if (bounds.right < bounds.left || bounds.bottom < bounds.top) return Fail(bounds);

  Layout layout{bounds.right - bounds.left + 1, bounds.bottom - bounds.top + 1, U16le(header, kBytesPerLineAt)};
  if (layout.width > kMaxSide || layout.height > kMaxSide ||
      std::int64_t{layout.width} * layout.height > kMaxPixels) {
    DecodeError e = Error(DecodeFault::kTooLarge);
    e.width = layout.width;
    e.height = layout.height;
    return Fail(e);
  }
  if (layout.bytesPerLine < layout.width) {
    DecodeError e = Error(DecodeFault::kShortLines);
    e.bytesPerLine = layout.bytesPerLine;
    e.width = layout.width;
    return Fail(e);
  }
  return layout;
}

// Bytes of scanline data up to the last pixel: the last line's padding is not needed.
std::int64_t BytesNeeded(const Layout& layout) {
  return std::int64_t{layout.bytesPerLine} * (layout.height - 1) + layout.width;
}

// The most bytes `dataBytes` of run-length data can make: 63 from every pair of bytes.
std::int64_t MostBytesFrom(std::int64_t dataBytes) { return dataBytes / 2 * kLongestRun + dataBytes % 2; }

// The run-length data between the header and the palette of a file of
// `fileBytes`; the caller has made sure both are there.
std::span<const std::uint8_t> RunData(std::span<const std::uint8_t> stored, std::size_t fileBytes) {
  return stored.subspan(kPcxHeaderBytes, fileBytes - kPcxHeaderBytes - kPcxPaletteBytes);
}

// Lays runs into the scanlines from the top left on, dropping the padding.
class ScanlineFill {
 public:
  ScanlineFill(const Layout& layout, std::uint8_t* pixels) : layout_(layout), row_(pixels) {}

  bool Full() const { return y_ >= layout_.height || (y_ == layout_.height - 1 && x_ >= layout_.width); }
  // The line being filled, counted from 1; asked only while not Full().
  int Row() const { return y_ + 1; }

  // Called only while not Full().
  void Put(std::uint8_t value, int count) {
    // Most runs end inside the visible part of their line.
    if (x_ + count < layout_.width) {
      std::fill_n(row_ + x_, count, value);
      x_ += count;
      return;
    }
    while (count > 0 && !Full()) {
      const int take = std::min(count, layout_.bytesPerLine - x_);
      if (x_ < layout_.width) std::fill_n(row_ + x_, std::min(take, layout_.width - x_), value);
      x_ += take;
      count -= take;
      if (x_ == layout_.bytesPerLine) {
        x_ = 0;
        ++y_;
        row_ += layout_.width;
      }
    }
  }

 private:
  Layout layout_;
  std::uint8_t* row_;
  int x_ = 0;
  int y_ = 0;
};

DecodeError DataEnds(const Layout& layout, int row) {
  DecodeError e = Error(DecodeFault::kDataEnds);
  e.row = row;
  e.height = layout.height;
  return e;
}

Result<Done, DecodeError> FollowRuns(const Layout& layout, std::span<const std::uint8_t> data, std::uint8_t* pixels) {
  ScanlineFill fill(layout, pixels);
  std::size_t i = 0;
  while (!fill.Full()) {
    // A run's count byte without the byte it repeats ends the data as well.
    if (i == data.size() || (data[i] >= kRunFlag && i + 1 == data.size())) return Fail(DataEnds(layout, fill.Row()));
    const std::uint8_t b = data[i++];
    if (b < kRunFlag) {
      fill.Put(b, 1);
    } else {
      fill.Put(data[i++], b & kCountMask);
    }
  }
  return Done{};
}

// The header read and the data measured against it: what every image must
// pass before its runs are followed. `fileBytes` is the whole file's size,
// `stored` its first bytes, at least all but the palette at its end.
Result<Layout, DecodeError> CheckHeaderAndSize(std::span<const std::uint8_t> stored, std::size_t fileBytes) {
  if (fileBytes < kPcxHeaderBytes + kPcxPaletteBytes) {
    DecodeError e = Error(DecodeFault::kTooShort);
    e.fileBytes = static_cast<std::int64_t>(fileBytes);
    return Fail(e);
  }
  auto layout = ReadHeader(stored.first(kPcxHeaderBytes));
  if (!layout) return Fail(layout.error());
  const auto dataBytes = static_cast<std::int64_t>(fileBytes - kPcxHeaderBytes - kPcxPaletteBytes);
  if (BytesNeeded(*layout) > MostBytesFrom(dataBytes)) {
    DecodeError e = Error(DecodeFault::kDataTooSmall);
    e.dataBytes = dataBytes;
    e.width = layout->width;
    e.height = layout->height;
    return Fail(e);
  }
  return layout;
}

}  // namespace

Result<IndexedImage, DecodeError> DecodePcx(std::span<const std::uint8_t> file) {
  const auto layout = CheckHeaderAndSize(file, file.size());
  if (!layout) return Fail(layout.error());
  IndexedImage image;
  image.width = layout->width;
  image.height = layout->height;
  image.pixels.resize(static_cast<std::size_t>(layout->width) * static_cast<std::size_t>(layout->height));
  if (auto filled = FollowRuns(*layout, RunData(file, file.size()), image.pixels.data()); !filled)
    return Fail(filled.error());
  const auto palette = file.last(kPcxPaletteBytes);
  std::copy(palette.begin(), palette.end(), image.palette.begin());
  return image;
}

Result<Done, DecodeError> CheckPcx(std::span<const std::uint8_t> file, bool paletteAppended) {
  const std::size_t fileBytes = file.size() + (paletteAppended ? kPcxPaletteBytes : 0);
  const auto layout = CheckHeaderAndSize(file, fileBytes);
  if (!layout) return Fail(layout.error());
  // Where the data would leave off is all a check needs: the scanlines
  // counted as one row after another, padding and all.
  const std::int64_t needed = BytesNeeded(*layout);
  const std::int64_t made = CountRunLengthBytes(RunData(file, fileBytes), needed);
  if (made >= needed) return Done{};
  return Fail(DataEnds(*layout, static_cast<int>(made / layout->bytesPerLine) + 1));
}

}  // namespace pelvaro::image
