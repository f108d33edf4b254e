#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, then runs each fuzz
# target briefly under the sanitizers.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
( cd "$root/build" && ctest --output-on-failure -j "$(nproc)" --timeout 300 )
bash "$root/scripts/fuzz.sh"
