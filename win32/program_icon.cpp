#include "win32/program_icon.h"

#include "win32/resource_ids.h"

#include <map>

namespace pelvaro::win32 {

HICON ProgramIcon(int pixels) {
  static std::map<int, HICON> loaded;
  auto [at, added] = loaded.try_emplace(pixels, nullptr);
  if (added) {
    at->second = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(PELVARO_IDI_PROGRAM),
                                               IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR));
  }
  return at->second;
}

}  // namespace pelvaro::win32
