#!/usr/bin/env bash
# Cross-builds the core, pelvaro-cli and their tests for 64-bit Windows in
# build-win/, runs the tests under Wine in a Japanese locale (code page 932),
# then runs the Windows pelvaro-cli on the sample archive and checks that its
# PCX files, definition text, batch file and list output match the Linux
# build's byte for byte (the batch's program folder aside).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-win
host=$build/host

scripts/install-deps.sh windows

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVARO_BUILD_GUI=OFF
# The Linux pelvaro-cli the Windows one is compared with.
cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVARO_BUILD_GUI=OFF -DPELVARO_BUILD_TESTS=OFF

# One Wine configuration for this build folder, and its server running for the
# whole run: Wine's helper processes would otherwise be started by the first
# test and hold CTest's output pipes open after the tests end.
export WINEPREFIX=$build/wine-prefix
run=$root/cmake/wine-run.sh
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
"$run" wineboot --init </dev/null >/dev/null 2>&1

cmake --build "$build" -j2
cmake --build "$host" -j2 --target pelvaro-cli
ctest --test-dir "$build" --output-on-failure --timeout 600

# The sample archive, run through both programs. The Windows program gets
# Windows paths on drive C: of the Wine configuration.
drive_c=$WINEPREFIX/drive_c
rm -rf "$drive_c/pelvaro-check"
mkdir -p "$drive_c/pelvaro-check/linux" "$drive_c/pelvaro-check/windows"
check=$drive_c/pelvaro-check
cp "$build/sample/SAMPLE.sff" "$check/SAMPLE.sff"

"$host/cli/pelvaro-cli" list "$check/SAMPLE.sff" >"$check/linux.list"
"$host/cli/pelvaro-cli" pcx "$check/SAMPLE.sff" "$check/linux" >/dev/null
"$host/cli/pelvaro-cli" text "$check/SAMPLE.sff" "$check/linux/SAMPLE_SFF.txt" >/dev/null

wincli=$build/cli/pelvaro-cli.exe
"$run" "$wincli" list 'C:\pelvaro-check\SAMPLE.sff' >"$check/windows.list"
"$run" "$wincli" pcx 'C:\pelvaro-check\SAMPLE.sff' 'C:\pelvaro-check\windows' >/dev/null
"$run" "$wincli" text 'C:\pelvaro-check\SAMPLE.sff' 'C:\pelvaro-check\windows\SAMPLE_SFF.txt' >/dev/null

cmp "$check/linux.list" "$check/windows.list"
(cd "$check/linux" && ls) >"$check/linux.files"
(cd "$check/windows" && ls) >"$check/windows.files"
cmp "$check/linux.files" "$check/windows.files"
count=0
while read -r name; do
  case "$name" in
    *.bat) ;;
    *) cmp "$check/linux/$name" "$check/windows/$name"; count=$((count + 1)) ;;
  esac
done <"$check/linux.files"
# The batch files: line 3 names each program's own folder.
cmp <(sed 3d "$check/linux/SAMPLE_SFFBuild.bat") <(sed 3d "$check/windows/SAMPLE_SFFBuild.bat")
folder=$("$run" winepath -w "$build/cli" 2>/dev/null | tr -d '\r')
expected=$(printf '"%s\\sprmaker.exe" < SAMPLE_SFF.txt > CreateLog.txt\r' "$folder")
actual=$(sed -n 3p "$check/windows/SAMPLE_SFFBuild.bat")
if [ "$actual" != "$expected" ]; then
  echo "test-windows: line 3 of the Windows batch file is" >&2
  echo "  $actual" >&2
  echo "expected" >&2
  echo "  $expected" >&2
  exit 1
fi
echo "test-windows: $count files and the list output of the Windows pelvaro-cli match the Linux build's."
