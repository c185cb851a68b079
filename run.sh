#!/usr/bin/env bash
# Builds Pelvaro and starts it: the desktop program where a display is
# available, otherwise pelvaro-cli on the bundled sample archive.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
# The "dev" preset, the build scripts/test-linux.sh makes in the same folder.
cmake --preset dev >/dev/null
cmake --build --preset dev
if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && [ -x build/app/pelvaro ]; then
  exec build/app/pelvaro
fi
sample=build/sample/SAMPLE.sff
out=build/sample-out
echo "No display: running pelvaro-cli on $sample, writing into $out/"
mkdir -p "$out"
build/cli/pelvaro-cli list "$sample"
build/cli/pelvaro-cli pcx "$sample" "$out"
build/cli/pelvaro-cli text "$sample" "$out/SAMPLE_SFF.txt"
ls "$out"
