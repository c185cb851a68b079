#!/usr/bin/env bash
# Takes docs/screenshot-win32.png: the Windows program of build-win/ (made by
# scripts/test-windows.sh) with the sample archive open and the viewer beside
# it, under Wine on a virtual screen (Xvfb with openbox), in a Wine
# configuration of its own with the Japanese fonts mapped. The picture is
# checked by eye; nothing here is a test.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-win
program=$build/win32/pelvaro.exe
sample=$build/sample/SAMPLE.sff
out=${1:-$root/docs/screenshot-win32.png}

scripts/install-deps.sh windows gui-check
if [ ! -x "$program" ] || [ ! -f "$sample" ]; then
  echo "screenshot-win32: build the Windows program first (scripts/test-windows.sh)" >&2
  exit 1
fi

export WINEPREFIX=$build/wine-screen
run=$root/cmake/wine-run.sh
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=wineserver
display=:${PELVARO_SCREEN_DISPLAY:-57}

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &
wm=$!

mkdir -p "$WINEPREFIX"
"$run" wineboot --init </dev/null >/dev/null 2>&1
# Without these the kanji show as empty boxes: the fonts the windows ask for
# by their Japanese names, and the default GUI font, lead to IPA Gothic.
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
"$run" reg add "$substitutes" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f </dev/null >/dev/null 2>&1
"$run" reg add "$substitutes" /v 'ＭＳ ゴシック' /d IPAGothic /f </dev/null >/dev/null 2>&1
"$run" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma /t REG_MULTI_SZ \
  /d 'ipag.ttf,IPAGothic' /f </dev/null >/dev/null 2>&1

shots=$WINEPREFIX/drive_c/pelvaro-shot
mkdir -p "$shots"
cp "$sample" "$shots/SAMPLE.sff"
"$run" "$program" 'C:\pelvaro-shot\SAMPLE.sff' </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 30); do
  main=$(xdotool search --name '^Pelvaro$' 2>/dev/null | head -1 || true)
  [ -n "$main" ] && break
  sleep 1
done
if [ -z "${main:-}" ]; then
  echo "screenshot-win32: the window did not show" >&2
  exit 1
fi
sleep 2
# The third row made current and the viewer opened on it, as a user would.
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key --window "$main" Tab Down Down Return
sleep 3
# The two windows without the empty screen around them.
import -window root "$out"
convert "$out" -bordercolor black -border 1 -trim +repage "$out"
echo "screenshot-win32: wrote $out"
