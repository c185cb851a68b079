#include "commands/archive_check.h"

#include "commands/row_filter.h"
#include "export/png_export.h"
#include "base/byte_reader.h"
#include "sff/sff_layout.h"

#include <algorithm>
#include <utility>

namespace pelvaro::commands {
namespace {

using Kind = CheckFinding::Kind;

// The subfiles the chain walk reached, with where each header stands: the
// offsets follow from the next offsets the records keep; the palette flag
// each had in the file and the last one's length field are read again, since
// the loader changes the palette source's flag when it lifts the palette.
struct ReachedSubfile {
  std::int64_t offset = 0;  // of the header
  std::int64_t end = 0;     // one past the last byte the subfile takes
  std::uint8_t fileFlag = 0;
};

std::vector<ReachedSubfile> ReachedSubfiles(const sff::Archive& archive) {
  const ByteReader reader(archive.SffBytes());
  const auto length = static_cast<std::int64_t>(reader.size());
  const sff::Records& records = archive.SpriteInfo();
  std::vector<ReachedSubfile> reached;
  reached.reserve(records.size());
  std::int64_t p = sff::kFirstSubfileOffset;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::int32_t next = records[i].NextPos;
    const auto flag = reader.U8(p + sff::kPalFlagOffset);
    const auto lengthField = reader.I32le(p + sff::kLengthOffset);
    if (!flag || !lengthField) break;  // the loader would have refused: cannot happen in a loaded archive
    ReachedSubfile s;
    s.offset = p;
    s.fileFlag = *flag;
    // As the walk takes the payload: up to the next subfile, or for the last
    // one as many bytes as its length field counts, clipped to the file.
    const std::int64_t payloadStart = p + sff::kSubfileHeaderSize;
    const std::int64_t payloadEnd =
        next >= 1 ? next : payloadStart + std::min<std::int64_t>(std::max(*lengthField, 0), length - payloadStart);
    s.end = std::max(payloadStart, payloadEnd);
    reached.push_back(s);
    if (next < 1) break;
    p = next;
  }
  return reached;
}

// Which reached positions' images cannot be decoded, and why. A linked
// sprite that takes its target's very bytes takes its verdict too: decoding
// is most of a check's time.
class DecodeFindings {
 public:
  DecodeFindings(const sff::Archive& archive, std::size_t reached) : verdicts_(reached, kUnknown) {
    const sff::Records& records = archive.SpriteInfo();
    for (std::size_t i = 0; i < reached; ++i) {
      const sff::SpriteRecord& r = records[i];
      if (r.NameSource == sff::SpriteRecord::kNoName) continue;
      if (r.LinkNo != 0 && r.LinkNo < i) {
        const sff::SpriteRecord& t = records[r.LinkNo];
        if (t.DataStart == r.DataStart && t.DataEnd == r.DataEnd && t.PalFlag == r.PalFlag &&
            verdicts_[r.LinkNo] != kUnknown) {
          verdicts_[i] = verdicts_[r.LinkNo];
          if (verdicts_[i] == kBad) errors_.push_back({static_cast<std::uint32_t>(i), ErrorOf(r.LinkNo)});
          continue;
        }
      }
      if (auto decoded = exporter::CheckSprite(archive, r); decoded) {
        verdicts_[i] = kGood;
      } else {
        verdicts_[i] = kBad;
        errors_.push_back({static_cast<std::uint32_t>(i), decoded.error()});
      }
    }
  }
  // The reason position `i` cannot be decoded, or nothing when it can (or has no image).
  const image::DecodeError* Error(std::size_t i) const {
    if (verdicts_[i] != kBad) return nullptr;
    return &ErrorOf(i);
  }

 private:
  static constexpr std::uint8_t kUnknown = 0, kGood = 1, kBad = 2;
  const image::DecodeError& ErrorOf(std::size_t i) const {
    // In position order, as they were found.
    const auto at = std::lower_bound(errors_.begin(), errors_.end(), i,
                                     [](const auto& e, std::size_t p) { return e.first < p; });
    return at->second;
  }
  std::vector<std::uint8_t> verdicts_;
  std::vector<std::pair<std::uint32_t, image::DecodeError>> errors_;
};

CheckFinding RowFinding(Kind kind, const sff::Archive& archive, std::size_t row) {
  CheckFinding f;
  f.kind = kind;
  f.row = static_cast<std::int64_t>(row);
  f.position = archive.DisplayOrder()[row];
  const sff::SpriteRecord& r = archive.RecordOfRow(row);
  f.group = r.GroupNo;
  f.item = r.ItemNo;
  return f;
}

// For each reached position, the first reached position with the same
// group/item pair (itself when it is the first).
std::vector<std::uint32_t> FirstOfPair(const sff::Records& records, std::size_t reached) {
  std::vector<std::uint64_t> keys(reached);
  for (std::size_t i = 0; i < reached; ++i)
    keys[i] = (std::uint64_t{records[i].GroupNo} << 48) | (std::uint64_t{records[i].ItemNo} << 32) | i;
  std::sort(keys.begin(), keys.end());
  std::vector<std::uint32_t> first(reached);
  for (std::size_t k = 0; k < reached; ++k) {
    const auto position = static_cast<std::uint32_t>(keys[k]);
    first[position] = k > 0 && (keys[k] >> 32) == (keys[k - 1] >> 32) ? first[static_cast<std::uint32_t>(keys[k - 1])]
                                                                      : position;
  }
  return first;
}

// The shared palette is lifted out of one sprite (see the loader): the
// first sprite with a palette of its own followed by one that uses the shared
// palette, else the first sprite. It is there only when that sprite really
// carried a palette of its own (flag 0 in the file) and the loader could take
// 768 bytes before its end, which it marks by setting the sprite's flag to 1.
// Otherwise the "shared palette" is black or the pixels of a sprite, and every
// sprite whose flag asks for it is told.
bool HasSharedPalette(const sff::Archive& archive, const std::vector<ReachedSubfile>& reached) {
  std::size_t source = 0;
  for (std::size_t i = 1; i < reached.size(); ++i) {
    if (reached[i - 1].fileFlag == 0 && reached[i].fileFlag == 1) {
      source = i - 1;
      break;
    }
  }
  return reached[source].fileFlag == 0 && archive.SpriteInfo()[source].PalFlag == 1;
}

void CheckRow(const sff::Archive& archive, std::size_t row, const std::vector<std::uint32_t>& firstOfPair,
              std::size_t reached, bool sharedPalette, const DecodeFindings& decoding,
              std::vector<CheckFinding>& findings) {
  const sff::Records& records = archive.SpriteInfo();
  const std::uint32_t position = archive.DisplayOrder()[row];
  if (position >= reached) return;  // told once for the whole stretch
  const sff::SpriteRecord& r = records[position];
  if (firstOfPair[position] != position) {
    CheckFinding f = RowFinding(Kind::kDuplicatePair, archive, row);
    f.other = firstOfPair[position];
    findings.push_back(f);
  }
  if (IsLinkedRow(archive, row)) {
    if (r.LinkNo >= reached) {
      CheckFinding f = RowFinding(Kind::kLinkToUnreached, archive, row);
      f.other = r.LinkNo;
      findings.push_back(f);
    } else if (const sff::SpriteRecord& target = records[r.LinkNo]; target.LinkNo != 0 && target.LinkNo != r.LinkNo) {
      CheckFinding f = RowFinding(Kind::kLinkToLink, archive, row);
      f.other = r.LinkNo;
      findings.push_back(f);
    }
  }
  // The palette source's flag is the loader's: its file flag was 0.
  if (!sharedPalette && r.PalFlag == 1) findings.push_back(RowFinding(Kind::kNoSharedPalette, archive, row));
  if (const image::DecodeError* error = decoding.Error(position)) {
    CheckFinding f = RowFinding(Kind::kUndecodable, archive, row);
    f.decodeError = *error;
    findings.push_back(f);
  }
}

// Bytes after the file header that no reached subfile takes.
void CheckCoverage(std::vector<ReachedSubfile> reached, std::int64_t length, std::vector<CheckFinding>& findings) {
  std::sort(reached.begin(), reached.end(),
            [](const ReachedSubfile& a, const ReachedSubfile& b) { return a.offset < b.offset; });
  std::int64_t covered = sff::kFirstSubfileOffset;
  const auto gap = [&](std::int64_t until) {
    if (until <= covered) return;
    CheckFinding f;
    f.kind = Kind::kUncoveredBytes;
    f.offset = covered;
    f.bytes = until - covered;
    findings.push_back(f);
  };
  for (const ReachedSubfile& s : reached) {
    gap(s.offset);
    covered = std::max(covered, s.end);
  }
  gap(length);
}

std::string RowHeading(const CheckFinding& f) {
  return std::to_string(f.row + 1) + " 行目（P.Pos " + std::to_string(f.position) + "、グループ " +
         std::to_string(f.group) + "、番号 " + std::to_string(f.item) + "）: ";
}

}  // namespace

std::vector<CheckFinding> CheckArchive(const sff::Archive& archive) {
  std::vector<CheckFinding> findings;
  const std::vector<ReachedSubfile> reached = ReachedSubfiles(archive);
  if (reached.empty()) return findings;
  const std::vector<std::uint32_t> firstOfPair = FirstOfPair(archive.SpriteInfo(), reached.size());
  const bool sharedPalette = HasSharedPalette(archive, reached);
  const DecodeFindings decoding(archive, reached.size());
  for (std::size_t row = 0; row < archive.RowCount(); ++row)
    CheckRow(archive, row, firstOfPair, reached.size(), sharedPalette, decoding, findings);
  if (const std::size_t records = archive.SpriteInfo().size(); reached.size() < records) {
    CheckFinding f;
    f.kind = Kind::kUnreached;
    f.position = static_cast<std::int64_t>(reached.size());
    f.count = static_cast<std::int64_t>(records - reached.size());
    findings.push_back(f);
  }
  CheckCoverage(reached, static_cast<std::int64_t>(archive.SffBytes().size()), findings);
  return findings;
}

std::string FindingText(const CheckFinding& f) {
  switch (f.kind) {
    case Kind::kDuplicatePair:
      return RowHeading(f) + "グループと番号が P.Pos " + std::to_string(f.other) + " と同じです。";
    case Kind::kUndecodable: {
      std::string text = RowHeading(f);
      for (const std::string& line : image::DecodeErrorLines(f.decodeError)) text += line;
      return text;
    }
    case Kind::kLinkToLink:
      return RowHeading(f) + "リンク先 P.Pos " + std::to_string(f.other) + " もリンクです。";
    case Kind::kLinkToUnreached:
      return RowHeading(f) + "リンク先 P.Pos " + std::to_string(f.other) + " はチェーンが届かないサブファイルです。";
    case Kind::kNoSharedPalette:
      return RowHeading(f) + "共有パレットを使う指定ですが、共有パレットがありません。";
    case Kind::kUnreached:
      return "P.Pos " + std::to_string(f.position) + " から " + std::to_string(f.count) +
             " 個のサブファイルには、チェーンが届いていません。";
    case Kind::kUncoveredBytes:
      return "オフセット " + std::to_string(f.offset) + " からの " + std::to_string(f.bytes) +
             " バイトは、どのサブファイルにも属していません。";
  }
  return {};
}

const char* FindingKindName(CheckFinding::Kind kind) {
  switch (kind) {
    case Kind::kDuplicatePair: return "duplicate";
    case Kind::kUndecodable: return "undecodable";
    case Kind::kLinkToLink: return "link-to-link";
    case Kind::kLinkToUnreached: return "link-to-unreached";
    case Kind::kNoSharedPalette: return "no-shared-palette";
    case Kind::kUnreached: return "unreached";
    case Kind::kUncoveredBytes: return "uncovered-bytes";
  }
  return "";
}

}  // namespace pelvaro::commands
