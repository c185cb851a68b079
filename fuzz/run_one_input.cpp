#include "fuzz/run_one_input.h"

#include "export/definition_text.h"
#include "export/pcx_export.h"
#include "export/row_record.h"
#include "fuzz/fuzz_input.h"
#include "sff/chain_walk.h"
#include "sff/load_sff.h"
#include "sff/message_box.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

namespace pelvaro::fuzz {
namespace {

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "broken promise: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

class FuzzView final : public sff::LoaderView {
 public:
  FuzzView(std::string name, bool answerYes) : name_(std::move(name)), answerYes_(answerYes) {}

  std::string SffNameText() const override { return name_; }
  void SetSffNameText(const std::string& text) override { name_ = text; }
  void SetImageText(const std::string& text) override { imageText_ = text; }
  sff::SpriteTable& Table() override { return table_; }
  int MsgBox(const std::string& text, int style) override {
    Require(!text.empty(), "a message box without text");
    if (style == mb::kYesNoStopDefaultNo) return answerYes_ ? mb::kAnswerYes : mb::kAnswerNo;
    Require(style == mb::kStop, "a message box with an unexpected style");
    return mb::kAnswerOk;
  }

  const std::string& name() const { return name_; }
  const std::string& imageText() const { return imageText_; }
  const sff::SpriteTable& table() const { return table_; }

 private:
  std::string name_;
  std::string imageText_;
  bool answerYes_;
  sff::SpriteTable table_;
};

void CheckEmptied(const FuzzView& view) {
  Require(view.table().Count() == 0, "rows left after a refusal or a No");
  Require(view.name().empty() && view.imageText().empty(), "labels left after a refusal or a No");
}

void CheckLoaded(const sff::SffState& state, const FuzzView& view) {
  const sff::SpriteTable& table = view.table();
  const auto records = static_cast<std::int64_t>(state.SpriteInfo.size());
  const auto size = static_cast<std::int64_t>(state.SffBytes.size());
  Require(state.ImageCount >= 1 && state.ImageCount == records, "image count and records disagree");
  Require(table.Count() == records, "row count and records disagree");
  Require(view.imageText() == std::to_string(state.ImageCount), "the image label does not show the count");

  for (int row = 1; row <= table.Count(); ++row) {
    const sff::SpriteRecord* found = exporter::RecordForPPos(table.Text(row, sff::SpriteTable::kPPos), state);
    Require(found != nullptr, "a P.Pos that names no record");
    const sff::SpriteRecord& r = *found;
    const std::int64_t length = static_cast<std::int64_t>(r.DataEnd) - r.DataStart + 1;
    if (length > 0) Require(r.DataStart >= 0 && r.DataEnd < size, "a payload range outside the archive");
    // Every row, named or not: the export's own range check must never be what stops a loaded archive.
    const auto pcx = exporter::PcxFileBytes(state, r);
    Require(pcx.has_value(), "the export refuses a range the loader made");
    const std::int64_t expected = (length > 0 ? length : 0) + (r.PalFlag == 1 ? 768 : 0);
    Require(static_cast<std::int64_t>(pcx->size()) == expected, "a PCX file of the wrong size");
    Require(table.Text(row, sff::SpriteTable::kPcxName) == r.PcxName, "a row whose PCX name is not its record's");
  }

  const auto text = exporter::SprTextBytes(view.name(), state, table);
  if (const auto* error = std::get_if<exporter::ExportError>(&text)) {
    Require(!error->message.empty(), "a definition-text refusal without a message");
  } else {
    const std::string& bytes = std::get<std::string>(text);
    Require(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0, "a definition text without its end");
  }
}

// A walk fed the file in pieces, as a file is while it is read, must end
// where the walk of the whole file ends, with the same records.
void CheckPiecewiseWalk(std::span<const std::uint8_t> file, std::size_t pieceBytes) {
  const auto count = sff::ReadImageCount(file);
  if (!std::holds_alternative<std::int32_t>(count)) return;
  const auto records = static_cast<std::size_t>(std::get<std::int32_t>(count));
  std::vector<sff::SpriteRecord> whole(records), piecewise(records);
  sff::ChainWalk all(file, whole);
  Require(all.Advance(file.size()), "a walk of the whole file that is not over");
  sff::ChainWalk some(file, piecewise);
  std::size_t arrived = 0;
  while (!some.Advance(arrived)) {
    Require(arrived < file.size(), "a walk that waits for bytes past the end");
    arrived = std::min(file.size(), arrived + pieceBytes);
  }
  Require(some.Walked() == all.Walked() && some.Refused().has_value() == all.Refused().has_value(),
          "a walk in pieces that ends elsewhere");
  if (all.Refused()) Require(some.Refused()->message == all.Refused()->message, "a walk in pieces refused otherwise");
  for (std::size_t i = 0; i < all.Walked(); ++i)
    Require(piecewise[i].NextPos == whole[i].NextPos && piecewise[i].DataStart == whole[i].DataStart &&
                piecewise[i].DataEnd == whole[i].DataEnd && piecewise[i].LinkNo == whole[i].LinkNo,
            "a walk in pieces that reads other records");
}

}  // namespace

void RunOneInput(std::span<const std::uint8_t> input) {
  if (input.empty()) return;
  const Choice choice = ChoiceOf(input[0]);
  CheckPiecewiseWalk(input.subspan(1), 1 + input[0] % 61);

  FuzzView view(choice.archiveName, choice.answerYes);
  sff::SffState state;
  const sff::LoadOutcome outcome = sff::LoadSffFromBytes(input.subspan(1), state, view);
  switch (outcome.status) {
    case sff::LoadStatus::kRefused:
      Require(!outcome.message.empty() && outcome.fault != sff::LoadFault::kNone, "a refusal without a reason");
      Require(state.SpriteInfo.empty() && state.SffBytes.empty(), "records kept after a refusal");
      CheckEmptied(view);
      return;
    case sff::LoadStatus::kDeclined:
      Require(!choice.answerYes, "declined although the answer was Yes");
      CheckEmptied(view);
      return;
    case sff::LoadStatus::kLoaded:
      CheckLoaded(state, view);
      return;
  }
  Broken("an unknown load status");
}

}  // namespace pelvaro::fuzz
