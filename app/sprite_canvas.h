#pragma once

// The sprite viewer's picture: the sprite at an integer zoom, palette index 0
// over a checkerboard (or in its own colour), the axis as a crosshair through
// the centre of its pixel, and a margin around it all. An axis that lies
// outside the picture but near it is taken into the area shown, so the
// crosshair stays in view; one farther off is left out of it. The canvas fills
// at least the room it is given, the picture in its middle, so that the
// crosshair runs across all of it.

#include "commands/viewer_state.h"
#include "image/indexed_image.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

namespace pelvaro::app {

// The sprite as a Qt image of 8-bit indices with its 256 colours; index 0
// fully transparent when `zeroTransparent`, as in the PNG export.
QImage ToQImage(const image::IndexedImage& sprite, bool zeroTransparent);

class SpriteCanvas final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMargin = commands::kSceneMargin;
  static constexpr int kCheckerSize = 8;  // screen pixels of one checkerboard square
  static constexpr int kMaxZoom = commands::kMaxZoom;
  static constexpr QRgb kBackground = 0xFF808080;  // around the picture
  static constexpr QRgb kCheckerLight = 0xFFFFFFFF;
  static constexpr QRgb kCheckerDark = 0xFFCCCCCC;

  explicit SpriteCanvas(QWidget* parent);

  // The picture (null: none) and its axis; the canvas keeps its own copy.
  void SetSprite(const image::IndexedImage* sprite, QPoint axis);
  void SetZoom(int zoom);
  int zoom() const { return zoom_; }
  void SetTransparencyShown(bool shown);
  void SetAxisShown(bool shown);
  // The least size the canvas takes: the room it is shown in.
  void SetRoom(QSize room);

  // The size of the area shown and its margin at the current zoom.
  QSize ContentSize() const;
  // Where the picture's top-left corner is drawn.
  QPoint PictureOrigin() const;

  // Called with the sprite pixel under the pointer, nothing when it leaves the picture.
  std::function<void(std::optional<QPoint>)> onHover;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // The area shown, in sprite pixels: the picture, and the axis when it is near
  // (commands::SpriteScene, which the zoom that fits is worked out from).
  QRect Scene() const;
  void Relayout();

  // The sprite's indices with its palette; colour 0 without alpha while the
  // transparency is shown. Only the part in view is turned into colours when
  // it is painted, so even the largest picture is never held in colours whole.
  QImage indexed_;
  QPoint axis_;
  QSize room_;
  int zoom_ = 1;
  bool transparencyShown_ = true;
  bool axisShown_ = true;
};

}  // namespace pelvaro::app
