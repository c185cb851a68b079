#!/usr/bin/env bash
# The .deb and the .tar.gz CPack makes of a build: the package's fields, its
# files, and its pelvaro-cli run from where dpkg would unpack it.
#
#   deb_package_test.sh BUILD-DIR SCRATCH-DIR SAMPLE-ARCHIVE
set -euo pipefail
export LC_ALL=C  # one sort order for the lists compared below
build=$1
scratch=$2
sample=$3

fail() { echo "deb_package_test: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
cpack --config "$build/CPackConfig.cmake" -G "DEB;TGZ" -B "$scratch/packages" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }

debs=("$scratch"/packages/pelvaro_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not one .deb: ${debs[*]}"
deb=${debs[0]}
tarballs=("$scratch"/packages/pelvaro-*.tar.gz)
[ ${#tarballs[@]} -eq 1 ] && [ -f "${tarballs[0]}" ] || fail "not one .tar.gz: ${tarballs[*]}"

# The control fields.
version=$("$build/cli/pelvaro-cli" --version)
version=${version#pelvaro-cli }
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = pelvaro ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), the program says $version"
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
./usr/share/doc/pelvaro/README.md
./usr/share/doc/pelvaro/copyright
./usr/share/icons/hicolor/24x24/apps/pelvaro.png
./usr/share/icons/hicolor/32x32/apps/pelvaro.png
./usr/share/icons/hicolor/48x48/apps/pelvaro.png
./usr/share/icons/hicolor/scalable/apps/pelvaro.svg
./usr/share/man/man1/pelvaro-cli.1.gz
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

# The tarball holds the same tree under one top folder.
tarred=$(tar -tzf "${tarballs[0]}" | grep -v '/$' | sed 's|^[^/]*/|./usr/|' | sort)
[ "$tarred" = "$expected" ] || fail "the .tar.gz differs from the .deb:
$(diff <(echo "$expected") <(echo "$tarred") || true)"

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
# Stripped, as installed programs are.
file "$root/usr/bin/pelvaro-cli" "$root/usr/bin/pelvaro" | grep -v ', stripped$' && fail "a program is not stripped"

echo "deb_package_test: $(basename "$deb") and $(basename "${tarballs[0]}") hold the expected files; the unpacked pelvaro-cli works."
