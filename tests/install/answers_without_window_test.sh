#!/usr/bin/env bash
# `pelvaro --help` and `pelvaro --version` answer on stdout with status 0
# where no window can be opened: no display, and the X11 platform asked for,
# so a QApplication made before answering would end the program.
#
#   answers_without_window_test.sh PELVARO VERSION
set -euo pipefail
program=$1
version=$2

fail() { echo "answers_without_window_test: $*" >&2; exit 1; }
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" "$@" 2>"$err"; }
err=$(mktemp)
trap 'rm -f "$err"' EXIT

out=$(run --version) || fail "--version exited with $?: $(cat "$err")"
[ "$out" = "pelvaro $version" ] || fail "--version printed '$out'"
[ ! -s "$err" ] || fail "--version wrote to stderr: $(cat "$err")"

out=$(run --help) || fail "--help exited with $?: $(cat "$err")"
[[ "$out" == "Usage: pelvaro [ARCHIVE]"* ]] || fail "--help printed '$out'"
[ ! -s "$err" ] || fail "--help wrote to stderr: $(cat "$err")"

# Qt's own options do not hide the question.
out=$(run -platform offscreen --version) || fail "-platform offscreen --version exited with $?"
[ "$out" = "pelvaro $version" ] || fail "-platform offscreen --version printed '$out'"

# A usage error is told on stderr with status 2, once Qt has taken its options out.
status=0
out=$(QT_QPA_PLATFORM=offscreen "$program" --no-such-option 2>"$err") || status=$?
[ $status -eq 2 ] || fail "--no-such-option exited with $status"
[ -z "$out" ] || fail "--no-such-option printed '$out' on stdout"
grep -qx 'pelvaro: unknown option: --no-such-option' "$err" || fail "--no-such-option: $(cat "$err")"

echo "answers_without_window_test: --help and --version answered without a window."
