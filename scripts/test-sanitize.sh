#!/usr/bin/env bash
# The tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer;
# any finding stops the run. The packaging checks (labelled so), which run no
# code of ours that the tests before them did not, are left to the plain build.
set -euo pipefail
cd "$(dirname "$0")/.."
# The flags and options are the "asan" preset's (CMakePresets.json).
cmake --preset asan
cmake --build --preset asan
QT_QPA_PLATFORM=offscreen ctest --preset asan
