#include "image/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string_view>

namespace pelvaro::image {
namespace {

constexpr std::string_view kSignature{"\x89PNG\r\n\x1A\n", 8};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kIndexedColour = 3;
constexpr std::uint8_t kNoFilter = 0;

void PutU32be(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift & 0xFFu));
}

// Length, type, data, and the CRC of type and data.
void AppendChunk(std::string& out, std::string_view type, const std::uint8_t* data, std::size_t size) {
  PutU32be(out, static_cast<std::uint32_t>(size));
  out.append(type);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), static_cast<uInt>(type.size()));
  // crc32 given no buffer starts over, so an empty chunk passes none.
  if (size > 0) {
    out.append(reinterpret_cast<const char*>(data), size);
    crc = crc32(crc, data, static_cast<uInt>(size));
  }
  PutU32be(out, static_cast<std::uint32_t>(crc));
}

std::string Header(const IndexedImage& image) {
  std::string ihdr;
  PutU32be(ihdr, static_cast<std::uint32_t>(image.width));
  PutU32be(ihdr, static_cast<std::uint32_t>(image.height));
  // Bit depth, colour type, deflate compression, adaptive filtering, no interlace.
  ihdr += {static_cast<char>(kBitDepth), static_cast<char>(kIndexedColour), 0, 0, 0};
  return ihdr;
}

// A zlib compressor kept for the thread's next image: setting up zlib's state
// (about 256 KiB, its hash table cleared) costs more than compressing a sprite
// of a few thousand pixels, so an export of thousands of sprites resets one
// instead. A reset stream gives the bytes a fresh one would.
class Deflater {
 public:
  Deflater() = default;
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
  ~Deflater() {
    if (ready_) deflateEnd(&stream_);
  }

  std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& in, int level) {
    Prepare(level);
    std::vector<std::uint8_t> out(deflateBound(&stream_, static_cast<uLong>(in.size())));
    stream_.next_in = const_cast<Bytef*>(in.data());  // zlib's input pointer is not const; it only reads
    stream_.avail_in = static_cast<uInt>(in.size());
    stream_.next_out = out.data();
    stream_.avail_out = static_cast<uInt>(out.size());
    // With deflateBound's room, one call compresses it all.
    if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) throw std::logic_error("EncodeIndexedPng: deflate did not finish");
    out.resize(stream_.total_out);
    return out;
  }

 private:
  void Prepare(int level) {
    if (ready_ && level == level_) {
      deflateReset(&stream_);
      return;
    }
    if (ready_) deflateEnd(&stream_);
    ready_ = false;
    stream_ = z_stream{};
    const int status = deflateInit(&stream_, level);
    if (status == Z_MEM_ERROR) throw std::bad_alloc();
    if (status != Z_OK) throw std::invalid_argument("EncodeIndexedPng: zlib refused the level");
    ready_ = true;
    level_ = level;
  }

  z_stream stream_{};
  bool ready_ = false;
  int level_ = 0;
};

// Every row behind its filter-type byte, compressed as one zlib stream.
std::vector<std::uint8_t> CompressedRows(const IndexedImage& image, int zlibLevel) {
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  std::vector<std::uint8_t> rows((width + 1) * height);
  for (std::size_t y = 0; y < height; ++y) {
    std::uint8_t* row = rows.data() + y * (width + 1);
    row[0] = kNoFilter;
    std::copy_n(image.pixels.data() + y * width, width, row + 1);
  }
  thread_local Deflater deflater;
  return deflater.Compress(rows, zlibLevel);
}

}  // namespace

std::string EncodeIndexedPng(const IndexedImage& image, int zlibLevel) {
  // Within the decoder's caps, every length fits zlib's 32-bit counts (uLong is 32 bits on Windows).
  if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide ||
      std::int64_t{image.width} * image.height > kMaxPixels ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    throw std::invalid_argument("EncodeIndexedPng: an image past the caps or whose pixels do not match its size");
  if (zlibLevel < Z_DEFAULT_COMPRESSION || zlibLevel > Z_BEST_COMPRESSION)
    throw std::invalid_argument("EncodeIndexedPng: a zlib level outside -1 to 9");

  const std::vector<std::uint8_t> idat = CompressedRows(image, zlibLevel);
  const std::string ihdr = Header(image);
  // One tRNS entry: index 0 transparent; indices past the entries are opaque.
  const std::uint8_t transparency[] = {0};

  std::string png(kSignature);
  png.reserve(kSignature.size() + 4 * 12 + ihdr.size() + image.palette.size() + 1 + idat.size());
  AppendChunk(png, "IHDR", reinterpret_cast<const std::uint8_t*>(ihdr.data()), ihdr.size());
  AppendChunk(png, "PLTE", image.palette.data(), image.palette.size());
  AppendChunk(png, "tRNS", transparency, sizeof transparency);
  AppendChunk(png, "IDAT", idat.data(), idat.size());
  AppendChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace pelvaro::image
