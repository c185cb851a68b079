#include "export/messages.h"

#include <new>

namespace pelvaro::exporter {
namespace {

using sff::LoadFault;

std::string Where(const sff::LoadError& e) {
  return "（" + std::to_string(e.position) + " 番目のサブファイル、オフセット " + std::to_string(e.offset) + "）";
}

// What is wrong with a damaged archive, in one line.
std::string DamageLine(const sff::LoadError& e) {
  const std::string value = std::to_string(e.value);
  const std::string limit = std::to_string(e.limit);
  switch (e.fault) {
    case LoadFault::kNoHeader: return "ファイルが短すぎます（" + value + " バイト）。SFFファイルのヘッダがありません。";
    case LoadFault::kTooShort:
      return "ファイルが短すぎます（" + value + " バイト）。SFFファイルには少なくとも " + limit + " バイト必要です。";
    case LoadFault::kBadImageCount:
      return "ヘッダの画像数 " + value + " が不正です（オフセット 20）。このファイルに収まる画像数は 1 ～ " + limit + " です。";
    case LoadFault::kHeaderOutside: return "サブファイルヘッダがファイルの外にあります" + Where(e) + "。";
    case LoadFault::kNextOutside:
      return "次のサブファイルのオフセット " + value + " がファイルの外を指しています" + Where(e) + "。";
    case LoadFault::kBadLink: return "リンク先 " + value + " が画像数 " + limit + " の範囲外です" + Where(e) + "。";
    default: return {};
  }
}

// A double quote as itself; a control character, which has no face of its
// own, by its code.
std::string UnquotableCharacter(const std::string& character) {
  const auto code = static_cast<unsigned char>(character.empty() ? 0 : character[0]);
  if (code == '"') return "文字「\"」";
  static constexpr char kHex[] = "0123456789ABCDEF";
  return std::string("制御文字（0x") + kHex[code >> 4] + kHex[code & 15] + "）";
}

}  // namespace

Lines SharedPaletteWarning() {
  return {"このSFFファイルは共有パレットモードではありません。", "このSFFを正しくデコードすることは出来ません。", "",
          "デコード結果から、正しくSFFを再構築出来る保証はありません。", "処理を続行しますか？"};
}

Lines DescribeLoadError(const sff::LoadError& e) {
  switch (e.fault) {
    case LoadFault::kDeclined: return {};
    case LoadFault::kCannotRead: return {"ファイルを読み込めません。", e.path, e.reason};
    case LoadFault::kNotRegularFile: return {"ファイルを読み込めません。", e.path, "通常のファイルではありません。"};
    case LoadFault::kShortenedWhileRead:
      return {"ファイルを読み込めません。", e.path, "読み込みの途中でファイルが短くなりました。"};
    case LoadFault::kTooLarge:
      return {"ファイルが大きすぎます（" + std::to_string(e.value) + " バイト）。2 GB 未満のファイルしか読み込めません。"};
    case LoadFault::kOutOfMemory: return {"メモリが足りないため、処理を続けられません。"};
    default: return {"SFFファイルが壊れているため、読み込めません。", DamageLine(e)};
  }
}

Lines DescribeWriteError(const WriteError& e) {
  switch (e.fault) {
    case WriteError::Fault::kOpenArchive:
      return {"ファイルを書き込めません。", e.file, "開いているSFFファイルそのものなので、上書きできません。"};
    case WriteError::Fault::kNotRegularFile:
      return {"ファイルを書き込めません。", e.file, "通常のファイルではありません。"};
    default: return {"ファイルを書き込めません。", e.file, e.reason};
  }
}

Lines DescribeTextError(const TextError& e) {
  const char* what = e.part == TextError::Part::kSffName ? "SFFファイル名" : "バッチファイルのコマンド行";
  if (e.fault == TextError::Fault::kCannotQuote) {
    return {std::string(what) + "に、引用符で囲んでも安全に書けない" + UnquotableCharacter(e.character) +
                "が含まれているため、出力できません。",
            e.file};
  }
  return {std::string(what) + "に CP932（Shift_JIS）で表せない文字「" + e.character +
              "」が含まれているため、出力できません。",
          e.file};
}

Lines DescribeMakeTextError(const MakeTextError& error) {
  if (const auto* text = std::get_if<TextError>(&error)) return DescribeTextError(*text);
  return DescribeWriteError(std::get<WriteError>(error));
}

Lines DescribeFolderError(const FolderError& e) { return {"出力フォルダを作成できません。", e.folder, e.reason}; }

Lines DescribeStdoutError(const std::string& reason) { return {"標準出力に書き込めません。", reason}; }

Lines DescribeStoppedWork(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return {"メモリが足りないため、処理を続けられません。"};
  return {"処理を続けられません。", e.what()};
}

std::string SkippedRowsLine(std::size_t skipped) {
  return "PCX名のない " + std::to_string(skipped) + " 行は出力されませんでした。";
}

Lines DescribeUndecodableRow(std::size_t row, const std::string& file, const image::DecodeError& error) {
  Lines lines{std::to_string(row + 1) + " 行目の " + file + " は出力できません。"};
  for (std::string& line : image::DecodeErrorLines(error)) lines.push_back(std::move(line));
  return lines;
}

std::string UndecodableRowsLine(std::size_t undecodable) {
  return "画像を読み込めない " + std::to_string(undecodable) + " 行は出力されませんでした。";
}

Lines NoImageLines() { return {"この行には画像がありません。", "PCX名のない行です。"}; }

Lines NothingToViewLines() { return {"表示するスプライトがありません。"}; }

Lines ExportCancelledLines(const std::string& kind, const std::string& folder, std::size_t written) {
  return {kind + "ファイルの出力を中止しました。", "出力先: " + folder,
          "中止するまでに " + std::to_string(written) + " 個のファイルを出力しました。"};
}

std::string PngSavedLine(const std::string& path) { return "PNG ファイルを保存しました: " + path; }

Lines ExportDoneLines(const std::string& kind, const std::string& folder, std::size_t written) {
  return {kind + "ファイルを出力しました。", "出力先: " + folder, std::to_string(written) + " 個のファイルを出力しました。"};
}

std::string NotFoundLine(const std::string& asked) { return "見つかりません: " + asked; }

std::string AboutCaption(const std::string& productTitle) { return productTitle + " のﾊﾞｰｼﾞｮﾝ情報"; }

// "Version 0.11β" for 0, 1, 1: no separator between minor and revision.
std::string AboutVersion(int major, int minor, int revision) {
  return "Version " + std::to_string(major) + "." + std::to_string(minor) + std::to_string(revision) + "β";
}

std::string JoinLines(const Lines& lines, std::string_view newline) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += newline;
    joined += lines[i];
  }
  return joined;
}

}  // namespace pelvaro::exporter
