#include "win32/fonts.h"

#include "win32/geometry.h"

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pelvaro::win32 {
namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceExists(const std::wstring& face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

std::vector<std::wstring> Candidates(const std::wstring& face) {
  if (face == kMsPGothic) return {face, L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI"};
  if (face == kMsGothic) return {face, L"MS Gothic", L"Meiryo UI", L"Yu Gothic UI"};
  if (face == kArial) return {face, L"Liberation Sans", L"Tahoma"};
  return {face};
}

std::wstring MessageFontFace() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return metrics.lfMessageFont.lfFaceName;
  return L"Tahoma";
}

}  // namespace

const wchar_t* AvailableFace(const wchar_t* face) {
  static std::map<std::wstring, std::wstring> chosen;
  auto [at, added] = chosen.try_emplace(face);
  if (added) {
    for (const std::wstring& candidate : Candidates(face)) {
      if (FaceExists(candidate)) {
        at->second = candidate;
        break;
      }
    }
    if (at->second.empty()) at->second = MessageFontFace();
  }
  return at->second.c_str();
}

HFONT WindowFont(const wchar_t* face, double points) {
  static std::map<std::pair<std::wstring, int>, HFONT> made;
  const int height = -static_cast<int>(std::lround(points * ScreenDpi() / 72.0));
  const auto key = std::make_pair(std::wstring(face), height);
  if (const auto at = made.find(key); at != made.end()) return at->second;
  const std::wstring actual = AvailableFace(face);
  // The Japanese faces ask for the Shift_JIS character set, so the font mapper
  // picks glyphs for kana and kanji even when it substitutes the face.
  const bool japanese = key.first == kMsPGothic || key.first == kMsGothic;
  HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           japanese ? SHIFTJIS_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, actual.c_str());
  made.emplace(key, font);
  return font;
}

}  // namespace pelvaro::win32
