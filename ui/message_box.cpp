#include "ui/message_box.h"

#include "sff/message_box.h"
#include "ui/busy_pointer.h"
#include "ui/interaction.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace pelvaro::ui {
namespace {

constexpr int kButtonsMask = 0x0F;
constexpr int kIconMask = 0xF0;
constexpr int kDefaultMask = 0xF00;
constexpr int kIconWarning = 48;

QMessageBox::Icon IconOf(int style) {
  switch (style & kIconMask) {
    case mb::kIconStop: return QMessageBox::Critical;
    case mb::kIconQuestion: return QMessageBox::Question;
    case kIconWarning: return QMessageBox::Warning;
    case mb::kIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& text, int style) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromUtf8(kAppTitle));
  box->setTextFormat(Qt::PlainText);
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box->setText(shown);
  box->setIcon(IconOf(style));
  const bool yesNo = (style & kButtonsMask) == mb::kYesNo;
  if (yesNo) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton((style & kDefaultMask) == mb::kDefaultButton2 ? QMessageBox::No : QMessageBox::Yes);
    // A question has no Cancel; Esc and the close box give the safe answer.
    box->setEscapeButton(QMessageBox::No);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
  }
  return box;
}

int AnswerOf(const QMessageBox& box) {
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return mb::kAnswerYes;
    case QMessageBox::No: return mb::kAnswerNo;
    default: return mb::kAnswerOk;
  }
}

int MsgBox(QWidget* parent, const std::string& text, int style) {
  const ArrowWhileAsking arrow;
  return CurrentInteraction().RunMessageBox(parent, QString::fromStdString(text), style);
}

}  // namespace pelvaro::ui
