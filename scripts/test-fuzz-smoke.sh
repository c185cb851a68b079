#!/usr/bin/env bash
# A short fuzz run of the loader and the exporters, then of the PCX decoder and
# the PNG writer (about a minute in all by default, two thirds of it for the
# loader; PELVARO_FUZZ_SECONDS sets another length), starting from the seed
# archives and images the test-support builder makes. A crash, a sanitizer
# report, a broken promise or a hang fails the run; the input that did it is
# kept in build-fuzz/fuzz-smoke/loader/findings/ or .../pcx/findings/.
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
cmake --build "$build" --target pelvaro-fuzz-loader pelvaro-fuzz-pcx pelvaro-make-seeds

work="$build/fuzz-smoke"
rm -rf "$work"

# fuzz SEEDS WHAT SECONDS TARGET [LIBFUZZER OPTION...]; SEEDS is what
# pelvaro-make-seeds takes (loader or pcx), and names the work folder.
fuzz() {
  local dir="$work/$1" seeds=$1 what=$2 seconds=$3 target=$4
  shift 4
  mkdir -p "$dir/seeds" "$dir/corpus" "$dir/findings"
  "$build/fuzz/pelvaro-make-seeds" "$seeds" "$dir/seeds"
  echo "Fuzzing $what for $seconds seconds ..."
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$dir/findings/" \
      -print_final_stats=1 "$@" "$dir/corpus" "$dir/seeds" >"$dir/fuzz.log" 2>&1; then
    tail -n 80 "$dir/fuzz.log"
    echo "Fuzz smoke run: a finding; the input is in $dir/findings/" >&2
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^Done ' "$dir/fuzz.log" || true
}

seconds="${PELVARO_FUZZ_SECONDS:-60}"
pcx_seconds=$((seconds / 3 > 0 ? seconds / 3 : 1))
loader_seconds=$((seconds - pcx_seconds > 0 ? seconds - pcx_seconds : 1))
fuzz loader "the loader" "$loader_seconds" pelvaro-fuzz-loader -max_len=8192 -rss_limit_mb=2048
# No input of 8 KiB describes more than 258 KB of pixels: a single allocation
# of over 16 MiB means the decoder trusted a header over its data.
fuzz pcx "the PCX decoder" "$pcx_seconds" pelvaro-fuzz-pcx -max_len=8192 -rss_limit_mb=2048 \
  -malloc_limit_mb=16
echo "Fuzz smoke run passed."
