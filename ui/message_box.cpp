#include "ui/message_box.h"

#include "export/messages.h"
#include "ui/busy_pointer.h"
#include "ui/interaction.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace pelvaro::ui {
namespace {

QMessageBox::Icon IconOf(MsgStyle style) {
  switch (style) {
    case MsgStyle::kInformation: return QMessageBox::Information;
    case MsgStyle::kYesNoQuestion: return QMessageBox::Question;
    case MsgStyle::kStop:
    case MsgStyle::kYesNoStopDefaultNo: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

bool AsksYesOrNo(MsgStyle style) {
  return style == MsgStyle::kYesNoStopDefaultNo || style == MsgStyle::kYesNoQuestion;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& text, MsgStyle style) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromUtf8(kAppTitle));
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  box->setIcon(IconOf(style));
  if (AsksYesOrNo(style)) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(style == MsgStyle::kYesNoStopDefaultNo ? QMessageBox::No : QMessageBox::Yes);
    // A question has no Cancel; Esc and the close box give the safe answer.
    box->setEscapeButton(QMessageBox::No);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
  }
  return box;
}

Answer AnswerOf(const QMessageBox& box) {
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return Answer::kYes;
    case QMessageBox::No: return Answer::kNo;
    default: return Answer::kOk;
  }
}

Answer MsgBox(QWidget* parent, const QString& text, MsgStyle style) {
  const ArrowWhileAsking arrow;
  return CurrentInteraction().RunMessageBox(parent, text, style);
}

Answer MsgBox(QWidget* parent, const std::vector<std::string>& lines, MsgStyle style) {
  return MsgBox(parent, QString::fromStdString(exporter::JoinLines(lines, "\n")), style);
}

}  // namespace pelvaro::ui
