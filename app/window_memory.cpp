#include "app/window_memory.h"

#include "commands/window_place.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <vector>

namespace pelvaro::app {
namespace {

QSettings Settings() { return QSettings(QStringLiteral("Pelvaro"), QStringLiteral("pelvaro")); }

commands::ScreenRect ToScreenRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

QString SettingName(const char* key) { return QString::fromUtf8(key) + QStringLiteral("/geometry"); }

}  // namespace

void RestoreOrPlaceBeside(QWidget& window, const QWidget& owner, const char* key) {
  const QRect saved = Settings().value(SettingName(key)).toRect();
  std::vector<commands::ScreenRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(ToScreenRect(screen->availableGeometry()));
  if (const auto place = commands::RestoredPlace(ToScreenRect(saved), screens)) {
    window.setGeometry(place->x, place->y, place->width, place->height);
    return;
  }
  const QScreen* screen = owner.screen() ? owner.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // The frame's own width and height around the client area, as far as the
  // window system tells them before the first showing.
  const QRect frame = window.frameGeometry();
  const int frameWidth = frame.width() - window.width();
  const int frameHeight = frame.height() - window.height();
  const commands::ScreenRect place =
      commands::PlaceBeside(ToScreenRect(owner.frameGeometry()), window.width() + frameWidth,
                            window.height() + frameHeight, ToScreenRect(screen->availableGeometry()));
  window.resize(place.width - frameWidth, place.height - frameHeight);
  window.move(place.x, place.y);
}

void RememberPlace(const QWidget& window, const char* key) {
  Settings().setValue(SettingName(key), window.geometry());
}

}  // namespace pelvaro::app
