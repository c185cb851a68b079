#include "ui/frm_about.h"

#include "ui/fonts.h"
#include "ui/twips.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace pelvaro::ui {

frmAbout::frmAbout(const QIcon& icon, const commands::AboutTexts& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(TwipsSize(5910, 1215));
  setFont(WindowFont(kArial, 9));
  setWindowIcon(icon);

  pctIcon = new QLabel(this);
  pctIcon->setGeometry(TwipsRect(120, 120, 720, 720));
  pctIcon->setPixmap(icon.pixmap(QSize(48, 48)));
  lblAppName = new QLabel(this);
  lblAppName->setGeometry(TwipsRect(960, 240, 3255, 240));
  lblVer = new QLabel(this);
  lblVer->setGeometry(TwipsRect(4320, 240, 1335, 240));
  Label2 = new QLabel(this);
  Label2->setGeometry(TwipsRect(960, 600, 2895, 240));
  Label2->setFont(WindowFont(kMsPGothic, 9));
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setGeometry(TwipsRect(4560, 720, 1095, 375));
  cmdOK->setDefault(true);
  cmdOK->setFocus();
  pctIcon->setObjectName(QStringLiteral("pctIcon"));
  lblAppName->setObjectName(QStringLiteral("lblAppName"));
  lblVer->setObjectName(QStringLiteral("lblVer"));
  Label2->setObjectName(QStringLiteral("Label2"));
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

  Form_Load(texts);
}

void frmAbout::Form_Load(const commands::AboutTexts& texts) {
  lblVer->setText(QString::fromStdString(texts.version));
  lblAppName->setText(QString::fromStdString(texts.productName));
  Label2->setText(QString::fromStdString(texts.notice));
  setWindowTitle(QString::fromStdString(texts.caption));
  // The icon sits on the window's own colour.
  pctIcon->setAutoFillBackground(true);
  pctIcon->setBackgroundRole(QPalette::Window);
}

void frmAbout::cmdOK_Click() { close(); }

}  // namespace pelvaro::ui
