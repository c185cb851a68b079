#!/usr/bin/env bash
# Everything a fresh Debian machine needs to test Pelvaro: installs the missing
# packages, builds and runs all tests (normal build, then the sanitizer build),
# then checks that the Release build and a clang build stay free of warnings,
# then a one-minute fuzz run of the loader, then the Windows build of the core
# and pelvaro-cli with its tests under Wine and its .zip package.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/test-linux.sh
scripts/test-sanitize.sh
scripts/test-builds.sh
scripts/test-fuzz-smoke.sh
scripts/test-windows.sh
echo "All test runs passed."
