#pragma once

// Bounds-checked little-endian reads at absolute positions of a byte span.
// A read that would reach outside the span returns nothing; callers turn that
// into an error that names the structure and its offset.

#include <cstdint>
#include <optional>
#include <span>

namespace pelvaro {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }

  // True when [offset, offset + length) lies wholly inside the span.
  bool Contains(std::int64_t offset, std::int64_t length) const {
    return offset >= 0 && length >= 0 && offset <= static_cast<std::int64_t>(bytes_.size()) &&
           length <= static_cast<std::int64_t>(bytes_.size()) - offset;
  }

  std::optional<std::uint8_t> U8(std::int64_t offset) const {
    if (!Contains(offset, 1)) return std::nullopt;
    return bytes_[static_cast<std::size_t>(offset)];
  }
  std::optional<std::uint16_t> U16le(std::int64_t offset) const {
    if (!Contains(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(At(offset) | At(offset + 1) << 8);
  }
  std::optional<std::int16_t> I16le(std::int64_t offset) const {
    const auto v = U16le(offset);
    if (!v) return std::nullopt;
    return static_cast<std::int16_t>(*v);
  }
  std::optional<std::uint32_t> U32le(std::int64_t offset) const {
    if (!Contains(offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(At(offset)) | static_cast<std::uint32_t>(At(offset + 1)) << 8 |
           static_cast<std::uint32_t>(At(offset + 2)) << 16 | static_cast<std::uint32_t>(At(offset + 3)) << 24;
  }
  std::optional<std::int32_t> I32le(std::int64_t offset) const {
    const auto v = U32le(offset);
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
  }
  // The bytes [offset, offset + length), or nothing when they are not all inside.
  std::optional<std::span<const std::uint8_t>> Sub(std::int64_t offset, std::int64_t length) const {
    if (!Contains(offset, length)) return std::nullopt;
    return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
  }

 private:
  std::uint32_t At(std::int64_t offset) const { return bytes_[static_cast<std::size_t>(offset)]; }
  std::span<const std::uint8_t> bytes_;
};

}  // namespace pelvaro
