#include "tests/gui/gui_test_support.h"
#include "tests/support/temp_dir.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char** argv) {
  // The tests need no display; a run from a desktop session stays off screen too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Remembered window places go into a folder of the run's own, never the user's settings.
  const pelvaro::testing::TempDir settings;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(settings.path()));
  QApplication application(argc, argv);
  pelvaro::ui::InstallFontSubstitutes();

  const auto& tests = pelvaro::testing::GuiTests();
  QStringList args = QApplication::arguments();
  const std::string only = args.size() > 1 && tests.count(args[1].toStdString()) ? args.takeAt(1).toStdString() : "";
  int failures = 0;
  for (const auto& [name, make] : tests) {
    if (!only.empty() && name != only) continue;
    // Each suite starts with nothing remembered, so that a place one suite leaves behind cannot shape the next one's
    // windows: a suite run alone and in the whole run see the same sizes.
    QSettings(QStringLiteral("Pelvaro"), QStringLiteral("pelvaro")).clear();
    failures += QTest::qExec(make().get(), args);
  }
  return failures == 0 ? 0 : 1;
}
