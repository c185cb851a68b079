#pragma once

// The About box: the program's icon, the product title and version, and the
// notice line, with OK as the default button. A new box is made for every
// showing and destroyed by OK, Enter, Esc or its close box, so its texts are
// always filled anew.

#include "commands/desk.h"

#include <windows.h>

namespace pelvaro::win32 {

inline constexpr const wchar_t* kAboutClass = L"PelvaroAbout";
inline constexpr int kLblAppNameId = 301;
inline constexpr int kLblVerId = 302;
inline constexpr int kLabel2Id = 303;
inline constexpr int kPctIconId = 304;

// Shows the box modally over `over` (which it is centred on but not owned by)
// and returns once it is closed.
void ShowAboutBox(HWND over, const commands::AboutTexts& texts);

}  // namespace pelvaro::win32
