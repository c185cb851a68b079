#pragma once

// What the Win32 window tests share: a script of answers for the message
// boxes and file dialogs that records what was asked, a way to act inside a
// modal window's own message loop, and archives made in code.

#include "commands/desk.h"
#include "tests/support/sff_builder.h"
#include "win32/prompts.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::win32::testing {

class ScriptedPrompts final : public Prompts {
 public:
  struct Asked {
    commands::Lines message;
    commands::MsgStyle style;
  };
  commands::Answer Message(HWND owner, const commands::Lines& message, commands::MsgStyle style) override;
  std::optional<std::string> FileDialog(HWND owner, const commands::FileRequest& request) override;

  std::vector<Asked> asked;
  std::deque<commands::Answer> answers;  // kOk once they run out
  std::vector<commands::FileRequest> fileRequests;
  std::deque<std::optional<std::string>> files;  // Cancel once they run out
};

// Calls `step` from the thread's message loop (a modal window's included)
// about every millisecond until it returns true, or for `timeoutMs` at most.
// Returns whether `step` finished in time; waits itself.
void ActWhenShown(std::function<bool()> step);
// Whether the last ActWhenShown's step finished; clears the step.
bool ActedInTime(DWORD timeoutMs = 5000);

// Handles the thread's waiting messages.
void Pump();

// The text of a window or control.
std::wstring TextOf(HWND window);

// An archive of `rows` decodable sprites 1/0, 1/1, ... whose first row
// carries the shared palette, plus, when asked, one row that cannot be decoded.
pelvaro::testing::Bytes SampleArchive(int rows, bool withBrokenRow = false);

}  // namespace pelvaro::win32::testing
