#include "win32/prompts.h"

#include "export/messages.h"
#include "win32/wide_text.h"

#include <commdlg.h>

#include <vector>

namespace pelvaro::win32 {
namespace {

// Long enough for any path Windows accepts with the long-path prefix.
constexpr std::size_t kPathRoom = 32768;

}  // namespace

std::wstring DialogFilter(const std::string& filter) {
  std::wstring wide = Widen(filter);
  if (wide.empty() || wide.back() != L'|') wide += L'|';
  for (wchar_t& c : wide)
    if (c == L'|') c = L'\0';
  wide += L'\0';
  return wide;
}

DWORD DialogFlags(const commands::FileRequest& request) {
  DWORD flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (request.flags & commands::cdl::kOverwritePrompt) flags |= OFN_OVERWRITEPROMPT;
  if (request.flags & commands::cdl::kHideReadOnly) flags |= OFN_HIDEREADONLY;
  return flags;
}

commands::Answer AnswerOf(int button) {
  switch (button) {
    case IDYES: return commands::Answer::kYes;
    case IDNO: return commands::Answer::kNo;
    default: return commands::Answer::kOk;
  }
}

commands::Answer SystemPrompts::Message(HWND owner, const commands::Lines& message, commands::MsgStyle style) {
  const std::wstring text = Widen(exporter::JoinLines(message, "\n"));
  return AnswerOf(MessageBoxW(owner, text.c_str(), Widen(commands::kApplicationTitle).c_str(), static_cast<UINT>(style)));
}

std::optional<std::string> SystemPrompts::FileDialog(HWND owner, const commands::FileRequest& request) {
  const std::wstring filter = DialogFilter(request.filter);
  const std::wstring title = Widen(request.title);
  const std::wstring folder = Widen(request.initialFolder);
  std::vector<wchar_t> file(kPathRoom, L'\0');
  const std::wstring proposed = Widen(request.fileName);
  proposed.copy(file.data(), std::min(proposed.size(), kPathRoom - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = DialogFlags(request);
  const BOOL chosen = request.mode == commands::FileDialogMode::kSave ? GetSaveFileNameW(&dialog)
                                                                      : GetOpenFileNameW(&dialog);
  // Cancel and a dialog that could not be shown both end the command without a word.
  if (!chosen) return std::nullopt;
  return Narrow(file.data());
}

}  // namespace pelvaro::win32
