// The folder chooser on its own: O K and Cancel.

#include "tests/gui/gui_test_support.h"


using namespace pelvaro;
using namespace pelvaro::testing;


class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // A typed folder is taken as it is, even one that does not exist yet.
  void okReturnsTheTypedFolderAndEscReturnsNothing() {
    TempDir dir;
    ui::frmPath chooser;
    chooser.show();
    const QString typed = QDir::toNativeSeparators(Q(dir / "not/there/"));
    Child<QLineEdit>(chooser, "txtPath").setText(typed);
    Click(chooser, "cmdOK");
    QVERIFY(chooser.swPath);
    QVERIFY(!chooser.isVisible());
    QCOMPARE(Q(chooser.Folder()), typed);

    chooser.show();
    QTest::keyClick(&chooser, Qt::Key_Escape);
    QVERIFY(!chooser.swPath);
    QVERIFY(!chooser.isVisible());
  }

};

PELVARO_GUI_TEST(DialogsTest);

#include "dialogs_test.moc"
