#include "cli/cli.h"

#include "export/definition_text.h"
#include "export/pcx_export.h"
#include "export/system_reason.h"
#include "pelvaro_version.h"
#include "sff/load_sff.h"
#include "sff/message_box.h"
#include "text/native_path.h"

#include <exception>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace pelvaro::cli {
namespace {

constexpr const char* kUsage =
    "Usage: pelvaro-cli [--yes] list ARCHIVE\n"
    "       pelvaro-cli [--yes] pcx ARCHIVE FOLDER\n"
    "       pelvaro-cli [--yes] text ARCHIVE TEXTFILE\n"
    "       pelvaro-cli --help | --version\n"
    "\n"
    "  list   print the sprite table, tab-separated, in display order\n"
    "  pcx    write every sprite as a PCX file into FOLDER (created when missing)\n"
    "  text   write the definition text TEXTFILE and the build batch file beside it\n"
    "  --yes  go on with an archive that is not in shared palette mode\n";

constexpr int kProgressMinimumRows = 1000;

// Messages are written with CR LF for the message boxes; a terminal wants LF.
std::string ForTerminal(const std::string& message) {
  std::string out;
  out.reserve(message.size() + 1);
  for (char c : message)
    if (c != '\r') out.push_back(c);
  out.push_back('\n');
  return out;
}

// The loader's window, as far as a command line has one.
class ConsoleView final : public sff::LoaderView {
 public:
  ConsoleView(std::string archiveName, bool answerYes, std::ostream& err)
      : sffName_(std::move(archiveName)), answerYes_(answerYes), err_(err) {}

  std::string SffNameText() const override { return sffName_; }
  void SetSffNameText(const std::string& text) override { sffName_ = text; }
  void SetImageText(const std::string&) override {}
  sff::SpriteTable& Table() override { return table_; }
  int MsgBox(const std::string& text, int style) override {
    if (style == mb::kYesNoStopDefaultNo) {
      if (answerYes_) return mb::kAnswerYes;
      err_ << ForTerminal(text);
      return mb::kAnswerNo;
    }
    err_ << ForTerminal(text);
    return mb::kAnswerOk;
  }

  const std::string& sffName() const { return sffName_; }

 private:
  std::string sffName_;
  bool answerYes_;
  std::ostream& err_;
  sff::SpriteTable table_;
};

struct Loaded {
  sff::SffState state;
  std::unique_ptr<ConsoleView> view;
};

// Loads the archive; returns the exit code when it did not load.
int Load(const std::string& archive, bool yes, std::ostream& err, Loaded& loaded) {
  loaded.view = std::make_unique<ConsoleView>(text::GetFileName(archive), yes, err);
  const auto outcome = sff::LoadSff(archive, loaded.state, *loaded.view);
  switch (outcome.status) {
    case sff::LoadStatus::kLoaded: return kExitOk;
    case sff::LoadStatus::kDeclined: return kExitDeclined;
    case sff::LoadStatus::kRefused: return kExitFailure;
  }
  return kExitFailure;
}

int List(const Loaded& loaded, std::ostream& out) {
  const sff::SpriteTable& table = loaded.view->Table();
  std::string text;
  text.reserve(static_cast<std::size_t>(table.Count()) * 48 + 64);
  for (int c = 0; c < sff::SpriteTable::kColumnCount; ++c) {
    if (c) text += '\t';
    text += sff::SpriteTable::Captions()[static_cast<std::size_t>(c)];
  }
  text += '\n';
  for (int row = 1; row <= table.Count(); ++row) {
    const auto cells = table.RowAt(row);
    for (int c = 0; c < sff::SpriteTable::kColumnCount; ++c) {
      if (c) text += '\t';
      text += cells[c];
    }
    text += '\n';
  }
  out << text;
  out.flush();
  return out ? kExitOk : kExitFailure;
}

int Pcx(const Loaded& loaded, const std::string& folderArg, std::ostream& out, std::ostream& err,
        const Environment& env) {
  std::error_code ec;
  const auto nativeFolder = std::filesystem::path(text::ToNativePath(folderArg));
  if (!std::filesystem::is_directory(nativeFolder, ec)) {
    std::filesystem::create_directories(nativeFolder, ec);
    if (ec) {
      err << ForTerminal("出力フォルダを作成できません。\r\n" + folderArg + "\r\n" + exporter::SystemReason(ec));
      return kExitFailure;
    }
  }
  const std::string folder = text::WithTrailingSeparator(folderArg);
  const sff::SpriteTable& table = loaded.view->Table();
  const bool showProgress = env.progressTerminal && table.Count() >= kProgressMinimumRows;
  exporter::ProgressFn progress;
  if (showProgress) {
    progress = [&err](int done, int total) {
      if (done % 256 == 0 || done == total) err << "\rPCX 出力中 " << done << " / " << total << std::flush;
    };
  }
  const auto result = exporter::ExportAllPcx(folder, loaded.state, table, progress);
  if (showProgress) err << "\r\033[K" << std::flush;
  if (result.error) {
    err << ForTerminal(result.error->message);
    return kExitFailure;
  }
  out << "全PCXが出力されました。\n";
  if (result.skipped > 0) err << ForTerminal(exporter::SkippedRowsMessage(result.skipped));
  return kExitOk;
}

int Text(const Loaded& loaded, const std::string& textPath, std::ostream& out, std::ostream& err,
         const Environment& env) {
  if (auto error = exporter::MakeText(textPath, loaded.view->sffName(), loaded.state, loaded.view->Table(),
                                      env.programFolder)) {
    err << ForTerminal(error->message);
    return kExitFailure;
  }
  out << "SFF 作成用テキストファイル、及びバッチファイルが出力されました。\n";
  return kExitOk;
}

int UsageError(std::ostream& err, const std::string& what) {
  err << "pelvaro-cli: " << what << "\n" << kUsage;
  return kExitUsage;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Environment& env) {
  bool yes = false;
  std::vector<std::string> words;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      out << kUsage;
      return kExitOk;
    }
    if (a == "--version") {
      out << "pelvaro-cli " << kVersionText << "\n";
      return kExitOk;
    }
    if (a == "--yes" || a == "-y") {
      yes = true;
    } else if (a.size() > 1 && a[0] == '-' && words.empty()) {
      return UsageError(err, "unknown option: " + a);
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) return UsageError(err, "no command given");
  const std::string& command = words[0];
  const std::size_t needed = command == "list" ? 2 : (command == "pcx" || command == "text") ? 3 : 0;
  if (needed == 0) return UsageError(err, "unknown command: " + command);
  if (words.size() < needed) return UsageError(err, "missing argument for " + command);
  if (words.size() > needed) return UsageError(err, "too many arguments for " + command);

  // A damaged archive may ask for more memory than there is (an image count
  // near the file's size / 32 makes tens of millions of records): that is
  // reported like any other failure, not left to end the program.
  try {
    Loaded loaded;
    if (const int code = Load(words[1], yes, err, loaded); code != kExitOk) return code;
    if (command == "list") return List(loaded, out);
    if (command == "pcx") return Pcx(loaded, words[2], out, err, env);
    return Text(loaded, words[2], out, err, env);
  } catch (const std::exception& e) {
    err << sff::StoppedWorkMessage(e, "\n") << "\n";
  }
  return kExitFailure;
}

}  // namespace pelvaro::cli
