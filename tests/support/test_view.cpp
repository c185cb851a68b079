#include "tests/support/test_view.h"

#include "sff/message_box.h"

namespace pelvaro::testing {

int TestView::MsgBox(const std::string& text, int style) {
  boxes.push_back({text, style});
  if ((style & 0xF) != mb::kYesNo) return mb::kAnswerOk;
  if (answers.empty()) return mb::kAnswerNo;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace pelvaro::testing
