#include "image/pcx_decoder.h"

#include <cstdio>

namespace pelvaro::image {
namespace {

std::string Decimal(std::int64_t n) { return std::to_string(n); }

std::string Hex(int byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(byte) & 0xFFu);
  return text;
}

// What users call the kind of picture, where it has a common name.
std::string KindOf(int bitsPerPixel, int planes) {
  const int bits = bitsPerPixel * planes;
  if (bits >= 1 && bits <= 8) return "（" + Decimal(std::int64_t{1} << bits) + " 色）";
  if (bitsPerPixel == 8 && planes == 3) return "（フルカラー）";
  return "";
}

std::vector<std::string> Reason(const DecodeError& e) {
  switch (e.fault) {
    case DecodeFault::kTooShort:
      return {"画像データが短すぎます（" + Decimal(e.fileBytes) + " バイト）。",
              "PCX画像にはヘッダとパレットだけで " + Decimal(kPcxHeaderBytes + kPcxPaletteBytes) + " バイト必要です。"};
    case DecodeFault::kNotPcx:
      return {"PCX画像ではありません（先頭のバイトが 0x0A ではなく " + Hex(e.value) + " です）。"};
    case DecodeFault::kUnsupportedDepth:
      return {"1 ピクセル " + Decimal(e.bitsPerPixel) + " ビット、" + Decimal(e.planes) + " プレーンの画像" +
                  KindOf(e.bitsPerPixel, e.planes) + "には対応していません。",
              "読み込めるのは 256 色（8 ビット、1 プレーン）の画像だけです。"};
    case DecodeFault::kNotRunLength:
      return {"符号化方式 " + Decimal(e.value) + " の画像には対応していません。",
              "読み込めるのはランレングス符号化（1）の画像だけです。"};
    case DecodeFault::kBadBounds:
      return {"画像の範囲が正しくありません（左端 " + Decimal(e.left) + "、右端 " + Decimal(e.right) + "、上端 " +
              Decimal(e.top) + "、下端 " + Decimal(e.bottom) + "）。"};
    case DecodeFault::kTooLarge:
      return {"画像が大きすぎます（" + Decimal(e.width) + " × " + Decimal(e.height) + " ピクセル）。",
              "読み込めるのは一辺 " + Decimal(kMaxSide) + " ピクセル、合わせて " + Decimal(kMaxPixels) +
                  " ピクセルまでです。"};
    case DecodeFault::kShortLines:
      return {"1 行のバイト数 " + Decimal(e.bytesPerLine) + " が画像の幅 " + Decimal(e.width) +
              " より少なくなっています。"};
    case DecodeFault::kDataTooSmall:
      return {"画像データ（" + Decimal(e.dataBytes) + " バイト）が " + Decimal(e.width) + " × " + Decimal(e.height) +
              " ピクセルの画像には少なすぎます。"};
    case DecodeFault::kDataEnds:
      return {"画像データが途中で終わっています（" + Decimal(e.height) + " 行のうち " + Decimal(e.row) + " 行目）。"};
  }
  return {"原因のわからない誤りです。"};
}

}  // namespace

std::vector<std::string> DecodeErrorLines(const DecodeError& error) {
  std::vector<std::string> lines{"PCX画像を読み込めません。"};
  for (std::string& line : Reason(error)) lines.push_back(std::move(line));
  return lines;
}

}  // namespace pelvaro::image
