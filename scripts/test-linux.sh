#!/usr/bin/env bash
# Configures, builds and runs every test of the Linux build (GUI tests
# offscreen), the packaging tests among them: the "dev" preset of
# CMakePresets.json, in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev
cmake --build --preset dev
ctest --preset dev
