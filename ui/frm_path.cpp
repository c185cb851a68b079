#include "ui/frm_path.h"

#include "text/native_path.h"
#include "ui/directory_list.h"
#include "ui/drive_list.h"
#include "ui/fonts.h"
#include "ui/twips.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace pelvaro::ui {
namespace {

const QChar kSeparator = QLatin1Char(text::kPathSeparator);

bool IsSeparator(QChar c) {
  return c.unicode() < 0x80 && text::kPathSeparators.find(static_cast<char>(c.unicode())) != std::string_view::npos;
}

// `value` as text with its leading and trailing blanks removed (blanks only,
// not tabs or line breaks, which a folder name may hold).
QString TrimmedBlanks(const std::string& value) {
  const auto first = value.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = value.find_last_not_of(' ');
  return QString::fromStdString(value.substr(first, last - first + 1));
}

}  // namespace

frmPath::frmPath(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QStringLiteral("ディレクトリの指定"));
  setFixedSize(TwipsSize(3645, 3090));

  const QFont gothic = WindowFont(kMsGothic, 9);
  txtPath = new QLineEdit(QStringLiteral("txtPath"), this);
  txtPath->setGeometry(TwipsRect(120, 120, 3375, 270));
  txtPath->setFont(gothic);
  drvDrive = new DriveList(this);
  drvDrive->setGeometry(TwipsRect(120, 2160, 3315, 300));
  drvDrive->setFont(gothic);
  cmdOK = new QPushButton(QStringLiteral("O K"), this);
  cmdOK->setGeometry(TwipsRect(840, 2640, 1275, 375));
  cmdOK->setFont(WindowFont(kArial, 9));
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setGeometry(TwipsRect(2220, 2640, 1215, 375));
  cmdCancel->setFont(WindowFont(kArial, 9));
  dirDir = new DirectoryList(this);
  dirDir->setGeometry(TwipsRect(120, 540, 3375, 1500));
  dirDir->setFont(gothic);
  txtPath->setObjectName(QStringLiteral("txtPath"));
  drvDrive->setObjectName(QStringLiteral("drvDrive"));
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  dirDir->setObjectName(QStringLiteral("dirDir"));
  setTabOrder(txtPath, drvDrive);
  setTabOrder(drvDrive, cmdOK);
  setTabOrder(cmdOK, cmdCancel);
  setTabOrder(cmdCancel, dirDir);

  connect(txtPath, &QLineEdit::textChanged, this, &frmPath::txtPath_Change);
  connect(drvDrive, &QComboBox::currentIndexChanged, this, &frmPath::drvDrive_Change);
  connect(dirDir, &DirectoryList::Change, this, &frmPath::dirDir_Change);
  connect(dirDir, &DirectoryList::Click, this, &frmPath::dirDir_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmPath::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmPath::cmdCancel_Click);
}

std::string frmPath::Folder() const { return txtPath->text().toStdString(); }

void frmPath::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Form_Activate();
}

void frmPath::reject() { cmdCancel_Click(); }

// Every showing starts afresh: at `p` when it holds a folder, else at the
// selected drive's current folder.
void frmPath::Form_Activate() { Initialise(); }

void frmPath::Initialise() {
  CentreOnScreen();
  const std::string handed = p.value_or(std::string());
  if (!handed.empty()) {
    QString path = TrimmedBlanks(handed);
    // The separator is one ASCII byte, so dropping the last character is the
    // same cut as by bytes, and leaves any character without a code-page form
    // in the folder name as it is.
    if (!path.isEmpty() && IsSeparator(path.back())) path.chop(1);
    txtPath->setText(path);
    drvDrive->SelectDriveHolding(path);
    dirDir->SetPath(path);
  } else {
    dirDir->SetPath(drvDrive->CurrentDirectoryOf(drvDrive->ListIndex()));
    txtPath->setText(dirDir->List(dirDir->ListIndex()));
  }
  // The box comes up with its text selected, so a path typed at once
  // replaces the one shown instead of being added to its end.
  txtPath->setFocus();
  txtPath->selectAll();
}

void frmPath::CentreOnScreen() {
  const QWidget* active = QApplication::activeWindow();
  QScreen* where = active && active != this ? active->screen() : QGuiApplication::primaryScreen();
  if (!where) return;
  const QRect area = where->geometry();
  const QRect frame = frameGeometry();
  move(area.left() + (area.width() - frame.width()) / 2, area.top() + (area.height() - frame.height()) / 2);
}

void frmPath::drvDrive_Change() {
  dirDir->SetPath(drvDrive->CurrentDirectoryOf(drvDrive->ListIndex()));
  txtPath->setText(dirDir->List(dirDir->ListIndex()));
}

void frmPath::dirDir_Change() { txtPath->setText(dirDir->List(dirDir->ListIndex())); }

void frmPath::dirDir_Click() { txtPath->setText(dirDir->List(dirDir->ListIndex())); }

// Keeps exactly one separator at the end of the text, whoever changed it.
// Setting the text runs this again, which then finds nothing to do. The caret
// stays where the user typed, in front of the separator.
void frmPath::txtPath_Change() {
  const QString text = txtPath->text();
  QString fixed = text;
  while (!fixed.isEmpty() && IsSeparator(fixed.back())) fixed.chop(1);
  fixed += kSeparator;
  if (fixed == text) return;
  const int caret = txtPath->cursorPosition();
  txtPath->setText(fixed);
  txtPath->setCursorPosition(std::min(caret, static_cast<int>(fixed.size())));
}

void frmPath::cmdOK_Click() {
  swPath = true;
  hide();
}

void frmPath::cmdCancel_Click() {
  swPath = false;
  hide();
}

}  // namespace pelvaro::ui
