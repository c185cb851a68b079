#!/usr/bin/env bash
# A short fuzz run of the loader and the exporters (about a minute by default;
# PELVARO_FUZZ_SECONDS sets another length), starting from the seed archives the
# test-support builder makes. A crash, a sanitizer report, a broken promise or
# a hang fails the run; the input that did it is kept in build-fuzz/fuzz-smoke/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh fuzz

build=build-fuzz
# The whole core is built with coverage and sanitizers, so the search is guided
# into the loader. Clang 19 flags get_temporary_buffer, used inside this
# libstdc++'s stable_sort, as deprecated; that is not ours to fix.
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
flags+=" -Wno-deprecated-declarations"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-19 \
  -DCMAKE_CXX_FLAGS="$flags" -DPELVARO_BUILD_FUZZ=ON -DPELVARO_BUILD_TESTS=OFF -DPELVARO_BUILD_GUI=OFF \
  -DPELVARO_BUILD_BENCH=OFF -DPELVARO_WERROR=ON
cmake --build "$build" --target pelvaro-fuzz-loader pelvaro-make-fuzz-seeds

work="$build/fuzz-smoke"
rm -rf "$work"
mkdir -p "$work/seeds" "$work/corpus" "$work/findings"
"$build/fuzz/pelvaro-make-fuzz-seeds" "$work/seeds"

seconds="${PELVARO_FUZZ_SECONDS:-60}"
echo "Fuzzing the loader for $seconds seconds ..."
if ! "$build/fuzz/pelvaro-fuzz-loader" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/findings/" -print_final_stats=1 "$work/corpus" "$work/seeds" >"$work/fuzz.log" 2>&1; then
  tail -n 80 "$work/fuzz.log"
  echo "Fuzz smoke run: a finding; the input is in $work/findings/" >&2
  exit 1
fi
grep -E '^stat::number_of_executed_units|^Done ' "$work/fuzz.log" || true
echo "Fuzz smoke run passed."
