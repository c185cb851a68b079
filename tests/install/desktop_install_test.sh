#!/usr/bin/env bash
# `cmake --install` into a scratch prefix puts the desktop integration in
# place, and a desktop that reads that prefix knows *.sff files (in any case)
# as Pelvaro's type and opens them with pelvaro.desktop.
#
#   desktop_install_test.sh BUILD-DIR SCRATCH-DIR
set -euo pipefail
build=$1
scratch=$2
prefix=$scratch/prefix

fail() { echo "desktop_install_test: $*" >&2; exit 1; }
type=application/x-pelvaro-sff

rm -rf "$scratch"
mkdir -p "$scratch"
cmake --install "$build" --prefix "$prefix" >/dev/null

share=$prefix/share
for file in bin/pelvaro bin/pelvaro-cli share/applications/pelvaro.desktop share/mime/packages/pelvaro.xml \
    share/metainfo/org.pelvaro.Pelvaro.metainfo.xml share/icons/hicolor/24x24/apps/pelvaro.png \
    share/icons/hicolor/32x32/apps/pelvaro.png share/icons/hicolor/48x48/apps/pelvaro.png \
    share/icons/hicolor/scalable/apps/pelvaro.svg share/man/man1/pelvaro-cli.1.gz; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done

# The entry passes the desktop's own check (hints aside), and opens one file.
report=$(desktop-file-validate "$share/applications/pelvaro.desktop" 2>&1 || true)
if printf '%s\n' "$report" | grep -qE ': (error|warning): '; then fail "desktop-file-validate: $report"; fi
grep -qx 'Exec=pelvaro %f' "$share/applications/pelvaro.desktop" || fail "the entry does not start pelvaro with one file"
grep -qx "MimeType=$type;" "$share/applications/pelvaro.desktop" || fail "the entry does not name $type"
# Known by name alone: a file of another name is never taken for an archive.
if grep -q '<magic' "$share/mime/packages/pelvaro.xml"; then fail "the file type is declared by content"; fi

# A desktop session that reads this prefix first, and nothing of the user's.
export XDG_DATA_DIRS=$share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
export XDG_DATA_HOME=$scratch/data-home XDG_CONFIG_HOME=$scratch/config-home XDG_CONFIG_DIRS=$scratch/config-dirs
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID

# The databases a desktop builds from the packages' files; either tool's
# complaint about our files fails the test.
errors=$(update-mime-database "$share/mime" 2>&1 >/dev/null) || fail "update-mime-database: $errors"
[ -z "$errors" ] || fail "update-mime-database: $errors"
errors=$(update-desktop-database "$share/applications" 2>&1 >/dev/null) || fail "update-desktop-database: $errors"
[ -z "$errors" ] || fail "update-desktop-database: $errors"
grep -qx "$type=pelvaro.desktop;" "$share/applications/mimeinfo.cache" ||
  fail "mimeinfo.cache does not open $type with pelvaro.desktop: $(cat "$share/applications/mimeinfo.cache")"

# What a desktop session that reads this prefix first makes of files. All of
# them hold the same 600 zero bytes, so only the name can tell them apart.
files=$scratch/files
mkdir -p "$files"
head -c 600 /dev/zero >"$files/USER.sff"
cp "$files/USER.sff" "$files/UPPER.SFF"
cp "$files/USER.sff" "$files/サンプル.Sff"
cp "$files/USER.sff" "$files/notes.txt"
for name in USER.sff UPPER.SFF サンプル.Sff; do
  got=$(xdg-mime query filetype "$files/$name")
  [ "$got" = "$type" ] || fail "$name is taken for '$got', not $type"
done
got=$(xdg-mime query filetype "$files/notes.txt")
[ "$got" != "$type" ] || fail "notes.txt is taken for $type"
got=$(xdg-mime query default "$type")
[ "$got" = pelvaro.desktop ] || fail "the default program for $type is '$got', not pelvaro.desktop"

echo "desktop_install_test: *.sff files resolve to $type and open with pelvaro.desktop."
