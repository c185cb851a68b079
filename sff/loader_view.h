#pragma once

// What the loader needs of the window that shows its results: the two labels,
// the sprite table and a message box. The desktop program implements it with
// its widgets, the command-line program and the tests without any window.

#include "sff/sprite_table.h"

#include <string>

namespace pelvaro::sff {

class LoaderView {
 public:
  virtual ~LoaderView() = default;

  // The archive-name label: set by the caller to the file name before loading.
  virtual std::string SffNameText() const = 0;
  virtual void SetSffNameText(const std::string& text) = 0;
  // The image-count label.
  virtual void SetImageText(const std::string& text) = 0;

  virtual SpriteTable& Table() = 0;
  // Called around every change of the table's rows, so a view over the table
  // can drop and re-read what it shows.
  virtual void BeginTableReset() {}
  virtual void EndTableReset() {}

  // A modal message box with the application title; `style` is a message-box
  // style value (mb::...), the result one of mb::kAnswer*.
  virtual int MsgBox(const std::string& text, int style) = 0;
};

}  // namespace pelvaro::sff
