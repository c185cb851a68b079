#pragma once

// A window's size and place kept between runs under HKCU\Software\Pelvaro,
// and given back only where it is on a monitor that exists now; otherwise the
// window opens beside its owner, inside the work area of the owner's monitor
// (commands/window_place.h decides; this side only reads the monitors and the
// registry).

#include "commands/window_place.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace pelvaro::win32 {

inline constexpr const wchar_t* kSettingsKey = L"Software\\Pelvaro";

// Before the window's first showing.
void RestoreOrPlaceBeside(HWND window, HWND owner, const wchar_t* name);
// When the window is hidden or goes; a minimised or maximised window keeps its last plain place.
void RememberPlace(HWND window, const wchar_t* name);

// The place kept under `name`, if any, and the writing and forgetting of it.
std::optional<commands::ScreenRect> SavedPlace(const wchar_t* name);
void SavePlace(const wchar_t* name, const commands::ScreenRect& place);
void ForgetPlace(const wchar_t* name);

// The work areas of the monitors there are now.
std::vector<commands::ScreenRect> WorkAreas();

}  // namespace pelvaro::win32
