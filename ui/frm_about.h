#pragma once

// The About box: the product title and the version of this build, the
// program's icon and a one-line notice. Created for each showing and
// destroyed when closed. Its widgets carry their names as objectNames
// (pctIcon, lblAppName, lblVer, Label2, cmdOK), so tests find them.

#include <QDialog>
#include <QString>

class QIcon;
class QLabel;
class QPushButton;

namespace pelvaro::ui {

class frmAbout : public QDialog {
 public:
  explicit frmAbout(const QIcon& icon, QWidget* parent = nullptr);

  // "Version 0.11β" for 0, 1, 1: no separator between minor and revision.
  static QString VersionText(int major, int minor, int revision);

 private:
  QLabel* pctIcon;
  QLabel* lblAppName;
  QLabel* lblVer;
  QLabel* Label2;
  QPushButton* cmdOK;

  void Form_Load();
  void cmdOK_Click();
};

}  // namespace pelvaro::ui
