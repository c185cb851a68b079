#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine as the users' systems
# would: Japanese locale (ANSI code page 932), no Wine diagnostics on stderr,
# the program's exit status passed through. CTest and the build use it as the
# emulator; scripts/test-windows.sh keeps the Wine server running around them.
#
# WINEPREFIX picks the Wine configuration (default: a Pelvaro one in the user's
# cache folder, so an existing ~/.wine is left alone). Wine takes its code page
# from the Unix locale and quietly falls back to 1252 when ja_JP.UTF-8 is not
# installed; then the locale is compiled once into the cache folder (localedef,
# from Debian's "locales" package) and found through LOCPATH.
set -euo pipefail

if (($# == 0)); then
  echo "usage: wine-run.sh PROGRAM.exe [ARGUMENT...]" >&2
  exit 2
fi

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine || true)
if [ -z "$wine" ]; then
  echo "wine-run.sh: wine64 is not installed (scripts/install-deps.sh windows)" >&2
  exit 127
fi

cache=${XDG_CACHE_HOME:-$HOME/.cache}/pelvaro
export WINEPREFIX=${WINEPREFIX:-$cache/wine}
export WINEDEBUG=-all
# No offer to download Mono or Gecko when the configuration is first made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset LC_ALL LANGUAGE LC_CTYPE LC_MESSAGES
export LANG=ja_JP.UTF-8

has_locale() { [ "$(LC_ALL=ja_JP.UTF-8 locale charmap 2>/dev/null)" = "UTF-8" ]; }

if ! has_locale; then
  export LOCPATH=$cache/locale
  if ! has_locale; then
    mkdir -p "$LOCPATH"
    (
      flock 9
      if ! has_locale; then
        staging=$(mktemp -d "$LOCPATH/.new.XXXXXX")
        localedef -i ja_JP -f UTF-8 "$staging/ja_JP.UTF-8" >/dev/null 2>&1 || true
        [ -f "$staging/ja_JP.UTF-8/LC_CTYPE" ] && mv "$staging/ja_JP.UTF-8" "$LOCPATH/"
        rm -rf "$staging"
      fi
    ) 9>"$LOCPATH/.lock"
  fi
  if ! has_locale; then
    echo "wine-run.sh: cannot make the ja_JP.UTF-8 locale (is the \"locales\" package installed?)" >&2
    exit 125
  fi
fi

exec "$wine" "$@"
