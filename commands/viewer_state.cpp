#include "commands/viewer_state.h"

#include "export/messages.h"

#include <algorithm>

namespace pelvaro::commands {

SceneRect SpriteScene(int width, int height, int axisX, int axisY) {
  if (width <= 0 || height <= 0) return {};
  SceneRect scene{0, 0, width, height};
  const bool near = axisX >= -kAxisReach && axisX <= width - 1 + kAxisReach && axisY >= -kAxisReach &&
                    axisY <= height - 1 + kAxisReach;
  if (!near) return scene;
  const int left = std::min(0, axisX);
  const int top = std::min(0, axisY);
  const int right = std::max(width - 1, axisX);
  const int bottom = std::max(height - 1, axisY);
  return {left, top, right - left + 1, bottom - top + 1};
}

int FitZoom(const SceneRect& scene, int roomWidth, int roomHeight) {
  if (scene.width <= 0 || scene.height <= 0) return 1;
  const int across = (roomWidth - 2 * kSceneMargin) / scene.width;
  const int down = (roomHeight - 2 * kSceneMargin) / scene.height;
  return std::clamp(std::min(across, down), 1, kMaxZoom);
}

void ViewerState::Show(const sff::Archive* archive, std::optional<std::size_t> row) {
  if (!archive || !row || *row >= archive->RowCount()) {
    archive_ = archive;
    shown_.reset();
  } else if (archive != archive_ || !shown_ || shown_->row != *row) {
    archive_ = archive;
    shown_ = ViewRow(*archive, *row);
  } else {
    return;
  }
  ++showing_;
  hoverText_.clear();
  marked_.reset();
  note_.clear();
  Refit();
}

void ViewerState::Forget() {
  ++showing_;
  archive_ = nullptr;
  shown_.reset();
  hoverText_.clear();
  marked_.reset();
  note_.clear();
  browser_.Reset(nullptr);
}

const image::IndexedImage* ViewerState::picture() const { return shown_ && shown_->image ? &*shown_->image : nullptr; }

std::string ViewerState::Title() const { return ViewerTitle(shown()); }

std::string ViewerState::Status() const { return shown_ ? StatusLine(*shown_) : std::string(); }

std::vector<std::string> ViewerState::Message() const {
  if (picture()) return {};
  return shown_ ? shown_->message : exporter::NothingToViewLines();
}

std::string ViewerState::ZoomText() const { return std::to_string(zoom_) + " 倍"; }

SceneRect ViewerState::Scene() const {
  const image::IndexedImage* sprite = picture();
  if (!sprite) return {};
  return SpriteScene(sprite->width, sprite->height, shown_->axisX, shown_->axisY);
}

void ViewerState::SetRoom(int width, int height) {
  roomWidth_ = width;
  roomHeight_ = height;
  Refit();
}

void ViewerState::Refit() {
  if (fit_) zoom_ = FitZoom(Scene(), roomWidth_, roomHeight_);
}

void ViewerState::Fit() {
  fit_ = true;
  Refit();
}

void ViewerState::ZoomTo(int zoom) {
  fit_ = false;
  zoom_ = std::clamp(zoom, 1, kMaxZoom);
}

void ViewerState::ZoomIn() {
  const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom_);
  ZoomTo(next == kZoomSteps.end() ? kZoomSteps.back() : *next);
}

void ViewerState::ZoomOut() {
  const auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom_);
  ZoomTo(below == kZoomSteps.begin() ? kZoomSteps.front() : *(below - 1));
}

void ViewerState::HoverPixel(std::optional<std::array<int, 2>> pixel) {
  const image::IndexedImage* sprite = picture();
  if (!pixel || !sprite || (*pixel)[0] < 0 || (*pixel)[1] < 0 || (*pixel)[0] >= sprite->width ||
      (*pixel)[1] >= sprite->height) {
    hoverText_.clear();
    marked_.reset();
    return;
  }
  const int x = (*pixel)[0];
  const int y = (*pixel)[1];
  hoverText_ = PixelText(*sprite, x, y);
  marked_ = sprite->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(sprite->width) +
                           static_cast<std::size_t>(x)];
}

void ViewerState::HoverColour(std::optional<int> index) {
  const image::IndexedImage* sprite = picture();
  if (!index || !sprite || *index < 0 || *index > 255) {
    hoverText_.clear();
    marked_.reset();
    return;
  }
  hoverText_ = ColourText(*sprite, *index);
  marked_ = *index;
}

}  // namespace pelvaro::commands
