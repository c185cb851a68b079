#pragma once

// The output folder chooser: a path box, the directory list and the drive
// selector kept in step, with O K and Cancel. It is created once and only
// hidden afterwards, so it keeps its drive for the rest of the run. A caller
// may hand over a start folder in `p`, shows it modally, then reads `swPath`
// and, when that is True, the folder in `txtPath`, which always ends with
// exactly one separator.

#include "text/ansi_text.h"

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QPushButton;

namespace pelvaro::ui {

class DirectoryList;
class DriveList;

class frmPath : public QDialog {
  Q_OBJECT

 public:
  static constexpr std::int16_t kTrue = -1;
  static constexpr std::int16_t kFalse = 0;

  explicit frmPath(QWidget* parent = nullptr);

  text::Value p;                 // start folder; null when none is handed over
  std::int16_t swPath = kFalse;  // True after O K, False after Cancel

  QLineEdit* txtPath;
  DriveList* drvDrive;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  DirectoryList* dirDir;

 protected:
  void showEvent(QShowEvent* event) override;
  // Esc and the window's close box count as Cancel.
  void reject() override;

 private:
  void Form_Load();
  void Form_Activate();
  void Initialise();
  void CentreOnScreen();

  void drvDrive_Change();
  void dirDir_Change();
  void dirDir_Click();
  void txtPath_Change();
  void cmdOK_Click();
  void cmdCancel_Click();
};

}  // namespace pelvaro::ui
