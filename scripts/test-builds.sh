#!/usr/bin/env bash
# The builds other people make, kept free of warnings with -Werror:
#  - Release with GCC, everything the plain `cmake -S . -B b
#    -DCMAKE_BUILD_TYPE=Release && cmake --build b` builds (the program, the
#    GUI and the tests), in build-release/: the optimiser sees more than the
#    test build and warns of more (GCC 12's "may be used uninitialized");
#  - clang 19, the core and CLI tests, in build-clang/.
# Both test suites are run once too: what an optimiser or another compiler
# makes of the code must still pass.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh builds

# The "release" and "clang" presets of CMakePresets.json.
cmake --preset release
cmake --build --preset release
build-release/tests/pelvaro_core_tests --gtest_brief=1
QT_QPA_PLATFORM=offscreen build-release/tests/gui/pelvaro_gui_tests -silent

cmake --preset clang
cmake --build --preset clang --target pelvaro_core_tests
build-clang/tests/pelvaro_core_tests --gtest_brief=1
echo "Release (GCC) and clang 19 builds: no warnings, tests passed."
