#include "tests/support/sff_builder.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace pelvaro::testing {

void PutU16(Bytes& b, std::size_t at, std::uint16_t v) {
  b.at(at) = static_cast<std::uint8_t>(v);
  b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

void PutI32(Bytes& b, std::size_t at, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int k = 0; k < 4; ++k) b.at(at + static_cast<std::size_t>(k)) = static_cast<std::uint8_t>(u >> (8 * k));
}

std::int64_t SffBuilder::OffsetOf(std::size_t i) const {
  std::int64_t p = 512;
  for (std::size_t k = 0; k < i; ++k) p += 32 + static_cast<std::int64_t>(sprites_[k].payload.size());
  return p;
}

Bytes SffBuilder::Build() const {
  std::size_t total = 512;
  for (const auto& s : sprites_) total += 32 + s.payload.size();
  Bytes out(total, 0);
  const char signature[] = "PelvaroTest";  // bytes 0..15 are never examined by the loader
  for (std::size_t k = 0; k < sizeof signature; ++k) out[k] = static_cast<std::uint8_t>(signature[k]);
  PutI32(out, 16, 1);                                                                    // number of groups
  PutI32(out, 20, imageCount_.value_or(static_cast<std::int32_t>(sprites_.size())));  // number of images
  PutI32(out, 24, 512);                                                                  // first subfile
  PutI32(out, 28, 32);                                                                   // subfile header size
  out[32] = paletteType_;

  std::size_t p = 512;
  for (std::size_t i = 0; i < sprites_.size(); ++i) {
    const SpriteSpec& s = sprites_[i];
    const std::size_t following = p + 32 + s.payload.size();
    const bool last = i + 1 == sprites_.size();
    PutI32(out, p + 0, s.next.value_or(last ? 0 : static_cast<std::int32_t>(following)));
    PutI32(out, p + 4, s.length.value_or(static_cast<std::int32_t>(s.payload.size())));
    PutU16(out, p + 8, static_cast<std::uint16_t>(s.axisX));
    PutU16(out, p + 10, static_cast<std::uint16_t>(s.axisY));
    PutU16(out, p + 12, s.group);
    PutU16(out, p + 14, s.item);
    PutU16(out, p + 16, s.link);
    out[p + 18] = s.palFlag;
    std::copy(s.payload.begin(), s.payload.end(), out.begin() + static_cast<std::ptrdiff_t>(p + 32));
    p = following;
  }
  return out;
}

Palette TestPalette(std::uint8_t seed) {
  Palette pal{};
  for (int i = 0; i < 256; ++i) {
    pal[static_cast<std::size_t>(3 * i)] = static_cast<std::uint8_t>(i);
    pal[static_cast<std::size_t>(3 * i + 1)] = static_cast<std::uint8_t>(255 - i);
    pal[static_cast<std::size_t>(3 * i + 2)] = static_cast<std::uint8_t>(seed + i);
  }
  return pal;
}

std::vector<std::uint8_t> PatternPixels(int width, int height, int seed) {
  std::vector<std::uint8_t> px(static_cast<std::size_t>(width * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      px[static_cast<std::size_t>(y * width + x)] =
          static_cast<std::uint8_t>(((x / 4 + y / 4 + seed) % 5 == 0) ? 0 : (seed * 7 + y) % 200 + 16);
  return px;
}

namespace {

// Appends `bytes` run-length encoded: runs of up to 63, a lone byte as itself
// unless it could be taken for a count.
void AppendRuns(Bytes& out, const Bytes& bytes) {
  std::size_t x = 0;
  while (x < bytes.size()) {
    const std::uint8_t v = bytes[x];
    std::size_t run = 1;
    while (x + run < bytes.size() && run < 63 && bytes[x + run] == v) ++run;
    if (run > 1 || v >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
    out.push_back(v);
    x += run;
  }
}

}  // namespace

Bytes MakePcx(int width, int height, const std::vector<std::uint8_t>& pixels, const Palette* palette,
              const PcxShape& shape) {
  Bytes out(128, 0);
  const int bytesPerLine = shape.bytesPerLine > 0 ? shape.bytesPerLine : width + (width & 1);
  out[0] = 10;  // manufacturer
  out[1] = 5;   // version 3.0 with palette
  out[2] = 1;   // run-length encoding
  out[3] = 8;   // bits per pixel
  PutU16(out, 8, static_cast<std::uint16_t>(width - 1));
  PutU16(out, 10, static_cast<std::uint16_t>(height - 1));
  PutU16(out, 12, 72);
  PutU16(out, 14, 72);
  out[65] = 1;  // colour planes
  PutU16(out, 66, static_cast<std::uint16_t>(bytesPerLine));
  PutU16(out, 68, 1);
  // The scanlines, padding included; encoded line by line or as one stream.
  Bytes segment;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < bytesPerLine; ++x)
      segment.push_back(x < width ? pixels[static_cast<std::size_t>(y * width + x)] : shape.padding);
    if (shape.runsAcrossLines && y + 1 < height) continue;
    if (shape.emptyRuns) out.insert(out.end(), {0xC0, 0x5A});
    AppendRuns(out, segment);
    segment.clear();
  }
  if (palette) {
    if (shape.paletteMarker) out.push_back(12);
    out.insert(out.end(), palette->begin(), palette->end());
  }
  return out;
}

namespace {

// Paths are UTF-8 text. A narrow path would reach Windows in the ANSI code
// page and name another file when it holds Japanese.
std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream f(FsPath(path), std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream f(FsPath(path), std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace pelvaro::testing
