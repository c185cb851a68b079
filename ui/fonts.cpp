#include "ui/fonts.h"

#include <QStringList>

namespace pelvaro::ui {

void InstallFontSubstitutes() {
#ifndef Q_OS_WIN
  // Both spellings of each name: the full-width one the windows use and the
  // ASCII one a Japanese system also knows.
  const QStringList proportional{QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")};
  const QStringList fixed{QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")};
  QFont::insertSubstitutions(QString::fromUtf8(kMsPGothic), proportional);
  QFont::insertSubstitutions(QStringLiteral("MS PGothic"), proportional);
  QFont::insertSubstitutions(QString::fromUtf8(kMsGothic), fixed);
  QFont::insertSubstitutions(QStringLiteral("MS Gothic"), fixed);
  QFont::insertSubstitution(QString::fromUtf8(kArial), QStringLiteral("Liberation Sans"));
#endif
}

QFont WindowFont(const char* family, double pointSize) {
  QFont font(QString::fromUtf8(family));
  font.setPointSizeF(pointSize);
  return font;
}

}  // namespace pelvaro::ui
