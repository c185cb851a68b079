#pragma once

// The output folder chooser: a path box, the directory list and the drive
// selector kept in step, with O K and Cancel. It is created once and only
// hidden afterwards, so it keeps its drive for the rest of the run. A caller
// may hand over a start folder in `p`, shows it modally, then reads `swPath`
// and, when that is true, the chosen folder, which always ends with exactly
// one separator.

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace pelvaro::ui {

class DirectoryList;
class DriveList;

class frmPath : public QDialog {
  Q_OBJECT

 public:
  explicit frmPath(QWidget* parent = nullptr);

  std::optional<std::string> p;  // start folder; none when none is handed over
  bool swPath = false;           // true after O K, false after Cancel

  // The folder in the path box, ending with one separator.
  std::string Folder() const;

 protected:
  void showEvent(QShowEvent* event) override;
  // Esc and the window's close box count as Cancel.
  void reject() override;

 private:
  QLineEdit* txtPath;
  DriveList* drvDrive;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  DirectoryList* dirDir;

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
