#include "app/window_memory.h"

#include "commands/window_place.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <QWindow>

#include <algorithm>
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
  // The frame around the client area, as the window system tells it once the
  // window exists; before that it would count as nothing.
  window.winId();
  const QMargins margins = window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
  const int frameWidth = std::max(0, margins.left() + margins.right());
  const int frameHeight = std::max(0, margins.top() + margins.bottom());
  const commands::ScreenRect place =
      commands::PlaceBeside(ToScreenRect(owner.frameGeometry()), window.width() + frameWidth,
                            window.height() + frameHeight, ToScreenRect(screen->availableGeometry()));
  window.resize(place.width - frameWidth, place.height - frameHeight);
  window.move(place.x, place.y);  // a widget's position is that of its frame
}

void RememberPlace(const QWidget& window, const char* key) {
  Settings().setValue(SettingName(key), window.geometry());
}

}  // namespace pelvaro::app
