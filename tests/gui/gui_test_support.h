#pragma once

// What the GUI tests share: the per-class registry CTest runs by name, a
// scripted user, widgets by objectName, and a window with an archive opened.

#include "app/frm_main.h"
#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"
#include "ui/busy_pointer.h"
#include "ui/interaction.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QTreeView>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelvaro::testing {

// Every test class by name, filled by PELVARO_GUI_TEST before main runs.
inline std::map<std::string, std::function<std::unique_ptr<QObject>()>>& GuiTests() {
  static std::map<std::string, std::function<std::unique_ptr<QObject>()>> tests;
  return tests;
}

// The widget named `name`; a missing one is a broken setup, reported by Qt Test as an exception.
template <class T>
T& Child(const QObject& parent, const char* name) {
  if (T* found = parent.findChild<T*>(QString::fromUtf8(name))) return *found;
  throw std::logic_error(std::string("no widget named ") + name);
}

inline QString LabelText(const QObject& window, const char* name) { return Child<QLabel>(window, name).text(); }

// Stands in for the user: answers dialogs from scripts and records every question.
class ScriptedInteraction final : public ui::Interaction {
 public:
  struct Message {
    QString text;
    ui::MsgStyle style;
    bool busy;     // the busy pointer was up while the box was shown
    int listRows;  // rows in the owning window's sprite list then; -1 without one
  };
  ScriptedInteraction() : scope_(*this) {}

  std::deque<QString> fileAnswers;                         // paths chosen; with none left, Cancel
  std::deque<ui::Answer> messageAnswers;                   // Yes/No boxes only; an OK box takes none
  std::deque<std::function<void(QDialog&)>> modalScripts;  // each drives one modal showing
  std::vector<ui::FileDialogRequest> fileDialogs;
  std::vector<Message> messages;
  int unscripted = 0;  // questions nobody scripted an answer for

  std::optional<QString> RunFileDialog(QWidget*, const ui::FileDialogRequest& request) override {
    fileDialogs.push_back(request);
    if (fileAnswers.empty()) return ++unscripted, std::nullopt;
    const QString path = fileAnswers.front();
    return fileAnswers.pop_front(), path;
  }

  ui::Answer RunMessageBox(QWidget* parent, const QString& text, ui::MsgStyle style) override {
    // ui::MsgBox puts the arrow over the box; the command's own state is what counts.
    const auto* list = parent ? parent->findChild<QTreeView*>(QStringLiteral("lstFiles")) : nullptr;
    messages.push_back({text, style, ui::BusyPointer::Active(), list ? list->model()->rowCount() : -1});
    if (style != ui::MsgStyle::kYesNoQuestion && style != ui::MsgStyle::kYesNoStopDefaultNo) return ui::Answer::kOk;
    if (messageAnswers.empty()) return ++unscripted, ui::Answer::kNo;
    const ui::Answer answer = messageAnswers.front();
    return messageAnswers.pop_front(), answer;
  }

  // Really shown, so its show handlers run; a showing ends when the dialog is hidden.
  void RunModal(QDialog& dialog) override {
    dialog.show();
    if (!modalScripts.empty()) modalScripts.front()(dialog), modalScripts.pop_front();
    if (dialog.isVisible()) ++unscripted, dialog.hide();
  }

  void EndProgram() override { ++unscripted; }  // no test here asks the program to end

 private:
  ui::ScopedInteraction scope_;
};

inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

inline void Click(const QObject& window, const char* button) {
  QTest::mouseClick(&Child<QAbstractButton>(window, button), Qt::LeftButton);
}

// Writes `bytes` as `name` into `dir` and opens it with the Open command.
inline void OpenThroughWindow(app::frmMain& window, ScriptedInteraction& user, TempDir& dir, const std::string& name,
                              const Bytes& bytes) {
  WriteBytes(dir / name, bytes);
  user.fileAnswers.push_back(Q(dir / name));
  Click(window, "cmdSffOpen");
}

// USER.sff opened: three sprites in shared palette mode, listed as 9000/0 (own palette), 0/0, 0/1.
struct OpenedWindow {
  OpenedWindow() {
    const Palette palette = TestPalette(3);
    SffBuilder b;
    b.Add({.group = 0, .item = 0, .payload = MakePcx(4, 2, PatternPixels(4, 2, 1), &palette)})
        .Add({.group = 0, .item = 1, .palFlag = 1, .payload = MakePcx(4, 2, PatternPixels(4, 2, 2), nullptr)})
        .Add({.group = 9000, .item = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 3), &palette)});
    OpenThroughWindow(window, user, dir, "USER.sff", b.Build());
  }
  ScriptedInteraction user;
  TempDir dir, out;
  app::frmMain window;
};

// The only message is `text` with `style`; only Open's refusals come under the busy pointer.
inline void VerifyOneMessage(const ScriptedInteraction& user, ui::MsgStyle style, const QString& text,
                             bool busyWhileShown = false) {
  QCOMPARE(user.messages.size(), std::size_t{1});
  QCOMPARE(user.messages[0].text, text);
  QCOMPARE(user.messages[0].style, style);
  QCOMPARE(user.messages[0].busy, busyWhileShown);
  QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

}  // namespace pelvaro::testing

#define PELVARO_GUI_TEST(Class)      \
  static const bool Class##Registered = \
      (::pelvaro::testing::GuiTests()[#Class] = [] { return std::unique_ptr<QObject>(new Class); }, true)
