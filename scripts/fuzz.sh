#!/usr/bin/env bash
# Builds the readers with libFuzzer, AddressSanitizer and UBSan (Clang) and
# runs every fuzz target briefly over its seed corpus. Any crash, hang or
# sanitizer report fails the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VEXLON_BUILD:-$root/build}-fuzz"
seconds="${VEXLON_FUZZ_SECONDS:-15}"

bash "$root/scripts/build.sh" fuzz

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export DBUS_SESSION_BUS_ADDRESS="disabled:"
passed=0
failed=0
for target in "$build"/tests/bin/*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="$root/tests/fuzz/corpus/$name"
  work="$(mktemp -d)"
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "== fuzzing $name for ${seconds}s"
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 "$work" \
       >"$work.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    tail -n 40 "$work.log"
  fi
  rm -rf "$work" "$work.log"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
