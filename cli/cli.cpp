#include "cli/cli.h"

#include "commands/desk.h"
#include "commands/export_steps.h"
#include "export/messages.h"
#include "pelvaro_version.h"
#include "platform/system_reason.h"
#include "sff/sprite_rows.h"

#include <cerrno>
#include <exception>
#include <memory>
#include <optional>
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
  if (error != EPIPE) Tell(err, exporter::DescribeStdoutError(platform::SystemReason(error)));
  return kExitFailure;
}

// The terminal as the commands' desk: the palette question is answered by
// --yes (and told when it is not given), progress is one line rewritten in
// place on a terminal that can, and the window's other requests never come.
class TerminalDesk final : public commands::Desk {
 public:
  TerminalDesk(std::ostream& err, bool yes, bool progressTerminal)
      : err_(err), yes_(yes), progressTerminal_(progressTerminal) {}

  // Whether the progress line is on the terminal now.
  bool progressShowing() const { return progressShowing_; }

  commands::Answer Ask(const commands::Lines& message, commands::MsgStyle style) override {
    if (style != commands::MsgStyle::kYesNoStopDefaultNo) {
      Tell(err_, message);
      return commands::Answer::kOk;
    }
    if (!yes_) Tell(err_, message);
    return yes_ ? commands::Answer::kYes : commands::Answer::kNo;
  }
  std::optional<std::string> ChooseFile(const commands::FileRequest&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(const std::optional<std::string>&) override { return std::nullopt; }
  std::unique_ptr<commands::Progress> ShowProgress(const commands::ProgressRequest& request) override {
    if (!progressTerminal_ || request.total < kProgressMinimumRows) return nullptr;
    return std::make_unique<Line>(*this, request.kind == commands::ProgressKind::kPcx ? "PCX" : "PNG");
  }
  void SetBusy(bool) override {}
  void ShowSffName(const std::string&) override {}
  void ShowArchive(const sff::Archive*, const std::string&) override {}
  void SelectRow(std::size_t) override {}
  void ShowViewer(const commands::ViewerState&) override {}
  void ShowAbout(const commands::AboutTexts&) override {}
  void EndProgram() override {}

 private:
  // The rows done, on one line rewritten in place; the line is wiped when the work ends.
  class Line final : public commands::Progress {
   public:
    Line(TerminalDesk& desk, const char* format) : desk_(desk), format_(format) { desk_.progressShowing_ = true; }
    ~Line() override {
      desk_.err_ << "\r\033[K" << std::flush;
      desk_.progressShowing_ = false;
    }
    bool Step(std::size_t done, std::size_t total) override {
      if (done % 256 == 0 || done == total)
        desk_.err_ << "\r" << format_ << " 出力中 " << done << " / " << total << std::flush;
      return true;
    }

   private:
    TerminalDesk& desk_;
    const char* format_;
  };

  std::ostream& err_;
  bool yes_;
  bool progressTerminal_;
  bool progressShowing_ = false;
};

// Loads the archive, asking the palette question as --yes answers it; the
// exit code when it did not load.
Result<sff::Archive, int> Load(commands::Desk& desk, const std::string& path, std::ostream& err) {
  auto loaded = commands::LoadArchive(desk, path);
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

// pcx and png: the rows into the folder, the folder made when missing. A PNG
// row whose image cannot be decoded is told with its reason and left out, the
// others still written; the command then ends with 1, and nothing on stdout
// says that all went well.
int Export(TerminalDesk& desk, const sff::Archive& archive, commands::ImageFormat format, const std::string& folder,
           std::ostream& out, std::ostream& err) {
  commands::ExportRequest request;
  request.format = format;
  request.folder = folder;
  request.onUndecodable = [&err, &desk](const exporter::UndecodableRow& row) {
    if (desk.progressShowing()) err << "\r\033[K";
    Tell(err, exporter::DescribeUndecodableRow(row.row, row.file, row.error));
  };
  const commands::ExportOutcome outcome = commands::ExportRows(desk, archive, request);
  if (outcome.failed()) {
    Tell(err, commands::OutcomeMessage(outcome, format));
    return kExitFailure;
  }
  const exporter::ExportSummary& s = outcome.summary;
  const char* done = format == commands::ImageFormat::kPcx ? exporter::kPcxDone : exporter::kPngDone;
  const int printed = s.undecodable > 0 ? kExitFailure : Print(out, err, std::string(done) + "\n");
  if (s.skipped > 0) err << exporter::SkippedRowsLine(s.skipped) << '\n';
  if (s.undecodable > 0) err << exporter::UndecodableRowsLine(s.undecodable) << '\n';
  return printed;
}

int Text(commands::Desk& desk, const sff::Archive& archive, const std::string& textPath, std::ostream& out,
         std::ostream& err, const Environment& env) {
  if (auto made = commands::WriteTextFiles(desk, textPath, archive, env.programFolder); !made) {
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
    TerminalDesk desk(err, yes, env.progressTerminal);
    const auto archive = Load(desk, words[1], err);
    if (!archive) return archive.error();
    if (command == "list") return List(*archive, out, err);
    if (command == "pcx") return Export(desk, *archive, commands::ImageFormat::kPcx, words[2], out, err);
    if (command == "png") return Export(desk, *archive, commands::ImageFormat::kPng, words[2], out, err);
    return Text(desk, *archive, words[2], out, err, env);
  } catch (const std::exception& e) {
    Tell(err, exporter::DescribeStoppedWork(e));
  }
  return kExitFailure;
}

}  // namespace pelvaro::cli
