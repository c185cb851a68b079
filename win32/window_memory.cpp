#include "win32/window_memory.h"

#include <array>
#include <string>

namespace pelvaro::win32 {
namespace {

constexpr std::array<const wchar_t*, 4> kValueNames{L"Left", L"Top", L"Width", L"Height"};

commands::ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

std::wstring KeyOf(const wchar_t* name) { return std::wstring(kSettingsKey) + L"\\" + name; }

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info))
    reinterpret_cast<std::vector<commands::ScreenRect>*>(areas)->push_back(ToScreenRect(info.rcWork));
  return TRUE;
}

}  // namespace

std::vector<commands::ScreenRect> WorkAreas() {
  std::vector<commands::ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

std::optional<commands::ScreenRect> SavedPlace(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyOf(name).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::array<int, 4> values{};
  bool complete = true;
  for (std::size_t i = 0; i < kValueNames.size() && complete; ++i) {
    DWORD value = 0, type = 0, size = sizeof value;
    complete = RegQueryValueExW(key, kValueNames[i], nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD && size == sizeof value;
    values[i] = static_cast<int>(value);
  }
  RegCloseKey(key);
  if (!complete) return std::nullopt;
  return commands::ScreenRect{values[0], values[1], values[2], values[3]};
}

void SavePlace(const wchar_t* name, const commands::ScreenRect& place) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyOf(name).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  const std::array<int, 4> values{place.x, place.y, place.width, place.height};
  for (std::size_t i = 0; i < kValueNames.size(); ++i) {
    const auto value = static_cast<DWORD>(values[i]);
    RegSetValueExW(key, kValueNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  RegCloseKey(key);
}

void ForgetPlace(const wchar_t* name) { RegDeleteKeyW(HKEY_CURRENT_USER, KeyOf(name).c_str()); }

void RestoreOrPlaceBeside(HWND window, HWND owner, const wchar_t* name) {
  const std::vector<commands::ScreenRect> screens = WorkAreas();
  std::optional<commands::ScreenRect> place;
  if (const auto saved = SavedPlace(name)) place = commands::RestoredPlace(*saved, screens);
  if (!place) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    RECT main, frame;
    GetWindowRect(owner, &main);
    GetWindowRect(window, &frame);
    place = commands::PlaceBeside(ToScreenRect(main), frame.right - frame.left, frame.bottom - frame.top,
                                  ToScreenRect(monitor.rcWork));
  }
  SetWindowPos(window, nullptr, place->x, place->y, place->width, place->height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RememberPlace(HWND window, const wchar_t* name) {
  if (!window || IsIconic(window) || IsZoomed(window)) return;
  RECT frame;
  if (GetWindowRect(window, &frame)) SavePlace(name, ToScreenRect(frame));
}

}  // namespace pelvaro::win32
