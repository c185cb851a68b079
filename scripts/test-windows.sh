#!/usr/bin/env bash
# Cross-builds the core, pelvaro-cli, the Win32 desktop program pelvaro.exe and
# their tests for 64-bit Windows in build-win/, runs the tests under Wine in a
# Japanese locale (code page 932) with Wine's null graphics driver, so the
# window tests need no display,
# then runs the Windows pelvaro-cli on the sample archive and checks that its
# PCX and PNG files, definition text, batch file and list output match the
# Linux build's byte for byte (the batch's program folder aside), and that cmd
# runs a batch file of an awkward name as one command. Its CTest tests include
# the installer, pelvaro-setup-VERSION.exe, installed and uninstalled
# silently under Wine. Last it makes the .zip package and runs the programs
# unpacked from it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-win
host=$build/host

scripts/install-deps.sh windows

# The "windows" preset of CMakePresets.json, which builds in build-win/.
cmake --preset windows
# The Linux pelvaro-cli the Windows one is compared with.
cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVARO_BUILD_GUI=OFF -DPELVARO_BUILD_TESTS=OFF \
  -DPELVARO_WERROR=ON

# One Wine configuration for this build folder, with the null graphics
# driver, its server running for the whole run.
. scripts/wine-null-prefix.sh "$build/wine-prefix"

cmake --build --preset windows
cmake --build "$host" -j2 --target pelvaro-cli
# The tests, the installer under Wine among them.
ctest --preset windows

# The sample archive, run through both programs under a Japanese name (its
# stem names the PCX files and stands in the definition text). The Windows
# program gets Windows paths on drive C: of the Wine configuration, with
# Japanese in them, so its arguments must come through the UTF-16 command line.
check=$WINEPREFIX/drive_c/pelvaro-check
rm -rf "$check"
mkdir -p "$check/linux 出力" "$check/windows 出力"
cp "$build/sample/SAMPLE.sff" "$check/サンプル①.sff"

linux=$host/cli/pelvaro-cli
"$linux" list "$check/サンプル①.sff" >"$check/linux.list"
"$linux" pcx "$check/サンプル①.sff" "$check/linux 出力" >/dev/null
"$linux" png "$check/サンプル①.sff" "$check/linux 出力" >/dev/null
"$linux" text "$check/サンプル①.sff" "$check/linux 出力/サンプル①_SFF.txt" >/dev/null

windows=$build/cli/pelvaro-cli.exe
"$run" "$windows" list 'C:\pelvaro-check\サンプル①.sff' >"$check/windows.list"
"$run" "$windows" pcx 'C:\pelvaro-check\サンプル①.sff' 'C:\pelvaro-check\windows 出力' >/dev/null
"$run" "$windows" png 'C:\pelvaro-check\サンプル①.sff' 'C:\pelvaro-check\windows 出力' >/dev/null
"$run" "$windows" text 'C:\pelvaro-check\サンプル①.sff' 'C:\pelvaro-check\windows 出力\サンプル①_SFF.txt' >/dev/null

# The list output: the same UTF-8 bytes, LF line ends.
cmp "$check/linux.list" "$check/windows.list"
ls "$check/linux 出力" >"$check/linux.files"
ls "$check/windows 出力" >"$check/windows.files"
cmp "$check/linux.files" "$check/windows.files"
# Both programs wrote a PNG file beside each PCX file.
pcx_files=$(grep -c '\.pcx$' "$check/linux.files")
png_files=$(grep -c '\.png$' "$check/linux.files")
if [ "$pcx_files" -eq 0 ] || [ "$png_files" -ne "$pcx_files" ]; then
  echo "test-windows: $pcx_files PCX files but $png_files PNG files" >&2
  exit 1
fi
count=0
while read -r name; do
  case "$name" in
    *.bat) ;;
    *) cmp "$check/linux 出力/$name" "$check/windows 出力/$name"; count=$((count + 1)) ;;
  esac
done <"$check/linux.files"
# The batch files: line 3 names each program's own folder.
bat=サンプル①_SFFBuild.bat
cmp <(sed 3d "$check/linux 出力/$bat") <(sed 3d "$check/windows 出力/$bat")
folder=$("$run" winepath -w "$build/cli" 2>/dev/null | tr -d '\r')
expected=$(printf '"%s\\sprmaker.exe" < %s > CreateLog.txt\r' "$folder" "$(printf 'サンプル①_SFF.txt' | iconv -f UTF-8 -t CP932)")
actual=$(sed -n 3p "$check/windows 出力/$bat")
if [ "$actual" != "$expected" ]; then
  echo "test-windows: line 3 of the Windows batch file is" >&2
  echo "  $actual" | iconv -f CP932 -t UTF-8 >&2
  echo "expected" >&2
  echo "  $expected" | iconv -f CP932 -t UTF-8 >&2
  exit 1
fi

# The batch file as cmd reads it. Make Text is run by a pelvaro-cli in a
# folder whose name holds "%", a space and parentheses, for a text whose name
# holds "&" and spaces; a stand-in for sprmaker.exe, made here, copies its
# input to its output. The batch must feed it the definition text (so
# CreateLog.txt is that text byte for byte) and run nothing else (no "PWNED").
batch=$check/batch
tools="$batch/100% tools (x86)"
mkdir -p "$tools" "$batch/出力"
cp "$windows" "$tools/"
printf '#include <stdio.h>\nint main(void) { int c; while ((c = getchar()) != EOF) putchar(c); return 0; }\n' |
  x86_64-w64-mingw32-gcc-posix -x c - -static -o "$tools/sprmaker.exe"
"$run" "$tools/pelvaro-cli.exe" text 'C:\pelvaro-check\サンプル①.sff' 'C:\pelvaro-check\batch\出力\x&echo PWNED&.txt' >/dev/null
# cmd gets the batch under a plain name: what is tested is its content.
cp "$batch/出力/x&echo PWNED&Build.bat" "$batch/出力/run.bat"
(cd "$batch/出力" && "$run" cmd /c run.bat </dev/null >"$batch/cmd.out" 2>&1)
if grep -q PWNED "$batch/cmd.out" || ! cmp -s "$batch/出力/CreateLog.txt" "$batch/出力/x&echo PWNED&.txt"; then
  echo "test-windows: the batch file did not run sprmaker.exe on the definition text alone; cmd said:" >&2
  iconv -f CP932 -t UTF-8 "$batch/cmd.out" >&2 || cat "$batch/cmd.out" >&2
  exit 1
fi

echo "test-windows: $count files ($png_files of them PNG) and the list output of the Windows pelvaro-cli match the Linux build's;"
echo "test-windows: cmd runs the batch file of a name with \"&\" from a folder with \"%\" as one command."

# The .zip package: pelvaro.exe and pelvaro-cli.exe beside the README and the
# licence, and the programs run from where the package was unpacked.
version=$("$linux" --version)
version=${version#pelvaro-cli }
top=pelvaro-$version-win64
rm -f "$build/packages/$top.zip"
cpack --config "$build/CPackConfig.cmake" -B "$build/packages" >"$build/cpack.log" 2>&1 ||
  { cat "$build/cpack.log" >&2; echo "test-windows: cpack failed" >&2; exit 1; }
zip=$build/packages/$top.zip
listed=$(unzip -Z1 "$zip" | grep -v "/$" | LC_ALL=C sort)
expected=$(printf '%s\n' "$top/LICENSE.txt" "$top/README.md" "$top/pelvaro-cli.exe" "$top/pelvaro.exe")
if [ "$listed" != "$expected" ]; then
  echo "test-windows: $top.zip holds" $listed "instead of" $expected >&2
  exit 1
fi
unpacked=$WINEPREFIX/drive_c/pelvaro-zip
rm -rf "$unpacked"
unzip -q "$zip" -d "$unpacked"
cmp README.md "$unpacked/$top/README.md"
cmp LICENSE "$unpacked/$top/LICENSE.txt"
actual=$("$run" "$unpacked/$top/pelvaro-cli.exe" --version)
if [ "$actual" != "pelvaro-cli $version" ]; then
  echo "test-windows: the unpacked pelvaro-cli.exe --version printed '$actual'" >&2
  exit 1
fi
"$run" "$unpacked/$top/pelvaro-cli.exe" list 'C:\pelvaro-check\サンプル①.sff' >"$check/zip.list"
cmp "$check/linux.list" "$check/zip.list"
# The unpacked pelvaro.exe starts with the sample on its command line and
# keeps running with its window up until it is ended from outside.
"$run" "$unpacked/$top/pelvaro.exe" 'C:\pelvaro-check\サンプル①.sff' </dev/null >/dev/null 2>&1 &
gui=$!
sleep 5
if ! kill -0 "$gui" 2>/dev/null; then
  echo "test-windows: the unpacked pelvaro.exe ended by itself" >&2
  exit 1
fi
kill "$gui" 2>/dev/null || true
wait "$gui" 2>/dev/null || true
echo "test-windows: $top.zip holds pelvaro.exe, pelvaro-cli.exe, the README and the licence; the unpacked programs start."
