#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# asking apt only when one of them is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libpng-dev
  googletest libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-liberation2 fonts-ipafont-gothic
  # Packaging and desktop integration: the .deb and its checks, the file type,
  # the desktop entry, the AppStream data and the manual page.
  dpkg-dev file appstream desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl groff-base
  # The Debian package built from debian/ and checked as a distribution would.
  debhelper fakeroot lintian binutils
)
# Extra groups, asked for by the scripts that need them.
for group in "$@"; do
  case "$group" in
    fuzz) packages+=(clang-19 libclang-rt-19-dev) ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 locales unzip nsis) ;;
    builds) packages+=(clang-19) ;;
    gui-check) packages+=(xvfb xauth imagemagick xdotool openbox) ;;
    bench) packages+=(time) ;;
    *) echo "install-deps: unknown group $group" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
