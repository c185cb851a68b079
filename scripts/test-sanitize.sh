#!/usr/bin/env bash
# The unit tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the core tests under ThreadSanitizer; any finding stops the run.
set -euo pipefail
cd "$(dirname "$0")/.."
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELVARO_BUILD_GUI=ON -DPELVARO_WERROR=ON \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build build-asan
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure

# The core tests once more under ThreadSanitizer: loading and the definition
# text work on a second thread for large archives.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVARO_BUILD_GUI=OFF -DPELVARO_BUILD_BENCH=OFF \
  -DPELVARO_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build build-tsan --target pelvaro_core_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/pelvaro_core_tests
