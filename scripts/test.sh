#!/usr/bin/env bash
# Installs what is missing, builds (with the benchmarks), runs every test,
# builds and runs the whole suite again under AddressSanitizer and UBSan,
# takes pictures of the editor under Xvfb, then runs each fuzz target
# briefly under the sanitizers. Any failure or sanitizer report fails it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VEXLON_BUILD:-$root/build}"
bash "$root/scripts/setup.sh"

bash "$root/scripts/build.sh" -DVEXLON_BUILD_BENCH=ON
( cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300 )

echo "== the tests under AddressSanitizer and UBSan"
bash "$root/scripts/build.sh" sanitizers
( cd "$build-sanitizers" \
  && QT_QPA_PLATFORM=offscreen \
     ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1" \
     UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
     LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
     ctest --output-on-failure -j "$(nproc)" --timeout 600 )

bash "$root/scripts/screenshots.sh"
bash "$root/scripts/fuzz.sh"
