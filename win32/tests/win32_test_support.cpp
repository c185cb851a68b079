#include "win32/tests/win32_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace pelvaro::win32::testing {
namespace {

std::function<bool()> pendingStep;
bool stepDone = false;
UINT_PTR timer = 0;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (!pendingStep || stepDone) return;
  if (pendingStep()) {
    stepDone = true;
    KillTimer(nullptr, timer);
    timer = 0;
  }
}

}  // namespace

commands::Answer ScriptedPrompts::Message(HWND, const commands::Lines& message, commands::MsgStyle style) {
  asked.push_back({message, style});
  if (answers.empty()) return commands::Answer::kOk;
  const commands::Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompts::FileDialog(HWND, const commands::FileRequest& request) {
  fileRequests.push_back(request);
  if (files.empty()) return std::nullopt;
  auto chosen = files.front();
  files.pop_front();
  return chosen;
}

void ActWhenShown(std::function<bool()> step) {
  pendingStep = std::move(step);
  stepDone = false;
  if (timer) KillTimer(nullptr, timer);
  timer = SetTimer(nullptr, 0, 1, OnTimer);
}

bool ActedInTime(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!stepDone && GetTickCount() - start < timeoutMs) {
    Pump();
    Sleep(1);
  }
  const bool done = stepDone;
  if (timer) KillTimer(nullptr, timer);
  timer = 0;
  pendingStep = nullptr;
  return done;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

pelvaro::testing::Bytes SampleArchive(int rows, bool withBrokenRow) {
  using namespace pelvaro::testing;
  const Palette palette = TestPalette(7);
  SffBuilder builder;
  for (int i = 0; i < rows; ++i) {
    const int width = 3 + i % 5;
    const int height = 2 + i % 3;
    // The first sprite carries the palette the others share.
    builder.Add({.group = 1,
                 .item = static_cast<std::uint16_t>(i),
                 .axisX = static_cast<std::int16_t>(i % 4),
                 .axisY = 1,
                 .palFlag = static_cast<std::uint8_t>(i == 0 ? 0 : 1),
                 .payload = MakePcx(width, height, PatternPixels(width, height, i), i == 0 ? &palette : nullptr)});
  }
  if (withBrokenRow) builder.Add({.group = 2, .item = 0, .palFlag = 1, .payload = Bytes(40, 0x55)});
  return builder.Build();
}

}  // namespace pelvaro::win32::testing

int wmain(int argc, wchar_t** argv) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
