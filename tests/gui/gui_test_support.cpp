#include "tests/gui/gui_test_support.h"

#include "tests/support/load_archive.h"

#include "ui/frm_path.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QTest>
#include <QGuiApplication>
#include <QPushButton>
#include <QTreeView>

namespace pelvaro::testing {

Bytes ThreeSpriteArchive() {
  const Palette palette = TestPalette(3);
  SffBuilder b;
  b.Add({.group = 0, .item = 0, .palFlag = 0, .payload = MakePcx(4, 2, PatternPixels(4, 2, 1), &palette)});
  b.Add({.group = 0, .item = 1, .palFlag = 1, .payload = MakePcx(4, 2, PatternPixels(4, 2, 2), nullptr)});
  b.Add({.group = 9000, .item = 0, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 3), &palette)});
  return b.Build();
}

void OpenThroughWindow(app::frmMain& window, ScriptedInteraction& user, TempDir& dir, const std::string& name,
                       const Bytes& bytes, int answer) {
  WriteBytes(dir / name, bytes);
  user.fileAnswers.push_back(Q(dir / name));
  if (answer != 0) user.messageAnswers.push_back(answer);
  window.cmdSffOpen->click();
}

std::vector<std::vector<QString>> ListRows(const app::frmMain& window) {
  const QAbstractItemModel* model = window.lstFiles->model();
  std::vector<std::vector<QString>> rows;
  for (int r = 0; r < model->rowCount(); ++r) {
    std::vector<QString> cells;
    for (int c = 0; c < model->columnCount(); ++c) cells.push_back(model->index(r, c).data().toString());
    rows.push_back(std::move(cells));
  }
  return rows;
}

bool PointerOverridden() { return QGuiApplication::overrideCursor() != nullptr; }

ScriptedInteraction::ModalScript ChooseFolder(const QString& folder) {
  return [folder](QDialog& d) {
    auto& chooser = dynamic_cast<ui::frmPath&>(d);
    chooser.txtPath->setText(folder);
    QTest::mouseClick(chooser.cmdOK, Qt::LeftButton);
  };
}

ScriptedInteraction::ModalScript CancelChooser(QString* seenPath) {
  return [seenPath](QDialog& d) {
    auto& chooser = dynamic_cast<ui::frmPath&>(d);
    if (seenPath) *seenPath = chooser.txtPath->text();
    QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
  };
}

void VerifyOneMessage(const ScriptedInteraction& user, int style, const QString& head) {
  QCOMPARE(user.messages.size(), std::size_t{1});
  QCOMPARE(user.messages[0].style, style);
  QVERIFY2(user.messages[0].text.startsWith(head), qPrintable(user.messages[0].text));
  QVERIFY(!user.messages[0].busy);
  QVERIFY(!PointerOverridden());
}

}  // namespace pelvaro::testing
