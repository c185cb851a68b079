#include "cli/cli.h"

#include "cli/list_formats.h"
#include "commands/archive_check.h"
#include "commands/desk.h"
#include "commands/export_steps.h"
#include "commands/row_filter.h"
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

// The filter syntax's words come from kFilterSyntax; the rest is written out.
const std::string kUsage = std::string(
    "Usage: pelvaro-cli [--yes] list ARCHIVE [--format FORMAT]\n"
    "       pelvaro-cli [--yes] pcx ARCHIVE FOLDER [--rows FILTER]\n"
    "       pelvaro-cli [--yes] png ARCHIVE FOLDER [--rows FILTER]\n"
    "       pelvaro-cli [--yes] text ARCHIVE TEXTFILE\n"
    "       pelvaro-cli [--yes] check ARCHIVE [--format FORMAT]\n"
    "       pelvaro-cli --help | --version\n"
    "\n"
    "  list   print the sprite table, tab-separated, in display order\n"
    "  pcx    write every sprite as a PCX file into FOLDER (created when missing)\n"
    "  png    write every sprite as an 8-bit indexed PNG file into FOLDER (created when missing)\n"
    "  text   write the definition text TEXTFILE and the build batch file beside it\n"
    "  check  print what the archive holds that may not come out as listed, one finding a\n"
    "         line; exit 1 when there is any; writes no file\n"
    "  --yes     go on with an archive that is not in shared palette mode\n"
    "  --rows    pcx and png: write only the rows FILTER keeps, the same files as for every\n"
    "            row; FILTER is terms separated by blanks, all of which a row must meet:\n"
    "            ") + commands::kFilterSyntax + "\n"
    "  --format  FORMAT for list: tsv (cells escaped) or json; for check: json\n"
    "  --        end the options, so that a name beginning with \"-\" can follow\n"
    "\n"
    "Options may stand before or after the command. A lone \"-\" is never an option:\n"
    "it is the name of a file called \"-\", not standard input or output.\n";

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

int List(const sff::Archive& archive, OutputFormat format, std::ostream& out, std::ostream& err) {
  std::string text;
  text.reserve(kListPieceBytes + 4096);
  AppendListHeader(text, format);
  for (std::size_t row = 0; row < archive.RowCount(); ++row) {
    AppendListRow(text, archive, row, format);
    if (text.size() >= kListPieceBytes) {
      if (const int code = Print(out, err, text); code != kExitOk) return code;
      text.clear();
    }
  }
  AppendListEnd(text, format);
  return Print(out, err, text);
}

// check: the findings on stdout, then 1 when there were any.
int Check(const sff::Archive& archive, OutputFormat format, std::ostream& out, std::ostream& err) {
  const std::vector<commands::CheckFinding> findings = commands::CheckArchive(archive);
  std::string text;
  for (std::size_t k = 0; k < findings.size(); ++k) {
    AppendFinding(text, findings[k], format, k == 0);
    if (text.size() >= kListPieceBytes) {
      if (const int code = Print(out, err, text); code != kExitOk) return code;
      text.clear();
    }
  }
  AppendFindingsEnd(text, format, !findings.empty());
  if (const int code = Print(out, err, text); code != kExitOk) return code;
  return findings.empty() ? kExitOk : kExitFailure;
}

// pcx and png: the rows into the folder, the folder made when missing. A PNG
// row whose image cannot be decoded is told with its reason and left out, the
// others still written; the command then ends with 1, and nothing on stdout
// says that all went well.
int Export(TerminalDesk& desk, const sff::Archive& archive, commands::ImageFormat format, const std::string& folder,
           const std::optional<commands::RowFilter>& rowFilter, std::ostream& out, std::ostream& err) {
  commands::ExportRequest request;
  request.format = format;
  request.folder = folder;
  std::vector<std::size_t> rows;
  if (rowFilter) {
    commands::DecodeVerdicts verdicts(archive);
    rows = commands::FilterRows(archive, *rowFilter, verdicts);
    request.rows = exporter::RowSelection::Only(rows);
    // As the browser does for an empty selection: nothing to write, no folder made.
    if (rows.empty()) {
      Tell(err, {exporter::kNothingToExport});
      return kExitOk;
    }
  }
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
  // Every row is told as Save All tells it; a part of them as the browser's
  // export of a selection is, with the folder and the files written.
  const char* kind = format == commands::ImageFormat::kPcx ? "PCX" : "PNG";
  const std::string done = rowFilter ? exporter::JoinLines(exporter::ExportDoneLines(kind, outcome.folder, s.written), "\n")
                                     : (format == commands::ImageFormat::kPcx ? exporter::kPcxDone : exporter::kPngDone);
  const int printed = s.undecodable > 0 ? kExitFailure : Print(out, err, done + "\n");
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

// What the command line asks for, once its words are sorted out.
struct Invocation {
  bool yes = false;
  std::vector<std::string> words;  // the command and its arguments
  std::optional<std::string> rows;
  std::optional<std::string> format;
};

// The options that take the next word (or what follows "=") as their value.
std::optional<std::string>* ValueOption(Invocation& call, std::string_view name) {
  if (name == "--rows") return &call.rows;
  if (name == "--format") return &call.format;
  return nullptr;
}

// Sorts the words into options and names; a usage error's text when they cannot be.
Result<Invocation, std::string> ReadArguments(const std::vector<std::string>& args, bool& helpOrVersion,
                                              std::string& information) {
  Invocation call;
  bool optionsEnded = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    // "-" alone is an ordinary word, as it is for other tools.
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      call.words.push_back(a);
      continue;
    }
    const std::size_t equals = a.find('=');
    const std::string_view name = std::string_view(a).substr(0, equals);
    if (auto* value = ValueOption(call, name)) {
      if (equals != std::string::npos) {
        *value = a.substr(equals + 1);
      } else if (k + 1 < args.size()) {
        *value = args[++k];
      } else {
        return Fail("missing value for " + std::string(name));
      }
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--help" || a == "-h") {
      helpOrVersion = true;
      information = kUsage;
      return call;
    } else if (a == "--version") {
      helpOrVersion = true;
      information = std::string("pelvaro-cli ") + kVersionText + "\n";
      return call;
    } else if (a == "--yes" || a == "-y") {
      call.yes = true;
    } else {
      return Fail("unknown option: " + a);
    }
  }
  return call;
}

std::size_t ArgumentsOf(const std::string& command) {
  if (command == "list" || command == "check") return 2;
  if (command == "pcx" || command == "png" || command == "text") return 3;
  return 0;
}

// The usage error in what the command and its options ask, if any.
std::optional<std::string> UsageFault(const Invocation& call) {
  if (call.words.empty()) return "no command given";
  const std::string& command = call.words[0];
  const std::size_t needed = ArgumentsOf(command);
  if (needed == 0) return "unknown command: " + command;
  if (call.words.size() < needed) return "missing argument for " + command;
  if (call.words.size() > needed) return "too many arguments for " + command;
  if (call.rows && command != "pcx" && command != "png") return "--rows is for pcx and png, not " + command;
  if (call.format) {
    const auto format = ParseOutputFormat(*call.format);
    if (command != "list" && command != "check") return "--format is for list and check, not " + command;
    if (!format || (command == "check" && *format != OutputFormat::kJson))
      return "unknown format for " + command + ": " + *call.format;
  }
  return std::nullopt;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Environment& env) {
  bool helpOrVersion = false;
  std::string information;
  const auto read = ReadArguments(args, helpOrVersion, information);
  if (helpOrVersion) return Print(out, err, information);
  if (!read) return UsageError(err, read.error());
  const Invocation& call = *read;
  if (const auto fault = UsageFault(call)) return UsageError(err, *fault);
  const std::string& command = call.words[0];
  const OutputFormat format = call.format ? *ParseOutputFormat(*call.format) : OutputFormat::kPlain;
  // The filter is read before the archive, so that a term it cannot read is
  // told as the usage error it is, whatever the archive.
  std::optional<commands::RowFilter> rowFilter;
  if (call.rows) {
    rowFilter = commands::ParseRowFilter(*call.rows);
    if (!rowFilter->unreadable.empty()) {
      const commands::TextSpan bad = rowFilter->unreadable.front();
      return UsageError(err, "unreadable term in --rows: " + call.rows->substr(bad.begin, bad.end - bad.begin));
    }
  }

  // A damaged archive may ask for more memory than there is (an image count
  // near the file's size / 32 makes tens of millions of records): that is
  // reported like any other failure, not left to end the program.
  try {
    TerminalDesk desk(err, call.yes, env.progressTerminal);
    const auto archive = Load(desk, call.words[1], err);
    if (!archive) return archive.error();
    if (command == "list") return List(*archive, format, out, err);
    if (command == "check") return Check(*archive, format, out, err);
    if (command == "pcx") return Export(desk, *archive, commands::ImageFormat::kPcx, call.words[2], rowFilter, out, err);
    if (command == "png") return Export(desk, *archive, commands::ImageFormat::kPng, call.words[2], rowFilter, out, err);
    return Text(desk, *archive, call.words[2], out, err, env);
  } catch (const std::exception& e) {
    Tell(err, exporter::DescribeStoppedWork(e));
  }
  return kExitFailure;
}

}  // namespace pelvaro::cli
