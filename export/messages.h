#pragma once

// Every text the program tells its user, built in one place from what
// happened, as lines: a message box joins them with CR LF, a terminal with LF.

#include "export/definition_text.h"
#include "export/output_folder.h"
#include "export/write_error.h"
#include "image/pcx_decoder.h"
#include "sff/load_error.h"

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace pelvaro::exporter {

using Lines = std::vector<std::string>;

// The question asked before an archive that is not in shared palette mode is loaded.
Lines SharedPaletteWarning();

// Why a load gave no archive; no lines for a declined load, which the user chose.
Lines DescribeLoadError(const sff::LoadError& error);
Lines DescribeWriteError(const WriteError& error);
Lines DescribeTextError(const TextError& error);
Lines DescribeMakeTextError(const MakeTextError& error);
Lines DescribeFolderError(const FolderError& error);
// Standard output took no more text (a full disk, a closed device...): the
// system's words for why.
Lines DescribeStdoutError(const std::string& reason);
// Work that stopped on an exception rather than a refusal: running out of
// memory in plain words, anything else with its own text.
Lines DescribeStoppedWork(const std::exception& e);

inline constexpr const char* kPcxDone = "全PCXが出力されました。";
inline constexpr const char* kTextDone = "SFF 作成用テキストファイル、及びバッチファイルが出力されました。";
// Said whenever at least one row had no PCX name and so no file.
std::string SkippedRowsLine(std::size_t skipped);

inline constexpr const char* kPngDone = "全PNGが出力されました。";
// A row the PNG export wrote no file for because its image cannot be decoded:
// the row (`row` from 0, told from 1 as the list counts) and its file, then the
// decoder's own lines.
Lines DescribeUndecodableRow(std::size_t row, const std::string& file, const image::DecodeError& error);
// Said at the end of a PNG export that left rows out for that reason.
std::string UndecodableRowsLine(std::size_t undecodable);

// What the sprite viewer shows in place of a picture: for a row without a PCX
// name, and when there is no row to show.
Lines NoImageLines();
Lines NothingToViewLines();

// Asked by Exit.
inline constexpr const char* kExitQuestion = "終了しますか？";

// The progress window's caption while PCX or PNG files are written.
inline constexpr const char* kPcxProgressCaption = "PCXファイルを出力しています…";
inline constexpr const char* kPngProgressCaption = "PNGファイルを出力しています…";
// An export the user stopped: the folder and the files written before the stop.
Lines ExportCancelledLines(const std::string& kind, const std::string& folder, std::size_t written);

// What Save as PNG in the sprite viewer says it did.
std::string PngSavedLine(const std::string& path);

// The end of an export the browser started: what kind, where, and how many.
Lines ExportDoneLines(const std::string& kind, const std::string& folder, std::size_t written);
// The browser's find and go-to.
std::string NotFoundLine(const std::string& asked);
inline constexpr const char* kNothingToExport = "出力する行がありません。";

// The About box: its caption, the product's name and version, and the notice.
std::string AboutCaption(const std::string& productTitle);
std::string AboutVersion(int major, int minor, int revision);
inline constexpr const char* kAboutNotice = "このソフトウェアは無保証です。";

std::string JoinLines(const Lines& lines, std::string_view newline);

}  // namespace pelvaro::exporter
