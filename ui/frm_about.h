#pragma once

// The About box: the product title and the version of this build, the
// program's icon and a one-line notice. Created for each showing and
// destroyed when closed. Its widgets carry their names as objectNames
// (pctIcon, lblAppName, lblVer, Label2, cmdOK), so tests find them.

#include "commands/desk.h"

#include <QDialog>
#include <QString>

class QIcon;
class QLabel;
class QPushButton;

namespace pelvaro::ui {

class frmAbout : public QDialog {
 public:
  frmAbout(const QIcon& icon, const commands::AboutTexts& texts, QWidget* parent = nullptr);

 private:
  QLabel* pctIcon;
  QLabel* lblAppName;
  QLabel* lblVer;
  QLabel* Label2;
  QPushButton* cmdOK;

  void Form_Load(const commands::AboutTexts& texts);
  void cmdOK_Click();
};

}  // namespace pelvaro::ui
