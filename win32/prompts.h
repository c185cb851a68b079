#pragma once

// What the main window asks through the system's own modal boxes: message
// boxes and the common file dialogs. The program shows the real ones
// (SystemPrompts); the tests give the window a script of answers, which also
// records what was asked.

#include "commands/desk.h"

#include <windows.h>

#include <optional>
#include <string>

namespace pelvaro::win32 {


class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual commands::Answer Message(HWND owner, const commands::Lines& message, commands::MsgStyle style) = 0;
  virtual std::optional<std::string> FileDialog(HWND owner, const commands::FileRequest& request) = 0;
};

// MessageBoxW with the style numbers as they stand, GetOpenFileNameW and GetSaveFileNameW.
class SystemPrompts final : public Prompts {
 public:
  commands::Answer Message(HWND owner, const commands::Lines& message, commands::MsgStyle style) override;
  std::optional<std::string> FileDialog(HWND owner, const commands::FileRequest& request) override;
};

// The dialog's filter as the common dialogs take it: "description|pattern|..."
// with every "|" a NUL, and one more NUL closing the list.
std::wstring DialogFilter(const std::string& filter);
// The common dialog's flags for `request`: its own (confirm overwrite, hide
// read-only) and those every showing takes.
DWORD DialogFlags(const commands::FileRequest& request);
// The answer a message box's button stands for.
commands::Answer AnswerOf(int button);

}  // namespace pelvaro::win32
