#include "image/run_length_count.h"

#include <array>
#include <bit>
#include <cstring>

namespace pelvaro::image {
namespace {

// The byte after a count is the run's value, whatever it is.
// Whole blocks of 64 bytes are taken at once, eight bytes to a word: which
// bytes are counts follows from which could be, by bit arithmetic, and the
// runs' lengths are summed in the word's lanes. One run at a time, each byte
// read depends on the one before, and the data's runs are mostly short.
constexpr std::size_t kBlock = 64;
constexpr std::uint64_t kTopBitOfEachByte = 0x8080808080808080;
constexpr std::uint64_t kCountBitsOfEachByte = 0x3F3F3F3F3F3F3F3F;
constexpr std::uint64_t kEvenBits = 0x5555555555555555;
constexpr std::uint64_t kLowByteOfEachPair = 0x00FF00FF00FF00FF;

// Bit k of the index set: byte k all ones.
constexpr std::array<std::uint64_t, 256> kByteMaskOfBits = [] {
  std::array<std::uint64_t, 256> masks{};
  for (unsigned bits = 0; bits < 256; ++bits)
    for (unsigned k = 0; k < 8; ++k)
      if (bits >> k & 1) masks[bits] |= std::uint64_t{0xFF} << (8 * k);
  return masks;
}();

// Byte k of the word is data[k]: the words are read as this machine lays them.
std::uint64_t Word(const std::uint8_t* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Bit k set where byte k of the block has its top two bits set.
std::uint64_t CountLikeBytes(const std::uint8_t* block) {
  std::uint64_t bits = 0;
  for (unsigned w = 0; w < kBlock / 8; ++w) {
    const std::uint64_t word = Word(block + 8 * w);
    const std::uint64_t both = word & (word << 1) & kTopBitOfEachByte;
    // Gathers the eight top bits into the top byte: each lands on its own bit, none carries.
    bits |= ((both >> 7) * 0x0102040810204080) >> 56 << (8 * w);
  }
  return bits;
}

// Of a row of count-like bytes that starts where a run or pixel starts, the
// first is a count, the next its value, the next a count again, and so on:
// the counts are those at an even distance from the row's start. Adding a
// row's lowest bit to it clears the whole row, which picks out the rows that
// start at an even bit.
std::uint64_t CountBytes(std::uint64_t countLike) {
  const std::uint64_t starts = countLike & ~(countLike << 1);
  const std::uint64_t evenRows = countLike & ~(countLike + (starts & kEvenBits));
  return (evenRows & kEvenBits) | (countLike & ~evenRows & ~kEvenBits);
}

struct Block {
  std::int64_t bytesMade = 0;
  std::size_t length = 0;  // 64, or 63 when the last byte is a count whose value is in the next block
};

Block FollowBlock(const std::uint8_t* block) {
  std::uint64_t counts = CountBytes(CountLikeBytes(block));
  std::uint64_t taken = ~std::uint64_t{0};
  Block result{0, kBlock};
  if (counts >> 63) {
    counts &= ~(std::uint64_t{1} << 63);
    taken >>= 1;
    result.length = kBlock - 1;
  }
  std::uint64_t lanes = 0;  // four 16-bit sums of run lengths
  for (unsigned w = 0; w < kBlock / 8; ++w) {
    const std::uint64_t lengths =
        Word(block + 8 * w) & kCountBitsOfEachByte & kByteMaskOfBits[(counts >> (8 * w)) & 0xFF];
    lanes += (lengths & kLowByteOfEachPair) + ((lengths >> 8) & kLowByteOfEachPair);
  }
  const std::int64_t runBytes = static_cast<std::int64_t>((lanes * 0x0001000100010001) >> 48);
  const std::int64_t singles = std::popcount(taken & ~(counts | counts << 1));
  result.bytesMade = runBytes + singles;
  return result;
}

}  // namespace

std::int64_t CountRunLengthBytes(std::span<const std::uint8_t> data, std::int64_t needed) {
  std::int64_t made = 0;
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // A block lies wholly inside the data, so reaching `needed` in it is enough.
    while (made < needed && data.size() - i >= kBlock) {
      const Block block = FollowBlock(data.data() + i);
      made += block.bytesMade;
      i += block.length;
    }
  }
  while (made < needed) {
    if (i == data.size() || (data[i] >= kRunFlag && i + 1 == data.size())) return made;
    const std::uint8_t b = data[i++];
    if (b < kRunFlag) {
      ++made;
    } else {
      made += b & kCountMask;
      ++i;
    }
  }
  return made;
}

}  // namespace pelvaro::image
