#!/usr/bin/env bash
# Configures, builds and runs every test of the Linux build (GUI tests offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVARO_BUILD_GUI=ON -DPELVARO_BUILD_TESTS=ON -DPELVARO_BUILD_BENCH=ON \
  -DPELVARO_WERROR=ON
cmake --build build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
