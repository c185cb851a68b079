#!/usr/bin/env bash
# The Debian package as a maintainer would make and check it: debian/ turned
# into the binary packages by dpkg-buildpackage in a scratch copy of the
# source tree, then lintian on the result (no error, no warning, none of the
# informational tags of a home-made package), the package's fields, its
# files and their modes, the hardening of its programs, and its pelvaro-cli
# run from where dpkg would unpack it. Last, the .tar.gz CPack makes of the
# build holds the same tree.
#
#   debian_package_test.sh SOURCE-DIR BUILD-DIR SCRATCH-DIR SAMPLE-ARCHIVE
set -euo pipefail
export LC_ALL=C  # one sort order for the lists compared below
source=$1
build=$2
scratch=$3
sample=$4

fail() { echo "debian_package_test: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch/src"
# The tree as committed plus what is new and not ignored; no build folder.
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$source" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$scratch/src")
else
  tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$scratch/src" -xf -
fi
# The tests ran in the build this test belongs to; the package build skips them.
(cd "$scratch/src" && DEB_BUILD_OPTIONS="nocheck parallel=2" DEB_BUILD_PROFILES=nocheck \
  dpkg-buildpackage -us -uc -b >"$scratch/build.log" 2>&1) ||
  { tail -n 40 "$scratch/build.log" >&2; fail "dpkg-buildpackage failed (log: $scratch/build.log)"; }

debs=("$scratch"/pelvaro_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not one .deb: ${debs[*]}"
deb=${debs[0]}
dbgsyms=("$scratch"/pelvaro-dbgsym_*.deb)
[ -f "${dbgsyms[0]}" ] || fail "no pelvaro-dbgsym package"

# lintian: any error or warning fails, and so do the informational tags a
# package made without Debian's tools carries.
lintian --info --display-info "$deb" "${dbgsyms[0]}" >"$scratch/lintian.log" 2>&1 || true
unwanted='no-changelog|no-manual-page|hardening-no-bindnow|hardening-no-fortify-functions|desktop-entry-lacks-keywords|binary-has-unneeded-section'
if grep -E "^[EW]: |^I: .*($unwanted)" "$scratch/lintian.log" >&2; then fail "lintian reports the tags above"; fi
grep -E '^[EWIXP]: ' "$scratch/lintian.log" >&2 || true

# The control fields.
version=$("$build/cli/pelvaro-cli" --version)
version=${version#pelvaro-cli }
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = pelvaro ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), the program says $version (debian/changelog)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^\>@]+@[^\>]+\>$ ]] || fail "Maintainer is not 'Name <address>': $(field Maintainer)"
description=$(field Description)
summary="take SFF sprite archives apart into PCX files"
[[ "$description" == "$summary"$'\n'* ]] && [ "$(grep -c "$summary" <<<"$description")" -eq 1 ] &&
  [ "$(wc -l <<<"$description")" -gt 3 ] || fail "Description is not one summary line and a long text: $description"
depends=$(field Depends)
# What dpkg-shlibdeps found, and the packages it cannot see.
for package in libc6 libstdc++6 libqt6widgets6 libqt6core6 fonts-ipafont-gothic fonts-liberation2 qt6-qpa-plugins; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

# The files, exactly: a file added or lost changes this list on purpose only.
expected="./usr/bin/pelvaro
./usr/bin/pelvaro-cli
./usr/share/applications/pelvaro.desktop
./usr/share/doc/pelvaro/README.md.gz
./usr/share/doc/pelvaro/changelog.gz
./usr/share/doc/pelvaro/copyright
./usr/share/icons/hicolor/24x24/apps/pelvaro.png
./usr/share/icons/hicolor/32x32/apps/pelvaro.png
./usr/share/icons/hicolor/48x48/apps/pelvaro.png
./usr/share/icons/hicolor/scalable/apps/pelvaro.svg
./usr/share/man/man1/pelvaro-cli.1.gz
./usr/share/man/man1/pelvaro.1.gz
./usr/share/metainfo/org.pelvaro.Pelvaro.metainfo.xml
./usr/share/mime/packages/pelvaro.xml"
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[ "$files" = "$expected" ] || fail "the package's files differ from the expected ones:
$(diff <(echo "$expected") <(echo "$files") || true)"
# Programs executable by everyone, data readable by everyone, all owned by root.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/' | while read -r mode owner _ _ _ path; do
  [ "$owner" = root/root ] || fail "$path is owned by $owner"
  case "$path" in
    ./usr/bin/*) [ "$mode" = -rwxr-xr-x ] || fail "$path has mode $mode" ;;
    *) [ "$mode" = -rw-r--r-- ] || fail "$path has mode $mode" ;;
  esac
done

# Unpacked as dpkg would, the programs run from there (no window needed for
# these) and pelvaro-cli lists the sample archive as the build's own does.
root=$scratch/root
dpkg -x "$deb" "$root"
[ "$("$root/usr/bin/pelvaro-cli" --version)" = "pelvaro-cli $version" ] || fail "the unpacked pelvaro-cli --version"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/pelvaro" --version)" = "pelvaro $version" ] ||
  fail "the unpacked pelvaro --version"
"$root/usr/bin/pelvaro-cli" list "$sample" >"$scratch/unpacked.list" || fail "the unpacked pelvaro-cli list failed"
"$build/cli/pelvaro-cli" list "$sample" >"$scratch/built.list"
cmp "$scratch/built.list" "$scratch/unpacked.list" || fail "the unpacked pelvaro-cli lists the sample differently"
[ "$(wc -l <"$scratch/unpacked.list")" -gt 1 ] || fail "the sample's list is empty"
# Stripped, with their debug symbols in pelvaro-dbgsym under their build IDs,
# and hardened: every relocation resolved at start-up (BIND_NOW).
dpkg -x "${dbgsyms[0]}" "$scratch/dbgsym"
for program in "$root/usr/bin/pelvaro-cli" "$root/usr/bin/pelvaro"; do
  file "$program" | grep -q ', stripped$' || fail "$program is not stripped"
  id=$(readelf -n "$program" | sed -n 's/^ *Build ID: //p')
  [ -f "$scratch/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" ] ||
    fail "pelvaro-dbgsym has no debug symbols for $program (build ID $id)"
  readelf -d "$program" | grep -q 'BIND_NOW' || fail "$program is not linked with -z now"
done

# The .tar.gz CPack makes of the build: the tree `cmake --install` makes,
# which is the package's but for what Debian's tools add (the changelog, the
# compressed README, the machine-readable copyright in place of the licence).
cpack --config "$build/CPackConfig.cmake" -B "$scratch/packages" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
tarballs=("$scratch"/packages/pelvaro-*.tar.gz)
[ ${#tarballs[@]} -eq 1 ] && [ -f "${tarballs[0]}" ] || fail "not one .tar.gz: ${tarballs[*]}"
tar_expected=$(printf '%s\n' "$expected" | sed -e '/changelog.gz$/d' -e 's|README.md.gz$|README.md|' | sort)
tarred=$(tar -tzf "${tarballs[0]}" | grep -v '/$' | sed 's|^[^/]*/|./usr/|' | sort)
[ "$tarred" = "$tar_expected" ] || fail "the .tar.gz differs from the installed tree:
$(diff <(echo "$tar_expected") <(echo "$tarred") || true)"
tar -xzf "${tarballs[0]}" -C "$scratch/packages"
cmp "$source/LICENSE" "$scratch"/packages/pelvaro-*/share/doc/pelvaro/copyright || fail "the .tar.gz's licence"

echo "debian_package_test: $(basename "$deb") builds and is lintian clean, holds the expected files, stripped and hardened" \
  "programs with their symbols in pelvaro-dbgsym; the unpacked pelvaro-cli works; $(basename "${tarballs[0]}") holds the installed tree."
