#pragma once

// What the GUI tests share: archives on disk, a main window with an archive
// opened through its own Open command, and small readers of its state.

#include "app/frm_main.h"
#include "tests/gui/scripted_interaction.h"
#include "tests/support/sff_builder.h"
#include "tests/support/temp_dir.h"

#include <QLabel>
#include <QString>

#include <string>
#include <string_view>

namespace pelvaro::testing {

inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Three sprites in shared palette mode: 9000/0 (own palette), 0/0, 0/1.
Bytes ThreeSpriteArchive();

// Writes `bytes` as `name` into `dir` and opens it with the Open command,
// answering the palette question (if one comes) with `answer`.
void OpenThroughWindow(app::frmMain& window, ScriptedInteraction& user, TempDir& dir, const std::string& name,
                       const Bytes& bytes, int answer = 0);

// The texts of the list's visible rows as the view's model gives them.
std::vector<std::vector<QString>> ListRows(const app::frmMain& window);

// Whether any window pointer override is still up.
bool PointerOverridden();

// A main window with an archive opened through its Open command, the scripted
// user, and an empty folder for output.
struct OpenedWindow {
  explicit OpenedWindow(const Bytes& bytes = ThreeSpriteArchive(), const std::string& name = "USER.sff") {
    OpenThroughWindow(window, user, dir, name, bytes);
  }
  ScriptedInteraction user;
  TempDir dir, out;
  app::frmMain window;
};

// Folder chooser scripts: type `folder` and press O K, or press Cancel
// (noting the path box first).
ScriptedInteraction::ModalScript ChooseFolder(const QString& folder);
inline ScriptedInteraction::ModalScript ChooseFolder(const std::string& folder) { return ChooseFolder(Q(folder)); }
ScriptedInteraction::ModalScript CancelChooser(QString* seenPath = nullptr);

// The only message shown: `style`, text starting with `head`, with the
// pointer back to normal before and after it.
void VerifyOneMessage(const ScriptedInteraction& user, int style, const QString& head);

}  // namespace pelvaro::testing
