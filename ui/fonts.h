#pragma once

// The fonts the windows are drawn in, by the names they carry on a Japanese
// Windows system. Elsewhere those fonts are missing, and fontconfig would put
// DejaVu Sans in their place, which is wider and has no kana; the program maps
// each name to a metric-compatible font itself.

#include <QFont>

namespace pelvaro::ui {

inline constexpr const char* kArial = "Arial";
inline constexpr const char* kMsPGothic = "ＭＳ Ｐゴシック";
inline constexpr const char* kMsGothic = "ＭＳ ゴシック";

// Installs the substitutes (Liberation Sans, IPA P Gothic, IPA Gothic); call
// once after the application object exists and before any window.
void InstallFontSubstitutes();

QFont WindowFont(const char* family, double pointSize);

}  // namespace pelvaro::ui
