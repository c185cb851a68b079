#pragma once

// The sprite viewer and browser: one modeless, resizable window beside the
// main window that shows the sprite of the list's current row and follows it,
// with the browser (app/browser_panel.h) to find, select and export rows. It draws the viewer's
// state (commands/viewer_state.h) and forwards its input to the commands. Up
// and Down, PageUp and PageDown, Home and End step the list's current row
// from here too, so list and viewer never disagree. The picture is drawn at an integer zoom, fitted to the window
// until +, -, 1:1 or Ctrl+wheel pick one; index 0 over a checkerboard and the
// axis as a crosshair, each with a toggle; the 256 colours beside it; a status
// line under it. A row that cannot be decoded, or has no image, shows why in
// place of the picture: no message box interrupts stepping through an archive.
// Save as PNG writes what the PNG export would write for the row; Copy puts
// the same picture on the clipboard.

#include "commands/main_commands.h"
#include "commands/viewer_state.h"

#include <QWidget>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;

namespace pelvaro::app {

class BrowserPanel;
class PaletteGrid;
class SpriteCanvas;

class SpriteViewer final : public QWidget {
  Q_OBJECT

 public:
  SpriteViewer(QWidget* owner, commands::MainCommands& commands);

  // Draws `viewer`; the picture is taken anew only when another sprite came on show.
  void Draw(const commands::ViewerState& viewer);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildControls();
  void ShowMessage(const std::vector<std::string>& lines);
  // Runs `change` on the viewer's state, then draws it.
  template <class Edit>
  void Update(Edit edit);
  // Rows one page of the list holds, for PageUp and PageDown.
  std::ptrdiff_t PageRows() const;

  void Copy();

  QToolButton* cmdZoomOut;
  QToolButton* cmdZoomIn;
  QToolButton* cmdActualSize;
  QToolButton* cmdFitWindow;
  QLabel* lblZoom;
  QCheckBox* chkTransparent;
  QCheckBox* chkAxis;
  QPushButton* cmdCopy;
  QPushButton* cmdSavePng;
  QStackedWidget* stkPicture;
  QScrollArea* scrSprite;
  SpriteCanvas* picSprite;
  QLabel* lblMessage;
  PaletteGrid* picPalette;
  QLabel* lblHover;
  QLabel* lblStatus;
  BrowserPanel* panBrowser;

  commands::MainCommands& commands_;
  std::optional<std::size_t> drawn_;  // the viewer state's showing() last drawn
};

}  // namespace pelvaro::app
