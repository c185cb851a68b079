#include "cli/cli.h"

#include "export/definition_text.h"
#include "export/pcx_export.h"
#include "export/png_export.h"
#include "export/messages.h"
#include "export/output_folder.h"
#include "export/system_reason.h"
#include "pelvaro_version.h"
#include "sff/load_sff.h"
#include "sff/sprite_rows.h"
#include "text/native_path.h"

#include <cerrno>
#include <exception>
#include <ostream>
#include <string_view>

namespace pelvaro::cli {
namespace {

constexpr const char* kUsage =
    "Usage: pelvaro-cli [--yes] list ARCHIVE\n"
    "       pelvaro-cli [--yes] pcx ARCHIVE FOLDER\n"
    "       pelvaro-cli [--yes] png ARCHIVE FOLDER\n"
    "       pelvaro-cli [--yes] text ARCHIVE TEXTFILE\n"
    "       pelvaro-cli --help | --version\n"
    "\n"
    "  list   print the sprite table, tab-separated, in display order\n"
    "  pcx    write every sprite as a PCX file into FOLDER (created when missing)\n"
    "  png    write every sprite as an 8-bit indexed PNG file into FOLDER (created when missing)\n"
    "  text   write the definition text TEXTFILE and the build batch file beside it\n"
    "  --yes  go on with an archive that is not in shared palette mode\n"
    "\n"
    "Options may stand before or after the command; \"--\" ends them, so that a\n"
    "name beginning with \"-\" can follow.\n";

constexpr int kProgressMinimumRows = 1000;

void Tell(std::ostream& err, const exporter::Lines& lines) { err << exporter::JoinLines(lines, "\n") << '\n'; }

// Writes `text` to stdout at once. A write that fails is told on stderr in
// the system's words (the stream buffer leaves them in errno), except a
// reader that has gone (a broken pipe), which ends the command without a
// word, as it ends other tools.
int Print(std::ostream& out, std::ostream& err, std::string_view text) {
  errno = 0;
  out << text;
  out.flush();
  if (out) return kExitOk;
  const int error = errno != 0 ? errno : EIO;
  if (error != EPIPE) Tell(err, exporter::DescribeStdoutError(exporter::SystemReason(error)));
  return kExitFailure;
}

// Loads the archive, asking the palette question as --yes answers it; the
// exit code when it did not load.
Result<sff::Archive, int> Load(const std::string& path, bool yes, std::ostream& err) {
  auto loaded = sff::LoadSff(path, [yes, &err] {
    if (!yes) Tell(err, exporter::SharedPaletteWarning());
    return yes;
  });
  if (loaded) return std::move(*loaded);
  if (loaded.error().fault == sff::LoadFault::kDeclined) return Fail(kExitDeclined);
  Tell(err, exporter::DescribeLoadError(loaded.error()));
  return Fail(kExitFailure);
}

// The listing goes out in pieces of about this size: a damaged archive may
// list tens of millions of rows, far more text than is worth holding at once.
constexpr std::size_t kListPieceBytes = 1 << 20;

int List(const sff::Archive& archive, std::ostream& out, std::ostream& err) {
  std::string text;
  text.reserve(kListPieceBytes + 4096);
  for (int c = 0; c < sff::kColumnCount; ++c) {
    if (c) text += '\t';
    text += sff::kColumnCaptions[static_cast<std::size_t>(c)];
  }
  text += '\n';
  for (std::size_t row = 0; row < archive.RowCount(); ++row) {
    for (int c = 0; c < sff::kColumnCount; ++c) {
      if (c) text += '\t';
      sff::AppendCell(text, archive, row, static_cast<sff::Column>(c));
    }
    text += '\n';
    if (text.size() >= kListPieceBytes) {
      if (const int code = Print(out, err, text); code != kExitOk) return code;
      text.clear();
    }
  }
  return Print(out, err, text);
}

// Makes the output folder when it is missing; false, with the reason told, when it cannot be made.
bool MadeFolder(const std::string& folder, std::ostream& err) {
  auto made = exporter::EnsureOutputFolder(folder);
  if (!made) Tell(err, exporter::DescribeFolderError(made.error()));
  return static_cast<bool>(made);
}

// The rows done, on one line rewritten in place, when `show`; nothing otherwise.
exporter::ProgressFn TerminalProgress(std::ostream& err, const char* format, bool show) {
  if (!show) return {};
  return [&err, format](std::size_t done, std::size_t total) {
    if (done % 256 == 0 || done == total) err << "\r" << format << " 出力中 " << done << " / " << total << std::flush;
  };
}

int Pcx(const sff::Archive& archive, const std::string& folderArg, std::ostream& out, std::ostream& err,
        const Environment& env) {
  if (!MadeFolder(folderArg, err)) return kExitFailure;
  const bool showProgress = env.progressTerminal && archive.RowCount() >= kProgressMinimumRows;
  const exporter::ProgressFn progress = TerminalProgress(err, "PCX", showProgress);
  const auto result = exporter::ExportAllPcx(text::WithTrailingSeparator(folderArg), archive, progress);
  if (showProgress) err << "\r\033[K" << std::flush;
  if (!result) {
    Tell(err, exporter::DescribeWriteError(result.error()));
    return kExitFailure;
  }
  const int printed = Print(out, err, std::string(exporter::kPcxDone) + "\n");
  if (result->skipped > 0) err << exporter::SkippedRowsLine(result->skipped) << '\n';
  return printed;
}

// As pcx, but a row whose image cannot be decoded is told with its reason and
// left out, the others still written; the command then ends with 1.
int Png(const sff::Archive& archive, const std::string& folderArg, std::ostream& out, std::ostream& err,
        const Environment& env) {
  if (!MadeFolder(folderArg, err)) return kExitFailure;
  const bool showProgress = env.progressTerminal && archive.RowCount() >= kProgressMinimumRows;
  const exporter::ProgressFn progress = TerminalProgress(err, "PNG", showProgress);
  const auto tellUndecodable = [&err, showProgress](const exporter::UndecodableRow& row) {
    if (showProgress) err << "\r\033[K";
    Tell(err, exporter::DescribeUndecodableRow(row.row, row.file, row.error));
  };
  const auto result = exporter::ExportAllPng(text::WithTrailingSeparator(folderArg), archive, progress, tellUndecodable);
  if (showProgress) err << "\r\033[K" << std::flush;
  if (!result) {
    Tell(err, exporter::DescribeWriteError(result.error()));
    return kExitFailure;
  }
  // Rows left out are a failure: nothing on stdout says that all went well.
  const int printed =
      result->undecodable > 0 ? kExitFailure : Print(out, err, std::string(exporter::kPngDone) + "\n");
  if (result->skipped > 0) err << exporter::SkippedRowsLine(result->skipped) << '\n';
  if (result->undecodable > 0) err << exporter::UndecodableRowsLine(result->undecodable) << '\n';
  return printed;
}

int Text(const sff::Archive& archive, const std::string& textPath, std::ostream& out, std::ostream& err,
         const Environment& env) {
  if (auto made = exporter::MakeText(textPath, archive, env.programFolder); !made) {
    Tell(err, exporter::DescribeMakeTextError(made.error()));
    return kExitFailure;
  }
  return Print(out, err, std::string(exporter::kTextDone) + "\n");
}

int UsageError(std::ostream& err, const std::string& what) {
  err << "pelvaro-cli: " << what << "\n" << kUsage;
  return kExitUsage;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Environment& env) {
  bool yes = false;
  bool optionsEnded = false;
  std::vector<std::string> words;
  for (const std::string& a : args) {
    // "-" alone is an ordinary word, as it is for other tools.
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      words.push_back(a);
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--help" || a == "-h") {
      return Print(out, err, kUsage);
    } else if (a == "--version") {
      return Print(out, err, std::string("pelvaro-cli ") + kVersionText + "\n");
    } else if (a == "--yes" || a == "-y") {
      yes = true;
    } else {
      return UsageError(err, "unknown option: " + a);
    }
  }
  if (words.empty()) return UsageError(err, "no command given");
  const std::string& command = words[0];
  const std::size_t needed = command == "list" ? 2 : (command == "pcx" || command == "png" || command == "text") ? 3 : 0;
  if (needed == 0) return UsageError(err, "unknown command: " + command);
  if (words.size() < needed) return UsageError(err, "missing argument for " + command);
  if (words.size() > needed) return UsageError(err, "too many arguments for " + command);

  // A damaged archive may ask for more memory than there is (an image count
  // near the file's size / 32 makes tens of millions of records): that is
  // reported like any other failure, not left to end the program.
  try {
    const auto archive = Load(words[1], yes, err);
    if (!archive) return archive.error();
    if (command == "list") return List(*archive, out, err);
    if (command == "pcx") return Pcx(*archive, words[2], out, err, env);
    if (command == "png") return Png(*archive, words[2], out, err, env);
    return Text(*archive, words[2], out, err, env);
  } catch (const std::exception& e) {
    Tell(err, exporter::DescribeStoppedWork(e));
  }
  return kExitFailure;
}

}  // namespace pelvaro::cli
