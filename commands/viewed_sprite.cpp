#include "commands/viewed_sprite.h"

#include "export/atomic_file.h"
#include "export/messages.h"
#include "export/png_export.h"
#include "image/png_writer.h"
#include "sff/sprite_rows.h"

#include <algorithm>

namespace pelvaro::commands {
namespace {

std::string Number(std::int64_t n) { return std::to_string(n); }

// The display row of the record at chain position `position`.
std::optional<std::size_t> RowOfPosition(const sff::Archive& archive, std::uint32_t position) {
  const auto& order = archive.DisplayOrder();
  const auto found = std::find(order.begin(), order.end(), position);
  if (found == order.end()) return std::nullopt;
  return static_cast<std::size_t>(found - order.begin());
}

}  // namespace

ViewedSprite ViewRow(const sff::Archive& archive, std::size_t row) {
  const sff::SpriteRecord& record = archive.RecordOfRow(row);
  ViewedSprite view;
  view.row = row;
  view.rows = archive.RowCount();
  view.group = record.GroupNo;
  view.item = record.ItemNo;
  view.axisX = record.AxisX;
  view.axisY = record.AxisY;
  view.sharedPalette = record.PalFlag == 1;
  // A link to itself keeps its own image: it is no link worth naming.
  if (record.LinkNo != 0 && record.LinkNo != archive.DisplayOrder()[row])
    view.linkRow = RowOfPosition(archive, record.LinkNo);
  view.archiveFile = archive.SourceFile();
  view.pcxName = sff::PcxName(archive, record);
  if (view.pcxName.empty()) {
    view.message = exporter::NoImageLines();
    return view;
  }
  view.pngName = sff::PngName(archive, record);
  auto decoded = exporter::DecodeSprite(archive, record);
  if (decoded) {
    view.image = std::move(*decoded);
  } else {
    view.message = image::DecodeErrorLines(decoded.error());
  }
  return view;
}

std::string StatusLine(const ViewedSprite& s) {
  constexpr const char* kGap = "　";
  std::string line = Number(static_cast<std::int64_t>(s.row + 1)) + " 行目（全 " +
                     Number(static_cast<std::int64_t>(s.rows)) + " 行）";
  line += kGap + ("グループ番号 " + Number(s.group));
  line += kGap + ("イメージ番号 " + Number(s.item));
  if (s.image) {
    line += kGap + (Number(s.image->width) + " × " + Number(s.image->height) + " ピクセル");
  } else {
    line += kGap + std::string(s.pcxName.empty() ? "画像なし" : "読み込めない画像");
  }
  line += kGap + ("軸 (" + Number(s.axisX) + ", " + Number(s.axisY) + ")");
  line += kGap + std::string(!s.image ? "パレットなし" : s.sharedPalette ? "共有パレット" : "自身のパレット");
  if (s.linkRow) line += kGap + ("リンク先 " + Number(static_cast<std::int64_t>(*s.linkRow + 1)) + " 行目");
  return line;
}

std::string ColourText(const image::IndexedImage& image, int index) {
  const auto at = static_cast<std::size_t>(index) * 3;
  std::string text = "パレット番号 " + Number(index);
  if (index == 0) text += "（透明色）";
  return text + "　R " + Number(image.palette[at]) + ", G " + Number(image.palette[at + 1]) + ", B " +
         Number(image.palette[at + 2]);
}

std::string PixelText(const image::IndexedImage& image, int x, int y) {
  const int index = image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                                 static_cast<std::size_t>(x)];
  return "位置 (" + Number(x) + ", " + Number(y) + ")　" + ColourText(image, index);
}

std::string ViewerTitle(const ViewedSprite* sprite) {
  constexpr const char* kTitle = "スプライトの表示";
  if (!sprite || sprite->pcxName.empty()) return kTitle;
  return sprite->pcxName + " - " + kTitle;
}

Result<Done, exporter::WriteError> WriteSpritePng(const std::string& path, const ViewedSprite& sprite) {
  return exporter::WriteFileAtomic(path, image::EncodeIndexedPng(*sprite.image, image::kPngLevel), sprite.archiveFile);
}

}  // namespace pelvaro::commands
