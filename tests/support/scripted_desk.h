#pragma once

// A window for the commands' tests: it answers from a script and records what
// it was told. A question, dialog or chooser that the script has no answer
// for fails the test and is answered as Cancel or No would be, so a command
// that asks one question too many, or one too few, is caught.

#include "commands/desk.h"
#include "commands/viewer_state.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::testing {

class ScriptedDesk final : public commands::Desk {
 public:
  struct Message {
    commands::Lines lines;
    commands::MsgStyle style;
    bool busy;            // the busy pointer was up while it was shown
    std::size_t rows;     // rows on show in the list then
  };

  // Answers to Yes/No questions, in order; an OK box takes none.
  std::deque<commands::Answer> answers;
  // Paths chosen in the file dialogs, in order; nullopt is Cancel.
  std::deque<std::optional<std::string>> files;
  // Folders chosen in the chooser, in order; nullopt is Cancel.
  std::deque<std::optional<std::string>> folders;
  // The user presses Cancel in the progress window once this many steps were shown.
  std::optional<std::size_t> cancelAfterSteps;

  std::vector<Message> messages;
  std::vector<commands::FileRequest> fileRequests;
  std::vector<std::optional<std::string>> chooserStarts;
  std::vector<commands::ProgressRequest> progressShown;
  std::size_t stepsShown = 0;
  std::string sffName;
  std::string imageCount;
  const sff::Archive* shownArchive = nullptr;
  std::vector<std::size_t> selectedRows;
  std::size_t viewerDrawings = 0;
  bool viewerShowing = false;
  std::optional<commands::AboutTexts> about;
  bool ended = false;
  bool busy = false;

  commands::Answer Ask(const commands::Lines& message, commands::MsgStyle style) override {
    messages.push_back({message, style, busy, shownArchive ? shownArchive->RowCount() : 0});
    if (style != commands::MsgStyle::kYesNoQuestion && style != commands::MsgStyle::kYesNoStopDefaultNo)
      return commands::Answer::kOk;
    if (answers.empty()) {
      ADD_FAILURE() << "unscripted question: " << (message.empty() ? "" : message[0]);
      return commands::Answer::kNo;
    }
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::optional<std::string> ChooseFile(const commands::FileRequest& request) override {
    fileRequests.push_back(request);
    return Take(files, "file dialog: " + request.title);
  }

  std::optional<std::string> ChooseFolder(const std::optional<std::string>& start) override {
    chooserStarts.push_back(start);
    return Take(folders, "folder chooser");
  }

  std::unique_ptr<commands::Progress> ShowProgress(const commands::ProgressRequest& request) override {
    EXPECT_TRUE(busy) << "progress shown without the busy pointer";
    progressShown.push_back(request);
    return std::make_unique<ScriptedProgress>(*this);
  }

  void SetBusy(bool on) override {
    EXPECT_NE(busy, on) << "busy pointer set twice";
    busy = on;
  }
  void ShowSffName(const std::string& name) override { sffName = name; }
  void ShowArchive(const sff::Archive* archive, const std::string& count) override {
    shownArchive = archive;
    imageCount = count;
  }
  void SelectRow(std::size_t row) override { selectedRows.push_back(row); }
  void ShowViewer(const commands::ViewerState& viewer) override {
    ++viewerDrawings;
    viewerShowing = viewer.open();
  }
  void ShowAbout(const commands::AboutTexts& texts) override { about = texts; }
  void EndProgram() override { ended = true; }

  // Every scripted answer was taken.
  void ExpectScriptUsed() const {
    EXPECT_TRUE(answers.empty()) << answers.size() << " answers left";
    EXPECT_TRUE(files.empty()) << files.size() << " file answers left";
    EXPECT_TRUE(folders.empty()) << folders.size() << " folder answers left";
  }

 private:
  class ScriptedProgress final : public commands::Progress {
   public:
    explicit ScriptedProgress(ScriptedDesk& desk) : desk_(desk) {}
    bool Step(std::size_t done, std::size_t total) override {
      EXPECT_LE(done, total);
      ++desk_.stepsShown;
      return !desk_.cancelAfterSteps || desk_.stepsShown < *desk_.cancelAfterSteps;
    }

   private:
    ScriptedDesk& desk_;
  };

  static std::optional<std::string> Take(std::deque<std::optional<std::string>>& queue, const std::string& what) {
    if (queue.empty()) {
      ADD_FAILURE() << "unscripted " << what;
      return std::nullopt;
    }
    auto answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace pelvaro::testing
