#pragma once

// The browser's own words, the same in every window that shows it: the
// fields' placeholders and tips, the lists' column captions, the export
// menu's entries and what is said of a filter term that could not be read.

#include "commands/browser_state.h"
#include "commands/export_steps.h"
#include "commands/main_commands.h"

#include <array>
#include <string>
#include <vector>

namespace pelvaro::commands {

// The filter field's placeholder: this, then the syntax (kFilterSyntax).
inline constexpr const char* kFilterPlaceholderLead = "絞り込み: ";
std::string FilterPlaceholder();
inline constexpr const char* kFilterTip =
    "200 はグループ 200、200,1 はグループ 200 の 1 番、5000-5999 はグループの範囲、\n"
    "linked はリンクしたスプライト、bad は読み込めない画像。\n"
    "空白で区切った条件は、すべてを満たす行だけが残ります。（Ctrl+F）";
inline constexpr const char* kGoToPlaceholder = "移動: 行番号 または 200,1";
inline constexpr const char* kGoToTip = "行番号、またはグループと番号（200,1）の行へ移動します。（Ctrl+G）";

inline constexpr std::array<const char*, 3> kGroupColumnCaptions{"グループ", "個数", "リンク"};
inline constexpr std::array<const char*, 4> kGroupRowColumnCaptions{"SortNo", "ItemNo", "リンク", "PCX Name"};
// The item list's link column for a linked row.
inline constexpr const char* kLinkedMark = "リンク";

inline constexpr const char* kExportCaption = "書き出し(&E)";
struct ExportEntry {
  const char* name;
  const char* caption;
  BrowserScope scope;
  ImageFormat format;
};
// In menu order; a separator goes before the entry of every row.
inline constexpr std::array<ExportEntry, 7> kExportEntries{{
    {"mnuSelectionPcx", "選択した行を PCX で(&S)…", BrowserScope::kSelection, ImageFormat::kPcx},
    {"mnuSelectionPng", "選択した行を PNG で(&P)…", BrowserScope::kSelection, ImageFormat::kPng},
    {"mnuFilteredPcx", "絞り込んだ行を PCX で(&F)…", BrowserScope::kFiltered, ImageFormat::kPcx},
    {"mnuFilteredPng", "絞り込んだ行を PNG で(&N)…", BrowserScope::kFiltered, ImageFormat::kPng},
    {"mnuGroupPcx", "このグループを PCX で(&G)…", BrowserScope::kGroup, ImageFormat::kPcx},
    {"mnuGroupPng", "このグループを PNG で(&R)…", BrowserScope::kGroup, ImageFormat::kPng},
    {"mnuAllPng", "全PNG 保存(&A)…", BrowserScope::kAll, ImageFormat::kPng},
}};

// The filter's terms that could not be read, as they were typed.
std::vector<std::string> UnreadableTerms(const BrowserState& browser);
// "読み取れない条件: " and those terms, blank-separated; empty when every term was read.
std::string UnreadableNote(const BrowserState& browser);

}  // namespace pelvaro::commands
