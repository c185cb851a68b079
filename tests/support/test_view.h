#pragma once

#include "sff/loader_view.h"

#include <deque>
#include <string>
#include <vector>

namespace pelvaro::testing {

// The loader's window for tests: labels as plain texts, scripted answers to
// the yes/no question and a record of every message box.
class TestView final : public sff::LoaderView {
 public:
  struct Box {
    std::string text;
    int style;
  };

  explicit TestView(std::string name = "USER.sff") : sffName(std::move(name)) {}

  std::string SffNameText() const override { return sffName; }
  void SetSffNameText(const std::string& text) override { sffName = text; }
  void SetImageText(const std::string& text) override { imageText = text; }
  sff::SpriteTable& Table() override { return table; }
  void BeginTableReset() override { ++resets; }
  int MsgBox(const std::string& text, int style) override;

  std::string sffName;
  std::string imageText;
  sff::SpriteTable table;
  std::deque<int> answers;  // answers to yes/no questions, in order; No when empty
  std::vector<Box> boxes;
  int resets = 0;
};

}  // namespace pelvaro::testing
