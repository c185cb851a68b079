#pragma once

// The windows' fonts. Arial for captions and the list; the proportional
// Japanese Gothic for the value labels and the fixed one in the folder
// chooser. A face the system lacks falls back, in order, to its ASCII name,
// then to the Japanese UI faces every Japanese Windows has, then to the
// system's message font, so the labels never show boxes for want of a face.

#include <windows.h>

namespace pelvaro::win32 {

inline constexpr const wchar_t* kArial = L"Arial";
inline constexpr const wchar_t* kMsPGothic = L"ＭＳ Ｐゴシック";
inline constexpr const wchar_t* kMsGothic = L"ＭＳ ゴシック";

// A font of `face` (or its fallback) at `points`, made once and kept for the
// life of the program; the windows never delete it.
HFONT WindowFont(const wchar_t* face, double points);

// The face WindowFont uses for `face` on this system.
const wchar_t* AvailableFace(const wchar_t* face);

}  // namespace pelvaro::win32
