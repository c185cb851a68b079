#pragma once

// The sprite viewer: one modeless window beside the main window that shows
// the sprite of the list's current row and follows it. Up and Down step the
// list's current row from here too (through onStep), so list and viewer never
// disagree. The picture is drawn at an integer zoom, fitted to the window
// until +, -, 1:1 or Ctrl+wheel pick one; index 0 over a checkerboard and the
// axis as a crosshair, each with a toggle; the 256 colours beside it; a status
// line under it. A row that cannot be decoded, or has no image, shows why in
// place of the picture: no message box interrupts stepping through an archive.
// Save as PNG writes what the PNG export would write for the row; Copy puts
// the same picture on the clipboard.

#include "commands/viewed_sprite.h"
#include "sff/archive.h"
#include "ui/common_dialog.h"

#include <QWidget>

#include <cstddef>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;

namespace pelvaro::app {

class PaletteGrid;
class SpriteCanvas;

class SpriteViewer final : public QWidget {
  Q_OBJECT

 public:
  explicit SpriteViewer(QWidget* owner);

  // Shows display row `row` of `archive`; with no archive or no row, that there is nothing to show.
  void ShowRow(const sff::Archive* archive, std::optional<std::size_t> row);

  // Asked to move the list's current row by -1 or +1 (Up and Down in the viewer).
  std::function<void(int delta)> onStep;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ShowSprite();
  void ShowMessage(const std::vector<std::string>& lines);

  // Fit mode follows the window's size; any other zoom stays as picked.
  void Fit();
  void ZoomTo(int zoom);
  void ZoomIn();
  void ZoomOut();
  void ShowZoom();

  void ShowPixel(std::optional<QPoint> pixel);
  void ShowColour(std::optional<int> index);

  void SavePng();
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

  ui::CommonDialog cdlSave;
  std::optional<commands::ViewedSprite> shown_;
  bool fit_ = true;
};

}  // namespace pelvaro::app
