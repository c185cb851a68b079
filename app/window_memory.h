#pragma once

// A window's size and place kept between runs (QSettings), and given back only
// where it is on a screen that exists now; otherwise the window opens beside
// its owner, inside the available area of the owner's screen.

class QWidget;

namespace pelvaro::app {

// Before the window's first showing.
void RestoreOrPlaceBeside(QWidget& window, const QWidget& owner, const char* key);
// When the window is hidden.
void RememberPlace(const QWidget& window, const char* key);

}  // namespace pelvaro::app
