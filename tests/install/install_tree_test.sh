#!/usr/bin/env bash
# `cmake --install` to a prefix and with DESTDIR make the same tree, with
# programs executable by everyone and data readable by everyone. In it:
# pelvaro(1) formats without a warning and tells --help, --version, the files
# the program writes and its exit status; the desktop entry has Keywords;
# the programs are hardened (BIND_NOW, and fortified calls where fortifiable
# functions are used) when the build is.
#
#   install_tree_test.sh BUILD-DIR SCRATCH-DIR HARDENED(ON|OFF)
set -euo pipefail
export LC_ALL=C
build=$1
scratch=$2
hardened=$3

fail() { echo "install_tree_test: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
DESTDIR="$scratch/destdir" cmake --install "$build" --prefix /usr >/dev/null

tree() { (cd "$1" && find . -type f -printf '%M %p\n' | sort); }
[ "$(tree "$scratch/prefix")" = "$(tree "$scratch/destdir/usr")" ] ||
  fail "--prefix and DESTDIR install different trees:
$(diff <(tree "$scratch/prefix") <(tree "$scratch/destdir/usr") || true)"
[ -z "$(find "$scratch/destdir" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "DESTDIR got files outside usr/"

prefix=$scratch/prefix
tree "$prefix" | while read -r mode path; do
  case "$path" in
    ./bin/*) [ "$mode" = -rwxr-xr-x ] || fail "$path has mode $mode" ;;
    *) [ "$mode" = -rw-r--r-- ] || fail "$path has mode $mode" ;;
  esac
done

page=$prefix/share/man/man1/pelvaro.1.gz
[ -f "$page" ] || fail "pelvaro(1) was not installed"
warnings=$(zcat "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1) || true
[ -z "$warnings" ] || fail "groff warns on pelvaro(1): $warnings"
text=$(zcat "$page" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')
for want in '^\.SH FILES' '^\.SH EXIT STATUS' '^\.B --help' '^\.B --version' '^\.RI \[ ARCHIVE \]'; do
  grep -qE -- "$want" <<<"$text" || fail "pelvaro(1) lacks $want"
done
version=$("$prefix/bin/pelvaro" --version)
grep -q "^\.TH PELVARO 1 .*\"Pelvaro ${version#pelvaro }\"" <<<"$text" || fail "pelvaro(1) does not name $version"

grep -qE '^Keywords=([^;]+;)+$' "$prefix/share/applications/pelvaro.desktop" || fail "the desktop entry has no Keywords"

if [ "$hardened" = ON ]; then
  fortifiable='^(memcpy|memmove|memset|strcpy|strncpy|stpcpy|strcat|strncat|sprintf|snprintf|vsnprintf|fprintf|printf|read|fgets|realpath|getcwd|readlink|wcscpy|mbstowcs|wcstombs)$'
  for program in "$prefix/bin/pelvaro" "$prefix/bin/pelvaro-cli"; do
    readelf -d "$program" | grep -q BIND_NOW || fail "$program is not linked with -z now"
    readelf -l "$program" | grep -q GNU_RELRO || fail "$program has no RELRO segment"
    imported=$(readelf --dyn-syms -W "$program" | awk '$7 == "UND" { sub(/@.*/, "", $8); print $8 }')
    if grep -qE "$fortifiable" <<<"$imported" && ! grep -qE '^__.*_chk$' <<<"$imported"; then
      fail "$program calls fortifiable functions, none of them fortified"
    fi
  done
fi
echo "install_tree_test: --prefix and DESTDIR agree; modes, pelvaro(1), Keywords and hardening as expected."
