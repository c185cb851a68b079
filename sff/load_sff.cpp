#include "sff/load_sff.h"

#include "base/byte_reader.h"
#include "sff/chain_walk.h"
#include "sff/read_whole_file.h"
#include "sff/sprite_rows.h"
#include "text/native_path.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>

namespace pelvaro::sff {
namespace {

LoadError Fault(LoadFault fault, std::int64_t value = 0) {
  LoadError error;
  error.fault = fault;
  error.value = value;
  return error;
}

// In ascending order, so a link to an earlier linked record passes on what
// that one received, and a link to a later one takes its own values.
void ResolveLinks(Records& records) {
  for (SpriteRecord& r : records) {
    if (r.LinkNo == 0) continue;
    const SpriteRecord& target = records[r.LinkNo];
    r.DataStart = target.DataStart;
    r.DataEnd = target.DataEnd;
    r.NameSource = target.NameSource;
  }
}

// The first sprite with its own palette directly followed by one using the
// shared palette; the first sprite when there is no such pair.
std::size_t FindPaletteSource(const Records& records) {
  for (std::size_t i = 1; i < records.size(); ++i)
    if (records[i - 1].PalFlag == 0 && records[i].PalFlag == 1) return i - 1;
  return 0;
}

// The last 768 bytes before the source's own next offset become the shared
// palette, and the source a shared-palette sprite whose payload ends before
// them: its exported bytes stay the same. With too little before it, the
// palette stays black and the source as it is.
Palette LiftSharedPalette(std::span<const std::uint8_t> file, SpriteRecord& source) {
  Palette palette{};
  const std::int64_t end = source.NextPos >= 1 ? source.NextPos : std::int64_t{source.DataEnd} + 1;
  const auto bytes = ByteReader(file).Sub(end - static_cast<std::int64_t>(kPaletteSize), kPaletteSize);
  if (!bytes) return palette;
  std::copy(bytes->begin(), bytes->end(), palette.begin());
  source.DataEnd -= static_cast<std::int32_t>(kPaletteSize);
  source.PalFlag = 1;
  return palette;
}

// The chain walked while the file is read: begun once the header's image
// count is in, carried on after every piece. Only the walk's speed depends on
// it: what the load finds, and the order it asks and refuses in, stay those
// of a walk over the whole file after the read.
class WalkWhileReading {
 public:
  void operator()(std::span<const std::uint8_t> bytes, std::size_t read) {
    if (gaveUp_) return;
    if (!walk_) {
      if (read < static_cast<std::size_t>(kFileHeaderSize) && read < bytes.size()) return;
      const auto count = ReadImageCount(bytes);
      // A damaged count is reported by the walk after the read, in its turn.
      if (!count) {
        gaveUp_ = true;
        return;
      }
      try {
        walk_.emplace(*count);
      } catch (const std::bad_alloc&) {
        gaveUp_ = true;  // likewise: the walk after the read reports it
        return;
      }
    }
    walk_->WalkWithin(bytes, read);
  }
  ChainWalk* walk() { return walk_ ? &*walk_ : nullptr; }

 private:
  std::optional<ChainWalk> walk_;
  bool gaveUp_ = false;
};

Result<Archive, LoadError> Parse(std::string name, ByteImage bytes, std::optional<FileIdentity> sourceFile,
                                 const PaletteQuestion& goOn, ChainWalk* begun) {
  const ByteReader reader(bytes);
  const auto paletteType = reader.U8(kPaletteTypeOffset);
  if (!paletteType) return Fail(Fault(LoadFault::kNoHeader, static_cast<std::int64_t>(bytes.size())));
  if (*paletteType != kSharedPaletteMode && !goOn()) return Fail(Fault(LoadFault::kDeclined));

  auto count = ReadImageCount(bytes);
  if (!count) return Fail(std::move(count).error());
  auto walked = begun ? begun->Finish(bytes) : WalkChain(bytes, *count);
  if (!walked) return Fail(std::move(walked).error());
  Records records = std::move(*walked);
  ResolveLinks(records);
  const Palette palette = LiftSharedPalette(bytes, records[FindPaletteSource(records)]);
  RowOrder order = DisplayOrderOf(records);
  std::string stem = StemOfArchiveName(name);
  return Archive(std::move(name), std::move(stem), std::move(bytes), std::move(records), palette, std::move(order),
                 sourceFile);
}

// Every check after the read, for a file and for bytes alike.
Result<Archive, LoadError> LoadLoaded(std::string name, ByteImage bytes, std::optional<FileIdentity> sourceFile,
                                     const PaletteQuestion& goOn, ChainWalk* begun = nullptr) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return Fail(Fault(LoadFault::kTooLarge, static_cast<std::int64_t>(bytes.size())));
  // A damaged header may count more records than memory holds.
  try {
    return Parse(std::move(name), std::move(bytes), sourceFile, goOn, begun);
  } catch (const std::bad_alloc&) {
    return Fail(Fault(LoadFault::kOutOfMemory));
  }
}

}  // namespace

std::string StemOfArchiveName(const std::string& name) {
  // Count characters, not bytes: step back over four UTF-8 sequences.
  std::size_t end = name.size();
  for (int chars = 0; chars < 4; ++chars) {
    if (end == 0) return {};
    --end;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  }
  return name.substr(0, end);
}

Result<Archive, LoadError> LoadSffFromBytes(std::string name, ByteImage bytes, const PaletteQuestion& goOn) {
  return LoadLoaded(std::move(name), std::move(bytes), std::nullopt, goOn);
}

Result<Archive, LoadError> LoadSffFromBytes(std::string name, std::span<const std::uint8_t> bytes,
                                            const PaletteQuestion& goOn) {
  return LoadSffFromBytes(std::move(name), ByteImage(bytes.begin(), bytes.end()), goOn);
}

Result<Archive, LoadError> LoadSff(const std::string& path, const PaletteQuestion& goOn) {
  WalkWhileReading walk;
  auto file = [&path, &walk]() -> Result<WholeFile, LoadError> {
    try {
      return ReadWholeFile(path, std::ref(walk));
    } catch (const std::bad_alloc&) {
      return Fail(Fault(LoadFault::kOutOfMemory));
    }
  }();
  if (!file) return Fail(std::move(file).error());
  return LoadLoaded(text::GetFileName(path), std::move(file->bytes), file->identity, goOn, walk.walk());
}

}  // namespace pelvaro::sff
