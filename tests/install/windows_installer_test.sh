#!/usr/bin/env bash
# The Windows installer under Wine, in a throw-away Wine configuration: a
# silent install into Program Files; its files, Start menu entry and
# registry keys (the Add/Remove Programs entry, and the .sff association when
# the desktop program is in it); pelvaro-cli.exe run from the install folder
# lists the sample archive; then a silent uninstall, after which every file
# and key it added is gone.
#
#   windows_installer_test.sh INSTALLER SAMPLE-ARCHIVE SCRATCH-DIR WINE-RUN WITH-GUI(ON|OFF)
set -euo pipefail
installer=$1
sample=$2
scratch=$3
run=$4
gui=$5

fail() { echo "windows_installer_test: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch/prefix"
export WINEPREFIX=$scratch/prefix
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=wineserver
# Every Wine process writes to a file, never to CTest's pipes, and the server
# of this configuration is ended however the test ends.
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
wine() { "$run" "$@" </dev/null 2>>"$scratch/wine.log"; }
wine wineboot --init >/dev/null

cp "$installer" "$WINEPREFIX/drive_c/setup.exe"
cp "$sample" "$WINEPREFIX/drive_c/SAMPLE.sff"
wine 'C:\setup.exe' /S >/dev/null || fail "the silent install failed"
"$wineserver" -w

dir="$WINEPREFIX/drive_c/Program Files/Pelvaro"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pelvaro"
files=("$dir/pelvaro-cli.exe" "$dir/README.md" "$dir/LICENSE.txt" "$dir/uninstall.exe" "$menu/pelvaro-cli.lnk")
keys=('HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelvaro')
if [ "$gui" = ON ]; then
  files+=("$dir/pelvaro.exe" "$menu/Pelvaro.lnk")
  keys+=('HKLM\Software\Classes\.sff' 'HKLM\Software\Classes\Pelvaro.SffArchive\shell\open\command')
fi
for file in "${files[@]}"; do [ -f "$file" ] || fail "not installed: ${file#"$WINEPREFIX/"}"; done
query() { wine reg query "$@" | tr -d '\r'; }
for key in "${keys[@]}"; do query "$key" >/dev/null || fail "no registry key $key"; done
uninstall=$(query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelvaro' /v UninstallString)
grep -qF '"C:\Program Files\Pelvaro\uninstall.exe"' <<<"$uninstall" || fail "UninstallString: $uninstall"
if [ "$gui" = ON ]; then
  open=$(query 'HKLM\Software\Classes\Pelvaro.SffArchive\shell\open\command' /ve)
  grep -qF '"C:\Program Files\Pelvaro\pelvaro.exe" "%1"' <<<"$open" || fail "the .sff open command: $open"
  query 'HKLM\Software\Classes\.sff' /ve | grep -q 'Pelvaro.SffArchive' || fail ".sff is not Pelvaro's type"
fi

# The installed program lists the sample (the header and one line a row).
wine 'C:\Program Files\Pelvaro\pelvaro-cli.exe' list 'C:\SAMPLE.sff' >"$scratch/list.txt" ||
  fail "the installed pelvaro-cli.exe failed"
[ "$(wc -l <"$scratch/list.txt")" -gt 1 ] || fail "the installed pelvaro-cli.exe listed nothing"

# The uninstaller copies itself away and runs from there; the server ends
# once it has.
wine 'C:\Program Files\Pelvaro\uninstall.exe' /S >/dev/null || fail "the silent uninstall failed"
"$wineserver" -w
for file in "${files[@]}"; do [ ! -e "$file" ] || fail "left after uninstalling: ${file#"$WINEPREFIX/"}"; done
[ ! -e "$dir" ] || fail "the install folder is left"
[ ! -e "$menu" ] || fail "the Start menu folder is left"
for key in "${keys[@]}" 'HKLM\Software\Classes\Pelvaro.SffArchive'; do
  if query "$key" >/dev/null 2>&1; then fail "registry key left after uninstalling: $key"; fi
done
echo "windows_installer_test: installed silently ($([ "$gui" = ON ] && echo "with" || echo "without") the desktop program)," \
  "pelvaro-cli.exe ran from Program Files, and the silent uninstall removed every file and key."
