#pragma once

// Window layouts are drawn in twips, 15 to a pixel at 96 dots per inch. Qt
// works in device-independent pixels of that size and scales them on high-dpi
// screens itself.

#include <QRect>
#include <QSize>

namespace pelvaro::ui {

inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel: 800 twips are 53 pixels, 700 are 47.
constexpr int Px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

constexpr QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

constexpr QSize TwipsSize(int width, int height) { return QSize(Px(width), Px(height)); }

}  // namespace pelvaro::ui
