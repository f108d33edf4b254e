#!/usr/bin/env bash
# Configures and builds Vexlon with a CMake preset (default: "default") into
# the build folder (executables and their data in <build>/bin). VEXLON_BUILD
# names the build folder; the other presets build beside it with the
# preset's name appended ("build-sanitizers", "build-fuzz").
#   scripts/build.sh [PRESET] [-DOPTION=VALUE ...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset=default
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  preset="$1"
  shift
fi
build="${VEXLON_BUILD:-$root/build}"
[ "$preset" = default ] || build="$build-$preset"
cmake -S "$root" --preset "$preset" -B "$build" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
